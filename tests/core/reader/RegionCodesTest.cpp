#include "core/reader/RegionCodes.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

namespace {
struct PairCase {
    const char* name;
    std::uint8_t first;
    std::uint8_t second;
    int index;
};

class RegionFromPairTest : public ::testing::TestWithParam<PairCase> {};

TEST_P(RegionFromPairTest, ReadsIndex) {
    const PairCase& c = GetParam();
    EXPECT_EQ(RegionIndexFromPair(c.first, c.second), c.index);
}

INSTANTIATE_TEST_SUITE_P(Rows, RegionFromPairTest,
                         ::testing::Values(PairCase{"UsCanadaMexico", 0x31, 0x80, 0}, PairCase{"Europe", 0x4E, 0x00, 1},
                                           PairCase{"Taiwan", 0x31, 0xA7, 9}, PairCase{"Malaysia", 0x28, 0xA1, 16},
                                           PairCase{"UnknownPair", 0x31, 0x81, -1}, PairCase{"Zeros", 0x00, 0x00, -1}),
                         CaseName{});

struct IndexCase {
    const char* name;
    int index;
    int sentAs; // -1: nothing is sent
};

class RegionForIndexTest : public ::testing::TestWithParam<IndexCase> {};

TEST_P(RegionForIndexTest, SendsPairOfIndexOrItsStandIn) {
    const IndexCase& c = GetParam();
    std::optional<std::array<std::uint8_t, 2>> pair = RegionPairForIndex(c.index);
    ASSERT_EQ(pair.has_value(), c.sentAs >= 0);
    if (pair) {
        EXPECT_EQ(RegionIndexFromPair((*pair)[0], (*pair)[1]), c.sentAs);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, RegionForIndexTest,
                         ::testing::Values(IndexCase{"Ten", 10, 0}, IndexCase{"Eleven", 11, 0},
                                           IndexCase{"Eight", 8, 2}, IndexCase{"Fifteen", 15, 2},
                                           IndexCase{"Seventeen", 17, 3}, IndexCase{"EuropeWritable", 1, 1},
                                           IndexCase{"Five", 5, -1}, IndexCase{"Six", 6, -1},
                                           IndexCase{"Eighteen", 18, -1}, IndexCase{"Negative", -1, -1}),
                         CaseName{});

TEST(RegionCodesTest, EveryOfferedRegionRoundTrips) {
    ASSERT_EQ(RegionTable().size(), 11u);
    for (const RegionCode& region : RegionTable()) {
        std::optional<std::array<std::uint8_t, 2>> pair = RegionPairForIndex(region.index);
        ASSERT_TRUE(pair.has_value()) << region.name;
        EXPECT_EQ((*pair)[0], region.first);
        EXPECT_EQ((*pair)[1], region.second);
        EXPECT_EQ(RegionIndexFromPair(region.first, region.second), region.index);
    }
}
} // namespace
