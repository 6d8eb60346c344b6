#pragma once

#include "core/store/Hive.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A string value as read through a zero-filled buffer of bufferBytes: the bytes up to the first
// zero; a value that leaves no room for the terminating zero reads as missing.
std::optional<std::string> StringThroughBuffer(const HiveValue& value, size_t bufferBytes);

// An open key of a hive. Keys are opened and closed within one operation; the handle only
// remembers where the key is.
class HiveKey {
public:
    HiveKey(Hive& keyHive, std::string keyPath) : hive(&keyHive), path(std::move(keyPath)) {}

    [[nodiscard]] bool SetString(const std::string& name, const std::string& text);
    [[nodiscard]] bool SetDword(const std::string& name, std::uint32_t number);
    // The string's bytes up to the first zero byte, read through a buffer of bufferBytes: a value
    // that does not fit reads as missing, as a fixed buffer of the suite's programs reads it.
    std::optional<std::string> GetString(const std::string& name, size_t bufferBytes);
    std::optional<std::uint32_t> GetDword(const std::string& name);
    const std::string& Path() const { return path; }

private:
    Hive* hive;
    std::string path;
};

// A registry branch below the suite key "Software\Vessory": the base of the tag store and the
// plate lists. A non-empty sub-path starts with "\"; relative names carry their leading "\".
class RegistryBranch {
public:
    static constexpr const char* kSuiteKey = "Software\\Vessory";

    explicit RegistryBranch(Hive& branchHive, std::string branchPath = {});
    virtual ~RegistryBranch();

    std::string FullPath(const std::string& rel) const;

    [[nodiscard]] std::optional<HiveKey> CreateKey(const std::string& rel, bool* created = nullptr);
    [[nodiscard]] std::optional<HiveKey> OpenKey(const std::string& rel);
    // Empties names, then lists the key's direct subkeys; 0 when the key does not exist, -1
    // (names empty) when the store failed to read them.
    int EnumSubKeys(const std::string& rel, std::vector<std::string>& names);
    // Deletes the key and everything below it, deepest first; false when anything stayed.
    bool DeleteTree(const std::string& rel);
    // Writes the key and its subtree into a new hive file; false for an empty path or an existing file.
    [[nodiscard]] bool SaveToFile(const std::string& rel, const std::string& file);

    Hive& GetHive() { return hive; }

protected:
    Hive& hive;
    std::string subPath;

private:
    bool DeleteChildren(const std::string& rel, const std::vector<std::string>& names, bool deleteSelf);
};

// Enables or withdraws a process privilege; where the platform has none, it succeeds doing nothing.
bool EnablePrivilege(const std::string& name, bool enable);

// Whether text may name a key of its own: not empty, no "\" and no control characters.
// Tag ids and plates come from operators and files; they must never reach another key.
bool IsSafeKeyName(const std::string& text);
