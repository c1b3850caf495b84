// The program's compiled-in skin: every image at its size and PNG colour type, the outline region
// in its exact layout, lit faces that change only their label, and tracks that match their
// panels, read back through the resource system as the program reads them.

#include "GdiPlusBitmap.h"
#include "SkinLayout.h"

#include <QFile>
#include <QImage>
#include <QRect>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <utility>
#include <vector>

namespace {

constexpr int kRgba = 6; // PNG colour type: truecolour with alpha
constexpr int kRgb = 2;  // PNG colour type: truecolour

struct ImageEntry {
    int id;
    int width;
    int height;
    int colourType;
};

constexpr std::array<ImageEntry, 29> kImages{{
    {131, 437, 527, kRgba}, {133, 437, 527, kRgba}, {134, 437, 527, kRgba}, {135, 437, 527, kRgba},
    {136, 437, 527, kRgba}, {137, 437, 527, kRgba}, {138, 437, 527, kRgba}, {139, 437, 527, kRgba},
    {140, 437, 527, kRgba}, {142, 365, 365, kRgba}, {143, 365, 365, kRgb},  {146, 365, 365, kRgb},
    {147, 365, 365, kRgba}, {144, 18, 19, kRgba},   {149, 31, 9, kRgba},    {150, 18, 19, kRgba},
    {145, 218, 19, kRgb},   {163, 185, 19, kRgb},   {164, 64, 19, kRgb},    {148, 18, 99, kRgb},
    {152, 31, 88, kRgb},    {153, 31, 171, kRgb},   {154, 31, 136, kRgb},   {155, 31, 136, kRgb},
    {156, 31, 136, kRgb},   {157, 31, 157, kRgb},   {158, 31, 157, kRgb},   {159, 42, 19, kRgb},
    {160, 44, 19, kRgb},
}};

QString PngPath(int id) {
    return QStringLiteral(":/png/%1.png").arg(id);
}

QByteArray ReadResource(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage LoadImage(int id) {
    return QImage(PngPath(id)).convertToFormat(QImage::Format_ARGB32);
}

int DifferingPixels(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

// Every image twice: at 1x, and at 2x for high-density screens.
TEST(SkinImages, EveryImageHasItsSizeAndPngColourType) {
    for (const ImageEntry& entry : kImages) {
        for (int scale : {1, 2}) {
            SCOPED_TRACE(testing::Message() << entry.id << " at " << scale << "x");
            const QString path =
                scale == 1 ? PngPath(entry.id) : QStringLiteral(":/png/%1@2x.png").arg(entry.id);
            const QByteArray png = ReadResource(path);
            ASSERT_GE(png.size(), 33) << "missing or truncated";
            ASSERT_EQ(png.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
            ASSERT_EQ(png.mid(12, 4), QByteArray("IHDR"));
            EXPECT_EQ(qFromBigEndian<quint32>(png.constData() + 16), quint32(entry.width * scale));
            EXPECT_EQ(qFromBigEndian<quint32>(png.constData() + 20), quint32(entry.height * scale));
            EXPECT_EQ(int(uchar(png[24])), 8) << "bit depth";
            EXPECT_EQ(int(uchar(png[25])), entry.colourType);
            EXPECT_FALSE(QImage(path).isNull()) << "does not decode";
        }
    }
    // Loaded for a dense screen, an image keeps its size in the skin's units.
    const auto dense = corvane::LoadPngResource(131, 2.0);
    ASSERT_TRUE(dense);
    EXPECT_EQ(dense->Image().size(), QSize(874, 1054));
    EXPECT_EQ(dense->Size(), QSize(437, 527));
}

// Pages are shown as opaque child windows: a see-through pixel would show whatever lies behind.
TEST(SkinImages, PagePanelsAreOpaque) {
    for (int id : {142, 147}) {
        SCOPED_TRACE(id);
        const QImage page = LoadImage(id);
        int seeThrough = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                seeThrough += qAlpha(page.pixel(x, y)) != 255;
        EXPECT_EQ(seeThrough, 0);
    }
}

// Thumbs are blended over the groove: a fully opaque rectangle would hide it at the edges.
TEST(SkinImages, ThumbsUseTheirAlpha) {
    for (int id : {144, 149, 150}) {
        SCOPED_TRACE(id);
        const QImage thumb = LoadImage(id);
        int clear = 0, solid = 0;
        for (int y = 0; y < thumb.height(); ++y) {
            for (int x = 0; x < thumb.width(); ++x) {
                clear += qAlpha(thumb.pixel(x, y)) < 255;
                solid += qAlpha(thumb.pixel(x, y)) == 255;
            }
        }
        EXPECT_GT(clear, 0);
        EXPECT_GT(solid, thumb.width() * thumb.height() / 2);
    }
}

// ---- outline region -------------------------------------------------------------------------

struct Rect {
    int left, top, right, bottom; // right and bottom excluded
};

using Spans = std::vector<std::pair<int, int>>; // [left, right) runs of one row

class OutlineRegion : public ::testing::Test {
protected:
    void SetUp() override {
        data = ReadResource(QStringLiteral(":/binary/130.rgn"));
        ASSERT_EQ(data.size(), 1872);
        for (int i = 0; i < Field(8); ++i) {
            const int at = 32 + 16 * i;
            rects.push_back({Field(at), Field(at + 4), Field(at + 8), Field(at + 12)});
        }
    }

    int Field(int offset) const { return qFromLittleEndian<qint32>(data.constData() + offset); }

    Spans SpansOfRow(int y) const {
        Spans out;
        for (const Rect& r : rects)
            if (y >= r.top && y < r.bottom)
                out.emplace_back(r.left, r.right);
        return out;
    }

    // Consecutive rectangles sharing top and bottom.
    std::vector<std::vector<Rect>> Bands() const {
        std::vector<std::vector<Rect>> bands;
        for (const Rect& r : rects) {
            if (bands.empty() || bands.back().front().top != r.top)
                bands.emplace_back();
            bands.back().push_back(r);
        }
        return bands;
    }

    QByteArray data;
    std::vector<Rect> rects;
};

TEST_F(OutlineRegion, HeaderDescribes115RectanglesWithinTheFaceBounds) {
    EXPECT_EQ(Field(0), 32);
    EXPECT_EQ(Field(4), 1);
    EXPECT_EQ(Field(8), 115);
    EXPECT_EQ(Field(12), 1840);
    EXPECT_EQ(Field(16), 3);
    EXPECT_EQ(Field(20), 3);
    EXPECT_EQ(Field(24), 440);
    EXPECT_EQ(Field(28), 530);
}

TEST_F(OutlineRegion, RectanglesAreInCanonicalBandOrder) {
    const auto bands = Bands();
    EXPECT_EQ(bands.size(), 108u);
    int twoSpanBands = 0;
    int previousTop = INT_MIN;
    int previousBottom = INT_MIN;
    for (const auto& band : bands) {
        SCOPED_TRACE(band.front().top);
        EXPECT_GT(band.front().top, previousTop) << "bands go upwards";
        EXPECT_GE(band.front().top, previousBottom) << "bands overlap";
        previousTop = band.front().top;
        previousBottom = band.front().bottom;
        twoSpanBands += band.size() == 2;
        int previousRight = INT_MIN;
        for (const Rect& r : band) {
            EXPECT_EQ(r.top, band.front().top);
            EXPECT_EQ(r.bottom, band.front().bottom);
            EXPECT_LT(r.top, r.bottom);
            EXPECT_LT(r.left, r.right);
            EXPECT_GT(r.left, previousRight) << "touching or out of order";
            previousRight = r.right;
        }
    }
    EXPECT_EQ(twoSpanBands, 7);
    // Canonical bands are maximal: two adjacent bands never hold the same spans.
    for (size_t i = 1; i < bands.size(); ++i) {
        if (bands[i].front().top != bands[i - 1].front().bottom)
            continue;
        bool same = bands[i].size() == bands[i - 1].size();
        for (size_t k = 0; same && k < bands[i].size(); ++k)
            same = bands[i][k].left == bands[i - 1][k].left &&
                   bands[i][k].right == bands[i - 1][k].right;
        EXPECT_FALSE(same) << "bands at " << bands[i - 1].front().top << " and "
                           << bands[i].front().top << " should be one";
    }
}

TEST_F(OutlineRegion, BoundsAreTheUnionOfTheRectangles) {
    Rect u = rects.front();
    for (const Rect& r : rects)
        u = {std::min(u.left, r.left), std::min(u.top, r.top), std::max(u.right, r.right),
             std::max(u.bottom, r.bottom)};
    EXPECT_EQ(u.left, Field(16));
    EXPECT_EQ(u.top, Field(20));
    EXPECT_EQ(u.right, Field(24));
    EXPECT_EQ(u.bottom, Field(28));
}

TEST_F(OutlineRegion, FollowsTheFramesTabsAndChin) {
    EXPECT_EQ(rects.front().top, 3);
    EXPECT_EQ(rects.front().bottom, 4);
    EXPECT_EQ(SpansOfRow(3), (Spans{{18, 73}})) << "top of the home tab";
    for (int y = 18; y <= 20; ++y)
        EXPECT_EQ(SpansOfRow(y).size(), 2u) << "home and close tabs, row " << y;
    EXPECT_EQ(SpansOfRow(17).size(), 1u);
    EXPECT_EQ(SpansOfRow(21).size(), 1u);
    EXPECT_EQ(SpansOfRow(20).at(1), (std::pair{336, 390})) << "start of the close tab";
    for (int y : {73, 100, 122, 384, 420, 457})
        EXPECT_EQ(SpansOfRow(y), (Spans{{3, 440}})) << "full width, row " << y;
    for (int y : {72, 123, 383, 458})
        EXPECT_NE(SpansOfRow(y), (Spans{{3, 440}})) << "row " << y;
    EXPECT_EQ(SpansOfRow(482), (Spans{{3, 300}, {388, 418}}));
    for (int y = 482; y <= 485; ++y)
        EXPECT_EQ(SpansOfRow(y).size(), 2u) << "row " << y;
    EXPECT_EQ(SpansOfRow(486).size(), 1u) << "the right part ends at row 485";
    EXPECT_EQ(rects.back().top, 529);
    EXPECT_EQ(rects.back().bottom, 530);
    EXPECT_EQ(rects.back().left, 34);
    EXPECT_EQ(rects.back().right, 261);
}

// The window shows the face at client (0, 0), three pixels inside the region's coordinates:
// the face must be painted exactly where the outline lets it show.
TEST_F(OutlineRegion, FacesAreOpaqueExactlyInsideTheOutline) {
    for (int id : {131, 133, 134, 135, 136, 137, 138, 139, 140}) {
        SCOPED_TRACE(id);
        const QImage face = LoadImage(id);
        int wrong = 0;
        for (int y = 0; y < face.height(); ++y) {
            const Spans spans = SpansOfRow(y + 3);
            for (int x = 0; x < face.width(); ++x) {
                bool inside = false;
                for (const auto& [l, r] : spans)
                    inside = inside || (x + 3 >= l && x + 3 < r);
                wrong += qAlpha(face.pixel(x, y)) != (inside ? 255 : 0);
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

// ---- faces and panels -----------------------------------------------------------------------

struct LitFace {
    int id;
    QRect label; // right and bottom excluded, as the window repaints it
};

constexpr std::array<LitFace, 8> kLitFaces{{
    {133, QRect(240, 355, 110, 30)}, // Brakes tile
    {134, QRect(405, 20, 22, 22)},   // close button
    {135, QRect(140, 405, 155, 25)}, // firmware update
    {136, QRect(15, 8, 25, 24)},     // home button
    {137, QRect(80, 190, 120, 30)},  // Settings tile
    {138, QRect(240, 190, 110, 30)}, // Throttle tile
    {139, QRect(80, 355, 120, 30)},  // Timing tile
    {140, QRect(5, 430, 45, 50)},    // write button
}};

TEST(SkinFaces, LitFacesDifferFromTheHomeFaceOnlyInsideTheirLabel) {
    const QImage home = LoadImage(131);
    ASSERT_FALSE(home.isNull());
    for (const LitFace& f : kLitFaces) {
        SCOPED_TRACE(f.id);
        const QImage face = LoadImage(f.id);
        ASSERT_EQ(face.size(), home.size());
        int outside = 0, inside = 0;
        for (int y = 0; y < face.height(); ++y) {
            for (int x = 0; x < face.width(); ++x) {
                if (face.pixel(x, y) == home.pixel(x, y))
                    continue;
                (f.label.contains(x, y) ? inside : outside)++;
            }
        }
        EXPECT_EQ(outside, 0);
        EXPECT_GT(inside, 40) << "nothing visibly lit";
    }
}

struct TrackPlace {
    int trackId;
    int panelId;
    QPoint topLeft;
};

constexpr std::array<TrackPlace, 16> kTrackPlaces{{
    {163, 143, {43, 87}},
    {164, 143, {283, 87}},
    {148, 143, {29, 208}},
    {148, 143, {141, 208}},
    {148, 143, {269, 208}},
    {145, 147, {73, 87}},
    {152, 147, {35, 207}},
    {152, 147, {148, 207}},
    {152, 147, {261, 207}},
    {153, 146, {21, 102}},
    {153, 146, {101, 102}},
    {154, 146, {244, 137}},
    {155, 146, {296, 137}},
    {156, 146, {179, 137}},
    {157, 142, {76, 116}},
    {158, 142, {243, 116}},
}};

// Each track is painted over its panel at the slider's place; any difference shows as a seam.
TEST(SkinPanels, TracksMatchTheirPanelAtEverySliderPlace) {
    for (const TrackPlace& place : kTrackPlaces) {
        SCOPED_TRACE(testing::Message() << "track " << place.trackId << " at " << place.topLeft.x()
                                        << "," << place.topLeft.y());
        const QImage track = LoadImage(place.trackId);
        const QImage panel = LoadImage(place.panelId);
        ASSERT_FALSE(track.isNull());
        ASSERT_TRUE(panel.rect().contains(QRect(place.topLeft, track.size())));
        EXPECT_EQ(DifferingPixels(panel.copy(QRect(place.topLeft, track.size())), track), 0);
    }
}

// ---- the layout the program places these by ------------------------------------------------

const ImageEntry* FindImage(int id) {
    for (const ImageEntry& entry : kImages)
        if (entry.id == id)
            return &entry;
    return nullptr;
}

void ExpectImageSize(int id, QSize size) {
    const ImageEntry* entry = FindImage(id);
    ASSERT_NE(entry, nullptr) << id;
    EXPECT_EQ(QSize(entry->width, entry->height), size) << id;
}

// The layout header is where the program takes every place from; these are the same facts
// written out again from the artwork, so a slip in the header shows here.
TEST(SkinLayoutHeader, AgreesWithTheArtwork) {
    using namespace corvane;
    using namespace corvane::layout;
    EXPECT_EQ(kFaceSize, QSize(437, 527));
    EXPECT_EQ(kPageRect, QRect(36, 62, 365, 365));
    EXPECT_EQ(kStatusList, QRect(52, 439, 202, 70));
    EXPECT_EQ(kProgressBar, QRect(39, 408, 358, 16));
    EXPECT_EQ(kOutlineRegionId, 130);
    EXPECT_EQ(kPlainFaceId, 131);

    for (const LitFace& f : kLitFaces) {
        const auto area = std::find_if(kHotAreas.begin(), kHotAreas.end(),
                                       [&](const HotAreaPlace& a) { return a.faceId == f.id; });
        ASSERT_NE(area, kHotAreas.end()) << f.id;
        EXPECT_EQ(area->label, f.label) << f.id;
    }
    EXPECT_EQ(kHotAreas[HotWriteButton].hit, QRect(QPoint(15, 443), QPoint(42, 468)));
    EXPECT_EQ(kHotAreas[HotSettingsTile].hit, QRect(QPoint(78, 100), QPoint(202, 224)));
    EXPECT_EQ(kHotAreas[HotBrakesTile].faceId, 133);

    const int panelIds[] = {143, 147, 146, 142};
    const int tabs[][2] = {{3, 94}, {99, 192}, {198, 274}, {279, 358}};
    for (int page = 0; page < kPageCount; ++page) {
        EXPECT_EQ(kPanels[size_t(page)].imageId, panelIds[page]);
        EXPECT_EQ(kPanels[size_t(page)].tabLeft, tabs[page][0]);
        EXPECT_EQ(kPanels[size_t(page)].tabRight, tabs[page][1]);
        ExpectImageSize(panelIds[page], kPageSize);
    }

    ASSERT_EQ(kControls.size(), kTrackPlaces.size());
    for (size_t i = 0; i < kControls.size(); ++i) {
        const ControlPlace& c = kControls[i];
        SCOPED_TRACE(c.param);
        EXPECT_EQ(c.track.id, kTrackPlaces[i].trackId);
        EXPECT_EQ(PanelOf(PageOf(c)).imageId, kTrackPlaces[i].panelId);
        EXPECT_EQ(c.sliderPos, kTrackPlaces[i].topLeft);
        ExpectImageSize(c.track.id, c.track.size);
        ExpectImageSize(ThumbOf(KindOf(c)).id, ThumbOf(KindOf(c)).size);
        if (c.display.id != 0)
            ExpectImageSize(c.display.id, c.display.size);
    }
}

} // namespace
