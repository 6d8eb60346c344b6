#include "core/app/SettingsStore.h"
#include "core/store/SqliteHive.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

TEST(SettingsStore, ReadingTheEndpointCreatesTheKeysAndMissingValuesGiveDefaults) {
    TempDir dir;
    auto hive = SqliteHive::Open(dir.File("user.hive"));
    SettingsStore settings(*hive);
    EXPECT_EQ(settings.GetLanguage(), 0);
    std::string address = "stale";
    int port = 60000;
    settings.LoadReaderEndpoint(address, port);
    EXPECT_TRUE(hive->KeyExists("Software\\Vessory\\Vessory\\Setting"));
    EXPECT_EQ(address, "");
    EXPECT_EQ(port, 60000);
}

TEST(SettingsStore, EndpointRoundTripsAndLanguageIsReadAsStored) {
    TempDir dir;
    auto hive = SqliteHive::Open(dir.File("user.hive"));
    SettingsStore settings(*hive);
    ASSERT_TRUE(settings.SaveReaderEndpoint("127.0.0.1", 6001));
    std::string address;
    int port = 60000;
    settings.LoadReaderEndpoint(address, port);
    EXPECT_EQ(address, "127.0.0.1");
    EXPECT_EQ(port, 6001);
    ASSERT_TRUE(hive->SetValue(SettingsStore::kSettingKey, "Language", DwordValue(7)));
    EXPECT_EQ(settings.GetLanguage(), 7); // the language choice maps 7 to 0
}
