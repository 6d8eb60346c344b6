#pragma once

#include "core/app/AppConfig.h"
#include "core/store/Hive.h"

#include <string>

// Inputs of the configuration that start-up gathers from the platform.
struct StartupInputs {
    std::string windowsDir;
    std::string programDir;
    std::string dataDrive;
    Hive* machineHive = nullptr;
    bool newerOs = false;
    int language = 0;
};

// Resolves the configuration in start-up's order: ini path in the system folder, embedded mode,
// in embedded mode the drive's "Setting" folder (created when missing) with "Orbisk.ini" and
// "Vessory.set", the language file, and "UHFREL" (1 when the ini, section or key is missing).
AppConfig ResolveAppConfig(const StartupInputs& inputs);

// Saves the suite key into settingsFilePath when the register changed on an embedded system
// (mode 1 or 2). The old backup is replaced only when the new one was written completely.
bool SaveSuiteBackup(const AppConfig& config, Hive& userHive);
