#pragma once

#include "Outline.h"

#include <QByteArray>
#include <QRect>

#include <vector>

namespace artgen {

// The window outline as region data: rectangles in canonical band order, in window coordinates
// (the face sits inside a three-pixel frame, so face pixel (x, y) is window pixel (x+3, y+3)).
struct RegionRect {
    int left, top, right, bottom; // right and bottom excluded
};

class Region {
public:
    static constexpr int FrameOffset = -corvane::layout::kRegionOffset.x();
    static constexpr int ExpectedRects = 115;
    static constexpr int ExpectedBands = 108;

    explicit Region(const Outline& outline);

    const std::vector<RegionRect>& rects() const { return m_rects; }
    int bandCount() const { return m_bands; }
    RegionRect bounds() const;

    // RGNDATA: 32-byte header (size, type, count, rectangle bytes, bounds) and the rectangles,
    // every field a little-endian 32-bit integer.
    QByteArray encode() const;

    // Throws std::logic_error naming the first broken expectation of the window's outline.
    void verify() const;

private:
    std::vector<RegionRect> m_rects;
    int m_bands = 0;
};

} // namespace artgen
