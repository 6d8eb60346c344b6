#pragma once

// The bare baseline of the store's writes, shared by the bench programs: the same rows upserted
// straight through SQLite's C API into the hive's schema, in the import's batches.
#include "BenchSupport.h"
#include "core/register/TagRecord.h"
#include "core/store/SqliteHive.h"

#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <vector>

namespace bench {

constexpr size_t kBatch = 1000; // as the import writes

// A hive file with its tables and the register's key, as the store makes it.
inline void MakeHive(const std::string& file) {
    auto hive = SqliteHive::Open(file);
    (void)hive->CreateKey("Software\\Vessory\\eTag", nullptr);
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
        const auto t = Clock::now();
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
        return MsSince(t);
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

} // namespace bench
