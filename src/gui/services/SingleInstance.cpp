#include "gui/services/SingleInstance.h"

#include "link/Waits.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QLoggingCategory>
#include <QStandardPaths>

// Silent unless enabled (QT_LOGGING_RULES="lumetra.guard.info=true"): lets a test see the
// first copy hear a later one without reaching into its windows.
Q_LOGGING_CATEGORY(lcGuard, "lumetra.guard", QtWarningMsg)

namespace {

const QString kGuardName = QStringLiteral("DErirVessoryTag");
const QByteArray kShowRequest = QByteArrayLiteral("show\n");
const QByteArray kShowAnswer = QByteArrayLiteral("ok");
constexpr qint64 kLineLimit = 64;
// The first copy serves events even inside its waits and modal boxes, so it answers fast;
// this only bounds a first copy that hangs.
constexpr int kAnswerWaitMs = 3000;

} // namespace

SingleInstance::SingleInstance(QString runtimeFolder, QObject* parent)
    : InstanceGuard(parent), folder(runtimeFolder.isEmpty() ? DefaultRuntimeFolder() : std::move(runtimeFolder)),
      mutex(kGuardName.toStdString()) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultRuntimeFolder() {
    QString redirected = qEnvironmentVariable("LUMETRA_RUNTIME_DIR");
    if (!redirected.isEmpty())
        return redirected;
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::homePath() : runtime;
}

QString SingleInstance::LockPath() const {
    return QDir(folder).filePath(kGuardName + QStringLiteral(".lock"));
}

QString SingleInstance::ServerPath() const {
    return QDir(folder).filePath(kGuardName);
}

bool SingleInstance::Acquire() {
    if (lock && lock->isLocked())
        return true;
    // A mutex that cannot be made at all leaves the decision to the lock.
    if (mutex.Acquire() == NamedMutex::Result::HeldElsewhere)
        return false;
    QDir().mkpath(folder);
    lock = std::make_unique<QLockFile>(LockPath());
    // Staleness by the owner's process id only: a long-running first copy never loses the lock.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError)
            return false;
        // The lock cannot be made at all (for example a read-only folder). Refusing to start
        // would lock the operator out for good; run unguarded instead.
        return true;
    }
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock, any socket file left there belongs to a copy that crashed.
    QLocalServer::removeServer(ServerPath());
    if (server->listen(ServerPath()))
        connect(server, &QLocalServer::newConnection, this, &SingleInstance::ServeConnections);
    return true;
}

void SingleInstance::ServeConnections() {
    while (QLocalSocket* peer = server->nextPendingConnection()) {
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
            if (!peer->canReadLine()) {
                if (peer->bytesAvailable() > kLineLimit)
                    peer->abort();
                return;
            }
            QByteArray request = peer->readLine(kLineLimit);
            bool show = request == kShowRequest;
            if (show) {
                peer->write(kShowAnswer + '\n');
                peer->flush();
            }
            peer->disconnectFromServer();
            // Answer first: whatever the program does on the request may open a modal box.
            if (show) {
                qCInfo(lcGuard, "show requested");
                Q_EMIT showRequested();
            }
        });
    }
}

bool SingleInstance::AskFirstToShow() {
    QLocalSocket socket;
    bool answered = false;
    bool failed = false;
    connect(&socket, &QLocalSocket::connected, &socket, [&] {
        socket.write(kShowRequest);
        socket.flush();
    });
    connect(&socket, &QLocalSocket::readyRead, &socket, [&] {
        if (!socket.canReadLine())
            return;
        answered = socket.readLine(kLineLimit).trimmed() == kShowAnswer;
        failed = !answered;
        WakeWaits();
    });
    connect(&socket, &QLocalSocket::errorOccurred, &socket, [&] {
        failed = true;
        WakeWaits();
    });
    socket.connectToServer(ServerPath());
    WaitUntil([&] { return answered || failed; }, kAnswerWaitMs);
    // The answer may sit unread behind a close that was reported first.
    if (!answered && socket.canReadLine())
        answered = socket.readLine(kLineLimit).trimmed() == kShowAnswer;
    socket.abort();
    return answered;
}
