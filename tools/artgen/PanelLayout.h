#pragma once

#include <QPoint>
#include <QSize>

#include <array>

// Control places on the parameter pages (page pixels; a page is 365 x 365).
namespace artgen::panel {

constexpr QSize Size{365, 365};

constexpr int BrakesPanelId = 142;
constexpr int SettingsPanelId = 143;
constexpr int TimingPanelId = 146;
constexpr int ThrottlePanelId = 147;

constexpr int KnobThumbId = 144;   // horizontal sliders, 18 x 19
constexpr int BarThumbId = 149;    // vertical sliders of Throttle, Timing, Brakes, 31 x 9
constexpr int SwitchThumbId = 150; // vertical sliders of Settings, 18 x 19
constexpr QSize KnobThumb{18, 19};
constexpr QSize BarThumb{31, 9};
constexpr QSize SwitchThumb{18, 19};

constexpr int NarrowDisplayId = 159; // 42 x 19
constexpr int WideDisplayId = 160;   // 44 x 19
constexpr QSize NarrowDisplay{42, 19};
constexpr QSize WideDisplay{44, 19};

struct Slider {
    int panelId;
    QPoint pos; // top-left of the control
    int trackId;
    QSize track;
    QSize thumb;
    bool vertical;
    int lastPos; // positions the printed scale is drawn for: 0 .. lastPos
};

// Settings
constexpr Slider VoltageCutoff{SettingsPanelId, {43, 87}, 163, {185, 19}, KnobThumb, false, 4};
constexpr Slider ThermalProtection{SettingsPanelId, {283, 87}, 164, {64, 19}, KnobThumb, false, 1};
constexpr Slider MotorDirection{SettingsPanelId, {29, 208}, 148, {18, 99}, SwitchThumb, true, 1};
constexpr Slider DriveMode{SettingsPanelId, {141, 208}, 148, {18, 99}, SwitchThumb, true, 2};
constexpr Slider NeutralWidth{SettingsPanelId, {269, 208}, 148, {18, 99}, SwitchThumb, true, 2};
// Throttle
constexpr Slider StartPower{ThrottlePanelId, {73, 87}, 145, {218, 19}, KnobThumb, false, 4};
constexpr Slider ThrottleCurve{ThrottlePanelId, {35, 207}, 152, {31, 88}, BarThumb, true, 200};
constexpr Slider CurrentLimiter{ThrottlePanelId, {148, 207}, 152, {31, 88}, BarThumb, true, 100};
constexpr Slider Coast{ThrottlePanelId, {261, 207}, 152, {31, 88}, BarThumb, true, 100};
// Timing
constexpr Slider BoostStartRpm{TimingPanelId, {21, 102}, 153, {31, 171}, BarThumb, true, 29};
constexpr Slider BoostEndRpm{TimingPanelId, {101, 102}, 153, {31, 171}, BarThumb, true, 29};
constexpr Slider TurboTiming{TimingPanelId, {244, 137}, 154, {31, 136}, BarThumb, true, 60};
constexpr Slider TurboDelay{TimingPanelId, {296, 137}, 155, {31, 136}, BarThumb, true, 190};
constexpr Slider BoostTiming{TimingPanelId, {179, 137}, 156, {31, 136}, BarThumb, true, 50};
// Brakes
constexpr Slider DragBrake{BrakesPanelId, {76, 116}, 157, {31, 157}, BarThumb, true, 75};
constexpr Slider BrakeStrength{BrakesPanelId, {243, 116}, 158, {31, 157}, BarThumb, true, 100};

constexpr std::array<Slider, 16> Sliders{
    VoltageCutoff, ThermalProtection, MotorDirection, DriveMode,     NeutralWidth, StartPower,
    ThrottleCurve, CurrentLimiter,    Coast,          BoostStartRpm, BoostEndRpm,  TurboTiming,
    TurboDelay,    BoostTiming,       DragBrake,      BrakeStrength};

struct Display {
    int panelId;
    QPoint pos;
    int imageId;
    QSize size;
};

constexpr std::array<Display, 10> Displays{{
    {ThrottlePanelId, {30, 307}, NarrowDisplayId, NarrowDisplay},
    {ThrottlePanelId, {142, 307}, NarrowDisplayId, NarrowDisplay},
    {ThrottlePanelId, {254, 307}, NarrowDisplayId, NarrowDisplay},
    {TimingPanelId, {35, 285}, NarrowDisplayId, NarrowDisplay},
    {TimingPanelId, {115, 285}, NarrowDisplayId, NarrowDisplay},
    {TimingPanelId, {244, 285}, WideDisplayId, WideDisplay},
    {TimingPanelId, {296, 285}, WideDisplayId, WideDisplay},
    {TimingPanelId, {179, 285}, WideDisplayId, WideDisplay},
    {BrakesPanelId, {77, 285}, NarrowDisplayId, NarrowDisplay},
    {BrakesPanelId, {244, 285}, NarrowDisplayId, NarrowDisplay},
}};

// Tab headings, page pixels, bounds included.
struct Tab {
    int x0, x1;
};
constexpr int TabTop = 4;
constexpr int TabBottom = 42;
constexpr std::array<Tab, 4> Tabs{{{3, 94}, {99, 192}, {198, 274}, {279, 358}}};

} // namespace artgen::panel
