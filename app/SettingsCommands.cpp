#include "SettingsCommands.h"

#include <algorithm>
#include <cstdio>
#include <functional>

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include "ConnectionController.h"
#include "FlashCommand.h"
#include "ParamInfo.h"
#include "QuietView.h"
#include "SettingText.h"

namespace corvane {

namespace {

void Print(std::FILE* out, const QString& text) {
    std::fputs(text.toUtf8().constData(), out);
}

// Why no ESC's settings were read in time.
QString NotConnected(const PortBase& port, const ConnectionController& controller) {
    if (!port.HoldsDevice()) {
        return port.DongleInUse()    ? QStringLiteral("the USB dongle is in use by another program")
               : port.AccessDenied() ? QStringLiteral("access to the USB dongle denied: install "
                                                      "the udev rule and re-plug the dongle")
                                     : QStringLiteral("no USB dongle found");
    }
    switch (const ReadOutcome read = controller.LastRead()) {
    case ReadOutcome::Unsupported:
    case ReadOutcome::VersionUnknown:
        return QStringLiteral("unsupported ESC: %1").arg(QString::fromUtf8(OutcomeText(read)));
    case ReadOutcome::Reading:
    case ReadOutcome::Read: // read, and lost before the options began
        return QStringLiteral("the ESC's settings could not be read");
    default:
        return QStringLiteral("no ESC answered");
    }
}

void Show(std::FILE* out, const ConnectionController& controller) {
    const ParameterSet& params = controller.Params();
    int width = 0;
    for (const ParamInfo& info : kParamInfo) {
        width = std::max(width, static_cast<int>(QString::fromUtf8(info.label).size()));
    }
    for (int index = 0; index < PARAM_COUNT; ++index) {
        uint8_t value = 0;
        params.GetParamValue(index, value);
        ParameterDescriptor descriptor;
        const QString text = params.GetParamDescriptor(index, descriptor)
                                 ? SettingText(index, params.GetParamPosition(index), value)
                                 : QStringLiteral("(not described by the ESC)");
        Print(out, QStringLiteral("%1  %2\n")
                       .arg(QString::fromUtf8(kParamInfo[static_cast<size_t>(index)].label), -width)
                       .arg(text));
    }
}

// Writes what the load placed, and waits for the read-back's verdict: "" when confirmed.
QString WriteLoaded(ConnectionController& controller) {
    controller.UpdateParameters();
    switch (const WriteOutcome write = AwaitWriteEnd(controller)) {
    case WriteOutcome::Done:
        return {};
    case WriteOutcome::None:
    case WriteOutcome::Running:
        return QStringLiteral("the write did not end in time");
    default:
        return QStringLiteral("the write failed: %1").arg(QString::fromUtf8(OutcomeText(write)));
    }
}

} // namespace

int RunSettingsCommands(PortBase& port, const std::vector<SettingsCommand>& commands,
                        std::FILE* out, int connectWaitMs, std::FILE* err,
                        const std::function<void(const SettingsCommand&)>& beforeEach) {
    const InterruptGuard interrupts;
    QuietView view;
    ConnectionController controller(port, view, {});
    controller.Start();
    // No hot-plug notices here: the dongle is looked for again until it is found.
    QTimer search;
    QObject::connect(&search, &QTimer::timeout, &controller.Dongles(), &DongleSearch::Retry);
    search.start(500);
    // An ESC whose settings the pages do not know can still be updated.
    const auto connected = [&] {
        return controller.ParamsLoaded() || controller.State() == ConnectionState::FirmwareOnly;
    };
    WaitUntil([&] { return connected() || InterruptGuard::Signal() != 0; }, connectWaitMs);
    search.stop();
    int status = 0;
    if (InterruptGuard::Signal() != 0) {
        status = InterruptGuard::Status();
    } else if (!connected()) {
        status = FailWith(out, NotConnected(port, controller));
    }
    const bool quiet = std::any_of(commands.begin(), commands.end(), [](const auto& command) {
        return command.kind == SettingsCommand::Quiet;
    });
    // Every option is for the ESC the run began with: a new identity is another connection.
    uint32_t esc = controller.Identity().nEpoch;
    for (const SettingsCommand& command : status == 0 ? commands : std::vector<SettingsCommand>{}) {
        if (command.kind == SettingsCommand::Quiet) {
            continue;
        }
        if (beforeEach) {
            beforeEach(command);
        }
        const QString path = QFile::decodeName(command.path.c_str());
        view.box.clear();
        if (InterruptGuard::Signal() != 0) {
            status = InterruptGuard::Status();
            break;
        }
        if (controller.Identity().nEpoch != esc) {
            status = FailWith(out, QStringLiteral("the ESC changed since the run began"));
            break;
        }
        if (command.kind == SettingsCommand::Flash) {
            status = RunFlash(controller, view, command, out, err, quiet);
            esc = controller.Identity().nEpoch; // the updated ESC, read afresh
            if (status != 0) {
                break;
            }
            continue;
        }
        if (!controller.Files().Live()) {
            status = FailWith(out, controller.State() == ConnectionState::FirmwareOnly
                                       ? QStringLiteral("unsupported ESC: %1")
                                             .arg(QString::fromUtf8(text::kParamVersionUnsupported))
                                       : QStringLiteral("the ESC was lost"));
            break;
        }
        if (command.kind == SettingsCommand::Show) {
            if (command.json) {
                Print(out, QString::fromUtf8(controller.Files().Json()));
            } else {
                Show(out, controller);
            }
            continue;
        }
        if (command.kind == SettingsCommand::Save) {
            if (!controller.Files().SaveTo(path)) {
                status = FailWith(out, view.box);
                break;
            }
            continue;
        }
        const LoadOutcome load = controller.Files().LoadFrom(path);
        if (!load.loaded) {
            status = FailWith(out, view.box);
            break;
        }
        // Settings the ESC has no place for are named, as in the window's status list.
        if (!load.notPlaced.isEmpty()) {
            Print(out, load.line + QLatin1Char('\n'));
        }
        const QStringList changes = DescribeChanges(controller.Params());
        if (changes.isEmpty()) {
            continue;
        }
        if (const QString failed = WriteLoaded(controller); !failed.isEmpty()) {
            status = FailWith(out, failed);
            break;
        }
        for (const QString& change : changes) {
            Print(out, change + QLatin1Char('\n'));
        }
    }
    std::fflush(out);
    controller.Stop();
    return status;
}

} // namespace corvane
