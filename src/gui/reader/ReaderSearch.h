#pragma once

#include "discovery/NetUdpApi.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <vector>

class CListCtrlEx;
class LanguageTexts;
class QCheckBox;
class QWidget;

// The discovery library's three functions; tests put counting or failing stand-ins here.
struct DiscoveryFunctions {
    int (*openDevice)() = NetUdp_OpenDevice;
    void (*setCallback)(NetUdpCallback) = NetUdp_SetCallbackAddr;
    void (*scanDevice)() = NetUdp_ScanDevice;
};

// A reader that answered a discovery probe. The device id text is the key of the list.
struct FoundReader {
    QString ipText;
    QString portText;
    QString deviceIdText; // 14 capital hexadecimal digits
};

// The reader window's search for readers on the network: the search check box, the list of
// the readers that answered, and the timer that asks once a second while the box is checked.
// Its controls are children of the window; the search goes on while the window is hidden.
class ReaderSearch : public QObject {
    Q_OBJECT
public:
    ReaderSearch(QWidget* window, const LanguageTexts& texts, const DiscoveryFunctions& discovery);
    ~ReaderSearch() override;

    bool Searching() const { return scanTimer.isActive(); }
    const std::vector<FoundReader>& FoundReaders() const { return foundReaders; }
    QCheckBox* SearchCheck() const { return searchCheck; }
    CListCtrlEx* FoundList() const { return foundList; }

    // The check box was clicked: start or stop asking.
    void Toggled();
    // A double click: hands the first selected reader's address on through readerTaken.
    void TakeSelected();
    // An answer, on the user-interface thread: 7 id bytes, at least 22 information bytes.
    void Add(const unsigned char* deviceId, const unsigned char* deviceInfo);

    // Tests only: forget that the discovery library was opened in this process.
    static void ForgetOpened();

Q_SIGNALS:
    void readerTaken(const QString& ipText, int port);

private:
    QWidget* window;
    DiscoveryFunctions discovery;
    QCheckBox* searchCheck = nullptr;
    CListCtrlEx* foundList = nullptr;
    QTimer scanTimer;
    std::vector<FoundReader> foundReaders;
};

// The callback handed to the discovery library. Runs on the library's thread: it copies the
// answer and hands it to the user-interface thread, where the reader window, if it still
// exists, lists it. Only event 2 with sub-event 1 counts.
void OnReaderFound(int event, int subEvent, const unsigned char* deviceId, const unsigned char* deviceInfo, int extra);
