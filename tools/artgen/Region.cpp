#include "Region.h"

#include <QtEndian>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace artgen {

Region::Region(const Outline& outline) {
    const auto& rows = outline.rows();
    int y = 0;
    while (y < Outline::Height) {
        if (rows[y].empty()) {
            ++y;
            continue;
        }
        int end = y + 1;
        while (end < Outline::Height && rows[end] == rows[y])
            ++end;
        for (const Span& s : rows[y])
            m_rects.push_back(
                {s.left + FrameOffset, y + FrameOffset, s.right + FrameOffset, end + FrameOffset});
        ++m_bands;
        y = end;
    }
}

RegionRect Region::bounds() const {
    RegionRect b{m_rects.front().left, m_rects.front().top, m_rects.front().right,
                 m_rects.front().bottom};
    for (const RegionRect& r : m_rects) {
        b.left = std::min(b.left, r.left);
        b.top = std::min(b.top, r.top);
        b.right = std::max(b.right, r.right);
        b.bottom = std::max(b.bottom, r.bottom);
    }
    return b;
}

QByteArray Region::encode() const {
    QByteArray out;
    auto put = [&out](qint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    const RegionRect b = bounds();
    put(32);
    put(1); // RDH_RECTANGLES
    put(static_cast<qint32>(m_rects.size()));
    put(static_cast<qint32>(m_rects.size() * 16));
    for (int v : {b.left, b.top, b.right, b.bottom})
        put(v);
    for (const RegionRect& r : m_rects)
        for (int v : {r.left, r.top, r.right, r.bottom})
            put(v);
    return out;
}

namespace {

void expect(bool ok, const std::string& what) {
    if (!ok)
        throw std::logic_error("outline region: " + what);
}

// Spans (window coordinates, right excluded) of the band holding window row y.
std::vector<std::pair<int, int>> rowSpans(const std::vector<RegionRect>& rects, int y) {
    std::vector<std::pair<int, int>> out;
    for (const RegionRect& r : rects)
        if (y >= r.top && y < r.bottom)
            out.emplace_back(r.left, r.right);
    return out;
}

using Spans = std::vector<std::pair<int, int>>;

} // namespace

void Region::verify() const {
    expect(static_cast<int>(m_rects.size()) == ExpectedRects,
           "rectangle count " + std::to_string(m_rects.size()));
    expect(m_bands == ExpectedBands, "band count " + std::to_string(m_bands));
    const RegionRect b = bounds();
    expect(b.left == 3 && b.top == 3 && b.right == 440 && b.bottom == 530, "bounds");
    expect(encode().size() == 1872, "encoded size");

    expect(rowSpans(m_rects, 3) == Spans{{18, 73}}, "home tab top edge");
    const RegionRect& first = m_rects.front();
    expect(first.top == 3 && first.bottom == 4, "first band is a single row");
    for (int y = 18; y <= 20; ++y)
        expect(rowSpans(m_rects, y).size() == 2, "two spans in row " + std::to_string(y));
    expect(rowSpans(m_rects, 17).size() == 1 && rowSpans(m_rects, 21).size() == 1,
           "close tab rows");
    expect(rowSpans(m_rects, 20)[1] == std::pair{336, 390}, "close tab start");
    for (int y : {73, 122, 384, 457})
        expect(rowSpans(m_rects, y) == Spans{{3, 440}}, "full width row " + std::to_string(y));
    for (int y : {72, 123, 383, 458})
        expect(rowSpans(m_rects, y) != Spans{{3, 440}}, "narrow row " + std::to_string(y));
    expect(rowSpans(m_rects, 482) == Spans{{3, 300}, {388, 418}}, "row 482");
    for (int y = 482; y <= 485; ++y)
        expect(rowSpans(m_rects, y).size() == 2, "two spans in row " + std::to_string(y));
    expect(rowSpans(m_rects, 486).size() == 1, "right part ends at row 485");
    const RegionRect& last = m_rects.back();
    expect(last.top == 529 && last.bottom == 530 && last.left == 34 && last.right == 261,
           "last band");
}

} // namespace artgen
