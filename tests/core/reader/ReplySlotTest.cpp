#include "core/reader/ReplySlot.h"
#include "core/reader/TagReport.h"
#include "tests/gui/reader/ReaderTestBytes.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

namespace {
const std::vector<std::uint8_t> parameterReply = Bytes("43 54 00 06 FF 23 01 02 01 3D");

ReplySlot Waiting(std::uint8_t awaited) {
    ReplySlot slot;
    slot.Reset(awaited);
    return slot;
}

TEST(ReplySlotTest, StoresAwaitedReplyFromStatusOn) {
    ReplySlot slot = Waiting(0x23);
    EXPECT_EQ(HandleReplyFrame(slot, parameterReply), FrameRoute::Accepted);
    EXPECT_TRUE(slot.accepted);
    EXPECT_FALSE(slot.waiting);
    EXPECT_EQ(slot.storedLength, 4);
    EXPECT_EQ(Hex({slot.stored.begin(), slot.stored.begin() + 4}), "01 02 01 3D");
}

struct RouteCase {
    const char* name;
    std::uint8_t awaited;
    bool waiting;
    std::string frame;
    FrameRoute route;
    int storedLength;
};

class ReceiveRulesTest : public ::testing::TestWithParam<RouteCase> {};

TEST_P(ReceiveRulesTest, RoutesFrame) {
    const RouteCase& c = GetParam();
    ReplySlot slot = Waiting(c.awaited);
    slot.waiting = c.waiting;
    EXPECT_EQ(HandleReplyFrame(slot, Bytes(c.frame)), c.route);
    EXPECT_EQ(slot.accepted, c.route == FrameRoute::Accepted);
    EXPECT_EQ(slot.storedLength, c.storedLength);
    // Only an acceptance ends the wait.
    EXPECT_EQ(slot.waiting, c.waiting && c.route != FrameRoute::Accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReceiveRulesTest,
    ::testing::Values(
        RouteCase{"StatusZeroDropped", 0x23, true, "43 54 00 06 FF 23 00 02 01 3E", FrameRoute::Dropped, 0},
        RouteCase{"OtherCodeKeepsWaiting", 0x23, true, "43 54 00 06 FF 3E 01 31 80 74", FrameRoute::Ignored, 0},
        RouteCase{"AnyCodeTakesAnyReplyWithoutStoring", 0, true, "43 54 00 06 FF 3E 01 31 80 74", FrameRoute::Accepted,
                  0},
        // After a time-out the slot still waits, so a late reply ends the next any-code wait.
        RouteCase{"LateReplyToEarlierRequest", 0, true, "43 54 00 04 FF EA 01 7B", FrameRoute::Accepted, 0},
        RouteCase{"NothingWaiting", 0x23, false, "43 54 00 06 FF 23 01 02 01 3D", FrameRoute::Ignored, 0},
        RouteCase{"TagReportNeverEndsAWait", 0, true, "43 54 00 05 FF 01 01 00 00 63", FrameRoute::TagReport, 0},
        RouteCase{"ShortTagReportCode", 0x45, true, "43 54 00 05 FF 45 01 00 00 1F", FrameRoute::TagReport, 0},
        RouteCase{"NoHeader", 0, true, "44 54 00 04 FF EA 01 7A", FrameRoute::Dropped, 0},
        RouteCase{"SixBytes", 0, true, "43 54 00 02 FF EA", FrameRoute::Dropped, 0},
        RouteCase{"ChunkShorterThanLengthField", 0x23, true, "43 54 00 09 FF 23 01 02", FrameRoute::Dropped, 0},
        RouteCase{"LengthTwoAcceptedNothingStored", 0x23, true, "43 54 00 02 FF 23 01", FrameRoute::Accepted, 0},
        RouteCase{"LengthThreeStoresStatusOnly", 0x2F, true, "43 54 00 03 FF 2F 01", FrameRoute::Accepted, 1},
        RouteCase{"LengthFourStoresStatusAndChecksum", 0x2F, true, "43 54 00 04 FF 2F 01 36", FrameRoute::Accepted, 2}),
    CaseName{});

TEST(ReplySlotTest, LengthOf256OrMoreIsAcceptedButNotStored) {
    std::vector<std::uint8_t> frame = Bytes("43 54 01 00 FF E9 01");
    frame.resize(4 + 256, 0x11);
    ReplySlot slot = Waiting(0xE9);
    EXPECT_EQ(HandleReplyFrame(slot, frame), FrameRoute::Accepted);
    EXPECT_EQ(slot.storedLength, 0);

    frame = Bytes("43 54 00 FF FF E9 01");
    frame.resize(4 + 255, 0x22);
    slot = Waiting(0xE9);
    EXPECT_EQ(HandleReplyFrame(slot, frame), FrameRoute::Accepted);
    EXPECT_EQ(slot.storedLength, 253);
    EXPECT_EQ(slot.stored[252], 0x22);
}

std::vector<std::uint8_t> Report45(const std::string& countAndEntries) {
    std::vector<std::uint8_t> frame = Bytes("43 54 00 00 FF 45 01 00 00 00 00 00 00 00 " + countAndEntries);
    frame.push_back(0); // checksum, not examined
    frame[3] = static_cast<std::uint8_t>(frame.size() - 4);
    return frame;
}

TEST(TagReportTest, SecondEntryRunningPastTheDataIsCut) {
    // Entry 1: L=7, two bytes, a 4-byte id, one byte. Entry 2 claims L=20.
    std::vector<std::uint8_t> frame = Report45("02 07 30 00 E2 80 11 60 C8 14 30 00 AA BB");
    EXPECT_EQ(ParseTagReport(frame), std::vector<std::string>{"E2801160"});
}

TEST(TagReportTest, FifteenByteEntryGivesTwentyFourDigits) {
    std::vector<std::uint8_t> frame = Report45("01 0F 30 00 E2 00 00 17 22 0B 01 23 45 67 89 AB C8");
    const std::vector<std::string> ids = ParseTagReport(frame);
    ASSERT_EQ(ids.size(), 1u);
    EXPECT_EQ(ids[0], "E2000017220B0123456789AB");
}

TEST(TagReportTest, LayoutsAndCounts) {
    // Code 0x01: count at byte 8, entries from 9.
    std::vector<std::uint8_t> shortLayout = Bytes("43 54 00 00 FF 01 01 00 02 04 30 00 AB C8 05 30 00 01 02 C8 00");
    shortLayout[3] = static_cast<std::uint8_t>(shortLayout.size() - 4);
    EXPECT_EQ(ParseTagReport(shortLayout), (std::vector<std::string>{"AB", "0102"}));

    // At most count entries are read, even when more bytes follow.
    EXPECT_EQ(ParseTagReport(Report45("01 04 30 00 01 C8 04 30 00 02 C8")), std::vector<std::string>{"01"});
    EXPECT_TRUE(ParseTagReport(Report45("00 04 30 00 01 C8")).empty());
    // An entry too short for an id yields an empty text, which the filter refuses.
    EXPECT_EQ(ParseTagReport(Report45("02 03 30 00 C8 04 30 00 09 C8")), (std::vector<std::string>{"", "09"}));
    EXPECT_TRUE(ParseTagReport(Bytes("43 54 00 06 FF 23 01 02 01 3D")).empty());
    EXPECT_TRUE(ParseTagReport(Bytes("43 54 00 05 FF 45 01 00 00")).empty());
}
} // namespace
