#include "SkinSlider.h"

#include "SkinAccessible.h"
#include "SkinHotSpot.h"
#include "SkinStatic.h"

#include <QAccessible>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <string>

namespace corvane {

CSkinSlider::CSkinSlider(QWidget* parent) : QWidget(parent) {
    InstallSkinAccessibility();
    // A click or Tab gives the keyboard focus, never the pointer merely passing over: the
    // arrow keys must move the slider the user chose.
    setFocusPolicy(Qt::StrongFocus);
    // Moves without a button matter too: a move after the button went up elsewhere ends a
    // drag.
    setMouseTracking(true);
}

CSkinSlider::~CSkinSlider() = default;

void CSkinSlider::SetTrackImage(unsigned pngId) {
    m_trackImage = LoadPngResource(pngId);
}

void CSkinSlider::Create(QPoint pos, QWidget* parent, unsigned id) {
    setParent(parent);
    m_id = id;
    m_thumbImage = LoadPngResource(m_thumbImageId);
    const QSize track = m_trackImage ? m_trackImage->Size() : QSize(0, 0);
    const QSize thumb = m_thumbImage ? m_thumbImage->Size() : QSize(0, 0);
    m_trackRect = QRect(QPoint(0, 0), track);
    m_thumbRect = QRect(QPoint(0, 0), thumb);
    if (IsVertical()) {
        setGeometry(pos.x(), pos.y(), thumb.width(), track.height());
    } else {
        setGeometry(pos.x(), pos.y(), track.width(), thumb.height());
    }
    // An opaque track that fills the control hides the page beneath it completely, so the
    // page need not repaint under the control each time the thumb moves.
    const bool trackCoversControl = m_trackImage && !m_trackImage->Image().hasAlphaChannel() &&
                                    track.width() >= width() && track.height() >= height();
    setAttribute(Qt::WA_OpaquePaintEvent, trackCoversControl);
    if (parent) {
        show();
    }
}

CSkinStatic* CSkinSlider::Bind(CSkinStatic* display, SliderBinding binding) {
    CSkinStatic* previous = m_display;
    m_display = display;
    m_minPos = 0;
    m_maxPos = binding.lastPos;
    m_binding = std::move(binding);
    return previous;
}

void CSkinSlider::SetPos(int pos) {
    const auto clamped = static_cast<uint8_t>(std::clamp(pos, int{m_minPos}, int{m_maxPos}));
    MoveThumb(clamped);
    m_pos = clamped;
    update();
    if (m_display) {
        m_display->SetText(ValueText());
    }
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent notice(this, m_pos);
        QAccessible::updateAccessibility(&notice);
        // The text the box shows travels as the description: readers hear it change too.
        QAccessibleEvent described(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&described);
    }
}

void CSkinSlider::ChoosePos(int pos) {
    const int before = m_pos;
    SetPos(pos);
    if (m_pos != before) {
        emit PositionChosen(m_pos);
    }
}

void CSkinSlider::MoveThumb(uint8_t pos) {
    // The ends are placed flush rather than computed, so that with a single position the
    // thumb rests at the lowest end (left, or bottom) instead of at the offset origin.
    if (IsVertical()) {
        int top = PosToOffset(pos);
        if (pos == m_minPos) {
            top = m_trackRect.top() + m_trackRect.height() - m_thumbRect.height();
        } else if (pos == m_maxPos) {
            top = m_trackRect.top();
        }
        m_thumbRect.moveTop(top);
    } else {
        int left = PosToOffset(pos);
        if (pos == m_minPos) {
            left = m_trackRect.left();
        } else if (pos == m_maxPos) {
            left = m_trackRect.left() + m_trackRect.width() - m_thumbRect.width();
        }
        m_thumbRect.moveLeft(left);
    }
}

int CSkinSlider::PosToOffset(int pos) const {
    if (m_maxPos == m_minPos) {
        return 0;
    }
    const double range = m_maxPos - m_minPos;
    if (IsVertical()) {
        const double travel = m_trackRect.height() - m_thumbRect.height();
        return static_cast<int>(m_trackRect.top() + travel * (m_maxPos - pos) / range + 0.5);
    }
    const double travel = m_trackRect.width() - m_thumbRect.width();
    return static_cast<int>(m_trackRect.left() + travel * (pos - m_minPos) / range + 0.5);
}

bool CSkinSlider::PointToPos(int x, int y, uint8_t& pos) const {
    const int start = IsVertical() ? m_trackRect.top() : m_trackRect.left();
    const int length = IsVertical() ? m_trackRect.height() : m_trackRect.width();
    const int at = IsVertical() ? y : x;
    // Both ends count as on the track. Without a track there is nothing to point at.
    if (length == 0 || at < start || at > start + length) {
        return false;
    }
    // Mapped over the whole track length, not over the thumb's shorter travel: the thumb
    // does not centre under the pointer.
    const double range = m_maxPos - m_minPos;
    const int step = static_cast<int>(range * (at - start) / length + 0.5);
    int p = m_minPos + step;
    if (IsVertical()) {
        p = m_maxPos - p;
    }
    if (p < m_minPos) {
        pos = m_minPos;
        return false;
    }
    if (p > m_maxPos) {
        pos = m_maxPos;
        return false;
    }
    pos = static_cast<uint8_t>(p);
    return true;
}

uint8_t CSkinSlider::LandingPos(QPoint point) const {
    const int start = IsVertical() ? m_trackRect.top() : m_trackRect.left();
    const int length = IsVertical() ? m_trackRect.height() : m_trackRect.width();
    const int at = IsVertical() ? point.y() : point.x();
    // The track's outermost pixels and everything past them are its ends, exactly: the
    // arithmetic over the whole length would put the last pixel a position or two short,
    // and a fast drag skips the pixels near the end altogether.
    if (at <= start) {
        return IsVertical() ? m_maxPos : m_minPos;
    }
    if (at >= start + length - 1) {
        return IsVertical() ? m_minPos : m_maxPos;
    }
    uint8_t pos = static_cast<uint8_t>(m_pos);
    PointToPos(point.x(), point.y(), pos);
    return pos;
}

void CSkinSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_trackImage) {
        m_trackImage->Draw(painter, m_trackRect.topLeft());
    }
    // A disabled slider stands for a parameter the ESC did not describe: no thumb, no value.
    if (m_thumbImage && isEnabled()) {
        m_thumbImage->Draw(painter, m_thumbRect.topLeft());
    }
    // The keyboard's slider rings its thumb: the ring goes inside the thumb's dark rim, since
    // the control is only as thick as the thumb.
    if (hasFocus() && isEnabled()) {
        DrawFocusRing(painter, m_thumbRect.adjusted(kFocusRingReach, kFocusRingReach,
                                                    -kFocusRingReach, -kFocusRingReach));
    }
}

void CSkinSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    // Qt keeps sending the moves to this control until the button goes up, wherever the
    // pointer goes, which is the capture a drag needs.
    const QPoint at = event->position().toPoint();
    // A press on the thumb picks it up where it is (and gives the slider the keys): only a
    // move from there changes the value.
    if (m_thumbRect.contains(at)) {
        m_dragging = true;
        return;
    }
    ChoosePos(LandingPos(at));
}

void CSkinSlider::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (!m_dragging || !(event->buttons() & Qt::LeftButton)) {
        // The release may have happened where this control did not see it.
        m_dragging = false;
        return;
    }
    const uint8_t pos = LandingPos(event->position().toPoint());
    if (pos != m_pos) {
        ChoosePos(pos);
        emit ThumbTracked(pos);
    }
}

void CSkinSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    m_dragging = false;
}

void CSkinSlider::keyPressEvent(QKeyEvent* event) {
    const bool vertical = IsVertical();
    // A tenth of the track, and at least one position.
    const int page = std::max(1, (m_maxPos - m_minPos + 5) / 10);
    switch (event->key()) {
    case Qt::Key_Home:
        ChoosePos(m_minPos);
        break;
    case Qt::Key_End:
        ChoosePos(m_maxPos);
        break;
    case Qt::Key_PageUp:
        ChoosePos(std::min<int>(m_pos + page, m_maxPos));
        break;
    case Qt::Key_PageDown:
        ChoosePos(std::max<int>(m_pos - page, m_minPos));
        break;
    case Qt::Key_Left:
        if (!vertical && m_pos > m_minPos) {
            ChoosePos(m_pos - 1);
        }
        break;
    case Qt::Key_Right:
        if (!vertical && m_pos < m_maxPos) {
            ChoosePos(m_pos + 1);
        }
        break;
    case Qt::Key_Up:
        if (vertical && m_pos < m_maxPos) {
            ChoosePos(m_pos + 1);
        }
        break;
    case Qt::Key_Down:
        if (vertical && m_pos > m_minPos) {
            ChoosePos(m_pos - 1);
        }
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    // The arrows, Home, End and the page keys stop here, also on the wrong axis or at an end,
    // so the page never turns them into focus moves.
    event->accept();
}

std::unique_ptr<CSkinSlider> CreateSkinSlider(QPoint pos, QWidget* parent, unsigned id,
                                              unsigned trackPng, unsigned thumbPng,
                                              uint8_t orientation) {
    auto slider = std::make_unique<CSkinSlider>();
    slider->SetOrientation(orientation);
    slider->SetThumbImageId(thumbPng);
    slider->SetTrackImage(trackPng);
    slider->Create(pos, parent, id);
    return slider;
}

} // namespace corvane
