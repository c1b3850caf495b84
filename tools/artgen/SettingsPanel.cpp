#include "PanelArt.h"
#include "Panels.h"

#include "ParameterDescriptor.h"

namespace artgen {

using namespace panelart;

QImage renderSettingsPanel() {
    QImage img = blankPage(corvane::ParamPage::Settings);
    QPainter p(&img);

    box(p, QRect(8, 52, 234, 86));
    box(p, QRect(248, 52, 109, 86));
    title(p, {17, 57}, "VOLTAGE", "CUTOFF");
    title(p, {257, 57}, "THERMAL", "PROTECTION");
    horizontalScale(p, slider(corvane::PARAM_VOLTAGE_CUTOFF),
                    {{0, "3.0"}, {1, "3.1"}, {2, "3.2", true, "AUTO"}, {3, "3.3"}, {4, "3.4"}});
    horizontalScale(p, slider(corvane::PARAM_THERMAL_PROTECTION), {{0, "ON"}, {1, "OFF"}});

    const QRect lower(8, 146, 349, BoxBottom - 146);
    box(p, lower);
    columnDivider(p, 120, lower.top() + 10, lower.bottom() - 10);
    columnDivider(p, 261, lower.top() + 10, lower.bottom() - 10);
    title(p, {17, 155}, "MOTOR", "DIRECTION");
    title(p, {129, 155}, "DRIVE", "MODE");
    title(p, {268, 155}, "NEUTRAL", "WIDTH");
    // Motor direction and drive mode are mirrored by the page: their first choice is on top.
    verticalSwitchScale(p, slider(corvane::PARAM_MOTOR_DIRECTION),
                        {{1, "FORWARD"}, {0, "REVERSE"}});
    verticalSwitchScale(p, slider(corvane::PARAM_DRIVE_MODE),
                        {{2, "Fwd + Br"}, {1, "Fwd + Rev"}, {0, "Fwd + Br + Rev"}});
    verticalSwitchScale(p, slider(corvane::PARAM_NEUTRAL_WIDTH), {{0, "6"}, {1, "9"}, {2, "15"}});
    p.end();
    return img;
}

} // namespace artgen
