#pragma once

#ifdef _WIN32

#include "core/store/Hive.h"

#include <windows.h>

#include <functional>
#include <vector>

// The real registry behind the hive interface. Text inside the program is UTF-8; it goes to the
// registry through the wide API, so nothing is lost to the system's code page (the suite's other
// programs read the same values through the ANSI API, which converts them for them).
class WinRegistryHive : public Hive {
public:
    explicit WinRegistryHive(HKEY rootKey, bool onlyRead = false);

    bool CreateKey(const std::string& path, bool* created) override;
    bool KeyExists(const std::string& path) override;
    std::optional<std::vector<std::string>> SubKeys(const std::string& path) override;
    bool DeleteKey(const std::string& path) override;
    bool SetValue(const std::string& path, const std::string& name, const HiveValue& value) override;
    std::optional<HiveValue> GetValue(const std::string& path, const std::string& name) override;
    std::optional<std::vector<std::pair<std::string, HiveValue>>> Values(const std::string& path) override;
    bool SaveSubtree(const std::string& path, const std::string& file) override;
    // The registry has no transactions: a write batch keeps how to undo each change and carries
    // that out, newest first, when the batch is rolled back. So a record whose second value fails
    // is taken back whole. (Writing to a fresh key and renaming it into place would also outlast
    // a crash, but it copies every value of a changed record; the store's writes are small.)
    bool BeginBatch(bool write = true) override;
    bool EndBatch(bool commit) override;

private:
    void Remember(std::function<void()> undo);

    HKEY root;
    bool readOnly;
    int batchDepth = 0;
    bool batchFailed = false;
    std::vector<std::function<void()>> undoLog;
};

#endif
