// Closing the window while an ESC is connected: the worker is stopped and joined before the
// window goes (run under ThreadSanitizer in CI).
#include <chrono>
#include <thread>

#include <QCoreApplication>
#include <gtest/gtest.h>

#include "CCorvaneProgPanelDlg.h"
#include "SimPort.h"

using namespace corvane;

TEST(Shutdown, ClosingWhileConnectedStopsTheWorker) {
    sim::SimPort port;
    port.SetReadWait(kReadWaitMs);
    auto window = std::make_unique<CCorvaneProgPanelDlg>(port);
    EXPECT_TRUE(window->Link().IsRunning());
    for (int i = 0; i < 2000 && !window->ParamsLoaded(); ++i) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(window->ParamsLoaded());
    window->StopLink();
    EXPECT_FALSE(window->Link().IsRunning());
    window.reset();
    // Notifications posted before the stop die with the window; nothing is left to run.
    QCoreApplication::processEvents();
}
