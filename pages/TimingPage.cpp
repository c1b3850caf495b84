#include "TimingPage.h"

#include <array>

namespace corvane {

namespace {

constexpr unsigned kBackgroundPng = 146;
constexpr unsigned kBarThumbPng = 149;
constexpr unsigned kNarrowDisplayPng = 159;
constexpr unsigned kWideDisplayPng = 160;

// Built in this order although boost timing stands third from the left on the artwork.
// Only turbo delay's longer text needs a smaller font than the default.
constexpr std::array<ControlRow, 5> kRows{{
    {.param = PARAM_BOOST_START_RPM,
     .sliderPos = {21, 102},
     .controlId = 1016,
     .trackPng = 153,
     .thumbPng = kBarThumbPng,
     .orientation = CSkinSlider::kVertical,
     .displayPos = {35, 285},
     .displayPng = kNarrowDisplayPng},
    {.param = PARAM_BOOST_END_RPM,
     .sliderPos = {101, 102},
     .controlId = 1017,
     .trackPng = 153,
     .thumbPng = kBarThumbPng,
     .orientation = CSkinSlider::kVertical,
     .displayPos = {115, 285},
     .displayPng = kNarrowDisplayPng},
    {.param = PARAM_TURBO_TIMING,
     .sliderPos = {244, 137},
     .controlId = 1018,
     .trackPng = 154,
     .thumbPng = kBarThumbPng,
     .orientation = CSkinSlider::kVertical,
     .displayPos = {244, 285},
     .displayPng = kWideDisplayPng},
    {.param = PARAM_TURBO_DELAY,
     .sliderPos = {296, 137},
     .controlId = 1019,
     .trackPng = 155,
     .thumbPng = kBarThumbPng,
     .orientation = CSkinSlider::kVertical,
     .displayPos = {296, 285},
     .displayPng = kWideDisplayPng,
     .fontSize = 8},
    {.param = PARAM_BOOST_TIMING,
     .sliderPos = {179, 137},
     .controlId = 1020,
     .trackPng = 156,
     .thumbPng = kBarThumbPng,
     .orientation = CSkinSlider::kVertical,
     .displayPos = {179, 285},
     .displayPng = kWideDisplayPng},
}};

} // namespace

CTimingPage::CTimingPage(QWidget* parent, PageHost* host)
    : CTablePage(parent, host, kIndex, kBackgroundPng, kRows) {}

} // namespace corvane
