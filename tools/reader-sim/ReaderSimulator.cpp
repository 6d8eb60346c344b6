#include "tools/reader-sim/ReaderSimulator.h"

#include "core/reader/ParameterIds.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

namespace {
constexpr int splitGapMs = 5; // long enough for the two halves to arrive in separate reads
constexpr int maxRequestSize = 512;

std::uint8_t SumComplement(const QByteArray& bytes) {
    unsigned sum = 0;
    for (char c : bytes)
        sum += static_cast<std::uint8_t>(c);
    return static_cast<std::uint8_t>(0u - sum);
}

QByteArray IdBytes(const std::string& text) {
    return QByteArray::fromHex(QByteArray::fromStdString(text));
}

std::string IdText(const QByteArray& bytes) {
    return bytes.toHex().toUpper().toStdString();
}

std::uint8_t At(const QByteArray& bytes, int index) {
    return static_cast<std::uint8_t>(bytes.at(index));
}
} // namespace

ReaderSimulator::ReaderSimulator(QObject* parent) : QObject(parent), server(new QTcpServer(this)) {
    parameters = {{ParameterId::workMode, WorkMode::trigger},
                  {ParameterId::filterTime, 1},
                  {ParameterId::rfPower, 30},
                  {ParameterId::buzzer, 0},
                  {ParameterId::triggerValidTime, 2}};
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i * 7 + 3);
    block[BlockOffset::relaySwitch] = 1;
    block[BlockOffset::relayValidTime] = 2;
    block[BlockOffset::whitelistSwitch] = 1;
    connect(server, &QTcpServer::newConnection, this, &ReaderSimulator::OnNewConnection);
    connect(&activeTimer, &QTimer::timeout, this, &ReaderSimulator::OnActiveTick);
}

ReaderSimulator::~ReaderSimulator() {
    for (auto& [socket, client] : clients) {
        socket->disconnect(this);
        socket->abort();
        delete socket;
    }
}

bool ReaderSimulator::Listen(const QHostAddress& address, quint16 port) {
    if (!address.isLoopback())
        return false;
    return server->listen(address, port);
}

quint16 ReaderSimulator::Port() const {
    return server->serverPort();
}

int ReaderSimulator::ParameterValue(std::uint8_t id) const {
    auto it = parameters.find(id);
    return it == parameters.end() ? -1 : it->second;
}

void ReaderSimulator::SetWhitelist(std::vector<std::string> ids) {
    whitelist = std::move(ids);
    if (whitelist.size() > capacity)
        whitelist.resize(capacity);
    whitelistIndex = {whitelist.begin(), whitelist.end()};
}

void ReaderSimulator::SetWhitelistCapacity(std::size_t entries) {
    capacity = std::min(entries, maxWhitelistCapacity);
    SetWhitelist(std::move(whitelist));
}

void ReaderSimulator::SetJoinedReport(std::vector<std::string> ids, std::uint8_t code, bool reportFirst) {
    joinedIds = std::move(ids);
    joinedCode = code;
    joinedFirst = reportFirst;
}

void ReaderSimulator::SetActiveReports(int intervalMs, std::vector<std::string> ids, std::uint8_t code) {
    activeIds = std::move(ids);
    activeCode = code;
    if (intervalMs > 0)
        activeTimer.start(intervalMs);
    else
        activeTimer.stop();
}

void ReaderSimulator::OnNewConnection() {
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        socket->setParent(nullptr);
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        clients[socket] = Client{socket, {}, 0};
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            clients.erase(socket);
            socket->disconnect(this);
            socket->deleteLater();
            Q_EMIT connectionCountChanged(ConnectionCount());
        });
        Q_EMIT connectionCountChanged(ConnectionCount());
    }
}

void ReaderSimulator::OnReadyRead(QTcpSocket* socket) {
    auto it = clients.find(socket);
    if (it == clients.end())
        return;
    QByteArray& pending = it->second.pending;
    pending += socket->readAll();
    // Cut "SW" frames by their length field; noise before a header is skipped.
    while (pending.size() >= 2) {
        if (At(pending, 0) != 0x53 || At(pending, 1) != 0x57) {
            pending.remove(0, 1);
            continue;
        }
        if (pending.size() < 4)
            break;
        const int total = 4 + (At(pending, 2) << 8 | At(pending, 3));
        if (total < 7 || total > maxRequestSize) {
            pending.remove(0, 1);
            continue;
        }
        if (pending.size() < total)
            break;
        const QByteArray frame = pending.left(total);
        pending.remove(0, total);
        HandleRequest(socket, frame);
        it = clients.find(socket);
        if (it == clients.end())
            return; // the request closed the connection
    }
}

void ReaderSimulator::HandleRequest(QTcpSocket* socket, const QByteArray& frame) {
    received.push_back(frame);
    Q_EMIT requestReceived(frame);
    Client& client = clients[socket];
    ++client.requests;
    if (closeOnRequest > 0 && client.requests == closeOnRequest) {
        socket->disconnectFromHost();
        return;
    }
    if (silent)
        return;
    QByteArray reply = Answer(frame);
    if (auto it = answerBytes.find(client.requests); it != answerBytes.end())
        reply = it->second;
    if (reply.isEmpty())
        return;
    if (replyDelayMs <= 0) {
        SendReply(socket, reply);
        return;
    }
    QPointer<QTcpSocket> target(socket);
    QTimer::singleShot(replyDelayMs, this, [this, target, reply] {
        if (target && clients.count(target.data()) != 0)
            SendReply(target.data(), reply);
    });
}

QByteArray ReaderSimulator::Answer(const QByteArray& frame) {
    if (SumComplement(frame) != 0)
        return {}; // a corrupted request gets no answer
    const std::uint8_t code = At(frame, 5);
    const QByteArray payload = frame.mid(6, frame.size() - 7);
    if (refusing)
        return BuildReply(code, 0, {});

    auto ok = [code](const QByteArray& data = {}) { return BuildReply(code, 1, data); };
    auto refuse = [code] { return BuildReply(code, 0, {}); };
    switch (code) {
    case ReaderCode::runOff:
    case ReaderCode::runOn:
        running = code == ReaderCode::runOn;
        return ok();
    case ReaderCode::getParameter: {
        if (payload.size() != 1)
            return refuse();
        const int value = ParameterValue(At(payload, 0));
        if (value < 0)
            return refuse();
        return ok(QByteArray{payload.constData(), 1} + static_cast<char>(value));
    }
    case ReaderCode::setParameter:
        if (payload.size() != 2)
            return refuse();
        parameters[At(payload, 0)] = At(payload, 1);
        return ok();
    case ReaderCode::getRegion:
        return ok(QByteArray{reinterpret_cast<const char*>(region.data()), 2});
    case ReaderCode::setRegion:
        if (payload.size() != 2)
            return refuse();
        region = {At(payload, 0), At(payload, 1)};
        return ok();
    case ReaderCode::readExtended: {
        QByteArray data(1, static_cast<char>(extendedBlockMarker));
        data += QByteArray{reinterpret_cast<const char*>(block.data()), static_cast<qsizetype>(block.size())};
        return ok(data);
    }
    case ReaderCode::writeExtended:
        if (payload.size() != static_cast<qsizetype>(1 + block.size()) || At(payload, 0) != extendedBlockMarker)
            return refuse();
        std::copy_n(reinterpret_cast<const std::uint8_t*>(payload.constData()) + 1, block.size(), block.begin());
        return ok();
    case ReaderCode::whitelistCount: {
        const auto count = static_cast<unsigned>(whitelist.size());
        return ok(QByteArray{1, static_cast<char>(count >> 8 & 0xFF)} + static_cast<char>(count & 0xFF));
    }
    case ReaderCode::whitelistEntry: {
        if (payload.size() != 2)
            return refuse();
        const std::size_t index = static_cast<std::size_t>(At(payload, 0) << 8 | At(payload, 1));
        if (index >= whitelist.size())
            return refuse();
        const QByteArray id = IdBytes(whitelist[index]);
        return ok(QByteArray(1, static_cast<char>(id.size())) + id);
    }
    case ReaderCode::whitelistAdd:
    case ReaderCode::whitelistDelete: {
        if (payload.isEmpty() || At(payload, 0) < 1 || At(payload, 0) > 16 || payload.size() != 1 + At(payload, 0))
            return refuse();
        const std::string id = IdText(payload.mid(1));
        const bool present = whitelistIndex.count(id) != 0;
        if (code == ReaderCode::whitelistAdd && !present && whitelist.size() >= capacity)
            return refuse(); // full
        if (code == ReaderCode::whitelistAdd && !present) {
            whitelist.push_back(id);
            whitelistIndex.insert(id);
        }
        if (code == ReaderCode::whitelistDelete && present) {
            whitelist.erase(std::find(whitelist.begin(), whitelist.end(), id));
            whitelistIndex.erase(id);
        }
        return ok();
    }
    case ReaderCode::whitelistClear:
        whitelist.clear();
        whitelistIndex.clear();
        return ok();
    default:
        return refuse();
    }
}

void ReaderSimulator::SendReply(QTcpSocket* socket, const QByteArray& reply) {
    QByteArray bytes = reply;
    if (!joinedIds.empty()) {
        const QByteArray report = BuildTagReport(joinedIds, joinedCode);
        bytes = joinedFirst ? report + reply : reply + report;
    }
    if (!splitReplies || bytes.size() < 2) {
        WriteNow(socket, bytes);
        return;
    }
    const qsizetype half = bytes.size() / 2;
    WriteNow(socket, bytes.left(half));
    QPointer<QTcpSocket> target(socket);
    const QByteArray rest = bytes.mid(half);
    QTimer::singleShot(splitGapMs, this, [this, target, rest] {
        if (target && clients.count(target.data()) != 0)
            WriteNow(target.data(), rest);
    });
}

void ReaderSimulator::WriteNow(QTcpSocket* socket, const QByteArray& bytes) {
    socket->write(bytes);
    socket->flush();
}

void ReaderSimulator::PushTagReport(const std::vector<std::string>& ids, std::uint8_t code) {
    const QByteArray report = BuildTagReport(ids, code);
    for (auto& [socket, client] : clients)
        WriteNow(socket, report);
}

void ReaderSimulator::SendRaw(const QByteArray& bytes) {
    for (auto& [socket, client] : clients)
        WriteNow(socket, bytes);
}

void ReaderSimulator::OnActiveTick() {
    if (running && ParameterValue(ParameterId::workMode) == WorkMode::active && !activeIds.empty())
        PushTagReport(activeIds, activeCode);
}

QByteArray ReaderSimulator::BuildReply(std::uint8_t code, std::uint8_t status, const QByteArray& data) {
    const qsizetype length = data.size() + 4; // address, code, status, data, checksum
    QByteArray frame;
    frame.reserve(4 + length);
    frame += static_cast<char>(0x43);
    frame += static_cast<char>(0x54);
    frame += static_cast<char>(length >> 8 & 0xFF);
    frame += static_cast<char>(length & 0xFF);
    frame += static_cast<char>(readerAddress);
    frame += static_cast<char>(code);
    frame += static_cast<char>(status);
    frame += data;
    frame += static_cast<char>(SumComplement(frame));
    return frame;
}

QByteArray ReaderSimulator::BuildTagReport(const std::vector<std::string>& ids, std::uint8_t code) {
    // Layout 0x45 has seven bytes ahead of the count, layout 0x01 one.
    QByteArray data(code == ReaderCode::tagReport ? 7 : 1, '\0');
    data += static_cast<char>(ids.size() & 0xFF);
    for (const std::string& text : ids) {
        const QByteArray id = IdBytes(text);
        data += static_cast<char>((id.size() + 3) & 0xFF);
        data += static_cast<char>(0x30); // protocol control word, not examined
        data += static_cast<char>(0x00);
        data += id;
        data += static_cast<char>(0xC8); // signal strength, not examined
    }
    return BuildReply(code, 1, data);
}
