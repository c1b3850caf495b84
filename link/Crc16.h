// The 16-bit checks of the ESC conversation.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvane {

// Reflected polynomial 0xA001; from 0xFFFF this is CRC-16/MODBUS.
void Crc16Update(uint16_t* check, uint8_t byte);
uint16_t Crc16(const uint8_t* bytes, size_t count, uint16_t start);
// The older check some ESCs send with a read reply: from the byte sum S (16 bits) the value
// is high byte of (S + (S & 0xFF)) joined with the low byte of S.
uint16_t FallbackSum(const uint8_t* bytes, size_t count);

constexpr uint16_t kReadCheckStart = 0xFFFF;
constexpr uint16_t kWriteCheckStart = 0x0200;

} // namespace corvane
