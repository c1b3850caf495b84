#include "RegionData.h"

#include <QRect>
#include <QtEndian>
#include <cstdint>

namespace corvane {

namespace {

constexpr qsizetype kHeaderSize = 32;
constexpr uint32_t kRectanglesType = 1; // RDH_RECTANGLES
constexpr qsizetype kRectSize = 16;

int32_t ReadInt32(const QByteArray& data, qsizetype offset) {
    return qFromLittleEndian<int32_t>(data.constData() + offset);
}

uint32_t ReadUInt32(const QByteArray& data, qsizetype offset) {
    return qFromLittleEndian<uint32_t>(data.constData() + offset);
}

// Edges as stored; right and bottom are one past the last pixel.
std::optional<QRect> ReadRect(const QByteArray& data, qsizetype offset) {
    const int32_t left = ReadInt32(data, offset);
    const int32_t top = ReadInt32(data, offset + 4);
    const int32_t right = ReadInt32(data, offset + 8);
    const int32_t bottom = ReadInt32(data, offset + 12);
    if (left >= right || top >= bottom) {
        return std::nullopt;
    }
    // 64-bit widths: edges of opposite extreme sign would overflow an int subtraction.
    const int64_t width = int64_t{right} - left;
    const int64_t height = int64_t{bottom} - top;
    if (width > INT32_MAX || height > INT32_MAX) {
        return std::nullopt;
    }
    return QRect(left, top, static_cast<int>(width), static_cast<int>(height));
}

} // namespace

std::optional<QRegion> ParseRegionData(const QByteArray& data) {
    if (data.size() < kHeaderSize) {
        return std::nullopt;
    }
    const uint32_t headerSize = ReadUInt32(data, 0);
    const uint32_t type = ReadUInt32(data, 4);
    const uint64_t count = ReadUInt32(data, 8);
    const uint64_t rectBytes = ReadUInt32(data, 12);
    if (headerSize != kHeaderSize || type != kRectanglesType || count == 0 ||
        count * kRectSize != rectBytes ||
        static_cast<uint64_t>(data.size()) != kHeaderSize + rectBytes) {
        return std::nullopt;
    }
    const std::optional<QRect> bound = ReadRect(data, 16);
    if (!bound) {
        return std::nullopt;
    }

    QRegion region;
    for (qsizetype offset = kHeaderSize; offset < data.size(); offset += kRectSize) {
        const std::optional<QRect> rect = ReadRect(data, offset);
        if (!rect || !bound->contains(*rect)) {
            return std::nullopt;
        }
        region += *rect;
    }
    return region;
}

} // namespace corvane
