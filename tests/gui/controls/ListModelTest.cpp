#include "gui/controls/ListModel.h"
#include "gui/controls/CaseFold.h"
#include "tests/support/CaseName.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <vector>

namespace {

struct Row {
    std::vector<QString> cells;
    qint64 data = 0;
};

struct TextMix {
    const char* name;
    int length; // long texts fill the pool with waste quickly, short ones repeat and are shared
    int distinct;
    // Removals in slices of a few rows and compactions in slices of a few cells, with event-loop
    // turns between the edits that move those slices on.
    bool stepped = false;
};

void PrintTo(const TextMix& mix, std::ostream* out) {
    *out << mix.name;
}

class ListModelUnderEdits : public testing::TestWithParam<TextMix> {};

// Random inserts, appended blocks, edits, removals and sorts, applied to the list and to plain
// rows of strings: every cell, item data and lookup must agree, also after the pool compacts.
TEST_P(ListModelUnderEdits, AgreesWithPlainRows) {
    constexpr int columns = 3;
    ListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetColumns({QStringLiteral("Tag"), QStringLiteral("Plate"), QStringLiteral("Type")});
    const bool stepped = GetParam().stepped;
    if (stepped)
        model.SetStepSizes(3, 7);
    bool sawCompacting = false;
    std::vector<Row> plain;
    std::mt19937 random(77);
    // The type column holds a few labels that repeat, as the register's does.
    auto text = [&](int column = 0) {
        const bool label = column == 2;
        const QString core = QStringLiteral("%1").arg(random() % (label ? 3 : GetParam().distinct));
        return (random() % 2 ? QStringLiteral("x") : QStringLiteral("X")) +
               core.rightJustified(label ? 1 : GetParam().length, QLatin1Char('0'));
    };
    auto anyRow = [&] { return static_cast<int>(random() % plain.size()); };

    for (int step = 0; step < 3000; ++step) {
        switch (random() % 7) {
        case 0: {
            const int at = static_cast<int>(random() % (plain.size() + 1));
            const QString key = text();
            ASSERT_EQ(model.InsertRow(at, key), at);
            plain.insert(plain.begin() + at, Row{{key, QString(), QString()}, 0});
            break;
        }
        case 1: {
            ListRows rows(columns);
            for (int n = static_cast<int>(random() % 4); n >= 0; --n) {
                Row row{{text(), text(), random() % 2 ? text(2) : QString()}, step};
                for (const QString& cell : row.cells)
                    rows.Add(cell);
                rows.EndRow(row.data);
                plain.push_back(row);
            }
            model.AppendRows(std::move(rows));
            break;
        }
        case 2:
        case 3:
            if (!plain.empty()) {
                const int row = anyRow();
                const int column = static_cast<int>(random() % columns);
                const QString cell = text(column);
                model.SetCellText(row, column, cell);
                model.SetItemData(row, step);
                plain[row].cells[column] = cell;
                plain[row].data = step;
            }
            break;
        case 4:
            if (!plain.empty()) {
                const int row = anyRow();
                model.RemoveRow(row);
                plain.erase(plain.begin() + row);
            }
            break;
        case 5:
            if (!plain.empty() && random() % 3 == 0) {
                std::vector<int> rows;
                for (int n = static_cast<int>(random() % 12); n >= 0; --n)
                    rows.push_back(anyRow());
                if (stepped)
                    model.RemoveRows(rows, [](const ListModel::Removal&) { QCoreApplication::processEvents(); });
                else
                    model.RemoveRows(rows);
                std::sort(rows.begin(), rows.end(), std::greater<>());
                rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
                for (int row : rows)
                    plain.erase(plain.begin() + row);
            }
            break;
        default:
            if (random() % 4 == 0) {
                const int column = static_cast<int>(random() % columns);
                const bool ascending = random() % 2 == 0;
                model.SortRows(column, ascending);
                std::stable_sort(plain.begin(), plain.end(), [&](const Row& a, const Row& b) {
                    const int order = CompareFolded(a.cells[column], b.cells[column]);
                    return ascending ? order < 0 : order > 0;
                });
            }
            break;
        }
        sawCompacting = sawCompacting || model.Compacting();
        if (stepped && random() % 3 == 0)
            QCoreApplication::processEvents();
        ASSERT_EQ(model.RowCount(), static_cast<int>(plain.size())) << "step " << step;
        if (step % 25 != 0 && step < 2900)
            continue;
        for (int row = 0; row < model.RowCount(); ++row) {
            for (int column = 0; column < columns; ++column)
                ASSERT_EQ(model.CellText(row, column), plain[row].cells[column]) << "step " << step << " row " << row;
            ASSERT_EQ(model.ItemData(row), plain[row].data) << "step " << step << " row " << row;
        }
        const QString key = text();
        const auto first =
            std::find_if(plain.begin(), plain.end(), [&key](const Row& row) { return EqualFolded(row.cells[0], key); });
        ASSERT_EQ(model.FindRow(key), first == plain.end() ? -1 : static_cast<int>(first - plain.begin()))
            << "step " << step;
    }
    if (stepped && GetParam().length > 10) {
        EXPECT_TRUE(sawCompacting);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, ListModelUnderEdits,
                         testing::Values(TextMix{"LongUniqueTexts", 60, 1000000}, TextMix{"ShortRepeatedTexts", 2, 30},
                                         TextMix{"LongUniqueTextsInSteps", 60, 1000000, true},
                                         TextMix{"ShortRepeatedTextsInSteps", 2, 30, true}),
                         CaseName{});

struct RemovalCase {
    const char* name;
    int rows;
    int keys;      // distinct keys; fewer than rows makes rows share keys
    int oneIn;     // each row is removed with a chance of one in this
    int sliceRows; // rows per slice of the stepped removal
    bool sliced;   // more than one slice: few runs of rows go at once, as before
};

void PrintTo(const RemovalCase& c, std::ostream* out) {
    *out << c.name;
}

class SteppedRemoval : public testing::TestWithParam<RemovalCase> {};

// A removal in slices leaves the rows that were not listed, in order and found by their keys,
// and between its slices the model is whole: every remaining row readable and found by its key.
TEST_P(SteppedRemoval, LeavesTheOtherRowsAndIsWholeBetweenSlices) {
    const RemovalCase& c = GetParam();
    ListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetStepSizes(c.sliceRows, 5);
    model.SetColumns({QStringLiteral("Tag"), QStringLiteral("Plate")});
    ListRows rows(2);
    for (int row = 0; row < c.rows; ++row) {
        rows.Add(QStringLiteral("K%1").arg(row % c.keys));
        rows.Add(QStringLiteral("plate of row %1").arg(row));
        rows.EndRow(row);
    }
    model.AppendRows(std::move(rows));
    (void)model.FindRow(QStringLiteral("k0")); // the index is built and must follow
    std::mt19937 random(c.rows);
    std::vector<int> doomed{c.rows, -1};
    std::vector<int> kept;
    for (int row = 0; row < c.rows; ++row)
        (random() % c.oneIn == 0 ? doomed : kept).push_back(row);

    int slices = 0;
    const ListModel::Removal removal = model.RemoveRows(doomed, [&](const ListModel::Removal&) {
        ++slices;
        for (int row = 0; row < model.RowCount(); ++row) {
            ASSERT_EQ(model.CellText(row, 1), QStringLiteral("plate of row %1").arg(model.ItemData(row)));
            const int found = model.FindRow(model.CellText(row, 0));
            ASSERT_GE(found, 0);
            ASSERT_LE(found, row);
            ASSERT_EQ(model.CellText(found, 0), model.CellText(row, 0));
        }
        QCoreApplication::processEvents();
    });

    EXPECT_EQ(removal.removed, std::vector<int>(doomed.begin() + 2, doomed.end()));
    EXPECT_EQ(slices > 1, c.sliced);
    ASSERT_EQ(model.RowCount(), static_cast<int>(kept.size()));
    for (int row = 0; row < model.RowCount(); ++row)
        ASSERT_EQ(model.ItemData(row), kept[row]);
    for (int key = 0; key < c.keys; ++key) {
        const auto first = std::find_if(kept.begin(), kept.end(), [&](int row) { return row % c.keys == key; });
        ASSERT_EQ(model.FindRow(QStringLiteral("k%1").arg(key)),
                  first == kept.end() ? -1 : static_cast<int>(first - kept.begin()));
    }
}

INSTANTIATE_TEST_SUITE_P(Removals, SteppedRemoval,
                         testing::Values(RemovalCase{"EveryOtherRowAtRandom", 3000, 3000, 2, 97, true},
                                         RemovalCase{"FewRowsAtRandom", 3000, 3000, 50, 64, true},
                                         RemovalCase{"EveryRowOneRun", 2000, 2000, 1, 33, false},
                                         RemovalCase{"RowsSharingKeys", 2000, 150, 3, 50, true},
                                         RemovalCase{"AFewRunsAtOnce", 3000, 3000, 1000, 64, false},
                                         RemovalCase{"OneSliceHoldsAll", 500, 500, 4, 100000, false}),
                         CaseName{});

} // namespace
