#include "gui/reader/ReaderSearch.h"

#include "gui/app/DialogUnits.h"
#include "gui/app/Globals.h"
#include "gui/app/Prompts.h"
#include "gui/app/UiTexts.h"
#include "gui/controls/CListCtrlEx.h"
#include "gui/reader/ReaderControlIds.h"
#include "gui/reader/ReaderDialog.h"
#include "link/Waits.h"

#include <QCheckBox>
#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <atomic>

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

constexpr int scanIntervalMs = 1000;
const QString openDeviceFailText = QStringLiteral("Open Device Fail!"); // the same in every language

} // namespace

ReaderSearch::ReaderSearch(QWidget* parentWindow, const LanguageTexts& texts, const DiscoveryFunctions& functions)
    : QObject(parentWindow), window(parentWindow), discovery(functions) {
    const DialogUnits du(window->font());
    searchCheck = new QCheckBox(window);
    SetControlId(searchCheck, ReaderControl::searchCheck);
    searchCheck->setGeometry(du.Rect(5, 224, 190, 14));

    foundList = new CListCtrlEx(window);
    SetControlId(foundList, ReaderControl::foundList);
    foundList->setGeometry(du.Rect(5, 242, 388, 110));

    ApplyText(texts, "APA21S", "021", QStringLiteral("啟動搜尋UHF讀取機"), searchCheck);
    foundList->setAccessibleName(searchCheck->accessibleName());
    foundList->SetColumns({LookupText(texts, "APA2", "013", QStringLiteral("IP 位址")),
                           LookupText(texts, "APA21", "022", QStringLiteral("連線埠"))},
                          {252, 154});
    foundList->EnableSortMark(true, 1);
    foundList->EnableSortTint(true, 0);

    scanTimer.setObjectName(QStringLiteral("timer%1").arg(searchTimerId));
    scanTimer.setInterval(scanIntervalMs);
    connect(&scanTimer, &QTimer::timeout, this, [this] { discovery.scanDevice(); });
    connect(searchCheck, &QCheckBox::clicked, this, [this] { Toggled(); });
    connect(foundList, &CListCtrlEx::rowDoubleClicked, this, [this] { TakeSelected(); });
}

ReaderSearch::~ReaderSearch() {
    scanTimer.stop();
    StopReporting(discovery);
}

void ReaderSearch::ForgetOpened() {
    deviceOpened = false;
}

void ReaderSearch::Toggled() {
    scanTimer.stop();
    if (!searchCheck->isChecked()) {
        StopReporting(discovery);
        return;
    }
    if (!deviceOpened) {
        if (discovery.openDevice() == 0) {
            searchCheck->setChecked(false);
            prompts().Message(window, openDeviceFailText);
            return;
        }
        deviceOpened = true;
    }
    discovery.setCallback(OnReaderFound);
    scanTimer.start(scanIntervalMs);
}

void ReaderSearch::Add(const unsigned char* deviceId, const unsigned char* deviceInfo) {
    QString idText;
    for (int i = 0; i < NETUDP_DEVICE_ID_SIZE; ++i)
        idText += QStringLiteral("%1").arg(static_cast<int>(deviceId[i]), 2, 16, QLatin1Char('0')).toUpper();
    const unsigned char* ipv4 = deviceInfo + NETUDP_INFO_IPV4_AT;
    const QString ip = QStringLiteral("%1.%2.%3.%4")
                           .arg(static_cast<int>(ipv4[0]))
                           .arg(static_cast<int>(ipv4[1]))
                           .arg(static_cast<int>(ipv4[2]))
                           .arg(static_cast<int>(ipv4[3]));
    const QString portText =
        QString::number((deviceInfo[NETUDP_INFO_PORT_AT] << 8) | deviceInfo[NETUDP_INFO_PORT_AT + 1]);

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

void ReaderSearch::TakeSelected() {
    const int row = foundList->FirstSelectedRow();
    if (row < 0)
        return;
    Q_EMIT readerTaken(foundList->CellText(row, 0), foundList->CellText(row, 1).toInt());
}

void OnReaderFound(int event, int subEvent, const unsigned char* deviceId, const unsigned char* deviceInfo, int) {
    if (event != NETUDP_EVENT_FOUND || subEvent != NETUDP_SUBEVENT_ANSWER || deviceId == nullptr ||
        deviceInfo == nullptr)
        return;
    // The pointers live only during this call, and the window only on the user-interface thread.
    std::array<unsigned char, NETUDP_DEVICE_ID_SIZE> id{};
    std::array<unsigned char, NETUDP_DEVICE_INFO_SIZE> info{};
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
