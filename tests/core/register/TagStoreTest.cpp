#include "core/register/TagStore.h"
#include "core/store/SqliteHive.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class TagStoreTest : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<SqliteHive> hive = SqliteHive::Open(dir.File("user.hive"));
    TagStore store{*hive};

    TagRecord Record(const std::string& plate, int carType = 1) {
        TagRecord r;
        r.plate = plate;
        r.carType = carType;
        return r;
    }
    std::string KeyPath(const std::string& tag) { return "Software\\Vessory\\eTag\\" + tag; }
};

TEST_F(TagStoreTest, EmptyRegisterListsNothingAndFirstWriteCreatesTheBranch) {
    std::vector<std::string> names;
    EXPECT_EQ(store.EnumerateTags(names), 0);
    TagRecord r = Record("ABC123");
    ASSERT_TRUE(store.WriteRecord("T1", &r));
    EXPECT_EQ(store.EnumerateTags(names), 1);
    EXPECT_EQ(names, std::vector<std::string>{"T1"});
}

TEST_F(TagStoreTest, TagsDifferingOnlyInCaseAreOneRecord) {
    TagRecord r = Record("P1");
    ASSERT_TRUE(store.WriteRecord("ab", &r));
    r.plate = "P2";
    ASSERT_TRUE(store.WriteRecord("AB", &r));
    std::vector<std::string> names;
    EXPECT_EQ(store.EnumerateTags(names), 1);
    EXPECT_EQ(names.front(), "ab");
    TagRecord back;
    ASSERT_TRUE(store.ReadRecord("Ab", &back));
    EXPECT_EQ(back.plate, "P2");
}

TEST_F(TagStoreTest, RewritingKeepsStoredFlagsAndPlateHasNoTerminatingZero) {
    TagRecord r = Record("OLD", 2);
    ASSERT_TRUE(store.WriteRecord("T1", &r));
    ASSERT_TRUE(store.WriteMark("T1", 1));
    ASSERT_TRUE(store.WriteUseOk("T1", 1));
    r.plate = "NEW9";
    ASSERT_TRUE(store.WriteRecord("T1", &r));
    EXPECT_EQ(hive->GetValue(KeyPath("T1"), "LicNo")->data, "NEW9");

    TagRecord back;
    ASSERT_TRUE(store.ReadRecord("T1", &back));
    EXPECT_EQ(back.plate, "NEW9");
    EXPECT_EQ(back.carType, 2);
    EXPECT_TRUE(back.marked);
    EXPECT_TRUE(back.useOk);
}

TEST_F(TagStoreTest, MissingValuesFallBackToTheirPresets) {
    ASSERT_TRUE(hive->CreateKey(KeyPath("bare"), nullptr));
    TagRecord back = Record("stale", 2);
    back.marked = true;
    ASSERT_TRUE(store.ReadRecord("bare", &back));
    EXPECT_EQ(back.plate, "");
    EXPECT_EQ(back.carType, 1);
    EXPECT_FALSE(back.marked);
    EXPECT_FALSE(back.useOk);
}

TEST_F(TagStoreTest, StoredNumbersAreTakenAsTheSuiteWroteThem) {
    ASSERT_TRUE(hive->CreateKey(KeyPath("T5"), nullptr));
    ASSERT_TRUE(hive->SetValue(KeyPath("T5"), "CarType", DwordValue(5)));
    ASSERT_TRUE(hive->SetValue(KeyPath("T5"), "Mark", DwordValue(2)));
    ASSERT_TRUE(hive->SetValue(KeyPath("T5"), "UseOK", DwordValue(1)));
    ASSERT_TRUE(hive->SetValue(KeyPath("T5"), "LicNo", StringValue(std::string(60, 'X'))));
    TagRecord back;
    ASSERT_TRUE(store.ReadRecord("T5", &back));
    EXPECT_EQ(back.carType, 5);
    EXPECT_FALSE(back.marked);
    EXPECT_TRUE(back.useOk);
    EXPECT_EQ(back.plate, ""); // 60 bytes do not fit the 60-byte read
}

TEST_F(TagStoreTest, ReadOfMissingTagLeavesTheRecordUnchanged) {
    TagRecord back = Record("KEEP", 2);
    EXPECT_FALSE(store.ReadRecord("nope", &back));
    EXPECT_FALSE(store.ReadRecord("", &back));
    EXPECT_FALSE(store.ReadRecord("T1", nullptr));
    EXPECT_EQ(back.plate, "KEEP");
    EXPECT_EQ(back.carType, 2);
}

TEST_F(TagStoreTest, FlagWritesNeverCreateATag) {
    EXPECT_FALSE(store.WriteMark("ghost", 1));
    EXPECT_FALSE(store.WriteUseOk("ghost", 1));
    EXPECT_FALSE(hive->KeyExists(KeyPath("ghost")));
    EXPECT_FALSE(hive->KeyExists("Software\\Vessory\\eTag"));
}

TEST_F(TagStoreTest, DeleteRemovesTheTagWithItsSubkeysOnly) {
    TagRecord r = Record("P");
    ASSERT_TRUE(store.WriteRecord("T1", &r));
    ASSERT_TRUE(store.WriteRecord("T2", &r));
    ASSERT_TRUE(hive->CreateKey(KeyPath("T1") + "\\Extra\\Deeper", nullptr));
    TagRecord victim;
    victim.tagId = "T1";
    EXPECT_TRUE(store.DeleteTag(victim));
    EXPECT_FALSE(hive->KeyExists(KeyPath("T1") + "\\Extra"));
    EXPECT_FALSE(hive->KeyExists(KeyPath("T1")));
    EXPECT_TRUE(hive->KeyExists(KeyPath("T2")));
    EXPECT_TRUE(store.DeleteTag(victim)); // already gone
}

TEST_F(TagStoreTest, TagsThatWouldAddressAnotherKeyAreRefused) {
    TagRecord r = Record("P");
    for (std::string tag : {std::string(""), std::string("A\\B"), std::string("A\nB"), std::string("\\")}) {
        EXPECT_FALSE(store.WriteRecord(tag, &r)) << tag;
        EXPECT_FALSE(store.CanWrite(tag)) << tag;
        EXPECT_FALSE(store.WriteMark(tag, 1)) << tag;
    }
    for (std::string tag : {std::string(""), std::string("A\\B"), std::string("\\")}) {
        TagRecord victim;
        victim.tagId = tag;
        EXPECT_FALSE(store.DeleteTag(victim)) << tag;
    }
    std::vector<std::string> names;
    EXPECT_EQ(store.EnumerateTags(names), 0);
    EXPECT_FALSE(hive->KeyExists(KeyPath("A")));
}

// Another program of the suite may name a key with control characters: it is still the
// register's, used by its exact name. Only a new key from such text is refused.
class ForeignTagNames : public TagStoreTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(ForeignTagNames, AreReadFlaggedRewrittenAndDeletedByTheirExactName) {
    const std::string tag = GetParam();
    TagRecord r = Record("CD34");
    ASSERT_FALSE(store.WriteRecord(tag, &r));
    ASSERT_TRUE(hive->CreateKey(KeyPath(tag), nullptr) && hive->SetValue(KeyPath(tag), "CarType", DwordValue(2)));

    TagRecord read;
    ASSERT_TRUE(store.ReadRecord(tag, &read));
    EXPECT_EQ(read.carType, 2);
    EXPECT_TRUE(store.WriteMark(tag, 1));
    EXPECT_TRUE(store.WriteRecord(tag, &r));
    ASSERT_TRUE(store.ReadRecord(tag, &read));
    EXPECT_EQ(read.plate, "CD34");
    EXPECT_TRUE(read.marked);
    TagRecord victim;
    victim.tagId = tag;
    EXPECT_TRUE(store.DeleteTag(victim));
    EXPECT_FALSE(hive->KeyExists(KeyPath(tag)));
}

INSTANTIATE_TEST_SUITE_P(Names, ForeignTagNames,
                         ::testing::Values(std::string("E2\x01TAG"), std::string("TAB\tIN"), std::string("DEL\x7F")),
                         [](const auto& caseInfo) { return "Name" + std::to_string(caseInfo.index); });

TEST_F(TagStoreTest, ResetClearsEverythingButTheTag) {
    TagRecord r{"T1", "P", 2, true, true};
    TagStore::Reset(r);
    EXPECT_EQ(r.tagId, "T1");
    EXPECT_EQ(r.plate, "");
    EXPECT_EQ(r.carType, 1);
    EXPECT_FALSE(r.marked);
    EXPECT_FALSE(r.useOk);
}

// A hive whose key lookups fail, as reads of a damaged or locked store do.
class UnreadableKeysHive : public Hive {
public:
    explicit UnreadableKeysHive(Hive& wrapped) : inner(wrapped) {}
    bool failLookups = false;

    bool CreateKey(const std::string& path, bool* created) override { return inner.CreateKey(path, created); }
    bool KeyExists(const std::string& path) override {
        if (!failLookups)
            return inner.KeyExists(path);
        NoteStoreError();
        return false;
    }
    std::optional<std::vector<std::string>> SubKeys(const std::string& path) override { return inner.SubKeys(path); }
    bool DeleteKey(const std::string& path) override { return inner.DeleteKey(path); }
    bool SetValue(const std::string& path, const std::string& name, const HiveValue& value) override {
        return inner.SetValue(path, name, value);
    }
    std::optional<HiveValue> GetValue(const std::string& path, const std::string& name) override {
        return inner.GetValue(path, name);
    }
    std::optional<std::vector<std::pair<std::string, HiveValue>>> Values(const std::string& path) override {
        return inner.Values(path);
    }
    bool SaveSubtree(const std::string& path, const std::string& file) override { return inner.SaveSubtree(path, file); }
    bool BeginBatch(bool write) override { return inner.BeginBatch(write); }
    bool EndBatch(bool commit) override { return inner.EndBatch(commit); }

private:
    Hive& inner;
};

// A tag that could not be looked up is no proof that it is gone.
TEST_F(TagStoreTest, ADeleteThatCouldNotLookTheTagUpFails) {
    TagRecord record{"T1", "ABC123", 1, false, false};
    ASSERT_TRUE(store.WriteRecord("T1", &record));
    UnreadableKeysHive failing(*hive);
    failing.failLookups = true;
    EXPECT_FALSE(TagStore(failing).DeleteTag(record));
    EXPECT_TRUE(store.ReadRecord("T1", &record));
}

// Passes everything through, so the register is read the general way: a key list, then
// each key's values.
class PlainHive : public UnreadableKeysHive {
public:
    using UnreadableKeysHive::UnreadableKeysHive;
};

std::vector<TagRecord> EnumeratedAndRead(TagStore& store) {
    std::vector<std::string> names;
    store.EnumerateTags(names);
    std::vector<TagRecord> records;
    for (const std::string& name : names) {
        TagRecord record;
        record.tagId = name;
        store.ReadRecord(name, &record);
        records.push_back(record);
    }
    return records;
}

std::vector<TagRecord> Streamed(TagStore& store, bool* read) {
    std::vector<TagRecord> records;
    *read = store.ReadAllRecords([&](const TagRecord& record) { records.push_back(record); });
    return records;
}

void ExpectSame(const std::vector<TagRecord>& actual, const std::vector<TagRecord>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].tagId, expected[i].tagId) << i;
        EXPECT_EQ(actual[i].plate, expected[i].plate) << actual[i].tagId;
        EXPECT_EQ(actual[i].carType, expected[i].carType) << actual[i].tagId;
        EXPECT_EQ(actual[i].marked, expected[i].marked) << actual[i].tagId;
        EXPECT_EQ(actual[i].useOk, expected[i].useOk) << actual[i].tagId;
    }
}

// The streamed read gives the register a key list and a read per key give, odd keys and all.
TEST_F(TagStoreTest, ReadingAllRecordsAtOnceGivesWhatEnumeratingAndReadingGive) {
    bool read = false;
    EXPECT_TRUE(Streamed(store, &read).empty()); // no register yet: empty, no failure
    EXPECT_TRUE(read);

    for (const char* tag : {"b2", "A1", "a0", "C3", "\xE8\xBB\x8A" "A", "A B", "E2\x01TAG"}) {
        TagRecord record{tag, std::string("P-") + tag, 2, false, false};
        ASSERT_TRUE(hive->CreateKey(KeyPath(tag), nullptr));
        ASSERT_TRUE(hive->SetValue(KeyPath(tag), "LicNo", StringValue(record.plate)));
        ASSERT_TRUE(hive->SetValue(KeyPath(tag), "CarType", DwordValue(2)));
    }
    ASSERT_TRUE(hive->CreateKey(KeyPath("NoValues"), nullptr));
    ASSERT_TRUE(hive->CreateKey(KeyPath("A1\\Child"), nullptr)); // a subkey is no tag of its own
    ASSERT_TRUE(hive->SetValue(KeyPath("A1\\Child"), "LicNo", StringValue("CHILD")));
    ASSERT_TRUE(hive->SetValue(KeyPath("b2"), "CarType", StringValue("2"))); // not a number
    ASSERT_TRUE(hive->SetValue(KeyPath("b2"), "MARK", DwordValue(1)));
    ASSERT_TRUE(hive->SetValue(KeyPath("b2"), "useok", DwordValue(2))); // only 1 confirms
    ASSERT_TRUE(hive->SetValue(KeyPath("C3"), "licno", StringValue(std::string(61, 'L')))); // over the buffer
    ASSERT_TRUE(hive->SetValue(KeyPath("C3"), "Extra", DwordValue(7)));
    ASSERT_TRUE(hive->SetValue(KeyPath("a0"), "UseOK", DwordValue(1)));

    const std::vector<TagRecord> expected = EnumeratedAndRead(store);
    ASSERT_EQ(expected.size(), 8u);
    ExpectSame(Streamed(store, &read), expected);
    EXPECT_TRUE(read);

    PlainHive plain(*hive);
    TagStore general(plain);
    ExpectSame(Streamed(general, &read), expected);
    EXPECT_TRUE(read);
}

// Keys found or made in a batch are remembered there; a delete or a rollback must not leave a
// remembered id behind that now names nothing or another key.
TEST_F(TagStoreTest, WritesInOneBatchSurviveDeletesAndRollbacksOfTheirKeys) {
    {
        HiveBatch batch(*hive);
        TagRecord first{"T1", "OLD", 1, false, false};
        ASSERT_TRUE(store.WriteRecord("T1", &first));
        ASSERT_TRUE(store.DeleteTag(first));
        TagRecord second{"T2", "OTHER", 1, false, false};
        ASSERT_TRUE(store.WriteRecord("T2", &second)); // may take the freed id
        TagRecord again{"T1", "NEW", 2, false, false};
        ASSERT_TRUE(store.WriteRecord("T1", &again));
        ASSERT_TRUE(batch.Commit());
    }
    TagRecord read;
    ASSERT_TRUE(store.ReadRecord("T1", &read));
    EXPECT_EQ(read.plate, "NEW");
    EXPECT_EQ(read.carType, 2);
    ASSERT_TRUE(store.ReadRecord("T2", &read));
    EXPECT_EQ(read.plate, "OTHER");

    {
        HiveBatch batch(*hive);
        TagRecord gone{"T3", "GONE", 1, false, false};
        ASSERT_TRUE(store.WriteRecord("T3", &gone));
        batch.Rollback();
    }
    TagRecord later{"T4", "LATER", 1, false, false};
    ASSERT_TRUE(store.WriteRecord("T4", &later));
    EXPECT_FALSE(store.ReadRecord("T3", &read));
    ASSERT_TRUE(store.ReadRecord("T4", &read));
    EXPECT_EQ(read.plate, "LATER");
    std::vector<std::string> names;
    EXPECT_EQ(store.EnumerateTags(names), 3);
}

} // namespace
