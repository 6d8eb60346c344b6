#pragma once

#include "core/reader/Commands.h"
#include "core/reader/Frame.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_set>
#include <vector>

class QTcpServer;
class QTcpSocket;

// A stand-in for a networked UHF tag reader: answers the reader protocol on a loopback port,
// keeps parameters, region, the extended block and a whitelist in memory, pushes tag reports,
// and can be told to misbehave. Runs on the thread that creates it; in-process tests simply
// let their waits serve its sockets.
class ReaderSimulator : public QObject {
    Q_OBJECT

public:
    static constexpr std::size_t blockSize = extendedBlockSize;
    // The reader counts its whitelist in 16 bits.
    static constexpr std::size_t maxWhitelistCapacity = 65535;

    explicit ReaderSimulator(QObject* parent = nullptr);
    ~ReaderSimulator() override;

    // Listens on a loopback address only; port 0 lets the system pick one (see Port()).
    [[nodiscard]] bool Listen(const QHostAddress& address = QHostAddress(QHostAddress::LocalHost), quint16 port = 0);
    quint16 Port() const;
    int ConnectionCount() const { return static_cast<int>(clients.size()); }

    // Reader state.
    void SetParameterValue(std::uint8_t id, std::uint8_t value) { parameters[id] = value; }
    int ParameterValue(std::uint8_t id) const; // -1 when the reader does not know it
    void SetRegionPair(std::uint8_t first, std::uint8_t second) { region = {first, second}; }
    std::array<std::uint8_t, 2> RegionPair() const { return region; }
    std::array<std::uint8_t, blockSize>& Block() { return block; }
    bool Running() const { return running; }
    std::vector<std::string> Whitelist() const { return whitelist; } // capital hex ids
    // Keeps the first Capacity() ids.
    void SetWhitelist(std::vector<std::string> ids);
    // A full whitelist refuses adds of new ids (status 0); at most maxWhitelistCapacity.
    void SetWhitelistCapacity(std::size_t entries);
    std::size_t Capacity() const { return capacity; }

    // Misbehaviour.
    void SetSilent(bool on) { silent = on; }             // record requests, answer nothing
    void SetRefusing(bool on) { refusing = on; }         // answer every request with status 0
    void SetReplyDelayMs(int ms) { replyDelayMs = ms; }  // answer after ms milliseconds
    void SetSplitReplies(bool on) { splitReplies = on; } // each reply in two writes
    // Each reply shares one write with a tag report of these ids (before or after the reply).
    void SetJoinedReport(std::vector<std::string> ids, std::uint8_t code = ReaderCode::tagReport,
                         bool reportFirst = false);
    // The connection is dropped, unanswered, when its n-th request arrives (0: never).
    void SetCloseOnRequest(int n) { closeOnRequest = n; }
    // A connection's n-th request is answered with exactly these bytes instead of its reply
    // (noise, a stray header, a truncated frame); the request still takes effect.
    void SetAnswerBytes(int n, const QByteArray& bytes) { answerBytes[n] = bytes; }

    // Tag reports: code 0x45 or 0x01 layout, ids as capital hex text.
    void PushTagReport(const std::vector<std::string>& ids, std::uint8_t code = ReaderCode::tagReport);
    // Writes bytes as they are to every connection (a late reply, noise).
    void SendRaw(const QByteArray& bytes);
    // In Active mode (work mode 1) and while running, push a report of ids every intervalMs.
    void SetActiveReports(int intervalMs, std::vector<std::string> ids, std::uint8_t code = ReaderCode::tagReport);

    // Every request frame received, in order, across connections.
    std::vector<QByteArray> Received() const { return received; }
    void ClearReceived() { received.clear(); }

    static QByteArray BuildReply(std::uint8_t code, std::uint8_t status, const QByteArray& data);
    static QByteArray BuildTagReport(const std::vector<std::string>& ids, std::uint8_t code);

Q_SIGNALS:
    void requestReceived(const QByteArray& frame);
    void connectionCountChanged(int count);

private:
    struct Client {
        QTcpSocket* socket = nullptr;
        QByteArray pending;
        int requests = 0;
    };

    void OnNewConnection();
    void OnReadyRead(QTcpSocket* socket);
    void HandleRequest(QTcpSocket* socket, const QByteArray& frame);
    QByteArray Answer(const QByteArray& frame);
    void SendReply(QTcpSocket* socket, const QByteArray& reply);
    void WriteNow(QTcpSocket* socket, const QByteArray& bytes);
    void OnActiveTick();

    QTcpServer* server = nullptr;
    std::map<QTcpSocket*, Client> clients;
    std::map<std::uint8_t, std::uint8_t> parameters;
    std::array<std::uint8_t, 2> region{0x31, 0xA7};
    std::array<std::uint8_t, blockSize> block{};
    std::vector<std::string> whitelist;
    std::unordered_set<std::string> whitelistIndex; // membership without walking the list
    std::size_t capacity = maxWhitelistCapacity;
    bool running = true;

    bool silent = false;
    bool refusing = false;
    int replyDelayMs = 0;
    bool splitReplies = false;
    std::vector<std::string> joinedIds;
    std::uint8_t joinedCode = ReaderCode::tagReport;
    bool joinedFirst = false;
    int closeOnRequest = 0;
    std::map<int, QByteArray> answerBytes;

    QTimer activeTimer;
    std::vector<std::string> activeIds;
    std::uint8_t activeCode = ReaderCode::tagReport;

    std::vector<QByteArray> received;
};
