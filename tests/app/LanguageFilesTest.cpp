#include "CodePage.h"
#include "LanguageTexts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

fs::path SourceRoot() { return fs::path(LUMETRA_TEST_DATA).parent_path().parent_path(); }

std::string Slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

// Every (section, key) pair the program's code looks up.
std::set<std::pair<std::string, std::string>> KeysInCode() {
    std::set<std::pair<std::string, std::string>> keys;
    std::regex lookup(R"re("(COMMON|APB1|APB11|APA2|APA21|APA21S)"\s*,\s*"([0-9]{3})")re");
    for (const auto& entry : fs::recursive_directory_iterator(SourceRoot() / "src")) {
        auto ext = entry.path().extension();
        if (ext != ".cpp" && ext != ".h")
            continue;
        std::string code = Slurp(entry.path());
        for (std::sregex_iterator it(code.begin(), code.end(), lookup), end; it != end; ++it)
            keys.insert({(*it)[1].str(), (*it)[2].str()});
    }
    return keys;
}

class LanguageFilesTest : public ::testing::TestWithParam<const char*> {};

TEST_P(LanguageFilesTest, EveryKeyTheProgramLooksUpHasAText) {
    fs::path file = SourceRoot() / "src" / "resources" / GetParam();
    ASSERT_TRUE(fs::exists(file));
    LanguageTexts texts(file.string());
    auto keys = KeysInCode();
    ASSERT_GT(keys.size(), 10u);
    for (const auto& [section, key] : keys)
        EXPECT_NE(texts.Lookup(section, key, "<missing>"), "<missing>") << section << "/" << key;
}

INSTANTIATE_TEST_SUITE_P(Files, LanguageFilesTest, ::testing::Values("Qmel_ZH_TW.ini", "Qmel_EN_US.ini"));

TEST(LanguageFiles, TheChineseFileIsInTheSuitesCodePage) {
    std::string bytes = Slurp(SourceRoot() / "src" / "resources" / "Qmel_ZH_TW.ini");
    EXPECT_FALSE(IsValidUtf8(bytes));
    EXPECT_TRUE(Big5ToUtf8(bytes).has_value());
    LanguageTexts texts((SourceRoot() / "src" / "resources" / "Qmel_ZH_TW.ini").string());
    EXPECT_EQ(texts.Lookup("COMMON", "002", "x"), "儲存");
}

} // namespace
