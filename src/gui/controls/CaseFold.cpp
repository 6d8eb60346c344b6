#include "gui/controls/CaseFold.h"

#include <algorithm>

QString FoldAsciiCase(const QString& text) {
    const QChar* begin = text.constData();
    const qsizetype size = text.size();
    qsizetype first = 0;
    while (first < size && !(begin[first].unicode() >= u'A' && begin[first].unicode() <= u'Z'))
        ++first;
    if (first == size)
        return text;
    QString folded = text;
    QChar* out = folded.data();
    for (qsizetype i = first; i < size; ++i)
        out[i] = QChar(FoldAsciiChar(out[i].unicode()));
    return folded;
}

bool EqualFolded(QStringView a, QStringView b) {
    if (a.size() != b.size())
        return false;
    const char16_t* x = a.utf16();
    const char16_t* y = b.utf16();
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (x[i] != y[i] && FoldAsciiChar(x[i]) != FoldAsciiChar(y[i]))
            return false;
    }
    return true;
}

int CompareFolded(QStringView a, QStringView b) {
    const qsizetype common = std::min(a.size(), b.size());
    const char16_t* x = a.utf16();
    const char16_t* y = b.utf16();
    for (qsizetype i = 0; i < common; ++i) {
        if (x[i] == y[i])
            continue;
        const char16_t fx = FoldAsciiChar(x[i]);
        const char16_t fy = FoldAsciiChar(y[i]);
        if (fx != fy)
            return fx < fy ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::uint32_t FoldedHash(QStringView text) {
    // FNV-1a over the folded code units, then a final mix so that the low bits, which pick
    // a slot, depend on every character.
    std::uint64_t h = 14695981039346656037ull;
    for (const QChar c : text) {
        h ^= FoldAsciiChar(c.unicode());
        h *= 1099511628211ull;
    }
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return static_cast<std::uint32_t>(h);
}
