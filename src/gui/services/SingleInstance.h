#pragma once

#include "core/platform/NamedMutex.h"
#include "gui/services/InstanceGuard.h"

#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// The guard as a lock file plus a local socket, both named "DErirVessoryTag", in the user's
// runtime folder. The lock decides who is first; the socket carries show requests to it.
// A copy that crashed leaves a lock naming a dead process, which the next copy takes over.
// On Windows the first copy also owns a named mutex of the same name.
class SingleInstance : public InstanceGuard {
    Q_OBJECT
public:
    // An empty folder means LUMETRA_RUNTIME_DIR, else the platform's runtime folder.
    explicit SingleInstance(QString runtimeFolder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    [[nodiscard]] bool Acquire() override;
    [[nodiscard]] bool AskFirstToShow() override;

    QString LockPath() const;
    QString ServerPath() const;

    static QString DefaultRuntimeFolder();

private:
    void ServeConnections();

    QString folder;
    std::unique_ptr<QLockFile> lock;
    NamedMutex mutex; // the suite's other programs on Windows look for it
    QLocalServer* server = nullptr;
};
