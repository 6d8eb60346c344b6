#include "core/text/CodePage.h"
#include "core/text/IniFile.h"
#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <ostream>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string Write(const std::string& bytes) {
        std::string path = dir.File("test.ini");
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
};

TEST_F(IniFileTest, MatchesNamesWithoutCaseAndStripsBlanksAndQuotes) {
    std::string ini = Write("[Setting]\nUHFREL = 0 \n[Other]\nkey=\"  quoted \"\n");
    EXPECT_EQ(ReadIniString(ini, "setting", "uhfrel"), "0");
    EXPECT_EQ(ReadIniString(ini, "OTHER", "KEY"), "  quoted ");
    EXPECT_EQ(ReadIniString(ini, "Setting", "missing"), "");
    EXPECT_EQ(ReadIniString(dir.File("none.ini"), "Setting", "UHFREL"), "");
}

struct IntCase {
    const char* name;
    const char* text; // the value, or nullptr for no key at all
    int expected;
};

class IniIntegers : public IniFileTest, public ::testing::WithParamInterface<IntCase> {};

// A present value reads as its leading digits, else 0; only a missing or empty one falls back.
TEST_P(IniIntegers, ReadAsThePlatformReadsThem) {
    std::string body = "[Setting]\n";
    if (GetParam().text)
        body += std::string("UHFREL=") + GetParam().text + "\n";
    EXPECT_EQ(ReadIniInt(Write(body), "Setting", "UHFREL", 1), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, IniIntegers,
                         ::testing::Values(IntCase{"zero", "0", 0}, IntCase{"two", "2", 2},
                                           IntCase{"leadingDigits", "12abc", 12}, IntCase{"letters", "abc", 0},
                                           IntCase{"hexPrefix", "0x2", 0}, IntCase{"negative", "-3", -3},
                                           IntCase{"signAlone", "-", 0}, IntCase{"empty", "", 1},
                                           IntCase{"missing", nullptr, 1}),
                         CaseName{});

TEST_F(IniFileTest, OfASectionWrittenTwiceOnlyTheFirstCounts) {
    std::string ini = Write("[Setting]\nA=first\n[Other]\nB=x\n[setting]\nA=second\nUHFREL=0\n");
    EXPECT_EQ(ReadIniString(ini, "Setting", "A"), "first");
    EXPECT_EQ(ReadIniString(ini, "Setting", "UHFREL"), "");
    EXPECT_EQ(ReadIniInt(ini, "Setting", "UHFREL", 1), 1);
    EXPECT_EQ(ReadIniString(ini, "Other", "B"), "x");
    EXPECT_EQ(ReadIniInt(ini, "Nope", "UHFREL", 1), 1);
}

TEST_F(IniFileTest, LongValuesAreCutWithoutSplittingACharacter) {
    std::string ini = Write("[S]\nascii=" + std::string(300, 'x') + "\nwide=" + std::string(1, 'x') +
                            [] {
                                std::string s;
                                for (int i = 0; i < 100; ++i)
                                    s += "\xE8\xBB\x8A"; // three bytes each
                                return s;
                            }() +
                            "\n");
    EXPECT_EQ(ReadIniString(ini, "S", "ascii").size(), 259u);
    std::string wide = ReadIniString(ini, "S", "wide");
    EXPECT_EQ(wide.size(), 1u + 86u * 3u);
}

std::string Big5(const std::string& utf8) { return Utf8ToBig5(utf8).value(); }

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

struct EncodingCase {
    const char* name;
    std::string bytes;
    std::string value;
};

void PrintTo(const EncodingCase& c, std::ostream* os) { *os << c.name; }

class IniFileEncoding : public IniFileTest, public ::testing::WithParamInterface<EncodingCase> {};

TEST_P(IniFileEncoding, ReadsTheValueAsTheWholeFileIsEncoded) {
    EXPECT_EQ(ReadIniString(Write(GetParam().bytes), "S", "k"), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniFileEncoding,
    ::testing::Values(EncodingCase{"MarkThenBig5", "\xEF\xBB\xBF[S]\r\nk=" + Big5("車牌") + "\r\n", "車牌"},
                      EncodingCase{"Big5ThatIsAlsoUtf8", "[S]\r\nk=" + Big5("警禮") + "\r\n", "警禮"},
                      EncodingCase{"MarkThenUtf8", "\xEF\xBB\xBF[S]\r\nk=車牌\r\n", "車牌"},
                      EncodingCase{"Utf8ThatIsNotBig5", "[S]\nk=臺\n", "臺"},
                      EncodingCase{"Big5CutAt259Bytes", "[S]\r\nk=x" + Big5(Repeat("車", 200)) + "\r\n",
                                   "x" + Repeat("車", 129)}),
    CaseName{});

} // namespace
