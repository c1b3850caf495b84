#include "PagesFixture.h"
#include "TabBar.h"

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

class PageNavigationTest : public PagesFixture {
protected:
    void SetUp() override { CreatePages(MakeRealisticParamBlock()); }

    int Shown() const {
        int shown = PageHost::kNoPage;
        for (int page = kSettings; page <= kBrakes; ++page) {
            if (PageOf(Page(page)).isVisible()) {
                EXPECT_EQ(shown, PageHost::kNoPage) << "two pages shown";
                shown = page;
            }
        }
        return shown;
    }
};

const QPoint kHeadings[] = {{48, 22}, {145, 22}, {236, 22}, {318, 22}};

} // namespace

TEST(TabBarTest, HeadingsIncludeTheirEdgesAndGapsAreDead) {
    const std::pair<QPoint, int> hits[] = {{{3, 4}, 0},    {{94, 42}, 0},  {{99, 20}, 1},
                                           {{192, 20}, 1}, {{198, 20}, 2}, {{274, 20}, 2},
                                           {{279, 20}, 3}, {{358, 20}, 3}};
    for (const auto& [at, page] : hits) {
        EXPECT_EQ(TabAt(at), page) << at.x() << "," << at.y();
    }
    for (QPoint dead :
         {QPoint(2, 20), QPoint(95, 20), QPoint(98, 20), QPoint(193, 20), QPoint(197, 20),
          QPoint(275, 20), QPoint(278, 20), QPoint(359, 20), QPoint(48, 3), QPoint(48, 43)}) {
        EXPECT_EQ(TabAt(dead), PageHost::kNoPage) << dead.x() << "," << dead.y();
    }
}

TEST_F(PageNavigationTest, EveryOtherHeadingSwitchesToItsPage) {
    for (int from = kSettings; from <= kBrakes; ++from) {
        for (int to = kSettings; to <= kBrakes; ++to) {
            if (to != from) {
                m_host->SelectPage(from);
                Click(PageOf(Page(from)), kHeadings[to]);
                EXPECT_EQ(Shown(), to) << from << " to " << to;
            }
        }
    }
}

TEST_F(PageNavigationTest, OwnHeadingAndNearMissesChangeNothing) {
    for (int page = kSettings; page <= kBrakes; ++page) {
        m_host->SelectPage(page);
        m_host->ClearRecord();
        const QPoint other = kHeadings[(page + 1) % 4];
        for (QPoint miss : {kHeadings[page], QPoint(other.x(), 43), QPoint(96, 20)}) {
            Click(PageOf(Page(page)), miss);
        }
        QTest::mouseClick(&PageOf(Page(page)), Qt::RightButton, {}, other);
        EXPECT_TRUE(m_host->m_selected.empty() && m_host->m_stored.empty()) << page;
        EXPECT_EQ(Shown(), page);
    }
}

TEST_F(PageNavigationTest, AMovedSliderSurvivesASwitchAwayAndBack) {
    m_host->SelectPage(kThrottle);
    CSkinSlider* coast = Slider(PageOf(kThrottle), kCoast);
    Drag(coast, {15, 0}); // to the top: 100%
    EXPECT_EQ(m_host->Value(PARAM_COAST), 100) << "a move by the user is stored at once";

    Click(PageOf(kThrottle), kHeadings[kTiming]);
    EXPECT_EQ(m_host->Value(PARAM_COAST), 100) << "and stays on leaving";
    coast->SetPos(0); // were it not loaded again, this would show
    Click(PageOf(kTiming), kHeadings[kThrottle]);
    EXPECT_EQ(Shown(), kThrottle);
    EXPECT_EQ(coast->ThumbRect().top(), 0);
}

// The main window's hot areas lie under the pages; it must not see their clicks.
TEST_F(PageNavigationTest, ClicksOnAPageNeverReachTheWindowBeneath) {
    class Face : public QWidget {
    public:
        int m_presses = 0;

    protected:
        void mousePressEvent(QMouseEvent*) override { ++m_presses; }
    };
    Face face;
    CBrakePage page(&face, m_host.get());
    face.show();
    page.ShowPage(true);
    for (QPoint at : {QPoint(200, 200), QPoint(96, 20), QPoint(318, 22)}) {
        QTest::mouseClick(&page, Qt::LeftButton, {}, at);
    }
    QTest::mouseClick(&page, Qt::RightButton, {}, {200, 200});
    EXPECT_EQ(face.m_presses, 0);
}
