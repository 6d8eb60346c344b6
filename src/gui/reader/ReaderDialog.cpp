// First: the reader headers use a member name that Qt defines as a macro.
#include "link/ReaderLink.h"

#include "gui/reader/ReaderDialog.h"

#include "core/app/AppConfig.h"
#include "core/app/RegisterContext.h"
#include "core/app/SettingsStore.h"
#include "gui/app/DialogUnits.h"
#include "gui/app/FocusedButton.h"
#include "gui/app/Globals.h"
#include "gui/app/Prompts.h"
#include "gui/app/UiTexts.h"
#include "gui/controls/CListCtrlEx.h"
#include "gui/controls/ShowBalloon.h"
#include "gui/reader/ReaderEndpoint.h"
#include "gui/register/ReaderWindowHost.h"
#include "gui/whitelist/WhitelistFlowGuard.h"
#include "link/Waits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include <array>
#include <atomic>
#include <optional>

namespace {

// The discovery library is opened at most until it succeeds once, and never closed.
bool deviceOpened = false;

// Counts the ends of searches. An answer carries the count from when the library reported it,
// so one still queued for the user-interface thread when its search ended is dropped instead of
// reaching a later search or a later window.
std::atomic<unsigned> searchGeneration{0};

void StopReporting(const DiscoveryFunctions& discovery) {
    discovery.setCallback(nullptr); // returns once no callback runs any more
    ++searchGeneration;
}

constexpr int defaultPort = 60000;
constexpr int scanIntervalMs = 1000;

// Fixed texts, the same in every language.
const QString connectFailText = QStringLiteral("Connect fail!");
const QString writeFailText = QStringLiteral("Fail!");
const QString openDeviceFailText = QStringLiteral("Open Device Fail!");

QString Qs(const std::string& text) {
    return QString::fromStdString(text);
}

QRegularExpressionValidator* DigitsOnly(int digits, QObject* parent) {
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(digits)), parent);
}

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
    ipText = Qs(address);

    BuildControls();
    ApplyTexts();
    CopyValuesToFields();

    searchTimer.setObjectName(QStringLiteral("timer666"));
    searchTimer.setInterval(scanIntervalMs);
    connect(&searchTimer, &QTimer::timeout, this, [this] { this->options.discovery.scanDevice(); });

    SetFlowStateListener([this](bool) { RefreshEnables(); });
    EnableEndpointGroup(true);
}

ReaderDialog::~ReaderDialog() {
    SetFlowStateListener({});
    searchTimer.stop();
    StopReporting(options.discovery);
}

QPushButton* ReaderDialog::MakeButton(int id, const QRect& rect) {
    auto* button = new QPushButton(this);
    SetControlId(button, id);
    button->setGeometry(rect);
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    buttons[id] = button;
    return button;
}

QComboBox* ReaderDialog::MakeList(int id, const QRect& rect, const ParameterList& list) {
    auto* combo = new QComboBox(this);
    SetControlId(combo, id);
    combo->setGeometry(rect);
    for (const ParameterEntry& entry : list.entries)
        combo->addItem(Qs(entry.text), entry.value);
    combo->setCurrentIndex(ParameterLists::IndexOfValue(list, list.startValue));
    return combo;
}

void ReaderDialog::BuildControls() {
    DialogUnits du(font());
    setFixedSize(du.Size(398, 359));

    (new QGroupBox(this))->setGeometry(du.Rect(5, 0, 388, 220));
    (new QGroupBox(this))->setGeometry(du.Rect(5, 62, 388, 158));

    auto label = [&](int id, const QRect& rect, QWidget* buddy) {
        auto* made = new QLabel(this);
        SetControlId(made, id);
        made->setGeometry(rect);
        made->setBuddy(buddy);
        return made;
    };
    // A drop-down list shows one line; the template's height is that of its opened list.
    auto listRect = [&](int x, int y, int width) { return du.Rect(x, y, width, 13); };

    ipEdit = new QLineEdit(this);
    SetControlId(ipEdit, 1010);
    ipEdit->setGeometry(du.Rect(105, 18, 100, 14));
    ipEdit->setMaxLength(30);
    label(1001, du.Rect(20, 18, 80, 16), ipEdit);

    portEdit = new QLineEdit(this);
    SetControlId(portEdit, 1011);
    portEdit->setGeometry(du.Rect(105, 42, 40, 15));
    portEdit->setMaxLength(5);
    portEdit->setValidator(DigitsOnly(5, portEdit));
    label(1002, du.Rect(20, 42, 80, 16), portEdit);

    MakeButton(1042, du.Rect(150, 42, 50, 15));
    MakeButton(1040, du.Rect(215, 20, 80, 20));
    MakeButton(1041, du.Rect(300, 20, 80, 20));
    MakeButton(1043, du.Rect(20, 75, 80, 16));
    MakeButton(1044, du.Rect(105, 75, 80, 16));
    MakeButton(1045, du.Rect(215, 75, 80, 16));
    MakeButton(1046, du.Rect(300, 75, 80, 16));

    workModeList = MakeList(1054, listRect(100, 100, 100), ParameterLists::WorkMode());
    label(1005, du.Rect(20, 100, 75, 16), workModeList);
    regionList = MakeList(1051, listRect(100, 120, 100), ParameterLists::Region());
    label(1003, du.Rect(20, 120, 75, 16), regionList);
    powerList = MakeList(1052, listRect(100, 140, 100), ParameterLists::RfPower());
    label(1004, du.Rect(20, 140, 75, 16), powerList);
    filterList = MakeList(1055, listRect(100, 160, 100), ParameterLists::FilterTime());
    label(1006, du.Rect(20, 160, 75, 16), filterList);
    triggerList = MakeList(1059, listRect(100, 180, 100), ParameterLists::TriggerTime());
    label(1012, du.Rect(20, 180, 75, 16), triggerList);

    buzzerCheck = new QCheckBox(this);
    SetControlId(buzzerCheck, 1050);
    buzzerCheck->setGeometry(du.Rect(20, 200, 190, 14));

    relayList = MakeList(1057, listRect(300, 100, 70), ParameterLists::OnOff());
    label(1008, du.Rect(215, 100, 80, 16), relayList);
    relayTimeList = MakeList(1058, listRect(300, 120, 70), ParameterLists::RelayValidTime());
    relayTimeList->setEditable(true);
    relayTimeList->setInsertPolicy(QComboBox::NoInsert);
    relayTimeList->lineEdit()->setMaxLength(ParameterLists::relayValidTimeDigits);
    relayTimeList->setValidator(DigitsOnly(ParameterLists::relayValidTimeDigits, relayTimeList));
    relayTimeList->setEditText(QString::fromLatin1(ParameterLists::relayValidTimeStart));
    label(1009, du.Rect(215, 120, 80, 16), relayTimeList);
    whitelistList = MakeList(1056, listRect(300, 140, 70), ParameterLists::OnOff());
    label(1007, du.Rect(215, 140, 80, 16), whitelistList);

    searchCheck = new QCheckBox(this);
    SetControlId(searchCheck, 1053);
    searchCheck->setGeometry(du.Rect(5, 224, 190, 14));

    // Tells that the reader closed the connection; not a box, the operator may be elsewhere.
    statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("readerStatus"));
    statusLabel->setGeometry(du.Rect(200, 224, 193, 14));
    statusLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    foundList = new CListCtrlEx(this);
    SetControlId(foundList, 1020);
    foundList->setGeometry(du.Rect(5, 242, 388, 110));

    if (config.uhfRel != 0) {
        buttons[1045]->hide();
        buttons[1046]->hide();
    }

    connect(buttons[1040], &QPushButton::clicked, this, [this] { Connect(); });
    connect(buttons[1041], &QPushButton::clicked, this, [this] { Disconnect(); });
    connect(buttons[1042], &QPushButton::clicked, this, [this] { Default(); });
    connect(buttons[1043], &QPushButton::clicked, this, [this] { ReadParams1(); });
    connect(buttons[1044], &QPushButton::clicked, this, [this] { WriteParams1(); });
    connect(buttons[1045], &QPushButton::clicked, this, [this] { ReadParams2(); });
    connect(buttons[1046], &QPushButton::clicked, this, [this] { WriteParams2(); });
    connect(searchCheck, &QCheckBox::clicked, this, [this] { SearchToggled(); });
    connect(foundList, &CListCtrlEx::rowDoubleClicked, this, [this] { TakeFoundReader(); });
}

void ReaderDialog::ApplyTexts() {
    const LanguageTexts& t = texts;
    ApplyText(t, "APB1", "025", QStringLiteral("UHF讀取機連線設定"), this);
    ApplyText(t, "APA21", "021", QStringLiteral("連線IP位址:"), FindControl(this, 1001));
    ApplyText(t, "APA21", "022", QStringLiteral("連線埠:"), FindControl(this, 1002));
    ApplyText(t, "APA21", "031", QStringLiteral("工作模式:"), FindControl(this, 1005));
    ApplyText(t, "APA21", "023", QStringLiteral("工作頻段:"), FindControl(this, 1003));
    ApplyText(t, "APA21", "024", QStringLiteral("射頻功率:"), FindControl(this, 1004));
    ApplyText(t, "APA21", "025", QStringLiteral("打開蜂鳴器"), buzzerCheck);
    ApplyText(t, "COMMON", "019", QStringLiteral("預設值"), buttons[1042]);
    ApplyText(t, "APB1", "026", QStringLiteral("連線"), buttons[1040]);
    ApplyText(t, "APB1", "027", QStringLiteral("斷線"), buttons[1041]);
    ApplyText(t, "APA21S", "021", QStringLiteral("啟動搜尋UHF讀取機"), searchCheck);
    ApplyText(t, "APA21", "045", QStringLiteral("讀取參數(1)"), buttons[1043]);
    ApplyText(t, "APA21", "046", QStringLiteral("寫入參數(1)"), buttons[1044]);
    ApplyText(t, "APA21", "047", QStringLiteral("讀取參數(2)"), buttons[1045]);
    ApplyText(t, "APA21", "048", QStringLiteral("寫入參數(2)"), buttons[1046]);
    ApplyText(t, "APA21", "049", QStringLiteral("過濾時間:"), FindControl(this, 1006));
    ApplyText(t, "APA21", "050", QStringLiteral("使用白名單:"), FindControl(this, 1007));
    ApplyText(t, "APA21", "051", QStringLiteral("使用繼電器開關:"), FindControl(this, 1008));
    ApplyText(t, "APA21", "052", QStringLiteral("繼電器有效時間:"), FindControl(this, 1009));
    ApplyText(t, "APA21", "053", QStringLiteral("觸發有效時間:"), FindControl(this, 1012));

    // Fields and lists are named by their labels.
    for (QLabel* label : findChildren<QLabel*>())
        if (QWidget* buddy = label->buddy())
            buddy->setAccessibleName(label->accessibleName());
    foundList->setAccessibleName(searchCheck->accessibleName());

    foundList->SetColumns({LookupText(t, "APA2", "013", QStringLiteral("IP 位址")),
                           LookupText(t, "APA21", "022", QStringLiteral("連線埠"))},
                          {252, 154});
    foundList->EnableSortMark(true, 1);
    foundList->EnableSortTint(true, 0);
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
                             static_cast<QWidget*>(buttons[1040]), static_cast<QWidget*>(buttons[1042])})
        control->setEnabled(endpointOn);
    buttons[1041]->setEnabled(disconnectOn && !flowRunning);
    buttons[1043]->setEnabled(readOn && !blocked);
    buttons[1045]->setEnabled(readOn && !blocked);
    buttons[1044]->setEnabled(values1On && !blocked);
    for (QWidget* control :
         {static_cast<QWidget*>(workModeList), static_cast<QWidget*>(regionList), static_cast<QWidget*>(powerList),
          static_cast<QWidget*>(filterList), static_cast<QWidget*>(triggerList), static_cast<QWidget*>(buzzerCheck)})
        control->setEnabled(values1On);
    buttons[1046]->setEnabled(values2On && !blocked);
    for (QWidget* control :
         {static_cast<QWidget*>(whitelistList), static_cast<QWidget*>(relayList), static_cast<QWidget*>(relayTimeList)})
        control->setEnabled(values2On);
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
    values1On = false;
    values2On = false;
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
        port = defaultPort;
    // Five digits reach past the last port; sent anyway, the number would wrap to another port.
    if (port > 65535) {
        ShowBalloonAt(portEdit, LookupText(texts, "LUMETRA", "009", QStringLiteral("連線埠須為 1 至 65535")));
        return;
    }
    CopyValuesToFields();

    setEnabled(false);
    isConnecting = true;
    blockLoaded = false;
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
    blockLoaded = false;
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
    blockLoaded = false;
    if (peerClosed)
        SetControlText(statusLabel, LookupText(texts, "LUMETRA", "008", QStringLiteral("讀取機已中斷連線")));
}

void ReaderDialog::Default() {
    ipText = ipEdit->text();
    port = defaultPort;
    CopyValuesToFields();
}

int ReaderDialog::SelectedValue(QComboBox* list, int fallback) const {
    return list->currentIndex() < 0 ? fallback : list->currentData().toInt();
}

void ReaderDialog::SelectValue(QComboBox* list, int value) {
    const int index = list->findData(value);
    list->setCurrentIndex(index < 0 ? 0 : index);
}

void ReaderDialog::ReadParams1() {
    if (readerLink == nullptr)
        return;
    QPointer<ReaderDialog> self(this);
    QPointer<ReaderLink> link(readerLink);
    OperationScope scope(this);
    auto alive = [&] { return !self.isNull() && !link.isNull(); };

    bool anyRead = false;
    const int region = link->GetRegion();
    if (!alive())
        return;
    if (region >= 0) {
        SelectValue(regionList, region);
        anyRead = true;
    }
    const std::array<std::pair<int, QComboBox*>, 4> lists{
        {{2, workModeList}, {5, powerList}, {4, filterList}, {13, triggerList}}};
    for (const auto& [id, list] : lists) {
        const std::optional<int> value = link->GetParameter(id);
        if (!alive())
            return;
        if (value) {
            SelectValue(list, *value);
            anyRead = true;
        }
    }
    const std::optional<int> buzzer = link->GetParameter(6);
    if (!alive())
        return;
    if (buzzer) {
        buzzerCheck->setChecked(*buzzer != 0);
        anyRead = true;
    }
    if (!anyRead)
        return;
    values1On = true;
    RefreshEnables();
    if (config.uhfRel != 0)
        (void)ReadBlock(link);
}

void ReaderDialog::ReadParams2() {
    if (readerLink == nullptr)
        return;
    QPointer<ReaderLink> link(readerLink);
    OperationScope scope(this);
    (void)ReadBlock(link);
}

bool ReaderDialog::ReadBlock(const QPointer<ReaderLink>& link) {
    QPointer<ReaderDialog> self(this);
    // Read into a copy: the window may go away while the read waits.
    ExtendedBlock read{};
    const bool ok = link->ReadExtendedBlock(read);
    if (self.isNull())
        return false;
    block = read;
    blockLoaded = ok && !link.isNull();
    if (blockLoaded) {
        SelectValue(whitelistList, block[27]);
        SelectValue(relayList, block[21]);
        relayTimeList->setEditText(QString::number(block[22]));
    }
    values2On = blockLoaded;
    RefreshEnables();
    return !link.isNull();
}

void ReaderDialog::WriteParams1() {
    if (readerLink == nullptr)
        return;
    QPointer<ReaderDialog> self(this);
    QPointer<ReaderLink> link(readerLink);
    OperationScope scope(this);
    auto alive = [&] { return !self.isNull() && !link.isNull(); };

    const int workMode = SelectedValue(workModeList, 1);
    const int region = SelectedValue(regionList, 9);
    const int power = SelectedValue(powerList, 30);
    const int filter = SelectedValue(filterList, 1);
    const int trigger = SelectedValue(triggerList, 2);
    const int buzzer = buzzerCheck->isChecked() ? 1 : 0;

    const std::array<std::function<void()>, 7> steps{
        [&] { link->SetRunning(false); },         [&] { link->SetRegion(region); },
        [&] { link->SetParameter(5, power); },    [&] { link->SetParameter(6, buzzer); },
        [&] { link->SetParameter(4, filter); },   [&] { link->SetParameter(13, trigger); },
        [&] { link->SetParameter(2, workMode); },
    };
    for (const auto& step : steps) {
        step();
        if (!alive())
            return;
    }
    if (config.uhfRel != 0 && !WriteBlock(link))
        return;
    if (alive())
        link->SetRunning(true);
}

void ReaderDialog::WriteParams2() {
    if (readerLink == nullptr)
        return;
    QPointer<ReaderLink> link(readerLink);
    OperationScope scope(this);
    (void)WriteBlock(link);
}

bool ReaderDialog::WriteBlock(const QPointer<ReaderLink>& link) {
    // Only a block read since the connect goes back: its other bytes are returned as read.
    if (!blockLoaded || link.isNull())
        return !link.isNull();
    QPointer<ReaderDialog> self(this);
    auto alive = [&] { return !self.isNull() && !link.isNull(); };
    block[27] = static_cast<std::uint8_t>(SelectedValue(whitelistList, 1));
    block[21] = static_cast<std::uint8_t>(SelectedValue(relayList, 1));
    block[22] = static_cast<std::uint8_t>(relayTimeList->currentText().toInt() & 0xFF);
    const ExtendedBlock toWrite = block;

    link->SetRunning(false);
    if (!alive())
        return false;
    const bool confirmed = link->WriteExtendedBlock(toWrite);
    if (self.isNull())
        return false;
    if (!confirmed)
        prompts().Message(this, writeFailText);
    if (!alive())
        return false;
    link->SetRunning(true);
    return alive();
}

void ReaderDialog::ForgetDiscoveryOpened() {
    deviceOpened = false;
}

void ReaderDialog::SearchToggled() {
    searchTimer.stop();
    if (!searchCheck->isChecked()) {
        StopReporting(options.discovery);
        return;
    }
    if (!deviceOpened) {
        if (options.discovery.openDevice() == 0) {
            searchCheck->setChecked(false);
            prompts().Message(this, openDeviceFailText);
            return;
        }
        deviceOpened = true;
    }
    options.discovery.setCallback(OnReaderFound);
    searchTimer.start(scanIntervalMs);
}

void ReaderDialog::AddFoundReader(const unsigned char* deviceId, const unsigned char* deviceInfo) {
    QString idText;
    for (int i = 0; i < 7; ++i)
        idText += QStringLiteral("%1").arg(static_cast<int>(deviceId[i]), 2, 16, QLatin1Char('0')).toUpper();
    const QString ip = QStringLiteral("%1.%2.%3.%4")
                           .arg(static_cast<int>(deviceInfo[8]))
                           .arg(static_cast<int>(deviceInfo[9]))
                           .arg(static_cast<int>(deviceInfo[10]))
                           .arg(static_cast<int>(deviceInfo[11]));
    const QString portText = QString::number((deviceInfo[20] << 8) | deviceInfo[21]);

    // The id is the key: a reader that moved keeps its first row.
    for (const FoundReader& found : foundReaders)
        if (found.deviceIdText == idText)
            return;
    foundReaders.push_back({ip, portText, idText});
    const auto index = static_cast<qint64>(foundReaders.size() - 1);
    const int row = foundList->AppendRow(ip);
    if (row < 0)
        return;
    foundList->SetCellText(row, 1, portText);
    foundList->SetItemData(row, index);
}

void ReaderDialog::TakeFoundReader() {
    const int row = foundList->FirstSelectedRow();
    if (row < 0)
        return;
    // Also while the fields are disabled: the address waits there for the next Connect.
    ipText = foundList->CellText(row, 0);
    port = foundList->CellText(row, 1).toInt();
    CopyValuesToFields();
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

void OnReaderFound(int event, int subEvent, const unsigned char* deviceId, const unsigned char* deviceInfo, int) {
    if (event != 2 || subEvent != 1 || deviceId == nullptr || deviceInfo == nullptr)
        return;
    // The pointers live only during this call, and the window only on the user-interface thread.
    std::array<unsigned char, 7> id{};
    std::array<unsigned char, 22> info{};
    std::copy(deviceId, deviceId + id.size(), id.begin());
    std::copy(deviceInfo, deviceInfo + info.size(), info.begin());
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr)
        return;
    const unsigned generation = searchGeneration.load();
    QMetaObject::invokeMethod(
        app,
        [id, info, generation] {
            if (generation == searchGeneration.load() && readerWindow != nullptr)
                readerWindow->AddFoundReader(id.data(), info.data());
            WakeWaits();
        },
        Qt::QueuedConnection);
}

