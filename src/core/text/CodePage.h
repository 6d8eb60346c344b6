#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Text inside the program is UTF-8; the suite's files are in Big5 (code page 950).
bool IsValidUtf8(std::string_view bytes);
// The user-defined areas of the code page map to the Private Use Area both ways.
std::optional<std::string> Big5ToUtf8(std::string_view bytes);
// nullopt when a character has no Big5 form.
std::optional<std::string> Utf8ToBig5(std::string_view text);

enum class TextEncoding { Utf8, Big5 };

struct DecodedText {
    TextEncoding encoding = TextEncoding::Big5;
    // One entry per line (LF ends a line, a CR before it goes too; the last line needs no end);
    // nullopt for a line that cannot be decoded.
    std::vector<std::optional<std::string>> lines;
};

// Reads a tag file or an ini file, deciding the encoding for the whole file: a UTF-8 byte-order
// mark is dropped, and the rest is UTF-8 when it is valid UTF-8. Without a mark the file is
// UTF-8 only when it is valid UTF-8 and not valid Big5. Everything else is Big5.
DecodedText DecodeTextFile(std::string_view bytes);
