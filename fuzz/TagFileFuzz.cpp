// A tag file can come from any program. Whatever its bytes, decoding and the line rules must
// hold, and the lines read must survive an export and a new import unchanged, whichever file
// the export is told to write.
#include "FuzzCheck.h"
#include "core/tagfile/TagFileLine.h"
#include "core/tagfile/TagFileText.h"
#include "core/text/CodePage.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool HasAny(const std::string& text, std::string_view chars) {
    return text.find_first_of(chars) != std::string::npos;
}

bool HasSmallLetter(const std::string& text) {
    return HasAny(text, "abcdefghijklmnopqrstuvwxyz");
}

std::vector<TagFileLine> ImportLines(std::string_view bytes) {
    std::vector<TagFileLine> lines;
    for (const std::optional<std::string>& text : TagFileLine::DecodeLines(bytes)) {
        if (!text)
            continue;
        if (std::optional<TagFileLine> line = TagFileLine::Parse(*text))
            lines.push_back(std::move(*line));
    }
    return lines;
}

// A file the export can write and the rows it holds. With a Big5 form for every row the file
// is Big5; otherwise the operator chooses between the whole file in UTF-8 behind a byte-order
// mark and Big5 without the rows that have no Big5 form. Big5 that would begin with the mark's
// bytes goes out as UTF-8 behind the mark.
struct Exported {
    std::string bytes;
    std::vector<TagFileLine> rows;
};

std::string Bytes(const TagFileOutput& file) { return std::string(file.mark) + std::string(file.body); }

std::vector<Exported> ExportChoices(const std::vector<TagFileLine>& lines) {
    std::vector<TagFileRow> rows;
    for (const TagFileLine& line : lines)
        rows.push_back({line.tagId, line.plate, line.carType});
    const TagFileText text = TagFileTextOfRows(rows);
    if (text.withoutBig5.empty())
        return {{Bytes(TagFileOutputOf(text, false)), lines}};
    Exported partial{Bytes(TagFileOutputOf(text, false)), {}};
    for (const TagFileLine& line : lines)
        if (Utf8ToBig5(TagFileLine::Format(line.tagId, line.plate, line.carType)))
            partial.rows.push_back(line);
    return {{Bytes(TagFileOutputOf(text, true)), lines}, std::move(partial)};
}

void CheckRules(const TagFileLine& line) {
    Require(IsValidUtf8(line.tagId) && IsValidUtf8(line.plate), "decoded text is UTF-8");
    Require(TagFileLine::CodePageLength(line.tagId) == TagFileLine::kTagBytes, "tag id has its fixed length");
    Require(!HasAny(line.tagId, " ,") && !HasSmallLetter(line.tagId), "tag id without blanks, commas, small letters");
    Require(!HasAny(line.plate, " ,-") && !HasSmallLetter(line.plate),
            "plate without blanks, commas, dashes, small letters");
    Require(line.carType == VehicleType::Car || line.carType == VehicleType::Motorcycle, "vehicle type is 1 or 2");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<TagFileLine> lines = ImportLines(bytes);
    for (const TagFileLine& line : lines)
        CheckRules(line);

    for (const Exported& file : ExportChoices(lines)) {
        const std::vector<TagFileLine> back = ImportLines(file.bytes);
        Require(back.size() == file.rows.size(), "every exported line is imported again");
        for (std::size_t i = 0; i < back.size(); ++i) {
            Require(back[i].tagId == file.rows[i].tagId, "tag id survives export and import");
            Require(back[i].plate == file.rows[i].plate, "plate survives export and import");
            Require(back[i].carType == file.rows[i].carType, "vehicle type survives export and import");
        }
    }
    return 0;
}
