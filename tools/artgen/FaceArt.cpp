#include "FaceArt.h"

#include "FaceControls.h"
#include "Paint.h"
#include "Style.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRegion>

namespace artgen {

using namespace corvane;
namespace layout = corvane::layout;

namespace {

QRegion outlineRegion(const Outline& outline) {
    QRegion r;
    for (int y = 0; y < Outline::Height; ++y)
        for (const Span& s : outline.rows()[y])
            r += QRect(s.left, y, s.right - s.left, 1);
    return r;
}

QPainterPath outlinePath(const Outline& outline) {
    QPainterPath path;
    path.addPolygon(outline.polygon());
    path.closeSubpath();
    return path;
}

void paintBody(QPainter& p, const Outline& outline) {
    QLinearGradient g(0, 0, 0, Outline::Height);
    g.setColorAt(0, palette::bodyTop);
    g.setColorAt(0.22, palette::bodyBottom.lighter(112));
    g.setColorAt(1, palette::bodyBottom);
    p.fillRect(QRect(QPoint(0, 0), layout::kFaceSize), g);

    // A soft sheen across the header.
    QLinearGradient sheen(0, 0, 0, 60);
    sheen.setColorAt(0, QColor(255, 255, 255, 18));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRect(0, 0, Outline::Width, 60), sheen);

    const QPainterPath edge = outlinePath(outline);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(palette::rim, 2));
    p.drawPath(edge);
    p.setPen(QPen(QColor(255, 255, 255, 46), 1));
    p.drawPath(edge.translated(1.5, 1.5));
    p.setPen(QPen(QColor(0, 0, 0, 110), 1));
    p.drawPath(edge.translated(-1.5, -1.5));
}

// Amber edge light just under the roof line, fading in from the home tab towards the close tab.
void paintRoofLight(QPainter& p, const QLineF& roof) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(roof.p1(), roof.p2());
    g.setColorAt(0, QColor(255, 179, 26, 0));
    g.setColorAt(0.6, QColor(255, 179, 26, 150));
    g.setColorAt(1, QColor(255, 179, 26, 230));
    p.setPen(QPen(QBrush(g), 1.2, Qt::SolidLine, Qt::FlatCap));
    QLineF light = roof.translated(0, 3.2);
    light.setP1(light.pointAt(0.015));
    light.setP2(light.pointAt(0.985));
    p.drawLine(light);
    p.restore();
}

void paintWordmark(QPainter& p) {
    paint::text(p, QRectF(46, 20, 200, 24), Qt::AlignLeft | Qt::AlignVCenter, "CORVANE",
                Fonts::bold(21), palette::text);
    paint::headingMark(p, QRectF(47, 45, 14, 2));
    paint::text(p, QRectF(66, 39, 200, 14), Qt::AlignLeft | Qt::AlignVCenter,
                "ESC PROGRAMMING PANEL", Fonts::bold(10), palette::textMuted);
}

void paintWell(QPainter& p) {
    const QRect well = layout::kPageRect;
    p.fillRect(well, palette::well);
    QLinearGradient g(well.topLeft(), well.bottomLeft());
    g.setColorAt(0, QColor(255, 255, 255, 6));
    g.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(well, g);
    QRadialGradient glow(QPointF(well.center()) + QPointF(0, -20), 230);
    glow.setColorAt(0, QColor(120, 140, 160, 26));
    glow.setColorAt(1, QColor(120, 140, 160, 0));
    p.fillRect(well, glow);
    paint::recessFrame(p, well, 2);
}

void paintStatusWell(QPainter& p) {
    const QRect r = layout::kStatusList;
    p.fillRect(r, QColor(10, 11, 13));
    paint::recessFrame(p, r, 2);
}

void paintWriteCaption(QPainter& p) {
    paint::text(p, QRectF(4, 481, 50, 12), Qt::AlignHCenter | Qt::AlignVCenter, "WRITE",
                Fonts::bold(9), palette::textMuted);
}

// Vent slots in the lower right, cut at the same angle as the chin's edge.
void paintVents(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 9; ++i) {
        const qreal x = 300 + i * 12;
        const QPointF a(x + 18, 440), b(x, 458);
        p.setPen(QPen(QColor(0, 0, 0, 200), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(a, b);
        p.setPen(QPen(QColor(255, 255, 255, 22), 1, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(a + QPointF(1.2, 2.2), b + QPointF(1.2, 2.2));
    }
    p.restore();
    paint::text(p, QRectF(290, 462, 122, 12), Qt::AlignRight | Qt::AlignVCenter, "VRX  Q8 / Q10",
                Fonts::bold(9), palette::textDim);
}

// Grip ribs along both sides of the waist.
void paintGrips(QPainter& p) {
    p.save();
    for (int y = 150; y <= 350; y += 8) {
        for (int x : {8, 417}) {
            p.fillRect(QRect(x, y, 12, 2), QColor(0, 0, 0, 120));
            p.fillRect(QRect(x, y + 2, 12, 1), QColor(255, 255, 255, 18));
        }
    }
    p.restore();
}

} // namespace

QImage renderFace(const Outline& outline, HotArea lit) {
    QImage img = canvas(layout::kFaceSize, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setClipRegion(outlineRegion(outline));
    paintBody(p, outline);
    p.setRenderHint(QPainter::Antialiasing, false);
    paintRoofLight(p, outline.roof());
    paintWordmark(p);
    facecontrols::homeButton(p, lit == HotHomeButton);
    facecontrols::closeButton(p, lit == HotCloseButton);
    paintGrips(p);
    paintWell(p);
    facecontrols::tiles(p, lit);
    facecontrols::firmwareLabel(p, lit == HotFirmwareUpdate);
    facecontrols::writeButton(p, lit == HotWriteButton);
    paintWriteCaption(p);
    paintStatusWell(p);
    paintVents(p);
    p.end();
    return img;
}

std::map<int, QImage> renderFaces(const Outline& outline) {
    std::map<int, QImage> faces;
    const QImage plain = renderFace(outline, HotNone);
    faces[layout::kPlainFaceId] = plain;
    for (int area = HotNone + 1; area < HotAreaCount; ++area) {
        const layout::HotAreaPlace& a = layout::kHotAreas[static_cast<size_t>(area)];
        const QImage lit = renderFace(outline, static_cast<HotArea>(area));
        QImage variant = plain.copy();
        QPainter p(&variant);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(a.label.topLeft(), lit, scaled(a.label));
        p.end();
        faces[a.faceId] = variant;
    }
    return faces;
}

} // namespace artgen
