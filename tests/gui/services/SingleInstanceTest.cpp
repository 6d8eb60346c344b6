#include "gui/services/SingleInstance.h"
#include "link/Waits.h"
#include "tests/gui/services/SingleInstanceHelperCodes.h"
#include "tests/support/TempDir.h"

#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// Only keeps a broken build from hanging; nothing is timed.
constexpr int kHangGuardMs = 30000;

QString Folder(const TempDir& dir) {
    return QString::fromStdString(dir.Path().string());
}

struct HelperRun {
    int exitCode = -1;
    bool finished = false;
};

// Runs the helper with its runtime folder redirected, serving this process's events meanwhile
// so that a guard held here can answer it.
HelperRun RunHelper(const QString& runtimeFolder, const QString& mode, const QString& marker) {
    QProcess helper;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LUMETRA_RUNTIME_DIR"), runtimeFolder);
    helper.setProcessEnvironment(environment);
    QObject::connect(&helper, &QProcess::finished, [] { WakeWaits(); });
    QObject::connect(&helper, &QProcess::errorOccurred, [] { WakeWaits(); });
    helper.start(QStringLiteral(SINGLE_INSTANCE_HELPER), {mode, marker});
    HelperRun run;
    run.finished = WaitUntil([&] { return helper.state() == QProcess::NotRunning; }, kHangGuardMs);
    if (run.finished && helper.exitStatus() == QProcess::NormalExit)
        run.exitCode = helper.exitCode();
    if (!run.finished)
        helper.kill();
    return run;
}

TEST(SingleInstance, SecondGuardGivesWayAndItsShowRequestReachesTheFirst) {
    TempDir dir;
    SingleInstance first(Folder(dir));
    QSignalSpy shown(&first, &InstanceGuard::showRequested);
    ASSERT_TRUE(first.Acquire());

    SingleInstance second(Folder(dir));
    EXPECT_FALSE(second.Acquire());
    EXPECT_TRUE(second.AskFirstToShow());
    EXPECT_EQ(shown.count(), 1);
}

TEST(SingleInstance, ReleasedGuardCanBeTakenAgain) {
    TempDir dir;
    {
        SingleInstance first(Folder(dir));
        ASSERT_TRUE(first.Acquire());
    }
    SingleInstance next(Folder(dir));
    EXPECT_TRUE(next.Acquire());
}

TEST(SingleInstance, ShowRequestWithoutAFirstCopyIsNotDelivered) {
    TempDir dir;
    SingleInstance lonely(Folder(dir));
    EXPECT_FALSE(lonely.AskFirstToShow());
}

TEST(SingleInstance, OtherTrafficOnTheSocketIsNotAShowRequest) {
    TempDir dir;
    SingleInstance first(Folder(dir));
    QSignalSpy shown(&first, &InstanceGuard::showRequested);
    ASSERT_TRUE(first.Acquire());

    QLocalSocket stranger;
    bool closed = false;
    QObject::connect(&stranger, &QLocalSocket::disconnected, [&] {
        closed = true;
        WakeWaits();
    });
    stranger.connectToServer(first.ServerPath());
    ASSERT_TRUE(stranger.waitForConnected(kHangGuardMs));
    stranger.write("showme\n");
    stranger.flush();
    EXPECT_TRUE(WaitUntil([&] { return closed; }, kHangGuardMs));
    EXPECT_EQ(shown.count(), 0);

    SingleInstance second(Folder(dir));
    EXPECT_TRUE(second.AskFirstToShow());
    EXPECT_EQ(shown.count(), 1);
}

TEST(SingleInstanceProcesses, AloneTheProgramRunsAndOpensTheHive) {
    TempDir runtime;
    TempDir work;
    QString marker = QString::fromStdString(work.File("hive-opened"));
    HelperRun run = RunHelper(Folder(runtime), QStringLiteral("run"), marker);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, kHelperRanFirst);
    EXPECT_TRUE(QFile::exists(marker));
}

TEST(SingleInstanceProcesses, SecondCopyAsksTheFirstAndExitsWithoutTouchingTheHive) {
    TempDir runtime;
    TempDir work;
    SingleInstance first(Folder(runtime));
    QSignalSpy shown(&first, &InstanceGuard::showRequested);
    ASSERT_TRUE(first.Acquire());

    QString marker = QString::fromStdString(work.File("hive-opened"));
    HelperRun run = RunHelper(Folder(runtime), QStringLiteral("run"), marker);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, kHelperGaveWayAnswered);
    EXPECT_EQ(shown.count(), 1);
    EXPECT_FALSE(QFile::exists(marker));
}

TEST(SingleInstanceProcesses, GuardOfACrashedCopyIsTakenOver) {
    TempDir runtime;
    TempDir work;
    HelperRun run = RunHelper(Folder(runtime), QStringLiteral("crash"), QString::fromStdString(work.File("marker")));
    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.exitCode, kHelperCrashed);

    SingleInstance next(Folder(runtime));
    ASSERT_TRUE(QFile::exists(next.LockPath())); // the crash left its lock behind
    EXPECT_TRUE(next.Acquire());

    QSignalSpy shown(&next, &InstanceGuard::showRequested);
    SingleInstance later(Folder(runtime));
    EXPECT_FALSE(later.Acquire());
    EXPECT_TRUE(later.AskFirstToShow());
    EXPECT_EQ(shown.count(), 1);
}

} // namespace
