#include "CodePage.h"

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
// glibc's "CP950" is the same table as its "BIG5".
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

#ifdef _WIN32
std::optional<std::string> Big5ToUtf8(std::string_view bytes) { return Convert(bytes, kBig5, CP_UTF8); }

std::optional<std::string> Utf8ToBig5(std::string_view text) { return Convert(text, CP_UTF8, kBig5); }
#else
std::optional<std::string> Big5ToUtf8(std::string_view bytes) { return Convert(bytes, "CP950", "UTF-8"); }

std::optional<std::string> Utf8ToBig5(std::string_view text) { return Convert(text, "UTF-8", "CP950"); }
#endif

std::optional<std::string> DecodeSuiteText(std::string_view bytes) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return Big5ToUtf8(bytes);
}
