#include "BrakePage.h"

#include <array>

namespace corvane {

namespace {

constexpr unsigned kBackgroundPng = 142;
constexpr unsigned kBarThumbPng = 149;
constexpr unsigned kDisplayPng = 159;

constexpr std::array<ControlRow, 2> kRows{{
    {.param = PARAM_DRAG_BRAKE,
     .sliderPos = {76, 116},
     .controlId = 1021,
     .trackPng = 157,
     .thumbPng = kBarThumbPng,
     .orientation = CSkinSlider::kVertical,
     .displayPos = {77, 285},
     .displayPng = kDisplayPng,
     .fontSize = 10},
    {.param = PARAM_BRAKE_STRENGTH,
     .sliderPos = {243, 116},
     .controlId = 1022,
     .trackPng = 158,
     .thumbPng = kBarThumbPng,
     .orientation = CSkinSlider::kVertical,
     .displayPos = {244, 285},
     .displayPng = kDisplayPng,
     .fontSize = 10},
}};

} // namespace

CBrakePage::CBrakePage(QWidget* parent, PageHost* host)
    : CTablePage(parent, host, kIndex, kBackgroundPng, kRows) {}

} // namespace corvane
