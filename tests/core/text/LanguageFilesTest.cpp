#include "core/text/CodePage.h"
#include "core/text/LanguageTexts.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
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
    std::regex lookup(R"re("(COMMON|APB1|APB11|APA2|APA21|APA21S|LUMETRA)"\s*,\s*"([0-9]{3})")re");
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

INSTANTIATE_TEST_SUITE_P(Files, LanguageFilesTest, ::testing::Values("Qmel_ZH_TW.ini", "Qmel_EN_US.ini"),
                         TextCaseName{});

// The suite ships language files of its own, where a key of its sections may already mean
// something else: the program looks up only the suite's keys there and keeps its own texts
// in "LUMETRA".
TEST(LanguageFiles, TheSuitesSectionsAreLookedUpOnlyByTheSuitesKeys) {
    const std::map<std::string, std::set<std::string>> suiteKeys = {
        {"COMMON", {"002", "004", "005", "006", "007", "009", "011", "019", "020", "025", "026", "027", "045", "049"}},
        {"APB1", {"002", "015", "016", "020", "021", "025", "026", "027", "028", "046", "047", "048", "049",
                  "050", "051", "052", "054", "055", "056", "057", "058", "059", "060", "061", "062"}},
        {"APB11", {"001", "021", "022"}},
        {"APA2", {"013"}},
        {"APA21",
         {"021", "022", "023", "024", "025", "031", "045", "046", "047", "048", "049", "050", "051", "052", "053"}},
        {"APA21S", {"021"}},
    };
    for (const auto& [section, key] : KeysInCode()) {
        auto known = suiteKeys.find(section);
        if (known != suiteKeys.end()) {
            EXPECT_EQ(known->second.count(key), 1u) << section << "/" << key;
        }
    }
}

TEST(LanguageFiles, TheChineseFileIsInTheSuitesCodePage) {
    std::string bytes = Slurp(SourceRoot() / "src" / "resources" / "Qmel_ZH_TW.ini");
    EXPECT_FALSE(IsValidUtf8(bytes));
    EXPECT_TRUE(Big5ToUtf8(bytes).has_value());
    LanguageTexts texts((SourceRoot() / "src" / "resources" / "Qmel_ZH_TW.ini").string());
    EXPECT_EQ(texts.Lookup("COMMON", "002", "x"), "儲存");
}

} // namespace
