#include "tests/gui/reader/ReaderWindowFixture.h"
#include "tests/support/CaseName.h"

#include "gui/whitelist/WhitelistFlowGuard.h"

#include <QCheckBox>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

const std::string setRunningOff = "53 57 00 03 FF 40 14";
const std::string setRunningOn = "53 57 00 03 FF 41 13";
const std::vector<std::string> group1Reads{
    "53 57 00 03 FF 3E 16",    "53 57 00 04 FF 23 02 2E", "53 57 00 04 FF 23 05 2B",
    "53 57 00 04 FF 23 04 2C", "53 57 00 04 FF 23 0D 23", "53 57 00 04 FF 23 06 2A",
};
const std::string blockRead = "53 57 00 03 FF 2E 26";

class ReaderParametersTest : public ReaderWindowFixture {
protected:
    void OpenAndConnect(int uhfRel) {
        harness.config.uhfRel = uhfRel;
        OpenWindow();
        ConnectToSim();
    }
    QString Shown(int id) { return List(id)->currentText(); }
    // Write (1) and the group (1) values; write (2) and the group (2) values.
    std::string Values1() { return Enabled({1044, 1054, 1051, 1052, 1055, 1059, 1050}); }
    std::string Values2() { return Enabled({1046, 1056, 1057, 1058}); }
    // Frames without the block write's 194 data bytes, which tests compare on their own.
    std::vector<std::string> FrameHeads() {
        std::vector<std::string> heads = Frames();
        for (std::string& frame : heads)
            if (frame.size() > 3 * 20)
                frame = frame.substr(0, 3 * 7 - 1) + " ...";
        return heads;
    }
};

TEST_F(ReaderParametersTest, ListsOpenWithTheirEntriesAndStartSelections) {
    OpenWindow();
    struct Expected {
        int id;
        int count;
        QString shown;
    };
    for (const Expected& e : std::vector<Expected>{{1054, 3, QStringLiteral("Trigger")},
                                                   {1051, 11, QStringLiteral("Taiwan")},
                                                   {1052, 31, QStringLiteral("30 dBm")},
                                                   {1055, 6, QStringLiteral("1")},
                                                   {1059, 6, QStringLiteral("2")},
                                                   {1056, 2, QStringLiteral("ON")},
                                                   {1057, 2, QStringLiteral("ON")},
                                                   {1058, 21, QStringLiteral("2")}}) {
        EXPECT_EQ(List(e.id)->count(), e.count) << e.id;
        EXPECT_EQ(Shown(e.id), e.shown) << e.id;
    }
    EXPECT_EQ(List(1052)->itemText(0), QStringLiteral("0 dBm"));
    EXPECT_EQ(List(1058)->itemText(20), QStringLiteral("60"));
    EXPECT_FALSE(Control<QCheckBox>(1050)->isChecked());
    EXPECT_EQ(Values1(), "0000000");
    EXPECT_EQ(Values2(), "0000");
}

struct ValueCase {
    const char* name;
    std::function<void(ReaderSimulator&)> reader;
    int list;
    const char* shown;
};

class ReaderValuesTest : public ReaderParametersTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(ReaderValuesTest, ReadParams1SelectsTheEntryCarryingTheReadersValue) {
    OpenAndConnect(0);
    GetParam().reader(*sim);
    Click(1043);
    EXPECT_EQ(Shown(GetParam().list), QString::fromUtf8(GetParam().shown));
    EXPECT_EQ(Values1(), "1111111");
    EXPECT_TRUE(prompts.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Values, ReaderValuesTest,
    ::testing::Values(
        ValueCase{"RegionZero", [](ReaderSimulator& s) { s.SetRegionPair(0x31, 0x80); }, 1051, "US,Canada,Mexico"},
        ValueCase{"RegionReadAsEurope", [](ReaderSimulator& s) { s.SetRegionPair(0x4E, 0x00); }, 1051,
                  "Europe,India,New Zealand"},
        ValueCase{"UnknownRegionPairKeepsTheList", [](ReaderSimulator& s) { s.SetRegionPair(0x31, 0x81); }, 1051,
                  "Taiwan"},
        ValueCase{"RfPower17", [](ReaderSimulator& s) { s.SetParameterValue(5, 17); }, 1052, "17 dBm"},
        ValueCase{"RfPower33ShowsTheFirstEntry", [](ReaderSimulator& s) { s.SetParameterValue(5, 33); }, 1052, "0 dBm"},
        ValueCase{"WorkModeActive", [](ReaderSimulator& s) { s.SetParameterValue(2, 1); }, 1054, "Active"},
        ValueCase{"UnknownWorkModeShowsAnswer", [](ReaderSimulator& s) { s.SetParameterValue(2, 7); }, 1054, "Answer"},
        ValueCase{"FilterTime5", [](ReaderSimulator& s) { s.SetParameterValue(4, 5); }, 1055, "5"},
        ValueCase{"TriggerTime0ShowsTheFirstEntry", [](ReaderSimulator& s) { s.SetParameterValue(13, 0); }, 1059, "1"}),
    CaseName{});

TEST_F(ReaderParametersTest, BuzzerReadIntoTheCheckBox) {
    OpenAndConnect(0);
    sim->SetParameterValue(6, 1);
    Click(1043);
    EXPECT_TRUE(Control<QCheckBox>(1050)->isChecked());
    sim->SetParameterValue(6, 0);
    Click(1043);
    EXPECT_FALSE(Control<QCheckBox>(1050)->isChecked());
}

TEST_F(ReaderParametersTest, CombinedGroupsWhenUhfRelIsOn) {
    OpenAndConnect(1);
    EXPECT_TRUE(Button(1045)->isHidden());
    EXPECT_TRUE(Button(1046)->isHidden());
    sim->Block()[27] = 0;
    Click(1043);
    std::vector<std::string> reads = group1Reads;
    reads.push_back(blockRead);
    EXPECT_EQ(Frames(), reads);
    EXPECT_EQ(Shown(1056), QStringLiteral("OFF"));
    EXPECT_EQ(Values1(), "1111111");
    EXPECT_EQ(Values2(), "1111"); // 1046 is on, though hidden
    EXPECT_TRUE(Window().extendedLoaded());

    sim->ClearReceived();
    List(1051)->setCurrentText(QStringLiteral("Europe,India,New Zealand"));
    List(1056)->setCurrentText(QStringLiteral("ON"));
    Click(1044);
    EXPECT_EQ(FrameHeads(), (std::vector<std::string>{setRunningOff,
                                                      "53 57 00 05 FF 3F 4E 00 C5", // the pair it is read as
                                                      "53 57 00 05 FF 24 05 1E 0B", // RF power 30
                                                      "53 57 00 05 FF 24 06 00 28", // buzzer off
                                                      "53 57 00 05 FF 24 04 01 29", // filter time 1
                                                      "53 57 00 05 FF 24 0D 02 1F", // trigger valid time 2
                                                      "53 57 00 05 FF 24 02 02 2A", // work mode Trigger
                                                      setRunningOff,                //
                                                      "53 57 00 C6 FF 2F C3 ...",   // the block
                                                      setRunningOn, setRunningOn}));
    EXPECT_EQ(sim->Received()[8].size(), 202);
    EXPECT_EQ(sim->Block()[27], 1);
    EXPECT_EQ(sim->RegionPair(), (std::array<std::uint8_t, 2>{0x4E, 0x00}));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ReaderParametersTest, SeparateGroupsWhenUhfRelIsOff) {
    OpenAndConnect(0);
    EXPECT_FALSE(Button(1045)->isHidden());
    EXPECT_FALSE(Button(1046)->isHidden());
    Click(1043);
    EXPECT_EQ(Frames(), group1Reads); // the block is not read with group (1)
    EXPECT_EQ(Values2(), "0000");

    // Write (2) needs a block read since the current connect; a direct call sends nothing.
    sim->ClearReceived();
    Window().WriteParams2();
    EXPECT_TRUE(Frames().empty());
    Click(1045);
    EXPECT_EQ(Frames(), std::vector<std::string>{blockRead});
    EXPECT_EQ(Values2(), "1111");

    // A new connect forgets the block; the shown values stay.
    List(1051)->setCurrentText(QStringLiteral("Brazil"));
    Click(1041);
    ConnectToSim();
    EXPECT_FALSE(Window().extendedLoaded());
    EXPECT_EQ(Values1(), "0000000");
    EXPECT_EQ(Values2(), "0000");
    EXPECT_EQ(Shown(1051), QStringLiteral("Brazil"));
    Window().WriteParams2();
    EXPECT_TRUE(Frames().empty());

    // Write (1) leaves the block alone when the groups are separate.
    Click(1043);
    sim->ClearReceived();
    Click(1044);
    EXPECT_EQ(Frames().size(), 8u);
    EXPECT_EQ(Frames().back(), setRunningOn);
}

TEST_F(ReaderParametersTest, BlockBytesShownAndWrittenBackWithTheRestAsRead) {
    OpenAndConnect(0);
    sim->Block()[27] = 0;
    sim->Block()[21] = 1;
    sim->Block()[22] = 7;
    const auto before = sim->Block();
    Click(1045);
    EXPECT_EQ(Shown(1056), QStringLiteral("OFF"));
    EXPECT_EQ(Shown(1057), QStringLiteral("ON"));
    EXPECT_EQ(Shown(1058), QStringLiteral("7"));

    List(1056)->setCurrentText(QStringLiteral("ON"));
    List(1057)->setCurrentText(QStringLiteral("OFF"));
    List(1058)->setEditText(QStringLiteral("300"));
    sim->ClearReceived();
    Click(1046);
    EXPECT_EQ(FrameHeads(), (std::vector<std::string>{setRunningOff, "53 57 00 C6 FF 2F C3 ...", setRunningOn}));
    auto expected = before;
    expected[27] = 1;
    expected[21] = 0;
    expected[22] = 44; // 300 in eight bits
    EXPECT_EQ(sim->Block(), expected);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ReaderParametersTest, RelayValidTimeTakesThreeDigitsOnly) {
    OpenAndConnect(0);
    Click(1045);
    QLineEdit* field = List(1058)->lineEdit();
    field->clear();
    QTest::keyClicks(field, QStringLiteral("1a2-34"));
    EXPECT_EQ(field->text(), QStringLiteral("123"));
}

TEST_F(ReaderParametersTest, UnconfirmedBlockWriteSaysFail) {
    options.timings = silentTimings;
    OpenAndConnect(0);
    Click(1045);
    sim->SetRefusing(true);
    Click(1046);
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("Fail!")});
    EXPECT_EQ(Frames().back(), setRunningOn); // the reader is started again all the same
}

TEST_F(ReaderParametersTest, SilentReaderLeavesEverythingOffWithoutAMessage) {
    options.timings = silentTimings;
    OpenAndConnect(1);
    sim->SetSilent(true);
    Click(1043);
    EXPECT_EQ(Frames(), group1Reads); // group (2) is not read after a failed group (1)
    EXPECT_EQ(Values1(), "0000000");
    EXPECT_EQ(Values2(), "0000");
    EXPECT_TRUE(Button(1043)->isEnabled());
    EXPECT_TRUE(main->Button(1049)->isEnabled());
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ReaderParametersTest, WhileACommandWaitsNoOtherCanStart) {
    OpenAndConnect(0);
    Click(1045);
    std::vector<std::string> seen;
    QObject::connect(sim.get(), &ReaderSimulator::requestReceived, sim.get(), [&] {
        seen.push_back(Enabled({1043, 1044, 1045, 1046, 1041}) + (main->Button(1049)->isEnabled() ? "1" : "0"));
        Click(1045); // refused: disabled
    });
    Click(1043);
    EXPECT_EQ(seen, std::vector<std::string>(6, "000010"));
    EXPECT_EQ(Frames().size(), 1u + 6u);
    EXPECT_EQ(Enabled({1043, 1044, 1045, 1046, 1041}), "11111");
    EXPECT_TRUE(main->Button(1049)->isEnabled());
}

TEST_F(ReaderParametersTest, RunningWhitelistFlowHoldsDisconnectAndTheParameterButtons) {
    OpenAndConnect(0);
    Click(1043);
    {
        WhitelistFlowGuard flow;
        EXPECT_EQ(Enabled({1041, 1043, 1044, 1045, 1046}), "00000");
        EXPECT_EQ(Values1().substr(1), "111111"); // the lists themselves stay as they were
    }
    EXPECT_EQ(Enabled({1041, 1043, 1044, 1045, 1046}), "11110");
}

TEST_F(ReaderParametersTest, ReaderDroppingDuringAReadEndsItQuietly) {
    OpenAndConnect(1);
    sim->SetCloseOnRequest(3); // the start command, the region read, then the drop
    Click(1043);
    ASSERT_TRUE(WaitUntil([] { return readerLink == nullptr; }, eventWaitMs));
    EXPECT_EQ(Values1(), "0000000");
    EXPECT_EQ(Enabled({1040, 1041, 1043}), "100");
    EXPECT_FALSE(main->Button(1049)->isEnabled());
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ReaderParametersTest, DisconnectDuringAReadEndsIt) {
    OpenAndConnect(1);
    sim->SetSilent(true);
    bool clicked = false;
    QObject::connect(sim.get(), &ReaderSimulator::requestReceived, sim.get(), [&] {
        if (!clicked)
            QTimer::singleShot(0, sim.get(), [&] { Click(1041); });
        clicked = true;
    });
    Click(1043);
    EXPECT_EQ(readerLink, nullptr);
    EXPECT_EQ(Frames().size(), 1u);
    EXPECT_EQ(Values1(), "0000000");
    EXPECT_EQ(Enabled({1040, 1041, 1043}), "100");
    EXPECT_FALSE(main->Button(1049)->isEnabled());
}

} // namespace
