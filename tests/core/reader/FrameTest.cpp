#include "core/reader/Frame.h"
#include "core/reader/FrameAssembler.h"
#include "tests/gui/reader/ReaderTestBytes.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {
const std::vector<std::uint8_t> parameterReply = Bytes("43 54 00 06 FF 23 01 02 01 3D");
const std::vector<std::uint8_t> shortReply = Bytes("43 54 00 04 FF 41 01 24");

TEST(FrameTest, RequestLayoutAndChecksum) {
    EXPECT_EQ(Hex(BuildRequest(0xEB)), "53 57 00 03 FF EB 69");
    EXPECT_EQ(Hex(BuildRequest(0x24, Bytes("05 1E"))), "53 57 00 05 FF 24 05 1E 0B");
}

TEST(FrameTest, EveryRequestAddsUpToZero) {
    for (std::size_t size = 0; size <= 195; size += 13) {
        std::vector<std::uint8_t> payload(size);
        std::iota(payload.begin(), payload.end(), static_cast<std::uint8_t>(size * 3));
        for (std::uint8_t code : {0x00, 0x23, 0x2F, 0xEA, 0xFF}) {
            const std::vector<std::uint8_t> frame = BuildRequest(code, payload);
            EXPECT_EQ(frame.size(), size + 7);
            EXPECT_EQ(LengthField(frame), static_cast<int>(size + 3));
            EXPECT_EQ(std::accumulate(frame.begin(), frame.end(), 0u) % 256, 0u) << "size " << size;
        }
    }
}

struct ParseCase {
    const char* name;
    std::string data;
    ParseStatus status;
    std::size_t consumed;
};

class ParseReplyTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseReplyTest, FindsFrameByLengthField) {
    const ParseCase& c = GetParam();
    const std::vector<std::uint8_t> data = Bytes(c.data);
    ParsedReply parsed = ParseReply(data);
    EXPECT_EQ(parsed.status, c.status);
    EXPECT_EQ(parsed.consumed, c.consumed);
    if (c.status == ParseStatus::Ok) {
        EXPECT_EQ(parsed.frame.size(), c.consumed);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseReplyTest,
    ::testing::Values(ParseCase{"Whole", "43 54 00 06 FF 23 01 02 01 3D", ParseStatus::Ok, 10},
                      ParseCase{"FollowedByMore", "43 54 00 04 FF 41 01 24 43 54", ParseStatus::Ok, 8},
                      ParseCase{"Empty", "", ParseStatus::Incomplete, 0},
                      ParseCase{"OnlyC", "43", ParseStatus::Incomplete, 0},
                      ParseCase{"HeaderOnly", "43 54 00", ParseStatus::Incomplete, 0},
                      ParseCase{"BodyMissing", "43 54 00 06 FF 23 01 02 01", ParseStatus::Incomplete, 0},
                      ParseCase{"NoiseUpToNextC", "00 11 43 54", ParseStatus::Bad, 2},
                      ParseCase{"NoiseWithoutC", "00 11 22", ParseStatus::Bad, 3},
                      ParseCase{"CWithoutT", "43 00 43 54", ParseStatus::Bad, 2},
                      ParseCase{"LengthTooSmall", "43 54 00 02 FF 23", ParseStatus::Bad, 1},
                      ParseCase{"LengthBeyondAnyFrame", "43 54 02 00 FF", ParseStatus::Bad, 1}),
    CaseName{});

using Frames = std::vector<std::vector<std::uint8_t>>;

Frames Drain(FrameAssembler& assembler) {
    std::vector<std::vector<std::uint8_t>> frames;
    while (std::optional<std::vector<std::uint8_t>> frame = assembler.Next())
        frames.push_back(*frame);
    return frames;
}

TEST(FrameAssemblerTest, ReplySplitAtAnyPointComesOutWhole) {
    for (std::size_t cut = 1; cut < parameterReply.size(); ++cut) {
        FrameAssembler assembler;
        assembler.Append(parameterReply.data(), cut);
        EXPECT_TRUE(Drain(assembler).empty()) << "cut " << cut;
        assembler.Append(parameterReply.data() + cut, parameterReply.size() - cut);
        EXPECT_EQ(Drain(assembler), Frames{parameterReply}) << "cut " << cut;
        EXPECT_EQ(assembler.Pending(), 0u);
    }
}

TEST(FrameAssemblerTest, JoinedFramesComeOutInOrder) {
    std::vector<std::uint8_t> stream = shortReply;
    stream.insert(stream.end(), parameterReply.begin(), parameterReply.end());
    stream.insert(stream.end(), shortReply.begin(), shortReply.begin() + 3);
    FrameAssembler assembler;
    assembler.Append(stream.data(), stream.size());
    EXPECT_EQ(Drain(assembler), (Frames{shortReply, parameterReply}));
    EXPECT_EQ(assembler.Pending(), 3u);
    assembler.Append(shortReply.data() + 3, shortReply.size() - 3);
    EXPECT_EQ(Drain(assembler), Frames{shortReply});
}

TEST(FrameAssemblerTest, SkipsGarbageBeforeHeader) {
    std::vector<std::uint8_t> stream = Bytes("00 43 12 54 43 54 00 02 FF");
    stream.insert(stream.end(), parameterReply.begin(), parameterReply.end());
    FrameAssembler assembler;
    // Byte by byte, the hardest case for resynchronising.
    std::vector<std::vector<std::uint8_t>> frames;
    for (std::uint8_t b : stream) {
        assembler.Append(&b, 1);
        for (auto& frame : Drain(assembler))
            frames.push_back(frame);
    }
    EXPECT_EQ(frames, Frames{parameterReply});
}

TEST(FrameAssemblerTest, LongStreamOfFramesKeepsAllOfThem) {
    FrameAssembler assembler;
    int count = 0;
    for (int i = 0; i < 1000; ++i) {
        assembler.Append(parameterReply.data(), parameterReply.size());
        count += static_cast<int>(Drain(assembler).size());
    }
    EXPECT_EQ(count, 1000);
}
} // namespace
