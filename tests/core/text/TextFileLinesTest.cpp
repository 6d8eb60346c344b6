#include "core/text/CodePage.h"
#include "core/text/TextFileLines.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

const std::string kMark = "\xEF\xBB\xBF";

std::string Big5(const std::string& utf8) { return Utf8ToBig5(utf8).value(); }

std::string Many(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += line;
    return text;
}

struct FileCase {
    const char* name;
    std::string bytes;
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }

class SteppedDecoding : public ::testing::TestWithParam<FileCase> {};

// The stepped decoder hands over, line by line, exactly what the whole-file decoder returns.
TEST_P(SteppedDecoding, GivesTheWholeFileResult) {
    const DecodedText whole = DecodeTextFile(GetParam().bytes);
    std::vector<std::optional<std::string>> lines;
    size_t steps = 0;
    const TextEncoding encoding = DecodeTextFileLines(
        GetParam().bytes,
        [&lines](size_t index, std::optional<std::string>& text) {
            EXPECT_EQ(index, lines.size());
            lines.push_back(text);
        },
        [&steps](size_t) { ++steps; });
    EXPECT_EQ(encoding, whole.encoding);
    EXPECT_EQ(lines, whole.lines);
    EXPECT_GE(steps, lines.size());
}

// The choice of encoding falls on the first or the last line, right at a line end, or never.
INSTANTIATE_TEST_SUITE_P(
    Files, SteppedDecoding,
    ::testing::Values(
        FileCase{"Empty", ""}, FileCase{"MarkOnly", kMark}, FileCase{"AsciiCrLf", "a,b,1\r\nc,d,2\r\n"},
        FileCase{"MarkThenAscii", kMark + "a,b,1\r\n"}, FileCase{"NoFinalLineEnd", "a\nb"},
        FileCase{"CarriageReturnsNotBeforeLineFeeds", "a\rb\nc\r"}, FileCase{"EmptyLines", "\r\n\n\r\n"},
        FileCase{"MarkThenUtf8", kMark + "臺北\r\nx"}, FileCase{"Utf8ThatIsNotBig5", "臺\r\n粤"},
        FileCase{"MarkThenBig5", kMark + Big5("臺北\r\n高雄")}, FileCase{"Big5ThatIsAlsoUtf8", Big5("警禮\r\n礎")},
        FileCase{"DamagedBig5Line", Big5("臺北") + "\r\n\x81\r\nAB"},
        FileCase{"UserDefinedPair", "x\xFA\x40y\r\n" + Big5("臺")},
        // Valid UTF-8 and Big5 throughout, until the last line has no Big5 form.
        FileCase{"Utf8ShowsOnlyInTheLastLine", Many(Big5("警禮") + "\r\n", 3000) + "粤"},
        // Valid UTF-8 until the last byte of the file.
        FileCase{"LastByteBreaksUtf8", Many(Big5("警禮") + "\r\n", 3000) + "\xB3"},
        FileCase{"FirstLineBreaksUtf8", Big5("臺") + "\r\n" + Many("禮\r\n", 100)},
        FileCase{"MarkThenUtf8BrokenInTheLastLine", kMark + Many("臺北\r\n", 100) + "\xE8\xAD"},
        FileCase{"CharacterCutByALineEnd", "\xE8\n\xAD\xA6"}, FileCase{"LeadByteBeforeCrLf", "AB\xB3\r\nCD"}),
    CaseName{});

} // namespace
