#include "PanelArt.h"
#include "Panels.h"

#include "ParameterDescriptor.h"

namespace artgen {

using namespace panelart;

QImage renderThrottlePanel() {
    QImage img = blankPage(corvane::ParamPage::Throttle);
    QPainter p(&img);

    box(p, QRect(8, 52, 349, 86));
    title(p, {17, 57}, "START", "POWER");
    horizontalScale(p, slider(corvane::PARAM_START_POWER), choiceMarks(corvane::PARAM_START_POWER));

    const QRect lower(8, 146, 349, BoxBottom - 146);
    box(p, lower);
    columnDivider(p, 121, lower.top() + 10, lower.bottom() - 10);
    columnDivider(p, 234, lower.top() + 10, lower.bottom() - 10);
    title(p, {17, 155}, "THROTTLE", "CURVE");
    title(p, {130, 155}, "CURRENT", "LIMITER");
    title(p, {243, 155}, "", "COAST");
    // The three grooves share one track image, so their scales are alike: quarter ticks.
    verticalBarScale(p, slider(corvane::PARAM_THROTTLE_CURVE), 50,
                     {{200, "+100"}, {100, "0"}, {0, "-100"}});
    verticalBarScale(p, slider(corvane::PARAM_CURRENT_LIMITER), 25,
                     {{100, "100"}, {50, "50"}, {0, "0"}});
    verticalBarScale(p, slider(corvane::PARAM_COAST), 25, {{100, "100"}, {50, "50"}, {0, "0 OFF"}});
    valueFrames(p, corvane::ParamPage::Throttle);
    p.end();
    return img;
}

} // namespace artgen
