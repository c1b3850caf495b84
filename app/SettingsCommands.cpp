#include "SettingsCommands.h"

#include <cstdio>
#include <functional>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include "ConnectionController.h"
#include "ParamInfo.h"
#include "SettingText.h"

namespace corvane {

namespace {

// How long a write and its read-back may take.
constexpr int kWriteWaitMs = 10000;

// The controller's view without a window: it keeps the last box's text, and answers every
// box No (no restore offer is taken up unasked). Outcomes come from the controller itself.
class QuietView : public ConnectionView {
public:
    QString box;
    bool pages = false;

    void AddStatus(const QString&) override {}
    void ClearStatus() override {}
    void CreatePages(bool create) override { pages = create; }
    bool PagesExist() const override { return pages; }
    void ReloadPages() override { pages = true; }
    void SelectPage(int) override {}
    void RestorePressedHighlight() override {}
    void LiveAreasChanged() override {}
    void StartProgress(int) override {}
    void ShowProgress(bool) override {}
    void SetProgress(int) override {}
    QString ChooseUpgradeFile() override { return {}; }
    QString ChooseSettingsFile(bool, const QString&) override { return {}; }
    QMessageBox::StandardButton Ask(QMessageBox::Icon, const QString&, const QString& text,
                                    QMessageBox::StandardButtons,
                                    QMessageBox::StandardButton) override {
        box = text;
        return QMessageBox::No;
    }
    void DismissQuestion() override {}
};

bool WaitUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) {
            return false;
        }
        QEventLoop pause;
        QTimer::singleShot(10, &pause, &QEventLoop::quit);
        pause.exec();
    }
    return true;
}

void Print(std::FILE* out, const QString& text) {
    std::fputs(text.toUtf8().constData(), out);
}

int Fail(std::FILE* out, const QString& reason) {
    std::fflush(out);
    // A box's lines make one line here.
    Diagnose(QString(reason).replace(QLatin1Char('\n'), QLatin1Char(' ')).toStdString());
    return 1;
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
    const auto ended = [&] {
        const WriteOutcome write = controller.LastWrite();
        return write != WriteOutcome::None && write != WriteOutcome::Running;
    };
    if (controller.LastWrite() != WriteOutcome::Running || !WaitUntil(ended, kWriteWaitMs)) {
        return ended() ? QStringLiteral("the write failed: %1")
                             .arg(QString::fromUtf8(OutcomeText(controller.LastWrite())))
                       : QStringLiteral("the write did not end in time");
    }
    return controller.LastWrite() == WriteOutcome::Done
               ? QString()
               : QStringLiteral("the write failed: %1")
                     .arg(QString::fromUtf8(OutcomeText(controller.LastWrite())));
}

} // namespace

int RunSettingsCommands(PortBase& port, const std::vector<SettingsCommand>& commands,
                        std::FILE* out, int connectWaitMs) {
    QuietView view;
    ConnectionController controller(port, view, {});
    controller.Start();
    // No hot-plug notices here: the dongle is looked for again until it is found.
    QTimer search;
    QObject::connect(&search, &QTimer::timeout, &controller.Dongles(), &DongleSearch::Retry);
    search.start(500);
    const bool connected = WaitUntil([&] { return controller.ParamsLoaded(); }, connectWaitMs);
    search.stop();
    int status = 0;
    if (!connected) {
        status = Fail(out, NotConnected(port, controller));
    }
    for (const SettingsCommand& command : connected ? commands : std::vector<SettingsCommand>{}) {
        const QString path = QFile::decodeName(command.path.c_str());
        view.box.clear();
        if (!controller.Files().Live()) {
            status = Fail(out, QStringLiteral("the ESC was lost"));
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
                status = Fail(out, view.box);
                break;
            }
            continue;
        }
        const LoadOutcome load = controller.Files().LoadFrom(path);
        if (!load.loaded) {
            status = Fail(out, view.box);
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
            status = Fail(out, failed);
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
