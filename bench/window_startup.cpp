// Time from start to the first painted face, and from the ESC's greeting to the pages being
// ready, over the simulator with the real worker thread.
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

#include <QApplication>
#include <QEvent>

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
    while (!watch.painted || !window->ParamsLoaded()) {
        app.processEvents(QEventLoop::AllEvents, 5);
        if (!greetedAt && window->Connection().Identity().nEpoch != 0) {
            greetedAt = Steady::now();
        }
        if (Ms(start, Steady::now()) > 20000) {
            std::printf("%s never came\n", !watch.painted ? "the first paint"
                                           : !greetedAt   ? "the ESC's greeting"
                                                          : "the pages");
            return 1;
        }
    }
    const auto ready = Steady::now();
    std::printf("start to first painted face: %.1f ms (includes the 100 ms start-up pause)\n",
                Ms(start, watch.paintedAt));
    std::printf("greeting to pages ready:     %.1f ms\n", Ms(*greetedAt, ready));
    window.reset();
    return 0;
}
