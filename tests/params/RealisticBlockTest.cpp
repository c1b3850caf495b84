// The block the simulator serves must walk cleanly and survive a load/store round trip: a
// page that loads and stores without a user's move must not change a single byte.
#include "ParamBlockFactory.h"
#include "ParamInfo.h"
#include "ParameterSet.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(RealisticBlock, EveryValueLiesInsideItsRange) {
    ParamBlock block = MakeRealisticParamBlock();
    ParameterSet set;
    set.SetBlock(block.data(), 512, 1);
    EXPECT_EQ(set.ParamBlockVersion(), 4);
    for (int index = 0; index < PARAM_COUNT; ++index) {
        SCOPED_TRACE(index);
        ParameterDescriptor descriptor;
        ASSERT_TRUE(set.GetParamDescriptor(index, descriptor));
        EXPECT_LE(set.GetParamPosition(index), LastPosition(descriptor));
        // Switches are tables and sliders are ranges, or the artwork's marks would not fit.
        const bool isSwitch = FindParamInfo(index)->control != ParamControl::VerticalSlider;
        EXPECT_EQ(descriptor.count != 0, isSwitch);
        EXPECT_EQ(FindParamInfo(index)->text == ParamValueText::None, isSwitch);
    }
    EXPECT_EQ(FindParamInfo(-1), nullptr);
    EXPECT_EQ(FindParamInfo(PARAM_COUNT), nullptr);
}

TEST(RealisticBlock, LoadAndStoreKeepEveryByte) {
    ParamBlock block = MakeRealisticParamBlock();
    const ParamBlock original = block;
    ParameterSet set;
    set.SetBlock(block.data(), 512, 1);
    set.SnapshotParams();
    for (int index = 0; index < PARAM_COUNT; ++index) {
        set.SetParamPosition(index, set.GetParamPosition(index));
    }
    EXPECT_EQ(block, original);
    EXPECT_TRUE(set.ParamsUnchanged());
}

} // namespace
} // namespace corvane
