#pragma once

#include "core/reader/Commands.h"
#include "core/reader/FrameAssembler.h"
#include "core/reader/RecentTagFilter.h"
#include "core/reader/ReplySlot.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QTcpSocket;

// The TCP link to one reader, on the user-interface thread. Every operation sends one request
// at a time and waits for its reply while serving events (so clicks, timers and the socket's
// own notifications run inside the wait); the wait ends the moment the reply is accepted, the
// link is lost or the deadline passes.
//
// Use from the reader window (OpenReaderLink / CloseReaderLink):
//
//   auto* link = new ReaderLink();                 // defaults: 5000 / 3000 / 500 / 1000 ms
//   connect(link, &ReaderLink::peerClosed, ...);   // back to Disconnected; queued, may delete
//   if (!link->Open(host, port)) { delete link; /* "Connect fail!" */ }
//   link->SetProcessing(true);                     // before the first command, so its reply counts
//   link->SetRunning(true);
//   ...
//   link->Close(); link->deleteLater();            // or delete when no operation of it runs
//
// Destroying the link while one of its operations waits (a Disconnect clicked during a read)
// is safe: the operation returns its failure value without touching the link again.
//
// Only one operation runs at a time: an operation started while another one waits or pauses
// between its attempts (from a click served inside that wait) is refused at once, sends
// nothing and returns its failure value. Operations on a link that is not connected also fail
// at once.
//
// Replies are cut out of the stream by their length field. A frame left incomplete is dropped
// when the wait for a reply ends without one, and when no byte has come for staleFrameMs (a
// reader sends each frame in one burst), so a stray or truncated frame cannot swallow the
// replies after it.
//
// Unasked tag reports are checked by the recent-tag filter and each admitted id goes to the
// tag sink (the program's passes them to the main window's tag field); without a sink they are
// not looked at. The link needs no widgets, so programs without windows use it too.
class ReaderLink : public QObject {
    Q_OBJECT

public:
    struct Timings {
        int connectMs = 5000;
        int replyMs = 3000;
        int retryPauseMs = 500;
        int sendStallMs = 1000;
        int staleFrameMs = 200;
    };
    using TagSink = std::function<void(const QString&)>;
    // Milliseconds on a wrapping 32-bit counter; the filter's notion of now.
    using Clock = std::function<std::uint32_t()>;

    explicit ReaderLink(QObject* parent = nullptr);
    explicit ReaderLink(const Timings& timings, TagSink tagSink = {}, Clock clock = {}, QObject* parent = nullptr);
    ~ReaderLink() override;

    // Connects to host (dotted IPv4 or a name) and port; true once connected within connectMs.
    // Starts with frame processing off, an empty filter and an empty reply slot.
    [[nodiscard]] bool Open(const QString& host, quint16 port);
    // Ends the connection without peerClosed. Safe when not connected.
    void Close();

    bool connected() const { return isConnected; }
    // Incoming frames are only acted on while processing is on; bytes still pass through the
    // frame assembler so the stream stays in step.
    void SetProcessing(bool on) { processing = on; }
    bool processingOn() const { return processing; }
    // An operation is under way: waiting for a reply or pausing before its next attempt.
    bool Busy() const { return exchangeBusy || commandBusy; }
    // Bytes received that do not make a whole frame yet.
    std::size_t PendingBytes() const { return assembler.Pending(); }
    std::uint32_t lastActivity() const { return lastActivityMs; }
    const ReplySlot& Slot() const { return slot; }

    // Writes all bytes or gives up; a write error marks the link lost.
    void SendAll(const std::vector<std::uint8_t>& bytes);
    // One attempt: reset the slot, send, wait up to replyMs for an accepted reply. False when
    // nothing was sent (not connected, empty frame, another operation under way); the caller
    // reads Slot() afterwards.
    [[nodiscard]] bool Exchange(const std::vector<std::uint8_t>& frame, std::uint8_t awaitedCode);

    // The reader's operations. The bool results of the commands whose replies the program
    // does not examine tell whether a reply ended the command.
    bool SetRunning(bool on);
    [[nodiscard]] std::optional<int> GetParameter(int id);
    bool SetParameter(int id, int value); // value's low 8 bits
    [[nodiscard]] int GetRegion();        // region index, -1 unknown or failed
    bool SetRegion(int index);            // false with nothing sent for an index without a pair
    [[nodiscard]] bool ReadExtendedBlock(ExtendedBlock& block);
    [[nodiscard]] bool WriteExtendedBlock(const ExtendedBlock& block);
    [[nodiscard]] int ReadWhitelistCount(); // 0 when failed
    // nullopt when the count could not be read, told apart from an empty whitelist.
    [[nodiscard]] std::optional<int> TryReadWhitelistCount();
    // The entry's id text, empty for an entry without id bytes; nullopt when the read failed.
    [[nodiscard]] std::optional<std::string> ReadWhitelistEntry(int index);
    bool AddWhitelistEntry(const std::string& idText); // false: not converted or unanswered
    bool ClearWhitelist();
    bool DeleteWhitelistEntry(const std::string& idText);

Q_SIGNALS:
    // The reader closed the connection or a send failed; connected() is false by now.
    // Delivered through the event queue, so a receiver may destroy the link.
    void peerClosed();

private:
    bool Run(const Command& command);
    bool ExchangeOnce(const std::vector<std::uint8_t>& frame, std::uint8_t awaitedCode);
    void HandleIncoming();
    void DropIncompleteFrame();
    void OnStaleFrame();
    void DeliverTags(const std::vector<std::uint8_t>& frame);
    void LoseConnection();
    void OnSocketError();

    Timings timings;
    TagSink tagSink;
    Clock clock;
    QTcpSocket* socket = nullptr; // not a child: see the destructor
    bool isConnected = false;
    bool connectFailed = false;
    bool processing = false;
    bool exchangeBusy = false;
    bool commandBusy = false; // from a command's first attempt to the end of its last
    int socketSignalDepth = 0;
    std::uint32_t lastActivityMs = 0;
    FrameAssembler assembler;
    QTimer staleFrameTimer;
    ReplySlot slot;
    RecentTagFilter recentTags;
};
