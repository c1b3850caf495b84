// Where things sit on the main window's face (client pixels; the face fills the client area).
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace corvane::layout {

inline constexpr QSize kFaceSize{437, 527};
// The outline region is given in window coordinates, three pixels outside the face.
inline constexpr QPoint kRegionOffset{-3, -3};
inline constexpr QPoint kPageOrigin{36, 62};
inline constexpr QSize kPageSize{365, 365};
// The status list and the progress bar, from the layout's dialog units (x 1.5, y 1.625).
inline constexpr QRect kStatusList{52, 439, 202, 70};
inline constexpr QRect kProgressBar{39, 408, 358, 16};

} // namespace corvane::layout
