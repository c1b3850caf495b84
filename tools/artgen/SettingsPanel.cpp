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
    // Sized to stay inside its narrow box.
    title(p, {257, 57}, "THERMAL", "PROTECTION", 11);
    std::vector<Mark> cutoff = choiceMarks(corvane::PARAM_VOLTAGE_CUTOFF);
    cutoff[2].note = "AUTO";
    horizontalScale(p, slider(corvane::PARAM_VOLTAGE_CUTOFF), cutoff);
    horizontalScale(p, slider(corvane::PARAM_THERMAL_PROTECTION),
                    choiceMarks(corvane::PARAM_THERMAL_PROTECTION));

    const QRect lower(8, 146, 349, BoxBottom - 146);
    box(p, lower);
    columnDivider(p, 120, lower.top() + 10, lower.bottom() - 10);
    columnDivider(p, 261, lower.top() + 10, lower.bottom() - 10);
    title(p, {17, 155}, "MOTOR", "DIRECTION");
    title(p, {129, 155}, "DRIVE", "MODE");
    title(p, {268, 155}, "NEUTRAL", "WIDTH");
    // Motor direction and drive mode are mirrored by the page: their first choice is on top.
    for (int param :
         {corvane::PARAM_MOTOR_DIRECTION, corvane::PARAM_DRIVE_MODE, corvane::PARAM_NEUTRAL_WIDTH})
        verticalSwitchScale(p, slider(param), choiceMarks(param));
    p.end();
    return img;
}

} // namespace artgen
