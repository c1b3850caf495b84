// The face: hot areas light only when live, tiles open pages, home returns, keys never close.
#include "PageBase.h"
#include "SkinSlider.h"
#include "WindowFixture.h"

using namespace corvane;
using namespace corvane::test;

using Navigation = WindowFixture;

TEST_F(Navigation, DeadAreasDoNothingBeforeAnEsc) {
    Open();
    MoveTo(kSettingsTile);
    EXPECT_EQ(window->LitArea(), HotNone);
    EXPECT_EQ(window->BackgroundId(), 131u);
    ClickAt(kWriteButton);
    ClickAt(kFirmwareLabel);
    EXPECT_EQ(Lines(), QStringList{"Waiting ESC..."});
    MoveTo(kCloseButton);
    EXPECT_EQ(window->LitArea(), HotCloseButton);
    EXPECT_EQ(window->BackgroundId(), 134u);
}

TEST_F(Navigation, HoverLightsTheTileUnderTheMouse) {
    Connect();
    const std::pair<QPoint, unsigned> tiles[] = {
        {kSettingsTile, 137}, {kThrottleTile, 138}, {kTimingTile, 139},   {kBrakesTile, 133},
        {kHomeButton, 136},   {kWriteButton, 140},  {kFirmwareLabel, 135}};
    for (const auto& [point, face] : tiles) {
        MoveTo(point);
        EXPECT_EQ(window->BackgroundId(), face);
    }
    MoveTo(QPoint(420, 300));
    EXPECT_EQ(window->LitArea(), HotNone);
    EXPECT_EQ(window->BackgroundId(), 131u);
}

TEST_F(Navigation, TilesOpenPagesAndHomeReturns) {
    Connect();
    const std::pair<QPoint, int> tiles[] = {
        {kSettingsTile, 0}, {kThrottleTile, 1}, {kTimingTile, 2}, {kBrakesTile, 3}};
    for (const auto& [point, index] : tiles) {
        ClickAt(point);
        EXPECT_EQ(window->CurrentPage(), index);
        EXPECT_TRUE(window->Page(index)->isVisible());
        ClickAt(kHomeButton);
        EXPECT_EQ(window->CurrentPage(), PageHost::kNoPage);
        EXPECT_FALSE(window->Page(index)->isVisible());
    }
}

TEST_F(Navigation, EnterAndEscNeverClose) {
    Open();
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QTest::keyClick(window.get(), Qt::Key_Return);
    EXPECT_TRUE(window->isVisible());
    ClickAt(kCloseButton);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(Navigation, TheDesktopsCloseEndsTheWindow) {
    Open();
    // A close asked by the window manager (task bar, session end) is honoured; only the
    // keys are kept from closing.
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(Navigation, EscOnAFocusedSliderDoesNotClose) {
    Connect();
    ClickAt(kBrakesTile);
    auto sliders = window->Page(3)->findChildren<CSkinSlider*>();
    ASSERT_FALSE(sliders.isEmpty());
    QTest::keyClick(sliders.first(), Qt::Key_Escape);
    QTest::keyClick(sliders.first(), Qt::Key_Enter);
    EXPECT_TRUE(window->isVisible());
}
