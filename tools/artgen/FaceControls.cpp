#include "FaceControls.h"

#include "Icons.h"
#include "Paint.h"
#include "Style.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QRadialGradient>

namespace artgen::facecontrols {

using namespace corvane;
namespace layout = corvane::layout;

namespace {

struct Tile {
    HotArea area;
    QString name;
    int icon;
};

QRect drawnTile(const layout::HotAreaPlace& a) {
    // A tile is drawn exactly where the window veils it while it is dead; the hit area
    // around it is a little larger.
    return a.veil;
}

void paintTile(QPainter& p, const Tile& t, bool lit) {
    const layout::HotAreaPlace& a = layout::kHotAreas[t.area];
    const QRect tile = drawnTile(a);
    paint::raisedBox(p, tile, 9, palette::tile, palette::tileBottom, QColor(66, 74, 84));

    const QPointF c(tile.left() + tile.width() / 2.0, tile.top() + 46);
    switch (t.icon) {
    case 0:
        icons::gear(p, c, 52, palette::text, palette::accent);
        break;
    case 1:
        icons::gauge(p, c, 56, palette::text, palette::accent);
        break;
    case 2:
        icons::stopwatch(p, c, 56, palette::text, palette::accent);
        break;
    default:
        icons::brakeDisc(p, c, 54, palette::text, palette::accent);
        break;
    }

    const QRect strip(tile.left() + 3, a.label.top() + 1, tile.width() - 6, 28);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(strip, 6, 6);
    if (lit) {
        const QRectF pill(tile.left() + tile.width() / 2.0 - 52, strip.top() + 2, 104,
                          strip.height() - 4);
        QLinearGradient g(pill.topLeft(), pill.bottomLeft());
        g.setColorAt(0, palette::accent.lighter(108));
        g.setColorAt(1, palette::accentDeep);
        p.setBrush(g);
        p.drawRoundedRect(pill, 5, 5);
    }
    p.restore();
    paint::text(p, QRectF(strip).adjusted(0, 0, 0, -1), Qt::AlignCenter, t.name, Fonts::bold(14),
                lit ? palette::accentInk : palette::text);
}

} // namespace

void firmwareLabel(QPainter& p, bool lit) {
    const QRect slot = layout::kProgressBar;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRoundedRect(QRectF(slot), 4, 4);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 14), 1));
    p.drawRoundedRect(QRectF(slot).adjusted(-0.5, -0.5, 0.5, 0.5), 4.5, 4.5);
    p.restore();

    const QFont font = Fonts::bold(11);
    const QString label = "FIRMWARE UPDATE";
    const int textW = QFontMetrics(font).horizontalAdvance(label);
    const qreal x0 =
        layout::kHotAreas[HotFirmwareUpdate].label.center().x() + 0.5 - (14 + 5 + textW) / 2.0;
    const QColor ink = lit ? palette::accent : palette::textMuted;
    icons::upload(p, QPointF(x0 + 7, 416), 12, ink);
    paint::text(p, QRectF(x0 + 19, slot.top(), textW + 2, slot.height()),
                Qt::AlignLeft | Qt::AlignVCenter, label, font,
                lit ? palette::accent : palette::text);
    if (lit) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(palette::accent, 1));
        p.setBrush(QColor(255, 179, 26, 28));
        p.drawRoundedRect(QRectF(x0 - 5.5, slot.top() + 0.5, textW + 30, slot.height() - 1), 4, 4);
        p.restore();
    }
}

void writeButton(QPainter& p, bool lit) {
    const QPointF c(layout::kWriteButtonCentre);
    const int r = layout::kWriteButtonRadius;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    if (lit) {
        QRadialGradient glow(c, 21);
        glow.setColorAt(0.6, QColor(255, 179, 26, 90));
        glow.setColorAt(1, QColor(255, 179, 26, 0));
        p.setBrush(glow);
        p.drawEllipse(c, 21, 21);
    }
    p.setBrush(palette::rim);
    p.drawEllipse(c, r, r);
    QLinearGradient g(c.x(), c.y() - 15, c.x(), c.y() + 15);
    g.setColorAt(0, lit ? palette::accent.lighter(112) : QColor(64, 71, 80));
    g.setColorAt(1, lit ? palette::accentDeep : QColor(36, 40, 46));
    p.setBrush(g);
    p.drawEllipse(c, 15, 15);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, lit ? 70 : 30), 1));
    p.drawEllipse(c, 14, 14);
    p.restore();
    icons::syncArrows(p, c, 22, lit ? palette::accentInk : palette::text);
}

void homeButton(QPainter& p, bool lit) {
    const QRectF plate(16.5, 9.5, 22, 21);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(lit ? palette::accentDeep : QColor(0, 0, 0, 120), 1));
    p.setBrush(lit ? palette::accent : QColor(255, 255, 255, 12));
    p.drawRoundedRect(plate, 5, 5);
    p.restore();
    icons::home(p, QPointF(27.5, 20), 14, lit ? palette::accentInk : palette::text);
}

void closeButton(QPainter& p, bool lit) {
    const QPointF c(417.5, 31.5);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(palette::rim);
    p.drawEllipse(c, 10, 10);
    QRadialGradient g(c - QPointF(0, 4), 12);
    g.setColorAt(0, lit ? palette::danger.lighter(120) : QColor(58, 64, 72));
    g.setColorAt(1, lit ? palette::danger.darker(115) : QColor(34, 38, 44));
    p.setBrush(g);
    p.drawEllipse(c, 9, 9);
    p.restore();
    icons::close(p, c, 11, lit ? palette::text : palette::textMuted);
}

void tiles(QPainter& p, HotArea lit) {
    const Tile tiles[] = {{HotSettingsTile, "SETTINGS", 0},
                          {HotThrottleTile, "THROTTLE", 1},
                          {HotTimingTile, "TIMING", 2},
                          {HotBrakesTile, "BRAKES", 3}};
    for (const Tile& t : tiles)
        paintTile(p, t, lit == t.area);
}

} // namespace artgen::facecontrols
