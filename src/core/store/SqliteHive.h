#pragma once

#include "core/store/Hive.h"
#include "core/store/SqliteHiveFile.h"
#include "core/store/WalCheckpointer.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// The embedded hive: one SQLite file per hive. Shared with the suite's other programs, so it
// runs in WAL mode with a busy timeout: a write made while another process holds a write
// transaction waits for it and then goes through.
class SqliteHive : public Hive {
public:
    // Opens or creates the hive file (and its folder). nullptr when that fails, and problem
    // says why; a damaged hive or a file that is not a hive is left untouched.
    static std::unique_ptr<SqliteHive> Open(const std::string& file, int busyTimeoutMs = 15000,
                                            HiveProblem* problem = nullptr);
    // Opens an existing hive for reading only; nullptr when it does not exist.
    static std::unique_ptr<SqliteHive> OpenReadOnly(const std::string& file);
    ~SqliteHive() override;

    bool CreateKey(const std::string& path, bool* created) override;
    bool KeyExists(const std::string& path) override;
    std::optional<std::vector<std::string>> SubKeys(const std::string& path) override;
    bool DeleteKey(const std::string& path) override;
    bool SetValue(const std::string& path, const std::string& name, const HiveValue& value) override;
    bool WriteKey(const std::string& path, const KeyValues& values, bool* created = nullptr) override;
    std::optional<HiveValue> GetValue(const std::string& path, const std::string& name) override;
    std::optional<std::vector<std::pair<std::string, HiveValue>>> Values(const std::string& path) override;
    bool ForEachSubKey(const std::string& path,
                       const std::function<void(const std::string& name, KeyValues& values)>& each) override;
    bool SaveSubtree(const std::string& path, const std::string& file) override;
    bool BeginBatch(bool write = true) override;
    bool EndBatch(bool commit) override;
    bool LastBatchWasBusy() const override { return batchBusy; }

    const std::string& FilePath() const { return file; }

private:
    class Statement;

    SqliteHive(sqlite3* openDb, std::string fileName, bool readOnlyOpen);
    bool Prepare();
    bool Exec(const char* sql);
    // Steps a statement; any result but a row or the end is a store error.
    int Step(Statement& statement);
    bool ReadValues(long long id, std::vector<std::pair<std::string, HiveValue>>& values);
    std::optional<long long> FindKey(const std::string& path);
    std::optional<long long> FindFolded(std::string_view folded);
    std::optional<long long> CreateChain(const std::string& path, bool* created);
    bool CopyTree(long long fromId, SqliteHive& target, const std::string& targetPath);
    // Ids of keys looked up or made in the current transaction: a record's writes find its key
    // and the keys above it once, not once per value. Only a transaction keeps them right.
    bool InTransaction() const;
    void RememberKey(std::string_view folded, long long id);
    void ForgetKeys();
    bool SetValueOf(long long id, const std::string& name, const HiveValue& value);

    sqlite3* db;
    std::string file;
    bool readOnly;
    int batchDepth = 0;
    bool batchFailed = false;
    bool batchBusy = false;
    struct KnownKey {
        std::string folded;
        long long id = 0;
    };
    std::array<KnownKey, 8> knownKeys;
    size_t nextKnown = 0;
    // Room reused by every lookup and creation of a key.
    std::string foldBuffer;
    std::string chainFold;
    std::vector<size_t> levelEnds;
    std::unique_ptr<WalCheckpointer> checkpointer;
    std::unique_ptr<Statement> findKey, childKeys, insertKey, hasChild, deleteKey, deleteValues, setValue, getValue,
        allValues, subKeysWithValues;
};

// Splits a key path at "\"; nullopt when a name is empty (a leading, trailing or doubled separator).
std::optional<std::vector<std::string>> SplitKeyPath(const std::string& path);
