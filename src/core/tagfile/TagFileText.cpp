#include "core/tagfile/TagFileText.h"

#include "core/tagfile/TagFileLine.h"
#include "core/text/CodePage.h"

#include <optional>
#include <string_view>
#include <utility>

namespace {

// Rows are converted a run of lines at a time: a character never spans two lines, so the Big5
// form of a run is the Big5 forms of its lines, and no single step converts the whole file.
constexpr size_t kRunBytes = 64 * 1024;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool BeginsWithMark(std::string_view bytes) { return bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark; }

} // namespace

TagFileText TagFileTextOfRows(const std::vector<TagFileRow>& rows, const std::function<void(size_t)>& step) {
    TagFileText text;
    size_t bytes = 0;
    for (const TagFileRow& row : rows)
        bytes += row.tagId.size() + row.plate.size() + 5;
    text.utf8.reserve(bytes);
    text.big5.reserve(bytes);   // a character never grows in Big5
    std::vector<size_t> starts; // where each line of the run begins in utf8
    size_t first = 0;           // the run's first row
    // Where utf8 holds the rows without a Big5 form, as start and size.
    std::vector<std::pair<size_t, size_t>> leftOut;
    auto convertRun = [&](size_t end) {
        starts.push_back(text.utf8.size());
        const std::string_view utf8 = text.utf8;
        const std::string_view run = utf8.substr(starts.front());
        if (std::optional<std::string> big5 = Utf8ToBig5(run)) {
            text.big5 += *big5;
        } else {
            // Some row of the run has no Big5 form: find which, row by row.
            for (size_t i = first; i < end; ++i) {
                const size_t at = starts[i - first];
                const size_t size = starts[i - first + 1] - at;
                if (std::optional<std::string> line = Utf8ToBig5(utf8.substr(at, size))) {
                    text.big5 += *line;
                } else {
                    text.withoutBig5.push_back(rows[i].tagId);
                    leftOut.emplace_back(at, size);
                }
            }
        }
        starts.clear();
        first = end;
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        if (step)
            step(i);
        starts.push_back(text.utf8.size());
        const TagFileRow& row = rows[i];
        TagFileLine::AppendFormatted(text.utf8, row.tagId, row.plate, row.carType);
        if (text.utf8.size() - starts.front() >= kRunBytes)
            convertRun(i + 1);
    }
    if (first < rows.size())
        convertRun(rows.size());
    if (!leftOut.empty() && BeginsWithMark(text.big5)) {
        size_t at = 0;
        for (const auto& [start, size] : leftOut) {
            text.big5RowsUtf8.append(text.utf8, at, start - at);
            at = start + size;
        }
        text.big5RowsUtf8.append(text.utf8, at);
    }
    return text;
}

TagFileOutput TagFileOutputOf(const TagFileText& text, bool wholeFileUtf8) {
    if (wholeFileUtf8 || (text.withoutBig5.empty() && BeginsWithMark(text.big5)))
        return {kByteOrderMark, text.utf8};
    if (BeginsWithMark(text.big5))
        return {kByteOrderMark, text.big5RowsUtf8};
    return {{}, text.big5};
}
