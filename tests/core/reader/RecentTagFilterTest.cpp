#include "core/reader/RecentTagFilter.h"

#include <gtest/gtest.h>

namespace {
TEST(RecentTagFilterTest, SameIdShownOncePerSecond) {
    RecentTagFilter filter;
    int shown = 0;
    for (std::uint32_t t = 10000; t < 10900; t += 90)
        shown += filter.Admit("E2801160", t) ? 1 : 0;
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(filter.Admit("E2801160", 10999));
    EXPECT_TRUE(filter.Admit("E2801160", 11000));
    EXPECT_FALSE(filter.Admit("E2801160", 11500));
}

TEST(RecentTagFilterTest, EmptyTextRefused) {
    RecentTagFilter filter;
    EXPECT_FALSE(filter.Admit("", 5000));
}

TEST(RecentTagFilterTest, NinthIdShownButNotRecorded) {
    RecentTagFilter filter;
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(filter.Admit("0" + std::to_string(i), 1000 + i));
    EXPECT_TRUE(filter.Admit("99", 1100));
    EXPECT_TRUE(filter.Admit("99", 1200));  // not remembered, so not filtered
    EXPECT_FALSE(filter.Admit("00", 1300)); // the first eight still are
    EXPECT_FALSE(filter.Admit("07", 1300));
}

TEST(RecentTagFilterTest, ExpiredSlotIsFreedButNotTakenInTheSameCall) {
    RecentTagFilter filter;
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(filter.Admit("1" + std::to_string(i), 1000));
    EXPECT_TRUE(filter.Admit("AA", 6001)); // all eight freed on this walk, none reused
    EXPECT_TRUE(filter.Admit("AA", 6002)); // now a slot is free and AA is recorded
    EXPECT_FALSE(filter.Admit("AA", 6003));
}

TEST(RecentTagFilterTest, SlotAtExactlyFiveSecondsIsKept) {
    RecentTagFilter filter;
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(filter.Admit("2" + std::to_string(i), 1000));
    EXPECT_TRUE(filter.Admit("BB", 6000));
    EXPECT_TRUE(filter.Admit("BB", 6001)); // still no room: ages were exactly 5000
    EXPECT_TRUE(filter.Admit("BB", 6002)); // the walk at 6001 freed them; now recorded
    EXPECT_FALSE(filter.Admit("BB", 6003));
}

TEST(RecentTagFilterTest, AgeWrapsWithTheCounter) {
    RecentTagFilter filter;
    EXPECT_TRUE(filter.Admit("CC", 0xFFFFFE00u));
    EXPECT_FALSE(filter.Admit("CC", 0x00000100u)); // 768 ms later across the wrap
    EXPECT_TRUE(filter.Admit("CC", 0x00000200u));  // 1024 ms
}

TEST(RecentTagFilterTest, LongIdsComparedWhole) {
    RecentTagFilter filter;
    const std::string a = std::string(31, 'A') + "01";
    const std::string b = std::string(31, 'A') + "02";
    EXPECT_TRUE(filter.Admit(a, 1000));
    EXPECT_TRUE(filter.Admit(b, 1001));
    EXPECT_FALSE(filter.Admit(a, 1002));
    EXPECT_FALSE(filter.Admit(b, 1003));
}

TEST(RecentTagFilterTest, ComparisonIsCaseSensitive) {
    RecentTagFilter filter;
    EXPECT_TRUE(filter.Admit("AB", 1000));
    EXPECT_TRUE(filter.Admit("ab", 1001));
}
} // namespace
