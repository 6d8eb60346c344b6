#include "CodePage.h"

#include "UserDefinedArea.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

#ifdef _WIN32
constexpr UINT kBig5 = 950;

std::optional<std::string> Convert(std::string_view bytes, UINT from, UINT to) {
    if (bytes.empty())
        return std::string();
    int wide = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (wide <= 0)
        return std::nullopt;
    std::wstring w(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), w.data(), wide);
    BOOL lossy = FALSE;
    BOOL* lossyFlag = to == CP_UTF8 ? nullptr : &lossy;
    int out = WideCharToMultiByte(to, 0, w.data(), wide, nullptr, 0, nullptr, lossyFlag);
    if (out <= 0 || lossy)
        return std::nullopt;
    std::string text(static_cast<size_t>(out), '\0');
    WideCharToMultiByte(to, 0, w.data(), wide, text.data(), out, nullptr, lossyFlag);
    return text;
}
#else
// glibc's "CP950" knows the Windows table except the user-defined areas, which come first.
std::optional<std::string> Convert(std::string_view bytes, const char* from, const char* to) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out;
    out.resize(bytes.size() * 4 + 16);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* dst = out.data();
    size_t outLeft = out.size();
    bool ok = iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1) &&
              iconv(cd, nullptr, nullptr, &dst, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}
#endif

#ifdef _WIN32
std::optional<std::string> PlatformFromBig5(std::string_view bytes) { return Convert(bytes, kBig5, CP_UTF8); }
std::optional<std::string> PlatformToBig5(std::string_view text) { return Convert(text, CP_UTF8, kBig5); }
#else
std::optional<std::string> PlatformFromBig5(std::string_view bytes) { return Convert(bytes, "CP950", "UTF-8"); }
std::optional<std::string> PlatformToBig5(std::string_view text) { return Convert(text, "UTF-8", "CP950"); }
#endif

bool AppendConverted(std::string& out, std::string_view run, std::optional<std::string> (*convert)(std::string_view)) {
    // ASCII is the same in both encodings, and most lines of a tag file are nothing else.
    if (std::all_of(run.begin(), run.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        out += run;
        return true;
    }
    std::optional<std::string> converted = convert(run);
    if (!converted)
        return false;
    out += *converted;
    return true;
}

void AppendUtf8(std::string& out, char32_t c) {
    // Only characters of the Basic Multilingual Plane come here: the Private Use Area.
    out.push_back(char(0xE0 | (c >> 12)));
    out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(char(0x80 | (c & 0x3F)));
}

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

template <typename Fn> void ForEachLine(std::string_view bytes, Fn&& fn) {
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        std::string_view line = bytes.substr(start, (end == std::string_view::npos ? bytes.size() : end) - start);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        fn(line);
        start = next;
    }
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        size_t extra;
        unsigned min;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            min = 0x10000;
        } else {
            return false;
        }
        unsigned cp = c & (0x3F >> extra);
        for (size_t k = 1; k <= extra; ++k) {
            if (i + k >= s.size())
                return false;
            auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}


std::optional<std::string> Big5ToUtf8(std::string_view bytes) {
    // Runs of ordinary characters go to the platform's converter; user-defined pairs are ours.
    std::string text;
    size_t runStart = 0;
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x81 || lead == 0xFF || i + 1 == bytes.size()) {
            ++i;
            continue;
        }
        const char32_t user = UserDefinedCharacter(lead, static_cast<unsigned char>(bytes[i + 1]));
        if (user != 0) {
            if (!AppendConverted(text, bytes.substr(runStart, i - runStart), PlatformFromBig5))
                return std::nullopt;
            AppendUtf8(text, user);
            runStart = i + 2;
        }
        i += 2;
    }
    if (!AppendConverted(text, bytes.substr(runStart), PlatformFromBig5))
        return std::nullopt;
    return text;
}

std::optional<std::string> Utf8ToBig5(std::string_view text) {
    std::string bytes;
    size_t runStart = 0;
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        // The Private Use Area lies in U+E000–U+F8FF: three bytes starting EE or EF.
        if ((lead == 0xEE || lead == 0xEF) && i + 2 < text.size() && IsContinuation(text[i + 1]) &&
            IsContinuation(text[i + 2])) {
            const char32_t c = char32_t(lead & 0x0F) << 12 | char32_t(text[i + 1] & 0x3F) << 6 |
                               char32_t(text[i + 2] & 0x3F);
            if (std::optional<std::string> pair = UserDefinedBytes(c)) {
                if (!AppendConverted(bytes, text.substr(runStart, i - runStart), PlatformToBig5))
                    return std::nullopt;
                bytes += *pair;
                runStart = i + 3;
            }
            i += 3;
            continue;
        }
        ++i;
    }
    if (!AppendConverted(bytes, text.substr(runStart), PlatformToBig5))
        return std::nullopt;
    return bytes;
}

DecodedText DecodeTextFile(std::string_view bytes) {
    DecodedText decoded;
    const bool marked = bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
    if (marked)
        bytes.remove_prefix(kByteOrderMark.size());
    if (!marked || !IsValidUtf8(bytes)) {
        // Big5 first: many Big5 pairs happen to form UTF-8 too, so that alone proves nothing.
        ForEachLine(bytes, [&](std::string_view line) { decoded.lines.push_back(Big5ToUtf8(line)); });
        const bool allRead = std::all_of(decoded.lines.begin(), decoded.lines.end(),
                                         [](const std::optional<std::string>& line) { return line.has_value(); });
        if (marked || allRead || !IsValidUtf8(bytes))
            return decoded;
        decoded.lines.clear();
    }
    decoded.encoding = TextEncoding::Utf8;
    ForEachLine(bytes, [&](std::string_view line) { decoded.lines.emplace_back(std::string(line)); });
    return decoded;
}
