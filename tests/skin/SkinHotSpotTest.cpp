// What a hot spot takes from the keys and from screen readers: a press while it works, once.
#include "SkinHotSpot.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace corvane;

namespace {

class HotSpotTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_face.resize(200, 100);
        m_spot.Place({10, 10, 80, 30});
        m_face.show();
    }
    void ReaderPress() {
        QAccessible::queryAccessibleInterface(&m_spot)->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
        QCoreApplication::processEvents();
    }

    QWidget m_face;
    CSkinHotSpot m_spot{"Write", QAccessible::Button, &m_face};
    QSignalSpy m_pressed{&m_spot, &CSkinHotSpot::Activated};
};

} // namespace

TEST_F(HotSpotTest, AScreenReaderPressesOnlyWhatWorks) {
    m_spot.setEnabled(false);
    ReaderPress();
    EXPECT_EQ(m_pressed.count(), 0) << "dead";
    m_spot.setEnabled(true);
    ReaderPress();
    EXPECT_EQ(m_pressed.count(), 1);
}

// Holding Space or Enter down repeats the key, never the press.
TEST_F(HotSpotTest, AHeldKeyPressesOnce) {
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) {
        m_pressed.clear();
        for (const bool repeat : {false, true, true}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), repeat);
            QCoreApplication::sendEvent(&m_spot, &press);
        }
        EXPECT_EQ(m_pressed.count(), 1) << key;
    }
}
