#include "core/store/RegistryBranch.h"
#include "core/store/SqliteHive.h"
#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

class RegistryBranchTest : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<SqliteHive> hive = SqliteHive::Open(dir.File("user.hive"));
    RegistryBranch branch{*hive, "\\eTag"};
};

TEST_F(RegistryBranchTest, PathsJoinSuiteKeySubPathAndRelativeName) {
    EXPECT_EQ(branch.FullPath("\\T1"), "Software\\Vessory\\eTag\\T1");
    EXPECT_EQ(RegistryBranch(*hive).FullPath(""), "Software\\Vessory");
}

TEST_F(RegistryBranchTest, EnumerationOfMissingKeyEmptiesTheList) {
    std::vector<std::string> names{"stale"};
    EXPECT_EQ(branch.EnumSubKeys("", names), 0);
    EXPECT_TRUE(names.empty());
}

TEST_F(RegistryBranchTest, DeleteTreeRemovesTwoLevelsAndTheKey) {
    for (const char* rel : {"\\T1\\a\\x", "\\T1\\a\\y", "\\T1\\b", "\\T2"})
        ASSERT_TRUE(branch.CreateKey(rel).has_value());
    ASSERT_TRUE(branch.CreateKey("\\T1\\a\\x")->SetDword("v", 1));
    EXPECT_TRUE(branch.DeleteTree("\\T1"));
    EXPECT_FALSE(branch.OpenKey("\\T1").has_value());
    EXPECT_FALSE(hive->KeyExists("Software\\Vessory\\eTag\\T1\\a\\x"));
    std::vector<std::string> names;
    EXPECT_EQ(branch.EnumSubKeys("", names), 1);
    EXPECT_EQ(names.front(), "T2");
    EXPECT_FALSE(branch.DeleteTree("\\Missing"));
}

TEST_F(RegistryBranchTest, SaveToFileRefusesEmptyPathExistingFileAndMissingKey) {
    ASSERT_TRUE(branch.CreateKey("\\T1").has_value());
    EXPECT_FALSE(branch.SaveToFile("", ""));

    std::string existing = dir.File("old.set");
    std::ofstream(existing) << "keep me";
    EXPECT_FALSE(branch.SaveToFile("", existing));
    std::ifstream in(existing);
    std::string content((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(content, "keep me");

    EXPECT_FALSE(branch.SaveToFile("\\Missing", dir.File("new.set")));
    EXPECT_TRUE(branch.SaveToFile("", dir.File("new.set")));
}

TEST_F(RegistryBranchTest, StringsReadThroughAFixedBuffer) {
    auto key = branch.CreateKey("\\T1");
    ASSERT_TRUE(key.has_value());
    ASSERT_TRUE(key->SetString("short", std::string(59, 'A')));
    ASSERT_TRUE(key->SetString("full", std::string(60, 'A')));
    ASSERT_TRUE(hive->SetValue(key->Path(), "zero", StringValue(std::string("AB\0CD", 5))));
    EXPECT_EQ(key->GetString("short", 60), std::string(59, 'A'));
    EXPECT_FALSE(key->GetString("full", 60).has_value());
    EXPECT_EQ(key->GetString("zero", 60), "AB");
    EXPECT_FALSE(key->GetString("missing", 60).has_value());
}

struct KeyNameCase {
    const char* name;
    std::string text;
    bool safe;
};

class KeyNameTest : public ::testing::TestWithParam<KeyNameCase> {};

TEST_P(KeyNameTest, OnlyPlainNamesMayAddressAKey) { EXPECT_EQ(IsSafeKeyName(GetParam().text), GetParam().safe); }

INSTANTIATE_TEST_SUITE_P(Names, KeyNameTest,
                         ::testing::Values(KeyNameCase{"hex", "E2003412B802011526809C4B", true},
                                           KeyNameCase{"chinese", "\xE8\xBB\x8A", true},
                                           KeyNameCase{"empty", "", false},
                                           KeyNameCase{"separator", "AB\\CD", false},
                                           KeyNameCase{"tab", "AB\tCD", false},
                                           KeyNameCase{"newline", "AB\n", false},
                                           KeyNameCase{"del", "AB\x7F", false}),
                         CaseName{});

} // namespace
