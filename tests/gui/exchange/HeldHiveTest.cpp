#include "gui/exchange/BulkDelete.h"
#include "gui/exchange/PlateTransfer.h"
#include "gui/exchange/TagFileImport.h"
#include "tests/support/CaseName.h"
#include "tests/support/HivePeer.h"
#include "tests/support/RegisterHarness.h"
#include "tests/support/ScriptedPrompts.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

// Another program holds the hive's write lock while a multi-row command writes three rows.
struct HeldCase {
    const char* name;
    std::function<void(RegisterView&)> run;
    std::function<bool(RegisterHarness&, int)> applied; // whether row i took effect
    QString failureBox;
};

void PrintTo(const HeldCase& c, std::ostream* os) { *os << c.name; }

void Import(RegisterView& view) {
    QByteArray text;
    for (int i = 0; i < 3; ++i)
        text += QByteArray::fromStdString(TagNo(10 + i) + ",NEW" + std::to_string(i) + ",1\r\n");
    QBuffer file(&text);
    file.open(QIODevice::ReadOnly);
    (void)ImportTagFile(view, file, false);
}

const HeldCase kCases[] = {
    {"Import", Import, [](RegisterHarness& h, int i) { return h.Stored(TagNo(10 + i)).has_value(); },
     QStringLiteral("無法寫入的資料筆數: 3")},
    {"BulkDelete", [](RegisterView& view) { (void)DeleteRowsInScope(view, RowScope::All); },
     [](RegisterHarness& h, int i) { return !h.Stored(TagNo(i)).has_value(); },
     QStringLiteral("無法刪除的資料筆數: 3")},
    {"PlateTransfer", [](RegisterView& view) { (void)TransferRows(view, RowScope::All); },
     [](RegisterHarness& h, int i) { return h.PlateTag(1, "P" + std::to_string(i)) == TagNo(i); },
     QStringLiteral("無法寫入名單的資料筆數: 3")},
};

// Lets the other program go when the question comes, then answers Retry.
class ReleasingPrompts : public ScriptedPrompts {
public:
    explicit ReleasingPrompts(HivePeer& holder) : peer(holder) {}
    bool RetryCancel(QWidget* parent, const QString& text) override {
        EXPECT_EQ(peer.Ask("release"), "ok");
        ScriptedPrompts::RetryCancel(parent, text);
        return true;
    }

private:
    HivePeer& peer;
};

class HeldHiveTest : public ::testing::TestWithParam<HeldCase> {
protected:
    HeldHiveTest()
        : harness({{TagNo(0), "P0", 1}, {TagNo(1), "P1", 1}, {TagNo(2), "P2", 1}},
                  [](Hive& hive) {
                      for (int i = 0; i < 3; ++i)
                          RegisterHarness::AddPlate(hive, 1, "P" + std::to_string(i), std::string());
                  },
                  {.view = RegisterHarness::View::Fake, .busyTimeoutMs = 100}),
          peer(harness.File("user.hive")) {}

    int Applied() {
        int n = 0;
        for (int i = 0; i < 3; ++i)
            n += GetParam().applied(harness, i) ? 1 : 0;
        return n;
    }

    RegisterHarness harness;
    HivePeer peer;
};

TEST_P(HeldHiveTest, CancelAsksOnceAndReportsEveryRowNotWritten) {
    ScriptedPrompts prompts;
    prompts.retryAnswers = {false};
    ASSERT_EQ(peer.Ask("hold"), "ok");
    GetParam().run(harness.Fake());
    EXPECT_EQ(prompts.Count(QStringLiteral("retry")), 1);
    EXPECT_EQ(prompts.Messages(), QStringList{GetParam().failureBox});
    ASSERT_EQ(peer.Ask("release"), "ok");
    EXPECT_EQ(Applied(), 0);
    EXPECT_EQ(harness.Fake().RowCount(), 3); // the rows show what the store holds
}

TEST_P(HeldHiveTest, RetryAfterTheOtherProgramLetGoWritesEveryRow) {
    ReleasingPrompts prompts(peer);
    ASSERT_EQ(peer.Ask("hold"), "ok");
    GetParam().run(harness.Fake());
    EXPECT_EQ(prompts.Count(QStringLiteral("retry")), 1);
    EXPECT_EQ(prompts.Messages(), QStringList());
    EXPECT_EQ(Applied(), 3);
}

INSTANTIATE_TEST_SUITE_P(, HeldHiveTest, ::testing::ValuesIn(kCases),
                         CaseName{});

} // namespace
