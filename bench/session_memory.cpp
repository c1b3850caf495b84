// The program's peak resident memory over a demo session: the window starts over the
// simulator, the ESC is read, one setting is written, a firmware update runs with the demo's
// sample file, and the updated ESC is read again. Budget: 40 MB. The argument names the
// upgrade file (the build tree's sample by default).
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/resource.h>

#include <QApplication>
#include <QListWidget>

#include "BenchLink.h"
#include "CCorvaneProgPanelDlg.h"
#include "SimPort.h"
#include "UpgradeFile.h"

using namespace corvane;

namespace {

constexpr double kBudgetMb = 40.0;

bool Said(const CCorvaneProgPanelDlg& window, const char* line, int times = 1) {
    return window.StatusList()->findItems(QString::fromUtf8(line), Qt::MatchExactly).size() >=
           times;
}

void Await(QApplication& app, const std::function<bool()>& done, const char* what,
           bench::Millis limit) {
    const auto start = std::chrono::steady_clock::now();
    while (!done()) {
        app.processEvents(QEventLoop::AllEvents, 5);
        if (std::chrono::steady_clock::now() - start > limit) {
            std::printf("%s never came\n", what);
            std::exit(1);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string path = argc > 1 ? argv[1]
                                      : QCoreApplication::applicationDirPath().toStdString() +
                                            "/../samples/demo_vrx_q8_A1.3.cuf";
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    TransferRecord record;
    std::istringstream file(bytes.str());
    if (ParseUpgradeFile(file, bytes.str().size(), record) == 0) {
        std::printf("no upgrade file at %s\n", path.c_str());
        return 1;
    }
    sim::SimPort port;
    port.SetReadWait(kReadWaitMs);
    port.SetLatency(2);
    port.Esc([&](sim::EscSimulator& e) {
        e.ExpectFirmware(record.wBlockLength, record.byBlockCount, record.byVersionLetter,
                         record.byVersion);
    });
    CCorvaneProgPanelDlg window(port);
    window.SetFileChooser([&](QWidget*, const auto&) { return QString::fromStdString(path); });
    window.SetMessageBoxRunner([](QWidget*, QMessageBox::Icon, const QString&, const QString&,
                                  QMessageBox::StandardButtons buttons) {
        // Go ahead with the update; keep the new firmware's defaults.
        return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No;
    });
    window.show();
    const auto read = bench::NeverCameAfter(bench::ExchangePacing(kParamFrameSize) * 4);
    Await(
        app, [&] { return window.Connection().ParamsLoaded(); }, "the ESC's settings", read);

    window.Connection().Params().SetParamPosition(
        PARAM_DRAG_BRAKE, window.Connection().Params().GetParamPosition(PARAM_DRAG_BRAKE) ^ 1);
    window.Connection().UpdateParameters();
    Await(
        app, [&] { return Said(window, "Update Parameters Completed."); }, "the write", read);

    window.Connection().Firmware().Start();
    Await(
        app, [&] { return Said(window, "Getting Parameters... Completed.", 2); },
        "the updated ESC's settings",
        bench::NeverCameAfter(record.byBlockCount * bench::ExchangePacing(record.wBlockLength) +
                              read));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double peakMb = usage.ru_maxrss / 1024.0;
    std::printf("peak resident memory over a demo session (start, read, write, firmware "
                "update of %u blocks, read): %.1f MB; budget %.0f MB\n",
                record.byBlockCount, peakMb, kBudgetMb);
    return 0;
}
