#include "core/register/TagStore.h"
#include "core/store/SqliteHive.h"
#include "core/tagfile/TagFileApply.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TagFileEntry Entry(int lineNumber, const std::string& tag, const std::string& plate) {
    return {lineNumber, {tag, plate, VehicleType::Car}};
}

// The store takes the lines in its own order; outcomes still answer line by line, and the last
// line of a tag (in any letter case) still wins.
TEST(StoreTagFileEntries, WritesInTagOrderButAnswersPerLineAndTheLastLineOfATagWins) {
    TempDir dir;
    auto hive = SqliteHive::Open(dir.File("user.hive"));
    ASSERT_TRUE(hive);
    TagStore store(*hive);
    const std::vector<TagFileEntry> entries = {
        Entry(1, "E2000000000000000000000C", "FIRST-C"), Entry(2, "E2000000000000000000000A", "ONLY-A"),
        Entry(3, "BAD\\NAME0000000000000000", "REFUSED"), Entry(4, "e2000000000000000000000c", "SECOND-C"),
        Entry(5, "E2000000000000000000000B", "ONLY-B"),   Entry(6, "E2000000000000000000000C", "LAST-C"),
    };
    size_t newTags = 0;
    const std::vector<TagLineOutcome> outcomes = StoreTagFileEntries(store, entries, {}, {}, &newTags);
    EXPECT_EQ(newTags, 3u); // a tag's later lines find it made
    EXPECT_EQ(outcomes, (std::vector<TagLineOutcome>{TagLineOutcome::Stored, TagLineOutcome::Stored,
                                                     TagLineOutcome::RefusedName, TagLineOutcome::Stored,
                                                     TagLineOutcome::Stored, TagLineOutcome::Stored}));
    for (const auto& [tag, plate] : std::vector<std::pair<std::string, std::string>>{
             {"E2000000000000000000000A", "ONLY-A"},
             {"E2000000000000000000000B", "ONLY-B"},
             {"E2000000000000000000000C", "LAST-C"}}) {
        TagRecord record;
        ASSERT_TRUE(store.ReadRecord(tag, &record)) << tag;
        EXPECT_EQ(record.plate, plate) << tag;
    }
    std::vector<std::string> names;
    EXPECT_EQ(store.EnumerateTags(names), 3);
    (void)StoreTagFileEntries(store, entries, {}, {}, &newTags);
    EXPECT_EQ(newTags, 0u);
}

} // namespace
