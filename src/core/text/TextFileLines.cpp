#include "core/text/TextFileLines.h"

#include <algorithm>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsAscii(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// As DecodeTextFile splits: LF ends a line, a CR before it goes too, the last line needs no end.
template <typename Fn> void ForEachLine(std::string_view bytes, Fn&& fn) {
    size_t index = 0;
    for (size_t start = 0; start < bytes.size(); ++index) {
        const size_t end = bytes.find('\n', start);
        std::string_view line = bytes.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!fn(index, line))
            return;
        start = end == std::string_view::npos ? bytes.size() : end + 1;
    }
}

} // namespace

TextEncoding DecodeTextFileLines(std::string_view bytes, const TextLineSink& each,
                                 const std::function<void(size_t)>& step) {
    auto stepTo = [&step](size_t index) {
        if (step)
            step(index);
    };
    const bool marked = bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
    if (marked)
        bytes.remove_prefix(kByteOrderMark.size());
    // A line end is ASCII and never inside a character of either encoding: the file is valid
    // UTF-8 exactly when every line is, and lines of ASCII read the same in both.
    bool validUtf8 = true;
    bool allAscii = true;
    ForEachLine(bytes, [&](size_t index, std::string_view line) {
        stepTo(index);
        if (!IsAscii(line)) {
            allAscii = false;
            validUtf8 = IsValidUtf8(line);
        }
        return validUtf8;
    });
    TextEncoding encoding = marked && validUtf8 ? TextEncoding::Utf8 : TextEncoding::Big5;
    if (!marked && validUtf8 && !allAscii) {
        // Big5 unless some line is not Big5: many Big5 pairs happen to form UTF-8 too.
        ForEachLine(bytes, [&](size_t index, std::string_view line) {
            stepTo(index);
            if (!IsAscii(line) && !Big5ToUtf8(line))
                encoding = TextEncoding::Utf8;
            return encoding == TextEncoding::Big5;
        });
    }
    std::optional<std::string> text;
    ForEachLine(bytes, [&](size_t index, std::string_view line) {
        stepTo(index);
        if (encoding == TextEncoding::Utf8 || IsAscii(line))
            text.emplace(line);
        else
            text = Big5ToUtf8(line);
        each(index, text);
        return true;
    });
    return encoding;
}
