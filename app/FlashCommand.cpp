#include "FlashCommand.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include "StatusText.h"

namespace corvane {

namespace {

std::atomic<int> g_signal{0};
struct sigaction g_previous[2];

extern "C" void NoteSignal(int signal) {
    g_signal.store(signal);
}

// How long the updated ESC may take to reboot, be identified and read; and each block of the
// transfer, at most (a block that takes longer has timed out on the link long before).
constexpr int kReadAfterUpdateMs = 15000;
constexpr int kBlockWaitMs = 3000;
constexpr int kRestoreOfferMs = 2000;
// How long a write and its read-back may take.
constexpr int kParamWriteWaitMs = 10000;

// On a terminal one line redrawn in place, with the time left; elsewhere a line at each
// tenth. Nothing when quiet.
class Progress {
public:
    Progress(std::FILE* err, bool quiet)
        : m_err(err), m_quiet(quiet), m_terminal(isatty(fileno(err)) != 0) {
        m_timer.start();
    }
    void Show(int done, int total) {
        if (m_quiet || total <= 0) {
            return;
        }
        const int percent = done * 100 / total;
        if (m_terminal) {
            const qint64 ms = m_timer.elapsed();
            const qint64 left = done > 0 ? ms * (total - done) / done / 1000 : 0;
            std::fprintf(m_err, "\rUpdating firmware: block %d of %d (%d%%), about %lld s left   ",
                         done, total, percent, static_cast<long long>(left));
            m_drawn = true;
        } else if (percent / 10 > m_tenth) {
            m_tenth = percent / 10;
            std::fprintf(m_err, "Updating firmware: %d%% (block %d of %d)\n", m_tenth * 10, done,
                         total);
        }
        std::fflush(m_err);
    }
    // The transfer ended; `whole`: every block went, which the last line says.
    void End(bool whole, int total) {
        if (whole && (m_drawn || m_tenth >= 0)) {
            Show(total, total);
        }
        if (m_drawn) {
            std::fputc('\n', m_err);
            m_drawn = false;
        }
    }

private:
    std::FILE* m_err;
    bool m_quiet;
    bool m_terminal;
    bool m_drawn = false;
    int m_tenth = -1;
    QElapsedTimer m_timer;
};

} // namespace

InterruptGuard::InterruptGuard() {
    g_signal.store(0);
    struct sigaction action = {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &g_previous[0]);
    sigaction(SIGTERM, &action, &g_previous[1]);
}

InterruptGuard::~InterruptGuard() {
    sigaction(SIGINT, &g_previous[0], nullptr);
    sigaction(SIGTERM, &g_previous[1], nullptr);
}

int InterruptGuard::Signal() {
    return g_signal.load();
}

int FailWith(std::FILE* out, const QString& reason) {
    std::fflush(out);
    // A box's lines make one line here.
    Diagnose(QString(reason).replace(QLatin1Char('\n'), QLatin1Char(' ')).toStdString());
    return 1;
}

WriteOutcome AwaitWriteEnd(ConnectionController& controller) {
    if (controller.LastWrite() == WriteOutcome::Running) {
        WaitUntil([&] { return controller.LastWrite() != WriteOutcome::Running; },
                  kParamWriteWaitMs);
    }
    return controller.LastWrite();
}

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

int RunFlash(ConnectionController& controller, QuietView& view, const SettingsCommand& command,
             std::FILE* out, std::FILE* err, bool quiet) {
    FirmwareUpdate& update = controller.Firmware();
    const uint32_t before = controller.Identity().nEpoch;
    Progress progress(err, quiet);
    view.upgradeFile = QFile::decodeName(command.path.c_str());
    view.restore = command.restore.value_or(false);
    view.box.clear();
    view.progress = [&](int done, int total) { progress.Show(done, total); };
    // The view outlives this run's progress: it stops reporting to it on every way out.
    struct Unhook {
        QuietView& view;
        ~Unhook() { view.progress = nullptr; }
    } unhook{view};
    update.Start();
    switch (update.Last()) {
    case FirmwareOutcome::Running:
        break;
    case FirmwareOutcome::Refused:
        return FailWith(out, view.box.isEmpty()
                                 ? QStringLiteral("Cannot read %1").arg(view.upgradeFile)
                                 : view.box);
    default:
        return FailWith(out, QStringLiteral("the ESC changed before the update began"));
    }
    // Never cut short by the tool: on a signal the block on the wire finishes, then it stops.
    bool cancelled = false;
    WaitUntil(
        [&] {
            if (InterruptGuard::Signal() != 0 && !cancelled) {
                controller.Link().CancelTransfer();
                cancelled = true;
            }
            return update.Last() != FirmwareOutcome::Running;
        },
        kBlockWaitMs * 256);
    progress.End(update.Last() == FirmwareOutcome::Done, update.Blocks());
    view.progress = nullptr;
    if (cancelled && update.Last() != FirmwareOutcome::Done) {
        FailWith(out, QString::fromUtf8(text::kFirmwareInterrupted));
        return InterruptGuard::Status();
    }
    if (update.Last() != FirmwareOutcome::Done) {
        return FailWith(out, QStringLiteral("the update failed: %1")
                                 .arg(QString::fromUtf8(update.Last() == FirmwareOutcome::Lost
                                                            ? text::kEscDisconnected
                                                            : text::kFirmwareFailed)));
    }
    std::fprintf(out, "%s\n", text::kFirmwareDone);
    if (cancelled) {
        return InterruptGuard::Status(); // the last block was on the wire: the update is whole
    }
    // The updated ESC reboots, is identified and read afresh.
    const auto read = [&] {
        const ConnectionState state = controller.State();
        return controller.Identity().nEpoch != before &&
               (state == ConnectionState::Connected || state == ConnectionState::FirmwareOnly);
    };
    if (!WaitUntil(read, kReadAfterUpdateMs)) {
        return FailWith(out, QStringLiteral("the updated ESC's settings could not be read"));
    }
    if (!command.restore.value_or(false)) {
        return 0;
    }
    if (controller.State() == ConnectionState::FirmwareOnly) {
        return FailWith(out, QStringLiteral("the settings could not be restored: %1")
                                 .arg(QString::fromUtf8(text::kParamVersionUnsupported)));
    }
    if (!WaitUntil([&] { return update.Restore().offered; }, kRestoreOfferMs)) {
        return FailWith(out, QStringLiteral("no settings were kept to restore"));
    }
    const RestoreOutcome& restore = update.Restore();
    if (!restore.taken) {
        return FailWith(out, QStringLiteral("the settings could not be restored: the ESC changed"));
    }
    if (restore.writing) {
        if (const WriteOutcome write = AwaitWriteEnd(controller); write != WriteOutcome::Done) {
            return FailWith(out, QStringLiteral("the restore failed: %1")
                                     .arg(QString::fromUtf8(OutcomeText(write))));
        }
    }
    std::fprintf(out, "%s\n", restore.line.toUtf8().constData());
    return 0;
}

} // namespace corvane
