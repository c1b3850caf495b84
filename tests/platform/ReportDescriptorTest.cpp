#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "FakeHidraw.h"
#include "ReportDescriptor.h"

namespace corvane {
namespace {

using Bytes = std::vector<uint8_t>;

std::optional<ReportLengths> Parse(const Bytes& bytes) {
    return ParseReportLengths(bytes);
}

void ExpectLengths(const Bytes& bytes, uint16_t input, uint16_t output, uint16_t feature) {
    auto lengths = Parse(bytes);
    ASSERT_TRUE(lengths);
    EXPECT_EQ(lengths->input, input);
    EXPECT_EQ(lengths->output, output);
    EXPECT_EQ(lengths->feature, feature);
}

bool SameResult(const std::optional<ReportLengths>& a, const std::optional<ReportLengths>& b) {
    return a.has_value() == b.has_value() &&
           (!a || (a->input == b->input && a->output == b->output && a->feature == b->feature));
}

// What holds for any bytes: an empty long item at either end changes nothing, and a kind of
// report exists only where some byte could be a main item of that kind. The long item's tag
// reads as a Pop, so a long item taken apart as short ones shows.
::testing::AssertionResult Consistent(const Bytes& bytes) {
    const Bytes emptyLongItem{0xFE, 0x00, 0xB4};
    const auto lengths = Parse(bytes);
    Bytes led = emptyLongItem;
    led.insert(led.end(), bytes.begin(), bytes.end());
    if (!SameResult(Parse(led), lengths)) {
        return ::testing::AssertionFailure() << "changed by a leading long item";
    }
    if (!lengths) {
        return ::testing::AssertionSuccess();
    }
    Bytes trailed = bytes;
    trailed.insert(trailed.end(), emptyLongItem.begin(), emptyLongItem.end());
    if (!SameResult(Parse(trailed), lengths)) {
        return ::testing::AssertionFailure() << "changed by a trailing long item";
    }
    auto mayHold = [&bytes](uint8_t mainItem) {
        return std::any_of(bytes.begin(), bytes.end(),
                           [mainItem](uint8_t byte) { return (byte & 0xFC) == mainItem; });
    };
    if ((lengths->input && !mayHold(0x80)) || (lengths->output && !mayHold(0x90)) ||
        (lengths->feature && !mayHold(0xB0))) {
        return ::testing::AssertionFailure() << "a report with no main item of its kind";
    }
    return ::testing::AssertionSuccess();
}

TEST(ReportDescriptor, LengthsFollowHidPGetCaps) {
    // The dongle: report IDs 1 to 3 of 63 bytes, a feature report of its own ID and size.
    Bytes dongle = test::DongleDescriptor();
    dongle.insert(dongle.end() - 1, {0x85, 0x04, 0x95, 0x05, 0xB1, 0x02});
    ExpectLengths(dongle, 64, 64, 6);
    // Without report IDs the zero ID byte still counts, and bits round up to whole bytes.
    ExpectLengths({0x75, 0x01, 0x95, 0x03, 0x81, 0x02}, 2, 0, 0);
    // Items of one report add up; the longest report of a kind sets the length.
    ExpectLengths({0x75, 0x08, 0x85, 0x01, 0x95, 0x0A, 0x81, 0x02, 0x85, 0x02, 0x95, 0x0C,
                   0x81, 0x02, 0x95, 0x0C, 0x81, 0x02, 0x85, 0x01, 0x95, 0x01, 0x81, 0x02},
                  25, 0, 0);
    // Pop brings back the sizes in force at Push.
    ExpectLengths({0x75, 0x08, 0x95, 0x02, 0xA4, 0x95, 0x30, 0xB4, 0x91, 0x02}, 0, 3, 0);
    // A long item is stepped over whole.
    ExpectLengths({0xFE, 0x02, 0x10, 0x81, 0x02, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02}, 2, 0, 0);
    // An empty long item may end the descriptor.
    ExpectLengths({0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0xFE, 0x00, 0x10}, 2, 0, 0);
    // Absurd sizes saturate instead of wrapping.
    ExpectLengths(
        {0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02, 0x81, 0x02},
        0xFFFF, 0, 0);
}

TEST(ReportDescriptor, MalformedDescriptorsAreRefused) {
    EXPECT_FALSE(Parse({0x85, 0x00}));             // report ID 0
    EXPECT_FALSE(Parse({0x86, 0x00, 0x01}));       // report ID above 255
    EXPECT_FALSE(Parse({0xB4}));                   // Pop without Push
    EXPECT_FALSE(Parse({0xFE, 0x05, 0x10, 0x01})); // long item past the end
    EXPECT_FALSE(Parse({0xFE, 0x00}));
    EXPECT_FALSE(Parse(Bytes(17, 0xA4))); // Push nested too deep

    // Cut inside its last item, the dongle's descriptor is refused, not misread.
    Bytes bytes = test::DongleDescriptor();
    bytes.insert(bytes.end() - 1, {0x27, 0x01, 0x02, 0x03, 0x04});
    for (size_t cut = bytes.size() - 5; cut < bytes.size() - 1; ++cut) {
        EXPECT_FALSE(Parse(Bytes(bytes.begin(), bytes.begin() + cut))) << cut;
    }
}

TEST(ReportDescriptor, ArbitraryBytesAreReadOnlyWithinBounds) {
    // Each case in a buffer of its exact size, so a sanitizer sees any read past the end.
    std::mt19937 random(12345);
    for (int round = 0; round < 20000; ++round) {
        Bytes bytes(random() % 48);
        for (uint8_t& byte : bytes) {
            byte = static_cast<uint8_t>(random());
        }
        ASSERT_TRUE(Consistent(bytes)) << ::testing::PrintToString(bytes);
    }
    Bytes dongle = test::DongleDescriptor();
    for (size_t cut = 0; cut <= dongle.size(); ++cut) {
        ASSERT_TRUE(Consistent(Bytes(dongle.begin(), dongle.begin() + cut))) << cut;
    }
    EXPECT_TRUE(Parse({}));
}

} // namespace
} // namespace corvane
