#include "core/app/StartupConfig.h"
#include "core/text/LanguageTexts.h"
#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>

namespace {

std::string Fixture(const char* name) { return std::string(LUMETRA_TEST_DATA) + "/" + name; }

TEST(LanguageTexts, BuiltInTextsWithoutAFile) {
    LanguageTexts texts;
    EXPECT_EQ(texts.Lookup("COMMON", "002", "儲存"), "儲存");
    texts.LoadShared();
    EXPECT_EQ(texts.Shared().countLabel, "筆數");
    EXPECT_EQ(texts.Shared().doneText, "");
}

class LanguageFileTest : public ::testing::TestWithParam<const char*> {};

// Big5 files of the suite and UTF-8 files edited elsewhere give the same texts.
TEST_P(LanguageFileTest, FileValuesReplaceDefaultsAndEmptyValuesKeepThem) {
    LanguageTexts texts(Fixture(GetParam()));
    EXPECT_EQ(texts.Lookup("COMMON", "002", "x"), "儲存A");
    EXPECT_EQ(texts.Lookup("common", "020", "default"), "default");
    EXPECT_EQ(texts.Lookup("COMMON", "999", "default"), "default");
    std::string text = "keep";
    texts.Override("COMMON", "020", text);
    EXPECT_EQ(text, "keep");
    texts.LoadShared();
    EXPECT_EQ(texts.Shared().countLabel, "筆數X");
    EXPECT_EQ(texts.Shared().carLabel, "汽車B");
    EXPECT_EQ(texts.Shared().motorcycleLabel, "機車");
    EXPECT_EQ(texts.Shared().doneText, "");
}

INSTANTIATE_TEST_SUITE_P(Encodings, LanguageFileTest,
                         ::testing::Values("lang_big5.ini", "lang_utf8.ini", "lang_utf8_bom.ini"), TextCaseName{});

TEST(LanguageTexts, SharedTextsStayAsLoadedWhileOtherLookupsReadTheFileAgain) {
    TempDir dir;
    std::string path = dir.File("Qmel_ZH_TW.ini");
    std::ofstream(path) << "[COMMON]\n007=Count\n002=Save\n";
    LanguageTexts texts(path);
    texts.LoadShared();
    std::ofstream(path) << "[COMMON]\n007=Changed\n002=Store\n";
    EXPECT_EQ(texts.Shared().countLabel, "Count");
    EXPECT_EQ(texts.Lookup("COMMON", "002", "x"), "Store");
}

// Where each language file lies: beside the program, in ../share/lumetra, or nowhere.
enum class Place { None, Program, Share, Both };

struct SelectionCase {
    const char* name;
    int language;
    Place chinese;
    Place english;
    Place chosen; // Program or Share; None for the built-in texts
};

void PrintTo(const SelectionCase& c, std::ostream* out) { *out << c.name; }

class SelectLanguageFileTest : public ::testing::TestWithParam<SelectionCase> {
protected:
    TempDir dir;
    std::filesystem::path program = dir.Path() / "bin";
    std::filesystem::path share = dir.Path() / "bin" / ".." / "share" / "lumetra";

    void Put(const char* name, Place place) {
        std::filesystem::create_directories(program);
        std::filesystem::create_directories(share);
        if (place == Place::Program || place == Place::Both)
            std::ofstream(program / name) << "[COMMON]\n";
        if (place == Place::Share || place == Place::Both)
            std::ofstream(share / name) << "[COMMON]\n";
    }
};

TEST_P(SelectLanguageFileTest, ProgramFolderFirstThenShareElseBuiltInTexts) {
    const SelectionCase& c = GetParam();
    Put("Qmel_ZH_TW.ini", c.chinese);
    Put("Qmel_EN_US.ini", c.english);
    const char* name = c.language == 1 ? "Qmel_EN_US.ini" : "Qmel_ZH_TW.ini";
    std::string expected;
    if (c.chosen == Place::Program)
        expected = (program / name).string();
    if (c.chosen == Place::Share)
        expected = (share / name).string();
    EXPECT_EQ(SelectLanguageFile(program.string(), c.language), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Places, SelectLanguageFileTest,
    ::testing::Values(SelectionCase{"ChineseBesideTheProgram", 0, Place::Program, Place::None, Place::Program},
                      SelectionCase{"ChineseInShare", 0, Place::Share, Place::None, Place::Share},
                      SelectionCase{"ProgramFolderWins", 0, Place::Both, Place::Both, Place::Program},
                      SelectionCase{"EnglishInShareNextToChineseBesideTheProgram", 1, Place::Program,
                                    Place::Share, Place::Share},
                      SelectionCase{"OutOfRangeMeansChinese", 7, Place::Share, Place::Program, Place::Share},
                      SelectionCase{"NegativeMeansChinese", -1, Place::Program, Place::Both, Place::Program},
                      SelectionCase{"EnglishMissingEverywhere", 1, Place::Both, Place::None, Place::None},
                      SelectionCase{"NothingAnywhere", 0, Place::None, Place::None, Place::None}),
    CaseName{});

// Without a file in either place the whole start-up configuration still resolves, and every
// text is the built-in one.
TEST(SelectLanguageFile, MissingInBothPlacesGivesTheBuiltInTexts) {
    TempDir dir;
    std::filesystem::create_directories(dir.Path() / "bin");
    std::filesystem::create_directories(dir.Path() / "share" / "lumetra");
    std::filesystem::create_directories(dir.Path() / "windows");
    std::ofstream(dir.File("windows/Orbisk.ini")) << "[Setting]\nUHFREL=0\n";
    StartupInputs inputs;
    inputs.windowsDir = dir.File("windows");
    inputs.programDir = dir.File("bin");
    inputs.dataDrive = dir.File("drive");
    AppConfig config = ResolveAppConfig(inputs);
    EXPECT_EQ(config.languageFilePath, "");
    EXPECT_EQ(config.uhfRel, 0);
    LanguageTexts texts(config.languageFilePath);
    texts.LoadShared();
    EXPECT_EQ(texts.Shared().carLabel, "汽車");
    EXPECT_EQ(texts.Lookup("APB1", "025", "UHF讀取機連線設定"), "UHF讀取機連線設定");
}

} // namespace
