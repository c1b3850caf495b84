// Arbitrary bytes as the window's outline (RGNDATA). A region is given only for a file that
// is exactly its header and the rectangles the header counts, and then nothing of it may lie
// outside the bounding rectangle the file declares, nor may it be empty.
#include <QByteArray>
#include <QRect>
#include <QRegion>
#include <QtEndian>

#include "FuzzInput.h"
#include "RegionData.h"

namespace {

using corvane::fuzz::Require;

int32_t Edge(const uint8_t* data, size_t offset) {
    return qFromLittleEndian<int32_t>(data + offset);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<QRegion> region = corvane::ParseRegionData(bytes);
    if (!region) {
        return 0;
    }
    Require(size >= 48 && (size - 32) % 16 == 0);
    Require(qFromLittleEndian<uint32_t>(data + 8) == (size - 32) / 16);
    // Right and bottom are one past the last pixel; in 64 bits, so no edge can overflow.
    const int64_t left = Edge(data, 16);
    const int64_t top = Edge(data, 20);
    const int64_t right = Edge(data, 24);
    const int64_t bottom = Edge(data, 28);
    Require(!region->isEmpty());
    // QRect keeps the last pixel (right(), bottom()); its width() could overflow an int.
    for (const QRect& rect : *region) {
        Require(rect.left() >= left && rect.top() >= top);
        Require(int64_t{rect.right()} < right && int64_t{rect.bottom()} < bottom);
    }
    return 0;
}
