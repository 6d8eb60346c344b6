#include "TagApp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vessory"));
    TagApp tagApp;
    return tagApp.Run();
}
