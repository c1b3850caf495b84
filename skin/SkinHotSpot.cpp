#include "SkinHotSpot.h"

#include "SkinAccessible.h"

#include <QKeyEvent>
#include <QPainter>

namespace corvane {

void DrawFocusRing(QPainter& painter, const QRect& area) {
    const QRectF ring = QRectF(area).adjusted(-2, -2, 2, 2);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(kFocusEdge), 4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(ring);
    painter.setPen(QPen(QColor(kFocusRing), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(ring);
    painter.restore();
}

CSkinHotSpot::CSkinHotSpot(const QString& name, QAccessible::Role role, QWidget* parent)
    : QWidget(parent), m_role(role) {
    InstallSkinAccessibility();
    setObjectName(name);
    setAccessibleName(name);
    setFocusPolicy(Qt::TabFocus);
    // The face beneath sees the pointer: it lights, presses and drags as it always has.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

CSkinHotSpot::~CSkinHotSpot() = default;

void CSkinHotSpot::Place(const QRect& area) {
    setGeometry(
        area.adjusted(-kFocusRingReach, -kFocusRingReach, kFocusRingReach, kFocusRingReach));
}

void CSkinHotSpot::SetSelected(bool selected) {
    if (m_selected == selected) {
        return;
    }
    m_selected = selected;
    QAccessible::State changed;
    changed.selected = true;
    QAccessibleStateChangeEvent notice(this, changed);
    QAccessible::updateAccessibility(&notice);
}

void CSkinHotSpot::paintEvent(QPaintEvent*) {
    // A dead place shows no ring, even for the moment it still holds the keys.
    if (!hasFocus() || !isEnabled()) {
        return;
    }
    QPainter painter(this);
    DrawFocusRing(painter, rect().adjusted(kFocusRingReach, kFocusRingReach, -kFocusRingReach,
                                           -kFocusRingReach));
}

void CSkinHotSpot::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat()) {
            emit Activated();
        }
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace corvane
