#pragma once

#include "Outline.h"
#include "SkinLayout.h"

#include <QImage>

#include <map>

namespace artgen {

// The main window's faces: the plain home screen (131) and one variant per hot area, which
// takes the plain face and replaces only the pixels inside that area's label rectangle.
std::map<int, QImage> renderFaces(const Outline& outline);

// A face drawn with one area lit (HotNone for the plain face); transparent outside the
// outline, opaque inside.
QImage renderFace(const Outline& outline, corvane::HotArea lit);

} // namespace artgen
