// The live places of the main window's face: where each one is hit, the part of the face
// that changes when it lights up, and the face image that shows it lit.
#pragma once

#include <array>
#include <cstdint>

#include <QRect>

namespace corvane {

enum HotArea : uint8_t {
    HotNone = 0,
    HotBrakesTile = 1,
    HotCloseButton = 2,
    HotFirmwareUpdate = 3,
    HotHomeButton = 4,
    HotSettingsTile = 5,
    HotThrottleTile = 6,
    HotTimingTile = 7,
    HotWriteButton = 8,
    HotAreaCount = 9,
};

struct HotAreaInfo {
    QRect hit;   // bounds included
    QRect label; // repainted when the area lights or darkens
    unsigned faceId;
};

// Indexed by HotArea.
inline const std::array<HotAreaInfo, HotAreaCount>& HotAreaTable() {
    static const std::array<HotAreaInfo, HotAreaCount> table = {{
        {QRect(), QRect(), 131},
        {QRect(QPoint(236, 265), QPoint(360, 389)), QRect(240, 355, 110, 30), 133},
        {QRect(QPoint(409, 24), QPoint(425, 38)), QRect(405, 20, 22, 22), 134},
        {QRect(QPoint(158, 411), QPoint(278, 422)), QRect(140, 405, 155, 25), 135},
        {QRect(QPoint(18, 11), QPoint(35, 25)), QRect(15, 8, 25, 24), 136},
        {QRect(QPoint(78, 100), QPoint(202, 224)), QRect(80, 190, 120, 30), 137},
        {QRect(QPoint(236, 100), QPoint(360, 224)), QRect(240, 190, 110, 30), 138},
        {QRect(QPoint(78, 265), QPoint(202, 389)), QRect(80, 355, 120, 30), 139},
        {QRect(QPoint(15, 443), QPoint(42, 468)), QRect(5, 430, 45, 50), 140},
    }};
    return table;
}

// The order in which a mouse position is tested against the areas.
inline constexpr std::array<HotArea, 8> kHotAreaTestOrder = {
    HotHomeButton, HotWriteButton,  HotCloseButton, HotSettingsTile,
    HotTimingTile, HotThrottleTile, HotBrakesTile,  HotFirmwareUpdate,
};

} // namespace corvane
