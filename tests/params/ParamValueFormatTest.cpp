#include "ParamValueFormat.h"
#include "ParameterDescriptor.h"

#include <gtest/gtest.h>

using namespace corvane;

TEST(FormatParamValue, EveryFormat) {
    const std::string degree = "\xA2\x58"; // code page 950
    const struct {
        unsigned index;
        uint8_t value;
        std::string text;
    } cases[] = {
        {5, 40, "40%"},         {12, 0, "0%"},         {13, 100, "100%"},     {14, 255, "255%"},
        {6, 1, "0" + degree},   {6, 0, "0" + degree},  {6, 2, "2" + degree},  {9, 1, "1" + degree},
        {9, 25, "25" + degree}, {7, 12, "12000"},      {8, 30, "30000"},      {7, 0, "0000"},
        {10, 25, "0.25 sec"},   {10, 5, "0.05 sec"},   {10, 200, "2.00 sec"}, {10, 0, "0.00 sec"},
        {10, 10, "0.10 sec"},   {10, 110, "1.10 sec"}, {11, 128, "0%"},       {11, 129, "+1%"},
        {11, 127, "-1%"},       {11, 228, "+100%"},    {11, 28, "-100%"},     {11, 0, "-128%"},
        {11, 255, "+127%"},
    };
    for (const auto& c : cases) {
        std::string text = "old";
        FormatParamValue(c.index, c.value, text);
        EXPECT_EQ(text, c.text) << c.index << " " << int{c.value};
    }
}

TEST(FormatParamValue, IndicesWithoutDisplayLeaveTheText) {
    for (unsigned index : {0u, 1u, 2u, 3u, 4u, 15u, 16u, 0xFFFFFFFFu}) {
        std::string text = "old";
        FormatParamValue(index, 7, text);
        EXPECT_EQ(text, "old") << index;
    }
}

// A table maps positions to its entries; a linear range counts up from min, and one whose max
// lies below its min wraps in byte arithmetic, as the positions read from the block do.
TEST(ParameterDescriptor, PositionsOfTableAndLinearRanges) {
    const uint8_t table[] = {10, 20, 30};
    const ParameterDescriptor tabled{PARAM_BRAKE_STRENGTH, 3, 0, 0, table};
    EXPECT_EQ(LastPosition(tabled), 2);
    EXPECT_EQ(ValueAtPosition(tabled, 1), 20);
    const ParameterDescriptor linear{PARAM_THROTTLE_CURVE, 0, 28, 228, nullptr};
    EXPECT_EQ(LastPosition(linear), 200);
    EXPECT_EQ(ValueAtPosition(linear, 100), 128);
    const ParameterDescriptor wrapped{PARAM_COAST, 0, 200, 10, nullptr};
    EXPECT_EQ(LastPosition(wrapped), 66);
    EXPECT_EQ(ValueAtPosition(wrapped, 60), 4);
}

TEST(DescribeParamSetting, SlidersByTheirTextSwitchesByTheirChoice) {
    EXPECT_EQ(DescribeParamSetting(PARAM_DRAG_BRAKE, 3, 17), "17%");
    EXPECT_EQ(DescribeParamSetting(PARAM_MOTOR_DIRECTION, 1, 0x55), "REVERSE");
    EXPECT_EQ(DescribeParamSetting(PARAM_VOLTAGE_CUTOFF, 2, 0x20), "3.2");
    EXPECT_EQ(DescribeParamSetting(PARAM_THERMAL_PROTECTION, 7, 9), "7") << "no name: the number";
}
