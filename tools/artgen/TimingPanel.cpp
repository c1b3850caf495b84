#include "PanelArt.h"
#include "Panels.h"

#include "ParameterDescriptor.h"

namespace artgen {

using namespace panelart;

QImage renderTimingPanel() {
    QImage img = blankPage(corvane::ParamPage::Timing);
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
    const int lastRpm = slider(corvane::PARAM_BOOST_START_RPM).lastPos;
    std::vector<Mark> rpm = ticks(lastRpm, 1, {{lastRpm, "30,000"}, {0, "1,000"}});
    for (int pos = 4; pos < lastRpm; pos += 5)
        rpm.emplace_back(pos, QString(), true);
    verticalBarScale(p, slider(corvane::PARAM_BOOST_START_RPM), rpm);
    verticalBarScale(p, slider(corvane::PARAM_BOOST_END_RPM), rpm);
    verticalBarScale(p, slider(corvane::PARAM_BOOST_TIMING), 5,
                     {{50, "50"}, {25, "", true}, {0, "0"}});
    verticalBarScale(p, slider(corvane::PARAM_TURBO_TIMING), 5,
                     {{60, "60"}, {30, "", true}, {0, "0"}});
    // Turbo delay runs from 0.10 s (position 0) to 2.00 s: a tick every 0.1 s.
    verticalBarScale(p, slider(corvane::PARAM_TURBO_DELAY), 10,
                     {{190, "2.0"}, {90, "", true}, {0, ".1"}});
    valueFrames(p, corvane::ParamPage::Timing);
    p.end();
    return img;
}

} // namespace artgen
