#pragma once

#include "SkinLayout.h"

#include <QLineF>
#include <QPointF>
#include <QPolygonF>

#include <vector>

namespace artgen {

// One run of covered pixels in a face row: [left, right).
struct Span {
    int left = 0;
    int right = 0;
    bool operator==(const Span&) const = default;
};

using RowSpans = std::vector<Span>;

// The window's silhouette in face pixels. The face is drawn from the polygon and the
// outline region is built from the rows below, so both always agree.
class Outline {
public:
    static constexpr int Width = corvane::layout::kFaceSize.width();
    static constexpr int Height = corvane::layout::kFaceSize.height();

    Outline();

    // Vertices in pixel-corner coordinates, clockwise; every coordinate is a multiple of 0.5.
    const QPolygonF& polygon() const { return m_polygon; }

    // Pixels whose centres lie inside the polygon, row by row (Height rows).
    const std::vector<RowSpans>& rows() const { return m_rows; }

    bool contains(int x, int y) const;

    // The sloping roof from the home tab's shoulder down to the notch before the close tab.
    QLineF roof() const { return {m_polygon[2], m_polygon[3]}; }

private:
    QPolygonF m_polygon;
    std::vector<RowSpans> m_rows;
};

} // namespace artgen
