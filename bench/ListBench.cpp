// Times the register list at the size the main window must handle: fill, one header sort,
// a lookup per row, and a bulk delete of half the rows.
#include "CListCtrlEx.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
constexpr int rowCount = 100000;

QString TagText(int i) {
    // Mixed case on purpose: the lookups below use the other case.
    return QStringLiteral("E2%1Ab").arg(static_cast<qulonglong>(i) * 7919u % 1000003u, 12, 16, QLatin1Char('0'));
}

void Report(const char* what, QElapsedTimer& timer) {
    std::printf("%-40s %8lld ms\n", what, static_cast<long long>(timer.restart()));
}
} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    CListCtrlEx list;
    list.resize(800, 600);
    list.SetColumns({QStringLiteral("Tag"), QStringLiteral("Plate"), QStringLiteral("Type"), QStringLiteral("*"),
                     QStringLiteral("Y")},
                    {224, 140, 112, 42, 42});
    list.EnableSortMark(true, 1);
    list.EnableSortTint(true, 0);
    list.show();
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rowCount; ++i) {
        const int row = list.AppendRow(TagText(i));
        list.SetCellText(row, 1, QStringLiteral("P%1").arg(i));
        list.SetCellText(row, 2, i % 3 == 0 ? QStringLiteral("Motorcycle") : QStringLiteral("Car"));
        list.SetCellText(row, 3, i % 2 == 0 ? QStringLiteral("*") : QString());
        list.SetCellText(row, 4, i % 5 == 0 ? QStringLiteral("Y") : QString());
        list.SetItemData(row, i % 3 == 0 ? 2 : 1);
    }
    QApplication::processEvents();
    Report("fill 100000 rows x 5 columns", timer);

    list.SortByHeader(0);
    QApplication::processEvents();
    Report("header-click sort (column 0)", timer);

    QStringList queries;
    queries.reserve(rowCount);
    for (int i = 0; i < rowCount; ++i)
        queries.push_back(TagText(i).toLower());
    timer.restart();
    int found = 0;
    for (const QString& query : queries)
        found += list.FindRow(query) >= 0 ? 1 : 0;
    Report("100000 FindRow (first rebuilds index)", timer);

    std::vector<int> half;
    half.reserve(rowCount / 2);
    for (int row = 0; row < rowCount; row += 2)
        half.push_back(row);
    list.DeleteRows(half);
    QApplication::processEvents();
    Report("DeleteRows of 50000 rows", timer);

    int foundAfter = 0;
    for (const QString& query : queries)
        foundAfter += list.FindRow(query) >= 0 ? 1 : 0;
    Report("100000 FindRow after the delete", timer);

    std::printf("found %d before, %d after; %d rows left\n", found, foundAfter, list.RowCount());
    return found == rowCount && list.RowCount() == rowCount / 2 ? 0 : 1;
}
