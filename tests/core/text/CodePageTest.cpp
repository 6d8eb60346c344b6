#include "core/tagfile/TagFileLine.h"
#include "core/text/CodePage.h"
#include "tests/support/Big5Samples.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::optional<std::string>>;

const std::string kTag = "E20000172211010012345678";
const std::string kMark = "\xEF\xBB\xBF";

std::string Big5(const std::string& utf8) { return Utf8ToBig5(utf8).value(); }

std::string Hex(const std::string& bytes) {
    std::string hex;
    for (unsigned char c : bytes) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", c);
        hex += digits;
    }
    return hex;
}

std::string Utf8Of(char32_t c) {
    return {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F))};
}

struct FileCase {
    const char* name;
    std::string bytes;
    Lines lines;
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }

class WholeFileEncoding : public ::testing::TestWithParam<FileCase> {};

TEST_P(WholeFileEncoding, DecidesOnceForTheWholeFile) {
    EXPECT_EQ(TagFileLine::DecodeLines(GetParam().bytes), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Files, WholeFileEncoding,
    ::testing::Values(FileCase{"MarkThenUtf8", kMark + "臺北\r\nx", {"臺北", "x"}},
                      FileCase{"Utf8ThatIsNotBig5", "臺\r\n粤", {"臺", "粤"}},
                      FileCase{"MarkThenBig5", kMark + Big5("臺北\r\n高雄"), {"臺北", "高雄"}},
                      FileCase{"Big5ThatIsAlsoUtf8", Big5("警禮\r\n礎"), {"警禮", "礎"}},
                      FileCase{"ADamagedBig5LineCostsOnlyThatLine", Big5("臺北") + "\r\n\x81\r\nAB",
                               {"臺北", std::nullopt, "AB"}}),
    CaseName{});

// Every two-byte character of the code page whose bytes also form valid UTF-8, each alone in a
// file without a mark, so nothing else in the file gives the encoding away.
TEST(WholeFileEncoding, EveryBig5CharacterThatAlsoFormsUtf8ImportsExactly) {
    const auto pairs = Big5PairsThatFormUtf8();
    for (const auto& [bytes, character] : pairs) {
        const Lines lines = TagFileLine::DecodeLines(kTag + "," + bytes + ",1\r\n");
        ASSERT_EQ(lines.size(), 1u);
        const std::optional<TagFileLine> line = lines[0] ? TagFileLine::Parse(*lines[0]) : std::nullopt;
        EXPECT_EQ(line ? line->plate : "<unread>", character) << Hex(bytes);
    }
    std::printf("checked %zu characters\n", pairs.size());
    EXPECT_GT(pairs.size(), 0u);
}

struct UserPoint {
    const char* name;
    std::string bytes;
    char32_t character;
};

void PrintTo(const UserPoint& p, std::ostream* os) { *os << p.name; }

class UserDefinedCharacters : public ::testing::TestWithParam<UserPoint> {};

TEST_P(UserDefinedCharacters, MapToThePrivateUseAreaBothWays) {
    const UserPoint& p = GetParam();
    EXPECT_EQ(Big5ToUtf8("A" + p.bytes + "B"), "A" + Utf8Of(p.character) + "B");
    EXPECT_EQ(Utf8ToBig5("A" + Utf8Of(p.character) + "B"), "A" + p.bytes + "B");
}

// The first and last pair of each area, and the seams between rows.
INSTANTIATE_TEST_SUITE_P(
    Bounds, UserDefinedCharacters,
    ::testing::Values(UserPoint{"FA40", "\xFA\x40", 0xE000}, UserPoint{"FA7E", "\xFA\x7E", 0xE03E},
                      UserPoint{"FAA1", "\xFA\xA1", 0xE03F}, UserPoint{"FB40", "\xFB\x40", 0xE09D},
                      UserPoint{"FEFE", "\xFE\xFE", 0xE310}, UserPoint{"8E40", "\x8E\x40", 0xE311},
                      UserPoint{"A0FE", "\xA0\xFE", 0xEEB7}, UserPoint{"8140", "\x81\x40", 0xEEB8},
                      UserPoint{"8DFE", "\x8D\xFE", 0xF6B0}, UserPoint{"C6A1", "\xC6\xA1", 0xF6B1},
                      UserPoint{"C6FE", "\xC6\xFE", 0xF70E}, UserPoint{"C740", "\xC7\x40", 0xF70F},
                      UserPoint{"C8FE", "\xC8\xFE", 0xF848}),
    CaseName{});

TEST(UserDefinedCharacters, OutsideTheAreasNothingChanges) {
    EXPECT_EQ(Big5ToUtf8("\xC6\x7E"), "籲"); // the last ordinary character before C6A1
    EXPECT_FALSE(Utf8ToBig5(Utf8Of(0xF849)));  // past the last area
    EXPECT_FALSE(Big5ToUtf8("\xFA\x3F"));      // not a trail byte
}

struct MixedCase {
    const char* name;
    std::string utf8;
    std::optional<std::string> big5; // nullopt: no Big5 form
};

void PrintTo(const MixedCase& c, std::ostream* os) { *os << c.name; }

class MixedText : public ::testing::TestWithParam<MixedCase> {};

// ASCII goes around the converter; what goes through it must come out the same both ways.
TEST_P(MixedText, ConvertsSpanBySpanBothWays) {
    const MixedCase& c = GetParam();
    EXPECT_EQ(Utf8ToBig5(c.utf8), c.big5);
    if (c.big5) {
        EXPECT_EQ(Big5ToUtf8(*c.big5), c.utf8);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MixedText,
    ::testing::Values(MixedCase{"AsciiOnly", "E2,AB-12,1\r\n", "E2,AB-12,1\r\n"},
                      // The second byte of these pairs is a backslash, an ASCII byte inside a pair.
                      MixedCase{"TrailByteLooksLikeAscii", "A\xE8\xA8\xB1" "B\xE5\x8A\x9F", "A\xB3\x5C" "B\xA5\x5C"},
                      MixedCase{"PlatesAmongTags", kTag + ",\xE6\xB1\xBD" "AB,1\r\n" + kTag + ",CD\xE6\xA9\x9F,2\r\n",
                                kTag + ",\xA8\x54" "AB,1\r\n" + kTag + ",CD\xBE\xF7,2\r\n"},
                      MixedCase{"UserDefinedBetweenAscii", "x" + Utf8Of(0xE000) + "y", "x\xFA\x40y"},
                      MixedCase{"NoBig5FormAmongAscii", "ab\xF0\x9F\x98\x80" "cd", std::nullopt}),
    CaseName{});

TEST(MixedText, ALoneLeadByteAtTheEndIsNoText) {
    EXPECT_FALSE(Big5ToUtf8("AB\xB3"));
    EXPECT_FALSE(Big5ToUtf8("\xB3\x5C\xB3"));
}

// Far longer than any converter buffer: the output grows as needed and nothing is lost.
TEST(MixedText, ALongTextRoundTrips) {
    std::string utf8;
    for (int i = 0; i < 20000; ++i)
        utf8 += kTag + ",\xE8\xA8\xB1" + std::to_string(i) + "\xE6\xB1\xBD\xE8\xBB\x8A,1\r\n";
    const std::optional<std::string> big5 = Utf8ToBig5(utf8);
    ASSERT_TRUE(big5);
    EXPECT_LT(big5->size(), utf8.size());
    EXPECT_EQ(Big5ToUtf8(*big5), utf8);
}

} // namespace
