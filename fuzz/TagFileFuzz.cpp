// A tag file can come from any program. Whatever its bytes, decoding and the line rules must
// hold, and the lines read must survive an export and a new import unchanged.
#include "CodePage.h"
#include "FuzzCheck.h"
#include "TagFileLine.h"

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

// The bytes the export writes for these rows: CR LF lines in Big5, or UTF-8 when some row has
// no Big5 form.
std::string ExportBytes(const std::vector<TagFileLine>& lines) {
    std::string text;
    for (const TagFileLine& line : lines)
        text += TagFileLine::Format(line.tagId, line.plate, line.carType);
    if (std::optional<std::string> big5 = Utf8ToBig5(text))
        return *big5;
    return text;
}

void CheckRules(const TagFileLine& line) {
    Require(IsValidUtf8(line.tagId) && IsValidUtf8(line.plate), "decoded text is UTF-8");
    Require(TagFileLine::CodePageLength(line.tagId) == TagFileLine::kTagBytes, "tag id has its fixed length");
    Require(!HasAny(line.tagId, " ,") && !HasSmallLetter(line.tagId), "tag id without blanks, commas, small letters");
    Require(!HasAny(line.plate, " ,-") && !HasSmallLetter(line.plate), "plate without blanks, commas, dashes, small letters");
    Require(line.carType == 1 || line.carType == 2, "vehicle type is 1 or 2");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<TagFileLine> lines = ImportLines(bytes);
    for (const TagFileLine& line : lines)
        CheckRules(line);

    const std::vector<TagFileLine> back = ImportLines(ExportBytes(lines));
    Require(back.size() == lines.size(), "every exported line is imported again");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Require(back[i].tagId == lines[i].tagId, "tag id survives export and import");
        Require(back[i].plate == lines[i].plate, "plate survives export and import");
        Require(back[i].carType == lines[i].carType, "vehicle type survives export and import");
    }
    return 0;
}
