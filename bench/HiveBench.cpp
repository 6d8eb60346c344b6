// Builds a register of 100,000 tags in a temporary folder and prints how long the store takes
// to write and read it, beside a bare SQLite read of the same file.
#include "core/register/TagStore.h"
#include "core/store/SqliteHive.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

double Ms(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

std::string TagName(int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "E2003412B8020115%08X", i);
    return buf;
}

} // namespace

int main(int argc, char** argv) {
    int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    auto dir = std::filesystem::temp_directory_path() / ("lumetra-hive-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::string single = (dir / "single.hive").string();
    std::string batched = (dir / "batched.hive").string();

    {
        auto hive = SqliteHive::Open(single);
        TagStore store(*hive);
        auto t = std::chrono::steady_clock::now();
        for (int i = 0; i < count; ++i) {
            TagRecord r{TagName(i), "ABC" + std::to_string(i % 10000), 1 + i % 2, false, false};
            (void)store.WriteRecord(r.tagId, &r);
        }
        std::printf("write %d records, one transaction each: %.0f ms\n", count, Ms(t));
    }
    {
        auto hive = SqliteHive::Open(batched);
        TagStore store(*hive);
        auto t = std::chrono::steady_clock::now();
        HiveBatch batch(*hive);
        for (int i = 0; i < count; ++i) {
            TagRecord r{TagName(i), "ABC" + std::to_string(i % 10000), 1 + i % 2, false, false};
            (void)store.WriteRecord(r.tagId, &r);
        }
        (void)batch.Commit();
        std::printf("write %d records in one batch: %.0f ms\n", count, Ms(t));
    }
    {
        auto hive = SqliteHive::Open(single);
        TagStore store(*hive);
        auto t = std::chrono::steady_clock::now();
        HiveBatch snapshot(*hive, false);
        std::vector<std::string> names;
        store.EnumerateTags(names);
        TagRecord r;
        long plates = 0;
        for (const auto& name : names) {
            TagStore::Reset(r);
            r.tagId = name;
            store.ReadRecord(name, &r);
            plates += static_cast<long>(r.plate.size());
        }
        (void)snapshot.Commit();
        double storeMs = Ms(t);
        std::printf("EnumerateTags + ReadRecord of %zu records: %.0f ms (target < 1000 ms)\n", names.size(), storeMs);

        sqlite3* db = nullptr;
        sqlite3_open_v2(single.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        t = std::chrono::steady_clock::now();
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
        double rawMs = Ms(t);
        std::printf("bare SQLite query of the same values (%ld rows): %.0f ms; store/raw ratio %.1f\n", rows, rawMs,
                    rawMs > 0 ? storeMs / rawMs : 0.0);
        (void)plates;
    }
    std::printf("hive file size: %.1f MB\n",
                static_cast<double>(std::filesystem::file_size(single)) / (1024.0 * 1024.0));
    std::filesystem::remove_all(dir);
    return 0;
}
