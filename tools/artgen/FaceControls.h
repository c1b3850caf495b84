#pragma once

#include "SkinLayout.h"

#include <QPainter>

// The face's live places, each drawn plain or lit; a lit drawing changes pixels only inside the
// area's label rectangle.
namespace artgen::facecontrols {

void homeButton(QPainter& p, bool lit);
void closeButton(QPainter& p, bool lit);
// The four page tiles; `lit` names the tile whose label is lit, if any.
void tiles(QPainter& p, corvane::HotArea lit);
void firmwareLabel(QPainter& p, bool lit);
void writeButton(QPainter& p, bool lit);

} // namespace artgen::facecontrols
