#include "LanguageTexts.h"

#include "IniFile.h"

#include <filesystem>
#include <system_error>

LanguageTexts::LanguageTexts(std::string languageFilePath) : languageFilePath(std::move(languageFilePath)) {}

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
    std::filesystem::path path = std::filesystem::path(programDir) / (language == 1 ? "Qmel_EN_US.ini" : "Qmel_ZH_TW.ini");
    std::error_code ec;
    return std::filesystem::exists(path, ec) ? path.string() : std::string();
}
