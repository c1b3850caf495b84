#include <array>
#include <cstdint>

#include <gtest/gtest.h>

#include "Crc16.h"

using namespace corvane;

TEST(Check, KnownValues) {
    const std::array<uint8_t, 512> zeros{};
    // A parameter frame over 512 zero bytes, started at 0x0200.
    EXPECT_EQ(Crc16(zeros.data(), zeros.size(), kWriteCheckStart), 0xC1A3);
    // The same bytes as a read reply carries them: CRC-16/MODBUS.
    EXPECT_EQ(Crc16(zeros.data(), zeros.size(), kReadCheckStart), 0xBB41);
    const uint8_t text[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(Crc16(text, sizeof text, kReadCheckStart), 0x4B37); // the MODBUS check value
}

TEST(Check, FallbackSum) {
    std::array<uint8_t, 512> block{};
    block[0] = 0x80;
    EXPECT_EQ(FallbackSum(block.data(), block.size()), 0x0180);
    // The sum wraps at 16 bits and the high byte carries (S + low byte of S).
    block.fill(0xFF); // S = 512 * 255 = 0x1FE00 -> 0xFE00; low byte 0 -> 0xFE00
    EXPECT_EQ(FallbackSum(block.data(), block.size()), 0xFE00);
    block.fill(0);
    block[0] = 0xFF;
    block[1] = 0x01; // S = 0x0100 -> 0x0100
    EXPECT_EQ(FallbackSum(block.data(), block.size()), 0x0100);
    block[1] = 0x00; // S = 0x00FF -> high byte of 0x01FE is 0x01
    EXPECT_EQ(FallbackSum(block.data(), block.size()), 0x01FF);
}
