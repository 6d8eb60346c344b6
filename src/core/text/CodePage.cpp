#include "core/text/CodePage.h"

#include "core/text/UserDefinedArea.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
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

bool AppendFromBig5(std::string& out, std::string_view bytes) {
    std::optional<std::string> text = Convert(bytes, kBig5, CP_UTF8);
    if (text)
        out += *text;
    return text.has_value();
}

bool AppendToBig5(std::string& out, std::string_view text) {
    std::optional<std::string> bytes = Convert(text, CP_UTF8, kBig5);
    if (bytes)
        out += *bytes;
    return bytes.has_value();
}
#else
// One converter per direction and thread, opened on first use: files convert line by line,
// and opening a converter costs more than converting a line.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : cd(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (Ok())
            iconv_close(cd);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool Ok() const { return cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return cd; }

private:
    iconv_t cd;
};

// Appends the conversion of bytes to out. The room is sized to the need: maxOutPerIn output
// bytes for every input byte, grown only if a converter ever needs more.
bool AppendIconv(std::string& out, std::string_view bytes, IconvHandle& handle, size_t maxOutPerIn) {
    if (!handle.Ok())
        return false;
    iconv(handle.Get(), nullptr, nullptr, nullptr, nullptr); // back to the initial state
    const size_t start = out.size();
    out.resize(start + bytes.size() * maxOutPerIn + 8);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    size_t used = 0;
    for (;;) {
        char* dst = out.data() + start + used;
        size_t outLeft = out.size() - start - used;
        const size_t converted = iconv(handle.Get(), &in, &inLeft, &dst, &outLeft);
        const int error = errno;
        used = static_cast<size_t>(dst - (out.data() + start));
        if (converted != static_cast<size_t>(-1) &&
            iconv(handle.Get(), nullptr, nullptr, &dst, &outLeft) != static_cast<size_t>(-1)) {
            used = static_cast<size_t>(dst - (out.data() + start));
            break;
        }
        if (converted != static_cast<size_t>(-1) || error != E2BIG) {
            out.resize(start);
            return false;
        }
        out.resize(out.size() + inLeft * maxOutPerIn + 16);
    }
    out.resize(start + used);
    return true;
}

// glibc's "CP950" knows the Windows table except the user-defined areas, which come first.
// A Big5 pair becomes at most three bytes of UTF-8; a UTF-8 character never grows in Big5.
bool AppendFromBig5(std::string& out, std::string_view bytes) {
    thread_local IconvHandle handle("UTF-8", "CP950");
    return AppendIconv(out, bytes, handle, 2);
}

bool AppendToBig5(std::string& out, std::string_view text) {
    thread_local IconvHandle handle("CP950", "UTF-8");
    return AppendIconv(out, text, handle, 1);
}
#endif

bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

// ASCII is the same in both encodings, and most of a tag file is nothing else: only the spans
// between ASCII go to the converter. In Big5 a pair's second byte may look like ASCII, so a
// span there goes on pair by pair.
bool AppendConverted(std::string& out, std::string_view run, bool fromBig5) {
    size_t at = 0;
    while (at < run.size()) {
        size_t plain = at;
        while (plain < run.size() && IsAscii(run[plain]))
            ++plain;
        out.append(run.substr(at, plain - at));
        if (plain == run.size())
            break;
        size_t end = plain;
        while (end < run.size() && !IsAscii(run[end]))
            end = fromBig5 ? std::min(end + 2, run.size()) : end + 1;
        const std::string_view span = run.substr(plain, end - plain);
        if (!(fromBig5 ? AppendFromBig5(out, span) : AppendToBig5(out, span)))
            return false;
        at = end;
    }
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
            if (!AppendConverted(text, bytes.substr(runStart, i - runStart), true))
                return std::nullopt;
            AppendUtf8(text, user);
            runStart = i + 2;
        }
        i += 2;
    }
    if (!AppendConverted(text, bytes.substr(runStart), true))
        return std::nullopt;
    return text;
}

std::optional<std::string> Utf8ToBig5(std::string_view text) {
    // U+0080 would be the single byte 80, which a reader pairs with a following byte of a pair's
    // range: text holding it has no Big5 form that reads back as written.
    if (text.find("\xC2\x80") != std::string_view::npos)
        return std::nullopt;
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
                if (!AppendConverted(bytes, text.substr(runStart, i - runStart), false))
                    return std::nullopt;
                bytes += *pair;
                runStart = i + 3;
            }
            i += 3;
            continue;
        }
        ++i;
    }
    if (!AppendConverted(bytes, text.substr(runStart), false))
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
