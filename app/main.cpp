// The product: the main window over the USB dongle, with udev hot-plug notices.
#include "CCorvaneProgPanelApp.h"
#include "CCorvaneProgPanelDlg.h"
#include "USBDevice.h"
#include "UdevWatcher.h"

int main(int argc, char** argv) {
    corvane::CCorvaneProgPanelApp app(argc, argv, QStringLiteral("corvane-progpanel"));
    corvane::USBDevice dongle;
    return app.InitInstance(dongle, [](corvane::CCorvaneProgPanelDlg& window) {
        new corvane::UdevWatcher(window); // owned by the window
    });
}
