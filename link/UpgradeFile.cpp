#include "UpgradeFile.h"

#include <exception>
#include <new>

namespace corvane {

namespace {

// Header lengths at which the header ends exactly where the fields read from it end. Any other
// length would leave header bytes at the front of the payload, and they would go to the ESC
// as firmware.
constexpr uint16_t kHeaderPlain = 4;     // block length, header length
constexpr uint16_t kHeaderIdentity = 8;  // + model, family, version letter, version
constexpr uint16_t kHeaderWithCount = 9; // + block count
constexpr uint64_t kMaxBlockCount = 255; // byBlockCount is one byte

bool ReadBytes(std::istream& file, uint8_t* out, uint32_t count) {
    file.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count));
    return file.gcount() == static_cast<std::streamsize>(count);
}

uint16_t LittleEndian16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

void ClearRecord(TransferRecord& record) {
    record.pData.reset();
    record.nDataSize = 0;
    record.byModel = 0;
    record.byFamily = 0;
    record.byVersionLetter = 0;
    record.byVersion = 0;
    record.byBlockCount = 0;
    record.wBlockLength = 0;
}

// Fills the record only once the whole payload is in hand, so a failure at any step leaves
// the record as the caller cleared it.
uint32_t ParseInto(std::istream& file, uint64_t size, TransferRecord& record) {
    file.clear();
    file.seekg(0);
    uint8_t header[kHeaderWithCount] = {};
    if (!file || !ReadBytes(file, header, kHeaderPlain)) {
        return 0;
    }
    const uint16_t blockLength = LittleEndian16(header);
    const uint16_t headerLength = LittleEndian16(header + 2);
    // A frame needs its three singly acknowledged bytes, and the rest must fit the transmit
    // buffer; a block longer than the file can never be whole.
    if (blockLength < kMinFirmwareBlockLength || blockLength > kMaxFirmwareBlockLength ||
        blockLength > size) {
        return 0;
    }
    if ((headerLength != kHeaderPlain && headerLength != kHeaderIdentity &&
         headerLength != kHeaderWithCount) ||
        headerLength > size) {
        return 0;
    }
    if (headerLength > kHeaderPlain &&
        !ReadBytes(file, header + kHeaderPlain, headerLength - kHeaderPlain)) {
        return 0;
    }
    const uint64_t afterHeader = size - headerLength;
    uint64_t blockCount = 0;
    if (headerLength == kHeaderWithCount) {
        // The count field alone decides; bytes after the last block are not part of it.
        blockCount = header[kHeaderIdentity];
    } else {
        // No count field: the file must be whole blocks after the header, and their number
        // must fit the record's count, or the transfer would send nothing or a stale count.
        if (afterHeader % blockLength != 0) {
            return 0;
        }
        blockCount = afterHeader / blockLength;
        if (blockCount > kMaxBlockCount) {
            return 0;
        }
    }
    // No blocks means nothing to send; a payload the transfer cannot count in 16 bits or the
    // file cannot supply would send bytes from outside it.
    const uint64_t payloadSize = blockCount * blockLength;
    if (blockCount == 0 || payloadSize > kMaxFirmwarePayload || payloadSize > afterHeader) {
        return 0;
    }
    const uint32_t payload = static_cast<uint32_t>(payloadSize);
    std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[payload]);
    // A short read (the file is shorter than its size said) is refused, not kept half.
    if (!data || !ReadBytes(file, data.get(), payload)) {
        return 0;
    }
    record.pData = std::move(data);
    record.nDataSize = payload;
    record.byModel = header[4];
    record.byFamily = header[5];
    record.byVersionLetter = header[6];
    record.byVersion = header[7];
    record.byBlockCount = static_cast<uint8_t>(blockCount);
    record.wBlockLength = blockLength;
    return payload;
}

} // namespace

uint32_t ParseUpgradeFile(std::istream& file, uint64_t size, TransferRecord& record) {
    ClearRecord(record);
    // A stream with exceptions switched on must still answer with a byte count. The record is
    // filled only after the last read, so it is still clear when one throws.
    try {
        return ParseInto(file, size, record);
    } catch (const std::exception&) {
        return 0;
    }
}

FirmwareVerdict CheckFirmwareForEsc(bool loaded, const TransferRecord& file,
                                    const TransferRecord& esc) {
    // The transfer trusts count x length; a record that does not hold exactly that many bytes
    // is treated like a failed load.
    const bool whole =
        file.pData != nullptr && file.byBlockCount != 0 &&
        file.wBlockLength >= kMinFirmwareBlockLength &&
        file.wBlockLength <= kMaxFirmwareBlockLength &&
        file.nDataSize == static_cast<uint32_t>(file.byBlockCount) * file.wBlockLength;
    if (!loaded || !whole || file.byFamily != esc.byFamily) {
        return FirmwareVerdict::InvalidFile;
    }
    if (file.byModel != esc.byModel) {
        return FirmwareVerdict::WrongModel;
    }
    return FirmwareVerdict::Accepted;
}

} // namespace corvane
