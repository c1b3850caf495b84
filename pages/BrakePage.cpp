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
    : CPageBase(parent, host), m_controls(kRows) {
    OnInitDialog();
}

CGdiPlusBitmapResource* CBrakePage::LoadBackground() {
    return SetBackground(kBackgroundPng);
}

void CBrakePage::CreateControls() {
    LoadBackground();
    m_controls.Create(this, Host());
}

void CBrakePage::LoadParams() {
    m_controls.Load(Host());
}

void CBrakePage::StoreParams() {
    m_controls.Store(Host());
}

} // namespace corvane
