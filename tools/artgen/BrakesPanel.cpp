#include "PanelArt.h"
#include "Panels.h"

namespace artgen {

using namespace panelart;
using namespace panel;

QImage renderBrakesPanel() {
    QImage img = blankPage(Page::Brakes);
    QPainter p(&img);

    box(p, QRect(8, 52, 171, BoxBottom - 52));
    box(p, QRect(186, 52, 171, BoxBottom - 52));
    title(p, {17, 64}, "DRAG", "BRAKE");
    title(p, {195, 64}, "BRAKE", "STRENGTH");
    verticalBarScale(p, DragBrake, ticks(75, 5, {{75, "75"}, {50, "50"}, {25, "25"}, {0, "0"}}));
    verticalBarScale(p, BrakeStrength, ticks(100, 10, {{100, "100"}, {50, "50"}, {0, "0"}}));
    valueFrames(p, BrakesPanelId);
    p.end();
    return img;
}

} // namespace artgen
