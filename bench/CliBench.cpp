// The command-line program against reader-sim processes on loopback: a push of 10,000 tags to
// one reader and to four at once, a sync where 100 of 10,000 differ (frames counted by the
// simulators), and the import of a large file beside the window's import of the same file.
// Usage: bench_cli [import-lines]   (1,000,000 by default)
#include "core/app/AppConfig.h"
#include "core/app/RegisterContext.h"
#include "core/app/SettingsStore.h"
#include "core/register/PlateList.h"
#include "core/register/TagStore.h"
#include "core/store/SqliteHive.h"
#include "core/tagfile/TagFileLine.h"
#include "core/text/LanguageTexts.h"
#include "gui/app/Prompts.h"
#include "gui/exchange/TagFileImport.h"
#include "gui/register/MainDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kTags = 10000;
constexpr int kChanged = 100;
constexpr int kGuardMs = 600000;

std::string TagName(int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "E2003412B8020115%08X", i);
    return buf;
}

class SilentPrompts : public Prompts {
public:
    void Message(QWidget*, const QString&) override {}
    void Notice(QWidget*, const QString&, const QString&) override {}
    bool Confirm(QWidget*, const QString&, const QString&) override { return true; }
    bool RetryCancel(QWidget*, const QString&) override { return false; }
    int Menu(QWidget*, const std::vector<MenuItem>&) override { return 0; }
    QString SaveFile(QWidget*, const QString&, const QString&) override { return {}; }
    QString OpenFile(QWidget*, const QString&, const QString&) override { return {}; }
};

// A simulator process whose printed requests go to a file, so a long run never fills a pipe.
struct Simulator {
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    QString address;
    QString log;

    bool Start(const QString& logFile, const QStringList& extra) {
        log = logFile;
        process->setStandardOutputFile(log);
        process->start(QStringLiteral(READER_SIM_PATH), QStringList{QStringLiteral("--port"), QStringLiteral("0")} + extra);
        const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1 port (\\d+)"));
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < kGuardMs) {
            if (auto match = listening.match(QString::fromUtf8(Output())); match.hasMatch()) {
                address = QStringLiteral("127.0.0.1:") + match.captured(1);
                return true;
            }
            process->waitForFinished(20);
        }
        return false;
    }
    QByteArray Output() const {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Requests with this command code printed so far.
    int Requests(const char* code) const { return int(Output().count(QByteArray("FF ") + code)); }
    ~Simulator() {
        process->kill();
        process->waitForFinished(kGuardMs);
    }
};

qint64 RunCli(const QString& hive, const QStringList& args) {
    QProcess cli;
    QElapsedTimer timer;
    timer.start();
    cli.start(QStringLiteral(LUMETRA_CLI_PATH), QStringList{QStringLiteral("--hive"), hive} + args);
    if (!cli.waitForFinished(kGuardMs) || cli.exitCode() > 1)
        std::fprintf(stderr, "lumetra-cli %s failed: %s\n", args.join(QLatin1Char(' ')).toUtf8().constData(),
                     cli.readAllStandardError().constData());
    return timer.elapsed();
}

QStringList Readers(std::vector<Simulator>& sims, size_t first, size_t count) {
    QStringList args{QStringLiteral("whitelist"), QStringLiteral("push")};
    for (size_t i = first; i < first + count; ++i)
        args << QStringLiteral("--reader") << sims[i].address;
    return args;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int importLines = argc > 1 ? std::atoi(argv[1]) : 1000000;
    QTemporaryDir dir;
    const QString hivePath = dir.filePath(QStringLiteral("user.hive"));
    {
        auto hive = SqliteHive::Open(hivePath.toStdString());
        TagStore store(*hive);
        HiveBatch batch(*hive);
        for (int i = 0; i < kTags; ++i) {
            const TagRecord record{TagName(i), "P" + std::to_string(i), 1, false, false};
            (void)store.WriteRecord(record.tagId, &record);
        }
        (void)batch.Commit();
    }

    // Without a reply delay the simulators and the program share the machine's cores, so four
    // readers at once are bound by the processor; a real reader takes a few milliseconds to
    // answer, which the second pair of figures stands in for.
    std::vector<Simulator> sims(10);
    for (size_t i = 0; i < sims.size(); ++i) {
        const QStringList extra = i == 0  ? QStringList{QStringLiteral("--verbose")}
                                  : i < 5 ? QStringList{}
                                          : QStringList{QStringLiteral("--delay-ms"), QStringLiteral("1")};
        if (!sims[i].Start(dir.filePath(QStringLiteral("sim%1.log").arg(i)), extra))
            return 1;
    }
    for (size_t first : {size_t(0), size_t(5)}) {
        const qint64 oneMs = RunCli(hivePath, Readers(sims, first, 1));
        const qint64 fourMs = RunCli(hivePath, Readers(sims, first + 1, 4));
        std::printf("push of %d tags, reply delay %d ms: one reader %lld ms, four readers at once %lld ms (%.2fx)\n",
                    kTags, first == 0 ? 0 : 1, static_cast<long long>(oneMs), static_cast<long long>(fourMs),
                    double(fourMs) / double(oneMs));
    }

    // Sync: half of the changes are tags the register gained, half tags it lost.
    {
        auto hive = SqliteHive::Open(hivePath.toStdString());
        TagStore store(*hive);
        HiveBatch batch(*hive);
        for (int i = 0; i < kChanged / 2; ++i) {
            TagRecord gone{TagName(i), {}, 1, false, false};
            (void)store.DeleteTag(gone);
            const TagRecord added{TagName(kTags + i), "N", 1, false, false};
            (void)store.WriteRecord(added.tagId, &added);
        }
        (void)batch.Commit();
    }
    const int addsBefore = sims[0].Requests("EA"), deletesBefore = sims[0].Requests("EC");
    const qint64 syncMs = RunCli(hivePath, Readers(sims, 0, 1) << QStringLiteral("--sync"));
    const int adds = sims[0].Requests("EA") - addsBefore, deletes = sims[0].Requests("EC") - deletesBefore;
    std::printf("sync where %d of %d differ: %d adds + %d deletes sent after reading the list, %lld ms\n", kChanged,
                kTags, adds, deletes, static_cast<long long>(syncMs));

    // Import of a file of new tags: the command line, then the window, each into an empty hive.
    const std::string importFile = dir.filePath(QStringLiteral("in.txt")).toStdString();
    {
        std::ofstream out(importFile, std::ios::binary);
        for (int i = 0; i < importLines; ++i)
            out << TagFileLine::Format(TagName(i), "NEW" + std::to_string(i), 2 - i % 2);
    }
    const qint64 cliImportMs =
        RunCli(dir.filePath(QStringLiteral("cli.hive")),
               {QStringLiteral("register"), QStringLiteral("import"), QString::fromStdString(importFile)});

    SilentPrompts silent;
    SetPrompts(&silent);
    auto hive = SqliteHive::Open(dir.filePath(QStringLiteral("window.hive")).toStdString());
    AppConfig config;
    LanguageTexts texts;
    TagStore store(*hive);
    PlateList cars(*hive, 1), motorcycles(*hive, 2);
    SettingsStore settings(*hive);
    RegisterContext context{config, texts, store, cars, motorcycles, settings, {}, {}};
    MainDialog main(context);
    QFile file(QString::fromStdString(importFile));
    (void)file.open(QIODevice::ReadOnly);
    QElapsedTimer timer;
    timer.start();
    (void)ImportTagFile(main, file, false);
    const qint64 windowImportMs = timer.elapsed();
    std::printf("import of %d lines: command line %lld ms (process included), window %lld ms (%.2fx)\n", importLines,
                static_cast<long long>(cliImportMs), static_cast<long long>(windowImportMs),
                double(cliImportMs) / double(windowImportMs));
    return 0;
}
