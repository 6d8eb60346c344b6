// A stand-in for the program's start-up as far as the single-instance guard goes: gives way
// when another copy holds the guard, otherwise creates the marker file where the real program
// would open the hive. "crash" leaves without releasing anything.
#include "gui/services/SingleInstance.h"
#include "tests/gui/services/SingleInstanceHelperCodes.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdlib>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return kHelperUsage;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString marker = QString::fromLocal8Bit(argv[2]);

    SingleInstance guard;
    if (!guard.Acquire())
        return guard.AskFirstToShow() ? kHelperGaveWayAnswered : kHelperGaveWayUnanswered;

    QFile file(marker);
    if (!file.open(QIODevice::WriteOnly))
        return kHelperUsage;
    file.write("hive opened\n");
    file.close();
    if (mode == QStringLiteral("crash"))
        std::_Exit(kHelperCrashed);
    return kHelperRanFirst;
}
