#include "UdevMonitor.h"

#include <libudev.h>

#include <cstring>

namespace corvane {

UdevMonitor::UdevMonitor() {
    m_udev = udev_new();
    if (!m_udev) {
        return;
    }
    // "udev", not "kernel": events come after the rules ran, so the node's permissions are
    // final by the time the port tries to open it.
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0) {
        udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
    }
}

UdevMonitor::~UdevMonitor() {
    udev_monitor_unref(m_monitor);
    udev_unref(m_udev);
}

int UdevMonitor::Fd() const {
    return m_monitor ? udev_monitor_get_fd(m_monitor) : -1;
}

std::optional<UdevEvent> UdevMonitor::Receive() {
    if (!m_monitor) {
        return std::nullopt;
    }
    udev_device* device = udev_monitor_receive_device(m_monitor);
    if (!device) {
        return std::nullopt;
    }
    std::optional<UdevEvent> event;
    const char* action = udev_device_get_action(device);
    const char* syspath = udev_device_get_syspath(device);
    if (action && syspath &&
        (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0)) {
        event = UdevEvent{action, syspath};
    }
    udev_device_unref(device);
    return event;
}

} // namespace corvane
