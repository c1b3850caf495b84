// Where one parameter's control sits on a page and what it is made of. Each page lists its
// rows in the order it builds, loads and stores them.
#pragma once

#include <QPoint>
#include <cstdint>

namespace corvane {

struct ControlRow {
    int param;
    QPoint sliderPos;
    unsigned controlId;
    unsigned trackPng;
    unsigned thumbPng;
    uint8_t orientation; // CSkinSlider::kHorizontal or kVertical
    // A row without a value display leaves displayPng at 0.
    QPoint displayPos{};
    unsigned displayPng = 0;
    // 0 keeps the display's own default size.
    unsigned fontSize = 0;
};

} // namespace corvane
