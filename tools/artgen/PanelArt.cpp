#include "PanelArt.h"

#include "Icons.h"
#include "Paint.h"
#include "SliderScale.h"
#include "Style.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace artgen::panelart {

namespace layout = corvane::layout;

namespace {

const char* const TabNames[] = {"SETTINGS", "THROTTLE", "TIMING", "BRAKES"};

void tabIcon(QPainter& p, int tab, QPointF c, const QColor& ink, const QColor& accent) {
    switch (tab) {
    case 0:
        icons::gear(p, c, 15, ink, accent);
        break;
    case 1:
        icons::gauge(p, c, 16, ink, accent);
        break;
    case 2:
        icons::stopwatch(p, c, 16, ink, accent);
        break;
    default:
        icons::brakeDisc(p, c, 15, ink, accent);
        break;
    }
}

void tabStrip(QPainter& p, corvane::ParamPage active) {
    p.fillRect(QRect(0, 0, layout::kPageSize.width(), 47), QColor(13, 15, 18));
    p.fillRect(QRect(0, 46, layout::kPageSize.width(), 1), QColor(46, 52, 60));
    for (int i = 0; i < layout::kPageCount; ++i) {
        const layout::PanelPlace& t = layout::kPanels[static_cast<size_t>(i)];
        const QRect r(QPoint(t.tabLeft, layout::kTabTop), QPoint(t.tabRight, layout::kTabBottom));
        const bool on = i == static_cast<int>(active);
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(r).adjusted(0, 0, 0, 6), 6, 6);
        QPainterPath clipped;
        clipped.addRect(QRectF(r));
        shape = shape.intersected(clipped);
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, on ? QColor(56, 63, 72) : QColor(33, 37, 43));
        g.setColorAt(1, on ? QColor(38, 43, 50) : QColor(24, 27, 32));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPath(shape);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(on ? QColor(88, 97, 108) : QColor(48, 54, 62), 1));
        p.drawPath(shape.translated(0, 0)); // edge
        p.restore();
        if (on)
            p.fillRect(QRect(r.left() + 1, r.bottom() - 2, r.width() - 2, 3), palette::accent);

        const QFont font = Fonts::bold(12);
        const int textW = QFontMetrics(font).horizontalAdvance(TabNames[i]);
        const int total = 16 + 5 + textW;
        const qreal x0 = r.left() + (r.width() - total) / 2.0;
        const qreal cy = r.top() + (r.height() - 3) / 2.0;
        tabIcon(p, i, QPointF(x0 + 8, cy), on ? palette::text : palette::textDim,
                on ? palette::accent : palette::textDim);
        paint::text(p, QRectF(x0 + 21, r.top(), textW + 2, r.height() - 3),
                    Qt::AlignLeft | Qt::AlignVCenter, TabNames[i], font,
                    on ? palette::text : palette::textMuted);
    }
}

QColor tickColor(bool major) {
    return major ? QColor(196, 204, 214) : palette::tick;
}

} // namespace

QImage blankPage(corvane::ParamPage active) {
    QImage img = canvas(layout::kPageSize, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, layout::kPageSize.height());
    g.setColorAt(0, palette::panel.lighter(108));
    g.setColorAt(1, palette::panel);
    p.fillRect(QRect(QPoint(0, 0), layout::kPageSize), g);
    tabStrip(p, active);
    p.end();
    return img;
}

void box(QPainter& p, const QRect& r) {
    paint::raisedBox(p, r, 7, palette::box.lighter(106), palette::box, palette::boxEdge);
}

void title(QPainter& p, QPoint at, const QString& first, const QString& second, int size) {
    paint::headingMark(p, QRectF(at.x(), at.y() + 2, 2, 25));
    paint::text(p, QRectF(at.x() + 6, at.y(), 120, 12), Qt::AlignLeft | Qt::AlignVCenter, first,
                Fonts::bold(10), palette::textMuted);
    paint::text(p, QRectF(at.x() + 6, at.y() + 12, 120, 17), Qt::AlignLeft | Qt::AlignVCenter,
                second, Fonts::bold(size), palette::text);
}

void columnDivider(QPainter& p, int x, int top, int bottom) {
    p.fillRect(QRect(x, top, 1, bottom - top), QColor(0, 0, 0, 120));
    p.fillRect(QRect(x + 1, top, 1, bottom - top), QColor(255, 255, 255, 16));
}

std::vector<Mark> choiceMarks(int param) {
    const corvane::ParamInfo& info = corvane::kParamInfo[static_cast<size_t>(param)];
    const int last = slider(param).lastPos;
    std::vector<Mark> marks;
    for (int position = 0; position <= last; ++position) {
        const char* name = info.choices[static_cast<size_t>(position)];
        marks.emplace_back(info.reversed ? last - position : position, QString::fromUtf8(name));
    }
    return marks;
}

std::vector<Mark> ticks(int lastPos, int step, const std::vector<Mark>& majors) {
    std::vector<Mark> out = majors;
    for (int pos = 0; pos <= lastPos; pos += step) {
        bool taken = false;
        for (const Mark& m : majors)
            taken = taken || m.pos == pos;
        if (!taken)
            out.emplace_back(pos, QString(), false);
    }
    return out;
}

void horizontalScale(QPainter& p, const Slider& s, const std::vector<Mark>& marks) {
    const QRect t(s.pos, s.track);
    paint::groove(p, QRectF(t.left() + 2, t.top() + 7, t.width() - 4, 5));
    const QFont font = Fonts::bold(11);
    for (const Mark& m : marks) {
        const int x = static_cast<int>(thumbCentre(s, m.pos)) - 1; // two columns about the centre
        const QColor c = tickColor(m.major);
        p.fillRect(QRect(x, t.top() + 1, 2, m.major ? 4 : 3), c);
        p.fillRect(QRect(x, t.bottom() - (m.major ? 4 : 3), 2, m.major ? 4 : 3), c);
        if (!m.label.isEmpty())
            paint::text(p, QRectF(x + 1 - 40, t.bottom() + 3, 80, 14), Qt::AlignCenter, m.label,
                        font, palette::text);
        if (!m.note.isEmpty())
            paint::text(p, QRectF(x + 1 - 40, t.bottom() + 16, 80, 11), Qt::AlignCenter, m.note,
                        Fonts::bold(9), palette::accent);
    }
}

void verticalBarScale(QPainter& p, const Slider& s, const std::vector<Mark>& marks) {
    const QRect t(s.pos, s.track);
    paint::groove(p, QRectF(t.left() + 13, t.top() + 1, 5, t.height() - 2));
    const QFont font = Fonts::bold(10);
    for (const Mark& m : marks) {
        const int y = static_cast<int>(thumbCentre(s, m.pos)); // centre row of the bar thumb
        const QColor c = tickColor(m.major);
        const int len = m.major ? 8 : 5;
        p.fillRect(QRect(t.left() + 11 - len, y, len, 1), c);
        if (m.major)
            p.fillRect(QRect(t.left() + 20, y, len, 1), c);
        if (!m.label.isEmpty())
            paint::text(p, QRectF(t.right() + 4, y - 8, 60, 17), Qt::AlignLeft | Qt::AlignVCenter,
                        m.label, font, palette::text);
    }
}

void verticalSwitchScale(QPainter& p, const Slider& s, const std::vector<Mark>& marks) {
    const QRect t(s.pos, s.track);
    paint::groove(p, QRectF(t.left() + 6, t.top() + 2, 6, t.height() - 4));
    const QFont font = Fonts::bold(10);
    for (const Mark& m : marks) {
        const int y = static_cast<int>(thumbCentre(s, m.pos)); // centre row of the switch thumb
        p.fillRect(QRect(t.right() + 3, y, 6, 1), tickColor(true));
        if (!m.label.isEmpty())
            paint::text(p, QRectF(t.right() + 11, y - 8, 100, 17), Qt::AlignLeft | Qt::AlignVCenter,
                        m.label, font, palette::text);
    }
}

void verticalBarScale(QPainter& p, const Slider& s, int step, const std::vector<Mark>& majors) {
    verticalBarScale(p, s, ticks(s.lastPos, step, majors));
}

void valueFrames(QPainter& p, corvane::ParamPage page) {
    for (const layout::ControlPlace& c : layout::ControlsOn(page)) {
        if (c.display.id == 0)
            continue;
        const QRect r(c.displayPos, c.display.size);
        p.fillRect(r, palette::groove);
        paint::recessFrame(p, r, 2);
    }
}

} // namespace artgen::panelart
