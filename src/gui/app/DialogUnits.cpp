#include "gui/app/DialogUnits.h"

#include <QApplication>
#include <QFontMetrics>

DialogUnits::DialogUnits(const QFont& font) {
    QFontMetrics metrics(font);
    // The average width of the 52 Latin letters, as the template engine measures it.
    int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX = std::max(1, (letters / 26 + 1) / 2);
    baseY = std::max(1, metrics.height());
}

int DialogUnits::X(int units) const { return (units * baseX + 2) / 4; }

int DialogUnits::Y(int units) const { return (units * baseY + 4) / 8; }

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
    return QRect(X(x), Y(y), X(width), Y(height));
}

QSize DialogUnits::Size(int width, int height) const { return QSize(X(width), Y(height)); }

QFont DialogUnits::DialogFont() {
    QFont font = QApplication::font();
    font.setPointSize(8);
    return font;
}
