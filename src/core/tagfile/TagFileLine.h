#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One line of a tag file: "tag,plate,type" with CR LF. Text here is UTF-8; the file's code
// page is dealt with when the file is read or written.
struct TagFileLine {
    std::string tagId;
    std::string plate;
    int carType = 1;

    static constexpr size_t kTagBytes = 24;

    enum class Verdict { Ok, Empty, Malformed, TagTooShort, TagTooLong };

    // The import's rules for one line without its line end; out is filled only for Ok.
    static Verdict Classify(std::string_view line, TagFileLine& out);
    // As Classify; nullopt when the line is passed over.
    static std::optional<TagFileLine> Parse(std::string_view line);
    // An exported line with its CR LF: "2" for motorcycles, "1" for everything else.
    static std::string Format(std::string_view tagId, std::string_view plate, int carType);
    // Format's line added to the end of out.
    static void AppendFormatted(std::string& out, std::string_view tagId, std::string_view plate, int carType);
    // Length in the suite's two-byte code page: one byte per ASCII character, two for others.
    static size_t CodePageLength(std::string_view utf8);
    // The lines of a tag file's bytes, decoded as DecodeTextFile does; nullopt for a line that
    // cannot be decoded.
    static std::vector<std::optional<std::string>> DecodeLines(std::string_view bytes);
};
