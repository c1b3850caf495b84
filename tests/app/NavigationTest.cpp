// The face: hot areas light only when live, tiles open pages, home returns, keys never close.
#include <QAccessible>
#include <QCursor>
#include <QMenu>
#include <QProgressBar>
#include <QTimer>
#include <cmath>
#include <limits>

#include "PageBase.h"
#include "SkinHotSpot.h"
#include "SkinSlider.h"
#include "SkinStatic.h"
#include "WindowFixture.h"

using namespace corvane;
using namespace corvane::test;

using Navigation = WindowFixture;

// How many of the areas the window shows darker than the plain face, judged at the brightest
// pixel of each (lettering or icon).
int Dimmed(QWidget& window, std::initializer_list<HotArea> areas) {
    const QImage shown = window.grab().toImage();
    const QImage plain = QImage(":/png/131.png").convertToFormat(QImage::Format_ARGB32);
    int dimmed = 0;
    for (HotArea area : areas) {
        const QRect hit = layout::kHotAreas[area].hit;
        QPoint brightest = hit.topLeft();
        for (int y = hit.top(); y <= hit.bottom(); ++y) {
            for (int x = hit.left(); x <= hit.right(); ++x) {
                if (qGray(plain.pixel(x, y)) > qGray(plain.pixel(brightest))) {
                    brightest = {x, y};
                }
            }
        }
        dimmed += qGray(shown.pixel(brightest)) < qGray(plain.pixel(brightest)) - 40;
    }
    return dimmed;
}

TEST_F(Navigation, DeadAreasLookDeadAndDoNothingBeforeAnEsc) {
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
    MoveTo(QPoint(420, 300));
    // The tiles, the write button and the firmware label lie under a veil.
    const auto live = {HotSettingsTile, HotThrottleTile, HotTimingTile,
                       HotBrakesTile,   HotWriteButton,  HotFirmwareUpdate};
    EXPECT_EQ(Dimmed(*window, live), 6);
    const QImage veiled = window->grab().toImage();
    EXPECT_GT(qGray(veiled.pixel(140, 145)), qGray(veiled.pixel(95, 120)) + 40)
        << "a veil, not a blind: the gear still shows";
    EXPECT_EQ(Dimmed(*window, {HotCloseButton, HotHomeButton}), 0);
    // A press on a dead tile neither acts nor drags the window.
    const QPoint before = window->pos();
    QTest::mousePress(window.get(), Qt::LeftButton, Qt::NoModifier, kSettingsTile);
    QMouseEvent drag(QEvent::MouseMove, QPointF(kSettingsTile + QPoint(30, 30)),
                     window->mapToGlobal(QPointF(kSettingsTile + QPoint(30, 30))), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drag);
    QTest::mouseRelease(window.get(), Qt::LeftButton, Qt::NoModifier, kSettingsTile);
    EXPECT_EQ(window->pos(), before);
    // The status lines are read, not picked.
    QListWidget* list = window->StatusList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->item(0)).center());
    EXPECT_TRUE(list->selectedItems().isEmpty());
    // It keeps the newest lines, a bounded number of them.
    for (int i = 0; i <= CCorvaneProgPanelDlg::kMaxStatusLines; ++i) {
        window->AddStatus(QString::number(i));
    }
    EXPECT_EQ(list->count(), CCorvaneProgPanelDlg::kMaxStatusLines);
    EXPECT_EQ(list->item(list->count() - 1)->text(),
              QString::number(CCorvaneProgPanelDlg::kMaxStatusLines));
    list->scrollToTop();
    const QImage lines = window->grab(layout::kStatusList).toImage();
    // However full, no line touches the frame above it: three rows of background beneath it.
    for (int y = 1; y <= 3; ++y) {
        for (int x = 1; x < lines.width() - 1; ++x) {
            ASSERT_EQ(lines.pixel(x, y), lines.pixel(1, 1)) << x << ", " << y;
        }
    }
    // The veils lift as the ESC's parameters arrive.
    ASSERT_TRUE(PumpUntil([&] { return window->Connection().ParamsLoaded(); }));
    EXPECT_EQ(Dimmed(*window, live), 0);
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
    // Straight off the face, to the desktop or onto the status list or a page, however fast:
    // the lit label goes back to the plain face's pixels.
    const QImage plain = QImage(":/png/131.png").convertToFormat(QImage::Format_RGB32);
    const auto leaves = [&](HotArea area, QObject* onto, QEvent::Type type) {
        MoveTo(layout::kHotAreas[area].hit.center());
        EXPECT_EQ(window->LitArea(), area);
        QEvent left(type);
        QApplication::sendEvent(onto, &left);
        const QRect label = layout::kHotAreas[area].label;
        return window->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(label) ==
               plain.copy(label);
    };
    EXPECT_TRUE(leaves(HotCloseButton, window.get(), QEvent::Leave));
    EXPECT_TRUE(leaves(HotWriteButton, window->StatusList(), QEvent::Enter));
    EXPECT_TRUE(leaves(HotFirmwareUpdate, window->Progress(), QEvent::Enter));
}

// An area that comes alive under a pointer at rest lights and takes the next click, with no
// move between.
TEST_F(Navigation, AnAreaAliveUnderARestingPointerTakesTheClick) {
    Open();
    // Resting there since before the window showed: not one move has reached the window.
    QCursor::setPos(window->mapToGlobal(kSettingsTile));
    ASSERT_TRUE(PumpUntil([&] { return window->Connection().ParamsLoaded(); }));
    EXPECT_EQ(window->LitArea(), HotSettingsTile);
    // A box was open while the pointer went to Throttle: the window saw no move there.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(kThrottleTile),
                      window->mapToGlobal(QPointF(kThrottleTile)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(window.get(), &press);
    EXPECT_EQ(window->CurrentPage(), 1);
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
    EXPECT_FALSE(window->windowIcon().isNull()) << "task switchers show the icon";
    // A close asked by the window manager (task bar, session end) is honoured; only the
    // keys are kept from closing.
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
}

// The keyboard's slider is the one clicked or tabbed to, never one the pointer crossed, and
// Esc and Enter leave it so.
TEST_F(Navigation, FocusFollowsClicksNotThePointer) {
    Connect();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ClickAt(kBrakesTile);
    auto sliders = window->Page(3)->findChildren<CSkinSlider*>();
    ASSERT_EQ(sliders.size(), 2);
    EXPECT_FALSE(sliders[0]->hasFocus() || sliders[1]->hasFocus()) << "none chosen yet";
    QTest::mouseClick(sliders[0], Qt::LeftButton, Qt::NoModifier, QPoint(15, 100));
    ASSERT_TRUE(sliders[0]->hasFocus());
    QTest::mouseMove(sliders[1], QPoint(15, 50));
    EXPECT_TRUE(sliders[0]->hasFocus()) << "hovering took the focus";
    QTest::keyClick(sliders[0], Qt::Key_Escape);
    QTest::keyClick(sliders[0], Qt::Key_Enter);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(sliders[0]->hasFocus());
    // The focus ring: light inside the thumb's dark rim, on the thumb alone.
    const QImage shown = sliders[0]->grab().toImage();
    const QRect thumb = sliders[0]->ThumbRect();
    EXPECT_EQ(shown.pixel(thumb.topLeft() + QPoint(1, 1)), kFocusRing);
    EXPECT_EQ(shown.pixel(thumb.bottomRight() - QPoint(1, 1)), kFocusRing);
    EXPECT_NE(sliders[1]->grab().toImage().pixel(sliders[1]->ThumbRect().topLeft() + QPoint(1, 1)),
              kFocusRing);
    QTest::keyClick(window.get(), Qt::Key_Tab);
    EXPECT_TRUE(sliders[1]->hasFocus());
}

// Tab walks the live areas in reading order, skipping dead ones and those under a page; Space
// and Enter press the one with the ring.
TEST_F(Navigation, TheKeysWalkAndPressEveryLiveArea) {
    const auto walk = [&](int steps) {
        QStringList names;
        for (int i = 0; i < steps; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            names << QApplication::focusWidget()->accessibleName();
        }
        return names;
    };
    Open();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(walk(2), QStringList({"Close", "Close"})); // home too is dead without pages
    ASSERT_TRUE(PumpUntil([&] { return window->Connection().ParamsLoaded(); }));
    EXPECT_EQ(walk(8), QStringList({"Settings", "Throttle", "Timing", "Brakes", "Firmware Update",
                                    "Write", "Home", "Close"}));
    // The ring: a light line just outside the area, clear of the artwork it surrounds.
    window->HotSpot(HotSettingsTile)->setFocus();
    const QRect tile = layout::kHotAreas[HotSettingsTile].hit;
    QImage shown = window->grab().toImage();
    EXPECT_EQ(shown.pixel(tile.topLeft() - QPoint(2, 2)), kFocusRing);
    EXPECT_EQ(shown.pixel(tile.bottomRight() + QPoint(2, 2)), kFocusRing);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    shown = window->grab().toImage();
    EXPECT_NE(shown.pixel(tile.topLeft() - QPoint(2, 2)), kFocusRing);
    // FIRMWARE UPDATE's ring goes round its icon and all its lettering.
    window->HotSpot(HotFirmwareUpdate)->setFocus();
    shown = window->grab().toImage();
    const QRect ink = layout::kFirmwareUpdateInk;
    EXPECT_EQ(shown.pixel(ink.topLeft() - QPoint(3, 2)), kFocusRing);
    EXPECT_EQ(shown.pixel(ink.bottomRight() + QPoint(3, 2)), kFocusRing);
    // Space on Brakes opens its page, where the walk goes on from the page's own tab.
    window->HotSpot(HotBrakesTile)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    ASSERT_EQ(window->CurrentPage(), 3);
    EXPECT_TRUE(window->Page(3)->Tab(3)->hasFocus());
    EXPECT_EQ(walk(9), QStringList({"Drag Brake", "Brake Strength", "Write", "Home", "Close",
                                    "Settings", "Throttle", "Timing", "Brakes"}));
    window->Page(3)->Tab(1)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(window->CurrentPage(), 1);
    window->HotSpot(HotHomeButton)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    EXPECT_EQ(window->CurrentPage(), PageHost::kNoPage);
    EXPECT_TRUE(window->HotSpot(HotHomeButton)->hasFocus());
}

// What a screen reader is told: names, roles and states of the areas, the sliders' labels and
// values as their boxes show them, the status lines, and the changes WRITE would send.
TEST_F(Navigation, ScreenReadersReadEveryControl) {
    const auto about = [](QObject* object) {
        return QAccessible::queryAccessibleInterface(object);
    };
    Open();
    QAccessibleInterface* write = about(window->HotSpot(HotWriteButton));
    ASSERT_NE(write, nullptr);
    EXPECT_EQ(write->role(), QAccessible::Button);
    EXPECT_EQ(write->text(QAccessible::Name), "Write");
    EXPECT_TRUE(write->state().disabled) << "dead before an ESC";
    ASSERT_TRUE(PumpUntil([&] { return window->Connection().ParamsLoaded(); }));
    EXPECT_FALSE(write->state().disabled);
    EXPECT_TRUE(write->text(QAccessible::Description).isEmpty());

    ClickAt(kBrakesTile);
    QAccessibleInterface* tab = about(window->Page(3)->Tab(3));
    EXPECT_EQ(tab->role(), QAccessible::PageTab);
    EXPECT_TRUE(tab->state().selected);
    EXPECT_FALSE(about(window->Page(3)->Tab(0))->state().selected);
    CSkinSlider* drag = window->Page(3)->findChildren<CSkinSlider*>()[0];
    QAccessibleInterface* slider = about(drag);
    EXPECT_EQ(slider->role(), QAccessible::Slider);
    EXPECT_EQ(slider->text(QAccessible::Name), "Drag Brake");
    QAccessibleValueInterface* value = slider->valueInterface();
    ASSERT_NE(value, nullptr);
    value->setCurrentValue(value->currentValue().toInt() + 1);
    const auto* box = window->Page(3)->findChildren<CSkinStatic*>()[0];
    EXPECT_EQ(slider->text(QAccessible::Value).toStdString(), box->Text());
    EXPECT_EQ(write->text(QAccessible::Description), window->ChangesText());
    EXPECT_TRUE(write->text(QAccessible::Description).startsWith("Drag Brake: "));
    // A switch has no box: its value is the choice the artwork prints.
    ClickAt(kHomeButton);
    ClickAt(kSettingsTile);
    QAccessibleInterface* direction = nullptr;
    for (CSkinSlider* s : window->Page(0)->findChildren<CSkinSlider*>()) {
        if (s->ParamIndex() == PARAM_MOTOR_DIRECTION) {
            direction = about(s);
        }
    }
    ASSERT_NE(direction, nullptr);
    EXPECT_TRUE(QStringList({"FORWARD", "REVERSE"}).contains(direction->text(QAccessible::Value)));

    // What a reader hears where the bridge carries only numbers: the box's text, on the slider
    // and on the box named for it.
    EXPECT_EQ(slider->text(QAccessible::Description), slider->text(QAccessible::Value));
    EXPECT_EQ(about(window->Page(3)->findChildren<CSkinStatic*>()[0])->text(QAccessible::Name),
              "Drag Brake");
    QAccessibleValueInterface* bar = about(window->Progress())->valueInterface();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(about(window->Progress())->text(QAccessible::Name), "Firmware Update Progress");
    EXPECT_EQ(QVariantList({bar->currentValue(), bar->minimumValue(), bar->maximumValue()}),
              QVariantList({0, 0, 100}));
    bar->setCurrentValue(50);
    EXPECT_EQ(bar->currentValue(), 0) << "read-only";

    QAccessibleInterface* status = about(window->StatusList());
    EXPECT_EQ(status->text(QAccessible::Name), "Status");
    QStringList read;
    for (int i = 0; i < status->childCount(); ++i) {
        read << status->child(i)->text(QAccessible::Name);
    }
    EXPECT_TRUE(read.contains(Lines().last())) << read.join('|').toStdString();
}

// A reader's value goes where a key could put it: beyond an end onto that end, not a number
// nowhere; a hidden control takes no value and no press; a press is answered at once and
// acts as a click would, from the event loop.
TEST_F(Navigation, ScreenReadersDoNoMoreThanAClickOrAKey) {
    const auto about = [](QObject* object) {
        return QAccessible::queryAccessibleInterface(object);
    };
    Connect();
    ClickAt(kBrakesTile);
    CSkinSlider* drag = window->Page(3)->findChildren<CSkinSlider*>()[0];
    QAccessibleValueInterface* value = about(drag)->valueInterface();
    const std::pair<QVariant, int> asked[] = {
        {-1, 0},  {257, drag->MaxPos()}, {std::numeric_limits<double>::infinity(), drag->MaxPos()},
        {3.4, 3}, {std::nan(""), 3},     {QStringLiteral("many"), 3}};
    for (const auto& [ask, stands] : asked) {
        value->setCurrentValue(ask);
        EXPECT_EQ(drag->GetPos(), stands) << ask.toString().toStdString();
    }
    CSkinSlider* hidden = window->Page(0)->findChildren<CSkinSlider*>()[0];
    const int was = hidden->GetPos();
    about(hidden)->valueInterface()->setCurrentValue(was == 0 ? 1 : 0);
    EXPECT_EQ(hidden->GetPos(), was) << "a slider on a hidden page";

    int chosen = 0;
    window->SetFileChooser([&](QWidget*, const CCorvaneProgPanelDlg::FileRequest&) {
        ++chosen;
        return QString();
    });
    const auto press = [&](QWidget* spot) {
        about(spot)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    };
    press(window->HotSpot(HotSettingsTile)); // under the open page
    press(window->HotSpot(HotFirmwareUpdate));
    press(window->Page(1)->Tab(1)); // a tab of a page not shown
    Pump(5);
    EXPECT_EQ(window->CurrentPage(), 3);
    EXPECT_EQ(chosen, 0) << "no file dialog from a hidden FIRMWARE UPDATE";
    const qsizetype lines = Lines().size();
    press(window->HotSpot(HotWriteButton));
    press(window->HotSpot(HotWriteButton));
    EXPECT_EQ(Lines().size(), lines) << "answered before it acts";
    ASSERT_TRUE(PumpUntilLine("Update Parameters Completed."));
    Pump(50);
    EXPECT_EQ(Lines().count("Updating Parameters to ESC..."), 1)
        << "the second press finds it dead";
}

// The keys never jump by themselves: a control that goes dead keeps them (they rest on the
// face meanwhile, where Enter and Space do nothing) and has them back when it works again.
TEST_F(Navigation, TheKeysStayWithAControlThatGoesDead) {
    Connect();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ClickAt(kBrakesTile);
    EXPECT_TRUE(window->Page(3)->Tab(3)->hasFocus()) << "a page opened by the mouse: its tab";
    CSkinSlider* drag = window->Page(3)->findChildren<CSkinSlider*>()[0];
    drag->ChoosePos(drag->GetPos() == 0 ? 1 : 0);
    CSkinHotSpot* write = window->HotSpot(HotWriteButton);
    write->setFocus();
    QTest::keyClick(write, Qt::Key_Space);
    ASSERT_FALSE(write->isEnabled()) << "dead while it writes";
    EXPECT_EQ(QApplication::focusWidget(), window.get());
    QTest::keyClick(window.get(), Qt::Key_Space);
    QTest::keyClick(window.get(), Qt::Key_Return);
    ASSERT_TRUE(PumpUntilLine("Update Parameters Completed."));
    EXPECT_TRUE(write->hasFocus());
    EXPECT_EQ(window->CurrentPage(), 3);
    EXPECT_TRUE(window->isVisible());
    // Shift+F10 and the menu key open the settings menu where the keys are.
    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_F10, Qt::ShiftModifier}, {Qt::Key_Menu, Qt::NoModifier}}) {
        QPoint shownAt;
        QTimer::singleShot(0, window->SettingsMenu(), [&] {
            shownAt =
                window->SettingsMenu()->isVisible() ? window->SettingsMenu()->pos() : QPoint();
            window->SettingsMenu()->close();
        });
        QTest::keyClick(write, key, modifiers);
        EXPECT_EQ(shownAt, write->mapToGlobal(write->rect().center())) << key;
    }
}
