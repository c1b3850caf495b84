// The read-only value box beneath a slider: a background image with black text in its middle.
#pragma once

#include "GdiPlusBitmap.h"

#include <QRectF>
#include <QWidget>
#include <memory>
#include <string>
#include <string_view>

namespace corvane {

class CSkinStatic : public QWidget {
    Q_OBJECT

public:
    static constexpr unsigned kDefaultFontSize = 9;

    explicit CSkinStatic(QWidget* parent = nullptr);
    ~CSkinStatic() override;

    // On success the box keeps its top-left corner and takes the image's size; on failure
    // it keeps its size (zero when just created, so it stays invisible) and has no image.
    void SetBackgroundImage(unsigned pngId);
    // Narrow code-page-950 text; setting the same text again still repaints.
    void SetText(std::string_view text);
    const std::string& Text() const { return m_text; }
    void SetFontSize(unsigned size, bool redraw);
    unsigned FontSize() const { return m_fontSize; }

signals:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::unique_ptr<CGdiPlusBitmapResource> m_backgroundImage;
    unsigned m_fontSize = kDefaultFontSize;
    std::string m_text;
    QString m_displayText; // m_text decoded once per change rather than on every paint
};

// pos: top-left corner in the parent's coordinates. The display is shown with its parent.
std::unique_ptr<CSkinStatic> CreateSkinStatic(std::string_view text, QPoint pos, QWidget* parent,
                                              unsigned pngId);

} // namespace corvane
