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
struct Edges {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;

    // Compared on the edges themselves: QRect's own test misjudges a rectangle whose left or
    // top edge is the smallest int.
    bool Contains(const Edges& other) const {
        return other.left >= left && other.top >= top && other.right <= right &&
               other.bottom <= bottom;
    }
    QRect ToRect() const { return QRect(left, top, right - left, bottom - top); }
};

std::optional<Edges> ReadEdges(const QByteArray& data, qsizetype offset) {
    const Edges edges{ReadInt32(data, offset), ReadInt32(data, offset + 4),
                      ReadInt32(data, offset + 8), ReadInt32(data, offset + 12)};
    if (edges.left >= edges.right || edges.top >= edges.bottom) {
        return std::nullopt;
    }
    // 64-bit widths: edges of opposite extreme sign would overflow an int subtraction.
    if (int64_t{edges.right} - edges.left > INT32_MAX ||
        int64_t{edges.bottom} - edges.top > INT32_MAX) {
        return std::nullopt;
    }
    return edges;
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
    const std::optional<Edges> bound = ReadEdges(data, 16);
    if (!bound) {
        return std::nullopt;
    }

    QRegion region;
    for (qsizetype offset = kHeaderSize; offset < data.size(); offset += kRectSize) {
        const std::optional<Edges> rect = ReadEdges(data, offset);
        if (!rect || !bound->Contains(*rect)) {
            return std::nullopt;
        }
        region += rect->ToRect();
    }
    return region;
}

} // namespace corvane
