#include "RegionData.h"

#include <QtEndian>
#include <array>
#include <gtest/gtest.h>
#include <vector>

using namespace corvane;

namespace {

using Edges = std::array<int32_t, 4>; // left, top, right, bottom; right and bottom excluded

QByteArray RegionBytes(const Edges& bound, const std::vector<Edges>& rects) {
    std::vector<int32_t> words = {32, 1, int32_t(rects.size()), int32_t(rects.size() * 16)};
    words.insert(words.end(), bound.begin(), bound.end());
    for (const Edges& rect : rects) {
        words.insert(words.end(), rect.begin(), rect.end());
    }
    QByteArray data(qsizetype(words.size() * 4), '\0');
    for (size_t i = 0; i < words.size(); ++i) {
        qToLittleEndian(words[i], data.data() + i * 4);
    }
    return data;
}

QByteArray Patched(QByteArray data, qsizetype offset, int32_t value) {
    qToLittleEndian(value, data.data() + offset);
    return data;
}

// A tab on the first row, then the full width, as at the top of the window's outline.
const Edges kBound = {3, 3, 440, 530};
const QByteArray kGood = RegionBytes(kBound, {{18, 3, 72, 4}, {3, 4, 440, 530}});

} // namespace

TEST(ParseRegionData, ValidDataGivesTheRectanglesWithExclusiveEdges) {
    const std::optional<QRegion> region = ParseRegionData(kGood);
    ASSERT_TRUE(region);
    EXPECT_EQ(region->boundingRect(), QRect(3, 3, 437, 527));
    EXPECT_TRUE(region->contains(QPoint(71, 3)));
    EXPECT_FALSE(region->contains(QPoint(72, 3)));
    EXPECT_FALSE(region->contains(QPoint(17, 3)));
    EXPECT_TRUE(region->contains(QPoint(439, 529)));
    EXPECT_FALSE(region->contains(QPoint(439, 530)));
}

TEST(ParseRegionData, ProgramSizedOutlineParses) {
    std::vector<Edges> rows;
    for (int32_t y = 3; y < 3 + 115; ++y) {
        rows.push_back({3, y, 440, y + 1});
    }
    const QByteArray data = RegionBytes(kBound, rows);
    ASSERT_EQ(data.size(), 1872);
    EXPECT_TRUE(ParseRegionData(data));
}

TEST(ParseRegionData, MalformedDataIsRefused) {
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"short header", kGood.left(31)},
        {"header size", Patched(kGood, 0, 40)},
        {"type", Patched(kGood, 4, 2)},
        {"count", Patched(kGood, 8, 3)},
        {"count wrapping 32 bits", Patched(kGood, 8, 0x10000002)},
        {"part size", Patched(kGood, 12, 33)},
        {"truncated", kGood.left(kGood.size() - 1)},
        {"trailing bytes", kGood + QByteArray(16, '\0')},
        {"no rectangles", RegionBytes(kBound, {})},
        {"zero width", RegionBytes(kBound, {{10, 10, 10, 20}})},
        {"upside down", RegionBytes(kBound, {{10, 20, 20, 10}})},
        {"left of bound", RegionBytes(kBound, {{2, 10, 20, 20}})},
        {"below bound", RegionBytes(kBound, {{10, 10, 20, 531}})},
        {"bound inverted", RegionBytes({440, 3, 3, 530}, {{10, 10, 20, 20}})},
        {"width over 32 bits",
         RegionBytes({INT32_MIN, 0, INT32_MAX, 9}, {{INT32_MIN, 0, INT32_MAX, 1}})},
    };
    for (const auto& [what, data] : cases) {
        EXPECT_FALSE(ParseRegionData(data)) << what;
    }
}

TEST(ParseRegionData, BoundAtTheEndOfTheIntRangeStillBoundsTheRectangles) {
    // Bounds whose left or top edge is the smallest int, with rectangles well outside them.
    EXPECT_FALSE(ParseRegionData(RegionBytes({INT32_MIN, 0, -1000, 6}, {{0, 0, 10, 2}})));
    EXPECT_FALSE(ParseRegionData(RegionBytes({0, INT32_MIN, 6, -1000}, {{0, 0, 2, 10}})));
}
