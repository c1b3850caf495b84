#include "GdiPlusBitmap.h"

#include <QImageReader>
#include <QPainter>

namespace corvane {

void CGdiPlusBitmap::Draw(QPainter& painter, QPoint topLeft) const {
    if (!m_bitmap.isNull()) {
        painter.drawImage(topLeft, m_bitmap);
    }
}

QString PngResourcePath(unsigned id) {
    return QStringLiteral(":/png/%1.png").arg(id);
}

bool CGdiPlusBitmapResource::Load(unsigned id) {
    Empty();
    // The format is forced so that bytes of another kind are refused rather than sniffed.
    QImageReader reader(PngResourcePath(id), "png");
    QImage decoded = reader.read();
    if (decoded.isNull()) {
        return false;
    }
    // Converting once here keeps every later paint a plain blit: the raster engine draws
    // premultiplied ARGB and RGB32 without per-paint conversion.
    m_bitmap = decoded.convertToFormat(
        decoded.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    return true;
}

void CGdiPlusBitmapResource::Empty() {
    m_bitmap = QImage();
}

std::unique_ptr<CGdiPlusBitmapResource> LoadPngResource(unsigned id) {
    auto image = std::make_unique<CGdiPlusBitmapResource>();
    if (!image->Load(id)) {
        return nullptr;
    }
    return image;
}

} // namespace corvane
