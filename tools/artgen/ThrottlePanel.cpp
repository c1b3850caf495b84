#include "PanelArt.h"
#include "Panels.h"

namespace artgen {

using namespace panelart;
using namespace panel;

QImage renderThrottlePanel() {
    QImage img = blankPage(Page::Throttle);
    QPainter p(&img);

    box(p, QRect(8, 52, 349, 86));
    title(p, {17, 57}, "START", "POWER");
    horizontalScale(p, StartPower,
                    {{0, "LOWEST"}, {1, "LOW"}, {2, "NORMAL"}, {3, "HIGH"}, {4, "HIGHEST"}});

    const QRect lower(8, 146, 349, BoxBottom - 146);
    box(p, lower);
    columnDivider(p, 121, lower.top() + 10, lower.bottom() - 10);
    columnDivider(p, 234, lower.top() + 10, lower.bottom() - 10);
    title(p, {17, 155}, "THROTTLE", "CURVE");
    title(p, {130, 155}, "CURRENT", "LIMITER");
    title(p, {243, 155}, "", "COAST");
    // The three grooves share one track image, so their scales are alike: quarter ticks.
    verticalBarScale(p, ThrottleCurve, ticks(200, 50, {{200, "+100"}, {100, "0"}, {0, "-100"}}));
    verticalBarScale(p, CurrentLimiter, ticks(100, 25, {{100, "100"}, {50, "50"}, {0, "0"}}));
    verticalBarScale(p, Coast, ticks(100, 25, {{100, "100"}, {50, "50"}, {0, "0 OFF"}}));
    valueFrames(p, ThrottlePanelId);
    p.end();
    return img;
}

} // namespace artgen
