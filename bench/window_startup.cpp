// Time from start to the first painted face, and from the ESC's greeting to the pages being
// ready, over the simulator with the real worker thread.
#include <chrono>
#include <cstdio>
#include <memory>

#include <QApplication>
#include <QEvent>

#include "CCorvaneProgPanelDlg.h"
#include "LinkNoticeQueue.h"
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
        // The link's first notice is the ESC's greeting.
        if (event->type() == LinkNoticeQueue::WakeKind() && !greeted) {
            greeted = true;
            greetedAt = Steady::now();
        }
        return false;
    }
    QObject* window = nullptr;
    bool painted = false, greeted = false;
    Steady::time_point paintedAt, greetedAt;
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
    // Application-wide: the link's notices go to the window's controller, not the window.
    watch.window = window.get();
    app.installEventFilter(&watch);
    window->show();
    while (!watch.painted || !window->ParamsLoaded()) {
        app.processEvents(QEventLoop::AllEvents, 5);
        if (Ms(start, Steady::now()) > 20000) {
            std::printf("timed out\n");
            return 1;
        }
    }
    const auto ready = Steady::now();
    std::printf("start to first painted face: %.1f ms (includes the 100 ms start-up pause)\n",
                Ms(start, watch.paintedAt));
    std::printf("greeting to pages ready:     %.1f ms\n", Ms(watch.greetedAt, ready));
    window.reset();
    return 0;
}
