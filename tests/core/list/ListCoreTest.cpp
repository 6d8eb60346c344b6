#include "core/list/ListCore.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

std::ostream& operator<<(std::ostream& out, const ListCore::Rgb& c) {
    return out << "RGB(" << c.red << ", " << c.green << ", " << c.blue << ")";
}

namespace {

struct ClickCase {
    std::string name;
    int startColumn; // signed sort column before the click
    int clicked;     // zero-based header
    int expected;
};

class HeaderClick : public testing::TestWithParam<ClickCase> {};

TEST_P(HeaderClick, FollowsTheSortColumnRule) {
    const ClickCase& c = GetParam();
    ListCore core;
    core.EnableSortMark(true, c.startColumn);
    EXPECT_EQ(core.HeaderClick(c.clicked), c.expected);
    EXPECT_EQ(core.SortColumn(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, HeaderClick,
                         testing::Values(ClickCase{"FreshListFirstClickOnColumn0SortsDescending", 1, 0, -1},
                                         ClickCase{"SecondClickOnSameColumnSortsAscending", -1, 0, 1},
                                         ClickCase{"SameColumnFlipsFromAscending", 3, 2, -3},
                                         ClickCase{"FreshListFirstClickOnOtherColumnIsAscending", 1, 2, 3},
                                         ClickCase{"OtherColumnAfterDescendingIsAscending", -1, 1, 2},
                                         ClickCase{"NoSortColumnYetIsAscending", 0, 0, 1},
                                         ClickCase{"NoSortColumnYetOnLaterColumn", 0, 4, 5}),
                         CaseName{});

TEST(SortMark, FollowsSortColumnAndDirection) {
    ListCore core;
    core.EnableSortMark(true, 1);
    EXPECT_EQ(core.MarkFor(0), ListCore::Mark::Up);
    EXPECT_EQ(core.MarkFor(1), ListCore::Mark::None);

    core.HeaderClick(0);
    EXPECT_EQ(core.MarkFor(0), ListCore::Mark::Down);

    core.HeaderClick(2);
    EXPECT_EQ(core.MarkFor(0), ListCore::Mark::None);
    EXPECT_EQ(core.MarkFor(2), ListCore::Mark::Up);
    EXPECT_EQ(core.SortedIndex(), 2);
    EXPECT_TRUE(core.Ascending());
}

TEST(SortMark, OffShowsNoMarkButKeepsSortColumn) {
    ListCore core;
    core.EnableSortMark(true, -2);
    core.EnableSortMark(false, 0);
    EXPECT_EQ(core.SortColumn(), -2);
    EXPECT_EQ(core.MarkFor(1), ListCore::Mark::None);
    EXPECT_EQ(ListCore().MarkFor(0), ListCore::Mark::None);
}

struct TintCase {
    std::string name;
    ListCore::Rgb background;
    ListCore::Rgb expected;
};

class TintColour : public testing::TestWithParam<TintCase> {};

TEST_P(TintColour, FollowsTheBackground) {
    EXPECT_EQ(ListCore::TintFor(GetParam().background), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, TintColour,
                         testing::Values(TintCase{"WhiteGets247", {255, 255, 255}, {247, 247, 247}},
                                         TintCase{"AllJustAbove240Darken", {241, 250, 245}, {233, 242, 237}},
                                         TintCase{"Exactly240LightensTo255", {240, 240, 240}, {255, 255, 255}},
                                         TintCase{"OneChannelNotAbove240Lightens", {250, 250, 240}, {255, 255, 255}},
                                         TintCase{"DarkerColourGrowsByATenth", {100, 200, 231}, {110, 220, 254}},
                                         TintCase{"Above231Saturates", {232, 10, 9}, {255, 11, 9}},
                                         TintCase{"BlackStaysBlack", {0, 0, 0}, {0, 0, 0}}),
                         CaseName{});

TEST(SortTint, RefusedOnPaletteDisplays) {
    ListCore core;
    EXPECT_FALSE(core.EnableSortTint(true, 0, 8, {255, 255, 255}));
    EXPECT_FALSE(core.TintOn());
    EXPECT_FALSE(core.EnableSortTint(true, 2, 4, {255, 255, 255}));
    EXPECT_EQ(core.SortColumn(), 0);
}

TEST(SortTint, OnAtSixteenBitsAndMore) {
    ListCore core;
    core.EnableSortMark(true, 1);
    EXPECT_TRUE(core.EnableSortTint(true, 0, 16, {255, 255, 255}));
    EXPECT_TRUE(core.TintOn());
    EXPECT_EQ(core.TintColour(), (ListCore::Rgb{247, 247, 247}));
    EXPECT_EQ(core.SortColumn(), 1); // column 0 leaves the sort column alone

    EXPECT_TRUE(core.EnableSortTint(true, -3, 32, {100, 100, 100}));
    EXPECT_EQ(core.SortColumn(), -3);
    EXPECT_EQ(core.TintColour(), (ListCore::Rgb{110, 110, 110}));

    EXPECT_TRUE(core.EnableSortTint(false, 0, 8, {255, 255, 255})); // switching off is always allowed
    EXPECT_FALSE(core.TintOn());
}

} // namespace
