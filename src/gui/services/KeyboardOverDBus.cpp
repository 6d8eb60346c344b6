#include "gui/services/KeyboardOverDBus.h"

#include "core/platform/KeyboardProgram.h"
#include "link/Waits.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>

namespace {

// A started keyboard takes a moment to claim its name: look for it up to this many times, 100 ms apart.
constexpr int kStartWaits = 31;
constexpr int kStartWaitMs = 100;

} // namespace

const QString KeyboardOverDBus::kService = QStringLiteral("org.onboard.Onboard");
const QString KeyboardOverDBus::kObjectPath = QStringLiteral("/org/onboard/Onboard/Keyboard");
const QString KeyboardOverDBus::kInterface = QStringLiteral("org.onboard.Onboard.Keyboard");

bool KeyboardOverDBus::StartDetached(const QString& program) {
    return QProcess::startDetached(program, {});
}

KeyboardOverDBus::KeyboardOverDBus(QDBusConnection sessionBus, QString keyboardProgram, Launcher launch)
    : bus(std::move(sessionBus)), program(std::move(keyboardProgram)), launcher(std::move(launch)) {}

KeyboardOverDBus::~KeyboardOverDBus() {
    *alive = false;
}

bool KeyboardOverDBus::IsRunning() const {
    if (!bus.isConnected() || bus.interface() == nullptr)
        return false;
    QDBusReply<bool> registered = bus.interface()->isServiceRegistered(kService);
    return registered.isValid() && registered.value();
}

void KeyboardOverDBus::Show() {
    hideRequested = false;
    if (!IsRunning()) {
        // A second press while the first waits for the program must not start another copy.
        if (starting)
            return;
        if (!launcher(program))
            return;
        starting = true;
        std::shared_ptr<bool> stillAlive = alive;
        auto pause = [&stillAlive] {
            PumpWait(kStartWaitMs);
            return *stillAlive;
        };
        const bool appeared = AwaitKeyboard([this] { return IsRunning(); }, pause, kStartWaits);
        if (!*stillAlive)
            return;
        starting = false;
        if (!appeared)
            return;
        // Hidden meanwhile (the main window went away): a keyboard that shows itself on
        // start-up must not stay up.
        if (hideRequested) {
            Call(QStringLiteral("Hide"));
            return;
        }
    }
    Call(QStringLiteral("Show"));
}

void KeyboardOverDBus::Hide() {
    hideRequested = true;
    if (IsRunning())
        Call(QStringLiteral("Hide"));
}

void KeyboardOverDBus::Call(const QString& method) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kObjectPath, kInterface, method);
    call.setAutoStartService(false);
    // No reply is awaited: a keyboard that hangs must not hang this program's window.
    bus.send(call);
}
