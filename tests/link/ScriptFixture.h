// A link over a scripted port: the test plays the ESC byte by byte with a manual clock.
#pragma once

#include <gtest/gtest.h>

#include "KVALinkCore.h"
#include "ManualClock.h"
#include "RecordingSink.h"
#include "ScriptPort.h"

namespace corvane::test {

using Bytes = std::vector<uint8_t>;

class ScriptFixture : public ::testing::Test {
protected:
    ManualClock clock;
    ScriptPort port;
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

    void Pass(uint32_t stepMs = 1) {
        link.RunPass();
        clock.Advance(stepMs);
    }
    // Sends everything pending and returns what went out.
    Bytes Flush() {
        for (int i = 0; i < 100 && link.GetTxLength() > 0; ++i) {
            Pass();
        }
        return port.TakeWritten();
    }
    // The ESC sends `in`; returns the tool's answer.
    Bytes Say(Bytes in) {
        port.Feed(std::move(in));
        Pass();
        return Flush();
    }
    // The ESC accepts the block and stays quiet until the acceptance counts.
    void Accept() {
        Say({0xF1});
        clock.Advance(kLastBlockWatchMs + 1);
        Pass();
    }
    void Greet() {
        Pass(); // LINK_DOWN -> LINK_WAIT_ESC
        ASSERT_EQ(Say({0x13}), Bytes{0xF7});
        ASSERT_EQ(Say({0xFA}), Bytes{});
        ASSERT_EQ(link.GetLinkState(), LINK_IDLE);
    }
    // Runs the identify exchange that follows a greeting.
    void Identify(uint8_t model = 8, uint8_t family = 50, uint8_t letter = 'A',
                  uint8_t version = 12) {
        // Idle with an identify due: the request leaves in the pass that starts it, not
        // after the next pass's read wait.
        Pass();
        ASSERT_EQ(port.TakeWritten(), Bytes{0x27});
        ASSERT_EQ(Say({2, 0x11, model, family}), Bytes{0xF7});
        ASSERT_EQ(Say({0x13, letter, version}), Bytes{});
        ASSERT_EQ(Say({0xF1}), Bytes{});
        ASSERT_EQ(link.GetLinkState(), LINK_IDLE);
    }
    void Connect() {
        Greet();
        Identify();
        sink.Clear();
    }
};

} // namespace corvane::test
