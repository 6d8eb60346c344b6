#include "tests/support/HivePeer.h"

#include <QString>

HivePeer::HivePeer(const std::string& hiveFile, int busyTimeoutMs) {
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(LUMETRA_HIVE_PEER),
                  {QString::fromStdString(hiveFile), QString::number(busyTimeoutMs)});
    process.waitForStarted();
}

HivePeer::~HivePeer() { Finish(); }

std::string HivePeer::Ask(const std::string& command) {
    process.write(QByteArray::fromStdString(command + "\n"));
    while (!process.canReadLine()) {
        if (process.state() != QProcess::Running || !process.waitForReadyRead(60000))
            return {};
    }
    return process.readLine().trimmed().toStdString();
}

void HivePeer::Finish() {
    if (process.state() == QProcess::NotRunning)
        return;
    process.closeWriteChannel();
    if (!process.waitForFinished(60000))
        process.kill();
    process.waitForFinished();
}

std::string HivePeer::Once(const std::string& hiveFile, const std::string& command) {
    HivePeer peer(hiveFile);
    return peer.Ask(command);
}
