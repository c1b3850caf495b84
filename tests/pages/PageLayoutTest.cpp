#include "GdiPlusBitmap.h"
#include "PagesFixture.h"

#include <QRegion>
#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

class PageLayoutTest : public PagesFixture {
protected:
    void SetUp() override { CreatePages(MakeRealisticParamBlock()); }
};

class BlankPage : public CPageBase {
public:
    explicit BlankPage(QWidget* parent) : CPageBase(parent, nullptr) { OnInitDialog(); }
    void StoreParams() override {}
    CGdiPlusBitmapResource* LoadBackground() override { return SetBackground(9098); }
    void CreateControls() override { LoadBackground(); }
    int PageIndex() const override { return 0; }
};

} // namespace

// A track off its groove shows as a seam: apart from the thumbs and the displays, a page
// must look exactly like its panel image. The panel leaves an even hole for each display,
// which the display must cover exactly.
TEST_F(PageLayoutTest, ControlsBlendIntoTheirPanel) {
    const unsigned panels[] = {143, 147, 146, 142};
    for (int page = kSettings; page <= kBrakes; ++page) {
        CPageBase& widget = PageOf(Page(page));
        EXPECT_FALSE(widget.isVisible()) << "pages start hidden";
        const QImage shown = widget.grab().toImage();
        const auto panel = LoadPngResource(panels[page]);
        ASSERT_TRUE(panel);
        ASSERT_EQ(shown.size(), panel->Size());
        QRegion moving;
        for (const CSkinSlider* slider : widget.findChildren<CSkinSlider*>()) {
            moving += slider->ThumbRect().translated(slider->pos());
        }
        int misfits = 0;
        for (const CSkinStatic* display : widget.findChildren<CSkinStatic*>()) {
            const QRect hole = display->geometry();
            const QRgb holeColour = panel->Image().pixel(hole.topLeft());
            const QRect ring = hole.adjusted(-1, -1, 1, 1);
            for (int y = ring.top(); y <= ring.bottom(); ++y) {
                for (int x = ring.left(); x <= ring.right(); ++x) {
                    misfits += hole.contains(x, y) != (panel->Image().pixel(x, y) == holeColour);
                }
            }
            moving += hole;
        }
        EXPECT_EQ(misfits, 0) << "page " << page;
        int seams = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                seams +=
                    !moving.contains({x, y}) && shown.pixel(x, y) != panel->Image().pixel(x, y);
            }
        }
        EXPECT_EQ(seams, 0) << "page " << page;
    }
}

TEST(PageBaseTest, AMissingPanelPaintsBlackAtThePageSize) {
    QWidget window;
    BlankPage page(&window);
    const QImage shown = page.grab().toImage();
    ASSERT_EQ(shown.size(), CPageBase::kPageSize);
    EXPECT_EQ(shown.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(364, 364), qRgb(0, 0, 0));
}
