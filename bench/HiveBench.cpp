// The store's writes and reads at the sizes given (default 10,000, 100,000 and 1,000,000 tags),
// each beside the bare work it stands on: the same rows upserted straight through SQLite's C API
// into the same schema in the same batches, and a bare join over the same file.
#include "BatchWriter.h"
#include "BenchSupport.h"
#include "SqliteHive.h"
#include "TagStore.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t kBatch = 1000; // as the import writes

std::string TagName(int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "E2003412B8020115%08X", i);
    return buf;
}

std::vector<TagRecord> Rows(int count, const std::string& platePrefix) {
    std::vector<TagRecord> rows;
    rows.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        rows.push_back({TagName(i), platePrefix + std::to_string(i), 1 + i % 2, false, false});
    return rows;
}

// A hive file with its tables and the register's key, as the store makes it.
void MakeHive(const std::string& file) {
    auto hive = SqliteHive::Open(file);
    (void)hive->CreateKey("Software\\Vessory\\eTag", nullptr);
}

double StoreWriteMs(const std::string& file, const std::vector<TagRecord>& rows) {
    auto hive = SqliteHive::Open(file);
    TagStore store(*hive);
    const auto t = bench::Clock::now();
    BatchWriter writer(*hive, kBatch);
    (void)writer.Run(rows.size(), [&](size_t i) { return store.WriteRecord(rows[i].tagId, &rows[i]); });
    return bench::MsSince(t);
}

// What a program that knows the schema would do for each row: find the tag's key or insert it,
// then upsert its two values.
class BareUpsert {
public:
    explicit BareUpsert(const std::string& file) {
        sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        for (const char* pragma :
             {"PRAGMA cache_size=-32768", "PRAGMA mmap_size=33554432", "PRAGMA synchronous=NORMAL"})
            sqlite3_exec(db, pragma, nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(db, "SELECT id FROM keys WHERE fold = ?1", -1, &find, nullptr);
        sqlite3_prepare_v2(db, "INSERT INTO keys(parent, name, fold) VALUES(?1, ?2, ?3)", -1, &insert, nullptr);
        sqlite3_prepare_v2(db,
                           "INSERT INTO vals(key, name, type, data) VALUES(?1, ?2, ?3, ?4) "
                           "ON CONFLICT(key, name) DO UPDATE SET type = ?3, data = ?4",
                           -1, &upsert, nullptr);
        sqlite3_bind_text(find, 1, kParent, -1, SQLITE_STATIC);
        if (sqlite3_step(find) == SQLITE_ROW)
            parent = sqlite3_column_int64(find, 0);
        sqlite3_reset(find);
    }
    ~BareUpsert() {
        sqlite3_finalize(find);
        sqlite3_finalize(insert);
        sqlite3_finalize(upsert);
        sqlite3_close(db);
    }
    BareUpsert(const BareUpsert&) = delete;
    BareUpsert& operator=(const BareUpsert&) = delete;

    double Ms(const std::vector<TagRecord>& rows) {
        const auto t = bench::Clock::now();
        std::string fold = kParent;
        fold += '\\';
        const size_t stem = fold.size();
        for (size_t begin = 0; begin < rows.size(); begin += kBatch) {
            sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
            for (size_t i = begin; i < std::min(rows.size(), begin + kBatch); ++i) {
                const TagRecord& r = rows[i];
                fold.resize(stem);
                for (char c : r.tagId)
                    fold += c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
                sqlite3_bind_text(find, 1, fold.data(), int(fold.size()), SQLITE_STATIC);
                long long id = 0;
                if (sqlite3_step(find) == SQLITE_ROW)
                    id = sqlite3_column_int64(find, 0);
                sqlite3_reset(find);
                if (id == 0) {
                    sqlite3_bind_int64(insert, 1, parent);
                    sqlite3_bind_text(insert, 2, r.tagId.data(), int(r.tagId.size()), SQLITE_STATIC);
                    sqlite3_bind_text(insert, 3, fold.data(), int(fold.size()), SQLITE_STATIC);
                    sqlite3_step(insert);
                    sqlite3_reset(insert);
                    id = sqlite3_last_insert_rowid(db);
                }
                const char type[4] = {char(r.carType), 0, 0, 0};
                Value(id, "LicNo", 1, r.plate.data(), r.plate.size());
                Value(id, "CarType", 4, type, sizeof type);
            }
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        }
        return bench::MsSince(t);
    }

private:
    static constexpr const char* kParent = "software\\vessory\\etag";

    void Value(long long id, const char* name, int type, const char* data, size_t size) {
        sqlite3_bind_int64(upsert, 1, id);
        sqlite3_bind_text(upsert, 2, name, -1, SQLITE_STATIC);
        sqlite3_bind_int(upsert, 3, type);
        sqlite3_bind_blob(upsert, 4, data, int(size), SQLITE_STATIC);
        sqlite3_step(upsert);
        sqlite3_reset(upsert);
    }

    sqlite3* db = nullptr;
    sqlite3_stmt* find = nullptr;
    sqlite3_stmt* insert = nullptr;
    sqlite3_stmt* upsert = nullptr;
    long long parent = 0;
};

void WriteLine(int count, const char* what, double storeMs, double bareMs) {
    bench::Time(count, what, storeMs, "");
    bench::Time(count, "  bare SQL upsert, same rows and batches", bareMs, "");
    bench::Value(count, "  store / bare", bareMs > 0 ? storeMs / bareMs : 0.0, "x", "target <= 1.5");
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
    MakeHive(storeFile);
    MakeHive(bareFile);

    const std::vector<TagRecord> fresh = Rows(count, "ABC");
    const std::vector<TagRecord> changed = Rows(count, "NEW");
    // Bare first on new rows, store first on updates, so neither always finds the disk warmer.
    const double bareNew = BareUpsert(bareFile).Ms(fresh);
    const double storeNew = StoreWriteMs(storeFile, fresh);
    WriteLine(count, "store write of new tags, batches of 1,000", storeNew, bareNew);
    const double storeUpdate = StoreWriteMs(storeFile, changed);
    const double bareUpdate = BareUpsert(bareFile).Ms(changed);
    WriteLine(count, "store write updating every tag, batches of 1,000", storeUpdate, bareUpdate);

    {
        // One transaction per record, as a Save in the window writes.
        const int single = std::min(count, 10000);
        auto hive = SqliteHive::Open((dir / "single.hive").string());
        TagStore store(*hive);
        const auto t = bench::Clock::now();
        for (int i = 0; i < single; ++i)
            (void)store.WriteRecord(fresh[size_t(i)].tagId, &fresh[size_t(i)]);
        bench::Time(count, "store write of one record in its own transaction", bench::MsSince(t) / single, "");
    }
    {
        auto hive = SqliteHive::Open(storeFile);
        TagStore store(*hive);
        const auto t = bench::Clock::now();
        long records = 0;
        (void)store.ReadAllRecords([&records](const TagRecord&) { ++records; });
        const double storeMs = bench::MsSince(t);

        sqlite3* db = nullptr;
        sqlite3_open_v2(storeFile.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        const auto b = bench::Clock::now();
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT k.name, v.name, v.data FROM keys k JOIN vals v ON v.key = k.id "
                           "WHERE k.parent = (SELECT id FROM keys WHERE fold = 'software\\vessory\\etag') "
                           "ORDER BY k.name COLLATE NOCASE",
                           -1, &st, nullptr);
        long rows = 0;
        while (sqlite3_step(st) == SQLITE_ROW)
            ++rows;
        sqlite3_finalize(st);
        sqlite3_close(db);
        const double bareMs = bench::MsSince(b);
        bench::Time(count, "store read of every record", storeMs, "");
        bench::Time(count, "  bare SQL join of the same values", bareMs, "");
        bench::Value(count, "  store / bare", bareMs > 0 ? storeMs / bareMs : 0.0, "x", "target <= 2");
        if (records != count || rows != 2L * count)
            std::printf("%9d  read %ld records and %ld bare rows: not what was written\n", count, records, rows);
    }
    bench::Value(count, "hive file size", double(std::filesystem::file_size(storeFile)) / (1024.0 * 1024.0), "MB",
                 "");
    std::filesystem::remove_all(dir);
    return 0;
}
