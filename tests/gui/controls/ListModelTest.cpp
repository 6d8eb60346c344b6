#include "gui/controls/CaseFold.h"
#include "gui/controls/ListModel.h"
#include "tests/support/CaseName.h"

#include <QAbstractItemModelTester>

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
}

INSTANTIATE_TEST_SUITE_P(Texts, ListModelUnderEdits,
                         testing::Values(TextMix{"LongUniqueTexts", 60, 1000000}, TextMix{"ShortRepeatedTexts", 2, 30}),
                         CaseName{});

} // namespace
