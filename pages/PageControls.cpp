#include "PageControls.h"

#include "ParamInfo.h"

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
    for (const ControlRow& layout : m_rows) {
        Row row;
        if (layout.displayPng != 0) {
            row.display = CreateSkinStatic("", layout.displayPos, page, layout.displayPng);
        }
        ParameterDescriptor descriptor;
        const bool described =
            host != nullptr && host->GetParamDescriptor(layout.param, descriptor);
        row.slider = CreateSkinSlider(layout.sliderPos, page, layout.controlId, layout.trackPng,
                                      layout.thumbPng, layout.orientation);
        if (described) {
            row.slider->Bind(row.display.get(), descriptor);
            row.bound = true;
            const ParamInfo* info = FindParamInfo(layout.param);
            row.reversed = info != nullptr && info->reversed;
        } else {
            // A descriptor outside the block would bind the slider to bytes that are not
            // there; the control stays as built but takes no input.
            row.slider->setEnabled(false);
        }
        if (row.display && layout.fontSize != 0) {
            row.display->SetFontSize(layout.fontSize, false);
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
        const auto position = static_cast<uint8_t>(row.slider->GetPos());
        host->SetParamPosition(m_rows[i].param,
                               row.reversed ? Mirror(*row.slider, position) : position);
    }
}

} // namespace corvane
