#pragma once

#include <QString>

// The lists' comparison key: ASCII letters A-Z become a-z, every other character stays as it
// is, so keys compare by code value. Unicode order stands in for the code page's order of
// two-byte characters. Returns a shared copy when there is nothing to fold.
QString FoldAsciiCase(const QString& text);

// True when text folds to key, without building the folded copy.
bool MatchesFolded(QStringView text, QStringView key);

// Negative, 0 or positive, like the list's own comparison of two cell texts.
int CompareFolded(const QString& a, const QString& b);
