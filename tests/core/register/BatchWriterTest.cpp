#include "core/register/TagStore.h"
#include "core/store/BatchWriter.h"
#include "core/store/SqliteHive.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Tag(size_t i) { return "TAG" + std::to_string(1000 + i); }

class BatchWriterTest : public ::testing::Test {
protected:
    BatchWriterTest() : hive(SqliteHive::Open(dir.File("h.hive"))), store(*hive) {}

    bool Write(size_t i) {
        TagRecord record{Tag(i), "P" + std::to_string(i), 1, false, false};
        return store.WriteRecord(record.tagId, &record);
    }
    bool Present(size_t i) {
        TagRecord record;
        return store.ReadRecord(Tag(i), &record);
    }

    TempDir dir;
    std::unique_ptr<SqliteHive> hive;
    TagStore store;
};

TEST_F(BatchWriterTest, WritesEveryOperationAcrossBatches) {
    BatchWriter writer(*hive, 4);
    auto done = writer.Run(10, [&](size_t i) { return Write(i); });
    EXPECT_EQ(done, std::vector<bool>(10, true));
    for (size_t i = 0; i < 10; ++i)
        EXPECT_TRUE(Present(i)) << i;
}

TEST_F(BatchWriterTest, AFailureThatSpoilsItsTransactionCostsOnlyItself) {
    BatchWriter writer(*hive, 4);
    // Operation 5 fails inside a nested transaction, which rolls back the whole batch 4..7.
    auto done = writer.Run(10, [&](size_t i) {
        if (i == 5) {
            EXPECT_TRUE(hive->BeginBatch(true));
            (void)hive->EndBatch(false);
            return false;
        }
        return Write(i);
    });
    std::vector<bool> expected(10, true);
    expected[5] = false;
    EXPECT_EQ(done, expected);
    for (size_t i = 0; i < 10; ++i)
        EXPECT_EQ(Present(i), i != 5) << i;
}

TEST_F(BatchWriterTest, APlainRefusalKeepsTheRestOfItsBatch) {
    BatchWriter writer(*hive, 100);
    size_t calls = 0;
    auto done = writer.Run(3, [&](size_t i) {
        ++calls;
        return i == 1 ? store.WriteRecord("bad\\name", nullptr) : Write(i);
    });
    EXPECT_EQ(done, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(calls, 3u); // the batch committed, nothing ran twice
}

TEST_F(BatchWriterTest, OnAReadOnlyHiveEveryOperationReportsItsFailure) {
    ASSERT_TRUE(Write(0));
    hive.reset();
    auto readOnly = SqliteHive::OpenReadOnly(dir.File("h.hive"));
    ASSERT_TRUE(readOnly);
    TagStore roStore(*readOnly);
    BatchWriter writer(*readOnly, 10);
    auto done = writer.Run(2, [&](size_t i) {
        TagRecord record{Tag(i), "X", 1, false, false};
        return roStore.WriteRecord(record.tagId, &record);
    });
    EXPECT_EQ(done, (std::vector<bool>{false, false}));
}

} // namespace
