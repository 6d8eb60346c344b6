#pragma once

// First: the reader headers use a member name that Qt defines as a macro.
#include "link/ReaderLink.h"

#include "core/reader/ParameterLists.h"
#include "discovery/NetUdpApi.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <map>
#include <vector>

struct AppConfig;
class CListCtrlEx;
class LanguageTexts;
class ReaderWindowHost;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SettingsStore;

// The discovery library's three functions; tests put counting or failing stand-ins here.
struct DiscoveryFunctions {
    int (*openDevice)() = NetUdp_OpenDevice;
    void (*setCallback)(NetUdpCallback) = NetUdp_SetCallbackAddr;
    void (*scanDevice)() = NetUdp_ScanDevice;
};

struct ReaderWindowOptions {
    ReaderLink::Timings timings;
    DiscoveryFunctions discovery;
    // Connects readerLink to host and port; empty means OpenReaderLink with the timings above.
    std::function<bool(const QString& host, quint16 port)> openLink;
};

// A reader that answered a discovery probe. The device id text is the key of the list.
struct FoundReader {
    QString ipText;
    QString portText;
    QString deviceIdText; // 14 capital hexadecimal digits
};

// The reader window: connection to one reader, its working parameters, and the search for
// readers on the network. Modeless and long-lived; closing it only hides it, so the link and
// the shown values survive.
class ReaderDialog : public QDialog {
    Q_OBJECT
public:
    // A child of the host's window, which it never outlives.
    explicit ReaderDialog(ReaderWindowHost& host, ReaderWindowOptions options = {});
    ~ReaderDialog() override;

    // True while a connect runs; the main window refuses to close then.
    bool connecting() const { return isConnecting; }
    bool extendedLoaded() const { return blockLoaded; }
    const std::vector<FoundReader>& FoundReaders() const { return foundReaders; }
    bool Searching() const { return searchTimer.isActive(); }

    // Handlers, public so tests and flows can drive them as a click does.
    void Connect();
    void Disconnect();
    void Default();
    void ReadParams1();
    void WriteParams1();
    void ReadParams2();
    void WriteParams2();
    void SearchToggled();
    void TakeFoundReader();
    // A discovery answer, on the user-interface thread: 7 id bytes, at least 22 information bytes.
    void AddFoundReader(const unsigned char* deviceId, const unsigned char* deviceInfo);

    // Connection controls on or off; Disconnect the opposite; all parameter groups off.
    void EnableEndpointGroup(bool on);

    // Tests only: forget that the discovery library was opened in this process.
    static void ForgetDiscoveryOpened();

protected:
    void accept() override;
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    void ApplyTexts();
    QComboBox* MakeList(int id, const QRect& rect, const ParameterList& list);
    QPushButton* MakeButton(int id, const QRect& rect);
    void CopyFieldsToValues();
    void CopyValuesToFields();
    void RefreshEnables();
    void RestoreWhitelistButton();
    void CloseLink();
    void OnPeerClosed();
    void ReturnToDisconnected(bool peerClosed);
    // The block half of a parameter command; false when the window or the link went away.
    bool ReadBlock(const QPointer<ReaderLink>& link);
    bool WriteBlock(const QPointer<ReaderLink>& link);
    int SelectedValue(QComboBox* list, int fallback) const;
    void SelectValue(QComboBox* list, int value);

    // A parameter command runs: the other parameter buttons and the whitelist button wait.
    class OperationScope;

    ReaderWindowHost& host;
    const AppConfig& config;
    const LanguageTexts& texts;
    SettingsStore& settings;
    ReaderWindowOptions options;

    QString ipText;
    int port = 60000;
    bool isConnecting = false;
    bool blockLoaded = false;
    ExtendedBlock block{};

    // Enable state of the groups, as the state table sets it; the widgets follow RefreshEnables.
    bool endpointOn = true;
    bool disconnectOn = false;
    bool readOn = false;
    bool values1On = false;
    bool values2On = false;
    int operationsRunning = 0;

    QLineEdit* ipEdit = nullptr;
    QLineEdit* portEdit = nullptr;
    QLabel* statusLabel = nullptr;
    QCheckBox* buzzerCheck = nullptr;
    QCheckBox* searchCheck = nullptr;
    QComboBox* workModeList = nullptr;
    QComboBox* regionList = nullptr;
    QComboBox* powerList = nullptr;
    QComboBox* filterList = nullptr;
    QComboBox* triggerList = nullptr;
    QComboBox* whitelistList = nullptr;
    QComboBox* relayList = nullptr;
    QComboBox* relayTimeList = nullptr;
    CListCtrlEx* foundList = nullptr;
    std::map<int, QPushButton*> buttons;

    QTimer searchTimer;
    std::vector<FoundReader> foundReaders;
};

// The callback handed to the discovery library. Runs on the library's thread: it copies the
// answer and hands it to the user-interface thread, where the reader window, if it still
// exists, lists it. Only event 2 with sub-event 1 counts.
void OnReaderFound(int event, int subEvent, const unsigned char* deviceId, const unsigned char* deviceInfo, int extra);
