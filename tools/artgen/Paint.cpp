#include "Paint.h"

#include "Style.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace artgen {

namespace {
int g_scale = 1;
} // namespace

int scale() {
    return g_scale;
}

void setScale(int scale) {
    g_scale = scale;
}

QImage canvas(QSize logical, QImage::Format format) {
    QImage img(logical * g_scale, format);
    img.setDevicePixelRatio(g_scale);
    return img;
}

QRect scaled(const QRect& logical) {
    return QRect(logical.topLeft() * g_scale, logical.size() * g_scale);
}

} // namespace artgen

namespace artgen::paint {

void text(QPainter& p, const QRectF& box, int flags, const QString& s, const QFont& font,
          const QColor& color) {
    p.save();
    p.setFont(font);
    p.setPen(color);
    p.drawText(box, flags, s);
    p.restore();
}

void raisedBox(QPainter& p, const QRectF& r, qreal radius, const QColor& top, const QColor& bottom,
               const QColor& edge) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(palette::rim);
    p.drawRoundedRect(r, radius, radius);
    const QRectF inner = r.adjusted(1, 1, -1, -1);
    p.setBrush(g);
    p.drawRoundedRect(inner, radius - 1, radius - 1);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(edge, 1));
    p.drawRoundedRect(inner.adjusted(0.5, 0.5, -0.5, -0.5), radius - 1.5, radius - 1.5);
    QColor sheen(255, 255, 255, 26);
    p.setPen(QPen(sheen, 1));
    p.drawLine(QPointF(inner.left() + radius, inner.top() + 1.5),
               QPointF(inner.right() - radius, inner.top() + 1.5));
    p.restore();
}

void recessFrame(QPainter& p, const QRect& inner, int width) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 1; i <= width; ++i) {
        const QRect r = inner.adjusted(-i, -i, i, i);
        const int shade = i == 1 ? 170 : 90;
        p.setPen(QColor(0, 0, 0, shade));
        p.drawLine(r.left(), r.top(), r.right(), r.top());
        p.drawLine(r.left(), r.top(), r.left(), r.bottom());
        p.setPen(QColor(255, 255, 255, i == width ? 34 : 16));
        p.drawLine(r.left() + 1, r.bottom(), r.right(), r.bottom());
        p.drawLine(r.right(), r.top() + 1, r.right(), r.bottom());
    }
    p.restore();
}

void groove(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal rad = qMin(r.width(), r.height()) / 2;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 22));
    p.drawRoundedRect(r.adjusted(-1, -1, 1, 1).translated(0, 0.5), rad + 1, rad + 1);
    p.setBrush(palette::groove);
    p.drawRoundedRect(r, rad, rad);
    QLinearGradient shade(r.topLeft(), r.width() < r.height() ? r.topRight() : r.bottomLeft());
    shade.setColorAt(0, QColor(0, 0, 0, 150));
    shade.setColorAt(0.5, QColor(0, 0, 0, 0));
    shade.setColorAt(1, QColor(255, 255, 255, 14));
    p.setBrush(shade);
    p.drawRoundedRect(r, rad, rad);
    p.restore();
}

void headingMark(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(r, palette::accent);
    p.restore();
}

} // namespace artgen::paint
