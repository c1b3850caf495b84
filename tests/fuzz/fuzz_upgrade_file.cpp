// Arbitrary bytes as an upgrade file. Whatever the file says, an accepted record must describe
// exactly the payload it holds, copied from right after the header, and a refused one nothing.
#include "UpgradeFile.h"

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckRecord(uint32_t payload, const corvane::TransferRecord& record, const uint8_t* data,
                 size_t size) {
    if (payload == 0) {
        Require(record.pData == nullptr && record.nDataSize == 0 && record.byBlockCount == 0 &&
                record.wBlockLength == 0);
        return;
    }
    const uint32_t headerLength = data[2] | (data[3] << 8);
    Require(headerLength == 4 || headerLength == 8 || headerLength == 9);
    Require(record.pData != nullptr && record.nDataSize == payload);
    Require(record.byBlockCount != 0);
    Require(record.wBlockLength >= corvane::kMinFirmwareBlockLength &&
            record.wBlockLength <= corvane::kMaxFirmwareBlockLength);
    Require(payload == static_cast<uint32_t>(record.byBlockCount) * record.wBlockLength);
    Require(payload <= corvane::kMaxFirmwarePayload);
    Require(payload <= size - headerLength);
    Require(std::memcmp(record.pData.get(), data + headerLength, payload) == 0);
    if (headerLength != 9) {
        Require(payload == size - headerLength);
    }
    if (headerLength < 8) {
        Require(record.byModel == 0 && record.byFamily == 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    corvane::TransferRecord record;
    std::istringstream file(bytes);
    CheckRecord(corvane::ParseUpgradeFile(file, size, record), record, data, size);

    // The same record again, now with a size that overstates the file: a short read must be
    // refused and must not leave the earlier payload behind.
    std::istringstream again(bytes);
    const uint32_t payload = corvane::ParseUpgradeFile(again, size + 1 + size % 97, record);
    CheckRecord(payload, record, data, size);
    return 0;
}
