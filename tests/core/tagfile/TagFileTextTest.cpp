#include "core/tagfile/TagFileText.h"
#include "core/text/CodePage.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// Rows without a Big5 form on both sides of the seams between runs of conversion (runs of
// 64 KiB of these lines end after rows 1851, 3672 and 5493), and at the ends.
TEST(TagFileTextOfRows, RowsWithoutBig5AreFoundWhereverTheyFall) {
    std::vector<TagFileRow> rows;
    for (int i = 0; i < 6000; ++i)
        rows.push_back({"E20000172211010012" + std::to_string(100000 + i), "臺" + std::to_string(i), 1 + i % 2});
    const std::vector<size_t> odd = {0, 1851, 1852, 3672, 3673, 5493, 5494, 5999};
    for (size_t i : odd)
        rows[i].plate = "粤" + std::to_string(i);
    std::string utf8, big5;
    std::vector<std::string> without;
    for (const TagFileRow& row : rows) {
        const std::string line = row.tagId + "," + row.plate + "," + std::to_string(row.carType) + "\r\n";
        utf8 += line;
        if (std::optional<std::string> bytes = Utf8ToBig5(line))
            big5 += *bytes;
        else
            without.push_back(row.tagId);
    }
    const TagFileText text = TagFileTextOfRows(rows);
    EXPECT_EQ(text.utf8, utf8);
    EXPECT_EQ(text.big5, big5);
    EXPECT_EQ(text.withoutBig5, without);
    EXPECT_EQ(without.size(), odd.size());
}

} // namespace
