#include "core/reader/Commands.h"
#include "core/reader/Frame.h"
#include "tests/gui/reader/ReaderTestBytes.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {
// A reply frame as a reader builds it: CT, length, address, code, status, data, checksum.
std::vector<std::uint8_t> Reply(std::uint8_t code, std::uint8_t status, const std::vector<std::uint8_t>& data = {}) {
    std::vector<std::uint8_t> frame{0x43, 0x54, 0, static_cast<std::uint8_t>(data.size() + 4), 0xFF, code, status};
    for (std::uint8_t byte : data) // element-wise: GCC 12 misreads a range insert here at -O2
        frame.push_back(byte);
    frame.push_back(Checksum(frame));
    return frame;
}

ReplySlot Accept(std::uint8_t awaited, const std::vector<std::uint8_t>& frame) {
    ReplySlot slot;
    slot.Reset(awaited);
    HandleReplyFrame(slot, frame);
    return slot;
}

ExtendedBlock CountingBlock() {
    ExtendedBlock block;
    std::iota(block.begin(), block.end(), static_cast<std::uint8_t>(0));
    return block;
}

struct FrameCase {
    const char* name;
    Command command;
    std::string bytes;
    std::uint8_t awaited;
    int attempts;
};

class RequestFrameTest : public ::testing::TestWithParam<FrameCase> {};

TEST_P(RequestFrameTest, BytesAwaitedCodeAndAttempts) {
    const FrameCase& c = GetParam();
    EXPECT_EQ(Hex(c.command.request), c.bytes);
    EXPECT_EQ(c.command.awaitedCode, c.awaited);
    EXPECT_EQ(c.command.attempts, c.attempts);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RequestFrameTest,
    ::testing::Values(
        FrameCase{"RunOff", Commands::SetRunning(false), "53 57 00 03 FF 40 14", 0, 1},
        FrameCase{"RunOn", Commands::SetRunning(true), "53 57 00 03 FF 41 13", 0, 1},
        FrameCase{"GetRegion", Commands::GetRegion(), "53 57 00 03 FF 3E 16", 0x3E, 1},
        FrameCase{"ReadExtendedBlock", Commands::ReadExtendedBlock(), "53 57 00 03 FF 2E 26", 0x2E, 2},
        FrameCase{"GetWorkMode", Commands::GetParameter(2), "53 57 00 04 FF 23 02 2E", 0x23, 1},
        FrameCase{"SetPower30", Commands::SetParameter(5, 30), "53 57 00 05 FF 24 05 1E 0B", 0, 1},
        FrameCase{"SetRegionTaiwan", Commands::SetRegion(9), "53 57 00 05 FF 3F 31 A7 3B", 0, 1},
        FrameCase{"SetRegionEurope", Commands::SetRegion(1), "53 57 00 05 FF 3F 4E 00 C5", 0, 1},
        FrameCase{"SetRegionSix", Commands::SetRegion(6), "", 0, 1},
        FrameCase{"WhitelistCount", Commands::ReadWhitelistCount(), "53 57 00 03 FF E8 6C", 0xE8, 2},
        FrameCase{"WhitelistEntry258", Commands::ReadWhitelistEntry(258), "53 57 00 05 FF E9 01 02 66", 0xE9, 2},
        FrameCase{"WhitelistEntryTooBig", Commands::ReadWhitelistEntry(65536), "", 0xE9, 2},
        FrameCase{"WhitelistAdd", Commands::AddWhitelistEntry("E280"), "53 57 00 06 FF EA 02 E2 80 03", 0, 2},
        FrameCase{"WhitelistAddSmallLetter", Commands::AddWhitelistEntry("e280"), "", 0, 2},
        FrameCase{"WhitelistClear", Commands::ClearWhitelist(), "53 57 00 03 FF EB 69", 0, 2},
        FrameCase{"WhitelistDelete", Commands::DeleteWhitelistEntry("01"), "53 57 00 05 FF EC 01 01 64", 0, 2},
        FrameCase{"WhitelistDeleteOdd", Commands::DeleteWhitelistEntry("012"), "", 0, 2}),
    CaseName{});

TEST(CommandsTest, WriteExtendedBlockIsOneFrameOf202Bytes) {
    const ExtendedBlock block = CountingBlock();
    const Command command = Commands::WriteExtendedBlock(block);
    ASSERT_EQ(command.request.size(), 202u);
    EXPECT_EQ(Hex({command.request.begin(), command.request.begin() + 7}), "53 57 00 C6 FF 2F C3");
    EXPECT_TRUE(std::equal(block.begin(), block.end(), command.request.begin() + 7));
    EXPECT_EQ(std::accumulate(command.request.begin(), command.request.end(), 0u) % 256, 0u);
    EXPECT_EQ(command.awaitedCode, 0x2F);
}

TEST(CommandsTest, TwentyFourDigitIdGoesAsTwelveBytes) {
    const Command command = Commands::AddWhitelistEntry("E2000017220B0123456789AB");
    ASSERT_EQ(command.request.size(), 20u);
    EXPECT_EQ(command.request[2], 0x00);
    EXPECT_EQ(command.request[3], 0x10);
    EXPECT_EQ(command.request[6], 12);
}

// Drives RunAttempts the way the link does, with scripted answers per attempt:
// "" silence, "lost" the link drops during the wait, otherwise a reply frame.
struct ScriptedReader {
    ReplySlot slot;
    bool connected = true;
    std::string trace;
    std::vector<std::vector<std::uint8_t>> answers;
    std::vector<bool> drops;
    std::size_t next = 0;

    bool Run(const Command& command) {
        AttemptHooks hooks{
            [this] { return connected; },
            [this, &command] {
                trace += 'X';
                slot.Reset(command.awaitedCode);
                const std::size_t i = next++;
                if (i < drops.size() && drops[i])
                    connected = false;
                else if (i < answers.size() && !answers[i].empty())
                    HandleReplyFrame(slot, answers[i]);
                return true;
            },
            [this] {
                trace += 'P';
                return true;
            },
        };
        return RunAttempts(command, slot, hooks);
    }
};

const std::vector<std::uint8_t> silence;

struct AttemptCase {
    const char* name;
    Command command;
    std::vector<std::vector<std::uint8_t>> answers;
    std::string trace; // X an exchange, P a pause
    bool ends;
};

class AttemptRuleTest : public ::testing::TestWithParam<AttemptCase> {};

TEST_P(AttemptRuleTest, ExchangesAndPauses) {
    const AttemptCase& c = GetParam();
    ScriptedReader reader;
    reader.answers = c.answers;
    EXPECT_EQ(reader.Run(c.command), c.ends);
    EXPECT_EQ(reader.trace, c.trace);
}

const std::vector<std::uint8_t> blockReply = [] {
    std::vector<std::uint8_t> data{0xC3};
    const ExtendedBlock block = CountingBlock();
    data.insert(data.end(), block.begin(), block.end());
    return Reply(0x2E, 1, data);
}();

INSTANTIATE_TEST_SUITE_P(
    Rows, AttemptRuleTest,
    ::testing::Values(
        AttemptCase{"SingleSilent", Commands::GetParameter(2), {}, "X", false},
        AttemptCase{"SingleAnswered", Commands::GetParameter(2), {Reply(0x23, 1, {2, 1})}, "X", true},
        AttemptCase{"SingleStatusZero", Commands::SetRunning(true), {Reply(0x41, 0)}, "X", false},
        AttemptCase{"TwoSilent", Commands::ClearWhitelist(), {}, "XPXP", false},
        AttemptCase{"TwoAnsweredFirst", Commands::ClearWhitelist(), {Reply(0xEB, 1)}, "X", true},
        AttemptCase{"TwoStatusZeroRetried",
                    Commands::ReadWhitelistCount(),
                    {Reply(0xE8, 0, {0, 3}), Reply(0xE8, 1, {0, 3})},
                    "XPX",
                    true},
        AttemptCase{"CountReplyTooShort",
                    Commands::ReadWhitelistCount(),
                    {Reply(0xE8, 1, {3}), Reply(0xE8, 1, {3})},
                    "XPXP",
                    false},
        AttemptCase{"AddTakesAnyCode", Commands::AddWhitelistEntry("01"), {Reply(0x23, 1, {2, 1})}, "X", true},
        AttemptCase{"BadIdSendsNothing", Commands::AddWhitelistEntry("0"), {}, "", false},
        AttemptCase{"BlockSilent", Commands::ReadExtendedBlock(), {}, "XPXP", false},
        AttemptCase{"BlockShortRetriesAtOnce",
                    Commands::ReadExtendedBlock(),
                    {Reply(0x2E, 1, {0xC3, 1, 2}), Reply(0x2E, 1, {0xC3, 1, 2})},
                    "XX",
                    false},
        AttemptCase{
            "BlockShortThenWhole", Commands::ReadExtendedBlock(), {Reply(0x2E, 1, {0xC3}), blockReply}, "XX", true},
        AttemptCase{
            "BlockNothingStoredPauses", Commands::ReadExtendedBlock(), {Bytes("43 54 00 02 FF 2E 01")}, "XPXP", false},
        AttemptCase{"WriteBlockSilentPausesOnce", Commands::WriteExtendedBlock(CountingBlock()), {}, "XP", false},
        AttemptCase{"WriteBlockAnswered", Commands::WriteExtendedBlock(CountingBlock()), {Reply(0x2F, 1)}, "X", true}),
    CaseName{});

TEST(AttemptRuleTest, LinkLostDuringWaitEndsAtOnce) {
    ScriptedReader reader;
    reader.drops = {true};
    EXPECT_FALSE(reader.Run(Commands::ClearWhitelist()));
    EXPECT_EQ(reader.trace, "X");
}

TEST(AttemptRuleTest, RefusedExchangeEndsWithoutRetry) {
    ReplySlot slot;
    int pauses = 0;
    AttemptHooks hooks{[] { return true; }, [] { return false; },
                       [&pauses] {
                           ++pauses;
                           return true;
                       }};
    EXPECT_FALSE(RunAttempts(Commands::ClearWhitelist(), slot, hooks));
    EXPECT_EQ(pauses, 0);
}

TEST(AttemptRuleTest, NotConnectedSendsNothing) {
    ScriptedReader reader;
    reader.connected = false;
    EXPECT_FALSE(reader.Run(Commands::ReadWhitelistCount()));
    EXPECT_EQ(reader.trace, "");
}

TEST(ResultTest, ParameterValue) {
    EXPECT_EQ(Commands::ParameterValue(Accept(0x23, Bytes("43 54 00 06 FF 23 01 02 01 3D")), 2), std::optional<int>(1));
    EXPECT_EQ(Commands::ParameterValue(Accept(0x23, Bytes("43 54 00 06 FF 23 00 02 01 3E")), 2), std::nullopt);
    EXPECT_EQ(Commands::ParameterValue(Accept(0x23, Reply(0x23, 1, {5, 30})), 2), std::nullopt); // other id
    // One byte short: the last stored byte is the checksum, never a value.
    EXPECT_EQ(Commands::ParameterValue(Accept(0x23, Reply(0x23, 1, {2})), 2), std::nullopt);
}

TEST(ResultTest, RegionIndex) {
    EXPECT_EQ(Commands::RegionIndex(Accept(0x3E, Reply(0x3E, 1, {0x31, 0x80}))), 0);
    EXPECT_EQ(Commands::RegionIndex(Accept(0x3E, Reply(0x3E, 1, {0x4E, 0x00}))), 1);
    EXPECT_EQ(Commands::RegionIndex(Accept(0x3E, Reply(0x3E, 1, {0x31, 0x81}))), -1);
    EXPECT_EQ(Commands::RegionIndex(Accept(0x3E, Reply(0x3E, 1, {0x31}))), -1);
}

TEST(ResultTest, ExtendedBlockComesFromReplyByteEightOn) {
    ExtendedBlock block{};
    ASSERT_TRUE(Commands::CopyExtendedBlock(Accept(0x2E, blockReply), block));
    EXPECT_EQ(block, CountingBlock());

    // A reply one byte short would put its checksum into the block.
    std::vector<std::uint8_t> data{0xC3};
    data.resize(1 + extendedBlockSize - 1, 0x55);
    ExtendedBlock untouched{};
    EXPECT_FALSE(Commands::CopyExtendedBlock(Accept(0x2E, Reply(0x2E, 1, data)), untouched));
    EXPECT_EQ(untouched, ExtendedBlock{});
}

TEST(ResultTest, WriteConfirmed) {
    EXPECT_TRUE(Commands::WriteConfirmed(Accept(0x2F, Reply(0x2F, 1))));
    EXPECT_TRUE(Commands::WriteConfirmed(Accept(0x2F, Bytes("43 54 00 03 FF 2F 01"))));
    EXPECT_FALSE(Commands::WriteConfirmed(Accept(0x2F, Bytes("43 54 00 02 FF 2F 01"))));
    EXPECT_FALSE(Commands::WriteConfirmed(Accept(0x2F, Reply(0x2F, 0))));
}

TEST(ResultTest, WhitelistCountHighByteFirst) {
    EXPECT_EQ(Commands::WhitelistCount(Accept(0xE8, Reply(0xE8, 1, {0x01, 0x02}))), 258);
    EXPECT_EQ(Commands::WhitelistCount(Accept(0xE8, Reply(0xE8, 1, {0x01}))), 0);
}

struct EntryCase {
    const char* name;
    std::vector<std::uint8_t> data; // after the status byte
    std::string text;
};

class WhitelistEntryTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(WhitelistEntryTest, TakesTheSmallerOfCountAndBytesPresent) {
    const EntryCase& c = GetParam();
    EXPECT_EQ(Commands::WhitelistEntryText(Accept(0xE9, Reply(0xE9, 1, c.data))), c.text);
}

INSTANTIATE_TEST_SUITE_P(Rows, WhitelistEntryTest,
                         ::testing::Values(EntryCase{"Whole", {4, 0xE2, 0x80, 0x11, 0x60}, "E2801160"},
                                           EntryCase{"CountTooBig", {9, 0xE2, 0x80}, "E280"},
                                           EntryCase{"CountSmaller", {1, 0xE2, 0x80}, "E2"},
                                           EntryCase{"NoIdBytes", {0}, ""}, EntryCase{"NoCountByte", {}, ""}),
                         CaseName{});
} // namespace
