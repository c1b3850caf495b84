// The 1,000 ms byte timeout of every exchange, and the tick counter wrapping.
#include "ScriptFixture.h"

using namespace corvane;
using namespace corvane::test;

using Timeout = ScriptFixture;

TEST_F(Timeout, SilentIdentifyEndsAfterMoreThan1000Ms) {
    Greet();
    sink.Clear();
    Pass(); // identify starts: the timer runs from here
    const uint32_t started = clock.Now() - 1;
    clock.Set(started + 1000);
    link.RunPass();
    link.RunPass(); // the pending 0x27 went out; nothing else
    EXPECT_TRUE(sink.Notes().empty());
    clock.Set(started + 1001);
    link.RunPass();
    EXPECT_EQ(sink.Notes(), (std::vector<Note>{{LN_TIMEOUT_IDENTIFY, 3}, {LN_LINK_LOST, 0}}));
    EXPECT_EQ(link.GetLinkState(), LINK_WAIT_ESC);
    EXPECT_TRUE(link.GetReportIdentity());
}

TEST_F(Timeout, WaitingForTheEscAfterATimeoutNeverTimesOut) {
    Greet();
    Pass();
    Flush();
    clock.Advance(2000);
    Pass();
    sink.Clear();
    clock.Advance(100000);
    Pass();
    EXPECT_TRUE(sink.Notes().empty());
    // One stray byte starts the timer; with no greeting completed the link times out again.
    Say({0x55});
    clock.Advance(1001);
    Pass();
    EXPECT_EQ(sink.Notes(), (std::vector<Note>{{LN_TIMEOUT_WAIT, 0}, {LN_LINK_LOST, 0}}));
}

TEST_F(Timeout, KeepAliveTimeoutPostsOnlyLinkLost) {
    Connect();
    // The window has taken the identity; whatever greets next must be reported afresh.
    link.WantIdentity(false);
    clock.Advance(600);
    Pass();
    Flush();
    clock.Advance(1001);
    Pass();
    EXPECT_EQ(sink.Notes(), (std::vector<Note>{{LN_LINK_LOST, 0}}));
    EXPECT_TRUE(link.GetReportIdentity());
}

TEST_F(Timeout, WrappedCounterRestartsTheTimer) {
    clock.Set(0xFFFFFF00u);
    Greet();
    sink.Clear();
    Pass(); // identify starts near the top of the counter
    Flush();
    clock.Set(5); // wrapped: "now" is below the start
    Pass();
    EXPECT_TRUE(sink.Notes().empty());
    EXPECT_EQ(link.GetByteTimerStart(), 5u);
    clock.Set(5 + 1001);
    Pass();
    EXPECT_EQ(sink.Count(LN_TIMEOUT_IDENTIFY), 1);
}

TEST_F(Timeout, ExchangeStartedOnTickZeroStillTimesOut) {
    Connect();
    clock.Set(0); // the counter wraps onto 0 just as the keep-alive starts
    Pass();
    ASSERT_EQ(link.GetLinkState(), LINK_KEEPALIVE);
    Flush();
    clock.Advance(1001);
    Pass();
    EXPECT_EQ(sink.Notes(), (std::vector<Note>{{LN_LINK_LOST, 0}}));
    EXPECT_EQ(link.GetLinkState(), LINK_WAIT_ESC);
}

TEST_F(Timeout, PortRemovedWhileIdlePostsOneLinkLost) {
    Connect();
    port.Remove();
    for (int i = 0; i < 20; ++i) {
        Pass(100);
    }
    EXPECT_EQ(sink.Notes(), (std::vector<Note>{{LN_LINK_LOST, 0}}));
    EXPECT_EQ(link.GetLinkState(), LINK_DOWN);
    EXPECT_FALSE(port.HoldsDevice());
    EXPECT_EQ(port.EmptyCloses(), 0) << "closed again with no device held";
}

TEST_F(Timeout, NoSinkChangesNothingButThePosting) {
    link.SetNotifySink(nullptr);
    Greet();
    Pass();
    Flush();
    clock.Advance(1001);
    Pass();
    EXPECT_EQ(link.GetLinkState(), LINK_WAIT_ESC);
    EXPECT_TRUE(sink.Notes().empty());
}

TEST_F(Timeout, BytesThatPlayNoPartDoNotHoldAnExchangeOpen) {
    Connect();
    std::vector<uint8_t> block(512, 7);
    link.m_EscRecord.pData.reset(new uint8_t[512]);
    link.m_EscRecord.nDataSize = 512;
    std::copy(block.begin(), block.end(), link.m_EscRecord.pData.get());
    ASSERT_TRUE(link.WriteParameters());
    Pass();
    ASSERT_EQ(Flush(), Bytes{0x62});
    ASSERT_EQ(Say({0xF7}), Bytes{0xA1});
    ASSERT_EQ(Say({0xF7}).size(), 514u);
    sink.Clear();
    // The ESC was re-plugged mid-block and greets every 300 ms instead of answering.
    for (int i = 0; i < 4; ++i) {
        clock.Advance(300);
        EXPECT_EQ(Say({0x13}), Bytes{});
        Pass();
    }
    EXPECT_EQ(sink.Notes(), (std::vector<Note>{{LN_TIMEOUT_WRITE, 3}, {LN_LINK_LOST, 0}}));
    EXPECT_EQ(link.GetLinkState(), LINK_WAIT_ESC);
}

TEST_F(Timeout, DongleThatTakesNothingStillEndsTheExchange) {
    Greet();
    sink.Clear();
    port.SetWriteRoom(0);
    Pass(); // identify starts; its request never leaves
    EXPECT_EQ(link.GetTxLength(), 1);
    clock.Advance(1001);
    Pass();
    EXPECT_EQ(sink.Notes(), (std::vector<Note>{{LN_TIMEOUT_IDENTIFY, 3}, {LN_LINK_LOST, 0}}));
    EXPECT_EQ(link.GetTxLength(), 0);
}

// Queued bytes wait at most 1,000 ms for the dongle in any state: here the answer to an ESC
// that greets with 0xF7, queued as the link goes idle.
TEST_F(Timeout, BytesTheDongleNeverTakesLoseTheLink) {
    Pass();
    port.SetWriteRoom(0);
    port.Feed({0xF7});
    Pass();
    ASSERT_EQ(link.GetLinkState(), LINK_IDLE);
    ASSERT_EQ(link.GetTxLength(), 1);
    sink.Clear();
    for (int i = 0; i < 1100; ++i) {
        Pass();
    }
    EXPECT_EQ(sink.Notes(), (std::vector<Note>{{LN_LINK_LOST, 0}}));
    EXPECT_EQ(link.GetTxLength(), 0);
}

// The dongle may hold bytes back for exactly 1,000 ms; a stall counts from when it began, and
// one that ended is forgotten: a slow moment now and then never adds up to a lost link.
class Stall : public ScriptFixture {
protected:
    // Queues the answer to a greeting that the dongle will not take; returns when the first
    // refused send began the stall.
    uint32_t StallStarts() {
        Pass();
        port.SetWriteRoom(0);
        port.Feed({0xF7});
        Pass();
        link.RunPass();
        sink.Clear();
        return clock.Now();
    }
};

TEST_F(Stall, LastsExactly1000MsAtMost) {
    const uint32_t since = StallStarts();
    clock.Set(since + kTxStallMs);
    link.RunPass();
    EXPECT_TRUE(sink.Notes().empty());
    clock.Set(since + kTxStallMs + 1);
    link.RunPass();
    EXPECT_EQ(sink.Notes(), (std::vector<Note>{{LN_LINK_LOST, 0}}));
}

TEST_F(Stall, OneThatEndedIsForgotten) {
    const uint32_t since = StallStarts();
    clock.Set(since + 300);
    link.RunPass();
    port.SetWriteRoom(62);
    link.RunPass(); // the bytes go
    ASSERT_EQ(link.GetTxLength(), 0);
    port.SetWriteRoom(0);
    for (int i = 0; i < 200 && link.GetTxLength() == 0; ++i) {
        Pass(10); // until the keep-alive's request waits for the dongle
    }
    ASSERT_GT(link.GetTxLength(), 0);
    const uint32_t again = clock.Now() - 10;
    // Shorter than the limit on its own, longer counted from the first stall.
    ASSERT_GT(again + 750, since + kTxStallMs);
    clock.Set(again + 750);
    link.RunPass();
    EXPECT_EQ(sink.Count(LN_LINK_LOST), 0);
}
