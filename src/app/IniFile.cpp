#include "IniFile.h"

#include "CodePage.h"
#include "Hive.h"

#include <fstream>
#include <sstream>

namespace {

constexpr size_t kValueBytes = 259;

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// Cuts UTF-8 text to at most n bytes without splitting a character.
std::string CutUtf8(const std::string& s, size_t n) {
    if (s.size() <= n)
        return s;
    size_t cut = n;
    while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80)
        --cut;
    return s.substr(0, cut);
}

// Cuts Big5 bytes to at most n without splitting a two-byte character.
std::string CutBig5(const std::string& s, size_t n) {
    if (s.size() <= n)
        return s;
    size_t i = 0;
    while (i < n) {
        size_t len = static_cast<unsigned char>(s[i]) >= 0x81 ? 2 : 1;
        if (i + len > n)
            break;
        i += len;
    }
    return s.substr(0, i);
}

std::optional<std::string> RawValue(const std::string& file, const std::string& section, const std::string& key) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::string bytes = buffer.str();
    bool utf8 = false;
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        bytes.erase(0, 3);
        utf8 = true;
    }
    utf8 = utf8 || IsValidUtf8(bytes);

    std::string wantSection = FoldName(section), wantKey = FoldName(key);
    std::istringstream lines(bytes);
    std::string line;
    bool inSection = false;
    while (std::getline(lines, line)) {
        std::string t = Trim(line);
        if (t.empty() || t[0] == ';')
            continue;
        if (t[0] == '[') {
            // Of a section written twice only the first counts, as the platform's reader has it.
            if (inSection)
                return std::nullopt;
            size_t close = t.find(']');
            inSection = close != std::string::npos && FoldName(Trim(t.substr(1, close - 1))) == wantSection;
            continue;
        }
        if (!inSection)
            continue;
        size_t eq = t.find('=');
        if (eq == std::string::npos || FoldName(Trim(t.substr(0, eq))) != wantKey)
            continue;
        std::string value = Trim(t.substr(eq + 1));
        if (value.size() >= 2 && ((value.front() == '"' && value.back() == '"') ||
                                  (value.front() == '\'' && value.back() == '\'')))
            value = value.substr(1, value.size() - 2);
        if (utf8)
            return CutUtf8(value, kValueBytes);
        return Big5ToUtf8(CutBig5(value, kValueBytes)).value_or(std::string());
    }
    return std::nullopt;
}

} // namespace

std::string ReadIniString(const std::string& file, const std::string& section, const std::string& key) {
    return RawValue(file, section, key).value_or(std::string());
}

int ReadIniInt(const std::string& file, const std::string& section, const std::string& key, int fallback) {
    auto value = RawValue(file, section, key);
    if (!value || value->empty())
        return fallback;
    size_t i = 0;
    bool negative = false;
    if ((*value)[0] == '-' || (*value)[0] == '+') {
        negative = (*value)[0] == '-';
        i = 1;
    }
    // A present value is read as the platform reads integers: its leading digits, else 0.
    long long n = 0;
    for (; i < value->size() && (*value)[i] >= '0' && (*value)[i] <= '9'; ++i)
        n = std::min<long long>(n * 10 + ((*value)[i] - '0'), 0x7FFFFFFF);
    return static_cast<int>(negative ? -n : n);
}
