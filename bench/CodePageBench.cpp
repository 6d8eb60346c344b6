// Decoding and encoding speed of tag files with Chinese plates, against one plain pass of the
// platform's converter over the same bytes.
#include "core/tagfile/TagFileLine.h"
#include "core/text/CodePage.h"

#include <iconv.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

constexpr int kLines = 100000;

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// One pass of the converter over the whole buffer: the least any decoder has to do.
size_t PlainConvert(const std::string& bytes, const char* from, const char* to) {
    iconv_t cd = iconv_open(to, from);
    std::string out(bytes.size() * 3 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* dst = out.data();
    size_t outLeft = out.size();
    (void)iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    return out.size() - outLeft;
}

void Line(const char* what, long long ms, const char* bare, long long bareMs) {
    std::printf("%-44s %6lld ms   %-36s %6lld ms\n", what, ms, bare, bareMs);
}

} // namespace

int main() {
    std::string utf8;
    std::string withUserDefined;
    for (int i = 0; i < kLines; ++i) {
        char tag[32];
        std::snprintf(tag, sizeof tag, "E2000017221101%010d", i);
        utf8 += TagFileLine::Format(tag, "臺北市警禮" + std::to_string(i), 1 + i % 2);
        // U+E000 + i % 785: one user-defined character from the first area on every line
        const char32_t c = 0xE000 + char32_t(i % 785);
        const std::string pua{char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F))};
        withUserDefined += TagFileLine::Format(tag, "高雄" + pua + std::to_string(i), 1);
    }
    const std::string big5 = Utf8ToBig5(utf8).value_or(std::string());
    const std::string big5User = Utf8ToBig5(withUserDefined).value_or(std::string());
    std::printf("%d lines: %zu Big5 bytes, %zu with a user-defined character on every line\n\n", kLines, big5.size(),
                big5User.size());

    auto start = Clock::now();
    const size_t bare = PlainConvert(big5, "CP950", "UTF-8");
    const long long bareMs = MsSince(start);

    start = Clock::now();
    DecodedText decoded = DecodeTextFile(big5);
    Line("decode a Big5 tag file, line by line", MsSince(start), "bare: one converter pass", bareMs);

    start = Clock::now();
    DecodedText decodedUser = DecodeTextFile(big5User);
    Line("the same with user-defined characters", MsSince(start), "bare: the pass above", bareMs);

    start = Clock::now();
    const std::string encoded = Utf8ToBig5(utf8).value_or(std::string());
    const long long encodeMs = MsSince(start);
    start = Clock::now();
    const size_t bareOut = PlainConvert(utf8, "UTF-8", "CP950");
    Line("encode the export text to Big5", encodeMs, "bare: one converter pass", MsSince(start));

    std::printf("  lines %zu and %zu, converted %zu and %zu bytes, encoded %zu bytes\n", decoded.lines.size(),
                decodedUser.lines.size(), bare, bareOut, encoded.size());
    return 0;
}
