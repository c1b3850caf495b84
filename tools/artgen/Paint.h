#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

namespace artgen {

// Every image is drawn in the skin's 1x coordinates; the scale (1, or 2 for high-density
// screens) only sets how many pixels each of them gets.
int scale();
void setScale(int scale);
// A blank image of `logical` size at the current scale; painters on it draw in 1x units.
QImage canvas(QSize logical, QImage::Format format);
// A 1x rectangle in the image's own pixels at the current scale.
QRect scaled(const QRect& logical);

} // namespace artgen

// Drawing steps shared by the face and the page panels.
namespace artgen::paint {

void text(QPainter& p, const QRectF& box, int flags, const QString& s, const QFont& font,
          const QColor& color);

// Raised rounded box with a vertical gradient, a one-pixel edge and a faint top highlight.
void raisedBox(QPainter& p, const QRectF& r, qreal radius, const QColor& top, const QColor& bottom,
               const QColor& edge);

// Recessed frame drawn just outside `inner`: dark on the upper left, light on the lower right,
// so whatever later covers `inner` looks set into the surface.
void recessFrame(QPainter& p, const QRect& inner, int width);

// Slot along the slider's axis with rounded ends and an inner shadow.
void groove(QPainter& p, const QRectF& r);

// Small accent bar in front of a heading.
void headingMark(QPainter& p, const QRectF& r);

} // namespace artgen::paint
