#include "SettingPage.h"

#include <array>

namespace corvane {

namespace {

constexpr unsigned kBackgroundPng = 143;
constexpr unsigned kKnobThumbPng = 144;
constexpr unsigned kSwitchThumbPng = 150;
constexpr unsigned kSwitchTrackPng = 148;

// Motor direction and drive mode are mirrored (ParamInfo), so their first choice sits at the
// top of the groove where the artwork prints it.
constexpr std::array<ControlRow, 5> kRows{{
    {.param = PARAM_VOLTAGE_CUTOFF,
     .sliderPos = {43, 87},
     .controlId = 1007,
     .trackPng = 163,
     .thumbPng = kKnobThumbPng,
     .orientation = CSkinSlider::kHorizontal},
    {.param = PARAM_THERMAL_PROTECTION,
     .sliderPos = {283, 87},
     .controlId = 1008,
     .trackPng = 164,
     .thumbPng = kKnobThumbPng,
     .orientation = CSkinSlider::kHorizontal},
    {.param = PARAM_MOTOR_DIRECTION,
     .sliderPos = {29, 208},
     .controlId = 1009,
     .trackPng = kSwitchTrackPng,
     .thumbPng = kSwitchThumbPng,
     .orientation = CSkinSlider::kVertical},
    {.param = PARAM_DRIVE_MODE,
     .sliderPos = {141, 208},
     .controlId = 1010,
     .trackPng = kSwitchTrackPng,
     .thumbPng = kSwitchThumbPng,
     .orientation = CSkinSlider::kVertical},
    {.param = PARAM_NEUTRAL_WIDTH,
     .sliderPos = {269, 208},
     .controlId = 1011,
     .trackPng = kSwitchTrackPng,
     .thumbPng = kSwitchThumbPng,
     .orientation = CSkinSlider::kVertical},
}};

} // namespace

CSettingPage::CSettingPage(QWidget* parent, PageHost* host)
    : CTablePage(parent, host, kIndex, kBackgroundPng, kRows) {}

} // namespace corvane
