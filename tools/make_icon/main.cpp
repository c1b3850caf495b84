// corvane_make_icon: the desktop icon, cut from the throttle tile of the home face.
// Usage: corvane_make_icon <131.png> <icons dir>; writes <dir>/<N>x<N>/corvane-progpanel.png
// for each size the package installs.
#include <cstdio>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

namespace {

// The gauge and the dark tile around it, above the tile's label.
constexpr QRect kGauge(255, 103, 82, 82);
constexpr int kSizes[] = {48, 128};
const QColor kEdge(0x45, 0x4d, 0x57);

QImage Icon(const QImage& gauge, int size) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const qreal radius = size / 6.0;
    const QRectF box = QRectF(icon.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath outline;
    outline.addRoundedRect(box, radius, radius);
    painter.setClipPath(outline);
    painter.drawImage(QRectF(icon.rect()), gauge);
    painter.setClipping(false);
    painter.setPen(QPen(kEdge, size / 48.0));
    painter.drawPath(outline);
    return icon;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <131.png> <icons dir>\n", argv[0]);
        return 2;
    }
    const QImage face(QString::fromLocal8Bit(argv[1]));
    if (face.isNull() || !face.rect().contains(kGauge)) {
        std::fprintf(stderr, "%s: not the home face\n", argv[1]);
        return 1;
    }
    const QImage gauge = face.copy(kGauge);
    for (int size : kSizes) {
        const QString dir =
            QStringLiteral("%1/%2x%2").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        if (!QDir().mkpath(dir) || !Icon(gauge, size).save(dir + "/corvane-progpanel.png")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
