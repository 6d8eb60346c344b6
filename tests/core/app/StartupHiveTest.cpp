// Start-up while another program of the suite writes the shared hive: it only reads.
#include "core/app/SettingsStore.h"
#include "core/store/SqliteHive.h"
#include "tests/support/HiveFixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

TEST(StartupHiveTest, OpensAndReadsTheLanguageWithoutTheWriteLock) {
    TempDir dir;
    std::string file = dir.File("user.hive");
    ASSERT_TRUE(HiveFixtures::MakeRegister(file, 10)); // no settings yet
    HiveLockHolder other(file, HiveLockHolder::Lock::Write);
    ASSERT_TRUE(other.Held());

    auto hive = SqliteHive::Open(file, 200);
    ASSERT_NE(hive, nullptr);
    EXPECT_EQ(SettingsStore(*hive).GetLanguage(), 0);
    EXPECT_EQ(hive->StoreErrors(), 0);
    hive.reset();
    EXPECT_TRUE(other.Release());

    auto after = SqliteHive::Open(file);
    ASSERT_NE(after, nullptr);
    EXPECT_FALSE(after->KeyExists(SettingsStore::kSettingKey)); // reading wrote nothing
}
