#pragma once

#ifdef _WIN32

#include "Hive.h"

#include <windows.h>

// The real registry behind the hive interface. Text inside the program is UTF-8; names and
// string values are stored in the system's code page, as the suite's other programs read them.
class WinRegistryHive : public Hive {
public:
    explicit WinRegistryHive(HKEY root, bool readOnly = false);

    bool CreateKey(const std::string& path, bool* created) override;
    bool KeyExists(const std::string& path) override;
    std::optional<std::vector<std::string>> SubKeys(const std::string& path) override;
    bool DeleteKey(const std::string& path) override;
    bool SetValue(const std::string& path, const std::string& name, const HiveValue& value) override;
    std::optional<HiveValue> GetValue(const std::string& path, const std::string& name) override;
    std::optional<std::vector<std::pair<std::string, HiveValue>>> Values(const std::string& path) override;
    bool SaveSubtree(const std::string& path, const std::string& file) override;
    // The registry has no transactions here; batches only nest.
    bool BeginBatch(bool write = true) override;
    bool EndBatch(bool commit) override;

private:
    HKEY root;
    bool readOnly;
    int batchDepth = 0;
};

#endif
