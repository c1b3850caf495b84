#include "PanelArt.h"
#include "Panels.h"

namespace artgen {

using namespace panelart;
using namespace panel;

QImage renderTimingPanel() {
    QImage img = blankPage(Page::Timing);
    QPainter p(&img);

    const QRect all(8, 52, 349, BoxBottom - 52);
    box(p, all);
    columnDivider(p, 237, all.top() + 10, all.bottom() - 10);
    // One row of headings across the page, each starting over its groove.
    title(p, {15, 62}, "BOOST", "START RPM", 11);
    title(p, {97, 62}, "BOOST", "END RPM", 11);
    title(p, {176, 62}, "BOOST", "TIMING", 11);
    title(p, {243, 62}, "TURBO", "TIMING", 11);
    title(p, {297, 62}, "TURBO", "DELAY", 11);

    // RPM sliders count thousands from 1 to 30: ticks every 1,000, long ones every 5,000.
    std::vector<Mark> rpm = ticks(29, 1, {{29, "30,000"}, {0, "1,000"}});
    for (int pos = 4; pos < 29; pos += 5)
        rpm.emplace_back(pos, QString(), true);
    verticalBarScale(p, BoostStartRpm, rpm);
    verticalBarScale(p, BoostEndRpm, rpm);
    verticalBarScale(p, BoostTiming, ticks(50, 5, {{50, "50"}, {25, "", true}, {0, "0"}}));
    verticalBarScale(p, TurboTiming, ticks(60, 5, {{60, "60"}, {30, "", true}, {0, "0"}}));
    // Turbo delay runs from 0.10 s (position 0) to 2.00 s: a tick every 0.1 s.
    verticalBarScale(p, TurboDelay, ticks(190, 10, {{190, "2.0"}, {90, "", true}, {0, ".1"}}));
    valueFrames(p, TimingPanelId);
    p.end();
    return img;
}

} // namespace artgen
