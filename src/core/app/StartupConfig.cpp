#include "core/app/StartupConfig.h"

#include "core/app/EmbeddedMode.h"
#include "core/app/Paths.h"
#include "core/store/RegistryBranch.h"
#include "core/store/WholeFileWriter.h"
#include "core/text/IniFile.h"
#include "core/text/LanguageTexts.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

// The whole of source as target, through the checked writer.
bool CopyWhole(const std::string& source, const std::string& target) {
    std::ifstream in(source, std::ios::binary);
    WholeFileWriter out(target);
    if (!in || !out.Open())
        return false;
    std::string chunk(1 << 20, '\0');
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        if (in.gcount() > 0 && !out.Write(std::string_view(chunk.data(), static_cast<size_t>(in.gcount()))))
            return false;
    }
    return in.eof() && out.Commit();
}

} // namespace

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
    // Into place through the checked writer, like every file the program writes: on disk and
    // of the right size before it replaces the old backup.
    const bool copied = CopyWhole(temporary, config.settingsFilePath);
    std::filesystem::remove(temporary, ec);
    return copied;
}
