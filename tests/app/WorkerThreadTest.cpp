// The window over the real worker thread and the simulator: a write, a firmware update with
// the restore after it, and a close while connected. Every notice crosses from the worker to
// the window thread here, which is what ThreadSanitizer checks in CI.
#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

#include <QCoreApplication>
#include <QListWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "CCorvaneProgPanelDlg.h"
#include "ParamBlockLayout.h"
#include "SimPort.h"

using namespace corvane;

namespace {

// Runs the window's events until done holds; the limit only stops a hung test.
bool Await(const std::function<bool()>& done) {
    for (int i = 0; i < 4000 && !done(); ++i) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

bool Shows(const CCorvaneProgPanelDlg& window, const QString& line) {
    return !window.StatusList()->findItems(line, Qt::MatchExactly).isEmpty();
}

} // namespace

TEST(WorkerThread, WriteFlashRestoreThenCloseWhileConnected) {
    QTemporaryDir dir;
    const QString file = dir.filePath("update.cuf");
    {
        std::ofstream out(file.toStdString(), std::ios::binary);
        out.write("\x42\x00\x09\x00\x08\x32\x42\x0e\x04", 9); // 4 blocks of 66 bytes, VRX_Q8 B1.4
        for (int i = 0; i < 66 * 4; ++i) {
            out.put(static_cast<char>(i * 7));
        }
    }
    sim::SimPort port;
    port.SetReadWait(kReadWaitMs);
    port.Esc([](sim::EscSimulator& e) { e.ExpectFirmware(66, 4, 'B', 14); });
    auto window = std::make_unique<CCorvaneProgPanelDlg>(port);
    window->SetFileChooser([&](QWidget*, const auto&) { return file; });
    window->SetMessageBoxRunner([](QWidget*, QMessageBox::Icon, const QString&, const QString&,
                                   QMessageBox::StandardButtons buttons) {
        return buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
    });
    EXPECT_TRUE(window->Connection().Link().IsRunning());
    ASSERT_TRUE(Await([&] { return window->Connection().ParamsLoaded(); }));

    const uint8_t drag =
        window->Connection().Params().GetParamPosition(PARAM_DRAG_BRAKE) == 10 ? 11 : 10;
    window->Connection().Params().SetParamPosition(PARAM_DRAG_BRAKE, drag);
    window->Connection().UpdateParameters();
    ASSERT_TRUE(Await([&] { return Shows(*window, "Update Parameters Completed."); }));

    // The ESC returns to its defaults; the restore puts the change back and confirms it.
    window->Connection().Firmware().Start();
    ASSERT_TRUE(Await([&] { return Shows(*window, "Previous settings restored."); }));
    const auto written = port.Esc([](sim::EscSimulator& e) { return e.WrittenBlocks(); });
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[1][block::kValueOffset + PARAM_DRAG_BRAKE], drag);
    EXPECT_EQ(port.Esc([](sim::EscSimulator& e) { return e.FirmwareBlocks().size(); }), 4u);

    window->Connection().Stop();
    EXPECT_FALSE(window->Connection().Link().IsRunning());
    window.reset();
    // Notifications posted before the stop die with the window; nothing is left to run.
    QCoreApplication::processEvents();
}
