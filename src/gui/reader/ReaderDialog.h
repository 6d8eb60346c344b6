#pragma once

// First: the reader headers use a member name that Qt defines as a macro.
#include "link/ReaderLink.h"

#include "core/reader/Frame.h"
#include "gui/reader/ReaderSearch.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <vector>

struct AppConfig;
class ExtendedParameters;
class LanguageTexts;
class QLabel;
class QLineEdit;
class QPushButton;
class ReaderWindowHost;
class SettingsStore;
class WorkingParameters;

struct ReaderWindowOptions {
    ReaderLink::Timings timings;
    DiscoveryFunctions discovery;
    // Connects readerLink to host and port; empty means OpenReaderLink with the timings above.
    std::function<bool(const QString& host, quint16 port)> openLink;
};

// The reader window: connection to one reader, its working parameters, and the search for
// readers on the network. Modeless and long-lived; closing it only hides it, so the link and
// the shown values survive. It holds the connection and decides what is enabled; the parameter
// groups and the search are parts of their own.
class ReaderDialog : public QDialog {
    Q_OBJECT
public:
    // A child of the host's window, which it never outlives.
    explicit ReaderDialog(ReaderWindowHost& host, ReaderWindowOptions options = {});
    ~ReaderDialog() override;

    // True while a connect runs; the main window refuses to close then.
    bool connecting() const { return isConnecting; }
    bool extendedLoaded() const;
    const std::vector<FoundReader>& FoundReaders() const;
    bool Searching() const;

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
    void BuildConnectionControls();
    void SetTabOrder();
    void CopyFieldsToValues();
    void CopyValuesToFields();
    void RefreshEnables();
    void RestoreWhitelistButton();
    void CloseLink();
    void OnPeerClosed();
    void ReturnToDisconnected(bool peerClosed);

    // A parameter command runs: the other parameter buttons and the whitelist button wait.
    class OperationScope;

    ReaderWindowHost& host;
    const AppConfig& config;
    const LanguageTexts& texts;
    SettingsStore& settings;
    ReaderWindowOptions options;

    QString ipText;
    int port = defaultReaderPort;
    bool isConnecting = false;

    // Enable state of the connection, as the state table sets it; the widgets follow
    // RefreshEnables.
    bool endpointOn = true;
    bool disconnectOn = false;
    bool readOn = false;
    int operationsRunning = 0;

    QLineEdit* ipEdit = nullptr;
    QLineEdit* portEdit = nullptr;
    QPushButton* connectButton = nullptr;
    QPushButton* disconnectButton = nullptr;
    QPushButton* defaultButton = nullptr;
    QLabel* statusLabel = nullptr;
    WorkingParameters* working = nullptr;
    ExtendedParameters* extended = nullptr;
    ReaderSearch* search = nullptr;
};
