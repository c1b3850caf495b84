#pragma once

#include <QImage>

#include <map>

namespace artgen {

// The four page panels, keyed by image id.
QImage renderSettingsPanel();
QImage renderThrottlePanel();
QImage renderTimingPanel();
QImage renderBrakesPanel();

std::map<int, QImage> renderPanels();

} // namespace artgen
