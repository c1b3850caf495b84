#include "CCorvaneProgPanelApp.h"

#include "CCorvaneProgPanelDlg.h"
#include "CommandLine.h"
#include "PrivateFont.h"

namespace corvane {

CCorvaneProgPanelApp::CCorvaneProgPanelApp(int& argc, char** argv, const QString& desktopFile)
    : QApplication(GuardDisplayOpening(argc), argv) {
    EndDisplayGuard();
    setApplicationName(QStringLiteral("Corvane ESC Programmer"));
    setDesktopFileName(desktopFile);
}

CCorvaneProgPanelApp::~CCorvaneProgPanelApp() = default;

int CCorvaneProgPanelApp::InitInstance(PortBase& port, const WindowHook& hook) {
    LoadPrivateFont();
    {
        CCorvaneProgPanelDlg window(port);
        if (hook) {
            hook(window);
        }
        window.show();
        window.exec();
        // Leaving this scope destroys the window: its link's worker is joined first.
    }
    return ExitInstance();
}

int CCorvaneProgPanelApp::ExitInstance() {
    FreePrivateFont();
    return 0;
}

} // namespace corvane
