#include "gui/exchange/BulkDelete.h"
#include "gui/exchange/PlateTransfer.h"
#include "gui/exchange/TagFileImport.h"
#include "tests/support/CaseName.h"
#include "tests/support/RegisterHarness.h"
#include "tests/support/ScriptedPrompts.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

// Six tags 0..5 with plates P0..P5 (tags 0, 2 and 4 marked); the car list holds P0..P5 without
// a tag. One store operation of the command fails as a damaged page does; the ones after it
// would go through, so a command that carries on writes past the failure.
struct ReadErrorCase {
    const char* name;
    int failingOperation; // counted from the command's start
    std::function<void(RegisterView&)> run;
    std::function<bool(RegisterHarness&, int)> written; // whether row i took the command's write
    QStringList boxes;
};

void PrintTo(const ReadErrorCase& c, std::ostream* os) { *os << c.name; }

void ReadFile(RegisterView& view, int firstTag, const char* platePrefix, bool checkOnly) {
    QByteArray text;
    for (int i = 0; i < 6; ++i)
        text += QByteArray::fromStdString(TagNo(firstTag + i) + "," + platePrefix + std::to_string(i) + ",1\r\n");
    QBuffer file(&text);
    file.open(QIODevice::ReadOnly);
    (void)ImportTagFile(view, file, checkOnly);
}

const QString kUnreadable = QStringLiteral("登錄資料無法讀取，此指令不再寫入任何資料。");

bool Deleted(RegisterHarness& h, int i) { return !h.Stored(TagNo(i)).has_value(); }
bool Transferred(RegisterHarness& h, int i) { return h.PlateTag(1, "P" + std::to_string(i)) == TagNo(i); }

// Each record costs the store a fixed number of operations: import 3, check 2, delete 3, the
// transfer's walk 1 per row and its write 4; the failing one falls on the second record.
const ReadErrorCase kCases[] = {
    {"Import", 4, [](RegisterView& m) { ReadFile(m, 10, "NEW", false); },
     [](RegisterHarness& h, int i) { return h.Stored(TagNo(10 + i)).has_value(); },
     {kUnreadable, QStringLiteral("無法寫入的資料筆數: 6")}},
    // An unreadable tag is not called new, and the check ends there.
    {"ImportCheck", 4, [](RegisterView& m) { ReadFile(m, 0, "P", true); }, {}, {kUnreadable}},
    {"DeleteMarked", 4, [](RegisterView& m) { (void)DeleteRowsInScope(m, RowScope::Marked); }, Deleted,
     {kUnreadable, QStringLiteral("無法刪除的資料筆數: 3")}},
    {"DeleteUnmarked", 4, [](RegisterView& m) { (void)DeleteRowsInScope(m, RowScope::Unmarked); }, Deleted,
     {kUnreadable, QStringLiteral("無法刪除的資料筆數: 3")}},
    // An unreadable plate is not a missing one.
    {"TransferWalk", 2, [](RegisterView& m) { (void)TransferRows(m, RowScope::All); }, Transferred,
     {kUnreadable, QStringLiteral("無法寫入名單的資料筆數: 1")}},
    // An unreadable tag of a plate is not an empty one.
    {"TransferWrite", 6 + 4 + 2, [](RegisterView& m) { (void)TransferRows(m, RowScope::All); }, Transferred,
     {kUnreadable, QStringLiteral("無法寫入名單的資料筆數: 6")}},
};

class RegisterReadErrorTest : public ::testing::TestWithParam<ReadErrorCase> {
protected:
    RegisterReadErrorTest()
        : harness({{TagNo(0), "P0", 1, true}, {TagNo(1), "P1", 1}, {TagNo(2), "P2", 1, true}, {TagNo(3), "P3", 1},
                   {TagNo(4), "P4", 1, true}, {TagNo(5), "P5", 1}},
                  [](Hive& hive) {
                      for (int i = 0; i < 6; ++i)
                          RegisterHarness::AddPlate(hive, 1, "P" + std::to_string(i), std::string());
                  },
                  {.view = RegisterHarness::View::Fake, .failingReads = true}) {}

    RegisterHarness harness;
};

TEST_P(RegisterReadErrorTest, StopsWritingAndSaysTheRegisterCouldNotBeRead) {
    const ReadErrorCase& c = GetParam();
    ScriptedPrompts prompts;
    harness.FailingReads().FailOperation(c.failingOperation);
    c.run(harness.Fake());
    harness.FailingReads().FailOperation(0);
    EXPECT_EQ(prompts.Messages(), c.boxes);
    // The batch under way is rolled back: no row took a write, before the failure or after it.
    for (int i = 0; i < 6 && c.written; ++i)
        EXPECT_FALSE(c.written(harness, i)) << "row " << i;
    EXPECT_EQ(harness.Fake().RowCount(), 6); // the rows show what the store holds
}

INSTANTIATE_TEST_SUITE_P(, RegisterReadErrorTest, ::testing::ValuesIn(kCases),
                         CaseName{});

} // namespace
