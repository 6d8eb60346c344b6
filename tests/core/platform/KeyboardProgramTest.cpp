#include "core/platform/KeyboardProgram.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

const std::string kDir = "C:\\Windows\\";

struct ProgramRow {
    std::string name;
    bool newerOs;
    std::set<std::string> present;
    std::string chosen;
};

class KeyboardProgramRows : public ::testing::TestWithParam<ProgramRow> {};

TEST_P(KeyboardProgramRows, ChoosesTheFirstPresentCandidate) {
    const ProgramRow& row = GetParam();
    auto exists = [&](const std::string& path) { return row.present.count(path) > 0; };
    EXPECT_EQ(ChooseKeyboardProgram(kDir, row.newerOs, exists), row.chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KeyboardProgramRows,
    ::testing::Values(
        ProgramRow{
            "NewerSystemTakes64", true, {kDir + "osk64.exe", kDir + "osk32.exe", kDir + "osk.exe"}, kDir + "osk64.exe"},
        ProgramRow{"OlderSystemTakes32",
                   false,
                   {kDir + "osk64.exe", kDir + "osk32.exe", kDir + "osk.exe"},
                   kDir + "osk32.exe"},
        ProgramRow{"NewerSystemIgnores32", true, {kDir + "osk32.exe", kDir + "osk.exe"}, kDir + "osk.exe"},
        ProgramRow{"OlderSystemIgnores64", false, {kDir + "osk64.exe"}, "OSK.exe"},
        ProgramRow{"NoneInWindowsFolderTakesBareName", true, {}, "OSK.exe"},
        ProgramRow{"OtherFolderDoesNotCount", true, {"D:\\osk64.exe", "D:\\osk.exe"}, "OSK.exe"}),
    CaseName{});

TEST(KeyboardProgram, LooksUpCandidatesInOrderAndStopsAtTheFirstFound) {
    std::vector<std::string> asked;
    auto nothing = [&](const std::string& path) {
        asked.push_back(path);
        return false;
    };
    ChooseKeyboardProgram(kDir, false, nothing);
    EXPECT_EQ(asked, (std::vector<std::string>{kDir + "osk32.exe", kDir + "osk.exe"}));

    asked.clear();
    auto first = [&](const std::string& path) {
        asked.push_back(path);
        return true;
    };
    ChooseKeyboardProgram(kDir, true, first);
    EXPECT_EQ(asked, (std::vector<std::string>{kDir + "osk64.exe"}));
}

// Looks, with a pause after each miss, 31 times at most: no look follows the last pause.
struct AwaitRow {
    std::string name;
    int foundAtLook; // 0: never
    int looks;
    int pauses;
};

class AwaitKeyboardRows : public ::testing::TestWithParam<AwaitRow> {};

TEST_P(AwaitKeyboardRows, LooksAtMostAsOftenAsItWaits) {
    const AwaitRow& row = GetParam();
    int looks = 0, pauses = 0;
    const bool found = AwaitKeyboard([&] { return ++looks == row.foundAtLook; }, [&] { return ++pauses, true; }, 31);
    EXPECT_EQ(found, looks == row.foundAtLook);
    EXPECT_EQ(looks, row.looks);
    EXPECT_EQ(pauses, row.pauses);
}

INSTANTIATE_TEST_SUITE_P(Rows, AwaitKeyboardRows,
                         ::testing::Values(AwaitRow{"AtOnce", 1, 1, 0}, AwaitRow{"AtTheLastLook", 31, 31, 30},
                                           AwaitRow{"TooLate", 32, 31, 31}),
                         CaseName{});

} // namespace
