#include "Icons.h"

#include <QPainterPath>
#include <QtMath>

namespace artgen::icons {

namespace {

QPointF polar(QPointF c, qreal r, qreal degrees) {
    const qreal a = qDegreesToRadians(degrees);
    return {c.x() + r * std::cos(a), c.y() - r * std::sin(a)};
}

QPen line(const QColor& ink, qreal w) {
    return QPen(ink, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace

void home(QPainter& p, QPointF c, qreal s, const QColor& ink) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = s * 0.5;
    p.setPen(line(ink, qMax<qreal>(1.6, s * 0.11)));
    p.setBrush(Qt::NoBrush);
    QPainterPath roof;
    roof.moveTo(c.x() - w, c.y() - s * 0.02);
    roof.lineTo(c.x(), c.y() - s * 0.46);
    roof.lineTo(c.x() + w, c.y() - s * 0.02);
    p.drawPath(roof);
    QPainterPath body;
    body.moveTo(c.x() - w * 0.72, c.y() - s * 0.14);
    body.lineTo(c.x() - w * 0.72, c.y() + s * 0.42);
    body.lineTo(c.x() + w * 0.72, c.y() + s * 0.42);
    body.lineTo(c.x() + w * 0.72, c.y() - s * 0.14);
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRect(QRectF(c.x() - s * 0.1, c.y() + s * 0.12, s * 0.2, s * 0.3));
    p.restore();
}

void close(QPainter& p, QPointF c, qreal s, const QColor& ink) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(line(ink, qMax<qreal>(1.7, s * 0.16)));
    const qreal h = s * 0.3;
    p.drawLine(QPointF(c.x() - h, c.y() - h), QPointF(c.x() + h, c.y() + h));
    p.drawLine(QPointF(c.x() - h, c.y() + h), QPointF(c.x() + h, c.y() - h));
    p.restore();
}

void gear(QPainter& p, QPointF c, qreal s, const QColor& ink, const QColor& hub) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const int teeth = 8;
    const qreal outer = s * 0.5, root = s * 0.38;
    QPainterPath g;
    for (int i = 0; i < teeth; ++i) {
        const qreal a = 90 + i * 360.0 / teeth;
        const qreal half = 360.0 / teeth;
        const QPointF pts[] = {polar(c, root, a - half * 0.5), polar(c, root, a - half * 0.28),
                               polar(c, outer, a - half * 0.17), polar(c, outer, a + half * 0.17),
                               polar(c, root, a + half * 0.28)};
        for (int k = 0; k < 5; ++k) {
            if (i == 0 && k == 0)
                g.moveTo(pts[k]);
            else
                g.lineTo(pts[k]);
        }
    }
    g.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, s * 0.17, s * 0.17);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(g.subtracted(hole));
    p.setBrush(hub);
    p.drawEllipse(c, s * 0.08, s * 0.08);
    p.restore();
}

void gauge(QPainter& p, QPointF c, qreal s, const QColor& ink, const QColor& needle) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal r = s * 0.48;
    const QPointF o(c.x(), c.y() + s * 0.1);
    p.setPen(QPen(ink, qMax<qreal>(1.8, s * 0.09), Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    const QRectF arc(o.x() - r, o.y() - r, 2 * r, 2 * r);
    p.drawArc(arc, -30 * 16, 240 * 16);
    p.setPen(line(ink, qMax<qreal>(1.2, s * 0.05)));
    for (int i = 0; i <= 6; ++i) {
        const qreal a = 210 - i * 40;
        p.drawLine(polar(o, r * 0.62, a), polar(o, r * 0.76, a));
    }
    p.setPen(line(needle, qMax<qreal>(2.0, s * 0.08)));
    p.drawLine(o, polar(o, r * 0.7, 38));
    p.setPen(Qt::NoPen);
    p.setBrush(needle);
    p.drawEllipse(o, s * 0.08, s * 0.08);
    p.restore();
}

void stopwatch(QPainter& p, QPointF c, qreal s, const QColor& ink, const QColor& hand) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal r = s * 0.4;
    const QPointF o(c.x(), c.y() + s * 0.08);
    const qreal w = qMax<qreal>(1.8, s * 0.085);
    p.setPen(line(ink, w));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(o, r, r);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRoundedRect(QRectF(o.x() - s * 0.09, o.y() - r - s * 0.16, s * 0.18, s * 0.1), 1, 1);
    p.drawRect(QRectF(o.x() - s * 0.03, o.y() - r - s * 0.08, s * 0.06, s * 0.08));
    p.save();
    p.translate(o);
    p.rotate(45);
    p.drawRoundedRect(QRectF(-s * 0.05, -r - s * 0.11, s * 0.1, s * 0.09), 1, 1);
    p.restore();
    p.setPen(line(ink, qMax<qreal>(1.1, s * 0.045)));
    for (int i = 0; i < 12; ++i) {
        const qreal inner = (i % 3 == 0) ? r * 0.7 : r * 0.8;
        p.drawLine(polar(o, inner, i * 30), polar(o, r * 0.9, i * 30));
    }
    p.setPen(line(hand, qMax<qreal>(2.0, s * 0.075)));
    p.drawLine(o, polar(o, r * 0.72, 55));
    p.setPen(Qt::NoPen);
    p.setBrush(hand);
    p.drawEllipse(o, s * 0.065, s * 0.065);
    p.restore();
}

void brakeDisc(QPainter& p, QPointF c, qreal s, const QColor& ink, const QColor& caliper) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal r = s * 0.46;
    QPainterPath disc;
    disc.addEllipse(c, r, r);
    QPainterPath cut;
    cut.addEllipse(c, r * 0.42, r * 0.42);
    for (int i = 0; i < 12; ++i) {
        const QPointF h = polar(c, r * 0.72, i * 30 + (i % 2) * 6);
        cut.addEllipse(h, s * 0.035, s * 0.035);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(disc.subtracted(cut));
    p.drawEllipse(c, r * 0.3, r * 0.3);
    p.setBrush(QColor(0, 0, 0, 160));
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(polar(c, r * 0.17, 90 + i * 72), s * 0.025, s * 0.025);
    // caliper hugging the upper right of the disc
    QPainterPath cal;
    const QRectF outerR(c.x() - r * 1.06, c.y() - r * 1.06, r * 2.12, r * 2.12);
    const QRectF innerR(c.x() - r * 0.66, c.y() - r * 0.66, r * 1.32, r * 1.32);
    cal.arcMoveTo(outerR, 15);
    cal.arcTo(outerR, 15, 60);
    cal.arcTo(innerR, 75, -60);
    cal.closeSubpath();
    QPainterPathStroker st;
    st.setWidth(s * 0.06);
    st.setJoinStyle(Qt::RoundJoin);
    p.setBrush(QColor(0, 0, 0, 170));
    p.drawPath(st.createStroke(cal).united(cal));
    p.setBrush(caliper);
    p.drawPath(cal);
    p.restore();
}

void syncArrows(QPainter& p, QPointF c, qreal s, const QColor& ink) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal r = s * 0.36;
    const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
    const QPen pen(ink, qMax<qreal>(2.0, s * 0.11), Qt::SolidLine, Qt::FlatCap);
    for (int half = 0; half < 2; ++half) {
        // Each arc turns clockwise and ends in a head whose base sits on the arc's end.
        const qreal start = 205 + half * 180;
        const qreal span = -125;
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawArc(box, qRound(start * 16), qRound(span * 16));
        const QPointF base = polar(c, r, start + span);
        const QPointF tip = polar(c, r, start + span - 34);
        const QPointF along = tip - base;
        const QPointF across(-along.y() * 0.62, along.x() * 0.62);
        QPainterPath head;
        head.moveTo(tip);
        head.lineTo(base + across);
        head.lineTo(base - across);
        head.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPath(head);
    }
    p.restore();
}

void upload(QPainter& p, QPointF c, qreal s, const QColor& ink) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = qMax<qreal>(1.6, s * 0.13);
    p.setPen(line(ink, w));
    p.setBrush(Qt::NoBrush);
    const qreal h = s * 0.45;
    QPainterPath tray;
    tray.moveTo(c.x() - h, c.y() + s * 0.1);
    tray.lineTo(c.x() - h, c.y() + h);
    tray.lineTo(c.x() + h, c.y() + h);
    tray.lineTo(c.x() + h, c.y() + s * 0.1);
    p.drawPath(tray);
    p.drawLine(QPointF(c.x(), c.y() + s * 0.22), QPointF(c.x(), c.y() - h));
    QPainterPath head;
    head.moveTo(c.x() - s * 0.28, c.y() - s * 0.16);
    head.lineTo(c.x(), c.y() - h);
    head.lineTo(c.x() + s * 0.28, c.y() - s * 0.16);
    p.drawPath(head);
    p.restore();
}

} // namespace artgen::icons
