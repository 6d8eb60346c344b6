#include "CaseFold.h"

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
    for (qsizetype i = first; i < size; ++i) {
        const char16_t c = out[i].unicode();
        if (c >= u'A' && c <= u'Z')
            out[i] = QChar(char16_t(c + (u'a' - u'A')));
    }
    return folded;
}

bool MatchesFolded(QStringView text, QStringView key) {
    if (text.size() != key.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t c = text[i].unicode();
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c + (u'a' - u'A'));
        if (c != key[i].unicode())
            return false;
    }
    return true;
}

int CompareFolded(const QString& a, const QString& b) {
    return FoldAsciiCase(a).compare(FoldAsciiCase(b), Qt::CaseSensitive);
}
