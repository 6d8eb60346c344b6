#include "core/tagfile/TagFileText.h"

#include "core/tagfile/TagFileLine.h"
#include "core/text/CodePage.h"

#include <optional>
#include <string_view>

TagFileText TagFileTextOfRows(const std::vector<TagFileRow>& rows, const std::function<void(size_t)>& step) {
    TagFileText text;
    std::vector<size_t> starts; // where each row's line begins in utf8
    starts.reserve(rows.size() + 1);
    for (const TagFileRow& row : rows) {
        starts.push_back(text.utf8.size());
        text.utf8 += TagFileLine::Format(row.tagId, row.plate, row.carType == 2 ? 2 : 1);
    }
    if (std::optional<std::string> big5 = Utf8ToBig5(text.utf8)) {
        text.big5 = std::move(*big5);
        return text;
    }
    // Some row has no Big5 form: find which, row by row.
    starts.push_back(text.utf8.size());
    const std::string_view utf8 = text.utf8;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (step)
            step(i);
        if (std::optional<std::string> line = Utf8ToBig5(utf8.substr(starts[i], starts[i + 1] - starts[i])))
            text.big5 += *line;
        else
            text.withoutBig5.push_back(rows[i].tagId);
    }
    return text;
}
