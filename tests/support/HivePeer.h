#pragma once

#include <QProcess>

#include <string>

// The hive opened by a real second process (hive_peer), as the suite's other program opens it.
class HivePeer {
public:
    explicit HivePeer(const std::string& hiveFile, int busyTimeoutMs = 5000);
    ~HivePeer(); // Finish

    HivePeer(const HivePeer&) = delete;
    HivePeer& operator=(const HivePeer&) = delete;

    // Sends one command line (fields separated by tabs); its answer, empty when the peer is gone.
    std::string Ask(const std::string& command);
    // Closes the peer's hive and waits until the process has ended.
    void Finish();

    // A process of its own for one command, ended before this returns.
    static std::string Once(const std::string& hiveFile, const std::string& command);

private:
    QProcess process;
};
