// Time from start to the first painted face, and from the ESC's greeting to the pages being
// ready, over the simulator with the real worker thread.
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

#include <QApplication>
#include <QEvent>

#include "BenchLink.h"
#include "CCorvaneProgPanelDlg.h"
#include "SimPort.h"

using namespace corvane;
using Steady = std::chrono::steady_clock;

namespace {

double Ms(Steady::time_point from, Steady::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

class Watch : public QObject {
public:
    bool eventFilter(QObject* target, QEvent* event) override {
        if (event->type() == QEvent::Paint && target == window && !painted) {
            painted = true;
            paintedAt = Steady::now();
        }
        return false;
    }
    QObject* window = nullptr;
    bool painted = false;
    Steady::time_point paintedAt;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    sim::SimPort port;
    port.SetReadWait(kReadWaitMs);
    port.SetLatency(2);
    Watch watch;

    const auto start = Steady::now();
    auto window = std::make_unique<CCorvaneProgPanelDlg>(port);
    watch.window = window.get();
    window->installEventFilter(&watch);
    window->show();
    // The greeting counts once the controller has taken the ESC's identity, whatever notices
    // came before it.
    std::optional<Steady::time_point> greetedAt;
    size_t reportsAtGreeting = 0;
    // The dongle is looked for, the ESC greeted, identified and read: a handful of exchanges.
    const auto limit = bench::NeverCameAfter(bench::ExchangePacing(kParamFrameSize) * 4);
    while (!watch.painted || !window->Connection().ParamsLoaded()) {
        app.processEvents(QEventLoop::AllEvents, 5);
        if (!greetedAt && window->Connection().Identity().nEpoch != 0) {
            greetedAt = Steady::now();
            reportsAtGreeting = port.SentReports().size();
        }
        if (Ms(start, Steady::now()) > limit.count()) {
            std::printf("%s never came\n", !watch.painted ? "the first paint"
                                           : !greetedAt   ? "the ESC's greeting"
                                                          : "the pages");
            return 1;
        }
    }
    const auto ready = Steady::now();
    // The read's own designed pacing: a read wait before each report the tool sent for it.
    const size_t reports = port.SentReports().size() - reportsAtGreeting;
    const double pacing = static_cast<double>(reports * kReadWaitMs);
    const double painted = Ms(start, watch.paintedAt), pages = Ms(*greetedAt, ready);
    std::printf("start to first painted face: %.1f ms; beyond the designed 100 ms pause: %.1f ms\n",
                painted, painted - 100);
    std::printf("greeting to pages ready: %.1f ms; the read's designed pacing: %.0f ms (%zu "
                "reports x %u ms); beyond it: %.1f ms\n",
                pages, pacing, reports, kReadWaitMs, pages - pacing);
    window.reset();
    return 0;
}
