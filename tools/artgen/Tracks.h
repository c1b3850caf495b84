#pragma once

#include <QImage>

#include <map>

namespace artgen {

// Cuts every track image out of its page panel at the slider's place. A track shared by
// several sliders must look the same at each of them; throws when it does not.
std::map<int, QImage> cutTracks(const std::map<int, QImage>& panels);

} // namespace artgen
