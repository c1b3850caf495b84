#include "Panels.h"

#include "PanelLayout.h"

namespace artgen {

std::map<int, QImage> renderPanels() {
    return {{panel::SettingsPanelId, renderSettingsPanel()},
            {panel::ThrottlePanelId, renderThrottlePanel()},
            {panel::TimingPanelId, renderTimingPanel()},
            {panel::BrakesPanelId, renderBrakesPanel()}};
}

} // namespace artgen
