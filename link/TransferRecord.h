// One piece of data and the command that moves it: the connected ESC (identity and its
// parameter block) or a loaded upgrade file.
#pragma once

#include <cstdint>
#include <memory>

namespace corvane {

struct TransferRecord {
    std::unique_ptr<uint8_t[]> pData; // block count x block length bytes (firmware: the payload)
    uint32_t nDataSize = 0;           // bytes held by pData
    uint8_t byModel = 0;
    uint8_t byFamily = 0;
    uint8_t byVersionLetter = 0;
    uint8_t byVersion = 0; // version x 10
    uint8_t byCommand = 0;
    uint8_t byBlockCount = 0;
    uint16_t wBlockLength = 0;
};

} // namespace corvane
