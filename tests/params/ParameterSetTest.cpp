#include "ParameterSet.h"
#include "ParamBlockFactory.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace corvane {
namespace {

class ParameterSetTest : public ::testing::Test {
protected:
    void Use(const ParamBlock& block) {
        m_block = block;
        m_set.SetBlock(m_block.data(), 512, 1);
    }
    uint8_t Value(int index) const { return m_block[9 + index]; }

    ParamBlock m_block{};
    ParameterSet m_set;
};

TEST_F(ParameterSetTest, WithoutBlockEverythingIsZeroOrUnchanged) {
    for (const uint16_t length : {0, 512}) {
        m_set.SetBlock(length == 0 ? m_block.data() : nullptr, length, 1);
        ParameterDescriptor descriptor;
        descriptor.count = 77;
        for (int index = 0; index < PARAM_COUNT; ++index) {
            EXPECT_FALSE(m_set.GetParamDescriptor(index, descriptor));
            EXPECT_EQ(m_set.GetParamPosition(index), 0);
            m_set.SetParamPosition(index, 1);
        }
        EXPECT_EQ(descriptor.count, 77) << "output must stay untouched";
        m_set.SnapshotParams();
        EXPECT_TRUE(m_set.ParamsUnchanged());
        EXPECT_EQ(m_set.ParamBlockVersion(), 0);
    }
    EXPECT_EQ(m_block, ParamBlock{});
}

TEST_F(ParameterSetTest, WalkSkipsCountPlusThreePerEntry) {
    Use(ParamBlockBuilder()
            .SetSkipLength(16)
            .AddTable({1, 2, 3, 4, 5})
            .AddTable({7, 8})
            .AddLinear(3, 9)
            .Build());
    ParameterDescriptor descriptor;
    ASSERT_TRUE(m_set.GetParamDescriptor(0, descriptor));
    EXPECT_EQ(descriptor.table, m_block.data() + 27 + 3);
    ASSERT_TRUE(m_set.GetParamDescriptor(1, descriptor));
    EXPECT_EQ(descriptor.table, m_block.data() + 27 + 8 + 3);
    ASSERT_TRUE(m_set.GetParamDescriptor(2, descriptor));
    EXPECT_EQ(descriptor.index, 2);
    EXPECT_EQ(descriptor.count, 0);
    EXPECT_EQ(descriptor.min, 3);
    EXPECT_EQ(descriptor.max, 9);
    EXPECT_EQ(descriptor.table, nullptr);

    Use(ParamBlockBuilder().SetSkipLength(20).AddTable({4, 5}).Build());
    ASSERT_TRUE(m_set.GetParamDescriptor(0, descriptor));
    EXPECT_EQ(descriptor.table, m_block.data() + 31 + 3);
}

// A value the descriptor does not offer stands at the nearest end of the track, and is told
// as it is, so that its box can show what the ESC holds.
TEST_F(ParameterSetTest, ValueNotOfferedStandsAtTheNearestEnd) {
    Use(ParamBlockBuilder().AddLinear(10, 30).AddLinear(250, 255).AddTable({6, 9, 15}).Build());
    const struct {
        int index;
        uint8_t value;
        uint8_t position;
        bool offered;
    } cases[] = {
        {0, 25, 15, true}, {0, 5, 0, false},  {0, 31, 20, false}, {0, 255, 20, false},
        {2, 9, 1, true},   {2, 10, 0, false}, {2, 13, 2, false},
    };
    for (const auto& c : cases) {
        m_block[9 + c.index] = c.value;
        EXPECT_EQ(m_set.GetParamPosition(c.index), c.position) << int{c.value};
        uint8_t value = 0, position = 0;
        EXPECT_EQ(m_set.GetUnofferedValue(c.index, value, position), !c.offered);
        if (!c.offered) {
            EXPECT_EQ(value, c.value);
            EXPECT_EQ(position, c.position);
        }
    }
    m_set.SetParamPosition(1, 10); // modulo 256 on the way in
    EXPECT_EQ(Value(1), 4);
}

TEST_F(ParameterSetTest, TableLookupTakesFirstMatchAndFallsBackToEntryZero) {
    Use(ParamBlockBuilder().AddTable({7, 9, 9, 4}).SetValue(0, 9).Build());
    EXPECT_EQ(m_set.GetParamPosition(0), 1);
    m_set.SetParamPosition(0, 3);
    EXPECT_EQ(Value(0), 4);
    EXPECT_EQ(m_set.GetParamPosition(0), 3);

    m_block[9] = 8; // matches no entry
    EXPECT_EQ(m_set.GetParamPosition(0), 0);
    const ParamBlock before = m_block;
    m_set.SetParamPosition(0, 4); // past the table: the byte after it must not be picked up
    m_set.SetParamPosition(0, 255);
    EXPECT_EQ(m_block, before);
    m_set.SetParamPosition(0, m_set.GetParamPosition(0));
    EXPECT_EQ(Value(0), 8) << "a control left where the value stands keeps it";
}

TEST_F(ParameterSetTest, DragBrakeAndBoostTimingStayLinearWithTable) {
    ParamBlockBuilder builder;
    for (int index = 0; index < PARAM_COUNT; ++index) {
        builder.AddEntry(3, 10, 20, {40, 50, 60}).SetValue(index, 13);
    }
    Use(builder.Build());
    for (const int index : {PARAM_DRAG_BRAKE, PARAM_BOOST_TIMING}) {
        EXPECT_EQ(m_set.GetParamPosition(index), 2) << "one past the table stands at its end";
        m_set.SetParamPosition(index, 2);
        EXPECT_EQ(Value(index), 13) << "left where it stands";
        m_set.SetParamPosition(index, 1);
        EXPECT_EQ(Value(index), 11);
        m_set.SetParamPosition(index, 5); // past the table, but linear: no guard applies
        EXPECT_EQ(Value(index), 15);
        ParameterDescriptor descriptor;
        ASSERT_TRUE(m_set.GetParamDescriptor(index, descriptor));
        EXPECT_EQ(descriptor.count, 3) << "the control still sees the table as given";
    }
    // Their neighbours use the table.
    m_set.SetParamPosition(PARAM_START_POWER, 2);
    EXPECT_EQ(Value(PARAM_START_POWER), 60);
}

// Settings carried over from other firmware land only where the new descriptors offer them.
TEST_F(ParameterSetTest, ValuesTakenFromOtherFirmwareLandOnlyWhereOffered) {
    ParamBlockBuilder now;
    now.AddTable({30, 32, 34})             // 0
        .AddTable({0, 1})                  // 1
        .AddLinear(10, 20)                 // 2
        .AddLinear(10, 20)                 // 3
        .AddLinear(10, 20)                 // 4
        .AddEntry(3, 10, 20, {40, 50, 60}) // 5 drag brake: a position along its table
        .AddLinear(0, 50);                 // 6 boost timing: plain linear
    for (int index = 0; index < 7; ++index) {
        now.SetValue(index, 1);
    }
    for (int index = 7; index < PARAM_COUNT; ++index) {
        now.AddLinear(0, 9);
    }
    Use(now.Build());
    const auto previous = [](std::initializer_list<uint8_t> dragBrakeTable) {
        ParamBlockBuilder builder;
        builder.AddTable({30, 32, 34, 36})
            .SetValue(0, 34) // the value itself counts, not its place in the table
            .AddTable({0, 1, 2})
            .SetValue(1, 2) // not among the new choices
            .AddLinear(0, 30)
            .SetValue(2, 20) // the range's end is inside it
            .AddLinear(0, 30)
            .SetValue(3, 9) // below min (would wrap to a large position)
            .AddLinear(0, 30)
            .SetValue(4, 21) // above max
            .AddEntry(3, 10, 20, dragBrakeTable)
            .SetValue(5, 11)
            .AddLinear(0, 50)
            .SetValue(6, 33);
        for (int index = 7; index < PARAM_COUNT; ++index) {
            builder.AddLinear(0, 9).SetValue(index, 0);
        }
        return builder.Build();
    };
    ParamBlock other = previous({40, 50, 70}); // position 1 means 50 in both, 2 does not
    ParameterSet from;
    from.SetBlock(other.data(), 512, 1);
    const ParamBlock before = m_block;
    EXPECT_EQ(m_set.TakeValuesFrom(from), (std::vector<int>{1, 3, 4, 5}));
    EXPECT_EQ(Value(0), 34);
    EXPECT_EQ(Value(2), 20);
    EXPECT_EQ(Value(6), 33);
    for (const int refused : {1, 3, 4, 5}) {
        EXPECT_EQ(Value(refused), before[9 + refused]) << refused;
    }
    other = previous({40, 50, 60}); // described alike: the position means the same
    EXPECT_EQ(m_set.TakeValuesFrom(from), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(Value(5), 11);
    other[9 + 5] = 13; // one past the end of the table
    EXPECT_EQ(m_set.TakeValuesFrom(from), (std::vector<int>{1, 3, 4, 5}));
}

// A position along a table and a place in a range are not the same thing, either way round,
// even with the same ends.
TEST_F(ParameterSetTest, TableAndRangeForTheSameSettingAreNotAlike) {
    const auto block = [](bool table) {
        ParamBlockBuilder builder;
        for (int index = 0; index < PARAM_COUNT; ++index) {
            if (index == PARAM_DRAG_BRAKE && table) {
                builder.AddEntry(3, 10, 20, {40, 50, 60});
            } else {
                builder.AddLinear(10, 20);
            }
            builder.SetValue(index, 11);
        }
        return builder.Build();
    };
    for (const bool oldTable : {true, false}) {
        Use(block(!oldTable));
        ParamBlock old = block(oldTable);
        ParameterSet from;
        from.SetBlock(old.data(), 512, 1);
        EXPECT_EQ(m_set.TakeValuesFrom(from), std::vector<int>{PARAM_DRAG_BRAKE}) << oldTable;
    }
}

TEST_F(ParameterSetTest, SnapshotDecidesWhetherAWriteIsNeeded) {
    Use(MakeRealisticParamBlock());
    m_set.SnapshotParams();
    EXPECT_TRUE(m_set.ParamsUnchanged());
    m_set.SetParamPosition(PARAM_COAST, 40);
    EXPECT_FALSE(m_set.ParamsUnchanged());
    m_set.SnapshotParams();
    EXPECT_TRUE(m_set.ParamsUnchanged());

    m_block[511] ^= 1; // the comparison covers the uninterpreted tail too
    EXPECT_FALSE(m_set.ParamsUnchanged());
    m_block[511] ^= 1;

    m_set.SetBlock(m_block.data(), 256, 1); // a block of another size is another block
    EXPECT_FALSE(m_set.ParamsUnchanged());
    m_set.SetBlock(nullptr, 512, 1);
    EXPECT_TRUE(m_set.ParamsUnchanged());
}

} // namespace
} // namespace corvane
