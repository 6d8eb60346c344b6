// Prints what the integrity check at open costs: a register of N tags (default 100,000 and
// 1,000,000) is built once, then opened as start-up opens it, beside the bare check alone.
#include "core/register/TagStore.h"
#include "core/store/SqliteHive.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

double Ms(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

bool Build(const std::string& file, int count) {
    auto hive = SqliteHive::Open(file);
    if (!hive)
        return false;
    TagStore store(*hive);
    HiveBatch batch(*hive);
    for (int i = 0; i < count; ++i) {
        char tag[32];
        std::snprintf(tag, sizeof tag, "E2003412B8020115%08X", i);
        TagRecord r{tag, "ABC" + std::to_string(i % 10000), 1 + i % 2, false, false};
        if (!store.WriteRecord(r.tagId, &r))
            return false;
    }
    return batch.Commit();
}

double BareCheckMs(const std::string& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    auto t = std::chrono::steady_clock::now();
    sqlite3_exec(db, "PRAGMA quick_check(1)", nullptr, nullptr, nullptr);
    double ms = Ms(t);
    sqlite3_close(db);
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {100000, 1000000};
    auto dir = std::filesystem::temp_directory_path() / ("lumetra-open-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    for (int count : sizes) {
        std::string file = (dir / ("register-" + std::to_string(count) + ".hive")).string();
        if (!Build(file, count)) {
            std::printf("%d tags: the register could not be built\n", count);
            continue;
        }
        // Warm the file into the page cache once, as a second start finds it.
        (void)BareCheckMs(file);
        double bare = BareCheckMs(file);
        auto t = std::chrono::steady_clock::now();
        HiveProblem problem = HiveProblem::CannotOpen;
        auto hive = SqliteHive::Open(file, 15000, &problem);
        double open = Ms(t);
        std::printf("%d tags, %.0f MB: open with its integrity check %.0f ms (%s), bare quick_check %.0f ms; "
                    "counts in the start-up target (< 2500 ms to the painted window at 1,000,000)\n",
                    count, static_cast<double>(std::filesystem::file_size(file)) / 1e6, open,
                    hive ? "opened" : "refused", bare);
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return 0;
}
