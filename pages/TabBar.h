// The tab headings printed across the top of every page's artwork.
#pragma once

#include <QPoint>

namespace corvane {

// The page (0 Settings, 1 Throttle, 2 Timing, 3 Brakes) whose heading lies under a point in
// page pixels, or PageHost::kNoPage for the gaps between headings and everything else.
int TabAt(QPoint point);

} // namespace corvane
