#pragma once

#include <optional>
#include <string>

// The user-defined characters of code page 950 (FA40–FEFE, 8E40–A0FE, 8140–8DFE, C6A1–C8FE)
// and their Private Use Area characters, numbered as the Windows code page numbers them, so a
// plate holding one comes back as the same bytes after a trip through the program.

// The Private Use Area character of a two-byte pair; 0 when the pair is not user-defined.
char32_t UserDefinedCharacter(unsigned char lead, unsigned char trail);
// The two bytes of a Private Use Area character; nullopt for any other character.
std::optional<std::string> UserDefinedBytes(char32_t character);
