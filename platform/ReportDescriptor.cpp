#include "ReportDescriptor.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace corvane {

namespace {

enum ItemType : uint8_t { kMain = 0, kGlobal = 1 };
enum MainTag : uint8_t { kInput = 8, kOutput = 9, kFeature = 11 };
enum GlobalTag : uint8_t {
    kReportSize = 7,
    kReportId = 8,
    kReportCount = 9,
    kPush = 10,
    kPop = 11
};

constexpr uint8_t kLongItemPrefix = 0xFE;
// The kernel allows four levels of Push; a few more costs nothing and rejects runaway input.
constexpr size_t kMaxPushDepth = 16;
// Any report longer than this saturates the 16-bit length anyway; capping keeps sums small.
constexpr uint64_t kMaxReportBits = 8ull * 0x10000;

struct Globals {
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint8_t reportId = 0;
};

// Bits per report ID (0 = no ID) for one kind of report; a report can exist with no bits.
struct ReportBits {
    std::array<uint64_t, 256> bits{};
    std::array<bool, 256> declared{};
    bool any = false;

    void Add(uint8_t id, uint64_t more) {
        bits[id] = std::min(bits[id] + more, kMaxReportBits);
        declared[id] = true;
        any = true;
    }

    std::array<int32_t, 256> BytesById() const {
        std::array<int32_t, 256> bytes{};
        for (size_t id = 0; id < bytes.size(); ++id) {
            bytes[id] = declared[id] ? static_cast<int32_t>((bits[id] + 7) / 8) : -1;
        }
        return bytes;
    }

    // Windows counts the report-ID byte even when the device uses no IDs (it reads as 0).
    uint16_t Length() const {
        if (!any) {
            return 0;
        }
        uint64_t bytes = 1 + (*std::max_element(bits.begin(), bits.end()) + 7) / 8;
        return static_cast<uint16_t>(std::min<uint64_t>(bytes, 0xFFFF));
    }
};

uint32_t LittleEndian(const uint8_t* data, size_t size) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) {
        value |= static_cast<uint32_t>(data[i]) << (8 * i);
    }
    return value;
}

} // namespace

std::optional<ReportLengths> ParseReportLengths(std::span<const uint8_t> descriptor) {
    Globals globals;
    std::vector<Globals> pushed;
    ReportBits input, output, feature;

    size_t pos = 0;
    while (pos < descriptor.size()) {
        const uint8_t prefix = descriptor[pos];
        const size_t left = descriptor.size() - pos - 1;
        if (prefix == kLongItemPrefix) {
            // Long items carry no report layout; only their extent matters.
            if (left < 2 || left - 2 < descriptor[pos + 1]) {
                return std::nullopt;
            }
            pos += 3 + descriptor[pos + 1];
            continue;
        }
        const size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (left < size) {
            return std::nullopt;
        }
        const uint32_t data = LittleEndian(descriptor.data() + pos + 1, size);
        const uint8_t type = (prefix >> 2) & 3;
        const uint8_t tag = prefix >> 4;
        pos += 1 + size;

        if (type == kMain) {
            ReportBits* kind = tag == kInput     ? &input
                               : tag == kOutput  ? &output
                               : tag == kFeature ? &feature
                                                 : nullptr;
            if (kind) {
                kind->Add(globals.reportId,
                          std::min<uint64_t>(uint64_t{globals.reportSize} * globals.reportCount,
                                             kMaxReportBits));
            }
        } else if (type == kGlobal) {
            switch (tag) {
            case kReportSize:
                globals.reportSize = data;
                break;
            case kReportCount:
                globals.reportCount = data;
                break;
            case kReportId:
                if (data == 0 || data > 0xFF) {
                    return std::nullopt;
                }
                globals.reportId = static_cast<uint8_t>(data);
                break;
            case kPush:
                if (pushed.size() == kMaxPushDepth) {
                    return std::nullopt;
                }
                pushed.push_back(globals);
                break;
            case kPop:
                if (pushed.empty()) {
                    return std::nullopt;
                }
                globals = pushed.back();
                pushed.pop_back();
                break;
            default:
                break;
            }
        }
    }
    return ReportLengths{input.Length(), output.Length(), feature.Length(), input.BytesById(),
                         output.BytesById()};
}

} // namespace corvane
