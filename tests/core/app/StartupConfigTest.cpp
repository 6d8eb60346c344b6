#include "core/app/StartupConfig.h"
#include "core/store/SqliteHive.h"
#include "tests/support/HiveFixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class StartupConfigTest : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<SqliteHive> machine = SqliteHive::Open(dir.File("machine.hive"));
    std::string windows = (dir.Path() / "windows").string();
    std::string drive = (dir.Path() / "drive").string();

    void SetUp() override {
        std::filesystem::create_directories(windows);
        std::filesystem::create_directories(drive);
    }
    void SetShell(std::optional<std::uint32_t> embedded, std::optional<std::uint32_t> embMode) {
        ASSERT_TRUE(machine->CreateKey("Software\\Korvash", nullptr));
        if (embedded) {
            ASSERT_TRUE(machine->SetValue("Software\\Korvash", "Embedded", DwordValue(*embedded)));
        }
        if (embMode) {
            ASSERT_TRUE(machine->SetValue("Software\\Korvash", "EmbMode", DwordValue(*embMode)));
        }
    }
    AppConfig Resolve() {
        StartupInputs inputs;
        inputs.windowsDir = windows; // no trailing separator: one is added
        inputs.programDir = dir.Path().string();
        inputs.dataDrive = drive;
        inputs.machineHive = machine.get();
        return ResolveAppConfig(inputs);
    }
};

TEST_F(StartupConfigTest, WithoutShellKeyTheIniIsInTheSystemFolder) {
    std::ofstream(windows + "/Orbisk.ini") << "[Setting]\nUHFREL=0\n";
    AppConfig config = Resolve();
    EXPECT_FALSE(config.embedded);
    EXPECT_EQ(config.embMode, 0);
    EXPECT_EQ(config.windowsDir, windows + "/");
    EXPECT_EQ(config.plateIniPath, windows + "/Orbisk.ini");
    EXPECT_EQ(config.settingsFilePath, "");
    EXPECT_EQ(config.uhfRel, 0);
}

TEST_F(StartupConfigTest, EmbeddedWithoutModeMeansModeOneAndUsesTheDrivesSettingFolder) {
    SetShell(1, std::nullopt);
    std::ofstream(windows + "/Orbisk.ini") << "[Setting]\nUHFREL=0\n";
    AppConfig config = Resolve();
    EXPECT_TRUE(config.embedded);
    EXPECT_EQ(config.embMode, 1);
    EXPECT_EQ(config.plateIniPath, drive + "/Setting/Orbisk.ini");
    EXPECT_EQ(config.settingsFilePath, drive + "/Setting/Vessory.set");
    EXPECT_TRUE(std::filesystem::is_directory(drive + "/Setting"));
    EXPECT_EQ(config.uhfRel, 1); // no ini in the Setting folder
}

TEST_F(StartupConfigTest, EmbeddedTwoIsNotEmbedded) {
    SetShell(2, 2);
    AppConfig config = Resolve();
    EXPECT_FALSE(config.embedded);
    EXPECT_EQ(config.embMode, 0);
}

class SuiteBackupTest : public StartupConfigTest {
protected:
    std::unique_ptr<SqliteHive> user = SqliteHive::Open(dir.File("user.hive"));
    AppConfig config;
    void SetUp() override {
        StartupConfigTest::SetUp();
        SetShell(1, 2);
        config = Resolve();
        ASSERT_TRUE(user->CreateKey("Software\\Vessory\\eTag\\T1", nullptr));
    }
};

TEST_F(SuiteBackupTest, WrittenOnlyAfterARegisterChange) {
    EXPECT_FALSE(SaveSuiteBackup(config, *user));
    EXPECT_FALSE(std::filesystem::exists(config.settingsFilePath));
    config.registerChanged = true;
    EXPECT_TRUE(SaveSuiteBackup(config, *user));
    auto saved = SqliteHive::OpenReadOnly(config.settingsFilePath);
    ASSERT_NE(saved, nullptr);
    EXPECT_TRUE(saved->KeyExists("eTag\\T1"));
}

TEST_F(SuiteBackupTest, ReplacesAnOldBackupAndKeepsItWhenTheSaveFails) {
    config.registerChanged = true;
    std::ofstream(config.settingsFilePath) << "old";
    ASSERT_TRUE(SaveSuiteBackup(config, *user));
    EXPECT_NE(std::filesystem::file_size(config.settingsFilePath), 3u);

    std::ofstream(config.settingsFilePath, std::ios::trunc) << "old";
    auto empty = SqliteHive::Open(dir.File("empty.hive")); // no suite key: the save fails
    EXPECT_FALSE(SaveSuiteBackup(config, *empty));
    EXPECT_EQ(std::filesystem::file_size(config.settingsFilePath), 3u);
}

// A write that failed (another program held the lock) means the register may not be what the
// operator believes: the last good backup stays.
TEST_F(SuiteBackupTest, KeptAfterAStoreErrorInThisRun) {
    config.registerChanged = true;
    std::ofstream(config.settingsFilePath) << "old";
    auto impatient = SqliteHive::Open(dir.File("user.hive"), 100);
    ASSERT_NE(impatient, nullptr);
    {
        HiveLockHolder other(dir.File("user.hive"), HiveLockHolder::Lock::Write);
        ASSERT_TRUE(other.Held());
        EXPECT_FALSE(impatient->CreateKey("Software\\Vessory\\eTag\\T2", nullptr));
    }
    EXPECT_FALSE(SaveSuiteBackup(config, *impatient));
    EXPECT_EQ(HiveFixtures::Bytes(config.settingsFilePath), "old");
}

TEST_F(SuiteBackupTest, NotWrittenInOtherModes) {
    config.registerChanged = true;
    config.embMode = 3;
    EXPECT_FALSE(SaveSuiteBackup(config, *user));
    EXPECT_FALSE(std::filesystem::exists(config.settingsFilePath));
}

} // namespace
