// Arrival and removal notices of hidraw devices from udev. The user-interface thread watches
// Fd() and calls Receive() when it is readable.
#pragma once

#include <optional>
#include <string>

struct udev;
struct udev_monitor;

namespace corvane {

struct UdevEvent {
    std::string action;  // "add" or "remove"
    std::string syspath; // "/sys/devices/.../hidraw/hidraw3"
};

class UdevMonitor {
public:
    UdevMonitor();
    ~UdevMonitor();
    UdevMonitor(const UdevMonitor&) = delete;
    UdevMonitor& operator=(const UdevMonitor&) = delete;

    // -1 when no monitor could be set up (no udev in this environment).
    int Fd() const;
    // The next add or remove notice; nothing when none is waiting or it was another action.
    // Never blocks.
    std::optional<UdevEvent> Receive();

private:
    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
};

} // namespace corvane
