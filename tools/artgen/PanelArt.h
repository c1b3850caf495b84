#pragma once

#include "SliderScale.h"

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include <utility>
#include <vector>

// Pieces every parameter page is drawn from: background and tab strip, boxes, slider grooves
// with their printed scales, and the frames the value displays sit in.
namespace artgen::panelart {

// A blank page with the tab strip drawn and `active` highlighted.
QImage blankPage(corvane::ParamPage active);

// Common bottom edge of the boxes on every page.
constexpr int BoxBottom = 352;

void box(QPainter& p, const QRect& r);
// Two-line heading with an accent bar: the first word small and muted, the rest bold beneath
// ("MOTOR" over "DIRECTION"); `at` is the top-left of the bar.
void title(QPainter& p, QPoint at, const QString& first, const QString& second, int size = 13);
void columnDivider(QPainter& p, int x, int top, int bottom);

// A printed mark: a slider position (0 .. lastPos) with an optional label; `major` marks get
// the long tick.
struct Mark {
    Mark(int pos, QString label = {}, bool major = true, QString note = {})
        : pos(pos), label(std::move(label)), major(major), note(std::move(note)) {}
    int pos;
    QString label;
    bool major;
    QString note; // small accent word under a horizontal scale's label
};

// Groove plus tick marks inside the track area, and the mark labels outside it (below a
// horizontal track, right of a vertical one).
void horizontalScale(QPainter& p, const Slider& s, const std::vector<Mark>& marks);
void verticalBarScale(QPainter& p, const Slider& s, const std::vector<Mark>& marks);
// The same with minor marks every `step` positions over the whole track.
void verticalBarScale(QPainter& p, const Slider& s, int step, const std::vector<Mark>& majors);
// The narrow Settings switches: groove only inside the track; ticks and labels beside it.
void verticalSwitchScale(QPainter& p, const Slider& s, const std::vector<Mark>& marks);

// A switch's marks: the names its parameter gives its positions, each at the slider position
// the page shows it on (mirrored for reversed parameters).
std::vector<Mark> choiceMarks(int param);

// Evenly spaced minor marks every `step` positions, majors at the given positions.
std::vector<Mark> ticks(int lastPos, int step, const std::vector<Mark>& majors);

// Recessed frame around every value display of the page.
void valueFrames(QPainter& p, corvane::ParamPage page);

} // namespace artgen::panelart
