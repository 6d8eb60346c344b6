#include "tests/gui/reader/ReaderWindowFixture.h"

#include "gui/controls/CListCtrlEx.h"
#include "tests/support/DiscoveryTestSupport.h"
#include "tools/discovery-responder/DiscoveryResponder.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QTest>

namespace {

// The library takes plain function pointers, so the stand-ins count in globals.
int openCalls = 0;
int callbackCalls = 0;
NetUdpCallback lastCallback = nullptr;

int CountingOpen() {
    ++openCalls;
    return NetUdp_OpenDevice();
}
int FailingOpen() {
    ++openCalls;
    return 0;
}
void RecordingSetCallback(NetUdpCallback callback) {
    ++callbackCalls;
    lastCallback = callback;
    NetUdp_SetCallbackAddr(callback);
}

class ReaderDiscoveryWindowTest : public ReaderWindowFixture {
protected:
    DiscoveryResponder responder;

    void SetUp() override {
        ReaderWindowFixture::SetUp();
        ASSERT_TRUE(responder.Start());
        PointDiscoveryAtLoopback(responder.Port());
        openCalls = 0;
        callbackCalls = 0;
        lastCallback = nullptr;
        options.discovery.openDevice = CountingOpen;
        options.discovery.setCallback = RecordingSetCallback;
    }

    QCheckBox* SearchBox() { return Control<QCheckBox>(1053); }
    CListCtrlEx* Found() { return Control<CListCtrlEx>(1020); }
    std::vector<QString> Row(int row) { return {Found()->CellText(row, 0), Found()->CellText(row, 1)}; }
    bool WaitForRows(int count) {
        return WaitUntil([this, count] { return Found()->RowCount() >= count; }, eventWaitMs);
    }
    // An answer as the library delivers it, straight to the window.
    void Answer(const discovery::DeviceRecord& device) {
        const discovery::DeviceInfo info = discovery::BuildDeviceInfo(device);
        Window().AddFoundReader(device.deviceId.data(), info.data());
    }
    void DoubleClick(const QPoint& at) { QTest::mouseDClick(Found()->viewport(), Qt::LeftButton, {}, at); }
};

TEST_F(ReaderDiscoveryWindowTest, TheExampleReaderIsListedWhileTheWindowIsHidden) {
    responder.SetDevices({ExampleDevice()});
    OpenWindow();
    SearchBox()->click();
    EXPECT_TRUE(Window().Searching());
    EXPECT_EQ(lastCallback, &OnReaderFound);
    EXPECT_EQ(responder.ProbesAnswered(), 0u); // the first scan waits for the timer
    Window().hide();                           // searching goes on
    ASSERT_TRUE(WaitForRows(1));
    EXPECT_EQ(Row(0), (std::vector<QString>{QStringLiteral("192.168.1.100"), QStringLiteral("60000")}));
    ASSERT_EQ(Window().FoundReaders().size(), 1u);
    EXPECT_EQ(Window().FoundReaders()[0].deviceIdText, QStringLiteral("000A1B2C3D4E5F"));
    EXPECT_EQ(Found()->ItemData(0), 0);
}

TEST_F(ReaderDiscoveryWindowTest, AReaderIsListedOnceWithItsFirstAddress) {
    // Answers arrive in the order sent: the moved reader's second answer comes before the third reader's.
    responder.SetDevices({MakeDevice(1, {10, 0, 0, 1}, 60000), MakeDevice(1, {10, 0, 0, 9}, 61000),
                          MakeDevice(2, {10, 0, 0, 2}, 60001)});
    OpenWindow();
    SearchBox()->click();
    ASSERT_TRUE(WaitForRows(2));
    ASSERT_TRUE(WaitUntil([this] { return responder.ProbesAnswered() >= 2; }, eventWaitMs));
    EXPECT_EQ(Found()->RowCount(), 2);
    EXPECT_EQ(Row(0), (std::vector<QString>{QStringLiteral("10.0.0.1"), QStringLiteral("60000")}));
    EXPECT_EQ(Row(1), (std::vector<QString>{QStringLiteral("10.0.0.2"), QStringLiteral("60001")}));
}

TEST_F(ReaderDiscoveryWindowTest, UncheckingAndCheckingAgainKeepsTheRowsAndTheLibrary) {
    responder.SetDevices({MakeDevice(1, {10, 0, 0, 1}, 60000)});
    OpenWindow();
    SearchBox()->click();
    ASSERT_TRUE(WaitForRows(1));
    const int opensBefore = openCalls;

    SearchBox()->click();
    EXPECT_FALSE(Window().Searching());
    EXPECT_EQ(lastCallback, nullptr);
    EXPECT_EQ(Found()->RowCount(), 1);

    responder.AddDevice(MakeDevice(2, {10, 0, 0, 2}, 60000));
    SearchBox()->click();
    EXPECT_EQ(openCalls, opensBefore); // opened once for the process
    EXPECT_TRUE(Window().Searching());
    ASSERT_TRUE(WaitForRows(2));
    EXPECT_EQ(Row(0)[0], QStringLiteral("10.0.0.1"));
    EXPECT_EQ(Row(1)[0], QStringLiteral("10.0.0.2"));
}

TEST_F(ReaderDiscoveryWindowTest, OnlyWellFormedReaderAnswersAreListed) {
    auto reply = discovery::BuildReply(1, MakeDevice(7, {10, 0, 0, 7}, 60000));
    std::vector<std::uint8_t> shortReply(reply.begin(), reply.end() - 1);
    std::vector<std::uint8_t> otherMagic(reply.begin(), reply.end());
    otherMagic[1] = 'X';
    responder.SetExtraDatagrams({shortReply, otherMagic, {0x00}});
    responder.SetDevices({ExampleDevice()});
    OpenWindow();

    // Events other than (2, 1) are not readers; they queue before the real answer below.
    const discovery::DeviceRecord other = MakeDevice(9, {10, 0, 0, 9}, 60000);
    const discovery::DeviceInfo info = discovery::BuildDeviceInfo(other);
    OnReaderFound(3, 1, other.deviceId.data(), info.data(), 0);
    OnReaderFound(2, 2, other.deviceId.data(), info.data(), 0);

    SearchBox()->click();
    ASSERT_TRUE(WaitForRows(1));
    ASSERT_TRUE(WaitUntil([this] { return responder.ProbesAnswered() >= 2; }, eventWaitMs));
    EXPECT_EQ(Found()->RowCount(), 1);
    EXPECT_EQ(Window().FoundReaders()[0].deviceIdText, QStringLiteral("000A1B2C3D4E5F"));
}

TEST_F(ReaderDiscoveryWindowTest, AnswersStillQueuedWhenTheSearchEndsAreDropped) {
    OpenWindow();
    SearchBox()->click();
    const discovery::DeviceRecord device = ExampleDevice();
    const discovery::DeviceInfo info = discovery::BuildDeviceInfo(device);
    OnReaderFound(2, 1, device.deviceId.data(), info.data(), 0); // reported, not yet served
    SearchBox()->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(Found()->RowCount(), 0);

    SearchBox()->click();
    OnReaderFound(2, 1, device.deviceId.data(), info.data(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(Found()->RowCount(), 1);
}

TEST_F(ReaderDiscoveryWindowTest, DoubleClickWithoutASelectionChangesNothing) {
    OpenWindow();
    Answer(ExampleDevice());
    Edit(1010)->setText(QStringLiteral("10.9.9.9"));
    Edit(1011)->setText(QStringLiteral("4001"));
    ASSERT_EQ(Found()->FirstSelectedRow(), -1);
    DoubleClick(QPoint(10, Found()->viewport()->height() - 5)); // below the only row
    EXPECT_EQ(Edit(1010)->text(), QStringLiteral("10.9.9.9"));
    EXPECT_EQ(Edit(1011)->text(), QStringLiteral("4001"));
}

TEST_F(ReaderDiscoveryWindowTest, DoubleClickWhileConnectedFillsTheDisabledFieldsOnly) {
    OpenWindow();
    ConnectToSim();
    ReaderLink* link = readerLink;
    Answer(MakeDevice(1, {10, 0, 0, 1}, 60000));
    Answer(ExampleDevice());
    Found()->SelectRow(1);
    DoubleClick(Found()->visualRect(Found()->model()->index(1, 0)).center());
    EXPECT_FALSE(Edit(1010)->isEnabled());
    EXPECT_EQ(Edit(1010)->text(), QStringLiteral("192.168.1.100"));
    EXPECT_EQ(Edit(1011)->text(), QStringLiteral("60000"));
    EXPECT_EQ(readerLink, link);
    EXPECT_TRUE(link->connected());
    EXPECT_TRUE(Frames().empty());

    // The address waits in the fields for the next Connect.
    Click(1041);
    EXPECT_TRUE(Edit(1010)->isEnabled());
    EXPECT_EQ(Edit(1010)->text(), QStringLiteral("192.168.1.100"));
}

TEST_F(ReaderDiscoveryWindowTest, ALibraryThatWillNotOpenIsTriedAgainNextTime) {
    ReaderDialog::ForgetDiscoveryOpened();
    options.discovery.openDevice = FailingOpen;
    OpenWindow();
    SearchBox()->click();
    EXPECT_FALSE(SearchBox()->isChecked());
    EXPECT_FALSE(Window().Searching());
    EXPECT_EQ(callbackCalls, 0);
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("Open Device Fail!")});
    SearchBox()->click();
    EXPECT_EQ(openCalls, 2);
}

TEST_F(ReaderDiscoveryWindowTest, TheWindowsEndStopsTheSearch) {
    OpenWindow();
    SearchBox()->click();
    ASSERT_TRUE(Window().Searching());
    CloseWindow();
    EXPECT_EQ(lastCallback, nullptr);
    // An answer still on its way finds no window.
    const discovery::DeviceRecord late = ExampleDevice();
    const discovery::DeviceInfo info = discovery::BuildDeviceInfo(late);
    OnReaderFound(2, 1, late.deviceId.data(), info.data(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(readerWindow, nullptr);
}

} // namespace
