#include "gui/shell/TagApp.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    // Answered before Qt starts: needs no display, opens no hive and meets no running copy.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            const bool written = std::puts("Lumetra " LUMETRA_VERSION_TEXT) >= 0;
            return written && std::fflush(stdout) == 0 ? 0 : 1;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vessory"));
    // Lets the desktop match the window to the menu entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral("lumetra"));
    TagApp tagApp;
    return tagApp.Run();
}
