#include "GdiPlusBitmap.h"
#include "SkinTestIds.h"

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

TEST(CGdiPlusBitmapResource, LoadsInNaturalSizeWithAlpha) {
    CGdiPlusBitmapResource image;
    ASSERT_TRUE(image.Load(kThumb18));
    EXPECT_EQ(image.Size(), QSize(18, 19));
    EXPECT_EQ(qAlpha(image.Image().pixel(0, 0)), 0);
    // A dense screen without a dense twin: the 1x image, at its 1x size.
    ASSERT_TRUE(image.Load(kThumb18, 2.0));
    EXPECT_EQ(image.Image().size(), QSize(18, 19));
    EXPECT_EQ(image.Size(), QSize(18, 19));
}

TEST(CGdiPlusBitmapResource, MissingOrUndecodableFailsAndEmpties) {
    for (unsigned id : {kMissing, kNotAnImage}) {
        CGdiPlusBitmapResource image;
        ASSERT_TRUE(image.Load(kTrack185));
        EXPECT_FALSE(image.Load(id)) << id;
        EXPECT_TRUE(image.IsNull()) << "the image held before is gone";
        EXPECT_EQ(LoadPngResource(id), nullptr);
    }
}
