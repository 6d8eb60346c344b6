#pragma once

#include <string>

// Reads one value of an ini file the way the platform's profile reader does: section and key
// names match without regard to letter case, blanks around the value and enclosing quotes are
// removed, and the value is cut to fit a buffer of 260 bytes. The file is read at every call.
// The file is decoded as a whole, as a tag file is (DecodeTextFile); the result is UTF-8.
std::string ReadIniString(const std::string& file, const std::string& section, const std::string& key);

// The value as an integer: its leading sign and digits, 0 when it starts with anything else
// ("0x2" reads 0); fallback when the file, section or key is missing or the value is empty.
int ReadIniInt(const std::string& file, const std::string& section, const std::string& key, int fallback);
