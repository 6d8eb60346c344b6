#pragma once

#include "gui/services/OnScreenKeyboard.h"

#include <QDBusConnection>
#include <QString>

#include <functional>
#include <memory>

// The keyboard on a Linux desktop, driven over the session bus. Its bus name being taken
// stands for its window existing; Show and Hide are calls on its keyboard object.
class KeyboardOverDBus : public OnScreenKeyboard {
public:
    // Starts the program detached; false when it could not be started at all.
    using Launcher = std::function<bool(const QString& program)>;

    static const QString kService;
    static const QString kObjectPath;
    static const QString kInterface;

    static bool StartDetached(const QString& program);

    explicit KeyboardOverDBus(QDBusConnection bus = QDBusConnection::sessionBus(),
                              QString program = QStringLiteral("onboard"), Launcher launcher = &StartDetached);
    ~KeyboardOverDBus() override;
    KeyboardOverDBus(const KeyboardOverDBus&) = delete;
    KeyboardOverDBus& operator=(const KeyboardOverDBus&) = delete;

    void Show() override;
    void Hide() override;

    bool IsRunning() const;

private:
    void Call(const QString& method);

    QDBusConnection bus;
    QString program;
    Launcher launcher;
    bool starting = false;
    bool hideRequested = false;
    // Cleared on destruction: the owner may be destroyed while Show serves events.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};
