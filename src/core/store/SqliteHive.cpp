#include "core/store/SqliteHive.h"

#include "core/store/SqliteHiveFile.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

class SqliteHive::Statement {
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr); }
    ~Statement() { sqlite3_finalize(stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Ok() const { return stmt != nullptr; }
    Statement& Bind(int i, long long v) {
        sqlite3_bind_int64(stmt, i, v);
        return *this;
    }
    // Text and blobs are bound without a copy: they must outlive the step. Temporaries are refused.
    Statement& Bind(int i, std::string_view v) {
        sqlite3_bind_text(stmt, i, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
        return *this;
    }
    Statement& Bind(int i, const std::string& v) { return Bind(i, std::string_view(v)); }
    Statement& Bind(int i, std::string&&) = delete;
    Statement& BindBlob(int i, const std::string& v) {
        sqlite3_bind_blob(stmt, i, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
        return *this;
    }
    Statement& BindBlob(int i, std::string&&) = delete;
    // SQLITE_ROW, SQLITE_DONE or an error.
    int Step() { return sqlite3_step(stmt); }
    bool ReadsOnly() const { return sqlite3_stmt_readonly(stmt) != 0; }
    long long Int(int col) { return sqlite3_column_int64(stmt, col); }
    bool IsNull(int col) { return sqlite3_column_type(stmt, col) == SQLITE_NULL; }
    std::string Text(int col) {
        auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
        return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt, col))) : std::string();
    }
    std::string Blob(int col) {
        auto* p = static_cast<const char*>(sqlite3_column_blob(stmt, col));
        return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt, col))) : std::string();
    }
    void Reset() {
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
    }

private:
    sqlite3_stmt* stmt = nullptr;
};

namespace {

constexpr long long kRootId = 1;

// Whether a failed step means the hive's contents could not be read, as opposed to another
// program holding a lock (which a later try may get past) or a write the file refused.
bool IsUnreadable(int extendedCode, bool reading) {
    const int primary = extendedCode & 0xFF;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        return false;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || extendedCode == SQLITE_IOERR_READ ||
        extendedCode == SQLITE_IOERR_SHORT_READ)
        return true; // a write meets damaged pages by reading them
    return reading;
}

} // namespace

std::optional<std::vector<std::string>> SplitKeyPath(const std::string& path) {
    std::vector<std::string> names;
    if (path.empty())
        return names;
    size_t start = 0;
    while (true) {
        size_t end = path.find('\\', start);
        std::string name = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (name.empty())
            return std::nullopt;
        names.push_back(std::move(name));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return names;
}

SqliteHive::SqliteHive(sqlite3* openDb, std::string fileName, bool readOnlyOpen)
    : db(openDb), file(std::move(fileName)), readOnly(readOnlyOpen) {}

SqliteHive::~SqliteHive() {
    findKey.reset();
    childKeys.reset();
    insertKey.reset();
    hasChild.reset();
    deleteKey.reset();
    deleteValues.reset();
    setValue.reset();
    getValue.reset();
    allValues.reset();
    subKeysWithValues.reset();
    // Its connection closes first, so the hive's own is the last and folds the log into the file.
    if (checkpointer) {
        sqlite3_wal_hook(db, nullptr, nullptr);
        checkpointer.reset();
    }
    sqlite3_close(db);
}

std::unique_ptr<SqliteHive> SqliteHive::Open(const std::string& file, int busyTimeoutMs, HiveProblem* problem) {
    HiveProblem ignored;
    HiveProblem& found = problem ? *problem : ignored;
    found = HiveProblem::CannotOpen;
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::path(file).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    // A missing or empty file becomes a whole hive first; an existing hive is opened as it is.
    auto size = std::filesystem::file_size(file, ec);
    bool missing = ec == std::errc::no_such_file_or_directory;
    if ((missing || (!ec && size == 0)) && !CreateWholeHive(file, !missing))
        return nullptr;
    // Decided before anything may write: a damaged hive or another program's file stays as it is,
    // and a hive held by another writer opens without waiting for its write lock.
    HiveFileState state = InspectHiveFile(file, busyTimeoutMs);
    found = state.problem;
    if (found != HiveProblem::None)
        return nullptr;
    found = HiveProblem::CannotOpen;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, busyTimeoutMs);
    std::unique_ptr<SqliteHive> hive(new SqliteHive(db, file, false));
    // WAL keeps readers and one writer apart; NORMAL sync is crash-safe for the file's consistency.
    // The register is read whole at start-up: keep its pages in memory rather than re-reading them.
    // The map stays small: every mapped page read once counts as resident, and a register of a
    // million tags is a file of hundreds of megabytes.
    hive->Exec("PRAGMA cache_size=-32768");
    hive->Exec("PRAGMA mmap_size=33554432");
    hive->Exec("PRAGMA synchronous=NORMAL");
    // Only what is missing takes the write lock.
    bool ok = (!state.needsWal || hive->Exec("PRAGMA journal_mode=WAL")) &&
              (!state.needsSchema ||
               (hive->Exec("BEGIN IMMEDIATE") && hive->Exec(kHiveSchema) && hive->Exec("COMMIT")));
    if (!ok) {
        found = ProblemOfResult(sqlite3_errcode(db));
        return nullptr;
    }
    if (!hive->Prepare())
        return nullptr;
    hive->checkpointer = std::make_unique<WalCheckpointer>(file);
    hive->checkpointer->Attach(db);
    found = HiveProblem::None;
    return hive;
}

std::unique_ptr<SqliteHive> SqliteHive::OpenReadOnly(const std::string& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return nullptr;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 5000);
    std::unique_ptr<SqliteHive> hive(new SqliteHive(db, file, true));
    if (!hive->Prepare())
        return nullptr;
    return hive;
}

bool SqliteHive::Exec(const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    NoteStoreError(IsUnreadable(sqlite3_extended_errcode(db), false));
    return false;
}

int SqliteHive::Step(Statement& statement) {
    int rc = statement.Step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        NoteStoreError(IsUnreadable(sqlite3_extended_errcode(db), statement.ReadsOnly()));
    return rc;
}

bool SqliteHive::Prepare() {
    findKey = std::make_unique<Statement>(db, "SELECT id FROM keys WHERE fold = ?1");
    childKeys = std::make_unique<Statement>(
        db, "SELECT name FROM keys WHERE parent = ?1 ORDER BY name COLLATE NOCASE, name");
    insertKey = std::make_unique<Statement>(db, "INSERT INTO keys(parent, name, fold) VALUES(?1, ?2, ?3)");
    hasChild = std::make_unique<Statement>(db, "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1");
    deleteKey = std::make_unique<Statement>(db, "DELETE FROM keys WHERE id = ?1");
    deleteValues = std::make_unique<Statement>(db, "DELETE FROM vals WHERE key = ?1");
    setValue = std::make_unique<Statement>(db, "INSERT INTO vals(key, name, type, data) VALUES(?1, ?2, ?3, ?4) "
                                               "ON CONFLICT(key, name) DO UPDATE SET type = ?3, data = ?4");
    getValue = std::make_unique<Statement>(db, "SELECT type, data FROM vals WHERE key = ?1 AND name = ?2");
    allValues = std::make_unique<Statement>(db, "SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY name");
    // Names under one parent differ even without case (their folded paths are unique), so the
    // key's id after the name orders like childKeys and lets the index give the order.
    subKeysWithValues = std::make_unique<Statement>(
        db, "SELECT k.id, k.name, v.name, v.type, v.data FROM keys k LEFT JOIN vals v ON v.key = k.id "
            "WHERE k.parent = ?1 ORDER BY k.name COLLATE NOCASE, k.id, v.name");
    for (auto* s : {findKey.get(), childKeys.get(), insertKey.get(), hasChild.get(), deleteKey.get(),
                    deleteValues.get(), setValue.get(), getValue.get(), allValues.get(), subKeysWithValues.get()})
        if (!s->Ok())
            return false;
    return true;
}

std::optional<long long> SqliteHive::FindKey(const std::string& path) {
    if (path.empty())
        return kRootId;
    if (path.front() == '\\' || path.back() == '\\' || path.find("\\\\") != std::string::npos)
        return std::nullopt;
    // Folded into a buffer that lives on: a record's writes look its key up once per value.
    foldBuffer.assign(path);
    for (char& c : foldBuffer)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return FindFolded(foldBuffer);
}

std::optional<long long> SqliteHive::FindFolded(std::string_view folded) {
    if (InTransaction()) {
        // Newest first: the key just found or made is the one asked for next.
        for (size_t back = 1; back <= knownKeys.size(); ++back) {
            const KnownKey& known = knownKeys[(nextKnown + knownKeys.size() - back) % knownKeys.size()];
            if (known.id != 0 && known.folded == folded)
                return known.id;
        }
    }
    findKey->Bind(1, folded);
    std::optional<long long> id;
    if (Step(*findKey) == SQLITE_ROW)
        id = findKey->Int(0);
    findKey->Reset();
    if (id)
        RememberKey(folded, *id);
    return id;
}

bool SqliteHive::InTransaction() const {
    // SQLite rolls a transaction back by itself after some errors; then nothing is known.
    return batchDepth > 0 && sqlite3_get_autocommit(db) == 0;
}

void SqliteHive::RememberKey(std::string_view folded, long long id) {
    if (!InTransaction())
        return;
    knownKeys[nextKnown].folded.assign(folded); // keeps the entry's room
    knownKeys[nextKnown].id = id;
    nextKnown = (nextKnown + 1) % knownKeys.size();
}

void SqliteHive::ForgetKeys() {
    for (KnownKey& known : knownKeys)
        known.id = 0;
    nextKnown = 0;
}

std::optional<long long> SqliteHive::CreateChain(const std::string& path, bool* created) {
    if (path.empty()) {
        if (created)
            *created = false;
        return kRootId;
    }
    // Where each level's name ends in the path; no name may be empty.
    std::vector<size_t>& ends = levelEnds;
    ends.clear();
    for (size_t start = 0;;) {
        const size_t end = std::min(path.find('\\', start), path.size());
        if (end == start)
            return std::nullopt;
        ends.push_back(end);
        if (end == path.size())
            break;
        start = end + 1;
    }
    // Folding keeps every "\" in its place, so each key above has a prefix of the path's fold.
    chainFold.assign(path);
    for (char& c : chainFold)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    const std::string_view folded = chainFold;
    const auto nameAt = [&](size_t level) {
        const size_t start = level == 0 ? 0 : ends[level - 1] + 1;
        return std::string_view(path).substr(start, ends[level] - start);
    };
    // The deepest key that exists, looked for from the bottom: most keys asked for exist, and
    // a new one most often has its parent.
    size_t have = ends.size();
    long long parent = kRootId;
    for (; have > 0; --have) {
        const int errors = StoreErrors();
        if (auto id = FindFolded(folded.substr(0, ends[have - 1]))) {
            parent = *id;
            break;
        }
        if (StoreErrors() != errors)
            return std::nullopt;
    }
    for (size_t level = have; level < ends.size(); ++level) {
        const std::string_view fold = folded.substr(0, ends[level]);
        insertKey->Bind(1, parent).Bind(2, nameAt(level)).Bind(3, fold);
        const int rc = Step(*insertKey);
        insertKey->Reset();
        if (rc != SQLITE_DONE)
            return std::nullopt;
        parent = sqlite3_last_insert_rowid(db);
        RememberKey(fold, parent);
    }
    if (created)
        *created = have < ends.size();
    return parent;
}

namespace {

// Whether path names a key: empty (the root) or names without empty ones between the "\".
bool NamesKey(const std::string& path) {
    return path.empty() ||
           (path.front() != '\\' && path.back() != '\\' && path.find("\\\\") == std::string::npos);
}

} // namespace

bool SqliteHive::CreateKey(const std::string& path, bool* created) {
    // A bad path fails before the batch: it must not fail a batch around it.
    if (readOnly || !NamesKey(path))
        return false;
    if (!BeginBatch())
        return false;
    bool ok = CreateChain(path, created).has_value();
    return EndBatch(ok) && ok;
}

bool SqliteHive::KeyExists(const std::string& path) { return FindKey(path).has_value(); }

std::optional<std::vector<std::string>> SqliteHive::SubKeys(const std::string& path) {
    auto id = FindKey(path);
    if (!id)
        return std::nullopt;
    std::vector<std::string> names;
    childKeys->Bind(1, *id);
    int rc;
    while ((rc = Step(*childKeys)) == SQLITE_ROW)
        names.push_back(childKeys->Text(0));
    childKeys->Reset();
    if (rc != SQLITE_DONE)
        return std::nullopt; // never a part of the list as if it were all
    return names;
}

bool SqliteHive::DeleteKey(const std::string& path) {
    if (readOnly || path.empty())
        return false;
    if (!BeginBatch())
        return false;
    bool ok = false;
    if (auto id = FindKey(path)) {
        ForgetKeys(); // the id may come back for another key
        hasChild->Bind(1, *id);
        bool childless = Step(*hasChild) == SQLITE_DONE;
        hasChild->Reset();
        if (childless) {
            deleteValues->Bind(1, *id);
            ok = Step(*deleteValues) == SQLITE_DONE;
            deleteValues->Reset();
            deleteKey->Bind(1, *id);
            ok = ok && Step(*deleteKey) == SQLITE_DONE;
            deleteKey->Reset();
        }
    }
    return EndBatch(ok) && ok;
}

bool SqliteHive::SetValue(const std::string& path, const std::string& name, const HiveValue& value) {
    if (readOnly)
        return false;
    auto id = FindKey(path);
    return id && SetValueOf(*id, name, value);
}

bool SqliteHive::SetValueOf(long long id, const std::string& name, const HiveValue& value) {
    setValue->Bind(1, id).Bind(2, name).Bind(3, static_cast<long long>(value.type)).BindBlob(4, value.data);
    int rc = Step(*setValue);
    setValue->Reset();
    return rc == SQLITE_DONE;
}

bool SqliteHive::WriteKey(const std::string& path, const KeyValues& values, bool* created) {
    // The key is found or made once for all its values.
    if (readOnly || !NamesKey(path) || !BeginBatch())
        return false;
    const std::optional<long long> id = CreateChain(path, created);
    bool ok = id.has_value();
    for (const auto& [name, value] : values)
        ok = ok && SetValueOf(*id, name, value);
    return EndBatch(ok) && ok;
}

std::optional<HiveValue> SqliteHive::GetValue(const std::string& path, const std::string& name) {
    auto id = FindKey(path);
    if (!id)
        return std::nullopt;
    getValue->Bind(1, *id).Bind(2, name);
    std::optional<HiveValue> value;
    if (Step(*getValue) == SQLITE_ROW)
        value = HiveValue{static_cast<ValueType>(getValue->Int(0)), getValue->Blob(1)};
    getValue->Reset();
    return value;
}

std::optional<std::vector<std::pair<std::string, HiveValue>>> SqliteHive::Values(const std::string& path) {
    auto id = FindKey(path);
    if (!id)
        return std::nullopt;
    std::vector<std::pair<std::string, HiveValue>> values;
    if (!ReadValues(*id, values))
        return std::nullopt;
    return values;
}

bool SqliteHive::ForEachSubKey(const std::string& path,
                               const std::function<void(const std::string& name, KeyValues& values)>& each) {
    auto parent = FindKey(path);
    if (!parent)
        return false;
    Statement& walk = *subKeysWithValues;
    walk.Bind(1, *parent);
    long long current = 0; // ids start at 1
    std::string name;
    KeyValues values;
    int rc;
    while ((rc = Step(walk)) == SQLITE_ROW) {
        const long long id = walk.Int(0);
        if (id != current) {
            if (current != 0)
                each(name, values);
            current = id;
            name = walk.Text(1);
            values.clear();
        }
        if (!walk.IsNull(2)) // a key without values still comes, once
            values.push_back({walk.Text(2), {static_cast<ValueType>(walk.Int(3)), walk.Blob(4)}});
    }
    walk.Reset();
    if (rc != SQLITE_DONE)
        return false; // never a part of the register as if it were all
    if (current != 0)
        each(name, values);
    return true;
}

bool SqliteHive::ReadValues(long long id, std::vector<std::pair<std::string, HiveValue>>& values) {
    allValues->Bind(1, id);
    int rc;
    while ((rc = Step(*allValues)) == SQLITE_ROW)
        values.push_back({allValues->Text(0), {static_cast<ValueType>(allValues->Int(1)), allValues->Blob(2)}});
    allValues->Reset();
    return rc == SQLITE_DONE;
}

bool SqliteHive::BeginBatch(bool write) {
    batchBusy = false;
    if (readOnly && write)
        return false;
    if (batchDepth == 0) {
        ForgetKeys(); // another program may have changed the tree since the last transaction
        // IMMEDIATE takes the write lock at once, so the busy timeout covers a competing writer.
        if (!Exec(write ? "BEGIN IMMEDIATE" : "BEGIN")) {
            batchBusy = sqlite3_errcode(db) == SQLITE_BUSY;
            return false;
        }
        batchFailed = false;
    }
    ++batchDepth;
    return true;
}

bool SqliteHive::EndBatch(bool commit) {
    if (batchDepth == 0)
        return false;
    if (!commit)
        batchFailed = true;
    if (--batchDepth > 0)
        return true;
    ForgetKeys();
    if (batchFailed) {
        Exec("ROLLBACK");
        return false;
    }
    return Exec("COMMIT");
}

bool SqliteHive::CopyTree(long long fromId, SqliteHive& target, const std::string& targetPath) {
    if (!targetPath.empty() && !target.CreateKey(targetPath, nullptr))
        return false;
    std::vector<std::pair<std::string, HiveValue>> values;
    if (!ReadValues(fromId, values))
        return false;
    for (const auto& [name, value] : values)
        if (!target.SetValue(targetPath, name, value))
            return false;

    std::vector<std::pair<long long, std::string>> children;
    Statement list(db, "SELECT id, name FROM keys WHERE parent = ?1 ORDER BY name COLLATE NOCASE, name");
    list.Bind(1, fromId);
    int rc;
    while ((rc = Step(list)) == SQLITE_ROW)
        children.push_back({list.Int(0), list.Text(1)});
    if (rc != SQLITE_DONE)
        return false;
    for (const auto& [id, name] : children)
        if (!CopyTree(id, target, targetPath.empty() ? name : targetPath + "\\" + name))
            return false;
    return true;
}

bool SqliteHive::SaveSubtree(const std::string& path, const std::string& targetFile) {
    std::error_code ec;
    if (targetFile.empty() || std::filesystem::exists(targetFile, ec))
        return false;
    auto id = FindKey(path);
    if (!id)
        return false;
    auto target = Open(targetFile);
    if (!target)
        return false;
    bool ok = target->BeginBatch() && CopyTree(*id, *target, std::string());
    ok = target->EndBatch(ok) && ok;
    ok = ok && target->Exec("PRAGMA wal_checkpoint(TRUNCATE)");
    target.reset();
    if (!ok)
        std::filesystem::remove(targetFile, ec);
    // A saved hive is one standalone file; drop the WAL companions left by the copy.
    std::filesystem::remove(targetFile + "-wal", ec);
    std::filesystem::remove(targetFile + "-shm", ec);
    return ok;
}
