#include "ParamValueFormat.h"
#include "Cp950.h"

#include <gtest/gtest.h>

using namespace corvane;

TEST(FormatParamValue, EveryFormat) {
    const std::string degree = "\xA2\x58"; // code page 950
    const struct {
        unsigned index;
        uint8_t value;
        std::string text;
    } cases[] = {
        {5, 40, "40%"},         {12, 0, "0%"},        {13, 100, "100%"},     {14, 255, "255%"},
        {6, 1, "0" + degree},   {6, 0, "0" + degree}, {6, 2, "2" + degree},  {9, 1, "1" + degree},
        {9, 25, "25" + degree}, {7, 12, "12000"},     {8, 30, "30000"},      {7, 0, "0000"},
        {10, 25, "0.25 sec"},   {10, 5, "0.05 sec"},  {10, 200, "2.00 sec"}, {10, 0, "0.00 sec"},
        {11, 128, "0%"},        {11, 129, "+1%"},     {11, 127, "-1%"},      {11, 228, "+100%"},
        {11, 28, "-100%"},      {11, 0, "-128%"},     {11, 255, "+127%"},
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

TEST(DecodeCp950, DegreeSignZeroByteAndBadSequences) {
    EXPECT_EQ(DecodeCp950("25\xA2\x58"), QString::fromUtf8("25\u00B0"));
    EXPECT_EQ(DecodeCp950(std::string("12\0"
                                      "34",
                                      5)),
              QStringLiteral("12"));
    // 0xFF leads nothing; a space cannot follow a lead byte; the last 0xA2 is cut short.
    EXPECT_EQ(DecodeCp950("a\xFF"
                          "b"),
              QString::fromUtf8("a\uFFFDb"));
    EXPECT_EQ(DecodeCp950("a\xA2 b"), QString::fromUtf8("a\uFFFD b"));
    EXPECT_EQ(DecodeCp950("5\xA2"), QString::fromUtf8("5\uFFFD"));
}
