// A link over the simulator driven one worker pass at a time with a manual clock.
#pragma once

#include <functional>

#include <gtest/gtest.h>

#include "KVALinkCore.h"
#include "ManualClock.h"
#include "RecordingSink.h"
#include "SimPort.h"

namespace corvane::test {

class LinkFixture : public ::testing::Test {
protected:
    ManualClock clock;
    sim::SimPort port{&clock};
    KVALinkCore link{&port};
    RecordingSink sink;

    void SetUp() override {
        link.SetClock(&clock);
        link.SetNotifySink(&sink);
        link.Reset();
        link.BeginWorker();
        link.WantIdentity(true);
        sink.Clear(); // the start-up search's outcome
    }

    // One worker pass, then time moves on by stepMs.
    void Pass(uint32_t stepMs = 1) {
        link.RunPass();
        clock.Advance(stepMs);
    }
    void Passes(int n, uint32_t stepMs = 1) {
        for (int i = 0; i < n; ++i) {
            Pass(stepMs);
        }
    }
    // Runs passes until done() holds; false when it never did within maxPasses.
    bool PassUntil(const std::function<bool()>& done, int maxPasses = 5000, uint32_t stepMs = 1) {
        for (int i = 0; i < maxPasses; ++i) {
            if (done()) {
                return true;
            }
            Pass(stepMs);
        }
        return done();
    }
    bool PassUntilNote(uint32_t code, int times = 1) {
        return PassUntil([&] { return sink.Count(code) >= times; });
    }
    // Greeting and identify: the ESC is reported.
    void Connect() { ASSERT_TRUE(PassUntilNote(LN_IDENTIFIED)); }
    // Connect and read the parameter block.
    void ConnectAndRead() {
        Connect();
        ASSERT_TRUE(link.ReadParameters());
        ASSERT_TRUE(PassUntilNote(LN_READ_DONE));
        PassUntil([&] { return link.GetLinkState() == LINK_IDLE; });
    }
    // Lets the link settle with nothing to do (no keep-alive due).
    void Settle() {
        PassUntil([&] { return link.GetLinkState() == LINK_IDLE && link.GetTxLength() == 0; });
    }
};

} // namespace corvane::test
