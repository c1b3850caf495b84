#pragma once

#include "SkinLayout.h"

#include <cmath>

namespace artgen {

// What drawing a slider's printed scale needs to know of it.
struct Slider {
    QPoint pos;
    QSize track;
    QSize thumb;
    bool vertical;
    int lastPos;
};

constexpr Slider slider(int param) {
    using namespace corvane::layout;
    const ControlPlace& c = ControlOf(param);
    return {c.sliderPos, c.track.size, ThumbOf(KindOf(c)).size, IsVertical(KindOf(c)), c.lastPos};
}

// The thumb's leading edge for a position, as the slider control places it: the thumb travels
// over track length minus thumb length; position 0 sits left (horizontal) or at the bottom
// (vertical).
inline int thumbOffset(const Slider& s, int pos) {
    if (s.lastPos == 0)
        return 0;
    const int travel =
        s.vertical ? s.track.height() - s.thumb.height() : s.track.width() - s.thumb.width();
    const int steps = s.vertical ? s.lastPos - pos : pos;
    return static_cast<int>(std::floor(double(travel) * steps / s.lastPos + 0.5));
}

// Centre of the thumb along the slider's axis, in page pixels (a .5 value means the centre
// falls on a pixel's middle).
inline double thumbCentre(const Slider& s, int pos) {
    return s.vertical ? s.pos.y() + thumbOffset(s, pos) + s.thumb.height() / 2.0
                      : s.pos.x() + thumbOffset(s, pos) + s.thumb.width() / 2.0;
}

} // namespace artgen
