// The connection controller over the simulator with no window, under a recording view.
#pragma once

#include <memory>

#include "PumpFixture.h"
#include "RecordingView.h"

namespace corvane::test {

class ControllerFixture : public PumpFixture {
protected:
    RecordingView view;
    std::unique_ptr<ConnectionController> controller;

    KVALinkCore& TheLink() override { return controller->Link(); }
    QStringList Lines() const override { return view.lines; }

    // Builds and starts the controller; knobs on the simulator go before this.
    void Open(bool dongle = true) {
        port.PlugDongle(dongle);
        log.clear();
        view = RecordingView();
        view.log = &log;
        controller = std::make_unique<ConnectionController>(
            port, view, ConnectionController::Options{.startWorker = false, .clock = &clock});
        controller->Start();
    }
    void Connect() {
        Open();
        ASSERT_TRUE(PumpUntil([&] { return controller->ParamsLoaded(); }));
        Settle();
    }
    void TearDown() override { controller.reset(); }
};

} // namespace corvane::test
