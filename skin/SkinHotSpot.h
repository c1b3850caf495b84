// A place on a skinned face that acts when pressed: a button or a page tab printed on the
// artwork. It has no look of its own but the keyboard's focus ring, so the artwork shows
// through; the pointer passes through it to the face beneath, which lights and presses it;
// the keyboard reaches it by Tab and presses it with Space or Enter; screen readers see it as
// what it stands for, by name.
#pragma once

#include <QAccessible>
#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>

class QPainter;

namespace corvane {

// The keyboard's focus ring: a light line between two dark ones, plain on the amber thumbs
// and on the dark face alike.
inline constexpr QRgb kFocusRing = qRgb(250, 250, 250);
inline constexpr QRgb kFocusEdge = qRgb(13, 17, 23);
// How far the ring reaches outside what it surrounds.
inline constexpr int kFocusRingReach = 4;

// Draws the ring just outside area (its light line 2 px out), in the painter's coordinates.
void DrawFocusRing(QPainter& painter, const QRect& area);

class CSkinHotSpot : public QWidget {
    Q_OBJECT

public:
    // role: QAccessible::Button or QAccessible::PageTab.
    CSkinHotSpot(const QString& name, QAccessible::Role role, QWidget* parent);
    ~CSkinHotSpot() override;

    // The area in the parent's coordinates; the spot reaches a little beyond it, for the ring.
    void Place(const QRect& area);
    QAccessible::Role Role() const { return m_role; }
    // The tab of the page shown (screen readers are told it is selected).
    void SetSelected(bool selected);
    bool IsSelected() const { return m_selected; }
    // A longer text for screen readers, made when they ask for it.
    void SetDescription(std::function<QString()> describe) { m_describe = std::move(describe); }
    QString Description() const { return m_describe ? m_describe() : QString(); }

signals:
    // Space or Enter while focused, or a screen reader's press.
    void Activated();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QAccessible::Role m_role;
    bool m_selected = false;
    std::function<QString()> m_describe;
};

} // namespace corvane
