#pragma once

#include <QObject>

// The keyboard's bus object as the program sees it: Show, Hide, ToggleVisible and Visible.
class FakeKeyboardService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.onboard.Onboard.Keyboard")
    Q_PROPERTY(bool Visible READ Visible)
public:
    explicit FakeKeyboardService(bool shown, QObject* parent = nullptr) : QObject(parent), visible(shown) {}

    bool Visible() const { return visible; }
    int ShowCalls() const { return showCalls; }
    int HideCalls() const { return hideCalls; }

public Q_SLOTS:
    void Show();
    void Hide();
    void ToggleVisible();

private:
    bool visible;
    int showCalls = 0;
    int hideCalls = 0;
};
