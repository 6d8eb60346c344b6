// A keyboard program for the tests: claims the keyboard's bus name a moment after start,
// hidden at first, and notes each start in the file named by FAKE_KEYBOARD_LOG.
#include "tests/gui/services/FakeKeyboardService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QTimer>

namespace {

constexpr int kClaimDelayMs = 300;
// Ends a copy that its test forgot, so nothing outlives the test's private bus for long.
constexpr int kLifetimeMs = 30000;

} // namespace

// Lets the test end this program over the bus.
class FakeKeyboardControl : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.lumetra.TestControl")
public Q_SLOTS:
    void Quit() { QCoreApplication::quit(); }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QFile log(qEnvironmentVariable("FAKE_KEYBOARD_LOG"));
    if (!log.fileName().isEmpty() && log.open(QIODevice::Append)) {
        log.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n');
        log.close();
    }

    FakeKeyboardService keyboard(false);
    FakeKeyboardControl control;
    QDBusConnection bus = QDBusConnection::sessionBus();
    QTimer::singleShot(kClaimDelayMs, &app, [&] {
        bus.registerObject(QStringLiteral("/org/onboard/Onboard/Keyboard"), &keyboard,
                           QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
        bus.registerObject(QStringLiteral("/org/lumetra/TestControl"), &control, QDBusConnection::ExportAllSlots);
        bus.registerService(QStringLiteral("org.onboard.Onboard"));
    });
    QTimer::singleShot(kLifetimeMs, &app, &QCoreApplication::quit);
    return app.exec();
}

#include "FakeKeyboardProgram.moc"
