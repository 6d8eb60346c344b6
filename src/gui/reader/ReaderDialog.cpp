// First: the reader headers use a member name that Qt defines as a macro.
#include "link/ReaderLink.h"

#include "gui/reader/ReaderDialog.h"

#include "core/app/AppConfig.h"
#include "core/app/RegisterContext.h"
#include "core/app/SettingsStore.h"
#include "core/reader/Frame.h"
#include "gui/app/DialogUnits.h"
#include "gui/app/FocusedButton.h"
#include "gui/app/Globals.h"
#include "gui/app/Prompts.h"
#include "gui/app/UiTexts.h"
#include "gui/controls/ShowBalloon.h"
#include "gui/reader/ExtendedParameters.h"
#include "gui/reader/ReaderControlIds.h"
#include "gui/reader/ReaderControls.h"
#include "gui/reader/ReaderEndpoint.h"
#include "gui/reader/WorkingParameters.h"
#include "gui/register/ReaderWindowHost.h"
#include "gui/whitelist/WhitelistFlowGuard.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include <iterator>

namespace {

// Fixed text, the same in every language.
const QString connectFailText = QStringLiteral("Connect fail!");

} // namespace

// Marks a parameter command as running for its lifetime. Holds the window weakly: the main
// window's teardown may destroy it while the command waits.
class ReaderDialog::OperationScope {
public:
    explicit OperationScope(ReaderDialog* owner) : dialog(owner) {
        ++owner->operationsRunning;
        owner->RefreshEnables();
        owner->host.EnableWhitelistButton(false);
    }
    ~OperationScope() {
        if (dialog.isNull())
            return;
        --dialog->operationsRunning;
        dialog->RefreshEnables();
        dialog->RestoreWhitelistButton();
    }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

private:
    QPointer<ReaderDialog> dialog;
};

ReaderDialog::ReaderDialog(ReaderWindowHost& windowHost, ReaderWindowOptions windowOptions)
    : QDialog(windowHost.Window()), host(windowHost), config(windowHost.Context().config),
      texts(windowHost.Context().texts), settings(windowHost.Context().settings), options(std::move(windowOptions)) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFont(DialogUnits::DialogFont());
    setModal(false);

    std::string address;
    settings.LoadReaderEndpoint(address, port);
    ipText = QString::fromStdString(address);

    setFixedSize(DialogUnits(font()).Size(398, 359));
    ApplyText(texts, "APB1", "025", QStringLiteral("UHF讀取機連線設定"), this);
    BuildConnectionControls();
    working = new WorkingParameters(this, texts);
    extended = new ExtendedParameters(this, texts);
    search = new ReaderSearch(this, texts, options.discovery);
    if (config.uhfRel != 0)
        extended->HideButtons();
    SetTabOrder();
    // Fields and lists are named by their labels.
    for (QLabel* label : findChildren<QLabel*>())
        if (QWidget* buddy = label->buddy())
            buddy->setAccessibleName(label->accessibleName());
    CopyValuesToFields();

    connect(working->ReadButton(), &QPushButton::clicked, this, [this] { ReadParams1(); });
    connect(working->WriteButton(), &QPushButton::clicked, this, [this] { WriteParams1(); });
    connect(extended->ReadButton(), &QPushButton::clicked, this, [this] { ReadParams2(); });
    connect(extended->WriteButton(), &QPushButton::clicked, this, [this] { WriteParams2(); });
    // Also while the fields are disabled: the address waits there for the next Connect.
    connect(search, &ReaderSearch::readerTaken, this, [this](const QString& takenIp, int takenPort) {
        ipText = takenIp;
        port = takenPort;
        CopyValuesToFields();
    });

    SetFlowStateListener([this](bool) { RefreshEnables(); });
    EnableEndpointGroup(true);
}

ReaderDialog::~ReaderDialog() {
    SetFlowStateListener({});
}

void ReaderDialog::BuildConnectionControls() {
    using namespace ReaderControls;
    const DialogUnits du(font());
    (new QGroupBox(this))->setGeometry(du.Rect(5, 0, 388, 220));
    (new QGroupBox(this))->setGeometry(du.Rect(5, 62, 388, 158));

    ipEdit = new QLineEdit(this);
    SetControlId(ipEdit, ReaderControl::ipEdit);
    ipEdit->setGeometry(du.Rect(105, 18, 100, 14));
    ipEdit->setMaxLength(30);
    MakeLabel(this, ReaderControl::ipLabel, du.Rect(20, 18, 80, 16), ipEdit);

    portEdit = new QLineEdit(this);
    SetControlId(portEdit, ReaderControl::portEdit);
    portEdit->setGeometry(du.Rect(105, 42, 40, 15));
    portEdit->setMaxLength(5);
    portEdit->setValidator(DigitsOnly(5, portEdit));
    MakeLabel(this, ReaderControl::portLabel, du.Rect(20, 42, 80, 16), portEdit);

    defaultButton = MakeButton(this, ReaderControl::defaultButton, du.Rect(150, 42, 50, 15));
    connectButton = MakeButton(this, ReaderControl::connectButton, du.Rect(215, 20, 80, 20));
    disconnectButton = MakeButton(this, ReaderControl::disconnectButton, du.Rect(300, 20, 80, 20));

    // Tells that the reader closed the connection; not a box, the operator may be elsewhere.
    statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("readerStatus"));
    statusLabel->setGeometry(du.Rect(200, 224, 193, 14));
    statusLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    ApplyText(texts, "APA21", "021", QStringLiteral("連線IP位址:"), FindControl(this, ReaderControl::ipLabel));
    ApplyText(texts, "APA21", "022", QStringLiteral("連線埠:"), FindControl(this, ReaderControl::portLabel));
    ApplyText(texts, "COMMON", "019", QStringLiteral("預設值"), defaultButton);
    ApplyText(texts, "APB1", "026", QStringLiteral("連線"), connectButton);
    ApplyText(texts, "APB1", "027", QStringLiteral("斷線"), disconnectButton);

    connect(connectButton, &QPushButton::clicked, this, [this] { Connect(); });
    connect(disconnectButton, &QPushButton::clicked, this, [this] { Disconnect(); });
    connect(defaultButton, &QPushButton::clicked, this, [this] { Default(); });
}

void ReaderDialog::SetTabOrder() {
    for (std::size_t i = 1; i < std::size(readerTabOrder); ++i)
        setTabOrder(FindControl(this, readerTabOrder[i - 1]), FindControl(this, readerTabOrder[i]));
}

void ReaderDialog::CopyFieldsToValues() {
    ipText = ipEdit->text();
    bool isNumber = false;
    const int value = portEdit->text().toInt(&isNumber);
    if (isNumber)
        port = value;
    else // the previous port stays in use
        prompts().Message(this, LookupText(texts, "LUMETRA", "017", QStringLiteral("請輸入整數。")));
}

void ReaderDialog::CopyValuesToFields() {
    ipEdit->setText(ipText);
    portEdit->setText(QString::number(port));
}

void ReaderDialog::RefreshEnables() {
    const bool flowRunning = WhitelistFlowRunning();
    // While one command waits no second one may start through the link's one reply slot.
    const bool blocked = operationsRunning > 0 || flowRunning;
    for (QWidget* control : {static_cast<QWidget*>(ipEdit), static_cast<QWidget*>(portEdit),
                             static_cast<QWidget*>(connectButton), static_cast<QWidget*>(defaultButton)})
        control->setEnabled(endpointOn);
    disconnectButton->setEnabled(disconnectOn && !flowRunning);
    working->Enable(readOn, blocked);
    extended->Enable(readOn, blocked);
}

void ReaderDialog::RestoreWhitelistButton() {
    // Enabled exactly while a connected link exists (a connect succeeded and no close since).
    if (operationsRunning == 0 && !isConnecting)
        host.EnableWhitelistButton(readerLink != nullptr);
}

void ReaderDialog::EnableEndpointGroup(bool on) {
    endpointOn = on;
    disconnectOn = !on;
    readOn = false;
    working->WithdrawValues();
    extended->WithdrawValues();
    RefreshEnables();
}

void ReaderDialog::Connect() {
    if (isConnecting)
        return;
    SetControlText(statusLabel, QString());
    CopyFieldsToValues();
    if (ipText.isEmpty()) {
        ShowBalloonAt(ipEdit, LookupText(texts, "COMMON", "009", QStringLiteral("不可為空白!")));
        return;
    }
    if (port <= 0)
        port = defaultReaderPort;
    // Five digits reach past the last port; sent anyway, the number would wrap to another port.
    if (port > 65535) {
        ShowBalloonAt(portEdit, LookupText(texts, "LUMETRA", "009", QStringLiteral("連線埠須為 1 至 65535")));
        return;
    }
    CopyValuesToFields();

    setEnabled(false);
    isConnecting = true;
    extended->Forget();
    EnableEndpointGroup(false);
    disconnectOn = false;
    RefreshEnables();
    (void)settings.SaveReaderEndpoint(ipText.toStdString(), port);

    QPointer<ReaderDialog> self(this);
    const auto portNumber = static_cast<quint16>(port);
    // Opening ends any earlier link, and the whitelist button goes with it.
    host.EnableWhitelistButton(false);
    const bool opened =
        options.openLink ? options.openLink(ipText, portNumber) : OpenReaderLink(ipText, portNumber, options.timings);
    if (self.isNull())
        return;
    QPointer<ReaderLink> link(opened ? readerLink : nullptr);
    if (!link.isNull()) {
        connect(link, &ReaderLink::peerClosed, this, [this, link] {
            if (!link.isNull() && link == readerLink)
                OnPeerClosed();
        });
        // Processing first, so the reply to the first command is recognised instead of waited out.
        link->SetProcessing(true);
        link->SetRunning(true);
        if (self.isNull())
            return;
        if (link.isNull() || !link->connected()) {
            isConnecting = false;
            setEnabled(true);
            ReturnToDisconnected(true);
            return;
        }
        disconnectOn = true;
        readOn = true;
        RefreshEnables();
        host.EnableWhitelistButton(true);
        isConnecting = false;
        setEnabled(true);
        return;
    }
    setEnabled(true);
    EnableEndpointGroup(true);
    prompts().Message(this, connectFailText);
    if (!self.isNull())
        isConnecting = false;
}

void ReaderDialog::Disconnect() {
    if (isConnecting)
        return;
    SetControlText(statusLabel, QString());
    setEnabled(false);
    CloseLink();
    EnableEndpointGroup(true);
    extended->Forget();
    setEnabled(true);
}

void ReaderDialog::CloseLink() {
    CloseReaderLink();
    host.EnableWhitelistButton(false);
}

void ReaderDialog::OnPeerClosed() {
    // A connect in progress notices the loss itself when its first command returns.
    if (isConnecting)
        return;
    ReturnToDisconnected(true);
}

void ReaderDialog::ReturnToDisconnected(bool peerClosed) {
    CloseLink();
    EnableEndpointGroup(true);
    extended->Forget();
    if (peerClosed)
        SetControlText(statusLabel, LookupText(texts, "LUMETRA", "008", QStringLiteral("讀取機已中斷連線")));
}

void ReaderDialog::Default() {
    ipText = ipEdit->text();
    port = defaultReaderPort;
    CopyValuesToFields();
}

void ReaderDialog::ReadParams1() {
    if (readerLink == nullptr)
        return;
    QPointer<ReaderLink> link(readerLink);
    OperationScope scope(this);
    if (!working->Read(link))
        return;
    RefreshEnables();
    if (config.uhfRel != 0)
        (void)extended->Read(link);
}

void ReaderDialog::ReadParams2() {
    if (readerLink == nullptr)
        return;
    QPointer<ReaderLink> link(readerLink);
    OperationScope scope(this);
    (void)extended->Read(link);
}

void ReaderDialog::WriteParams1() {
    if (readerLink == nullptr)
        return;
    QPointer<ReaderLink> link(readerLink);
    OperationScope scope(this);
    if (!working->Write(link))
        return;
    if (config.uhfRel != 0 && !extended->Write(link))
        return;
    if (!link.isNull())
        link->SetRunning(true);
}

void ReaderDialog::WriteParams2() {
    if (readerLink == nullptr)
        return;
    QPointer<ReaderLink> link(readerLink);
    OperationScope scope(this);
    (void)extended->Write(link);
}

bool ReaderDialog::extendedLoaded() const {
    return extended->Loaded();
}

const std::vector<FoundReader>& ReaderDialog::FoundReaders() const {
    return search->FoundReaders();
}

bool ReaderDialog::Searching() const {
    return search->Searching();
}

void ReaderDialog::ForgetDiscoveryOpened() {
    ReaderSearch::ForgetOpened();
}

void ReaderDialog::SearchToggled() {
    search->Toggled();
}

void ReaderDialog::AddFoundReader(const unsigned char* deviceId, const unsigned char* deviceInfo) {
    search->Add(deviceId, deviceInfo);
}

void ReaderDialog::TakeFoundReader() {
    search->TakeSelected();
}

void ReaderDialog::accept() {
    hide();
}

void ReaderDialog::reject() {
    hide();
}

void ReaderDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!PressFocusedButton(this))
            accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
