#include "SkinStatic.h"

#include <cmath>

#include "Cp950.h"
#include "PrivateFont.h"
#include "SkinAccessible.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace corvane {

CSkinStatic::CSkinStatic(QWidget* parent) : QWidget(parent) {
    InstallSkinAccessibility();
}

CSkinStatic::~CSkinStatic() = default;

void CSkinStatic::SetBackgroundImage(unsigned pngId) {
    m_backgroundImage = LoadPngResource(pngId);
    if (m_backgroundImage) {
        resize(m_backgroundImage->Size());
        // An opaque background spares the page a repaint beneath each new text.
        setAttribute(Qt::WA_OpaquePaintEvent, !m_backgroundImage->Image().hasAlphaChannel());
        update();
    }
}

void CSkinStatic::SetText(std::string_view text) {
    m_text.assign(text);
    m_displayText = DecodeCp950(m_text);
    update();
}

void CSkinStatic::SetFontSize(unsigned size, bool redraw) {
    m_fontSize = size;
    if (redraw) {
        update();
    }
}

void CSkinStatic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_backgroundImage) {
        m_backgroundImage->Draw(painter, QPoint(0, 0));
    }
    if (m_displayText.isEmpty()) {
        return;
    }
    QFont font;
    if (!GetPrivateFont(m_fontSize, font)) {
        return;
    }
    painter.setFont(font);
    painter.setPen(Qt::black);
    // Up and down, centred on the digits' height, so every value sits at the same height in
    // the middle of the box whatever its characters (the font's own line box leaves the digits
    // low). Across, centred on the ink itself: the advance would count the side bearings and
    // push the text right.
    const QFontMetricsF metrics(font);
    const QRectF digits = metrics.tightBoundingRect(QStringLiteral("0"));
    const QRectF ink = metrics.tightBoundingRect(m_displayText);
    const qreal baseline = std::round((height() - digits.height()) / 2.0 - digits.top());
    const qreal left = std::round((width() - ink.width()) / 2.0 - ink.left());
    painter.drawText(QPointF(left, baseline), m_displayText);
}

void CSkinStatic::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // Accepted, so the press does not travel on to the page beneath (its tab strip).
    event->accept();
    emit Clicked();
}

std::unique_ptr<CSkinStatic> CreateSkinStatic(std::string_view text, QPoint pos, QWidget* parent,
                                              unsigned pngId) {
    auto display = std::make_unique<CSkinStatic>(parent);
    display->move(pos);
    display->resize(0, 0);
    display->SetText(text);
    if (parent) {
        display->show();
    }
    display->SetBackgroundImage(pngId);
    return display;
}

} // namespace corvane
