#include "GdiPlusBitmap.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>

namespace corvane {

void CGdiPlusBitmap::Draw(QPainter& painter, QPoint topLeft) const {
    if (m_bitmap.isNull()) {
        return;
    }
    // At a ratio between the image's and the screen's (150 %), scale smoothly, not by
    // dropping pixels.
    const qreal deviceRatio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const bool resample = !qFuzzyCompare(deviceRatio, m_bitmap.devicePixelRatio());
    const bool smooth = painter.testRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, resample);
    painter.drawImage(topLeft, m_bitmap);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
}

QString PngResourcePath(unsigned id) {
    return QStringLiteral(":/png/%1.png").arg(id);
}

bool CGdiPlusBitmapResource::Load(unsigned id) {
    return Load(id, qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0);
}

bool CGdiPlusBitmapResource::Load(unsigned id, qreal devicePixelRatio) {
    Empty();
    QImage decoded;
    int density = 1;
    // The format is forced so that bytes of another kind are refused rather than sniffed.
    if (devicePixelRatio > 1.0) {
        QImageReader dense(QStringLiteral(":/png/%1@2x.png").arg(id), "png");
        decoded = dense.read();
        density = 2;
    }
    if (decoded.isNull()) {
        QImageReader reader(PngResourcePath(id), "png");
        decoded = reader.read();
        density = 1;
    }
    if (decoded.isNull()) {
        return false;
    }
    // Converting once here keeps every later paint a plain blit: the raster engine draws
    // premultiplied ARGB and RGB32 without per-paint conversion.
    m_bitmap = decoded.convertToFormat(
        decoded.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    m_bitmap.setDevicePixelRatio(density);
    return true;
}

void CGdiPlusBitmapResource::Empty() {
    m_bitmap = QImage();
}

std::unique_ptr<CGdiPlusBitmapResource> LoadPngResource(unsigned id) {
    return LoadPngResource(id, qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0);
}

std::unique_ptr<CGdiPlusBitmapResource> LoadPngResource(unsigned id, qreal devicePixelRatio) {
    auto image = std::make_unique<CGdiPlusBitmapResource>();
    if (!image->Load(id, devicePixelRatio)) {
        return nullptr;
    }
    return image;
}

} // namespace corvane
