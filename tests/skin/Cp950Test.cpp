#include "Cp950.h"

#include <gtest/gtest.h>

using namespace corvane;

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
