// Writes 5,000 register rows into a simulated reader's whitelist and exports them back, on
// loopback with the progress window shown, and prints entries per second for each loop.
#include "link/ReaderLink.h" // first: the reader headers use a member name that Qt defines as a macro

#include "core/app/AppConfig.h"
#include "core/app/SettingsStore.h"
#include "core/register/PlateList.h"
#include "core/register/TagStore.h"
#include "core/store/SqliteHive.h"
#include "core/text/LanguageTexts.h"
#include "gui/app/Globals.h"
#include "gui/app/Prompts.h"
#include "gui/controls/CListCtrlEx.h"
#include "gui/register/MainDialog.h"
#include "gui/whitelist/WhitelistMenu.h"
#include "tools/reader-sim/ReaderSimulator.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {
constexpr int entryCount = 5000;
// Beyond its capacity the simulated reader refuses adds, and the export could not match.
static_assert(entryCount <= static_cast<int>(ReaderSimulator::maxWhitelistCapacity));

// Says Yes to every question and names the export file.
class BenchPrompts : public Prompts {
public:
    explicit BenchPrompts(QString path) : exportPath(std::move(path)) {}
    void Message(QWidget*, const QString&) override {}
    void Notice(QWidget*, const QString&, const QString&) override {}
    bool Confirm(QWidget*, const QString&, const QString&) override { return true; }
    bool RetryCancel(QWidget*, const QString&) override { return false; }
    int Menu(QWidget*, const std::vector<MenuItem>&) override { return 0; }
    QString SaveFile(QWidget*, const QString&, const QString&) override { return exportPath; }
    QString OpenFile(QWidget*, const QString&, const QString&) override { return {}; }

private:
    QString exportPath;
};

void Report(const char* what, int entries, qint64 ms) {
    const double perSecond = ms > 0 ? entries * 1000.0 / static_cast<double>(ms) : 0.0;
    std::printf("%-36s %6d entries %8lld ms %10.0f entries/s\n", what, entries, static_cast<long long>(ms), perSecond);
}
} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    auto hive = SqliteHive::Open(QDir(dir.path()).filePath(QStringLiteral("hive.db")).toStdString());
    if (!hive)
        return 1;
    TagStore store(*hive);
    PlateList cars(*hive, 1);
    PlateList motorcycles(*hive, 2);
    SettingsStore settings(*hive);
    AppConfig config;
    LanguageTexts texts;
    RegisterContext context{config, texts, store, cars, motorcycles, settings, {}, {}};
    MainDialog main(context);
    main.show();

    CListCtrlEx& list = *main.List();
    for (int i = 0; i < entryCount; ++i) {
        const int row = list.AppendRow(QStringLiteral("E2000017%1").arg(i, 16, 16, QLatin1Char('0')).toUpper());
        list.SetCellText(row, 3, i % 2 == 0 ? QStringLiteral("*") : QString());
    }

    ReaderSimulator sim;
    if (!sim.Listen())
        return 1;
    ReaderLink link;
    if (!link.Open(QStringLiteral("127.0.0.1"), sim.Port()))
        return 1;
    link.SetProcessing(true);
    readerLink = &link;

    const QString exportPath = QDir(dir.path()).filePath(QStringLiteral("zvReaderOUT.txt"));
    BenchPrompts answers(exportPath);
    SetPrompts(&answers);

    QElapsedTimer timer;
    timer.start();
    RunWhitelistItem(main, WhitelistItem::WriteAll);
    Report("write all rows into the whitelist", static_cast<int>(sim.Whitelist().size()), timer.restart());

    RunWhitelistItem(main, WhitelistItem::Export);
    const qint64 exportMs = timer.restart();
    QFile exported(exportPath);
    int lines = 0;
    if (exported.open(QIODevice::ReadOnly))
        lines = static_cast<int>(exported.readAll().count("\r\n"));
    Report("export the whitelist to a file", lines, exportMs);

    SetPrompts(nullptr);
    readerLink = nullptr;
    return lines == entryCount ? 0 : 1;
}
