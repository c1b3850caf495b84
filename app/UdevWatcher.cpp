#include "UdevWatcher.h"

#include <QSocketNotifier>

#include "CCorvaneProgPanelDlg.h"

namespace corvane {

UdevWatcher::UdevWatcher(CCorvaneProgPanelDlg& window) : QObject(&window), m_window(window) {
    if (m_monitor.Fd() >= 0) {
        m_notifier = std::make_unique<QSocketNotifier>(m_monitor.Fd(), QSocketNotifier::Read);
        connect(m_notifier.get(), &QSocketNotifier::activated, this, &UdevWatcher::OnActivated);
    }
}

UdevWatcher::~UdevWatcher() = default;

void UdevWatcher::OnActivated() {
    while (auto event = m_monitor.Receive()) {
        if (event->action == "add") {
            m_window.Connection().Dongles().OnDeviceChange(true, event->syspath);
        } else if (event->action == "remove") {
            m_window.Connection().Dongles().OnDeviceChange(false, event->syspath);
        }
    }
}

} // namespace corvane
