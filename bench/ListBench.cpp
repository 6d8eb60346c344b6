// The register list alone, at the sizes given (default 10,000, 100,000 and 1,000,000 rows):
// fill, header sorts, lookups right after a sort and a single-row delete, a bulk delete, and
// the list's anonymous memory per row; beside a plain sort of the same texts.
#include "BenchSupport.h"
#include "gui/controls/CListCtrlEx.h"

#include <QApplication>

#include <algorithm>
#include <vector>

namespace {

QString TagText(int i) {
    // Mixed case on purpose: the lookups below use the other case.
    return QStringLiteral("E2%1Ab").arg(static_cast<qulonglong>(i) * 7919u % 1000003u, 12, 16, QLatin1Char('0'));
}

int Run(int count) {
    using bench::Clock;
    using bench::MsSince;
    using bench::Time;

    CListCtrlEx list;
    list.resize(800, 600);
    list.SetColumns({QStringLiteral("Tag"), QStringLiteral("Plate"), QStringLiteral("Type"), QStringLiteral("*"),
                     QStringLiteral("Y")},
                    {224, 140, 112, 42, 42});
    list.EnableSortMark(true, 1);
    list.EnableSortTint(true, 0);
    list.show();
    QApplication::processEvents();

    const long anonBefore = bench::StatusKb("RssAnon");
    const QString car = QStringLiteral("Car");
    const QString motorcycle = QStringLiteral("Motorcycle");
    auto start = Clock::now();
    ListRows rows(5);
    rows.Reserve(count);
    for (int i = 0; i < count; ++i) {
        rows.Add(TagText(i));
        rows.Add(QStringLiteral("P%1").arg(i));
        rows.Add(i % 3 == 0 ? motorcycle : car);
        rows.Add(i % 2 == 0 ? u"*" : u"");
        rows.Add(i % 5 == 0 ? u"Y" : u"");
        rows.EndRow(i % 3 == 0 ? 2 : 1);
    }
    list.AppendRows(std::move(rows));
    QApplication::processEvents();
    Time(count, "fill (texts made and appended, first paint)", MsSince(start), "");
    const long anonAfter = bench::StatusKb("RssAnon");
    bench::Value(count, "anonymous memory of the list per row", (anonAfter - anonBefore) * 1024.0 / count, "B",
                 "part of <= 250 B/row for the whole program");

    start = Clock::now();
    list.SortByHeader(0);
    QApplication::processEvents();
    Time(count, "header-click sort, tag column", MsSince(start), "target < 500 ms");

    std::vector<QString> texts;
    texts.reserve(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row)
        texts.push_back(list.CellText(row, 1));
    start = Clock::now();
    std::sort(texts.begin(), texts.end());
    Time(count, "  baseline: std::sort of the plate texts (QString <)", MsSince(start), "");

    start = Clock::now();
    list.SortByHeader(1);
    QApplication::processEvents();
    Time(count, "header-click sort, plate column", MsSince(start), "target < 500 ms");

    const QString probe = TagText(count / 3).toLower();
    start = Clock::now();
    int found = list.FindRow(probe);
    Time(count, "first lookup right after a sort", MsSince(start), "target < 5 ms (Save after a sort)");

    std::vector<QString> queries;
    queries.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        queries.push_back(TagText(i).toLower());
    start = Clock::now();
    int hits = 0;
    for (const QString& query : queries)
        hits += list.FindRow(query) >= 0 ? 1 : 0;
    Time(count, "one lookup, mean of one per row", MsSince(start) / count, "");

    start = Clock::now();
    list.DeleteRow(found);
    found = list.FindRow(TagText(count / 2));
    Time(count, "single-row delete and the next lookup", MsSince(start), "target < 5 ms (Save after a delete)");

    std::vector<int> half;
    half.reserve(static_cast<std::size_t>(count) / 2);
    for (int row = 0; row < list.RowCount(); row += 2)
        half.push_back(row);
    start = Clock::now();
    list.DeleteRows(half);
    QApplication::processEvents();
    Time(count, "bulk delete of every other row", MsSince(start), "");

    start = Clock::now();
    found = list.FindRow(probe);
    Time(count, "first lookup after the bulk delete", MsSince(start), "target < 5 ms");

    const bool right = hits == count && list.RowCount() == (count - 1) - (count - 1 + 1) / 2;
    if (!right)
        std::printf("%9d  WRONG: %d of %d found, %d rows left\n", count, hits, count, list.RowCount());
    return right ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<int> sizes = bench::Sizes(argc, argv);
    int status = 0;
    if (bench::RunSizesApart(argv[0], sizes, status))
        return status;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return Run(sizes.front());
}
