#include "StartupConfig.h"

#include "EmbeddedMode.h"
#include "IniFile.h"
#include "LanguageTexts.h"
#include "Paths.h"
#include "RegistryBranch.h"

#include <filesystem>
#include <system_error>

AppConfig ResolveAppConfig(const StartupInputs& inputs) {
    AppConfig config;
    config.newerOs = inputs.newerOs;
    config.windowsDir = inputs.windowsDir;
    if (config.windowsDir.empty() || (config.windowsDir.back() != '/' && config.windowsDir.back() != '\\'))
        config.windowsDir += '/';
    config.plateIniPath = config.windowsDir + "Orbisk.ini";
    config.programDir = inputs.programDir;
    config.dataDrive = inputs.dataDrive;

    EmbeddedMode mode = ReadEmbeddedMode(inputs.machineHive);
    config.embedded = mode.embedded;
    config.embMode = mode.embMode;
    if (config.embedded) {
        std::string settingDir = JoinPath(config.dataDrive, "Setting");
        std::error_code ec;
        if (!std::filesystem::exists(settingDir, ec))
            std::filesystem::create_directories(settingDir, ec); // a failure shows later as a failed backup
        config.plateIniPath = JoinPath(settingDir, "Orbisk.ini");
        config.settingsFilePath = JoinPath(settingDir, "Vessory.set");
    }
    config.languageFilePath = SelectLanguageFile(config.programDir, inputs.language);
    config.uhfRel = ReadIniInt(config.plateIniPath, "Setting", "UHFREL", 1);
    return config;
}

bool SaveSuiteBackup(const AppConfig& config, Hive& userHive) {
    if (!config.registerChanged || !config.embedded || (config.embMode != 1 && config.embMode != 2) ||
        config.settingsFilePath.empty())
        return false;
    // After any failed read or write the register may be incomplete: keep the last good backup.
    if (userHive.StoreErrors() > 0)
        return false;
    // Save beside the old backup first: a failed save must not leave the site without one.
    std::string temporary = config.settingsFilePath + ".new";
    std::error_code ec;
    std::filesystem::remove(temporary, ec);
    RegistryBranch suite(userHive);
    if (!suite.SaveToFile(std::string(), temporary)) {
        std::filesystem::remove(temporary, ec);
        return false;
    }
    std::filesystem::rename(temporary, config.settingsFilePath, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        return false;
    }
    return true;
}
