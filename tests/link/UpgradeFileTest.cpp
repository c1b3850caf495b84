#include "UpgradeFile.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace corvane {
namespace {

struct FileLayout {
    uint16_t blockLength = 66;
    uint16_t headerLength = 9;
    uint8_t blockCount = 4; // written only when the header has room for it
    uint32_t payloadBytes = 264;
};

uint8_t PayloadByte(uint32_t i) {
    return static_cast<uint8_t>(i * 7 + 3);
}

// Model 16, family 50, version 'B' 1.2 when the header is long enough to hold them.
std::string MakeFile(const FileLayout& layout) {
    std::string file;
    auto put = [&file](uint32_t byte) { file.push_back(static_cast<char>(byte & 0xFF)); };
    put(layout.blockLength);
    put(layout.blockLength >> 8);
    put(layout.headerLength);
    put(layout.headerLength >> 8);
    const uint8_t fields[] = {16, 50, 'B', 12, layout.blockCount};
    for (uint32_t i = 4; i < layout.headerLength; ++i) {
        put(i - 4 < sizeof(fields) ? fields[i - 4] : 0xEE);
    }
    for (uint32_t i = 0; i < layout.payloadBytes; ++i) {
        put(PayloadByte(i));
    }
    return file;
}

uint32_t Parse(const std::string& bytes, TransferRecord& record, uint64_t extraSize = 0) {
    std::istringstream file(bytes);
    return ParseUpgradeFile(file, bytes.size() + extraSize, record);
}

void ExpectCleared(const TransferRecord& record) {
    EXPECT_EQ(record.pData, nullptr);
    EXPECT_EQ(record.nDataSize, 0u);
    EXPECT_EQ(record.byBlockCount, 0);
    EXPECT_EQ(record.wBlockLength, 0);
    EXPECT_EQ(record.byModel, 0);
    EXPECT_EQ(record.byFamily, 0);
}

TEST(UpgradeFile, CountedFileLoadsItsPayload) {
    TransferRecord record;
    ASSERT_EQ(Parse(MakeFile({}), record), 264u);
    EXPECT_EQ(record.nDataSize, 264u);
    EXPECT_EQ(record.byBlockCount, 4);
    EXPECT_EQ(record.wBlockLength, 66);
    EXPECT_EQ(record.byModel, 16);
    EXPECT_EQ(record.byFamily, 50);
    EXPECT_EQ(record.byVersionLetter, 'B');
    EXPECT_EQ(record.byVersion, 12);
    EXPECT_EQ(record.pData[0], PayloadByte(0));
    EXPECT_EQ(record.pData[263], PayloadByte(263));

    // The count alone decides; bytes after the last block are not part of the payload.
    EXPECT_EQ(Parse(MakeFile({.payloadBytes = 264 + 5}), record), 264u);
}

TEST(UpgradeFile, UncountedFileDerivesItsCount) {
    TransferRecord record;
    ASSERT_EQ(Parse(MakeFile({.blockLength = 100, .headerLength = 8, .payloadBytes = 300}), record),
              300u);
    EXPECT_EQ(record.byBlockCount, 3);
    EXPECT_EQ(record.byModel, 16);

    ASSERT_EQ(Parse(MakeFile({.headerLength = 4, .payloadBytes = 132}), record), 132u);
    EXPECT_EQ(record.byBlockCount, 2);
    EXPECT_EQ(record.byModel, 0);
    EXPECT_EQ(record.byFamily, 0);
    EXPECT_EQ(record.pData[0], PayloadByte(0));

    // The derived count must fit the record's one byte: 255 blocks do, 256 do not.
    for (const uint16_t header : {4, 8}) {
        const FileLayout most{.blockLength = 3, .headerLength = header, .payloadBytes = 3 * 255};
        EXPECT_EQ(Parse(MakeFile(most), record), 765u) << header;
        EXPECT_EQ(record.byBlockCount, 255) << header;
        FileLayout tooMany = most;
        tooMany.payloadBytes = 3 * 256;
        EXPECT_EQ(Parse(MakeFile(tooMany), record), 0u) << header;
    }
}

TEST(UpgradeFile, LargestSendablePayloadIsAccepted) {
    TransferRecord record;
    EXPECT_EQ(
        Parse(MakeFile({.blockLength = 257, .blockCount = 255, .payloadBytes = 65535}), record),
        65535u);
    EXPECT_EQ(Parse(MakeFile({.blockLength = 642, .blockCount = 1, .payloadBytes = 642}), record),
              642u);
    EXPECT_EQ(Parse(MakeFile({.blockLength = 3, .blockCount = 1, .payloadBytes = 3}), record), 3u);
}

struct Refused {
    const char* name;
    FileLayout layout;
};

class UpgradeFileRefusal : public ::testing::TestWithParam<Refused> {};

TEST_P(UpgradeFileRefusal, LeavesNothingOfTheEarlierFile) {
    TransferRecord record;
    ASSERT_NE(Parse(MakeFile({}), record), 0u);
    EXPECT_EQ(Parse(MakeFile(GetParam().layout), record), 0u);
    ExpectCleared(record);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, UpgradeFileRefusal,
    ::testing::Values(
        Refused{"BlockLengthZero", {.blockLength = 0}},
        Refused{"BlockLengthTwo", {.blockLength = 2, .payloadBytes = 8}},
        Refused{"BlockLengthPastTransmitBuffer",
                {.blockLength = 643, .blockCount = 1, .payloadBytes = 643}},
        Refused{"BlockLengthPastFile", {.blockLength = 300, .blockCount = 0, .payloadBytes = 0}},
        Refused{"HeaderThree", {.headerLength = 3}},
        Refused{"HeaderFive", {.headerLength = 5, .payloadBytes = 264}},
        Refused{"HeaderSix", {.headerLength = 6, .payloadBytes = 264}},
        Refused{"HeaderSeven", {.headerLength = 7, .payloadBytes = 264}},
        Refused{"HeaderTen", {.headerLength = 10}}, Refused{"CountZero", {.blockCount = 0}},
        Refused{"PayloadOf16Bits",
                {.blockLength = 512, .blockCount = 128, .payloadBytes = 512 * 128}},
        Refused{"TruncatedCountedFile", {.payloadBytes = 263}},
        Refused{"UncountedNotWholeBlocks", {.headerLength = 8, .payloadBytes = 265}},
        Refused{"UncountedNoBlocks", {.blockLength = 3, .headerLength = 8, .payloadBytes = 0}},
        Refused{"UncountedTooManyBlocks",
                {.blockLength = 3, .headerLength = 4, .payloadBytes = 3 * 256}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UpgradeFile, FileShorterThanItsSizeIsRefused) {
    TransferRecord record;
    const std::string file = MakeFile({.headerLength = 8});
    EXPECT_EQ(Parse(file, record, 66), 0u);
    ExpectCleared(record);
    EXPECT_EQ(Parse(file.substr(0, 3), record), 0u);
    const std::string shortBlocks = MakeFile({.blockLength = 3, .payloadBytes = 12});
    EXPECT_EQ(Parse(shortBlocks.substr(0, 7), record), 0u) << "header longer than the file";
}

TEST(UpgradeFile, VerdictChecksFamilyBeforeModel) {
    TransferRecord file;
    ASSERT_NE(Parse(MakeFile({}), file), 0u);
    TransferRecord esc;
    esc.byModel = 16;
    esc.byFamily = 50;
    EXPECT_EQ(CheckFirmwareForEsc(true, file, esc), FirmwareVerdict::Accepted);
    EXPECT_EQ(CheckFirmwareForEsc(false, file, esc), FirmwareVerdict::InvalidFile);
    esc.byModel = 8;
    EXPECT_EQ(CheckFirmwareForEsc(true, file, esc), FirmwareVerdict::WrongModel);
    esc.byFamily = 51;
    EXPECT_EQ(CheckFirmwareForEsc(true, file, esc), FirmwareVerdict::InvalidFile);

    esc.byModel = 16;
    esc.byFamily = 50;
    file.nDataSize -= 1; // a record that does not hold count x length bytes is never sent
    EXPECT_EQ(CheckFirmwareForEsc(true, file, esc), FirmwareVerdict::InvalidFile);
    for (const uint16_t blockLength : {2, 643}) { // nor one whose blocks do not frame
        file.wBlockLength = blockLength;
        file.byBlockCount = 1;
        file.nDataSize = blockLength;
        EXPECT_EQ(CheckFirmwareForEsc(true, file, esc), FirmwareVerdict::InvalidFile);
    }

    ASSERT_NE(Parse(MakeFile({.headerLength = 4, .payloadBytes = 132}), file), 0u);
    EXPECT_EQ(CheckFirmwareForEsc(true, file, esc), FirmwareVerdict::InvalidFile);
    // The box texts of the verdicts are the window's: FirmwareWorkflow.RefusalsComeAsBoxes.
}

} // namespace
} // namespace corvane
