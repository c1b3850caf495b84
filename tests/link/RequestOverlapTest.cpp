// Requests from the window that arrive while another exchange or transfer is in flight: they
// are refused or wait, and the exchange in flight goes on with its own record and command.
#include <sstream>

#include "ScriptFixture.h"

using namespace corvane;
using namespace corvane::test;

class RequestOverlap : public ScriptFixture {
protected:
    void SetUp() override {
        ScriptFixture::SetUp();
        Connect();
        link.m_EscRecord.pData.reset(new uint8_t[512]());
        link.m_EscRecord.nDataSize = 512;
    }
    // Hands a parameter write over and runs it until the ESC has the whole frame.
    void WriteUpToTheVerdict() {
        ASSERT_TRUE(link.WriteParameters());
        Pass(); // the worker frames the block
        ASSERT_EQ(Flush(), Bytes{0x62});
        ASSERT_EQ(Say({0xF7}), Bytes{0xA1});
        ASSERT_EQ(Say({0xF7}).size(), 514u);
    }
    // After a refusal the worker must frame the same parameter block again.
    void ExpectTheBlockSentAgain() {
        Pass();
        EXPECT_EQ(Flush(), Bytes{0x62});
        EXPECT_EQ(Say({0xF7}), Bytes{0xA1});
    }
};

TEST_F(RequestOverlap, FirmwareStartWithoutAFileLeavesTheRunningWriteAlone) {
    WriteUpToTheVerdict();
    EXPECT_FALSE(link.StartFirmwareUpdate(&link.m_FirmwareRecord));
    Say({0xFA});
    ExpectTheBlockSentAgain();
    Say({0xF7});
    Accept();
    EXPECT_EQ(sink.Notes().back(), (Note{LN_WRITE_DONE, 0xA1}));
}

TEST_F(RequestOverlap, LoadingAFileDuringAParameterWriteLeavesTheWriteAlone) {
    WriteUpToTheVerdict();
    std::string file = {5, 0, 9, 0, 8, 50, 'A', 12, 1};
    file.append(5, '\x33');
    std::istringstream in(file);
    EXPECT_TRUE(link.LoadUpgradeFile(in));
    Say({0xFA});
    ExpectTheBlockSentAgain();
    EXPECT_EQ(sink.Count(LN_WRITE_FAILED), 0);
}

TEST_F(RequestOverlap, ReadAskedDuringAWriteDoesNotRenameTheWrite) {
    WriteUpToTheVerdict();
    EXPECT_FALSE(link.ReadParameters()); // the link stays busy for the whole wait
    Accept();
    EXPECT_EQ(sink.Notes().back(), (Note{LN_WRITE_DONE, 0xA1}));
}

TEST_F(RequestOverlap, WriteAskedDuringAReadDoesNotChangeTheReadCommand) {
    ASSERT_TRUE(link.ReadParameters());
    ASSERT_EQ(Flush(), Bytes{0x86});
    EXPECT_FALSE(link.WriteParameters());
    EXPECT_EQ(Say({0xF7}), Bytes{0x82});
}

TEST_F(RequestOverlap, ReadWaitsWhileARefusedBlockIsStillToBeSent) {
    WriteUpToTheVerdict();
    Say({0xFA}); // idle now, with the block put back
    EXPECT_FALSE(link.ReadParameters());
    ExpectTheBlockSentAgain();
}

// A request made while the last block's acceptance is watched would take the refusal behind a
// stray acceptance for its own answer: it waits the watch out, here past its hand-over limit.
TEST_F(RequestOverlap, RequestDuringTheQuietWatchIsRefusedAndSendsNothing) {
    WriteUpToTheVerdict();
    Say({0xF1});
    EXPECT_FALSE(link.ReadParameters());
    EXPECT_EQ(Flush(), Bytes{});
    EXPECT_EQ(sink.Count(LN_READ_DONE), 1) << "the refusal";
}

// A refusal is an exchange of its own: the window must never take it for the running one's end.
TEST_F(RequestOverlap, RefusedRequestCarriesASerialOfItsOwn) {
    ASSERT_TRUE(link.ReadParameters());
    const uint32_t running = link.CurrentExchange();
    sink.Clear();
    EXPECT_FALSE(link.WriteParameters());
    ASSERT_EQ(sink.Exchanges().size(), 1u);
    EXPECT_NE(sink.Exchanges()[0], running);
    EXPECT_EQ(link.CurrentExchange(), running);
}
