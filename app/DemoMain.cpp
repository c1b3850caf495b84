// The demo: the same window over a simulated dongle with a VRX_Q8 behind it. The dongle is
// plugged in shortly after start, as a hot-plug notice would announce it.
#include <sstream>

#include <QFile>
#include <QTimer>

#include "CCorvaneProgPanelApp.h"
#include "CCorvaneProgPanelDlg.h"
#include "CommandLine.h"
#include "SettingsCommands.h"
#include "SimPort.h"
#include "UpgradeFile.h"
#include "UpgradeFileSource.h"

namespace {

// The simulated ESC learns what a chosen upgrade file holds, as a real ESC would find it in
// the firmware it is sent: its block length, and the version it reports once flashed.
void TellEscAboutFile(corvane::sim::SimPort& port, const QString& path) {
    std::string bytes;
    if (corvane::ReadUpgradeFileBytes(QFile::encodeName(path).toStdString(), bytes) !=
        corvane::UpgradeFileOpen::Opened) {
        return;
    }
    std::istringstream file(bytes);
    corvane::TransferRecord record;
    if (corvane::ParseUpgradeFile(file, bytes.size(), record) == 0) {
        return;
    }
    port.Esc([&record](corvane::sim::EscSimulator& esc) {
        esc.ExpectFirmware(record.wBlockLength, record.byBlockCount, record.byVersionLetter,
                           record.byVersion);
    });
}

} // namespace

int main(int argc, char** argv) {
    std::vector<corvane::SettingsCommand> commands;
    if (const int status = corvane::HandleCommandLine(
            argc, argv, "The Corvane ESC programmer over a simulated dongle and speed controller.",
            commands);
        status >= 0) {
        return status;
    }
    corvane::sim::SimPort port;
    port.SetReadWait(corvane::kReadWaitMs);
    port.SetLatency(2);
    // Without a window the simulated dongle is plugged in from the start.
    port.PlugDongle(!commands.empty());
    if (!commands.empty()) {
        QCoreApplication app(argc, argv);
        return corvane::RunSettingsCommands(
            port, commands, stdout, corvane::kConnectWaitMs, stderr,
            [&port](const corvane::SettingsCommand& command) {
                if (command.kind == corvane::SettingsCommand::Flash) {
                    TellEscAboutFile(port, QFile::decodeName(command.path.c_str()));
                }
            });
    }
    corvane::CCorvaneProgPanelApp app(argc, argv, QStringLiteral("corvane-progpanel-demo"));
    return app.InitInstance(port, [&port](corvane::CCorvaneProgPanelDlg& window) {
        using Request = corvane::CCorvaneProgPanelDlg::FileRequest;
        window.SetFileChooser([&port](QWidget* parent, const Request& request) {
            const QString path = corvane::CCorvaneProgPanelDlg::AskForFile(parent, request);
            if (request.kind == Request::UpgradeFile) {
                TellEscAboutFile(port, path);
            }
            return path;
        });
        QTimer::singleShot(1500, &window, [&port, &window] {
            port.PlugDongle(true);
            window.Connection().Dongles().OnDeviceChange(true, corvane::sim::SimPort::kDevicePath);
        });
    });
}
