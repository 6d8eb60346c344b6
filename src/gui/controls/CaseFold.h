#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

// The lists' comparison key: ASCII letters A-Z become a-z, every other character stays as it
// is, so keys compare by code value. Unicode order stands in for the code page's order of
// two-byte characters. Returns a shared copy when there is nothing to fold.
QString FoldAsciiCase(const QString& text);

inline char16_t FoldAsciiChar(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}

// The comparisons below fold as they go, so no folded copy of a cell is ever made.
bool EqualFolded(QStringView a, QStringView b);

// Negative, 0 or positive, like the list's own comparison of two cell texts.
int CompareFolded(QStringView a, QStringView b);

// Equal for texts that are EqualFolded.
std::uint32_t FoldedHash(QStringView text);
