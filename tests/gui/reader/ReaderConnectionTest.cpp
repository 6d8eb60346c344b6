#include "tests/gui/reader/ReaderWindowFixture.h"

#include "gui/app/DialogUnits.h"
#include "gui/controls/CListCtrlEx.h"
#include "gui/reader/ReaderEndpoint.h"

#include <QCheckBox>
#include <QLabel>
#include <QTcpServer>
#include <QTest>

namespace {

class ReaderConnectionTest : public ReaderWindowFixture {
protected:
    QString StatusText() { return readerWindow->findChild<QLabel*>(QStringLiteral("readerStatus"))->text(); }
    // Connection controls, Disconnect, read (1), read (2), write (1), write (2).
    std::string State() { return Enabled({1010, 1011, 1040, 1042, 1041, 1043, 1045, 1044, 1046}); }
    static constexpr const char* disconnectedState = "111100000";
    static constexpr const char* connectedState = "000011100";
};

TEST_F(ReaderConnectionTest, EveryControlCarriesItsIdTextAndName) {
    OpenWindow();
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("UHF讀取機連線設定"));
    EXPECT_EQ(Window().size(), DialogUnits(Window().font()).Size(398, 359));
    for (int id : {1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1020, 1040, 1041,
                   1042, 1043, 1044, 1045, 1046, 1050, 1051, 1052, 1053, 1054, 1055, 1056, 1057, 1058, 1059}) {
        QWidget* control = Control(id);
        ASSERT_NE(control, nullptr) << id;
        EXPECT_FALSE(control->accessibleName().isEmpty()) << id;
    }
    // Fields are named by their labels.
    EXPECT_EQ(Edit(1010)->accessibleName(), QStringLiteral("連線IP位址:"));
    EXPECT_EQ(List(1058)->accessibleName(), QStringLiteral("繼電器有效時間:"));
    EXPECT_EQ(Button(1042)->text(), QStringLiteral("預設值"));
    EXPECT_EQ(Control<QCheckBox>(1053)->text(), QStringLiteral("啟動搜尋UHF讀取機"));
    auto* found = Control<CListCtrlEx>(1020);
    EXPECT_EQ(found->HeaderText(0), QStringLiteral("IP 位址"));
    EXPECT_EQ(found->HeaderText(1), QStringLiteral("連線埠"));
    EXPECT_EQ(found->columnWidth(0), 252);
    EXPECT_EQ(found->columnWidth(1), 154);
}

TEST_F(ReaderConnectionTest, TabVisitsTheControlsInTheWindowsOrder) {
    OpenWindow();
    std::vector<int> visited;
    QWidget* control = &Window();
    do {
        control = control->nextInFocusChain();
        const QString name = control->objectName();
        if (name.startsWith(QStringLiteral("id")) && (control->focusPolicy() & Qt::TabFocus) != 0)
            visited.push_back(name.mid(2).toInt());
    } while (control != &Window());
    EXPECT_EQ(visited, (std::vector<int>{1010, 1011, 1042, 1040, 1041, 1043, 1044, 1045, 1046, 1054,
                                         1051, 1052, 1055, 1059, 1050, 1057, 1058, 1056, 1053, 1020}));
}

TEST_F(ReaderConnectionTest, OpensDisconnectedWithTheStoredAddress) {
    ASSERT_TRUE(harness.Settings().SaveReaderEndpoint("10.1.2.3", 4001));
    OpenWindow();
    EXPECT_EQ(Edit(1010)->text(), QStringLiteral("10.1.2.3"));
    EXPECT_EQ(Edit(1011)->text(), QStringLiteral("4001"));
    EXPECT_EQ(State(), disconnectedState);
    EXPECT_FALSE(main->Button(1049)->isEnabled());
    EXPECT_EQ(Edit(1010)->maxLength(), 30);
    EXPECT_EQ(Edit(1011)->maxLength(), 5);
    QTest::keyClicks(Edit(1011), QStringLiteral("x-7"));
    EXPECT_EQ(Edit(1011)->text(), QStringLiteral("40017"));
}

TEST_F(ReaderConnectionTest, PortZeroGoesTo60000AndTheAddressIsStoredBeforeConnecting) {
    struct Attempt {
        QString host;
        quint16 port = 0;
        bool connecting = false;
        bool windowEnabled = true;
        bool mainClosed = true;
        std::pair<std::string, int> stored;
    };
    std::vector<Attempt> attempts;
    options.openLink = [&](const QString& host, quint16 port) {
        Attempt seen{host, port, Window().connecting(), Window().isEnabled(), false, StoredEndpoint()};
        main->show();
        seen.mainClosed = main->close();
        attempts.push_back(seen);
        return false;
    };
    OpenWindow();
    ConnectTo(QStringLiteral("127.0.0.1"), 0);

    ASSERT_EQ(attempts.size(), 1u);
    EXPECT_EQ(attempts[0].host, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(attempts[0].port, 60000);
    EXPECT_TRUE(attempts[0].connecting);
    EXPECT_FALSE(attempts[0].windowEnabled);
    EXPECT_FALSE(attempts[0].mainClosed); // refused while connecting
    EXPECT_EQ(attempts[0].stored, (std::pair<std::string, int>{"127.0.0.1", 60000}));
    EXPECT_EQ(prompts.Messages(),
              (QStringList{QStringLiteral("It's connecting now."), QStringLiteral("Connect fail!")}));
    EXPECT_EQ(Edit(1011)->text(), QStringLiteral("60000"));
    EXPECT_FALSE(Window().connecting());
    EXPECT_TRUE(Window().isEnabled());
    EXPECT_EQ(State(), disconnectedState);
}

TEST_F(ReaderConnectionTest, FieldProblemsShowABalloonAndStoreNothing) {
    struct Case {
        const char* name;
        QString ip;
        QString port;
        int balloonAt;
        QString text;
    };
    const std::vector<Case> cases{
        {"empty address", QString(), QStringLiteral("4001"), 1010, QStringLiteral("不可為空白!")},
        {"port past the last", QStringLiteral("127.0.0.1"), QStringLiteral("65536"), 1011,
         QStringLiteral("連線埠須為 1 至 65535")},
    };
    int attempts = 0;
    options.openLink = [&](const QString&, quint16) { return ++attempts, false; };
    OpenWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Edit(1010)->setText(c.ip);
        Edit(1011)->setText(c.port);
        Click(1040);
        QWidget* balloon = Balloon();
        ASSERT_NE(balloon, nullptr);
        EXPECT_EQ(balloon->accessibleName(), c.text);
        EXPECT_EQ(Window().focusWidget(), Control(c.balloonAt));
        CloseBalloons();
        EXPECT_EQ(attempts, 0);
        EXPECT_EQ(StoredEndpoint(), (std::pair<std::string, int>{"", -1}));
        EXPECT_EQ(State(), disconnectedState);
        EXPECT_TRUE(prompts.shown.empty());
    }
}

TEST_F(ReaderConnectionTest, AnEmptyPortFieldKeepsThePreviousPort) {
    ASSERT_TRUE(harness.Settings().SaveReaderEndpoint("10.1.2.3", 4001));
    std::vector<quint16> ports;
    options.openLink = [&](const QString&, quint16 port) { return ports.push_back(port), false; };
    OpenWindow();
    Edit(1011)->clear();
    Click(1040);
    EXPECT_EQ(ports, std::vector<quint16>{4001});
    EXPECT_EQ(prompts.Messages(), (QStringList{QStringLiteral("請輸入整數。"), QStringLiteral("Connect fail!")}));
}

TEST_F(ReaderConnectionTest, ReaderDroppingTheConnectionAtOnceEndsDisconnected) {
    sim->SetCloseOnRequest(1); // the start command
    OpenWindow();
    ConnectTo(QStringLiteral("127.0.0.1"), sim->Port());
    EXPECT_EQ(readerLink, nullptr);
    EXPECT_FALSE(Window().connecting());
    EXPECT_TRUE(Window().isEnabled());
    EXPECT_EQ(State(), disconnectedState);
    EXPECT_FALSE(main->Button(1049)->isEnabled());
    EXPECT_EQ(StatusText(), QStringLiteral("讀取機已中斷連線"));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ReaderConnectionTest, RefusedConnectionSaysConnectFail) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();
    OpenWindow();
    ConnectTo(QStringLiteral("127.0.0.1"), port);
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("Connect fail!")});
    EXPECT_EQ(readerLink, nullptr);
    EXPECT_EQ(State(), disconnectedState);
    EXPECT_FALSE(main->Button(1049)->isEnabled());
    EXPECT_EQ(StoredEndpoint(), (std::pair<std::string, int>{"127.0.0.1", port}));
}

TEST_F(ReaderConnectionTest, ConnectStartsTheReaderAndDisconnectCloses) {
    OpenWindow();
    ConnectTo(QStringLiteral("127.0.0.1"), sim->Port());
    ASSERT_NE(readerLink, nullptr);
    // The start command's reply was recognised: processing was on before it went out.
    EXPECT_EQ(Frames(), std::vector<std::string>{"53 57 00 03 FF 41 13"});
    EXPECT_TRUE(readerLink->processingOn());
    EXPECT_TRUE(sim->Running());
    EXPECT_EQ(State(), connectedState);
    EXPECT_FALSE(List(1051)->isEnabled());
    EXPECT_TRUE(main->Button(1049)->isEnabled());
    EXPECT_TRUE(prompts.shown.empty());

    Click(1041);
    EXPECT_EQ(readerLink, nullptr);
    EXPECT_EQ(State(), disconnectedState);
    EXPECT_FALSE(main->Button(1049)->isEnabled());
    EXPECT_TRUE(WaitUntil([this] { return sim->ConnectionCount() == 0; }, eventWaitMs));
}

TEST_F(ReaderConnectionTest, ReaderClosingReturnsToDisconnectedWithoutABox) {
    OpenWindow();
    ConnectToSim();
    sim.reset();
    ASSERT_TRUE(WaitUntil([] { return readerLink == nullptr; }, eventWaitMs));
    EXPECT_EQ(State(), disconnectedState);
    EXPECT_FALSE(main->Button(1049)->isEnabled());
    EXPECT_EQ(StatusText(), QStringLiteral("讀取機已中斷連線"));
    EXPECT_TRUE(prompts.shown.empty());

    // Connect again to a reader that is back.
    sim = std::make_unique<ReaderSimulator>();
    ASSERT_TRUE(sim->Listen());
    ConnectTo(QStringLiteral("127.0.0.1"), sim->Port());
    ASSERT_NE(readerLink, nullptr);
    EXPECT_EQ(State(), connectedState);
    EXPECT_TRUE(StatusText().isEmpty());
}

TEST_F(ReaderConnectionTest, HiddenWindowComesBackAsItWasLeft) {
    OpenWindow();
    ConnectToSim();
    ReaderDialog* first = readerWindow;
    ReaderLink* link = readerLink;
    QTest::keyClick(first, Qt::Key_Escape);
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(readerLink, link);
    EXPECT_TRUE(main->Button(1049)->isEnabled());

    main->Button(1043)->click();
    EXPECT_EQ(readerWindow, first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(State(), connectedState);
    EXPECT_EQ(Edit(1011)->text(), QString::number(sim->Port()));

    // Enter in a field and the close box hide it as well.
    QTest::keyClick(Edit(1010), Qt::Key_Return);
    EXPECT_FALSE(first->isVisible());
    main->Button(1043)->click();
    first->close();
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(readerWindow, first);
    EXPECT_EQ(readerLink, link);
}

TEST_F(ReaderConnectionTest, TagReportsReachTheMainWindowsTagField) {
    OpenWindow();
    ConnectToSim();
    sim->PushTagReport({"E2801160"});
    EXPECT_TRUE(WaitUntil([this] { return main->TagField()->text() == QStringLiteral("E2801160"); }, eventWaitMs));
    sim->PushTagReport({"3000E2001122", "E2801161"}, 0x01);
    EXPECT_TRUE(WaitUntil([this] { return main->TagField()->text() == QStringLiteral("E2801161"); }, eventWaitMs));
}

TEST_F(ReaderConnectionTest, DefaultResetsOnlyThePort) {
    OpenWindow();
    Edit(1010)->setText(QStringLiteral("reader.local"));
    Edit(1011)->setText(QStringLiteral("123"));
    Click(1042);
    EXPECT_EQ(Edit(1010)->text(), QStringLiteral("reader.local"));
    EXPECT_EQ(Edit(1011)->text(), QStringLiteral("60000"));
}

TEST_F(ReaderConnectionTest, MainWindowTeardownClosesTheLink) {
    OpenWindow();
    ConnectToSim();
    CloseWindow();
    EXPECT_EQ(readerWindow, nullptr);
    EXPECT_EQ(readerLink, nullptr);
    EXPECT_TRUE(WaitUntil([this] { return sim->ConnectionCount() == 0; }, eventWaitMs));
}

} // namespace
