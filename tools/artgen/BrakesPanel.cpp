#include "PanelArt.h"
#include "Panels.h"

#include "ParameterDescriptor.h"

namespace artgen {

using namespace panelart;

QImage renderBrakesPanel() {
    QImage img = blankPage(corvane::ParamPage::Brakes);
    QPainter p(&img);

    box(p, QRect(8, 52, 171, BoxBottom - 52));
    box(p, QRect(186, 52, 171, BoxBottom - 52));
    title(p, {17, 64}, "DRAG", "BRAKE");
    title(p, {195, 64}, "BRAKE", "STRENGTH");
    verticalBarScale(p, slider(corvane::PARAM_DRAG_BRAKE), 5,
                     {{75, "75"}, {50, "50"}, {25, "25"}, {0, "0"}});
    verticalBarScale(p, slider(corvane::PARAM_BRAKE_STRENGTH), 10,
                     {{100, "100"}, {50, "50"}, {0, "0"}});
    valueFrames(p, corvane::ParamPage::Brakes);
    p.end();
    return img;
}

} // namespace artgen
