#include "core/store/SqliteHive.h"
#include "tests/support/PeerProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace {

class SqliteHiveTest : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<SqliteHive> hive = SqliteHive::Open(dir.File("user.hive"));
};

TEST_F(SqliteHiveTest, NamesCompareWithoutCaseAndKeepTheirCase) {
    ASSERT_NE(hive, nullptr);
    bool created = false;
    ASSERT_TRUE(hive->CreateKey("Software\\Vessory\\eTag\\ab", &created));
    EXPECT_TRUE(created);
    ASSERT_TRUE(hive->CreateKey("SOFTWARE\\vessory\\ETAG\\AB", &created));
    EXPECT_FALSE(created);
    auto names = hive->SubKeys("software\\VESSORY\\etag");
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(*names, std::vector<std::string>{"ab"});

    ASSERT_TRUE(hive->SetValue("Software\\Vessory\\eTag\\ab", "LicNo", StringValue("ABC123")));
    auto value = hive->GetValue("software\\vessory\\etag\\AB", "licno");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->data, "ABC123");
    EXPECT_EQ(value->type, ValueType::String);
}

TEST_F(SqliteHiveTest, SubKeysComeInCaseInsensitiveNameOrder) {
    for (const char* name : {"b", "C", "a", "B2"})
        ASSERT_TRUE(hive->CreateKey(std::string("k\\") + name, nullptr));
    EXPECT_EQ(hive->SubKeys("k").value(), (std::vector<std::string>{"a", "b", "B2", "C"}));
    EXPECT_FALSE(hive->SubKeys("missing").has_value());
}

TEST_F(SqliteHiveTest, RefusesMalformedPathsAndKeysWithChildren) {
    EXPECT_FALSE(hive->CreateKey("a\\\\b", nullptr));
    EXPECT_FALSE(hive->CreateKey("\\a", nullptr));
    EXPECT_FALSE(hive->CreateKey("a\\", nullptr));
    ASSERT_TRUE(hive->CreateKey("a\\b", nullptr));
    EXPECT_FALSE(hive->DeleteKey("a"));
    EXPECT_TRUE(hive->DeleteKey("a\\b"));
    EXPECT_TRUE(hive->DeleteKey("a"));
    EXPECT_FALSE(hive->KeyExists("a"));
    EXPECT_FALSE(hive->SetValue("a", "x", DwordValue(1)));
}

TEST_F(SqliteHiveTest, DwordsRoundTripAndOtherSizesAreNotDwords) {
    ASSERT_TRUE(hive->CreateKey("k", nullptr));
    ASSERT_TRUE(hive->SetValue("k", "n", DwordValue(0xA1B2C3D4u)));
    EXPECT_EQ(AsDword(hive->GetValue("k", "n").value()), 0xA1B2C3D4u);
    EXPECT_FALSE(AsDword(StringValue("abc")).has_value());
}

TEST_F(SqliteHiveTest, RolledBackBatchLeavesNothing) {
    ASSERT_TRUE(hive->BeginBatch());
    ASSERT_TRUE(hive->CreateKey("x\\y", nullptr));
    ASSERT_FALSE(hive->EndBatch(false));
    EXPECT_FALSE(hive->KeyExists("x"));
}

TEST_F(SqliteHiveTest, SavedSubtreeIsAStandaloneHiveRootedAtTheKey) {
    ASSERT_TRUE(hive->CreateKey("Software\\Vessory\\eTag\\T1", nullptr));
    ASSERT_TRUE(hive->SetValue("Software\\Vessory\\eTag\\T1", "LicNo", StringValue("P1")));
    ASSERT_TRUE(hive->SetValue("Software\\Vessory", "Top", DwordValue(7)));
    std::string file = dir.File("Vessory.set");
    ASSERT_TRUE(hive->SaveSubtree("Software\\Vessory", file));
    EXPECT_FALSE(std::filesystem::exists(file + "-wal"));

    auto saved = SqliteHive::OpenReadOnly(file);
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(AsDword(saved->GetValue("", "Top").value()), 7u);
    EXPECT_EQ(saved->GetValue("eTag\\T1", "LicNo")->data, "P1");
}

TEST_F(SqliteHiveTest, ReadOnlyHiveRefusesWritesAndMissingFileGivesNone) {
    EXPECT_EQ(SqliteHive::OpenReadOnly(dir.File("nothing.hive")), nullptr);
    ASSERT_TRUE(hive->CreateKey("k", nullptr));
    auto ro = SqliteHive::OpenReadOnly(hive->FilePath());
    ASSERT_NE(ro, nullptr);
    EXPECT_TRUE(ro->KeyExists("k"));
    EXPECT_FALSE(ro->CreateKey("k2", nullptr));
}

// The other program's side: adds a key in a write transaction, says so, and commits two
// seconds later on its own.
int CommitLater(const std::vector<std::string>& args) {
    if (args.size() != 1)
        return 64;
    sqlite3* db = nullptr;
    sqlite3_open(args[0].c_str(), &db);
    sqlite3_busy_timeout(db, 5000);
    int rc = sqlite3_exec(db, "BEGIN IMMEDIATE; INSERT INTO keys(parent, name, fold) VALUES(1, 'Other', 'other');",
                          nullptr, nullptr, nullptr);
    if (!WriteToTest(rc == SQLITE_OK ? 1 : 0))
        return 1;
    std::this_thread::sleep_for(std::chrono::seconds(2));
    rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc == SQLITE_OK ? 0 : 1;
}

[[maybe_unused]] const bool commitLaterRegistered = RegisterPeerRole("commit-later", CommitLater);

// Another program of the suite holds a write transaction for two seconds; our write waits
// for it and then succeeds, and neither record is lost.
TEST_F(SqliteHiveTest, WriteWaitsForAnotherProcessAndNothingIsLost) {
    PeerProcess other("commit-later", {hive->FilePath()});
    ASSERT_EQ(other.Read(), 1);

    EXPECT_TRUE(hive->CreateKey("Mine", nullptr));
    EXPECT_EQ(other.Wait(), 0);
    EXPECT_TRUE(hive->KeyExists("Mine"));
    EXPECT_TRUE(hive->KeyExists("Other"));
}

} // namespace

namespace {

// Enough small commits to pass the log's checkpoint size many times: the checkpoints run beside
// the writer, and the hive still closes into one whole file.
TEST_F(SqliteHiveTest, ManyCommitsCheckpointBesideTheWriterAndCloseIntoOneFile) {
    ASSERT_NE(hive, nullptr);
    const std::string big(2048, 'x');
    for (int batch = 0; batch < 40; ++batch) {
        ASSERT_TRUE(hive->BeginBatch());
        for (int i = 0; i < 100; ++i)
            ASSERT_TRUE(hive->WriteKey("Big\\K" + std::to_string(batch * 100 + i), {{"V", StringValue(big)}}));
        ASSERT_TRUE(hive->EndBatch(true));
    }
    hive.reset();
    EXPECT_FALSE(std::filesystem::exists(dir.File("user.hive-wal")));
    auto again = SqliteHive::Open(dir.File("user.hive"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->SubKeys("Big")->size(), 4000u);
    EXPECT_EQ(again->GetValue("Big\\K3999", "V")->data, big);
}

} // namespace
