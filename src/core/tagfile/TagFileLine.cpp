#include "core/tagfile/TagFileLine.h"

#include "core/text/CodePage.h"

#include <algorithm>

namespace {

std::string WithoutChar(std::string_view text, char drop) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != drop)
            out.push_back(c);
    return out;
}

void RaiseAscii(std::string& text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
}

} // namespace

TagFileLine::Verdict TagFileLine::Classify(std::string_view line, TagFileLine& out) {
    if (line.empty())
        return Verdict::Empty;
    if (std::count(line.begin(), line.end(), ',') != 2)
        return Verdict::Malformed;
    size_t first = line.find(',');
    size_t second = line.find(',', first + 1);

    std::string tagId = WithoutChar(line.substr(0, first), ' ');
    const size_t tagLength = CodePageLength(tagId);
    if (tagLength < kTagBytes)
        return Verdict::TagTooShort;
    if (tagLength > kTagBytes)
        return Verdict::TagTooLong;
    RaiseAscii(tagId);

    std::string plate = WithoutChar(WithoutChar(line.substr(first + 1, second - first - 1), '-'), ' ');
    RaiseAscii(plate);

    std::string type = WithoutChar(line.substr(second + 1), ' ');
    if (type.empty())
        type = "1";
    if (type != "1" && type != "2")
        return Verdict::Malformed;
    out.tagId = std::move(tagId);
    out.plate = std::move(plate);
    out.carType = type == "2" ? 2 : 1;
    return Verdict::Ok;
}

std::optional<TagFileLine> TagFileLine::Parse(std::string_view line) {
    TagFileLine out;
    if (Classify(line, out) != Verdict::Ok)
        return std::nullopt;
    return out;
}

std::string TagFileLine::Format(std::string_view tagId, std::string_view plate, int carType) {
    std::string line;
    line.reserve(tagId.size() + plate.size() + 5);
    AppendFormatted(line, tagId, plate, carType);
    return line;
}

void TagFileLine::AppendFormatted(std::string& out, std::string_view tagId, std::string_view plate, int carType) {
    out.append(tagId).append(1, ',').append(plate).append(1, ',').append(carType == 2 ? "2" : "1").append("\r\n");
}

size_t TagFileLine::CodePageLength(std::string_view utf8) {
    size_t length = 0;
    for (unsigned char c : utf8) {
        if (c < 0x80)
            length += 1;
        else if ((c & 0xC0) != 0x80)
            length += 2; // a lead byte: one two-byte character of the code page
    }
    return length;
}

std::vector<std::optional<std::string>> TagFileLine::DecodeLines(std::string_view bytes) {
    return DecodeTextFile(bytes).lines;
}
