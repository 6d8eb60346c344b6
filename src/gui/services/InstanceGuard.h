#pragma once

#include <QObject>

// Makes sure only one copy of the program runs per user. The first copy acquires the guard
// and hears show requests; a later copy fails to acquire it, asks the first to come forward
// and exits without touching anything.
class InstanceGuard : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~InstanceGuard() override = default;

    // True when this is the first copy; false when another copy holds the guard.
    [[nodiscard]] virtual bool Acquire() = 0;
    // From a later copy: asks the first one to show itself. Returns whether it answered.
    [[nodiscard]] virtual bool AskFirstToShow() = 0;

Q_SIGNALS:
    // In the first copy: a later copy asked for the main window to be brought forward.
    void showRequested();
};
