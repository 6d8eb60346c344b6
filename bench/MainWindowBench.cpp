// The register in the main window at the sizes given (default 10,000, 100,000 and 1,000,000
// tags): the store's load beside a bare SQL join over the same file, the window's open and
// fill, a header sort, a Save right after the sort and right after a single-row delete, and
// the memory with the list shown.
#include "BareJoin.h"
#include "WindowBenchSupport.h"
#include "core/store/SqliteHive.h"
#include "gui/controls/CListCtrlEx.h"
#include "gui/exchange/BulkDelete.h"
#include "gui/register/MainDialog.h"
#include "gui/register/RegisterColumn.h"

#include <QApplication>
#include <QLineEdit>

#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// On a shared machine the processor time says what the work cost apart from waits for a core.
double ProcessCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

using bench::TagName;

int Run(int count) {
    using bench::Clock;
    using bench::MsSince;
    using bench::Time;

    const auto dir = std::filesystem::temp_directory_path() / ("lumetra-main-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "user.hive").string();
    {
        auto hive = SqliteHive::Open(file);
        TagStore store(*hive);
        auto start = Clock::now();
        HiveBatch batch(*hive);
        for (int i = 0; i < count; ++i) {
            TagRecord r{TagName(i), "P" + std::to_string(i), bench::AlternatingVehicle(i), i % 4 == 0, i % 8 == 0};
            (void)store.WriteRecord(r.tagId, &r);
            if (r.marked)
                (void)store.WriteMark(r.tagId, 1);
            if (r.useOk)
                (void)store.WriteUseOk(r.tagId, 1);
        }
        (void)batch.Commit();
        Time(count, "fixture: store writes in one batch", MsSince(start), "");
    }

    long long values = 0;
    const double joinMs = bench::BareJoinMs(file, values);
    Time(count, "  baseline: bare SQL join of keys and values", joinMs, "");

    const long anonStart = bench::StatusKb("RssAnon");
    auto hive = SqliteHive::Open(file);
    LanguageTexts texts;
    texts.LoadShared();
    bench::WindowRegister windowRegister(*hive, texts);
    TagStore& store = windowRegister.store;
    auto start = Clock::now();
    int loaded = 0;
    {
        HiveBatch snapshot(*hive, false);
        (void)store.ReadAllRecords([&loaded](const TagRecord&) { ++loaded; });
    }
    const double loadMs = MsSince(start);
    Time(count, "register load (the store's streamed read of every record)", loadMs, "");
    bench::Value(count, "  ratio to the bare join", joinMs > 0 ? loadMs / joinMs : 0.0, "x", "target <= 2x");

    start = Clock::now();
    const double cpuStart = ProcessCpuMs();
    MainDialog main(windowRegister.context);
    main.show();
    QApplication::processEvents();
    Time(count, "main window open + fill + first paint", MsSince(start), "target < 2000 ms");
    Time(count, "  of which processor time", ProcessCpuMs() - cpuStart, "");
    CListCtrlEx& list = *main.List();
    auto save = [&main](int i, const char* plate) {
        main.TagField()->setText(QString::fromStdString(TagName(i)));
        main.PlateField()->setText(QString::fromLatin1(plate));
        main.Save();
    };
    save(0, "WARMUP"); // the first write of a session sets up the write-ahead log

    start = Clock::now();
    list.SortByHeader(RegisterColumn::plate);
    QApplication::processEvents();
    Time(count, "header-click sort, plate column", MsSince(start), "target < 500 ms");

    start = Clock::now();
    save(count / 3, "AFTERSORT");
    Time(count, "Save of a listed tag right after the sort", MsSince(start), "target < 5 ms");

    list.SelectRow(list.RowCount() / 2);
    const QString deleted = list.CellText(list.RowCount() / 2, RegisterColumn::tag);
    RunDeleteMenu(main);
    start = Clock::now();
    save(count / 5, "AFTERDEL");
    Time(count, "Save of a listed tag right after a single-row delete", MsSince(start), "target < 5 ms");

    std::vector<int> listed;
    for (int i = 0; listed.size() < 1000 && i < count; ++i) {
        if (QString::fromStdString(TagName(i * 97 % count)) != deleted)
            listed.push_back(i * 97 % count);
    }
    start = Clock::now();
    for (int i : listed)
        save(i, "AGAIN");
    Time(count, "Save of a listed tag, mean of 1,000", MsSince(start) / static_cast<double>(listed.size()), "");

    QApplication::processEvents();
    const long rss = bench::StatusKb("VmRSS");
    const long anon = bench::StatusKb("RssAnon");
    bench::Value(count, "resident memory with the list shown", rss / 1024.0, "MB", "target < 450 MB");
    bench::Value(count, "  of which files mapped (hive, libraries)", bench::StatusKb("RssFile") / 1024.0, "MB", "");
    bench::Value(count, "anonymous memory per row (whole process)", anon * 1024.0 / count, "B",
                 "target <= 250 B/row at 1,000,000");
    bench::Value(count, "anonymous memory per row (store and window)", (anon - anonStart) * 1024.0 / count, "B", "");

    start = Clock::now();
    {
        HiveBatch snapshot(*hive, false);
        std::vector<std::string> names;
        store.EnumerateTags(names);
        TagRecord r;
        for (const auto& name : names)
            store.ReadRecord(name, &r);
    }
    Time(count, "register load as a key list, then a read per key", MsSince(start), "");

    const bool right = loaded == count && list.RowCount() == count - 1;
    if (!right)
        std::printf("%9d  WRONG: %d rows listed\n", count, list.RowCount());
    std::filesystem::remove_all(dir);
    return right ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    return bench::RunSizesOffscreen(argc, argv, [](int size) {
        // The delete menu picks the single row.
        bench::SilentPrompts silent(DeleteCommand::selected);
        SetPrompts(&silent);
        const int result = Run(size);
        SetPrompts(nullptr);
        return result;
    });
}
