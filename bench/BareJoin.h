#pragma once

// Every tag's name and values in one join, straight through the C API: what any load of the
// register has to read at least, in the order the index gives.
#include "BenchSupport.h"

#include <sqlite3.h>

#include <string>

namespace bench {

// Milliseconds, -1 when nothing was read; values is the number of rows the join gave.
inline double BareJoinMs(const std::string& file, long long& values) {
    const auto start = Clock::now();
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT k.name, v.name, v.type, v.data FROM keys k LEFT JOIN vals v ON v.key = k.id "
                       "WHERE k.parent = (SELECT id FROM keys WHERE fold = 'software\\vessory\\etag') "
                       "ORDER BY k.name COLLATE NOCASE, k.id",
                       -1, &stmt, nullptr);
    values = 0;
    std::size_t bytes = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        bytes += static_cast<std::size_t>(sqlite3_column_bytes(stmt, 0) + sqlite3_column_bytes(stmt, 3));
        ++values;
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return bytes > 0 ? MsSince(start) : -1.0;
}

} // namespace bench
