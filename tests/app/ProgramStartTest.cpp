// The real program, started twice: the second copy hands over to the first and leaves at once.
#include "TempDir.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

class ProgramStartTest : public ::testing::Test {
protected:
    TempDir dir;

    QProcessEnvironment Environment() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        auto path = [&](const char* name) { return QString::fromStdString(dir.File(name)); };
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LUMETRA_USER_HIVE"), path("user.hive"));
        env.insert(QStringLiteral("LUMETRA_MACHINE_HIVE"), path("machine.hive"));
        env.insert(QStringLiteral("LUMETRA_WINDOWS_DIR"), path("windows"));
        env.insert(QStringLiteral("LUMETRA_RUNTIME_DIR"), path("run"));
        env.insert(QStringLiteral("LUMETRA_DATA_DRIVE"), path("drive"));
        env.insert(QStringLiteral("LUMETRA_DISCOVERY_TARGET"), QStringLiteral("127.0.0.1:9"));
        env.insert(QStringLiteral("LUMETRA_DISCOVERY_LOOPBACK_ONLY"), QStringLiteral("1"));
        return env;
    }
    void Start(QProcess& process) {
        process.setProcessEnvironment(Environment());
        process.start(QStringLiteral(LUMETRA_PROGRAM), {});
        ASSERT_TRUE(process.waitForStarted(10000));
    }
};

TEST_F(ProgramStartTest, ASecondCopyGivesWayWithoutTouchingTheRegister) {
    std::filesystem::create_directories(dir.File("run"));
    QProcess first;
    Start(first);
    // The first copy listens for later copies before it opens its register.
    auto exists = [&](const char* name) { return QFileInfo::exists(QString::fromStdString(dir.File(name))); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return exists("run/DErirVessoryTag") && exists("user.hive"); }, 20000));
    ASSERT_EQ(first.state(), QProcess::Running);

    // From here on the hive files must stay as they are.
    auto stamp = std::filesystem::last_write_time(dir.File("user.hive"));
    std::filesystem::rename(dir.File("user.hive"), dir.File("user.hive.moved"));

    QProcess second;
    Start(second);
    EXPECT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("user.hive"))); // the second copy never opened a register
    EXPECT_EQ(std::filesystem::last_write_time(dir.File("user.hive.moved")), stamp);
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished(10000);
}

} // namespace
