// The register in the main window at the sizes given (default 10,000, 100,000 and 1,000,000
// tags): the store's load beside a bare SQL join over the same file, the window's open and
// fill, a header sort, a Save right after the sort and right after a single-row delete, and
// the memory with the list shown.
#include "BareJoin.h"
#include "BenchSupport.h"
#include "core/app/AppConfig.h"
#include "core/app/SettingsStore.h"
#include "core/register/PlateList.h"
#include "core/register/TagStore.h"
#include "core/store/SqliteHive.h"
#include "core/text/LanguageTexts.h"
#include "gui/app/Prompts.h"
#include "gui/controls/CListCtrlEx.h"
#include "gui/exchange/BulkDelete.h"
#include "gui/register/MainDialog.h"

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

std::string TagName(int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "E2003412B8020115%08X", i);
    return buf;
}

// No boxes in a benchmark: the delete menu picks the single row and every question says yes.
class SilentPrompts : public Prompts {
public:
    void Message(QWidget*, const QString&) override {}
    void Notice(QWidget*, const QString&, const QString&) override {}
    bool Confirm(QWidget*, const QString&, const QString&) override { return true; }
    bool RetryCancel(QWidget*, const QString&) override { return false; }
    int Menu(QWidget*, const std::vector<MenuItem>&) override { return DeleteCommand::selected; }
    QString SaveFile(QWidget*, const QString&, const QString&) override { return {}; }
    QString OpenFile(QWidget*, const QString&, const QString&) override { return {}; }
};

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
            TagRecord r{TagName(i), "P" + std::to_string(i), 1 + i % 2, i % 4 == 0, i % 8 == 0};
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
    TagStore store(*hive);
    auto start = Clock::now();
    int loaded = 0;
    {
        HiveBatch snapshot(*hive, false);
        (void)store.ReadAllRecords([&loaded](const TagRecord&) { ++loaded; });
    }
    const double loadMs = MsSince(start);
    Time(count, "register load (the store's streamed read of every record)", loadMs, "");
    bench::Value(count, "  ratio to the bare join", joinMs > 0 ? loadMs / joinMs : 0.0, "x", "target <= 2x");

    AppConfig config;
    LanguageTexts texts;
    texts.LoadShared();
    PlateList cars(*hive, 1), motorcycles(*hive, 2);
    SettingsStore settings(*hive);
    RegisterContext context{config, texts, store, cars, motorcycles, settings, {}, {}};

    start = Clock::now();
    const double cpuStart = ProcessCpuMs();
    MainDialog main(context);
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
    list.SortByHeader(1);
    QApplication::processEvents();
    Time(count, "header-click sort, plate column", MsSince(start), "target < 500 ms");

    start = Clock::now();
    save(count / 3, "AFTERSORT");
    Time(count, "Save of a listed tag right after the sort", MsSince(start), "target < 5 ms");

    list.SelectRow(list.RowCount() / 2);
    const QString deleted = list.CellText(list.RowCount() / 2, 0);
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
    const std::vector<int> sizes = bench::Sizes(argc, argv);
    int status = 0;
    if (bench::RunSizesApart(argv[0], sizes, status))
        return status;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SilentPrompts silent;
    SetPrompts(&silent);
    const int result = Run(sizes.front());
    SetPrompts(nullptr);
    return result;
}
