// Images decoded from the PNG files compiled into the program as ":/png/<id>.png", and their
// twice-as-dense twins ":/png/<id>@2x.png" for high-density screens. Sizes are in the skin's
// 1x units whichever was loaded.
#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <memory>

class QPainter;

namespace corvane {

class CGdiPlusBitmap {
public:
    CGdiPlusBitmap() = default;
    CGdiPlusBitmap(const CGdiPlusBitmap&) = delete;
    CGdiPlusBitmap& operator=(const CGdiPlusBitmap&) = delete;
    virtual ~CGdiPlusBitmap() = default;

    bool IsNull() const { return m_bitmap.isNull(); }
    int Width() const { return Size().width(); }
    int Height() const { return Size().height(); }
    QSize Size() const { return m_bitmap.deviceIndependentSize().toSize(); }
    const QImage& Image() const { return m_bitmap; }

    // Natural size, alpha blended; an empty image draws nothing.
    void Draw(QPainter& painter, QPoint topLeft) const;

protected:
    QImage m_bitmap;
};

class CGdiPlusBitmapResource : public CGdiPlusBitmap {
public:
    ~CGdiPlusBitmapResource() override { Empty(); }

    // Releases any image held, then decodes ":/png/<id>.png", or its @2x twin when the
    // screens' device-pixel ratio is above 1 and the twin is there. False, and empty, when
    // the resource is missing or is not a decodable image.
    bool Load(unsigned id);
    bool Load(unsigned id, qreal devicePixelRatio);
    void Empty();
};

// The resource path of an image id, for callers that need to name it (tests, diagnostics).
QString PngResourcePath(unsigned id);

// Null when the image cannot be loaded.
std::unique_ptr<CGdiPlusBitmapResource> LoadPngResource(unsigned id);
std::unique_ptr<CGdiPlusBitmapResource> LoadPngResource(unsigned id, qreal devicePixelRatio);

} // namespace corvane
