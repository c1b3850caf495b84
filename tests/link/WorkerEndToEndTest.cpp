// The whole road of a connection through the real worker thread and the simulator.
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "KVALinkCore.h"
#include "RecordingSink.h"
#include "SimPort.h"

using namespace corvane;
using namespace corvane::test;

namespace {

// Polls cond until it holds; the limit only stops a hung test.
template <class F> bool Eventually(F cond) {
    for (int i = 0; i < 2000; ++i) {
        if (cond()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return cond();
}

} // namespace

TEST(WorkerEndToEnd, ConnectReadWriteKeepAliveUnplug) {
    sim::SimPort port;
    port.SetReadWait(kReadWaitMs);
    RecordingSink sink;
    KVALinkCore link(&port);
    link.SetNotifySink(&sink);
    link.Reset();
    ASSERT_TRUE(link.Run(true));
    link.WantIdentity(true);

    ASSERT_TRUE(sink.WaitFor(LN_IDENTIFIED));
    EXPECT_EQ(link.m_EscRecord.byModel, 8);
    EXPECT_EQ(link.m_EscRecord.byFamily, 50);
    EXPECT_EQ(link.m_EscRecord.byVersionLetter, 'A');
    EXPECT_EQ(link.m_EscRecord.byVersion, 12);

    ASSERT_TRUE(link.ReadParameters());
    ASSERT_TRUE(sink.WaitFor(LN_READ_DONE));
    link.WantIdentity(false);
    const auto escBlock = port.Esc([](sim::EscSimulator& e) { return e.ParamBlock(); });
    ASSERT_NE(link.m_EscRecord.pData, nullptr);
    EXPECT_TRUE(std::equal(escBlock.begin(), escBlock.end(), link.m_EscRecord.pData.get()));

    link.m_EscRecord.pData[9 + 12] = 42; // brake strength
    sink.Clear();
    ASSERT_TRUE(link.WriteParameters());
    ASSERT_TRUE(sink.WaitFor(LN_WRITE_DONE));
    EXPECT_EQ(sink.Codes(),
              (std::vector<uint32_t>{LN_BLOCK_PROGRESS, LN_BLOCK_START, LN_WRITE_DONE}));
    const auto written = port.Esc([](sim::EscSimulator& e) { return e.WrittenBlocks(); });
    ASSERT_EQ(written.size(), 1u);
    EXPECT_TRUE(std::equal(written[0].begin(), written[0].end(), link.m_EscRecord.pData.get()));

    // Idle: the tool keeps the ESC company and nothing is reported.
    const auto identifies = [&] {
        return port.Esc([](sim::EscSimulator& e) { return e.IdentifyCount(); });
    };
    const int before = identifies();
    EXPECT_TRUE(Eventually([&] { return identifies() >= before + 2; }));
    EXPECT_EQ(sink.Count(LN_IDENTIFIED), 0);

    port.PlugDongle(false);
    ASSERT_TRUE(sink.WaitFor(LN_LINK_LOST));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(sink.Count(LN_LINK_LOST), 1);
    EXPECT_TRUE(link.Run(false));
}

TEST(WorkerEndToEnd, ReplugReconnects) {
    sim::SimPort port;
    port.SetReadWait(kReadWaitMs);
    RecordingSink sink;
    KVALinkCore link(&port);
    link.SetNotifySink(&sink);
    link.Reset();
    ASSERT_TRUE(link.Run(true));
    link.WantIdentity(true);
    ASSERT_TRUE(sink.WaitFor(LN_IDENTIFIED));

    port.PlugDongle(false);
    ASSERT_TRUE(sink.WaitFor(LN_LINK_LOST));
    // What the window does on an arrival notice: it notes it, and the worker opens the
    // dongle and says so.
    port.PlugDongle(true);
    ASSERT_TRUE(port.NoteArrival(sim::SimPort::kDevicePath));
    ASSERT_TRUE(sink.WaitFor(LN_DONGLE_SEARCHED, 2)); // the start-up search's, then this one's
    const std::vector<Note> notes = sink.Notes();
    EXPECT_EQ(std::count(notes.begin(), notes.end(), Note{LN_DONGLE_SEARCHED, kSearchOpened}), 1);
    link.WantIdentity(true);
    ASSERT_TRUE(sink.WaitFor(LN_IDENTIFIED, 2));
    EXPECT_EQ(port.HelloCount(), 2);
}
