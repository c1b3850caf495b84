// Greeting, identify and keep-alive against a scripted ESC.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "ScriptFixture.h"

using namespace corvane;
using namespace corvane::test;

using Handshake = ScriptFixture;

TEST_F(Handshake, GreetingWith13IsClosedByTheEsc) {
    Greet();
    EXPECT_EQ(sink.Notes(), (std::vector<Note>{{LN_GREETING, 0}}));
}

TEST_F(Handshake, GreetingWithF7IsAnsweredWithFA) {
    Pass();
    EXPECT_EQ(Say({0xF7}), Bytes{0xFA});
    EXPECT_EQ(link.GetLinkState(), LINK_IDLE);
    EXPECT_TRUE(sink.Notes().empty());
}

TEST_F(Handshake, PassThatReceivesDoesNotSend) {
    Pass();
    port.Feed({0x13});
    Pass();
    EXPECT_TRUE(port.Writes().empty());
    EXPECT_EQ(link.GetTxLength(), 1);
    Pass();
    EXPECT_EQ(port.TakeWritten(), Bytes{0xF7});
}

TEST_F(Handshake, IdentifyReportsTheIdentity) {
    Greet();
    Identify(16, 50, 'B', 105);
    EXPECT_EQ(sink.Notes(), (std::vector<Note>{{LN_GREETING, 0}, {LN_IDENTIFIED, 0}}));
    EXPECT_EQ(link.m_EscRecord.byModel, 16);
    EXPECT_EQ(link.m_EscRecord.byFamily, 50);
    EXPECT_EQ(link.m_EscRecord.byVersionLetter, 'B');
    EXPECT_EQ(link.m_EscRecord.byVersion, 105);
    EXPECT_EQ(port.GetState(), PORT_ESC_READY);
    EXPECT_FALSE(link.IsIdentifyNeeded());
}

TEST_F(Handshake, OneAnnouncedFieldGetsNoGoOn) {
    Greet();
    Pass();
    ASSERT_EQ(Flush(), Bytes{0x27});
    EXPECT_EQ(Say({1, 0x11, 8, 50}), Bytes{});
    EXPECT_EQ(Say({0xF1}), Bytes{});
    EXPECT_EQ(sink.Count(LN_IDENTIFIED), 1);
    // The version field never came: both of its values stay 0xFF.
    EXPECT_EQ(link.m_EscRecord.byVersionLetter, 0xFF);
    EXPECT_EQ(link.m_EscRecord.byVersion, 0xFF);
}

TEST_F(Handshake, FirstByteIsTheFieldCountEvenWhenItLooksLikeATag) {
    Greet();
    Pass();
    Flush();
    // 0x11 is taken as the count; the field begins with the next 0x11.
    EXPECT_EQ(Say({0x11, 0x11, 8, 50}), Bytes{0xF7});
}

TEST_F(Handshake, UnknownTagsAreNeverAcknowledged) {
    Greet();
    Pass();
    Flush();
    EXPECT_EQ(Say({2, 0x42, 1, 2, 3, 4}), Bytes{});
    clock.Advance(1001);
    Pass();
    EXPECT_EQ(sink.Notes(),
              (std::vector<Note>{{LN_GREETING, 0}, {LN_TIMEOUT_IDENTIFY, 3}, {LN_LINK_LOST, 0}}));
}

TEST_F(Handshake, KeepAliveStartsStrictlyAfter500QuietMs) {
    Greet();
    Pass();
    Flush();
    Say({2, 0x11, 8, 50});
    Say({0x13, 'A', 12});
    const uint32_t lastTraffic = clock.Now();
    port.Feed({0xF1});
    link.RunPass();
    clock.Set(lastTraffic + 500);
    link.RunPass();
    EXPECT_EQ(link.GetTxLength(), 0);
    clock.Set(lastTraffic + 501);
    link.RunPass();
    EXPECT_EQ(link.GetLinkState(), LINK_KEEPALIVE);
    EXPECT_EQ(Flush(), Bytes{0x27});
}

// Every keep-alive reads the whole identity; only the one on record counts as an answer. A
// greeting means the ESC restarted: it is greeted and identified afresh. Another identity, or
// noise in the reply, is never taken from a keep-alive: the ESC is identified afresh. Either
// way nothing checked against the old connection reaches the ESC. An end before the last
// field plays no part.
TEST_F(Handshake, KeepAliveAnsweredOnlyByTheIdentityOnRecord) {
    const struct {
        Bytes reply;
        uint8_t version;
        std::vector<uint32_t> codes;
    } cases[] = {
        {{2, 0x11, 8, 50}, 12, {}},
        {{0x13}, 0, {LN_ESC_RESTARTED}},             // a greeting
        {{2, 0x11, 16, 50}, 12, {LN_ESC_RESTARTED}}, // another model
        {{2, 0x11, 8, 50}, 13, {LN_ESC_RESTARTED}},  // another version
        {{2, 0x11, 8, 50, 0xF1}, 12, {}},            // an end too early
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.codes.size() * 100 + c.version);
        link.Reset();
        link.BeginWorker();
        link.WantIdentity(true);
        Connect();
        link.WantIdentity(false);
        const uint32_t epoch = link.Identity().nEpoch;
        clock.Advance(600);
        Pass();
        ASSERT_EQ(Flush(), Bytes{0x27});
        EXPECT_EQ(Say(c.reply), Bytes{0xF7});
        if (c.version != 0) {
            Say({0x13, 'A', c.version});
            Say({0xF1});
        }
        EXPECT_EQ(sink.Codes(), c.codes);
        EXPECT_EQ(link.GetLinkState(), c.version == 0 ? LINK_WAIT_ESC : LINK_IDLE);
        const Bytes block(512, 1);
        EXPECT_EQ(link.WriteParameters(block.data(), 512, epoch), c.codes.empty());
        sink.Clear();
    }
}

// An ESC that restarts right after the last field greets where the end should come: the
// greetings may not hold the keep-alive open.
TEST_F(Handshake, GreetingAfterTheLastFieldIsARestart) {
    Connect();
    link.WantIdentity(false);
    clock.Advance(600);
    Pass();
    ASSERT_EQ(Flush(), Bytes{0x27});
    ASSERT_EQ(Say({2, 0x11, 8, 50}), Bytes{0xF7});
    EXPECT_EQ(Say({0x13, 'A', 12, 0x13}), Bytes{0xF7});
    EXPECT_EQ(sink.Codes(), std::vector<uint32_t>{LN_ESC_RESTARTED});
    EXPECT_EQ(link.GetLinkState(), LINK_WAIT_ESC);
}

TEST_F(Handshake, KeepAliveWithReportWantedRunsToTheEnd) {
    Connect();
    clock.Advance(600);
    Pass();
    ASSERT_EQ(Flush(), Bytes{0x27});
    EXPECT_EQ(Say({2, 0x11, 8, 50}), Bytes{0xF7});
    Say({0x13, 'A', 12});
    Say({0xF1});
    EXPECT_EQ(sink.Codes(), std::vector<uint32_t>{LN_IDENTIFIED});
    EXPECT_EQ(link.Identity().byVersion, 12);
}

TEST_F(Handshake, BytesWhileIdleAreDropped) {
    Connect();
    EXPECT_EQ(Say({0x65, 0x13, 0xF7, 0xFA, 0xF1}), Bytes{});
    EXPECT_EQ(link.GetLinkState(), LINK_IDLE);
    EXPECT_TRUE(sink.Notes().empty());

    // An ESC that restarted greets every 200 ms while the link thinks it idle: the dropped
    // greetings must not put the keep-alive off, or the link never finds out.
    Bytes sent;
    for (int i = 0; i < 5 && sent.empty(); ++i) {
        clock.Advance(200);
        port.Feed({0x13});
        Pass();
        Pass(); // a pass with nothing received: the idle link decides
        sent = Flush();
    }
    EXPECT_EQ(sent, Bytes{0x27});
}

// Stray bytes in an identify's reply do not hold it open: it times out 1,000 ms after it began.
TEST_F(Handshake, StrayBytesDoNotHoldAnIdentifyOpen) {
    Greet();
    Pass();
    ASSERT_EQ(Flush(), Bytes{0x27});
    Say({2}); // the field count; 0x00 is no tag
    for (int elapsed = 0; elapsed < 1400; elapsed += 200) {
        clock.Advance(200);
        Pass(); // a quiet pass: the timer is looked at
        Say({0x00});
    }
    EXPECT_EQ(sink.Count(LN_TIMEOUT_IDENTIFY), 1);
}

TEST_F(Handshake, RejectedEscIgnoresGreetingsUntilATimeout) {
    Greet();
    Identify(8, 49);
    link.RejectEsc(); // the window rejects the family
    Pass();
    EXPECT_EQ(link.GetLinkState(), LINK_WAIT_ESC);
    sink.Clear();
    EXPECT_EQ(Say({0x13}), Bytes{});
    EXPECT_EQ(Say({0xF7}), Bytes{});
    clock.Advance(1001);
    Pass();
    EXPECT_EQ(sink.Notes(), (std::vector<Note>{{LN_TIMEOUT_WAIT, 3}, {LN_LINK_LOST, 0}}));
    EXPECT_EQ(Say({0x13}), Bytes{0xF7}); // greeted normally again
}

// CORVANE_TRACE=1: every payload both ways and every state change, with the time; off unless
// asked for.
TEST_F(Handshake, TraceShowsBytesBothWaysAndStateChanges) {
    std::ostringstream trace;
    link.SetTraceStream(&trace);
    Pass();
    const uint32_t greeted = clock.Now();
    port.Feed({0x13, 0x00});
    Pass();
    Flush();
    char expected[128];
    std::snprintf(expected, sizeof expected, "%10u rx   2: 13 00\n", greeted);
    EXPECT_NE(trace.str().find(expected), std::string::npos) << trace.str();
    EXPECT_NE(trace.str().find(" tx   1: F7\n"), std::string::npos) << trace.str();
    EXPECT_NE(trace.str().find(" link DOWN -> WAIT_ESC\n"), std::string::npos) << trace.str();

    ::unsetenv("CORVANE_TRACE");
    EXPECT_EQ(LinkTrace::FromEnvironment(), nullptr);
    ::setenv("CORVANE_TRACE", "1", 1);
    EXPECT_EQ(LinkTrace::FromEnvironment(), &std::cerr);
    ::unsetenv("CORVANE_TRACE");
}
