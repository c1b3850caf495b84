#include "SkinStatic.h"
#include "PrivateFont.h"
#include "SkinTestIds.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

// Each test runs from a directory of its own, as the program started from one would.
class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir::setCurrent(m_dir.path())); }
    void TearDown() override {
        FreePrivateFont();
        QDir::setCurrent(m_previous);
    }
    void LoadFont(bool withFile) {
        if (withFile) {
            ASSERT_TRUE(QFile::copy(CORVANE_FONT_FILE, "FRAMDCN.TTF"));
        }
        LoadPrivateFont();
    }

    const QString m_previous = QDir::currentPath();
    QTemporaryDir m_dir;
    QWidget m_page;
    std::unique_ptr<CSkinStatic> m_display = CreateSkinStatic("", {70, 300}, &m_page, kDisplay42);
};

// Bounding box of the pixels darker than the light test background.
QRect InkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

} // namespace

TEST_F(DisplayTest, TakesItsImageSizeOrNoneAtAll) {
    EXPECT_EQ(m_display->geometry(), QRect(70, 300, 42, 19));
    auto without = CreateSkinStatic("", {70, 300}, &m_page, kNotAnImage);
    EXPECT_EQ(without->geometry(), QRect(70, 300, 0, 0));
}

TEST_F(DisplayTest, LeftClickNotifiesAndChangesNothing) {
    m_display->SetText("40%");
    QSignalSpy clicked(m_display.get(), &CSkinStatic::Clicked);
    QTest::mouseClick(m_display.get(), Qt::LeftButton);
    QTest::mouseClick(m_display.get(), Qt::RightButton);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(m_display->Text(), "40%");
}

TEST_F(DisplayTest, WithoutTheFontFileOnlyTheBackgroundShows) {
    LoadFont(false);
    QString family = "untouched";
    EXPECT_FALSE(GetFontFamilyName(family));
    EXPECT_EQ(family, "untouched");
    const QImage background = m_display->grab().toImage();
    m_display->SetText("40%");
    EXPECT_EQ(m_display->grab().toImage(), background);
}

TEST_F(DisplayTest, TextIsBlackAndCentredInTheBox) {
    LoadFont(true);
    QString family;
    ASSERT_TRUE(GetFontFamilyName(family));
    EXPECT_TRUE(InkBox(m_display->grab().toImage()).isEmpty()) << "empty text";

    // Every size the pages use, the widest texts among them: as much room left as right,
    // above as below, to the pixel.
    for (auto [size, text] : {std::pair{10u, "88"},
                              {9u, "15000"},
                              {10u, "100%"},
                              {8u, "0.25 sec"},
                              {8u, "2.00 sec"},
                              {9u, "25\xA2\x58"}}) {
        m_display->SetFontSize(size, false);
        m_display->SetText(text);
        const QRect ink = InkBox(m_display->grab().toImage());
        const int left = ink.left(), right = m_display->width() - 1 - ink.right();
        const int above = ink.top(), below = m_display->height() - 1 - ink.bottom();
        EXPECT_LE(std::abs(left - right), 1) << text << ": " << left << " left, " << right;
        EXPECT_LE(std::abs(above - below), 1) << text << ": " << above << " above, " << below;
    }
    m_display->SetFontSize(10, false);
    m_display->SetText("88");
    const QImage image = m_display->grab().toImage();
    const QRect ink = InkBox(image);
    int darkest = 255;
    for (int x = ink.left(); x <= ink.right(); ++x) {
        darkest = std::min(darkest, qGray(image.pixel(x, ink.center().y())));
    }
    EXPECT_LT(darkest, 40) << "black, not grey";
}

TEST_F(DisplayTest, LongestTextFitsAtEightPoints) {
    // Turbo delay's text in the shipped font; a wider face would lose its edges.
    LoadFont(true);
    m_display->SetFontSize(8, false);
    m_display->SetText("0.25 sec");
    const QRect ink = InkBox(m_display->grab().toImage());
    EXPECT_GT(ink.left(), 0);
    EXPECT_LT(ink.right(), m_display->width() - 1);
}

TEST_F(DisplayTest, DegreeSignIsDecodedBeforeDrawing) {
    LoadFont(true);
    m_display->SetText("25\xA2\x58");
    // A raised ring ends the text; the bytes drawn undecoded would end it with an "X"
    // reaching down to the baseline.
    const QImage image = m_display->grab().toImage();
    const QRect ink = InkBox(image);
    int lowest = -1;
    for (int y = ink.top(); y <= ink.bottom(); ++y) {
        lowest = qGray(image.pixel(ink.right(), y)) < 128 ? y : lowest;
    }
    EXPECT_LT(lowest, ink.center().y());
}
