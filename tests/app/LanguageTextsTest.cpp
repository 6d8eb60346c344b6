#include "LanguageTexts.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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
                         ::testing::Values("lang_big5.ini", "lang_utf8.ini", "lang_utf8_bom.ini"));

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

TEST(SelectLanguageFile, ChoosesByNumberAndFallsBackToBuiltInTexts) {
    TempDir dir;
    std::ofstream(dir.File("Qmel_ZH_TW.ini")) << "[COMMON]\n";
    std::string program = dir.Path().string();
    EXPECT_EQ(SelectLanguageFile(program, 0), dir.File("Qmel_ZH_TW.ini"));
    EXPECT_EQ(SelectLanguageFile(program, 7), dir.File("Qmel_ZH_TW.ini"));
    EXPECT_EQ(SelectLanguageFile(program, -1), dir.File("Qmel_ZH_TW.ini"));
    EXPECT_EQ(SelectLanguageFile(program, 1), ""); // no English file: built-in texts
    std::ofstream(dir.File("Qmel_EN_US.ini")) << "[COMMON]\n";
    EXPECT_EQ(SelectLanguageFile(program, 1), dir.File("Qmel_EN_US.ini"));
}

} // namespace
