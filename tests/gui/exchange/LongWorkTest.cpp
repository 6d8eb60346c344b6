#include "gui/exchange/LongWork.h"
#include "core/tagfile/TagFileLine.h"
#include "gui/exchange/BulkDelete.h"
#include "gui/exchange/PlateTransfer.h"
#include "gui/exchange/ProgressDialog.h"
#include "gui/exchange/TagFileExport.h"
#include "gui/exchange/TagFileImport.h"
#include "gui/register/RegisterColumn.h"
#include "tests/support/CaseName.h"
#include "tests/support/RegisterHarness.h"
#include "tests/support/ScriptedPrompts.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>

namespace {

// What the windows looked like when the command first served events.
struct Seen {
    bool served = false;
    bool mainEnabled = true;
    bool progressShown = false;
};

struct CommandCase {
    std::string name;
    int rows;
    // Runs the command over `rows` rows and checks that its results are those of a short run.
    std::function<void(RegisterHarness&, ScriptedPrompts&, int)> run;
};

void PrintTo(const CommandCase& c, std::ostream* out) {
    *out << c.name;
}

std::vector<SeedRecord> None() {
    return {};
}

// Marked rows without plate-list entries: in scope for every command.
void SeedMarked(Hive& hive, int rows) {
    TagStore store(hive);
    HiveBatch batch(hive);
    for (int i = 0; i < rows; ++i) {
        TagRecord record{TagNo(i), "P" + std::to_string(i), VehicleType::Car, false, false};
        (void)store.WriteRecord(record.tagId, &record);
        (void)store.WriteMark(record.tagId, 1);
    }
    (void)batch.Commit();
}

QByteArray TagFile(int rows) {
    std::string text;
    for (int i = 0; i < rows; ++i)
        text += TagFileLine::Format(TagNo(i), "P" + std::to_string(i), VehicleType::Car);
    return QByteArray::fromStdString(text);
}

void Import(RegisterHarness& h, ScriptedPrompts& prompts, int rows) {
    QByteArray bytes = TagFile(rows);
    QBuffer file(&bytes);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const TagFileImportOutcome outcome = ImportTagFile(h.Main(), file, false);
    EXPECT_EQ(outcome.lines, rows);
    EXPECT_EQ(h.List().RowCount(), rows);
    EXPECT_EQ(h.List().CellText(rows - 1, RegisterColumn::plate), QStringLiteral("P%1").arg(rows - 1));
    EXPECT_EQ(prompts.Messages().size(), 0);
}

void Check(RegisterHarness& h, ScriptedPrompts& prompts, int rows) {
    QByteArray bytes = TagFile(rows);
    QBuffer file(&bytes);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    (void)ImportTagFile(h.Main(), file, true);
    EXPECT_EQ(h.List().RowCount(), rows); // the seeded rows, untouched
    // Every plate is missing from the lists; every tag is known with the same plate.
    ASSERT_EQ(prompts.Messages().size(), rows);
    EXPECT_EQ(prompts.Messages().back(), QStringLiteral("NOT FOUND(1) => NO:P%1").arg(rows - 1));
}

void Export(RegisterHarness& h, ScriptedPrompts& prompts, int rows) {
    EXPECT_TRUE(ExportTagFile(h.Main(), RowScope::Marked, h.Path("out.txt")));
    std::ifstream in(h.File("out.txt"), std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, TagFile(rows).toStdString());
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("\n\n")});
}

void Delete(RegisterHarness& h, ScriptedPrompts& prompts, int rows) {
    const DeleteOutcome outcome = DeleteRowsInScope(h.Main(), RowScope::Marked);
    EXPECT_EQ(outcome.deleted, rows);
    EXPECT_EQ(h.List().RowCount(), 0);
    EXPECT_FALSE(h.Stored(TagNo(rows - 1)).has_value());
    EXPECT_EQ(prompts.Messages().size(), 0);
}

void Transfer(RegisterHarness& h, ScriptedPrompts& prompts, int rows) {
    EXPECT_EQ(TransferRows(h.Main(), RowScope::Marked), 0);
    ASSERT_EQ(prompts.Messages().size(), rows);
    EXPECT_EQ(
        prompts.Messages().back(),
        QStringLiteral("\nTag:%1 \nID:P%2 NOT FOUND!").arg(QString::fromStdString(TagNo(rows - 1))).arg(rows - 1));
}

class LongCommand : public testing::TestWithParam<CommandCase> {};

// Over the threshold the main window is disabled and the progress window shows while events
// are served; at the threshold no event is served mid-command. Either way the results and
// messages are the same, and afterwards the main window is enabled with no progress window.
TEST_P(LongCommand, ShowsProgressAndDisablesTheMainWindowOnlyWhenLong) {
    const CommandCase& c = GetParam();
    const bool importing = c.name.rfind("Import", 0) == 0;
    RegisterHarness harness(None(), [&](Hive& hive) {
        if (!importing)
            SeedMarked(hive, c.rows);
    });
    ScriptedPrompts prompts;
    Seen seen;
    MainDialog& main = harness.Main();
    QTimer::singleShot(0, &main, [&] {
        seen.served = true;
        seen.mainEnabled = main.isEnabled();
        const ProgressDialog* progress = main.findChild<ProgressDialog*>();
        seen.progressShown = progress && progress->isVisible();
    });

    c.run(harness, prompts, c.rows);

    const bool longWork = c.rows > LongWork::threshold;
    EXPECT_EQ(seen.served, longWork);
    EXPECT_EQ(seen.progressShown, longWork);
    EXPECT_FALSE(seen.mainEnabled && longWork);
    EXPECT_TRUE(main.isEnabled());
    EXPECT_EQ(main.findChild<ProgressDialog*>(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, LongCommand,
    testing::Values(CommandCase{"ImportShort", 5000, Import}, CommandCase{"ImportLong", 5001, Import},
                    CommandCase{"CheckLong", 5001, Check}, CommandCase{"ExportShort", 5000, Export},
                    CommandCase{"ExportLong", 5001, Export}, CommandCase{"DeleteShort", 5000, Delete},
                    CommandCase{"DeleteLong", 5001, Delete}, CommandCase{"TransferShort", 5000, Transfer},
                    CommandCase{"TransferLong", 5001, Transfer}),
    CaseName{});

// A long file is read with the window served and the progress window up, not read whole first.
TEST(LongWork, AnImportServesTheWindowWhileItReadsTheFile) {
    RegisterHarness harness;
    MainDialog& main = harness.Main();
    QByteArray bytes = TagFile(40000);
    QBuffer file(&bytes);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    qint64 readWhenServed = -1;
    bool progressShown = false;
    QTimer::singleShot(0, &main, [&] {
        readWhenServed = file.pos();
        const ProgressDialog* progress = main.findChild<ProgressDialog*>();
        progressShown = progress && progress->isVisible();
    });

    EXPECT_EQ(ImportTagFile(main, file, false).lines, 40000);

    EXPECT_GE(readWhenServed, 0);
    EXPECT_LT(readWhenServed, bytes.size());
    EXPECT_TRUE(progressShown);
}

// A long import that changes every row tells the list's views in a few ranges of rows, not in a
// signal per cell, and every row it changed lies in one of them.
TEST(LongWork, ALongImportTellsTheListOfItsChangesInAFewRanges) {
    constexpr int rows = LongWork::threshold + 1000;
    RegisterHarness harness(None(), [](Hive& hive) { SeedMarked(hive, rows); });
    MainDialog& main = harness.Main();
    std::string text;
    for (int i = 0; i < rows; ++i)
        text += TagFileLine::Format(TagNo(i), "N" + std::to_string(i), VehicleType::Car);
    QByteArray bytes = QByteArray::fromStdString(text);
    QBuffer file(&bytes);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QSignalSpy changed(main.List()->model(), &QAbstractItemModel::dataChanged);

    EXPECT_EQ(ImportTagFile(main, file, false).lines, rows);

    EXPECT_LT(changed.count(), rows / 10);
    std::vector<bool> told(rows, false);
    for (const QList<QVariant>& signal : changed) {
        for (int row = signal.at(0).value<QModelIndex>().row(); row <= signal.at(1).value<QModelIndex>().row(); ++row)
            told[size_t(row)] = true;
    }
    EXPECT_EQ(std::count(told.begin(), told.end(), false), 0);
    EXPECT_EQ(harness.List().CellText(rows - 1, RegisterColumn::plate), QStringLiteral("N%1").arg(rows - 1));
}

// Closing the main window while a long command serves events must not end it under the command.
TEST(LongWork, KeepsTheMainWindowFromClosingMeanwhile) {
    RegisterHarness harness;
    MainDialog& main = harness.Main();
    main.show();
    bool closedDuring = true;
    {
        LongWork work(main, LongWork::threshold + 1, 10);
        closedDuring = main.close();
    }
    EXPECT_FALSE(closedDuring);
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.close());
}

} // namespace
