#include "core/store/SqliteHiveFile.h"

#include <sqlite3.h>

#include <filesystem>
#include <random>
#include <set>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#endif

const char* const kHiveSchema = R"(
CREATE TABLE IF NOT EXISTS keys(
    id INTEGER PRIMARY KEY,
    parent INTEGER,
    name TEXT NOT NULL,
    fold TEXT NOT NULL UNIQUE);
CREATE INDEX IF NOT EXISTS keys_by_parent ON keys(parent, name COLLATE NOCASE);
CREATE TABLE IF NOT EXISTS vals(
    key INTEGER NOT NULL,
    name TEXT NOT NULL COLLATE NOCASE,
    type INTEGER NOT NULL,
    data BLOB,
    PRIMARY KEY(key, name)) WITHOUT ROWID;
INSERT OR IGNORE INTO keys(id, parent, name, fold) VALUES(1, NULL, '', '');
)";

namespace {

enum class Moved { Done, TargetExists, Failed };

// Puts a finished file under its final name in one step. Without replace it never goes over a
// file that appeared meanwhile (another program created the hive first).
Moved MoveIntoPlace(const std::string& from, const std::string& to, bool replace) {
#ifdef _WIN32
    std::wstring wideFrom = std::filesystem::path(from).wstring();
    std::wstring wideTo = std::filesystem::path(to).wstring();
    if (MoveFileExW(wideFrom.c_str(), wideTo.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0))
        return Moved::Done;
    DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? Moved::TargetExists : Moved::Failed;
#else
    if (replace)
        return std::rename(from.c_str(), to.c_str()) == 0 ? Moved::Done : Moved::Failed;
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return Moved::Done;
    if (errno == EEXIST)
        return Moved::TargetExists;
    // File systems without the no-replace rename still refuse a link over an existing name.
    if (link(from.c_str(), to.c_str()) != 0)
        return errno == EEXIST ? Moved::TargetExists : Moved::Failed;
    unlink(from.c_str());
    return Moved::Done;
#endif
}

// A name beside file that no other program uses.
std::string TemporaryName(const std::string& file) {
    std::random_device random;
    return file + ".new-" + std::to_string(random()) + std::to_string(random());
}

} // namespace

HiveProblem ProblemOfResult(int rc) {
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return HiveProblem::Busy;
    case SQLITE_CORRUPT:
        return HiveProblem::Damaged;
    case SQLITE_NOTADB:
        return HiveProblem::NotAHive;
    default:
        return HiveProblem::CannotOpen;
    }
}

namespace {

// Runs a query and hands each row's first column to row; the step result other than DONE
// decides the problem.
template <typename Row> HiveProblem Query(sqlite3* db, const char* sql, Row row) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            row(std::string(text ? text : ""));
        }
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE ? HiveProblem::None : ProblemOfResult(rc);
}

HiveFileState Inspect(sqlite3* db) {
    HiveFileState state;
    std::set<std::string> columns, tables;
    auto fail = [&](HiveProblem problem) {
        state.problem = problem;
        return problem != HiveProblem::None;
    };
    if (fail(Query(db, "SELECT name FROM sqlite_master WHERE type IN ('table', 'index')",
                   [&](std::string name) { tables.insert(std::move(name)); })) ||
        fail(Query(db, "SELECT name FROM pragma_table_info('keys')",
                   [&](std::string name) { columns.insert(std::move(name)); })))
        return state;
    // The keys table with its columns is what makes a file a hive; the rest can be added.
    if (!(columns.count("id") && columns.count("parent") && columns.count("name") && columns.count("fold")))
        return fail(HiveProblem::NotAHive), state;
    bool root = false;
    std::string mode, check;
    if (fail(Query(db, "SELECT 1 FROM keys WHERE id = 1", [&](std::string) { root = true; })) ||
        fail(Query(db, "PRAGMA journal_mode", [&](std::string m) { mode = std::move(m); })) ||
        fail(Query(db, "PRAGMA quick_check(1)", [&](std::string c) { check = std::move(c); })))
        return state;
    if (check != "ok")
        return fail(HiveProblem::Damaged), state;
    state.needsSchema = !root || !tables.count("vals") || !tables.count("keys_by_parent");
    state.needsWal = mode != "wal";
    return state;
}

} // namespace

bool CreateWholeHive(const std::string& file, bool replaceExisting) {
    std::string temp = TemporaryName(file);
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                              nullptr) == SQLITE_OK;
    auto exec = [&](const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; };
    ok = ok && exec("PRAGMA journal_mode=WAL") && exec("BEGIN") && exec(kHiveSchema) && exec("COMMIT");
    // Closing the only connection checkpoints the WAL into the file and removes it.
    ok = sqlite3_close(db) == SQLITE_OK && ok;
    std::error_code ec;
    ok = ok && !std::filesystem::exists(temp + "-wal", ec);
    Moved moved = ok ? MoveIntoPlace(temp, file, replaceExisting) : Moved::Failed;
    if (moved != Moved::Done) {
        std::filesystem::remove(temp, ec);
        std::filesystem::remove(temp + "-wal", ec);
        std::filesystem::remove(temp + "-shm", ec);
    }
    return moved != Moved::Failed;
}

HiveFileState InspectHiveFile(const std::string& file, int busyTimeoutMs) {
    HiveFileState state;
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        state.problem = ProblemOfResult(rc);
        sqlite3_close(db);
        return state;
    }
    sqlite3_busy_timeout(db, busyTimeoutMs);
    // The check reads every page once: mapped, it copies none of them.
    sqlite3_exec(db, "PRAGMA mmap_size=268435456", nullptr, nullptr, nullptr);
    // One read transaction: the tables and the check see the same state of the file.
    rc = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    state = rc == SQLITE_OK ? Inspect(db) : HiveFileState{ProblemOfResult(rc)};
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return state;
}
