// Parameter read, block write and firmware frame against a scripted ESC.
#include <algorithm>
#include <numeric>
#include <sstream>

#include "Crc16.h"
#include "ScriptFixture.h"

using namespace corvane;
using namespace corvane::test;

namespace {

Bytes ReadReply(const Bytes& block, uint16_t check) {
    Bytes reply{0x65, 0x00};
    reply.insert(reply.end(), block.begin(), block.end());
    reply.push_back(static_cast<uint8_t>(check & 0xFF));
    reply.push_back(static_cast<uint8_t>(check >> 8));
    reply.push_back(0xF1);
    return reply;
}

Bytes CountingBlock(uint8_t seed) {
    Bytes block(512);
    std::iota(block.begin(), block.end(), seed);
    return block;
}

} // namespace

class Transfer : public ScriptFixture {
protected:
    // Starts a read and answers up to the reply.
    void BeginRead() {
        ASSERT_TRUE(link.ReadParameters());
        ASSERT_EQ(Flush(), Bytes{0x86});
        ASSERT_EQ(Say({0xF7}), Bytes{0x82});
    }
    void LoadEscBlock(const Bytes& block) {
        link.m_EscRecord.pData.reset(new uint8_t[512]);
        link.m_EscRecord.nDataSize = 512;
        std::copy(block.begin(), block.end(), link.m_EscRecord.pData.get());
    }
    // Runs the write up to the ESC's verdict on the frame; returns the 514 bytes sent.
    Bytes SendBlock() {
        Pass(); // the worker frames the block
        EXPECT_EQ(Flush(), Bytes{0x62});
        EXPECT_EQ(Say({0xF7}), Bytes{0xA1});
        return Say({0xF7});
    }
    // Loads `blocks` firmware blocks of six bytes and hands the transfer over.
    void StartFirmware(uint8_t blocks) {
        std::string file{6, 0, 9, 0, 8, 50, 'A', 13, static_cast<char>(blocks)};
        file.append(6u * blocks, '\x5A');
        std::istringstream in(file);
        ASSERT_TRUE(link.LoadUpgradeFile(in));
        ASSERT_TRUE(link.StartFirmwareUpdate(&link.m_FirmwareRecord));
    }
    // Runs one firmware block up to the ESC's verdict.
    void SendFirmwareBlock() {
        Pass();
        ASSERT_EQ(Flush(), Bytes{0x62});
        for (int i = 0; i < 3; ++i) {
            Say({0xF7}); // command and the two bytes sent singly
        }
        ASSERT_EQ(Say({0xF7}).size(), 4u);
    }
};

// After an acceptance the ESC stays quiet until the next block's request is answered, and
// after the last block for 100 ms. A refusal behind a stray acceptance fails the transfer;
// the block the acceptance named is never sent again.
// The same holds of a stray refusal ahead of the ESC's acceptance: the block may be stored.
TEST_F(Transfer, VerdictContradictedBeforeTheNextRequestFailsTheTransfer) {
    for (const Bytes& verdicts : {Bytes{0xF1, 0xFA}, Bytes{0xFA, 0xF1}}) {
        Connect();
        StartFirmware(2);
        SendFirmwareBlock();
        sink.Clear();
        port.Feed(verdicts);
        Pass();
        EXPECT_EQ(sink.Codes(), std::vector<uint32_t>{LN_WRITE_FAILED});
        clock.Advance(200);
        Pass();
        EXPECT_EQ(Flush(), Bytes{}) << "no block is sent again";
        link.Reset();
        link.BeginWorker();
    }
}

TEST_F(Transfer, LastBlockIsDoneOnlyOnceTheEscStaysQuiet) {
    Connect();
    StartFirmware(1);
    SendFirmwareBlock();
    Say({0xF1});
    EXPECT_EQ(sink.Count(LN_WRITE_DONE), 0) << "a refusal may still follow";
    Say({0xFA});
    clock.Advance(200);
    Pass();
    EXPECT_EQ(sink.Notes().back(), (Note{LN_WRITE_FAILED, 0x81}));
    EXPECT_EQ(sink.Count(LN_WRITE_DONE), 0);
}

// A flashed ESC may reboot at once and greet, with either of its greetings: that is no
// verdict on the last block, which stands once the watch is over.
TEST_F(Transfer, EitherGreetingAfterTheLastBlockIsTheReboot) {
    for (const uint8_t greeting : {esc::kGreeting, esc::kGoOn}) {
        Connect();
        StartFirmware(1);
        SendFirmwareBlock();
        Say({0xF1});
        Say({greeting});
        clock.Advance(kLastBlockWatchMs + 1);
        Pass();
        EXPECT_EQ(sink.Notes().back(), (Note{LN_WRITE_DONE, 0x81})) << int{greeting};
        EXPECT_EQ(sink.Count(LN_WRITE_FAILED), 0) << int{greeting};
        link.Reset();
        link.BeginWorker();
    }
}

// An ESC that greets between a block and its verdict (either way: 0x13, or 0xF7 after the
// body's go-on) may have restarted and lost the block: no verdict after the greeting counts,
// and nothing is sent into a frame the ESC may have left.
TEST_F(Transfer, AGreetingBeforeTheVerdictFailsTheTransfer) {
    for (const uint8_t greeting : {esc::kGreeting, esc::kGoOn}) {
        Connect();
        StartFirmware(2);
        SendFirmwareBlock();
        sink.Clear();
        port.Feed({greeting, 0xF1});
        Pass();
        EXPECT_EQ(sink.Codes(), std::vector<uint32_t>{LN_WRITE_FAILED}) << int{greeting};
        EXPECT_EQ(Flush(), Bytes{}) << "no block goes again";
        clock.Advance(200);
        Pass();
        EXPECT_EQ(sink.Count(LN_WRITE_DONE), 0);
        link.Reset();
        link.BeginWorker();
    }
}

// A go-on after the body was queued would send it again, to an ESC that left the frame; and
// the verdict after it may not be this block's.
TEST_F(Transfer, GoOnAfterTheBodyWasQueuedSendsNothing) {
    Connect();
    LoadEscBlock(CountingBlock(3));
    ASSERT_TRUE(link.WriteParameters());
    ASSERT_EQ(SendBlock().size(), 514u);
    EXPECT_EQ(Say({0xF7}), Bytes{});
    EXPECT_EQ(Say({0xF1}), Bytes{});
    EXPECT_EQ(sink.Notes().back(), (Note{LN_WRITE_FAILED, 0xA1})) << "the verdict is in doubt";
}

TEST_F(Transfer, TheQuietWatchBoundsTheReads) {
    Connect();
    LoadEscBlock(CountingBlock(3));
    ASSERT_TRUE(link.WriteParameters());
    ASSERT_EQ(SendBlock().size(), 514u);
    // The quiet watch after the acceptance bounds the reads, so it ends on time, not up to a
    // read wait late; with the watch over, the reads wait in full again.
    Say({0xF1});
    clock.Advance(59); // 60 ms into the watch
    Pass();
    EXPECT_EQ(port.LastReadWait(), kLastBlockWatchMs - 60 + 1);
    clock.Advance(kLastBlockWatchMs);
    Pass();
    EXPECT_EQ(port.LastReadWait(), 0u);
    EXPECT_EQ(sink.Notes().back(), (Note{LN_WRITE_DONE, 0xA1}));
    Pass();
    EXPECT_EQ(port.LastReadWait(), kReadWaitMs);
}

TEST_F(Transfer, ReadWithMatchingCrc) {
    Connect();
    const Bytes block = CountingBlock(3);
    BeginRead();
    Say(ReadReply(block, Crc16(block.data(), 512, 0xFFFF)));
    EXPECT_EQ(sink.Notes(), (std::vector<Note>{{LN_READ_DONE, 0x82}}));
    EXPECT_EQ(link.GetLinkState(), LINK_IDLE);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), link.m_EscRecord.pData.get()));
}

TEST_F(Transfer, ReadWithFallbackSumOrNeither) {
    Connect();
    const Bytes block = CountingBlock(9);
    BeginRead();
    Say(ReadReply(block, FallbackSum(block.data(), 512)));
    EXPECT_EQ(sink.Count(LN_READ_DONE), 1);
    BeginRead();
    Say(ReadReply(block, 0x1234));
    EXPECT_EQ(sink.Notes().back(), (Note{LN_READ_FAILED, 0x82}));
    EXPECT_EQ(link.GetLinkState(), LINK_IDLE);
}

TEST_F(Transfer, CheckByteEqualToEndByteDoesNotEndTheReply) {
    Connect();
    // Find a block whose CRC has 0xF1 as its low byte.
    Bytes block = CountingBlock(0);
    uint16_t check = 0;
    for (int v = 0; v < 65536; ++v) {
        block[100] = static_cast<uint8_t>(v);
        block[101] = static_cast<uint8_t>(v >> 8);
        check = Crc16(block.data(), 512, 0xFFFF);
        if ((check & 0xFF) == 0xF1) {
            break;
        }
    }
    ASSERT_EQ(check & 0xFF, 0xF1);
    BeginRead();
    Bytes reply = ReadReply(block, check);
    reply.pop_back(); // everything but the end byte
    Say(reply);
    EXPECT_TRUE(sink.Notes().empty());
    EXPECT_EQ(link.GetLinkState(), LINK_READ);
    Say({0xF1});
    EXPECT_EQ(sink.Notes(), (std::vector<Note>{{LN_READ_DONE, 0x82}}));
}

TEST_F(Transfer, RefusedReadStaysBusyUntilTheTimeout) {
    Connect();
    ASSERT_TRUE(link.ReadParameters());
    Flush();
    Say({0x00});
    EXPECT_EQ(sink.Notes(), (std::vector<Note>{{LN_READ_FAILED, 0x82 | kReadGoesOn}}));
    EXPECT_EQ(link.GetLinkState(), LINK_READ);
    clock.Advance(1001);
    Pass();
    EXPECT_EQ(sink.Count(LN_TIMEOUT_READ), 1);
    EXPECT_EQ(sink.Notes().back(), (Note{LN_LINK_LOST, 0}));
}

TEST_F(Transfer, ParameterFrameOfZerosCarriesItsCheck) {
    Connect();
    LoadEscBlock(Bytes(512, 0));
    ASSERT_TRUE(link.WriteParameters());
    const Bytes rest = SendBlock();
    ASSERT_EQ(rest.size(), 514u);
    EXPECT_EQ(rest[0], 0xA3);
    EXPECT_EQ(rest[1], 0xC1);
    Accept();
    EXPECT_EQ(
        sink.Notes(),
        (std::vector<Note>{{LN_BLOCK_PROGRESS, 1}, {LN_BLOCK_START, 0xA1}, {LN_WRITE_DONE, 0xA1}}));
}

// The ESC accepts a block only after all of it: an acceptance byte before the frame has gone
// out is a stray byte, and must neither end the block nor keep it alive longer.
TEST_F(Transfer, AcceptanceBeforeTheWholeFrameLeftIsDropped) {
    Connect();
    LoadEscBlock(CountingBlock(4));
    ASSERT_TRUE(link.WriteParameters());
    Pass();
    ASSERT_EQ(Flush(), Bytes{0x62});
    ASSERT_EQ(Say({0xF7}), Bytes{0xA1});
    const uint32_t timer = link.GetByteTimerStart();
    clock.Advance(300);
    EXPECT_EQ(Say({0xF1}), Bytes{}) << "after the header, before the body";
    EXPECT_EQ(link.GetByteTimerStart(), timer);
    port.Feed({0xF7});
    Pass();
    Pass(); // the first report of the body goes out
    port.Feed({0xF1});
    Pass();
    EXPECT_EQ(sink.Count(LN_WRITE_DONE), 0);
    EXPECT_EQ(link.GetLinkState(), LINK_WRITE);
    EXPECT_EQ(port.TakeWritten().size() + Flush().size(), 514u);
    Accept();
    EXPECT_EQ(sink.Notes().back(), (Note{LN_WRITE_DONE, 0xA1}));
    EXPECT_EQ(link.GetLinkState(), LINK_IDLE);
}

// Pulled and plugged in again between two passes: the worker never saw the port closed, but
// nothing of the old exchange may reach the dongle now open.
TEST_F(Transfer, DongleOpenedAgainMidWriteGetsNothingOfTheOldFrame) {
    Connect();
    LoadEscBlock(CountingBlock(5));
    ASSERT_TRUE(link.WriteParameters());
    Pass();
    ASSERT_EQ(Flush(), Bytes{0x62});
    ASSERT_EQ(Say({0xF7}), Bytes{0xA1});
    port.Feed({0xF7});
    Pass();
    Pass(); // part of the body is out
    port.TakeWritten();
    port.Remove();
    port.Open();
    sink.Clear();
    for (int i = 0; i < 20; ++i) {
        Pass();
    }
    EXPECT_TRUE(port.TakeWritten().empty());
    EXPECT_EQ(sink.Notes(), (std::vector<Note>{{LN_LINK_LOST, 0}}));
    EXPECT_EQ(link.GetLinkState(), LINK_WAIT_ESC);
    EXPECT_TRUE(port.HoldsDevice());
}

// A write checked against one ESC connection is refused once that one is gone, even when the
// link is idle again with an ESC the window has not heard of.
TEST_F(Transfer, WriteForALostConnectionIsRefused) {
    Connect();
    const uint32_t epoch = link.Identity().nEpoch;
    clock.Advance(501);
    Pass(); // keep-alive
    ASSERT_EQ(Flush(), Bytes{0x27});
    clock.Advance(1001);
    Pass();  // no answer: the link is lost
    Greet(); // an ESC greets; nobody has identified it
    sink.Clear();
    const Bytes block = CountingBlock(2);
    EXPECT_FALSE(link.WriteParameters(block.data(), 512, epoch));
    EXPECT_EQ(sink.Notes(), (std::vector<Note>{{LN_WRITE_FAILED, 0xA1}}));
    Pass();
    EXPECT_EQ(Flush(), Bytes{}) << "no write request";
    EXPECT_TRUE(link.WriteParameters(block.data(), 512, LinkBase::kAnyEpoch));
}

TEST_F(Transfer, RefusedBlockIsSentAtMostFourTimes) {
    Connect();
    const Bytes block = CountingBlock(7);
    LoadEscBlock(block);
    ASSERT_TRUE(link.WriteParameters());
    for (int attempt = 0; attempt < 4; ++attempt) {
        const Bytes rest = SendBlock();
        ASSERT_EQ(rest.size(), 514u) << attempt;
        EXPECT_TRUE(std::equal(block.begin(), block.end(), rest.begin() + 2)) << attempt;
        Say({0xFA});
        EXPECT_TRUE(link.IsSlowWrites());
    }
    EXPECT_EQ(sink.Count(LN_BLOCK_PROGRESS), 4);
    EXPECT_EQ(sink.Count(LN_BLOCK_START), 4);
    EXPECT_EQ(sink.Notes().back(), (Note{LN_WRITE_FAILED, 0xA1}));
    EXPECT_EQ(link.GetBlocksLeft(), 0);
    Pass();
    EXPECT_EQ(Flush(), Bytes{}); // nothing more is framed
}

TEST_F(Transfer, AcceptedResendRenewsTheRetries) {
    Connect();
    LoadEscBlock(CountingBlock(1));
    ASSERT_TRUE(link.WriteParameters());
    SendBlock();
    Say({0xFA});
    SendBlock();
    Accept();
    EXPECT_FALSE(link.IsSlowWrites());
    EXPECT_EQ(link.GetRetries(), 3);
    const auto notes = sink.Notes();
    EXPECT_EQ(notes[0], (Note{LN_BLOCK_PROGRESS, 1}));
    EXPECT_EQ(notes[2], (Note{LN_BLOCK_PROGRESS, 1})); // the same count for the re-sent block
    EXPECT_EQ(notes.back(), (Note{LN_WRITE_DONE, 0xA1}));
}

TEST_F(Transfer, UnacknowledgedHeaderByteFailsAndWaitsForTheTimeout) {
    Connect();
    LoadEscBlock(CountingBlock(1));
    ASSERT_TRUE(link.WriteParameters());
    Pass();
    Flush();
    EXPECT_EQ(Say({0x00}), Bytes{});
    EXPECT_EQ(sink.Notes().back(), (Note{LN_WRITE_FAILED, 0xA1}));
    EXPECT_EQ(link.GetLinkState(), LINK_WRITE);
    EXPECT_EQ(Say({0xF7}), Bytes{}); // no frame any more
    clock.Advance(1001);
    Pass();
    EXPECT_EQ(sink.Count(LN_TIMEOUT_WRITE), 1);
    EXPECT_EQ(sink.Notes().back(), (Note{LN_LINK_LOST, 0}));
}

TEST_F(Transfer, HandOverGivesUpAfter500Ms) {
    // No ESC has greeted: the link never becomes idle.
    Pass();
    const uint32_t before = clock.Now();
    link.m_EscRecord.byCommand = 0x82;
    EXPECT_FALSE(link.ReadParameters());
    EXPECT_GT(clock.Now() - before, 500u);
    LoadEscBlock(CountingBlock(0));
    EXPECT_FALSE(link.WriteParameters());
    EXPECT_EQ(sink.Notes(), (std::vector<Note>{{LN_READ_DONE, 0x82}, {LN_WRITE_FAILED, 0xA1}}));
}

TEST_F(Transfer, FirmwareFrameHandsOverCommandAndTwoBytesOneByOne) {
    Connect();
    const Bytes block{0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
    // Block length 6, header of nine with model, family, version and a count of one.
    std::string file{6, 0, 9, 0, 8, 50, 'A', 13, 1};
    file.append(block.begin(), block.end());
    std::istringstream in(file);
    ASSERT_TRUE(link.LoadUpgradeFile(in));
    ASSERT_TRUE(link.StartFirmwareUpdate(&link.m_FirmwareRecord));
    Pass(); // the worker frames the block
    ASSERT_EQ(Flush(), Bytes{0x62});
    for (int i = 0; i < 5; ++i) {
        Pass();
    }
    EXPECT_EQ(Flush(), Bytes{}) << "the frame waits for the ESC's go-on";
    EXPECT_EQ(Say({0xF7}), Bytes{0x81});
    EXPECT_EQ(Say({0xF7}), Bytes{block[0]});
    EXPECT_EQ(Say({0xF7}), Bytes{block[1]});
    EXPECT_EQ(Say({0xF7}), Bytes(block.begin() + 2, block.end()));
    Accept();
    EXPECT_EQ(sink.Notes().back(), (Note{LN_WRITE_DONE, 0x81}));
}

TEST_F(Transfer, WriteWithoutDataIsRefusedSilently) {
    Connect();
    EXPECT_FALSE(link.WriteParameters());
    EXPECT_TRUE(sink.Notes().empty());
}

TEST(LinkRun, StartAndStop) {
    ScriptPort port;
    KVALinkCore link(&port);
    link.Reset();
    EXPECT_TRUE(link.Run(false)); // no thread yet
    EXPECT_TRUE(link.Run(true));
    EXPECT_FALSE(link.Run(true)); // one worker only
    EXPECT_TRUE(link.IsRunning());
    EXPECT_TRUE(link.Run(false));
    EXPECT_FALSE(link.IsRunning());
}
