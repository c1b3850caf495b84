#include "PageControls.h"

#include "ParamInfo.h"
#include "ParamValueFormat.h"

namespace corvane {

namespace {

// A reversed control puts the parameter's position 0 at the top, where the artwork prints
// the first choice, so positions are mirrored on the way in and on the way out alike.
uint8_t Mirror(const CSkinSlider& slider, uint8_t position) {
    return static_cast<uint8_t>(slider.MaxPos() - position);
}

} // namespace

void PageControls::Create(QWidget* page, PageHost* host) {
    m_controls.clear();
    m_controls.reserve(m_rows.size());
    for (const layout::ControlPlace& place : m_rows) {
        Row row;
        if (place.display.id != 0) {
            row.display = CreateSkinStatic("", place.displayPos, page,
                                           static_cast<unsigned>(place.display.id));
        }
        const ParamControl kind = layout::KindOf(place);
        ParameterDescriptor descriptor;
        const bool described = host != nullptr && host->GetParamDescriptor(place.param, descriptor);
        row.slider = CreateSkinSlider(
            place.sliderPos, page, layout::ControlIdOf(place),
            static_cast<unsigned>(place.track.id), static_cast<unsigned>(layout::ThumbOf(kind).id),
            layout::IsVertical(kind) ? CSkinSlider::kVertical : CSkinSlider::kHorizontal);
        row.slider->setAccessibleName(QString::fromUtf8(kParamInfo[place.param].label));
        if (row.display) {
            // Screen readers meet the box beside its slider: it bears the slider's name.
            row.display->setAccessibleName(row.slider->accessibleName());
        }
        if (described) {
            const auto param = static_cast<unsigned>(place.param);
            const bool reversed = kParamInfo[param].reversed;
            const uint8_t last = LastPosition(descriptor);
            row.slider->Bind(
                row.display.get(),
                {.param = place.param,
                 .lastPos = last,
                 .text = [descriptor, param, host, reversed, last](uint8_t position) {
                     const uint8_t at = reversed ? static_cast<uint8_t>(last - position) : position;
                     // Where the block's own value stands, its box says what the ESC holds,
                     // even a value the descriptor does not offer.
                     uint8_t value = ValueAtPosition(descriptor, at);
                     uint8_t held = 0, heldAt = 0;
                     if (host->GetUnofferedValue(static_cast<int>(param), held, heldAt) &&
                         heldAt == at) {
                         value = held;
                     }
                     return DescribeParamSetting(static_cast<int>(param), at, value);
                 }});
            row.bound = true;
            row.reversed = reversed;
            // What the user chooses goes into the block at once, so the window always knows
            // which changes wait to be written.
            CSkinSlider* slider = row.slider.get();
            QObject::connect(slider, &CSkinSlider::PositionChosen, slider,
                             [host, slider, reversed, param = place.param](int position) {
                                 const auto p = static_cast<uint8_t>(position);
                                 host->SetParamPosition(param, reversed ? Mirror(*slider, p) : p);
                             });
        } else {
            // A descriptor outside the block would bind the slider to bytes that are not
            // there; the control stays as built but takes no input.
            row.slider->setEnabled(false);
        }
        if (row.display && place.fontSize != 0) {
            row.display->SetFontSize(static_cast<unsigned>(place.fontSize), false);
        }
        m_controls.push_back(std::move(row));
    }
}

void PageControls::Load(PageHost* host) {
    if (host == nullptr) {
        return;
    }
    for (size_t i = 0; i < m_controls.size(); ++i) {
        Row& row = m_controls[i];
        if (!row.bound) {
            continue;
        }
        const uint8_t position = host->GetParamPosition(m_rows[i].param);
        row.slider->SetPos(row.reversed ? Mirror(*row.slider, position) : position);
    }
}

void PageControls::Store(PageHost* host) {
    if (host == nullptr) {
        return;
    }
    for (size_t i = 0; i < m_controls.size(); ++i) {
        const Row& row = m_controls[i];
        if (!row.bound) {
            continue;
        }
        // A slider that stands where the block's value does leaves the byte as it is.
        const auto position = static_cast<uint8_t>(row.slider->GetPos());
        host->SetParamPosition(m_rows[i].param,
                               row.reversed ? Mirror(*row.slider, position) : position);
    }
}

} // namespace corvane
