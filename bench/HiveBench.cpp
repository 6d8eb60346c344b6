// The store's writes and reads at the sizes given (default 10,000, 100,000 and 1,000,000 tags),
// each beside the bare work it stands on: the same rows upserted straight through SQLite's C API
// into the same schema in the same batches, and a bare join over the same file.
#include "BareJoin.h"
#include "BareUpsert.h"
#include "BenchSupport.h"
#include "core/register/TagStore.h"
#include "core/store/BatchWriter.h"
#include "core/store/SqliteHive.h"
#include "core/tagfile/TagFileApply.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using bench::TagName;

std::vector<TagRecord> Rows(int count, const std::string& platePrefix) {
    std::vector<TagRecord> rows;
    rows.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        rows.push_back({TagName(i), platePrefix + std::to_string(i), bench::AlternatingVehicle(i), false, false});
    return rows;
}

// Wall-clock and processor milliseconds of one run.
struct Took {
    double ms = 0;
    double cpuMs = 0;
};

template <typename Work> Took Timed(Work&& work) {
    const double cpu = bench::CpuMs();
    const auto t = bench::Clock::now();
    work();
    return {bench::MsSince(t), bench::CpuMs() - cpu};
}

Took StoreWrite(const std::string& file, const std::vector<TagRecord>& rows) {
    auto hive = SqliteHive::Open(file);
    TagStore store(*hive);
    return Timed([&] {
        BatchWriter writer(*hive, bench::kBatch);
        (void)writer.Run(rows.size(), [&](size_t i) { return store.WriteRecord(rows[i].tagId, &rows[i]); });
    });
}

Took BareWrite(const std::string& file, const std::vector<TagRecord>& rows) {
    bench::BareUpsert bare(file);
    return Timed([&] { (void)bare.Ms(rows); });
}

void WriteLine(int count, const char* what, Took store, Took bare) {
    bench::Time(count, what, store.ms, "target: ratio below");
    bench::Time(count, "  bare SQL upsert, same rows and batches", bare.ms, "");
    bench::Value(count, "  store / bare", bare.ms > 0 ? store.ms / bare.ms : 0.0, "x", "target <= 1.5");
    bench::Value(count, "  store / bare in processor time", bare.cpuMs > 0 ? store.cpuMs / bare.cpuMs : 0.0, "x",
                 "target <= 1.5");
}

// A tag file in no order of its tags (an export sorted by plate, say), stored as the import does.
void ShuffledImportLine(int count, const std::filesystem::path& dir) {
    std::vector<TagRecord> rows = Rows(count, "ABC");
    std::shuffle(rows.begin(), rows.end(), std::mt19937(20261208));
    std::vector<TagFileEntry> entries;
    entries.reserve(rows.size());
    for (const TagRecord& row : rows)
        entries.push_back({int(entries.size()) + 1, {row.tagId, row.plate, row.carType}});
    const std::string storeFile = (dir / "shuffled-store.hive").string();
    const std::string bareFile = (dir / "shuffled-bare.hive").string();
    bench::MakeHive(storeFile);
    bench::MakeHive(bareFile);
    auto hive = SqliteHive::Open(storeFile);
    TagStore store(*hive);
    const Took stored = Timed([&] { (void)StoreTagFileEntries(store, entries); });
    const Took bare = BareWrite(bareFile, rows);
    bench::Time(count, "import's store of new tags in no order", stored.ms, "target: below the bare write");
    bench::Time(count, "  bare SQL upsert in the file's order, same batches", bare.ms, "");
    bench::Value(count, "  store / bare", bare.ms > 0 ? stored.ms / bare.ms : 0.0, "x", "");
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<int> sizes = bench::Sizes(argc, argv);
    int status = 0;
    if (bench::RunSizesApart(argv[0], sizes, status))
        return status;
    const int count = sizes.front();
    const auto dir = std::filesystem::temp_directory_path() / ("lumetra-hive-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string storeFile = (dir / "store.hive").string();
    const std::string bareFile = (dir / "bare.hive").string();
    bench::MakeHive(storeFile);
    bench::MakeHive(bareFile);

    const std::vector<TagRecord> fresh = Rows(count, "ABC");
    const std::vector<TagRecord> changed = Rows(count, "NEW");
    // Bare first on new rows, store first on updates, so neither always finds the disk warmer.
    const Took bareNew = BareWrite(bareFile, fresh);
    const Took storeNew = StoreWrite(storeFile, fresh);
    WriteLine(count, "store write of new tags, batches of 1,000", storeNew, bareNew);
    const Took storeUpdate = StoreWrite(storeFile, changed);
    const Took bareUpdate = BareWrite(bareFile, changed);
    WriteLine(count, "store write updating every tag, batches of 1,000", storeUpdate, bareUpdate);
    ShuffledImportLine(count, dir);

    {
        // One transaction per record, as a Save in the window writes.
        const int single = std::min(count, 10000);
        auto hive = SqliteHive::Open((dir / "single.hive").string());
        TagStore store(*hive);
        const auto t = bench::Clock::now();
        for (int i = 0; i < single; ++i)
            (void)store.WriteRecord(fresh[size_t(i)].tagId, &fresh[size_t(i)]);
        bench::Time(count, "store write of one record in its own transaction", bench::MsSince(t) / single, "no target");
    }
    {
        auto hive = SqliteHive::Open(storeFile);
        TagStore store(*hive);
        long records = 0;
        const Took read = Timed([&] { (void)store.ReadAllRecords([&records](const TagRecord&) { ++records; }); });

        // The same join the window's bench measures, reading the same columns.
        long long rows = 0;
        const Took bare = Timed([&] { (void)bench::BareJoinMs(storeFile, rows); });
        bench::Time(count, "store read of every record", read.ms, "target: ratio below");
        bench::Time(count, "  bare SQL join of the same values", bare.ms, "");
        bench::Value(count, "  store / bare", bare.ms > 0 ? read.ms / bare.ms : 0.0, "x", "target <= 2");
        bench::Value(count, "  store / bare in processor time", bare.cpuMs > 0 ? read.cpuMs / bare.cpuMs : 0.0, "x",
                     "target <= 2");
        if (records != count || rows != 2L * count)
            std::printf("%9d  read %ld records and %lld bare rows: not what was written\n", count, records, rows);
    }
    bench::Value(count, "hive file size", double(std::filesystem::file_size(storeFile)) / (1024.0 * 1024.0), "MB", "");
    std::filesystem::remove_all(dir);
    return 0;
}
