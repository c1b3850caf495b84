#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>

// Line icons, drawn centred on a point and scaled to a nominal size in pixels.
namespace artgen::icons {

void home(QPainter& p, QPointF c, qreal size, const QColor& ink);
void close(QPainter& p, QPointF c, qreal size, const QColor& ink);
void gear(QPainter& p, QPointF c, qreal size, const QColor& ink, const QColor& hub);
void gauge(QPainter& p, QPointF c, qreal size, const QColor& ink, const QColor& needle);
void stopwatch(QPainter& p, QPointF c, qreal size, const QColor& ink, const QColor& hand);
void brakeDisc(QPainter& p, QPointF c, qreal size, const QColor& ink, const QColor& caliper);
void syncArrows(QPainter& p, QPointF c, qreal size, const QColor& ink);
void upload(QPainter& p, QPointF c, qreal size, const QColor& ink);

} // namespace artgen::icons
