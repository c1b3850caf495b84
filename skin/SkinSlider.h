// The parameter pages' editing control: a thumb image moved along a track image over a
// small range of integer positions, by mouse, the arrow keys, Home, End and the page keys.
#pragma once

#include "GdiPlusBitmap.h"

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace corvane {

class CSkinStatic;

// What a slider edits: positions 0 .. lastPos, and the text its value display shows at each.
struct SliderBinding {
    int param = 0; // the parameter the slider stands for, for its owner
    uint8_t lastPos = 0;
    // Narrow code-page-950 text for a position; without it the display is cleared. Also what
    // screen readers read the slider's value as.
    std::function<std::string(uint8_t position)> text;
};

class CSkinSlider : public QWidget {
    Q_OBJECT

public:
    enum Orientation : uint8_t { kHorizontal = 0, kVertical = 1 };

    explicit CSkinSlider(QWidget* parent = nullptr);
    ~CSkinSlider() override;

    // Both must precede Create, which sizes the control from the two images.
    void SetOrientation(uint8_t orientation) { m_orientation = orientation; }
    void SetThumbImageId(unsigned pngId) { m_thumbImageId = pngId; }
    void SetTrackImage(unsigned pngId);

    // Places the control at pos in parent, as long as the track and as thick as the thumb,
    // and shows it with its parent.
    void Create(QPoint pos, QWidget* parent, unsigned id);

    // Takes the range and the value text, and the display to write to (may be null, and is
    // not owned). Returns the display bound before. Neither the thumb nor the display changes
    // until the next SetPos.
    CSkinStatic* Bind(CSkinStatic* display, SliderBinding binding);

    // Clamped into the range. Always rewrites the display's text.
    void SetPos(int pos);
    int GetPos() const { return m_pos; }
    // SetPos for the user's own moves (a key, a click, a screen reader): tells
    // PositionChosen when the position changed.
    void ChoosePos(int pos);
    // What the position reads as, in code page 950: the value box's text or the choice.
    std::string ValueText() const { return m_binding.text ? m_binding.text(m_pos) : std::string(); }

    // The thumb's leading edge (left, or top of a vertical thumb) for pos.
    int PosToOffset(int pos) const;
    // False for a point beyond the track's ends along the axis; the other coordinate is
    // not looked at.
    bool PointToPos(int x, int y, uint8_t& pos) const;
    // Where a click or a drag to point lands: as PointToPos inside the track, the end
    // position on the track's outermost pixel and beyond it.
    uint8_t LandingPos(QPoint point) const;

    unsigned ControlId() const { return m_id; }
    int ParamIndex() const { return m_binding.param; }
    uint8_t MinPos() const { return m_minPos; }
    uint8_t MaxPos() const { return m_maxPos; }
    uint8_t Orientation() const { return m_orientation; }
    QRect TrackRect() const { return m_trackRect; }
    QRect ThumbRect() const { return m_thumbRect; }
    bool IsDragging() const { return m_dragging; }

signals:
    // A drag moved the thumb to a new position. Clicks, keys and SetPos stay silent.
    void ThumbTracked(int position);
    // The user moved the thumb to a new position: by click, drag or key. SetPos stays silent.
    void PositionChosen(int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool IsVertical() const { return m_orientation == kVertical; }
    void MoveThumb(uint8_t pos);

    uint8_t m_minPos = 0;
    uint8_t m_maxPos = 4;
    uint8_t m_orientation = kHorizontal;
    SliderBinding m_binding;
    unsigned m_thumbImageId = 0;
    unsigned m_id = 0;
    int m_pos = 0;
    std::unique_ptr<CGdiPlusBitmapResource> m_trackImage;
    std::unique_ptr<CGdiPlusBitmapResource> m_thumbImage;
    QRect m_trackRect;
    QRect m_thumbRect;
    bool m_dragging = false;
    QPointer<CSkinStatic> m_display;
};

// pos: top-left corner in the parent's coordinates; orientation 0 horizontal (lowest
// position at the left), 1 vertical (lowest at the bottom).
std::unique_ptr<CSkinSlider> CreateSkinSlider(QPoint pos, QWidget* parent, unsigned id,
                                              unsigned trackPng, unsigned thumbPng,
                                              uint8_t orientation);

} // namespace corvane
