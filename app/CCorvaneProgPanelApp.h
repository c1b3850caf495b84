// The application: loads the displays' font, runs the main window until it is closed, and
// tears down in order (the window stops the link's worker before anything it uses goes).
#pragma once

#include <functional>

#include <QApplication>

#include "PortBase.h"

namespace corvane {

class CCorvaneProgPanelDlg;

class CCorvaneProgPanelApp : public QApplication {
    Q_OBJECT

public:
    // Called once the window exists, to hook hot-plug notices (udev, or the simulator).
    using WindowHook = std::function<void(CCorvaneProgPanelDlg& window)>;

    // desktopFile: the menu entry (without ".desktop") the windows belong to, so that docks
    // and task switchers show its icon and group the window under it.
    CCorvaneProgPanelApp(int& argc, char** argv, const QString& desktopFile);
    ~CCorvaneProgPanelApp() override;

    // Runs the whole program over the given port; returns the process exit code.
    int InitInstance(PortBase& port, const WindowHook& hook);
    int ExitInstance();
};

} // namespace corvane
