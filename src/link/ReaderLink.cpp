#include "link/ReaderLink.h"

#include "core/app/Ticks.h"
#include "link/Waits.h"

#include "core/reader/Frame.h"
#include "core/reader/TagReport.h"

#include <QPointer>
#include <QTcpSocket>

ReaderLink::ReaderLink(QObject* parent) : ReaderLink(Timings{}, {}, {}, parent) {}

ReaderLink::ReaderLink(const Timings& replyTimings, TagSink onTag, Clock now, QObject* parent)
    : QObject(parent), timings(replyTimings), tagSink(std::move(onTag)), clock(std::move(now)),
      socket(new QTcpSocket()) {
    if (!clock)
        clock = [] { return TickCount(); };
    connect(socket, &QTcpSocket::connected, this, [this] {
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        isConnected = true;
        WakeWaits();
    });
    connect(socket, &QTcpSocket::disconnected, this, &ReaderLink::LoseConnection);
    connect(socket, &QTcpSocket::errorOccurred, this, &ReaderLink::OnSocketError);
    connect(socket, &QTcpSocket::readyRead, this, &ReaderLink::HandleIncoming);
    connect(socket, &QTcpSocket::bytesWritten, this, [] { WakeWaits(); });
    staleFrameTimer.setSingleShot(true);
    connect(&staleFrameTimer, &QTimer::timeout, this, &ReaderLink::OnStaleFrame);
}

ReaderLink::~ReaderLink() {
    socket->disconnect(this);
    socket->abort();
    // The socket may be the one emitting the signal whose handler destroys us.
    if (socketSignalDepth > 0)
        socket->deleteLater();
    else
        delete socket;
    // Waits of our operations re-check their condition and see the link gone.
    WakeWaits();
}

bool ReaderLink::Open(const QString& host, quint16 port) {
    Close();
    recentTags.Clear();
    slot = ReplySlot{};
    processing = false;
    connectFailed = false;
    QPointer<ReaderLink> self(this);
    socket->connectToHost(host, port);
    WaitUntil([self] { return !self || self->isConnected || self->connectFailed; }, timings.connectMs);
    if (!self)
        return false;
    if (!isConnected)
        socket->abort();
    return isConnected;
}

void ReaderLink::Close() {
    isConnected = false; // first, so the disconnect below is not taken for the peer's
    socket->abort();
    DropIncompleteFrame();
    WakeWaits();
}

void ReaderLink::LoseConnection() {
    if (!isConnected) {
        WakeWaits();
        return;
    }
    isConnected = false;
    WakeWaits();
    QMetaObject::invokeMethod(
        this,
        [this] {
            Q_EMIT peerClosed();
            WakeWaits(); // waits on the receivers' reaction re-check it
        },
        Qt::QueuedConnection);
}

void ReaderLink::OnSocketError() {
    if (isConnected) {
        LoseConnection();
        return;
    }
    connectFailed = true;
    WakeWaits();
}

void ReaderLink::SendAll(const std::vector<std::uint8_t>& bytes) {
    if (!isConnected || bytes.empty())
        return;
    const auto size = static_cast<qint64>(bytes.size());
    if (socket->write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        LoseConnection();
        return;
    }
    socket->flush();
    if (socket->bytesToWrite() == 0)
        return;
    // The rest stays queued in the socket; only a stalled peer makes us wait here.
    QPointer<ReaderLink> self(this);
    WaitUntil([self] { return !self || !self->isConnected || self->socket->bytesToWrite() == 0; }, timings.sendStallMs);
}

bool ReaderLink::Exchange(const std::vector<std::uint8_t>& frame, std::uint8_t awaitedCode) {
    // Between a command's attempts the slot still belongs to that command.
    if (commandBusy)
        return false;
    return ExchangeOnce(frame, awaitedCode);
}

bool ReaderLink::ExchangeOnce(const std::vector<std::uint8_t>& frame, std::uint8_t awaitedCode) {
    lastActivityMs = clock();
    if (!isConnected || frame.empty() || exchangeBusy)
        return false;
    slot.Reset(awaitedCode);
    exchangeBusy = true;
    QPointer<ReaderLink> self(this);
    SendAll(frame);
    if (!self)
        return false;
    WaitUntil([self] { return !self || !self->isConnected || self->slot.accepted; }, timings.replyMs);
    if (!self)
        return false;
    // Whatever part of a frame is still pending is not this reply; left in place it would
    // swallow the next one.
    if (!slot.accepted)
        DropIncompleteFrame();
    exchangeBusy = false;
    return true;
}

bool ReaderLink::Run(const Command& command) {
    if (!isConnected || Busy())
        return false;
    QPointer<ReaderLink> self(this);
    AttemptHooks hooks{
        [self] { return self && self->isConnected; },
        [self, &command] { return self && self->ExchangeOnce(command.request, command.awaitedCode); },
        [self, pauseMs = timings.retryPauseMs] {
            PumpWait(pauseMs);
            return !self.isNull();
        },
    };
    commandBusy = true;
    // A true result means the last exchange ended the command and the link still exists.
    const bool ended = RunAttempts(command, slot, hooks);
    if (self)
        commandBusy = false;
    return ended;
}

void ReaderLink::HandleIncoming() {
    QPointer<ReaderLink> self(this);
    ++socketSignalDepth;
    lastActivityMs = clock();
    const QByteArray data = socket->readAll();
    assembler.Append(reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size()));
    while (std::optional<std::vector<std::uint8_t>> frame = assembler.Next()) {
        if (!processing)
            continue;
        switch (HandleReplyFrame(slot, *frame)) {
        case FrameRoute::Accepted:
            WakeWaits();
            break;
        case FrameRoute::TagReport:
            DeliverTags(*frame);
            if (!self)
                return;
            break;
        case FrameRoute::Dropped:
        case FrameRoute::Ignored:
            break;
        }
    }
    --socketSignalDepth;
    // Each new byte gives a pending frame another quiet span to complete in.
    if (assembler.Pending() > 0)
        staleFrameTimer.start(timings.staleFrameMs);
    else
        staleFrameTimer.stop();
}

void ReaderLink::DropIncompleteFrame() {
    assembler.Clear();
    staleFrameTimer.stop();
}

void ReaderLink::OnStaleFrame() {
    if (socketSignalDepth > 0) {
        // Received bytes are still being handled further up the stack; look again later.
        staleFrameTimer.start(timings.staleFrameMs);
        return;
    }
    if (socket->bytesAvailable() > 0) {
        HandleIncoming(); // bytes that came in after all: they decide, not the timer
        return;
    }
    DropIncompleteFrame();
}

void ReaderLink::DeliverTags(const std::vector<std::uint8_t>& frame) {
    if (!tagSink)
        return;
    QPointer<ReaderLink> self(this);
    for (const std::string& id : ParseTagReport(frame)) {
        if (!recentTags.Admit(id, lastActivityMs))
            continue;
        const QString text = QString::fromLatin1(id.data(), static_cast<qsizetype>(id.size()));
        tagSink(text);
        if (!self)
            return;
    }
}

bool ReaderLink::SetRunning(bool on) {
    return Run(Commands::SetRunning(on));
}

std::optional<int> ReaderLink::GetParameter(int id) {
    if (id < 0 || id > 0xFF)
        return std::nullopt;
    const auto parameter = static_cast<std::uint8_t>(id);
    if (!Run(Commands::GetParameter(parameter)))
        return std::nullopt;
    return Commands::ParameterValue(slot, parameter);
}

bool ReaderLink::SetParameter(int id, int value) {
    if (id < 0 || id > 0xFF)
        return false;
    return Run(Commands::SetParameter(static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(value & 0xFF)));
}

int ReaderLink::GetRegion() {
    if (!Run(Commands::GetRegion()))
        return -1;
    return Commands::RegionIndex(slot);
}

bool ReaderLink::SetRegion(int index) {
    return Run(Commands::SetRegion(index));
}

bool ReaderLink::ReadExtendedBlock(ExtendedBlock& block) {
    if (!Run(Commands::ReadExtendedBlock()))
        return false;
    return Commands::CopyExtendedBlock(slot, block);
}

bool ReaderLink::WriteExtendedBlock(const ExtendedBlock& block) {
    if (!Run(Commands::WriteExtendedBlock(block)))
        return false;
    return Commands::WriteConfirmed(slot);
}

int ReaderLink::ReadWhitelistCount() { return TryReadWhitelistCount().value_or(0); }

std::optional<int> ReaderLink::TryReadWhitelistCount() {
    if (!Run(Commands::ReadWhitelistCount()))
        return std::nullopt;
    return Commands::WhitelistCount(slot);
}

std::optional<std::string> ReaderLink::ReadWhitelistEntry(int index) {
    if (!Run(Commands::ReadWhitelistEntry(index)))
        return std::nullopt;
    return Commands::WhitelistEntryText(slot);
}

bool ReaderLink::AddWhitelistEntry(const std::string& idText) {
    return Run(Commands::AddWhitelistEntry(idText));
}

bool ReaderLink::ClearWhitelist() {
    return Run(Commands::ClearWhitelist());
}

bool ReaderLink::DeleteWhitelistEntry(const std::string& idText) {
    return Run(Commands::DeleteWhitelistEntry(idText));
}
