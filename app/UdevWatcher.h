// Watches the udev monitor on the user-interface thread and hands each hidraw arrival and
// removal to the main window.
#pragma once

#include <memory>

#include <QObject>

#include "UdevMonitor.h"

class QSocketNotifier;

namespace corvane {

class CCorvaneProgPanelDlg;

class UdevWatcher : public QObject {
    Q_OBJECT

public:
    explicit UdevWatcher(CCorvaneProgPanelDlg& window);
    ~UdevWatcher() override;

private:
    void OnActivated();

    CCorvaneProgPanelDlg& m_window;
    UdevMonitor m_monitor;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace corvane
