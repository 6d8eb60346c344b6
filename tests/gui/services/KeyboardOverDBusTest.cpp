#include "gui/services/KeyboardOverDBus.h"
#include "link/Waits.h"
#include "tests/gui/services/FakeKeyboardService.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

constexpr int kHangGuardMs = 10000;

// A keyboard already running in this process, on a bus connection of its own.
class RunningKeyboard {
public:
    explicit RunningKeyboard(bool visible)
        : name(QStringLiteral("fake-keyboard-%1").arg(++serial)),
          connection(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)), service(visible) {
        connection.registerObject(KeyboardOverDBus::kObjectPath, &service,
                                  QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
        connection.registerService(KeyboardOverDBus::kService);
    }

    ~RunningKeyboard() {
        connection.unregisterService(KeyboardOverDBus::kService);
        connection.unregisterObject(KeyboardOverDBus::kObjectPath);
        QDBusConnection::disconnectFromBus(name);
    }

    FakeKeyboardService& Service() { return service; }

private:
    static inline int serial = 0;
    QString name;
    QDBusConnection connection;
    FakeKeyboardService service;
};

class KeyboardOverDBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Registered in CTest under dbus-run-session, which supplies a throw-away session bus.
        // Anywhere else these tests would claim the keyboard's name on the user's own bus.
        if (qEnvironmentVariable("LUMETRA_PRIVATE_BUS") != QStringLiteral("1"))
            GTEST_SKIP() << "needs a private session bus: run through ctest (dbus-run-session)";
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected());
    }

    KeyboardOverDBus::Launcher CountingLauncher() {
        return [this](const QString&) {
            ++launches;
            return true;
        };
    }

    int launches = 0;
};

// For state in the keyboard program, which cannot wake this process's waits: look between short pumps.
bool PollUntil(const std::function<bool()>& done) {
    QDeadlineTimer deadline(kHangGuardMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        PumpWait(10);
    }
    return true;
}

bool VisibleOnBus() {
    QDBusMessage get =
        QDBusMessage::createMethodCall(KeyboardOverDBus::kService, KeyboardOverDBus::kObjectPath,
                                       QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << KeyboardOverDBus::kInterface << QStringLiteral("Visible");
    QDBusMessage reply = QDBusConnection::sessionBus().call(get);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().at(0).value<QDBusVariant>().variant().toBool();
}

bool AnyWindowVisible() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            return true;
    return false;
}

TEST_F(KeyboardOverDBusTest, HiddenRunningKeyboardIsShownWithoutStartingAnother) {
    RunningKeyboard running(false);
    KeyboardOverDBus keyboard(QDBusConnection::sessionBus(), QStringLiteral("unused"), CountingLauncher());
    keyboard.Show();
    EXPECT_TRUE(WaitUntil([&] { return running.Service().Visible(); }, kHangGuardMs));
    EXPECT_EQ(launches, 0);
}

TEST_F(KeyboardOverDBusTest, HidingLeavesTheKeyboardRunning) {
    RunningKeyboard running(true);
    KeyboardOverDBus keyboard(QDBusConnection::sessionBus(), QStringLiteral("unused"), CountingLauncher());
    keyboard.Hide();
    EXPECT_TRUE(WaitUntil([&] { return !running.Service().Visible(); }, kHangGuardMs));
    EXPECT_TRUE(keyboard.IsRunning());
    EXPECT_EQ(launches, 0);
}

TEST_F(KeyboardOverDBusTest, KeyboardNotRunningIsStartedOnceAndShown) {
    TempDir dir;
    QString log = QString::fromStdString(dir.File("starts.log"));
    qputenv("FAKE_KEYBOARD_LOG", log.toLocal8Bit());
    KeyboardOverDBus keyboard(QDBusConnection::sessionBus(), QStringLiteral(FAKE_KEYBOARD_PROGRAM));
    ASSERT_FALSE(keyboard.IsRunning());

    keyboard.Show();
    ASSERT_TRUE(keyboard.IsRunning());
    EXPECT_TRUE(PollUntil(VisibleOnBus));

    keyboard.Hide();
    EXPECT_TRUE(PollUntil([] { return !VisibleOnBus(); }));
    EXPECT_TRUE(keyboard.IsRunning());

    keyboard.Show(); // running now: shown again, not started again
    EXPECT_TRUE(PollUntil(VisibleOnBus));
    QFile starts(log);
    ASSERT_TRUE(starts.open(QIODevice::ReadOnly));
    EXPECT_EQ(starts.readAll().count('\n'), 1);

    QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall(KeyboardOverDBus::kService, QStringLiteral("/org/lumetra/TestControl"),
                                       QStringLiteral("org.lumetra.TestControl"), QStringLiteral("Quit")));
    EXPECT_TRUE(PollUntil([&] { return !keyboard.IsRunning(); }));
    qunsetenv("FAKE_KEYBOARD_LOG");
}

TEST_F(KeyboardOverDBusTest, KeyboardThatNeverAppearsLeavesNothingAndSaysNothing) {
    KeyboardOverDBus keyboard(QDBusConnection::sessionBus(), QStringLiteral("unused"), CountingLauncher());
    keyboard.Show();
    EXPECT_EQ(launches, 1);
    EXPECT_FALSE(keyboard.IsRunning());
    EXPECT_FALSE(AnyWindowVisible());
}

TEST_F(KeyboardOverDBusTest, SecondShowWhileStartingStartsNoSecondCopy) {
    std::unique_ptr<RunningKeyboard> running;
    std::unique_ptr<KeyboardOverDBus> keyboard;
    keyboard = std::make_unique<KeyboardOverDBus>(QDBusConnection::sessionBus(), QStringLiteral("unused"),
                                                  [&](const QString&) {
                                                      ++launches;
                                                      // The operator presses the button again during the wait.
                                                      QTimer::singleShot(0, [&] {
                                                          keyboard->Show();
                                                          running = std::make_unique<RunningKeyboard>(false);
                                                      });
                                                      return true;
                                                  });
    keyboard->Show();
    EXPECT_EQ(launches, 1);
    ASSERT_TRUE(running != nullptr);
    EXPECT_TRUE(WaitUntil([&] { return running->Service().Visible(); }, kHangGuardMs));
}

TEST_F(KeyboardOverDBusTest, HiddenWhileStartingStaysHidden) {
    std::unique_ptr<RunningKeyboard> running;
    std::unique_ptr<KeyboardOverDBus> keyboard;
    keyboard = std::make_unique<KeyboardOverDBus>(QDBusConnection::sessionBus(), QStringLiteral("unused"),
                                                  [&](const QString&) {
                                                      ++launches;
                                                      // The main window goes away during the wait; the
                                                      // keyboard then comes up showing itself.
                                                      QTimer::singleShot(0, [&] {
                                                          keyboard->Hide();
                                                          running = std::make_unique<RunningKeyboard>(true);
                                                      });
                                                      return true;
                                                  });
    keyboard->Show();
    ASSERT_TRUE(running != nullptr);
    EXPECT_TRUE(WaitUntil([&] { return running->Service().HideCalls() == 1; }, kHangGuardMs));
    EXPECT_FALSE(running->Service().Visible());
    EXPECT_EQ(running->Service().ShowCalls(), 0);
}

} // namespace
