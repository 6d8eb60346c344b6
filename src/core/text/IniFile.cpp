#include "core/text/IniFile.h"

#include "core/store/Hive.h"
#include "core/text/CodePage.h"

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

// Cuts UTF-8 text so that its Big5 form, two bytes for every character beyond ASCII, has at
// most n bytes.
std::string CutForBig5(const std::string& s, size_t n) {
    size_t bytes = 0;
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t length = 1;
        while (c >= 0x80 && i + length < s.size() && (static_cast<unsigned char>(s[i + length]) & 0xC0) == 0x80)
            ++length;
        bytes += c < 0x80 ? 1 : 2;
        if (bytes > n)
            break;
        i += length;
    }
    return s.substr(0, i);
}

std::optional<std::string> RawValue(const std::string& file, const std::string& section, const std::string& key) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::stringstream buffer;
    buffer << in.rdbuf();
    const DecodedText text = DecodeTextFile(buffer.str());

    std::string wantSection = FoldName(section), wantKey = FoldName(key);
    bool inSection = false;
    for (const std::optional<std::string>& line : text.lines) {
        if (!line)
            continue; // as good as absent
        std::string t = Trim(*line);
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
        return text.encoding == TextEncoding::Utf8 ? CutUtf8(value, kValueBytes) : CutForBig5(value, kValueBytes);
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
