// The product: the main window over the USB dongle, with udev hot-plug notices.
#include "CCorvaneProgPanelApp.h"
#include "CCorvaneProgPanelDlg.h"
#include "CommandLine.h"
#include "SettingsCommands.h"
#include "USBDevice.h"
#include "UdevWatcher.h"

int main(int argc, char** argv) {
    std::vector<corvane::SettingsCommand> commands;
    if (const int status = corvane::HandleCommandLine(
            argc, argv,
            "Reads, changes and flashes a Corvane speed controller through the USB dongle.",
            commands);
        status >= 0) {
        return status;
    }
    corvane::USBDevice dongle;
    if (!commands.empty()) {
        QCoreApplication app(argc, argv);
        return corvane::RunSettingsCommands(dongle, commands);
    }
    corvane::CCorvaneProgPanelApp app(argc, argv, QStringLiteral("corvane-progpanel"));
    return app.InitInstance(dongle, [](corvane::CCorvaneProgPanelDlg& window) {
        new corvane::UdevWatcher(window); // owned by the window
    });
}
