#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Value types as the registry numbers them.
enum class ValueType : std::uint32_t { String = 1, Dword = 4 };

struct HiveValue {
    ValueType type = ValueType::String;
    std::string data; // raw bytes: a string without terminating zero, or 4 little-endian bytes
};

// A tree of keys with typed values, as the registry holds it. Paths are relative to the
// hive's root and use "\" between names; names compare without regard to ASCII letter
// case and keep the case they were created with.
class Hive {
public:
    using KeyValues = std::vector<std::pair<std::string, HiveValue>>;

    virtual ~Hive() = default;

    // Creates the key and any missing keys above it; created tells whether it was new.
    [[nodiscard]] virtual bool CreateKey(const std::string& path, bool* created) = 0;
    [[nodiscard]] virtual bool KeyExists(const std::string& path) = 0;
    // Names of the direct subkeys in case-insensitive name order; nullopt when the key is missing
    // or could not be read.
    virtual std::optional<std::vector<std::string>> SubKeys(const std::string& path) = 0;
    // Deletes a key that has no subkeys (with its values).
    [[nodiscard]] virtual bool DeleteKey(const std::string& path) = 0;
    // Sets a value of an existing key.
    [[nodiscard]] virtual bool SetValue(const std::string& path, const std::string& name, const HiveValue& value) = 0;
    virtual std::optional<HiveValue> GetValue(const std::string& path, const std::string& name) = 0;
    // All values of a key in one read; nullopt when the key is missing.
    virtual std::optional<std::vector<std::pair<std::string, HiveValue>>> Values(const std::string& path) = 0;

    // Creates the key and any missing above it and sets the values, in one transaction: all of it
    // is written or none. False when no transaction can be had. created, when given, tells
    // whether the key was new.
    [[nodiscard]] virtual bool WriteKey(const std::string& path, const KeyValues& values, bool* created = nullptr);
    // Hands every direct subkey of path with all its values to each, in SubKeys order, as one
    // read. False when the key is missing or a read failed (StoreErrors then grew): the keys
    // handed over so far are then no whole list.
    virtual bool ForEachSubKey(const std::string& path,
                               const std::function<void(const std::string& name, KeyValues& values)>& each);
    // Writes the key and its subtree into a new hive file; false when the file exists.
    [[nodiscard]] virtual bool SaveSubtree(const std::string& path, const std::string& file) = 0;

    // Groups the following operations into one transaction; nests. A read batch sees one
    // snapshot and saves the per-read locking when many records are read at once.
    [[nodiscard]] virtual bool BeginBatch(bool write = true) = 0;
    [[nodiscard]] virtual bool EndBatch(bool commit) = 0;
    // Whether the last BeginBatch failed only because another program held the hive's write
    // lock past the wait; trying again later may succeed.
    virtual bool LastBatchWasBusy() const { return false; }

    // Reads and writes that the store could not carry out (damaged, locked past the busy
    // timeout, unreadable) in this run; a missing key or value is no error. A read that fails
    // returns nothing rather than a part, and this count grows: callers compare it before and
    // after to tell a failure from a missing key.
    int StoreErrors() const { return storeErrors; }
    // Of those, the ones that a lock held by another program does not explain: the store could
    // not read what it holds (a damaged or unreadable file). A multi-row command that sees this
    // count grow writes nothing further.
    int ReadErrors() const { return readErrors; }

protected:
    void NoteStoreError(bool unreadable = false) {
        ++storeErrors;
        if (unreadable)
            ++readErrors;
    }

private:
    int storeErrors = 0;
    int readErrors = 0;
};

// Commits a batch when it goes out of scope, unless told to roll back.
class HiveBatch {
public:
    explicit HiveBatch(Hive& target, bool write = true) : hive(target), open(target.BeginBatch(write)) {}
    ~HiveBatch() {
        if (open)
            (void)hive.EndBatch(true);
    }
    HiveBatch(const HiveBatch&) = delete;
    HiveBatch& operator=(const HiveBatch&) = delete;

    [[nodiscard]] bool Commit() {
        bool ok = open && hive.EndBatch(true);
        open = false;
        return ok;
    }
    void Rollback() {
        if (open)
            (void)hive.EndBatch(false);
        open = false;
    }

private:
    Hive& hive;
    bool open;
};

// ASCII-only lower case: the hive's rule for comparing key and value names.
std::string FoldName(const std::string& name);

HiveValue DwordValue(std::uint32_t number);
HiveValue StringValue(const std::string& text);
// The number in a DWORD value; nullopt when the value is not 4 bytes.
std::optional<std::uint32_t> AsDword(const HiveValue& value);
