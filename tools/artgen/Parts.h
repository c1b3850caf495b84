#pragma once

#include <QImage>

#include <map>

namespace artgen {

// Slider thumbs (144, 149, 150) and value-display backgrounds (159, 160), keyed by image id.
std::map<int, QImage> renderParts();

} // namespace artgen
