#pragma once

#include <string>

// Configuration resolved once at start-up. Only start-up writes it, except registerChanged,
// which Save, the deletions and the file import set; shutdown reads it.
struct AppConfig {
    std::string windowsDir; // ends with the path separator
    std::string programDir;
    std::string dataDrive;
    bool embedded = false;
    int embMode = 0;
    std::string plateIniPath;
    std::string settingsFilePath;
    std::string languageFilePath;
    bool newerOs = false;
    int uhfRel = 1;
    bool registerChanged = false;
};
