#pragma once

#include <optional>
#include <string>
#include <string_view>

// Text inside the program is UTF-8; the suite's files are in Big5 (code page 950).
bool IsValidUtf8(std::string_view bytes);
std::optional<std::string> Big5ToUtf8(std::string_view bytes);
// nullopt when a character has no Big5 form.
std::optional<std::string> Utf8ToBig5(std::string_view text);
// Reads a file's text: UTF-8 when it is valid UTF-8 (a byte-order mark is dropped), else Big5.
std::optional<std::string> DecodeSuiteText(std::string_view bytes);
