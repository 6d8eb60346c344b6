#pragma once

#include <string>

// The four texts loaded once at start-up; later file changes do not reach them.
struct SharedTexts {
    std::string countLabel = "筆數";
    std::string carLabel = "汽車";
    std::string motorcycleLabel = "機車";
    std::string doneText;
};

// Every label and message is looked up by section and three-digit key, with the built-in
// default given at the call site. The language file is read at every lookup.
class LanguageTexts {
public:
    LanguageTexts() = default;
    explicit LanguageTexts(std::string filePath);

    // The file's value when it is not empty, else the default.
    std::string Lookup(const std::string& section, const std::string& key, const std::string& fallback) const;
    // Replaces text by the file's value only when that value is not empty.
    void Override(const std::string& section, const std::string& key, std::string& text) const;

    void LoadShared();
    const SharedTexts& Shared() const { return shared; }
    const std::string& FilePath() const { return languageFilePath; }

private:
    std::string languageFilePath;
    SharedTexts shared;
};

// The language file for a "Language" setting: 0 (and anything outside 0..1) Traditional
// Chinese, 1 English; looked for in the program's folder, then in ../share/lumetra beside it;
// empty (the built-in texts) when it is in neither.
std::string SelectLanguageFile(const std::string& programDir, int language);
