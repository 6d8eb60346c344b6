#include "IniFile.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

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

TEST_F(IniFileTest, IntegersFallBackWhenMissingOrNotNumbers) {
    std::string ini = Write("[Setting]\nUHFREL=0\nA=12abc\nB=abc\nC=\n");
    EXPECT_EQ(ReadIniInt(ini, "Setting", "UHFREL", 1), 0);
    EXPECT_EQ(ReadIniInt(ini, "Setting", "A", 1), 12);
    EXPECT_EQ(ReadIniInt(ini, "Setting", "B", 1), 1);
    EXPECT_EQ(ReadIniInt(ini, "Setting", "C", 1), 1);
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

} // namespace
