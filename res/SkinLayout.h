// Where every piece of the skin sits and which image shows it. The art generator draws the
// images from these numbers and the window and the pages place them by the same numbers, so
// this is the only place they are written. Face coordinates are the window's client pixels;
// page coordinates are pixels of a 365 x 365 page.
#pragma once

#include "ParamInfo.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace corvane {

// The live places of the face, numbered as the window has always numbered them.
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

namespace layout {

// The skin's amber accent: marks, focus, progress.
inline constexpr QRgb kAccent = qRgb(255, 179, 26);

struct Image {
    int id = 0;
    QSize size{};
};

// ---- the face ----------------------------------------------------------------------------

inline constexpr int kOutlineRegionId = 130;
inline constexpr QSize kFaceSize{437, 527};
// The outline region is given in window coordinates, three pixels outside the face.
inline constexpr QPoint kRegionOffset{-3, -3};
// The parameter pages cover this rectangle when shown.
inline constexpr QRect kPageRect{36, 62, 365, 365};
// The status list and the progress bar, from the layout's dialog units (x 1.5, y 1.625).
inline constexpr QRect kStatusList{52, 439, 202, 70};
inline constexpr QRect kProgressBar{39, 408, 358, 16};

// The write button: a round button with its caption beneath.
inline constexpr QPoint kWriteButtonCentre{29, 456};
inline constexpr int kWriteButtonRadius = 16;

struct HotAreaPlace {
    QRect hit;   // where the window reacts
    QRect label; // the only pixels in which the lit face differs from the plain one
    int faceId;  // the face shown while the area is lit
    QRect veil;  // dimmed while the area does nothing (empty: never dimmed)
};

// Indexed by HotArea; HotNone's face is the plain one.
inline constexpr std::array<HotAreaPlace, HotAreaCount> kHotAreas{{
    {QRect(), QRect(), 131, QRect()},
    {QRect(QPoint(236, 265), QPoint(360, 389)), QRect(240, 355, 110, 30), 133,
     QRect(235, 265, 120, 125)},
    {QRect(QPoint(409, 24), QPoint(425, 38)), QRect(405, 20, 22, 22), 134, QRect()},
    {QRect(QPoint(158, 411), QPoint(278, 422)), QRect(140, 405, 155, 25), 135,
     kProgressBar.adjusted(-1, -2, 2, 2)},
    {QRect(QPoint(18, 11), QPoint(35, 25)), QRect(15, 8, 25, 24), 136, QRect()},
    {QRect(QPoint(78, 100), QPoint(202, 224)), QRect(80, 190, 120, 30), 137,
     QRect(80, 100, 120, 125)},
    {QRect(QPoint(236, 100), QPoint(360, 224)), QRect(240, 190, 110, 30), 138,
     QRect(235, 100, 120, 125)},
    {QRect(QPoint(78, 265), QPoint(202, 389)), QRect(80, 355, 120, 30), 139,
     QRect(80, 265, 120, 125)},
    {QRect(QPoint(15, 443), QPoint(42, 468)), QRect(5, 430, 45, 50), 140, QRect(10, 440, 38, 52)},
}};
// Where the keyboard's ring goes round an area: its hit area, but for FIRMWARE UPDATE, whose
// icon and lettering reach past the narrower hit area on both sides.
inline constexpr QRect kFirmwareUpdateInk{QPoint(149, 410), QPoint(285, 421)};
constexpr QRect KeyRingArea(int area) {
    return area == HotFirmwareUpdate ? kFirmwareUpdateInk.adjusted(-1, 0, 1, 0)
                                     : kHotAreas[static_cast<size_t>(area)].hit;
}

// The write button's mark for changes waiting to be written, on its upper right rim.
inline constexpr QRect kChangeMarker{kWriteButtonCentre + QPoint(9, -14), QSize(8, 8)};
// The veil: translucent graphite, rounded like the tiles (or half as high as a narrow area).
inline constexpr QRgb kVeil = qRgba(10, 12, 14, 150);
inline constexpr int kVeilRadius = 9;
inline constexpr int kPlainFaceId = kHotAreas[HotNone].faceId;

// What each area is called where it is named: screen readers, the page tabs.
inline constexpr std::array<const char*, HotAreaCount> kHotAreaNames{
    "", "Brakes", "Close", "Firmware Update", "Home", "Settings", "Throttle", "Timing", "Write"};
// The order in which Tab walks the areas.
inline constexpr std::array<HotArea, 8> kHotAreaKeyOrder{
    HotSettingsTile,   HotThrottleTile, HotTimingTile, HotBrakesTile,
    HotFirmwareUpdate, HotWriteButton,  HotHomeButton, HotCloseButton,
};

// The order in which a mouse position is tested against the areas.
inline constexpr std::array<HotArea, 8> kHotAreaTestOrder{
    HotHomeButton, HotWriteButton,  HotCloseButton, HotSettingsTile,
    HotTimingTile, HotThrottleTile, HotBrakesTile,  HotFirmwareUpdate,
};

// ---- the pages ---------------------------------------------------------------------------

inline constexpr QSize kPageSize = kPageRect.size();

inline constexpr Image kKnobThumb{144, {18, 19}};   // horizontal switches
inline constexpr Image kSwitchThumb{150, {18, 19}}; // vertical switches
inline constexpr Image kBarThumb{149, {31, 9}};     // vertical sliders
inline constexpr Image kNarrowDisplay{159, {42, 19}};
inline constexpr Image kWideDisplay{160, {44, 19}};

constexpr bool IsVertical(ParamControl control) {
    return control != ParamControl::HorizontalSwitch;
}

constexpr const Image& ThumbOf(ParamControl control) {
    return control == ParamControl::HorizontalSwitch ? kKnobThumb
           : control == ParamControl::VerticalSwitch ? kSwitchThumb
                                                     : kBarThumb;
}

// One parameter's slider and, if it has one, its value display. The page, the kind of
// control and the kind of value text come from the parameter's entry in kParamInfo.
struct ControlPlace {
    int param;
    QPoint sliderPos; // top-left of the control
    Image track;
    int lastPos; // the positions the printed scale is drawn for: 0 .. lastPos
    QPoint displayPos{};
    Image display{};  // id 0: no value display
    int fontSize = 0; // 0 keeps the display's own default
};

// Grouped by page in page order; within a page, in the order the page builds its controls.
inline constexpr std::array<ControlPlace, PARAM_COUNT> kControls{{
    // Settings
    {PARAM_VOLTAGE_CUTOFF, {43, 87}, {163, {185, 19}}, 4},
    {PARAM_THERMAL_PROTECTION, {283, 87}, {164, {64, 19}}, 1},
    {PARAM_MOTOR_DIRECTION, {29, 208}, {148, {18, 99}}, 1},
    {PARAM_DRIVE_MODE, {141, 208}, {148, {18, 99}}, 2},
    {PARAM_NEUTRAL_WIDTH, {269, 208}, {148, {18, 99}}, 2},
    // Throttle
    {PARAM_START_POWER, {73, 87}, {145, {218, 19}}, 4},
    {PARAM_THROTTLE_CURVE, {35, 207}, {152, {31, 88}}, 200, {30, 307}, kNarrowDisplay, 9},
    {PARAM_CURRENT_LIMITER, {148, 207}, {152, {31, 88}}, 100, {142, 307}, kNarrowDisplay, 10},
    {PARAM_COAST, {261, 207}, {152, {31, 88}}, 100, {254, 307}, kNarrowDisplay, 10},
    // Timing: boost timing is built last although it stands third from the left.
    {PARAM_BOOST_START_RPM, {21, 102}, {153, {31, 171}}, 29, {35, 285}, kNarrowDisplay},
    {PARAM_BOOST_END_RPM, {101, 102}, {153, {31, 171}}, 29, {115, 285}, kNarrowDisplay},
    {PARAM_TURBO_TIMING, {244, 137}, {154, {31, 136}}, 60, {244, 285}, kWideDisplay},
    {PARAM_TURBO_DELAY, {296, 137}, {155, {31, 136}}, 190, {296, 285}, kWideDisplay, 8},
    {PARAM_BOOST_TIMING, {179, 137}, {156, {31, 136}}, 50, {179, 285}, kWideDisplay},
    // Brakes
    {PARAM_DRAG_BRAKE, {76, 116}, {157, {31, 157}}, 75, {77, 285}, kNarrowDisplay, 10},
    {PARAM_BRAKE_STRENGTH, {243, 116}, {158, {31, 157}}, 100, {244, 285}, kNarrowDisplay, 10},
}};

// The controls take consecutive ids in the order above.
inline constexpr unsigned kFirstControlId = 1007;

constexpr ParamPage PageOf(const ControlPlace& control) {
    return kParamInfo[static_cast<size_t>(control.param)].page;
}

constexpr ParamControl KindOf(const ControlPlace& control) {
    return kParamInfo[static_cast<size_t>(control.param)].control;
}

constexpr unsigned ControlIdOf(const ControlPlace& control) {
    return kFirstControlId + static_cast<unsigned>(&control - kControls.data());
}

// The controls of one page, in build order.
constexpr std::span<const ControlPlace> ControlsOn(ParamPage page) {
    size_t first = 0;
    while (first < kControls.size() && PageOf(kControls[first]) != page) {
        ++first;
    }
    size_t end = first;
    while (end < kControls.size() && PageOf(kControls[end]) == page) {
        ++end;
    }
    return std::span<const ControlPlace>(kControls).subspan(first, end - first);
}

constexpr const ControlPlace& ControlOf(int param) {
    for (const ControlPlace& control : kControls) {
        if (control.param == param) {
            return control;
        }
    }
    return kControls[0];
}

inline constexpr int kPageCount = 4;

struct PanelPlace {
    int imageId;
    int tabLeft; // the tab heading's columns, both included
    int tabRight;
};

// Indexed by page (ParamPage).
inline constexpr std::array<PanelPlace, kPageCount> kPanels{{
    {143, 3, 94},    // Settings
    {147, 99, 192},  // Throttle
    {146, 198, 274}, // Timing
    {142, 279, 358}, // Brakes
}};
// The tab headings' rows, both included.
inline constexpr int kTabTop = 4;
inline constexpr int kTabBottom = 42;

constexpr const PanelPlace& PanelOf(ParamPage page) {
    return kPanels[static_cast<size_t>(page)];
}

// The home face's tile that opens each page, by page.
inline constexpr std::array<HotArea, kPageCount> kPageTiles{HotSettingsTile, HotThrottleTile,
                                                            HotTimingTile, HotBrakesTile};

namespace detail {
constexpr bool EveryParameterPlacedOnceByPage() {
    std::array<int, PARAM_COUNT> seen{};
    for (size_t i = 0; i < kControls.size(); ++i) {
        const int param = kControls[i].param;
        if (param < 0 || param >= PARAM_COUNT || seen[static_cast<size_t>(param)]++ != 0) {
            return false;
        }
        if (i > 0 && PageOf(kControls[i]) < PageOf(kControls[i - 1])) {
            return false;
        }
        const bool hasText = kParamInfo[static_cast<size_t>(param)].text != ParamValueText::None;
        if (hasText != (kControls[i].display.id != 0)) {
            return false;
        }
    }
    return true;
}
} // namespace detail

static_assert(detail::EveryParameterPlacedOnceByPage(),
              "each parameter needs one control, grouped by page, with a display if it has text");

} // namespace layout
} // namespace corvane
