#include "Crc16.h"

namespace corvane {

void Crc16Update(uint16_t* check, uint8_t byte) {
    uint16_t c = *check ^ byte;
    for (int i = 0; i < 8; ++i) {
        c = (c & 1) ? static_cast<uint16_t>((c >> 1) ^ 0xA001) : static_cast<uint16_t>(c >> 1);
    }
    *check = c;
}

uint16_t Crc16(const uint8_t* bytes, size_t count, uint16_t start) {
    uint16_t check = start;
    for (size_t i = 0; i < count; ++i) {
        Crc16Update(&check, bytes[i]);
    }
    return check;
}

uint16_t FallbackSum(const uint8_t* bytes, size_t count) {
    uint16_t sum = 0;
    for (size_t i = 0; i < count; ++i) {
        sum = static_cast<uint16_t>(sum + bytes[i]);
    }
    const uint16_t mixed = static_cast<uint16_t>(sum + (sum & 0xFF));
    return static_cast<uint16_t>((mixed & 0xFF00) | (sum & 0x00FF));
}

} // namespace corvane
