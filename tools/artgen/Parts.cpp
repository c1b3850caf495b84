#include "Parts.h"

#include "Paint.h"
#include "SkinLayout.h"
#include "Style.h"

#include <QLinearGradient>
#include <QPainter>

namespace artgen {

using namespace corvane::layout;

namespace {

QImage transparent(QSize s) {
    QImage img = canvas(s, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void knobBody(QPainter& p, const QRectF& r) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 110)); // drop shadow
    p.drawRoundedRect(r.translated(0, 1), 3.5, 3.5);
    p.setBrush(QColor(40, 26, 0));
    p.drawRoundedRect(r, 3.5, 3.5);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, palette::accent.lighter(125));
    g.setColorAt(0.5, palette::accent);
    g.setColorAt(1, palette::accentDeep);
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 2.5, 2.5);
}

// Square knob of the horizontal sliders; its middle grip line marks the position.
QImage knob() {
    QImage img = transparent(kKnobThumb.size);
    QPainter p(&img);
    knobBody(p, QRectF(1, 0.5, 16, 17));
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int x : {5, 8, 11}) {
        const int h = x == 8 ? 11 : 7;
        p.fillRect(QRect(x, 9 - h / 2, 2, h), QColor(60, 36, 0, 200));
        p.fillRect(QRect(x + 2, 9 - h / 2, 1, h), QColor(255, 236, 190, 110));
    }
    p.end();
    return img;
}

// Knob of the Settings switches; grip lines run across, the middle one on the centre row.
QImage switchKnob() {
    QImage img = transparent(kSwitchThumb.size);
    QPainter p(&img);
    knobBody(p, QRectF(1, 0.5, 16, 17));
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int y : {5, 9, 13}) {
        const int w = y == 9 ? 12 : 8;
        p.fillRect(QRect(9 - w / 2, y, w, 1), QColor(60, 36, 0, 220));
        p.fillRect(QRect(9 - w / 2, y + 1, w, 1), QColor(255, 236, 190, 110));
    }
    p.end();
    return img;
}

// Flat bar of the vertical sliders; the dark line on its middle row points at the scale.
QImage bar() {
    QImage img = transparent(kBarThumb.size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 26, 0));
    p.drawRoundedRect(QRectF(0, 0, 31, 9), 2.5, 2.5);
    QLinearGradient g(0, 0, 0, 9);
    g.setColorAt(0, palette::accent.lighter(125));
    g.setColorAt(0.5, palette::accent);
    g.setColorAt(1, palette::accentDeep);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1, 1, 29, 7), 1.5, 1.5);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(3, 4, 25, 1), QColor(40, 24, 0));
    p.end();
    return img;
}

// Backlit amber window for black value text.
QImage display(QSize s) {
    QImage img = canvas(s, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(QRect(QPoint(0, 0), s), QColor(20, 14, 2));
    QLinearGradient g(0, 1, 0, s.height() - 1);
    g.setColorAt(0, palette::lcdTop);
    g.setColorAt(1, palette::lcdBottom);
    p.fillRect(QRect(1, 1, s.width() - 2, s.height() - 2), g);
    p.fillRect(QRect(1, 1, s.width() - 2, 1), QColor(150, 92, 10));
    p.fillRect(QRect(1, 2, s.width() - 2, 1), QColor(232, 160, 40));
    p.end();
    return img;
}

} // namespace

std::map<int, QImage> renderParts() {
    return {{kKnobThumb.id, knob()},
            {kSwitchThumb.id, switchKnob()},
            {kBarThumb.id, bar()},
            {kNarrowDisplay.id, display(kNarrowDisplay.size)},
            {kWideDisplay.id, display(kWideDisplay.size)}};
}

} // namespace artgen
