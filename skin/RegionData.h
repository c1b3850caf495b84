// The window outline stored in the Windows RGNDATA layout (little-endian header of 32
// bytes, then rectangles of four 32-bit signed edges each, right and bottom excluded).
#pragma once

#include <QByteArray>
#include <QRegion>
#include <optional>

namespace corvane {

// nullopt for anything that is not a well-formed, non-empty rectangle list lying inside
// its own bounding rectangle; the caller then keeps the window rectangular.
std::optional<QRegion> ParseRegionData(const QByteArray& data);

} // namespace corvane
