#include "ThrottlePage.h"

#include <array>

namespace corvane {

namespace {

constexpr unsigned kBackgroundPng = 147;
constexpr unsigned kBarTrackPng = 152;
constexpr unsigned kBarThumbPng = 149;
constexpr unsigned kDisplayPng = 159;

constexpr std::array<ControlRow, 4> kRows{{
    {.param = PARAM_START_POWER,
     .sliderPos = {73, 87},
     .controlId = 1012,
     .trackPng = 145,
     .thumbPng = 144,
     .orientation = CSkinSlider::kHorizontal},
    {.param = PARAM_THROTTLE_CURVE,
     .sliderPos = {35, 207},
     .controlId = 1013,
     .trackPng = kBarTrackPng,
     .thumbPng = kBarThumbPng,
     .orientation = CSkinSlider::kVertical,
     .displayPos = {30, 307},
     .displayPng = kDisplayPng,
     .fontSize = 9},
    {.param = PARAM_CURRENT_LIMITER,
     .sliderPos = {148, 207},
     .controlId = 1014,
     .trackPng = kBarTrackPng,
     .thumbPng = kBarThumbPng,
     .orientation = CSkinSlider::kVertical,
     .displayPos = {142, 307},
     .displayPng = kDisplayPng,
     .fontSize = 10},
    {.param = PARAM_COAST,
     .sliderPos = {261, 207},
     .controlId = 1015,
     .trackPng = kBarTrackPng,
     .thumbPng = kBarThumbPng,
     .orientation = CSkinSlider::kVertical,
     .displayPos = {254, 307},
     .displayPng = kDisplayPng,
     .fontSize = 10},
}};

} // namespace

CThrottlePage::CThrottlePage(QWidget* parent, PageHost* host)
    : CTablePage(parent, host, kIndex, kBackgroundPng, kRows) {}

} // namespace corvane
