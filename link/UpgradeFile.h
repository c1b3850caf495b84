// Reading an upgrade file (*.cuf) into a record, and deciding whether the connected ESC may
// take it. The transfer sends the payload block by block exactly as the record describes it,
// so a record this parser fills always describes a whole, sendable payload.
#pragma once

#include "TransferRecord.h"

#include <cstdint>
#include <istream>

namespace corvane {

// Frame limits of a firmware block: its command byte and first two bytes are acknowledged one
// by one, and the remaining L - 2 bytes must fit the 640-byte transmit buffer.
constexpr uint16_t kMinFirmwareBlockLength = 3;
constexpr uint16_t kMaxFirmwareBlockLength = 642;
// The transfer walks N x L bytes in 16 bits.
constexpr uint32_t kMaxFirmwarePayload = 65535;

// Reads the file from its start. Returns the payload bytes now held by record.pData (P =
// N x L), or 0 when the file is refused; a refused file leaves the record with no data, no
// blocks and no identity, so nothing of an earlier file can be sent. byCommand is untouched.
uint32_t ParseUpgradeFile(std::istream& file, uint64_t size, TransferRecord& record);

enum class FirmwareVerdict {
    Accepted,
    InvalidFile,
    WrongModel,
};

FirmwareVerdict CheckFirmwareForEsc(bool loaded, const TransferRecord& file,
                                    const TransferRecord& esc);

} // namespace corvane
