// The real program, started twice: the second copy hands over to the first and leaves at once.
#include "tests/support/TempDir.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace {

class ProgramStartTest : public ::testing::Test {
protected:
    TempDir dir;

    // Each copy gets its own hive folder; both share the runtime folder, so they meet there.
    QProcessEnvironment Environment(const char* hiveFolder) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        auto path = [&](const std::string& name) { return QString::fromStdString(dir.File(name)); };
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("lumetra.guard.info=true"));
        env.insert(QStringLiteral("LUMETRA_USER_HIVE"), path(std::string(hiveFolder) + "/user.hive"));
        env.insert(QStringLiteral("LUMETRA_MACHINE_HIVE"), path("machine.hive"));
        env.insert(QStringLiteral("LUMETRA_WINDOWS_DIR"), path("windows"));
        env.insert(QStringLiteral("LUMETRA_RUNTIME_DIR"), path("run"));
        env.insert(QStringLiteral("LUMETRA_DATA_DRIVE"), path("drive"));
        env.insert(QStringLiteral("LUMETRA_DISCOVERY_TARGET"), QStringLiteral("127.0.0.1:9"));
        env.insert(QStringLiteral("LUMETRA_DISCOVERY_LOOPBACK_ONLY"), QStringLiteral("1"));
        return env;
    }
    void Start(QProcess& process, const char* hiveFolder) {
        process.setProcessEnvironment(Environment(hiveFolder));
        process.start(QStringLiteral(LUMETRA_PROGRAM), {});
        ASSERT_TRUE(process.waitForStarted(10000));
    }
    bool Exists(const std::string& name) { return QFileInfo::exists(QString::fromStdString(dir.File(name))); }
};

TEST_F(ProgramStartTest, ASecondCopyGivesWayWithoutTouchingTheRegister) {
    std::filesystem::create_directories(dir.File("run"));
    std::filesystem::create_directories(dir.File("second"));
    QProcess first;
    Start(first, "first");
    // The first copy listens for later copies before it opens its register.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Exists("run/DErirVessoryTag"); }, 20000));
    ASSERT_EQ(first.state(), QProcess::Running);

    QProcess second;
    Start(second, "second");
    EXPECT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    // The second copy never opened a register: its hive folder stays empty.
    EXPECT_TRUE(std::filesystem::is_empty(dir.File("second")));

    QByteArray heard;
    bool asked = QTest::qWaitFor(
        [&] {
            heard += first.readAllStandardError();
            return heard.contains("show requested");
        },
        20000);
    EXPECT_TRUE(asked) << heard.toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished(10000);
}

// Asked for its version, the program answers before Qt starts: a platform that does not exist
// would stop it otherwise, and neither the hive nor the runtime folder gets touched.
TEST_F(ProgramStartTest, VersionNeedsNoDisplayNoHiveAndNoRunningCopy) {
    QProcess process;
    QProcessEnvironment env = Environment("hive");
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(LUMETRA_PROGRAM), {QStringLiteral("--version")});
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(process.readAllStandardOutput().toStdString(), "Lumetra " LUMETRA_VERSION_TEXT "\n");
    EXPECT_FALSE(Exists("hive"));
    EXPECT_FALSE(Exists("run"));
}

// A program whose own folder has no language file takes the one in ../share/lumetra.
TEST_F(ProgramStartTest, FindsTheLanguageFileInShareBesideItsFolder) {
    std::filesystem::create_directories(dir.File("run"));
    std::filesystem::create_directories(dir.File("prefix/bin"));
    std::filesystem::create_directories(dir.File("prefix/share/lumetra"));
    std::ofstream(dir.File("prefix/share/lumetra/Qmel_ZH_TW.ini")) << "[COMMON]\n007=Count\n";
    QProcess process;
    QProcessEnvironment env = Environment("hive");
    env.insert(QStringLiteral("LUMETRA_PROGRAM_DIR"), QString::fromStdString(dir.File("prefix/bin")));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("lumetra.start.info=true"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(LUMETRA_PROGRAM), {});
    ASSERT_TRUE(process.waitForStarted(10000));
    QByteArray heard;
    bool told = QTest::qWaitFor(
        [&] {
            heard += process.readAllStandardError();
            return heard.contains(".ini") || heard.contains("built-in texts");
        },
        20000);
    EXPECT_TRUE(told) << heard.toStdString();
    EXPECT_TRUE(heard.contains("prefix/bin/../share/lumetra/Qmel_ZH_TW.ini")) << heard.toStdString();
    process.kill();
    process.waitForFinished(10000);
}

// Benches time the start from outside by the stamp the painted window prints: a moment on the
// clock every process reads, after the start.
TEST_F(ProgramStartTest, AskedForAPaintStampPrintsTheMomentOfTheFirstPaint) {
    std::filesystem::create_directories(dir.File("run"));
    auto clock = [] {
        return static_cast<long long>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
                .count());
    };
    QProcess process;
    QProcessEnvironment env = Environment("hive");
    env.insert(QStringLiteral("LUMETRA_PAINT_STAMP"), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    const long long before = clock();
    process.start(QStringLiteral(LUMETRA_PROGRAM), {});
    ASSERT_TRUE(process.waitForStarted(10000));
    QByteArray heard;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            heard += process.readAllStandardOutput();
            return heard.contains('\n');
        },
        20000));
    const long long after = clock();
    ASSERT_TRUE(heard.startsWith("first paint ")) << heard.toStdString();
    const long long stamp = heard.mid(12).trimmed().toLongLong();
    EXPECT_GT(stamp, before);
    EXPECT_LT(stamp, after);
    process.kill();
    process.waitForFinished(10000);
}

} // namespace
