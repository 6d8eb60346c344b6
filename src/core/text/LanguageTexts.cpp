#include "core/text/LanguageTexts.h"

#include "core/text/IniFile.h"

#include <filesystem>
#include <system_error>
#include <vector>

LanguageTexts::LanguageTexts(std::string filePath) : languageFilePath(std::move(filePath)) {}

std::string LanguageTexts::Lookup(const std::string& section, const std::string& key,
                                  const std::string& fallback) const {
    if (languageFilePath.empty())
        return fallback;
    std::string value = ReadIniString(languageFilePath, section, key);
    return value.empty() ? fallback : value;
}

void LanguageTexts::Override(const std::string& section, const std::string& key, std::string& text) const {
    text = Lookup(section, key, text);
}

void LanguageTexts::LoadShared() {
    Override("COMMON", "007", shared.countLabel);
    Override("APB1", "020", shared.carLabel);
    Override("APB1", "021", shared.motorcycleLabel);
    Override("COMMON", "020", shared.doneText);
}

std::string SelectLanguageFile(const std::string& programDir, int language) {
    if (language < 0 || language > 1)
        language = 0;
    const char* name = language == 1 ? "Qmel_EN_US.ini" : "Qmel_ZH_TW.ini";
    // An installed program keeps its files in share/lumetra beside bin; a build-folder program
    // beside itself. The program's own folder wins, so a site can still drop in its own file.
    const std::filesystem::path program(programDir);
    std::vector<std::filesystem::path> candidates{program / name};
    if (!programDir.empty())
        candidates.push_back(program / ".." / "share" / "lumetra" / name);
    for (const std::filesystem::path& path : candidates) {
        std::error_code ec;
        if (std::filesystem::exists(path, ec))
            return path.string();
    }
    return std::string();
}
