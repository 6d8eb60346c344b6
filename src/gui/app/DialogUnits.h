#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

// Converts dialog-template units into pixels with the dialog font's metrics, so a window laid
// out in template units looks like its template at any font size: a horizontal unit is a
// quarter of the font's average character width, a vertical unit an eighth of its height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int width, int height) const;
    QSize Size(int width, int height) const;

    // The stand-in for the templates' 8-point interface font.
    static QFont DialogFont();

private:
    int baseX;
    int baseY;
};
