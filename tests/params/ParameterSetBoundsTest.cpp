// Blocks whose descriptors lead outside the block: those parameters must be unavailable, and
// nothing outside the block may be read or written.
#include "ParamBlockFactory.h"
#include "ParameterSet.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvane {
namespace {

struct Case {
    const char* name;
    ParamBlock block;
    int firstUnavailable; // indices from here on are unavailable, those before it available
};

// Skip length 255 puts the list at 266; an entry of 239 table bytes ends at 508.
ParamBlockBuilder EntryAt508() {
    return ParamBlockBuilder().SetSkipLength(255).AddEntry(239, 0, 0, {});
}

std::vector<Case> Cases() {
    return {
        {"TableOfFirstEntryRunsPastEnd",
         ParamBlockBuilder().SetSkipLength(255).AddEntry(250, 0, 0, {}).Build(), 0},
        {"LastTableByteIsLastBlockByte", EntryAt508().AddEntry(1, 0, 0, {5}).Build(), 2},
        {"TableOneBytePastEnd", EntryAt508().AddEntry(2, 0, 0, {5}).Build(), 1},
        {"HeaderEndsAtLastBlockByte",
         ParamBlockBuilder().SetSkipLength(255).AddEntry(240, 0, 0, {}).AddLinear(1, 2).Build(), 2},
        {"HeaderCutByEnd",
         ParamBlockBuilder().SetSkipLength(255).AddEntry(241, 0, 0, {}).AddLinear(1, 2).Build(), 1},
    };
}

class ParameterSetBoundsTest : public ::testing::TestWithParam<Case> {};

TEST_P(ParameterSetBoundsTest, OutsideEntriesAreUnavailableAndUntouched) {
    // An exact-size heap copy, so a sanitizer build also catches a stray access.
    std::vector<uint8_t> block(GetParam().block.begin(), GetParam().block.end());
    ParameterSet set;
    set.SetBlock(block.data(), 512, 1);
    for (int index = 0; index < PARAM_COUNT; ++index) {
        SCOPED_TRACE(index);
        ParameterDescriptor descriptor;
        const bool available = set.GetParamDescriptor(index, descriptor);
        EXPECT_EQ(available, index < GetParam().firstUnavailable);
        if (available) {
            if (descriptor.count != 0) {
                EXPECT_LE(descriptor.table + descriptor.count, block.data() + block.size());
            }
            continue;
        }
        block[9 + index] = 0x5A; // a value no fallback would produce
        const std::vector<uint8_t> before = block;
        EXPECT_EQ(set.GetParamPosition(index), 0);
        for (int position = 0; position < 256; ++position) {
            set.SetParamPosition(index, static_cast<uint8_t>(position));
        }
        EXPECT_EQ(block, before);
    }
}

INSTANTIATE_TEST_SUITE_P(Lying, ParameterSetBoundsTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParameterSetBounds, ShortViewCutsOffTheLastDescriptor) {
    // The realistic list ends with index 15's table at byte 94.
    ParamBlock block = MakeRealisticParamBlock();
    ParameterSet set;
    ParameterDescriptor descriptor;
    set.SetBlock(block.data(), 95, 1);
    EXPECT_TRUE(set.GetParamDescriptor(PARAM_THERMAL_PROTECTION, descriptor));
    set.SetBlock(block.data(), 94, 1);
    EXPECT_FALSE(set.GetParamDescriptor(PARAM_THERMAL_PROTECTION, descriptor));
    EXPECT_TRUE(set.GetParamDescriptor(PARAM_COAST, descriptor));
    set.SetBlock(block.data(), 20, 1); // value bytes of 11 and up lie outside as well
    EXPECT_FALSE(set.GetParamDescriptor(0, descriptor));
    EXPECT_EQ(set.GetParamPosition(PARAM_THROTTLE_CURVE), 0);
}

TEST(ParameterSetBounds, IndexOutsideTheSixteenIsUnavailable) {
    ParamBlock block = MakeRealisticParamBlock();
    const ParamBlock before = block;
    ParameterSet set;
    set.SetBlock(block.data(), 512, 1);
    ParameterDescriptor descriptor;
    for (const int index : {-1, int{PARAM_COUNT}, 1000}) {
        EXPECT_FALSE(set.GetParamDescriptor(index, descriptor));
        EXPECT_EQ(set.GetParamPosition(index), 0);
        set.SetParamPosition(index, 0);
    }
    EXPECT_EQ(block, before);
}

} // namespace
} // namespace corvane
