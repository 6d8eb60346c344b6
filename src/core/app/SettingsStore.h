#pragma once

#include "core/store/Hive.h"

#include <string>

// The "Setting" section of the application profile: "Software\Vessory\Vessory\Setting" of the
// user's hive. Reading the reader endpoint creates the keys, as the platform's profile service
// does; reading the language at start-up writes nothing.
class SettingsStore {
public:
    explicit SettingsStore(Hive& userHive);

    int GetLanguage();
    // address <- "RFDNS" (empty when missing); port <- "RFPort", keeping its value when missing.
    void LoadReaderEndpoint(std::string& address, int& port);
    [[nodiscard]] bool SaveReaderEndpoint(const std::string& address, int port);

    static constexpr const char* kSettingKey = "Software\\Vessory\\Vessory\\Setting";

private:
    bool EnsureKey();
    Hive& hive;
};
