#include "SkinSlider.h"
#include "SkinStatic.h"
#include "SkinTestIds.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

// Stands in for a page and records the keys that get past the slider.
class Page : public QWidget {
public:
    QList<int> m_keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { m_keys.append(event->key()); }
};

std::string Percent(uint8_t position) {
    return std::to_string(position) + "%";
}

class SliderTest : public ::testing::Test {
protected:
    // The Settings page's voltage cutoff and the Brakes page's drag brake, in size.
    std::unique_ptr<CSkinSlider> Make(uint8_t orientation, uint8_t maxPos) {
        auto slider = orientation == 0
                          ? CreateSkinSlider({20, 100}, &m_page, 1001, kTrack185, kThumb18, 0)
                          : CreateSkinSlider({60, 150}, &m_page, 1002, kTrack157, kThumb9, 1);
        slider->Bind(m_display.get(), {.param = 5, .lastPos = maxPos, .text = Percent});
        slider->SetPos(0);
        return slider;
    }
    static uint8_t Map(const CSkinSlider& slider, int x, int y) {
        uint8_t pos = 99;
        EXPECT_TRUE(slider.PointToPos(x, y, pos)) << x << "," << y;
        return pos;
    }
    static void Press(CSkinSlider* s, QPoint at) { QTest::mousePress(s, Qt::LeftButton, {}, at); }
    static void Move(CSkinSlider* s, QPoint at) { QTest::mouseMove(s, at); }
    static void Release(CSkinSlider* s) { QTest::mouseRelease(s, Qt::LeftButton, {}, {1, 1}); }

    Page m_page;
    std::unique_ptr<CSkinStatic> m_display = CreateSkinStatic("", {0, 0}, &m_page, kDisplay42);
};

} // namespace

TEST_F(SliderTest, WorkedNumbersAndGeometry) {
    auto horizontal = Make(0, 10);
    EXPECT_EQ(horizontal->geometry(), QRect(20, 100, 185, 19)) << "track long, thumb thick";
    horizontal->SetPos(3);
    EXPECT_EQ(horizontal->ThumbRect(), QRect(50, 0, 18, 19));
    EXPECT_EQ(Map(*horizontal, 92, 500), 5) << "the other coordinate is not looked at";

    auto vertical = Make(1, 75);
    EXPECT_EQ(vertical->geometry(), QRect(60, 150, 31, 157));
    vertical->SetPos(30);
    EXPECT_EQ(vertical->ThumbRect(), QRect(0, 89, 31, 9));
    EXPECT_EQ(Map(*vertical, -40, 40), 56);
}

TEST_F(SliderTest, EndsAreFlushAndPointsBeyondThemMapToNothing) {
    auto horizontal = Make(0, 10);
    EXPECT_EQ(horizontal->ThumbRect().left(), 0);
    horizontal->SetPos(10);
    EXPECT_EQ(horizontal->ThumbRect().right(), 184);
    EXPECT_EQ(Map(*horizontal, 0, 0), 0);
    EXPECT_EQ(Map(*horizontal, 185, 0), 10);
    uint8_t pos = 0;
    EXPECT_FALSE(horizontal->PointToPos(-1, 0, pos));
    EXPECT_FALSE(horizontal->PointToPos(186, 0, pos));

    auto vertical = Make(1, 75);
    EXPECT_EQ(vertical->ThumbRect().bottom(), 156) << "lowest position at the bottom";
    EXPECT_EQ(Map(*vertical, 0, 0), 75);
    EXPECT_FALSE(vertical->PointToPos(0, 158, pos));
}

TEST_F(SliderTest, SetPosClampsAndRewritesTheDisplay) {
    auto slider = Make(0, 10);
    slider->SetPos(200);
    EXPECT_EQ(slider->GetPos(), 10);
    EXPECT_EQ(m_display->Text(), "10%") << "the value of the highest position";
    for (const auto& [asked, stands] : {std::pair{256 + 3, 10}, {-1, 0}, {-255, 0}}) {
        slider->SetPos(asked);
        EXPECT_EQ(slider->GetPos(), stands) << asked << " is beyond an end, not wrapped round";
    }
    m_display->SetText("stale");
    slider->SetPos(3);
    EXPECT_EQ(m_display->Text(), "3%") << "an unchanged position still rewrites";
}

TEST_F(SliderTest, BindTakesRangeAndTextAndMovesNothing) {
    auto slider = Make(0, 10);
    slider->SetPos(4);
    EXPECT_EQ(slider->Bind(m_display.get(),
                           {.param = 12,
                            .lastPos = 2,
                            .text = [](uint8_t p) { return std::to_string(10 * (p + 1)) + "%"; }}),
              m_display.get());
    EXPECT_EQ(slider->GetPos(), 4);
    EXPECT_EQ(m_display->Text(), "4%");
    EXPECT_EQ(slider->ParamIndex(), 12);
    slider->SetPos(1);
    EXPECT_EQ(m_display->Text(), "20%");
    slider->SetPos(9);
    EXPECT_EQ(m_display->Text(), "30%") << "clamped to the new range";

    slider->Bind(m_display.get(), {.param = 0, .lastPos = 4, .text = {}});
    slider->SetPos(2);
    EXPECT_EQ(m_display->Text(), "") << "no text: the display is cleared";
}

TEST_F(SliderTest, OnePositionRange) {
    auto vertical = Make(1, 0);
    vertical->SetPos(5);
    EXPECT_EQ(vertical->GetPos(), 0);
    EXPECT_EQ(vertical->ThumbRect().bottom(), 156) << "rests at the lowest end";
    for (int y : {0, 40, 157}) {
        EXPECT_EQ(Map(*vertical, 0, y), 0);
    }
}

TEST_F(SliderTest, DragFollowsThePointerOffTheControlAndLandsOnTheEnds) {
    auto slider = Make(0, 10);
    QSignalSpy tracked(slider.get(), &CSkinSlider::ThumbTracked);
    Press(slider.get(), {5, 9});   // on the thumb
    Move(slider.get(), {92, -60}); // above the control
    Move(slider.get(), {93, 9});   // same position: no notification
    Move(slider.get(), {150, 80}); // below it
    EXPECT_EQ(slider->GetPos(), 8);
    Move(slider.get(), {400, 9}); // a fast flick past the end lands on it
    EXPECT_EQ(slider->GetPos(), 10);
    Release(slider.get());
    EXPECT_EQ(tracked.count(), 3);
    EXPECT_EQ(tracked.at(2).at(0).toInt(), 10);

    auto vertical = Make(1, 75);
    Press(vertical.get(), {15, 152});
    Move(vertical.get(), {15, 40});
    EXPECT_EQ(vertical->GetPos(), 56);
    Move(vertical.get(), {15, -10});
    EXPECT_EQ(vertical->GetPos(), 75);
    Move(vertical.get(), {15, 500});
    EXPECT_EQ(vertical->GetPos(), 0);
    Release(vertical.get());
}

// Over the whole length, the far end's last pixel maps a position or more short of the end on
// a long range (1 of 200 here, where the thumb is drawn on position 0).
TEST_F(SliderTest, ClickOnATracksOutermostPixelGivesItsEnd) {
    auto vertical = Make(1, 200);
    Press(vertical.get(), {15, 0});
    EXPECT_EQ(vertical->GetPos(), 200);
    Release(vertical.get());
    Press(vertical.get(), {15, 156});
    EXPECT_EQ(vertical->GetPos(), 0);
    Release(vertical.get());
    vertical->SetPos(100);
    Press(vertical.get(), {15, 155});
    EXPECT_EQ(vertical->GetPos(), 3) << "inside the track the arithmetic stays";
    Release(vertical.get());
}

// Picking a slider by its thumb (to give it the arrow keys) must not change its value.
TEST_F(SliderTest, PressOnTheThumbMovesNothingUntilADrag) {
    auto vertical = Make(1, 200);
    vertical->SetPos(200);
    QSignalSpy chosen(vertical.get(), &CSkinSlider::PositionChosen);
    Press(vertical.get(), {15, 4}); // the thumb's middle, where the track maps to 195
    EXPECT_EQ(vertical->GetPos(), 200);
    EXPECT_EQ(chosen.count(), 0);
    Move(vertical.get(), {15, 80});
    EXPECT_EQ(chosen.count(), 1);
    Release(vertical.get());
}

TEST_F(SliderTest, TrackClickJumpsWithoutDragOrNotification) {
    auto slider = Make(0, 10);
    QSignalSpy tracked(slider.get(), &CSkinSlider::ThumbTracked);
    Press(slider.get(), {92, 9});
    EXPECT_EQ(slider->GetPos(), 5);
    Move(slider.get(), {150, 9});
    EXPECT_EQ(slider->GetPos(), 5);
    Release(slider.get());
    EXPECT_EQ(tracked.count(), 0);
}

TEST_F(SliderTest, MoveWithoutTheButtonEndsADrag) {
    // The button went up where the slider did not see it.
    auto slider = Make(0, 10);
    Press(slider.get(), {5, 9});
    QMouseEvent move(QEvent::MouseMove, QPointF(92, 9), QPointF(92, 9), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(slider.get(), &move);
    EXPECT_FALSE(slider->IsDragging());
    EXPECT_EQ(slider->GetPos(), 0);
    Release(slider.get());
}

TEST_F(SliderTest, KeysStepOnTheirAxisJumpAndAreAlwaysConsumed) {
    auto horizontal = Make(0, 1);
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down}) {
        QTest::keyClick(horizontal.get(), key);
    }
    EXPECT_EQ(horizontal->GetPos(), 1) << "stops at the end; up and down do nothing";

    auto vertical = Make(1, 75);
    for (Qt::Key key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right}) {
        QTest::keyClick(vertical.get(), key);
    }
    EXPECT_EQ(vertical->GetPos(), 1) << "up raises";
    EXPECT_TRUE(m_page.m_keys.isEmpty());

    // The long tracks' keys: the ends, and a tenth of the range (at least one position).
    const std::tuple<Qt::Key, int, int, int> jumps[] = {
        // key, last position, from, to
        {Qt::Key_End, 75, 0, 75},     {Qt::Key_Home, 75, 40, 0},  {Qt::Key_PageDown, 75, 75, 67},
        {Qt::Key_PageDown, 75, 3, 0}, {Qt::Key_PageUp, 75, 0, 8}, {Qt::Key_PageUp, 1, 0, 1},
    };
    for (const auto& [key, last, from, to] : jumps) {
        auto slider = Make(1, static_cast<uint8_t>(last));
        slider->SetPos(from);
        QTest::keyClick(slider.get(), key);
        EXPECT_EQ(slider->GetPos(), to) << key << " from " << from;
    }
    EXPECT_TRUE(m_page.m_keys.isEmpty());

    QTest::keyClick(vertical.get(), Qt::Key_Space);
    EXPECT_EQ(m_page.m_keys, QList<int>{Qt::Key_Space}) << "other keys reach the page";
}

// A screen reader moves a slider only as the user could: not one that takes no input (its
// parameter is not described), which would show a value and write nothing.
TEST_F(SliderTest, AScreenReaderCannotMoveADisabledSlider) {
    m_page.show();
    auto slider = Make(0, 10);
    slider->SetPos(4);
    slider->setEnabled(false);
    QSignalSpy chosen(slider.get(), &CSkinSlider::PositionChosen);
    QAccessible::queryAccessibleInterface(slider.get())->valueInterface()->setCurrentValue(7);
    EXPECT_EQ(slider->GetPos(), 4);
    EXPECT_EQ(chosen.count(), 0);
}
