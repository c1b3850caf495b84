#include "Panels.h"

#include "SkinLayout.h"

namespace artgen {

std::map<int, QImage> renderPanels() {
    using corvane::ParamPage;
    using corvane::layout::PanelOf;
    return {{PanelOf(ParamPage::Settings).imageId, renderSettingsPanel()},
            {PanelOf(ParamPage::Throttle).imageId, renderThrottlePanel()},
            {PanelOf(ParamPage::Timing).imageId, renderTimingPanel()},
            {PanelOf(ParamPage::Brakes).imageId, renderBrakesPanel()}};
}

} // namespace artgen
