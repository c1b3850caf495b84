// Firmware blocks over the simulator: what arrives at the ESC, progress, refusals, silence.
#include <sstream>

#include "LinkFixture.h"

using namespace corvane;
using namespace corvane::test;

namespace {

std::string UpgradeFile(uint16_t blockLength, uint8_t blocks, uint8_t model = 8,
                        uint8_t family = 50) {
    std::string file;
    file.push_back(static_cast<char>(blockLength & 0xFF));
    file.push_back(static_cast<char>(blockLength >> 8));
    file += {9,   0,  static_cast<char>(model), static_cast<char>(family),
             'A', 13, static_cast<char>(blocks)};
    for (int i = 0; i < blockLength * blocks; ++i) {
        file.push_back(static_cast<char>((i * 37 + 11) & 0xFF));
    }
    return file;
}

} // namespace

class FirmwareTransfer : public LinkFixture {
protected:
    std::string m_File;

    void Load(uint16_t blockLength, uint8_t blocks) {
        m_File = UpgradeFile(blockLength, blocks);
        std::istringstream in(m_File);
        ASSERT_TRUE(link.LoadUpgradeFile(in));
        port.Esc([&](sim::EscSimulator& e) { e.SetFirmwareBlockLength(blockLength); });
    }
    std::vector<std::vector<uint8_t>> EscBlocks() {
        return port.Esc([](sim::EscSimulator& e) { return e.FirmwareBlocks(); });
    }
    std::vector<uint8_t> Payload(int block, int length) {
        auto at = m_File.begin() + 9 + block * length;
        return std::vector<uint8_t>(at, at + length);
    }
    std::vector<uint32_t> ProgressValues() {
        std::vector<uint32_t> values;
        for (const Note& n : sink.Notes()) {
            if (n.code == LN_BLOCK_PROGRESS) {
                values.push_back(n.value);
            }
        }
        return values;
    }
};

TEST_F(FirmwareTransfer, FourBlocksArriveByteForByte) {
    ConnectAndRead();
    Load(66, 4);
    EXPECT_EQ(link.m_FirmwareRecord.nDataSize, 264u);
    sink.Clear();
    ASSERT_TRUE(link.StartFirmwareUpdate(&link.m_FirmwareRecord));
    ASSERT_TRUE(PassUntilNote(LN_WRITE_DONE));
    const auto blocks = EscBlocks();
    ASSERT_EQ(blocks.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(blocks[i], Payload(i, 66)) << "block " << i;
    }
    EXPECT_EQ(ProgressValues(), (std::vector<uint32_t>{4, 3, 2, 1}));
    EXPECT_EQ(sink.Count(LN_BLOCK_START), 4);
    EXPECT_EQ(sink.Notes().back(), (Note{LN_WRITE_DONE, 0x81}));
    EXPECT_TRUE(link.GetReportIdentity()); // the ESC is identified afresh afterwards
}

TEST_F(FirmwareTransfer, RefusedBlockIsResentAndStillExact) {
    ConnectAndRead();
    Load(66, 4);
    port.Esc([](sim::EscSimulator& e) { e.RefuseNextBlocks(1); });
    ASSERT_TRUE(link.StartFirmwareUpdate(&link.m_FirmwareRecord));
    ASSERT_TRUE(PassUntilNote(LN_WRITE_DONE));
    const auto blocks = EscBlocks();
    ASSERT_EQ(blocks.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(blocks[i], Payload(i, 66));
    }
    EXPECT_EQ(ProgressValues(), (std::vector<uint32_t>{4, 4, 3, 2, 1}));
}

TEST_F(FirmwareTransfer, RefusalPastTheRetriesStopsTheTransfer) {
    ConnectAndRead();
    Load(66, 4);
    port.Esc([](sim::EscSimulator& e) { e.RefuseNextBlocks(4); });
    ASSERT_TRUE(link.StartFirmwareUpdate(&link.m_FirmwareRecord));
    ASSERT_TRUE(PassUntilNote(LN_WRITE_FAILED));
    Passes(3000);
    EXPECT_TRUE(EscBlocks().empty());
    EXPECT_EQ(sink.Count(LN_BLOCK_START), 4);
    EXPECT_EQ(sink.Count(LN_WRITE_DONE), 0);
}

TEST_F(FirmwareTransfer, SilenceEndsTheTransferWithTimeoutAndLinkLost) {
    ConnectAndRead();
    Load(66, 4);
    sink.Clear();
    ASSERT_TRUE(link.StartFirmwareUpdate(&link.m_FirmwareRecord));
    ASSERT_TRUE(PassUntil([&] { return EscBlocks().size() == 1; }));
    port.Esc([](sim::EscSimulator& e) { e.SetSilent(true); });
    ASSERT_TRUE(PassUntilNote(LN_LINK_LOST));
    const auto notes = sink.Notes();
    ASSERT_GE(notes.size(), 2u);
    EXPECT_EQ(notes[notes.size() - 2].code, LN_TIMEOUT_WRITE);
    EXPECT_EQ(link.GetBlocksLeft(), 0);
    EXPECT_LE(EscBlocks().size(), 2u);
}

TEST_F(FirmwareTransfer, LoadingDuringATransferIsRefusedAndHarmless) {
    ConnectAndRead();
    Load(66, 4);
    const std::string first = m_File;
    ASSERT_TRUE(link.StartFirmwareUpdate(&link.m_FirmwareRecord));
    ASSERT_TRUE(PassUntil([&] { return EscBlocks().size() == 1; }));
    std::istringstream other(UpgradeFile(66, 2));
    EXPECT_FALSE(link.LoadUpgradeFile(other));
    EXPECT_FALSE(link.StartFirmwareUpdate(&link.m_FirmwareRecord));
    ASSERT_TRUE(PassUntilNote(LN_WRITE_DONE));
    const auto blocks = EscBlocks();
    ASSERT_EQ(blocks.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(blocks[i], Payload(i, 66));
    }
}

TEST_F(FirmwareTransfer, ParameterWriteOverTheSimulatorStoresTheBlock) {
    ConnectAndRead();
    link.WantIdentity(false);
    link.m_EscRecord.pData[9 + 5] = 33;
    sink.Clear();
    ASSERT_TRUE(link.WriteParameters());
    ASSERT_TRUE(PassUntilNote(LN_WRITE_DONE));
    EXPECT_EQ(sink.Codes(),
              (std::vector<uint32_t>{LN_BLOCK_PROGRESS, LN_BLOCK_START, LN_WRITE_DONE}));
    const auto written = port.Esc([](sim::EscSimulator& e) { return e.WrittenBlocks(); });
    ASSERT_EQ(written.size(), 1u);
    EXPECT_TRUE(std::equal(written[0].begin(), written[0].end(), link.m_EscRecord.pData.get()));
}
