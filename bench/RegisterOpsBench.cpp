// The register operations at the sizes given (default 10,000, 100,000 and 1,000,000 tags in
// the main window). Prints each command's time beside the bare work it stands on (parsing, a
// bare SQL upsert of the same rows, raw file writes, a plain scan) so the overhead shows as a
// ratio, and the longest the window went without an event-loop turn during each long command.
#include "BareUpsert.h"
#include "EventGap.h"
#include "WindowBenchSupport.h"
#include "core/store/SqliteHive.h"
#include "core/tagfile/TagFileLine.h"
#include "gui/controls/CListCtrlEx.h"
#include "gui/exchange/BulkDelete.h"
#include "gui/exchange/PlateTransfer.h"
#include "gui/exchange/TagFileExport.h"
#include "gui/exchange/TagFileImport.h"
#include "gui/register/MainDialog.h"
#include "gui/register/RegisterColumn.h"
#include "gui/register/SearchDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

int kTags = 100000; // the size of this run

using bench::TagName;

void FillRegister(Hive& hive, const std::string& platePrefix) {
    TagStore store(hive);
    HiveBatch batch(hive);
    for (int i = 0; i < kTags; ++i) {
        TagRecord r{TagName(i), platePrefix + std::to_string(i), bench::AlternatingVehicle(i), false, false};
        (void)store.WriteRecord(r.tagId, &r);
    }
    (void)batch.Commit();
}

// The bare reading of the import file: decode and parse every line, nothing else.
std::vector<TagRecord> ParseFile(const std::string& path) {
    std::vector<TagRecord> parsed;
    QFile file(QString::fromStdString(path));
    (void)file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    for (const auto& text : TagFileLine::DecodeLines({bytes.constData(), size_t(bytes.size())}))
        if (text)
            if (auto line = TagFileLine::Parse(*text))
                parsed.push_back(TagRecord{line->tagId, line->plate, line->carType, false, false});
    return parsed;
}

double Ms(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

// "12.3 ms", or microseconds when a millisecond would round to zero.
std::string Duration(double ms) {
    char text[32];
    if (ms >= 1.0)
        std::snprintf(text, sizeof text, "%8.1f ms", ms);
    else
        std::snprintf(text, sizeof text, "%8.1f us", ms * 1000.0);
    return text;
}

void Line(const char* what, double ms, const char* bare, double bareMs, const char* target) {
    std::printf("%9d  %-40s %s   %-44s %s   ratio %5.1f   (%s)\n", kTags, what, Duration(ms).c_str(), bare,
                Duration(bareMs).c_str(), bareMs > 0 ? ms / bareMs : 0.0, target);
}

void Gap(const char* what, double ms) {
    bench::Time(kTags, what, ms, "target < 100 ms (over 5,000 rows)");
}

int Run() {
    EventGap gap;
    bench::SilentPrompts silent;
    SetPrompts(&silent);

    const auto dir = std::filesystem::temp_directory_path() / ("lumetra-ops-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string hiveFile = (dir / "user.hive").string();
    const std::string bareHiveFile = (dir / "bare.hive").string();
    const std::string importFile = (dir / "zvTagIN.txt").string();
    const QString exportFile = QString::fromStdString((dir / "zvTagOUT.txt").string());

    LanguageTexts texts;
    texts.LoadShared();

    // Writes the lines of the import file for the tags in the order given.
    const auto writeImportFile = [](const std::string& name, const std::vector<int>& tags) {
        std::ofstream out(name, std::ios::binary);
        for (int i : tags)
            out << TagFileLine::Format(TagName(i), "NEW" + std::to_string(i), bench::AlternatingVehicle(i + 1));
    };
    // The window's import of a file into an empty register of its own: milliseconds and the
    // longest gap.
    const auto importIntoEmpty = [&](const std::string& name, const char* hiveName) {
        auto emptyHive = SqliteHive::Open((dir / hiveName).string());
        bench::WindowRegister emptyRegister(*emptyHive, texts);
        MainDialog window(emptyRegister.context);
        window.show();
        QApplication::processEvents();
        QFile file(QString::fromStdString(name));
        (void)file.open(QIODevice::ReadOnly);
        QElapsedTimer timer;
        timer.start();
        gap.Start();
        (void)ImportTagFile(window, file, false);
        const double longest = gap.Stop();
        return std::pair<double, double>(Ms(timer), longest);
    };

    // Import: a file that gives every tag a new plate; first into an empty register.
    std::vector<int> inOrder(size_t(kTags), 0);
    for (int i = 0; i < kTags; ++i)
        inOrder[size_t(i)] = i;
    writeImportFile(importFile, inOrder);
    // What was just written reaches the disk before anything is timed, so no figure pays for
    // flushing another's data.
    ::sync();
    {
        const auto [freshMs, freshGap] = importIntoEmpty(importFile, "fresh.hive");
        ::sync();
        QElapsedTimer timer;
        timer.start();
        const std::vector<TagRecord> parsed = ParseFile(importFile);
        const std::string bareFresh = (dir / "bare-fresh.hive").string();
        bench::MakeHive(bareFresh);
        const double bareMs = Ms(timer) + bench::BareUpsert(bareFresh).Ms(parsed);
        Line("import of every line as a new tag", freshMs, "bare: parse + bare SQL upsert, same batches", bareMs,
             "target < 8000 ms at 1,000,000");
        Gap("  longest time without an event-loop turn", freshGap);
    }
    {
        // The same lines in no order, as an export sorted by plate gives them.
        std::vector<int> shuffledTags = inOrder;
        std::shuffle(shuffledTags.begin(), shuffledTags.end(), std::mt19937(20261208));
        const std::string shuffledFile = (dir / "shuffled.txt").string();
        writeImportFile(shuffledFile, shuffledTags);
        ::sync();
        const auto [shuffledMs, shuffledGap] = importIntoEmpty(shuffledFile, "shuffled.hive");
        bench::Time(kTags, "import of the same lines in no order", shuffledMs, "target < 8000 ms at 1,000,000");
        Gap("  longest time without an event-loop turn", shuffledGap);
        ::sync();
    }

    auto hive = SqliteHive::Open(hiveFile);
    auto bareHive = SqliteHive::Open(bareHiveFile);
    FillRegister(*hive, "OLD");
    FillRegister(*bareHive, "OLD");
    ::sync();

    bench::WindowRegister windowRegister(*hive, texts);
    QElapsedTimer timer;
    timer.start();
    MainDialog main(windowRegister.context);
    main.show();
    QApplication::processEvents();
    std::printf("%9d  main window with %d tags opened in %lld ms\n", kTags, main.List()->RowCount(),
                static_cast<long long>(Ms(timer)));

    QFile file(QString::fromStdString(importFile));
    (void)file.open(QIODevice::ReadOnly);
    timer.restart();
    gap.Start();
    TagFileImportOutcome outcome = ImportTagFile(main, file, false);
    const double importGap = gap.Stop();
    const double importMs = Ms(timer);
    ::sync();
    file.close();

    timer.restart();
    const std::vector<TagRecord> parsed = ParseFile(importFile);
    const double parseMs = Ms(timer);
    const double rawWriteMs = bench::BareUpsert(bareHiveFile).Ms(parsed);
    Line("import of every line updating all", importMs, "bare: parse + bare SQL upsert, same batches",
         parseMs + rawWriteMs, "target < 5000 ms at 1,000,000");
    Gap("  longest time without an event-loop turn", importGap);
    std::printf("%9d    of which parsing %lld ms; lines applied %d, failed %d, rows %d\n", kTags,
                static_cast<long long>(parseMs), outcome.lines, outcome.failed, main.List()->RowCount());

    // The import check of the same file: every line read against the register and plate lists.
    {
        QFile again(QString::fromStdString(importFile));
        (void)again.open(QIODevice::ReadOnly);
        timer.restart();
        gap.Start();
        (void)ImportTagFile(main, again, true);
        const double checkGap = gap.Stop();
        bench::Time(kTags, "import check of every line", Ms(timer), "no time target; gap below");
        Gap("  longest time without an event-loop turn", checkGap);
    }

    // Export of every row.
    timer.restart();
    gap.Start();
    (void)ExportTagFile(main, RowScope::All, exportFile);
    const double exportGap = gap.Stop();
    const double exportMs = Ms(timer);
    timer.restart();
    const QByteArray exported = TagFileBytes(main, RowScope::All);
    const double buildMs = Ms(timer);
    timer.restart();
    {
        // As durable as the export: written, forced to disk, closed.
        const int fd = ::open((dir / "raw.txt").string().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        (void)!::write(fd, exported.constData(), size_t(exported.size()));
        (void)::fsync(fd);
        ::close(fd);
    }
    const double rawFileMs = Ms(timer);
    Line("export of all rows", exportMs, "bare: raw write + fsync of the same bytes", rawFileMs,
         "target < 500 ms at 100,000");
    Gap("  longest time without an event-loop turn", exportGap);
    std::printf("%9d    of which reading the rows and encoding: %lld ms; file %lld bytes\n", kTags,
                static_cast<long long>(buildMs), static_cast<long long>(exported.size()));

    // One search step that finds the last row.
    CListCtrlEx& list = *main.List();
    const int lastRow = list.RowCount() - 1;
    SearchDialog search(list, 2, texts, {}, &main);
    search.ColumnChooser()->setCurrentIndex(1);
    search.SearchField()->setText(list.CellText(lastRow, RegisterColumn::plate).toLower());
    timer.restart();
    const SearchDialog::StepResult step = search.FindStep();
    const double searchMs = Ms(timer);
    QStringList plates;
    plates.reserve(list.RowCount());
    for (int row = 0; row < list.RowCount(); ++row)
        plates << list.CellText(row, RegisterColumn::plate);
    const QString needle = list.CellText(lastRow, RegisterColumn::plate);
    timer.restart();
    int found = -1;
    for (int row = 0; row < plates.size() && found < 0; ++row)
        if (plates[row].contains(needle))
            found = row;
    const double scanMs = Ms(timer);
    Line("search step finding the last row", searchMs, "bare: scan of the plate texts", scanMs, "target < 50 ms");
    std::printf("%9d    found row %d (%s), bare scan found %d\n", kTags, list.SelectedFocusedRow(),
                step == SearchDialog::StepResult::Found ? "hit" : "miss", found);

    // Transfer of every row's tag into the plate lists, which hold every plate.
    {
        HiveBatch batch(*hive);
        for (int row = 0; row < list.RowCount(); ++row) {
            PlateList& plateList = main.Context().PlatesOf(main.RowCarType(row));
            (void)plateList.CreateKey("\\" + list.CellText(row, RegisterColumn::plate).toStdString());
        }
        (void)batch.Commit();
    }
    timer.restart();
    gap.Start();
    const int transferred = TransferRows(main, RowScope::All);
    const double transferGap = gap.Stop();
    bench::Time(kTags, "transfer of every row into the plate lists", Ms(timer), "no time target; gap below");
    Gap("  longest time without an event-loop turn", transferGap);
    std::printf("%9d    tags written into the lists %d\n", kTags, transferred);

    // Delete of the half of the rows that are marked.
    std::vector<std::string> doomed;
    for (int row = 0; row < list.RowCount(); row += 2) {
        list.SetCellText(row, 3, QStringLiteral("*"));
        doomed.push_back(list.CellText(row, RegisterColumn::tag).toStdString());
    }
    timer.restart();
    gap.Start();
    DeleteOutcome gone = DeleteRowsInScope(main, RowScope::Marked);
    const double deleteGap = gap.Stop();
    const double deleteMs = Ms(timer);
    timer.restart();
    {
        TagStore bareStore(*bareHive);
        HiveBatch batch(*bareHive);
        TagRecord r;
        for (const std::string& tag : doomed) {
            r.tagId = tag;
            (void)bareStore.DeleteTag(r);
        }
        (void)batch.Commit();
    }
    const double rawDeleteMs = Ms(timer);
    Line("delete of every other row, marked", deleteMs, "bare: one-batch raw delete of the same keys", rawDeleteMs,
         "target < 2000 ms at 100,000");
    Gap("  longest time without an event-loop turn", deleteGap);
    std::printf("%9d    deleted %d, failed %d, rows left %d\n", kTags, gone.deleted, gone.failed, list.RowCount());

    SetPrompts(nullptr);
    std::filesystem::remove_all(dir);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    return bench::RunSizesOffscreen(argc, argv, [](int size) {
        kTags = size;
        return Run();
    });
}
