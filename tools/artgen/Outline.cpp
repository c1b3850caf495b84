#include "Outline.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace artgen {

namespace {

// The silhouette: a home tab at the top left whose roof slopes down to a small raised close tab,
// full-width shoulders, a shallow waist along both sides, a chamfered lower right corner with a
// small foot, and a chin at the lower left that carries the write button and the status list.
constexpr double Waist = 3.0;

QPolygonF silhouette() {
    const double w = Outline::Width;
    return QPolygonF({
        {15, 0},     // home tab, top edge
        {69.5, 0},   //
        {77.5, 8},   // tab shoulder, then the roof
        {332.5, 18}, // notch in front of the close tab
        {335.5, 15}, //
        {345, 15},   // close tab top
        {w, 20.5},   // roof down to the right side
        {w, 119.5},  // right waist
        {w - Waist, 119.5 + Waist},
        {w - Waist, 381.5 - Waist},
        {w, 381.5},
        {w, 454.5}, // lower right chamfer
        {415, 476.5},
        {415, 479.5}, // foot
        {411.5, 483},
        {388.5, 483},
        {384.5, 479},
        {297, 479},   // underside between foot and chin
        {297, 487.5}, // chin, slanted edge
        {257.5, 527},
        {31.5, 527},
        {0, 495.5}, // lower left chamfer
        {0, 381.5}, // left waist
        {Waist, 381.5 - Waist},
        {Waist, 119.5 + Waist},
        {0, 119.5},
        {0, 70.5}, // header chamfer back to the home tab
        {15, 55.5},
    });
}

// Crossing of an edge with the row centre line, as an exact fraction num / den (den > 0), in
// doubled coordinates so half-pixel vertices stay integral.
struct Crossing {
    std::int64_t num;
    std::int64_t den;
};

std::vector<Crossing> crossings(const QPolygonF& poly, int row) {
    const std::int64_t yc = 2 * row + 1;
    std::vector<Crossing> out;
    for (qsizetype i = 0; i < poly.size(); ++i) {
        const QPointF a = poly[i];
        const QPointF b = poly[(i + 1) % poly.size()];
        const auto x0 = static_cast<std::int64_t>(a.x() * 2);
        const auto y0 = static_cast<std::int64_t>(a.y() * 2);
        const auto x1 = static_cast<std::int64_t>(b.x() * 2);
        const auto y1 = static_cast<std::int64_t>(b.y() * 2);
        if (y0 == y1 || yc < std::min(y0, y1) || yc >= std::max(y0, y1))
            continue;
        std::int64_t num = x0 * (y1 - y0) + (yc - y0) * (x1 - x0);
        std::int64_t den = y1 - y0;
        if (den < 0) {
            num = -num;
            den = -den;
        }
        out.push_back({num, den});
    }
    std::sort(out.begin(), out.end(),
              [](const Crossing& l, const Crossing& r) { return l.num * r.den < r.num * l.den; });
    return out;
}

// First pixel whose centre lies right of the crossing. A centre exactly on an edge would make
// the pixel's membership a matter of convention, so the silhouette must never produce one.
int firstPixelRightOf(const Crossing& c) {
    // centre (2x + 1) > num / den  <=>  x > (num - den) / (2 den)
    const std::int64_t n = c.num - c.den;
    const std::int64_t d = 2 * c.den;
    if (n % d == 0)
        throw std::logic_error("outline edge passes through a pixel centre");
    const std::int64_t q = n / d - ((n % d != 0) && (n < 0) ? 1 : 0); // floor
    return static_cast<int>(q + 1);
}

} // namespace

Outline::Outline() : m_polygon(silhouette()), m_rows(Height) {
    for (int y = 0; y < Height; ++y) {
        const auto xs = crossings(m_polygon, y);
        if (xs.size() % 2 != 0)
            throw std::logic_error("outline is not closed");
        for (size_t i = 0; i < xs.size(); i += 2) {
            const Span s{std::max(0, firstPixelRightOf(xs[i])),
                         std::min(Width, firstPixelRightOf(xs[i + 1]))};
            if (s.left < s.right)
                m_rows[y].push_back(s);
        }
    }
}

bool Outline::contains(int x, int y) const {
    if (y < 0 || y >= Height)
        return false;
    for (const Span& s : m_rows[y])
        if (x >= s.left && x < s.right)
            return true;
    return false;
}

} // namespace artgen
