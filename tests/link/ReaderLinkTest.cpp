#include "gui/app/Globals.h"
#include "gui/app/TagEntrySink.h"
#include "link/ReaderLink.h"
#include "link/Waits.h"
#include "tests/support/CaseName.h"
#include "tools/reader-sim/ReaderSimulator.h"

#include <QLineEdit>
#include <QTcpServer>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {
// Generous deadlines for exchanges that are answered, so a busy machine never fails them;
// short ones where the reader is meant to stay silent.
constexpr ReaderLink::Timings answered{5000, 5000, 20, 2000};
constexpr ReaderLink::Timings silentReader{5000, 100, 20, 2000};
constexpr int eventWaitMs = 5000;

std::string Hex(const QByteArray& bytes) {
    return bytes.toHex(' ').toUpper().toStdString();
}

std::vector<std::string> Hex(const std::vector<QByteArray>& frames) {
    std::vector<std::string> texts;
    for (const QByteArray& frame : frames)
        texts.push_back(Hex(frame));
    return texts;
}

class ReaderLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.Listen());
        QObject::connect(&sim, &ReaderSimulator::connectionCountChanged, &sim, [] { WakeWaits(); });
    }

    std::unique_ptr<ReaderLink> Connect(const ReaderLink::Timings& timings = answered) {
        auto link = std::make_unique<ReaderLink>(
            timings,
            [this](const QString& id) {
                shown.push_back(id.toStdString());
                WakeWaits();
            },
            [this] { return now; });
        EXPECT_TRUE(link->Open(QStringLiteral("127.0.0.1"), sim.Port()));
        EXPECT_TRUE(WaitUntil([this] { return sim.ConnectionCount() == 1; }, eventWaitMs));
        link->SetProcessing(true);
        return link;
    }

    bool WaitForShown(std::size_t count) {
        return WaitUntil([this, count] { return shown.size() >= count; }, eventWaitMs);
    }

    ReaderSimulator sim;
    std::vector<std::string> shown;
    std::uint32_t now = 50000;
};

TEST_F(ReaderLinkTest, ParameterRoundTrip) {
    auto link = Connect();
    EXPECT_EQ(link->GetParameter(2), std::optional<int>(2));
    EXPECT_TRUE(link->SetParameter(5, 17));
    EXPECT_EQ(link->GetParameter(5), std::optional<int>(17));
    EXPECT_EQ(sim.ParameterValue(5), 17);
    EXPECT_EQ(Hex(sim.Received()), (std::vector<std::string>{"53 57 00 04 FF 23 02 2E", "53 57 00 05 FF 24 05 11 18",
                                                             "53 57 00 04 FF 23 05 2B"}));
}

TEST_F(ReaderLinkTest, RunningAndRegion) {
    auto link = Connect();
    EXPECT_TRUE(link->SetRunning(false));
    EXPECT_FALSE(sim.Running());
    EXPECT_TRUE(link->SetRunning(true));
    EXPECT_TRUE(sim.Running());
    EXPECT_EQ(link->GetRegion(), 9);
    EXPECT_TRUE(link->SetRegion(1)); // written as the pair it is read as
    EXPECT_EQ(link->GetRegion(), 1);
    EXPECT_FALSE(link->SetRegion(5));
    EXPECT_EQ(Hex(sim.Received()),
              (std::vector<std::string>{"53 57 00 03 FF 40 14", "53 57 00 03 FF 41 13", "53 57 00 03 FF 3E 16",
                                        "53 57 00 05 FF 3F 4E 00 C5", "53 57 00 03 FF 3E 16"}));
}

TEST_F(ReaderLinkTest, ExtendedBlockReadChangeWrite) {
    auto link = Connect();
    ExtendedBlock block{};
    ASSERT_TRUE(link->ReadExtendedBlock(block));
    EXPECT_EQ(block, sim.Block());
    block[21] = 0;
    block[22] = static_cast<std::uint8_t>(300 & 0xFF);
    block[27] = 0;
    ASSERT_TRUE(link->WriteExtendedBlock(block));
    EXPECT_EQ(sim.Block(), block);
    EXPECT_EQ(sim.Received().back().size(), 202);
}

TEST_F(ReaderLinkTest, WhitelistOperations) {
    auto link = Connect();
    EXPECT_TRUE(link->AddWhitelistEntry("E2801160"));
    EXPECT_TRUE(link->AddWhitelistEntry("E2000017220B0123456789AB"));
    EXPECT_EQ(Hex(sim.Received().back().left(4)), "53 57 00 10");
    EXPECT_EQ(sim.Received().back().size(), 20);
    EXPECT_TRUE(link->AddWhitelistEntry("01"));
    EXPECT_EQ(link->ReadWhitelistCount(), 3);
    EXPECT_EQ(link->ReadWhitelistEntry(1), std::optional<std::string>("E2000017220B0123456789AB"));
    EXPECT_TRUE(link->DeleteWhitelistEntry("01"));
    EXPECT_EQ(sim.Whitelist(), (std::vector<std::string>{"E2801160", "E2000017220B0123456789AB"}));
    EXPECT_TRUE(link->ClearWhitelist());
    EXPECT_EQ(link->ReadWhitelistCount(), 0);

    const std::size_t sent = sim.Received().size();
    EXPECT_FALSE(link->AddWhitelistEntry("e2801160"));
    EXPECT_FALSE(link->DeleteWhitelistEntry("ABC"));
    EXPECT_EQ(sim.Received().size(), sent);
}

struct SilenceCase {
    const char* name;
    std::function<bool(ReaderLink&)> operation; // true when the operation reported success
    std::size_t frames;
};

class SilentReaderTest : public ReaderLinkTest, public ::testing::WithParamInterface<SilenceCase> {};

TEST_P(SilentReaderTest, FailsAfterItsAttempts) {
    sim.SetSilent(true);
    auto link = Connect(silentReader);
    EXPECT_FALSE(GetParam().operation(*link));
    EXPECT_EQ(sim.Received().size(), GetParam().frames);
    EXPECT_TRUE(link->connected());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SilentReaderTest,
    ::testing::Values(
        SilenceCase{"GetParameter", [](ReaderLink& l) { return l.GetParameter(2).has_value(); }, 1},
        SilenceCase{"GetRegion", [](ReaderLink& l) { return l.GetRegion() >= 0; }, 1},
        SilenceCase{"SetRunning", [](ReaderLink& l) { return l.SetRunning(true); }, 1},
        SilenceCase{"ReadExtendedBlock",
                    [](ReaderLink& l) {
                        ExtendedBlock block{};
                        return l.ReadExtendedBlock(block);
                    },
                    2},
        SilenceCase{"WriteExtendedBlock", [](ReaderLink& l) { return l.WriteExtendedBlock(ExtendedBlock{}); }, 1},
        SilenceCase{"ReadWhitelistCount", [](ReaderLink& l) { return l.ReadWhitelistCount() != 0; }, 2},
        SilenceCase{"ReadWhitelistEntry", [](ReaderLink& l) { return l.ReadWhitelistEntry(0).has_value(); }, 2},
        SilenceCase{"AddWhitelistEntry", [](ReaderLink& l) { return l.AddWhitelistEntry("E280"); }, 2},
        SilenceCase{"ClearWhitelist", [](ReaderLink& l) { return l.ClearWhitelist(); }, 2}),
    CaseName{});

TEST_F(ReaderLinkTest, StatusZeroLooksLikeSilenceAndIsRetried) {
    sim.SetWhitelist({"AA", "BB"});
    sim.SetRefusing(true);
    // The reader refuses the first request and answers the second.
    QObject::connect(&sim, &ReaderSimulator::requestReceived, &sim, [this] {
        if (sim.Received().size() == 2)
            sim.SetRefusing(false);
    });
    auto link = Connect(silentReader);
    EXPECT_EQ(link->ReadWhitelistCount(), 2);
    EXPECT_EQ(sim.Received().size(), 2u);
}

TEST_F(ReaderLinkTest, EntryBeyondTheListIsRefusedTwice) {
    sim.SetWhitelist({"AA"});
    auto link = Connect(silentReader);
    EXPECT_EQ(link->ReadWhitelistEntry(1), std::nullopt);
    EXPECT_EQ(sim.Received().size(), 2u);
}

TEST_F(ReaderLinkTest, StatusZeroToSingleAttemptFails) {
    sim.SetRefusing(true);
    auto link = Connect(silentReader);
    EXPECT_EQ(link->GetParameter(2), std::nullopt);
    EXPECT_EQ(sim.Received().size(), 1u);
}

TEST_F(ReaderLinkTest, ProcessingOffIgnoresReplies) {
    auto link = Connect(silentReader);
    link->SetProcessing(false);
    EXPECT_EQ(link->GetParameter(2), std::nullopt);
    link->SetProcessing(true);
    EXPECT_EQ(link->GetParameter(2), std::optional<int>(2));
}

TEST_F(ReaderLinkTest, SplitRepliesAreReassembled) {
    sim.SetSplitReplies(true);
    auto link = Connect();
    EXPECT_EQ(link->GetParameter(13), std::optional<int>(2));
    ExtendedBlock block{};
    EXPECT_TRUE(link->ReadExtendedBlock(block));
    EXPECT_EQ(block, sim.Block());
    EXPECT_EQ(sim.Received().size(), 2u);
}

struct JoinCase {
    const char* name;
    std::uint8_t code;
    bool reportFirst;
};

class JoinedFramesTest : public ReaderLinkTest, public ::testing::WithParamInterface<JoinCase> {};

TEST_P(JoinedFramesTest, ReplyAndTagReportInOneWriteAreBothHandled) {
    sim.SetJoinedReport({"E2801160", "0102"}, GetParam().code, GetParam().reportFirst);
    auto link = Connect();
    EXPECT_EQ(link->GetParameter(4), std::optional<int>(1));
    ASSERT_TRUE(WaitForShown(2));
    EXPECT_EQ(shown, (std::vector<std::string>{"E2801160", "0102"}));
}

INSTANTIATE_TEST_SUITE_P(Rows, JoinedFramesTest,
                         ::testing::Values(JoinCase{"ReportAfterReply", 0x45, false},
                                           JoinCase{"ReportBeforeReply", 0x45, true},
                                           JoinCase{"ShortLayoutAfterReply", 0x01, false}),
                         CaseName{});

TEST_F(ReaderLinkTest, TagReportsPassTheFilter) {
    auto link = Connect();
    sim.PushTagReport({"AA01", "BB02", "AA01"});
    ASSERT_TRUE(WaitForShown(2));
    sim.PushTagReport({"AA01"}, 0x01); // within the repeat window: not shown
    now += 999;
    sim.PushTagReport({"CC03"});
    ASSERT_TRUE(WaitForShown(3));
    now += 1;
    sim.PushTagReport({"AA01"});
    ASSERT_TRUE(WaitForShown(4));
    EXPECT_EQ(shown, (std::vector<std::string>{"AA01", "BB02", "CC03", "AA01"}));
}

TEST_F(ReaderLinkTest, TagReportsGoToTheTagFieldThroughTheProgramSink) {
    QLineEdit field;
    field.setText(QStringLiteral("typed"));
    QObject::connect(&field, &QLineEdit::textChanged, [] { WakeWaits(); });
    tagEntryTarget = &field;
    ReaderLink link(answered, TagEntrySink());
    ASSERT_TRUE(link.Open(QStringLiteral("127.0.0.1"), sim.Port()));
    ASSERT_TRUE(WaitUntil([this] { return sim.ConnectionCount() == 1; }, eventWaitMs));
    link.SetProcessing(true);
    sim.PushTagReport({"E2801160", "E2801161"});
    EXPECT_TRUE(WaitUntil([&field] { return field.text() == QStringLiteral("E2801161"); }, eventWaitMs));
    tagEntryTarget = nullptr;
}

TEST_F(ReaderLinkTest, ActiveReaderPushesReportsPeriodically) {
    sim.SetParameterValue(2, 1);
    sim.SetActiveReports(5, {"0A0B"});
    auto link = Connect();
    ASSERT_TRUE(WaitForShown(1));
    now += 1000;
    ASSERT_TRUE(WaitForShown(2));
    EXPECT_EQ(shown[1], "0A0B");
}

TEST_F(ReaderLinkTest, PeerCloseEndsWaitAndIsReported) {
    sim.SetCloseOnRequest(2);
    auto link = Connect();
    int closes = 0;
    QObject::connect(link.get(), &ReaderLink::peerClosed, [&closes] { ++closes; });
    EXPECT_EQ(link->GetParameter(2), std::optional<int>(2));
    EXPECT_FALSE(link->ClearWhitelist()); // dropped mid-wait: no second attempt
    EXPECT_FALSE(link->connected());
    EXPECT_TRUE(WaitUntil([&closes] { return closes > 0; }, eventWaitMs));
    EXPECT_EQ(link->ReadWhitelistCount(), 0);
    EXPECT_EQ(sim.Received().size(), 2u);
    PumpWait(10);
    EXPECT_EQ(closes, 1);
}

TEST_F(ReaderLinkTest, OwnCloseIsNotReportedAsPeerClose) {
    auto link = Connect();
    int closes = 0;
    QObject::connect(link.get(), &ReaderLink::peerClosed, [&closes] { ++closes; });
    link->Close();
    EXPECT_FALSE(link->connected());
    EXPECT_TRUE(WaitUntil([this] { return sim.ConnectionCount() == 0; }, eventWaitMs));
    EXPECT_EQ(closes, 0);
    EXPECT_FALSE(link->SetRunning(true));
    EXPECT_TRUE(sim.Received().empty());
}

TEST_F(ReaderLinkTest, SecondExchangeWhileOneWaitsIsRefused) {
    auto link = Connect();
    std::optional<int> nested = 99;
    bool nestedRan = false;
    QObject::connect(&sim, &ReaderSimulator::requestReceived, &sim, [&] {
        if (nestedRan)
            return;
        nestedRan = true;
        EXPECT_TRUE(link->Busy());
        nested = link->GetParameter(5); // served inside the first one's wait
    });
    EXPECT_EQ(link->GetParameter(2), std::optional<int>(2));
    EXPECT_TRUE(nestedRan);
    EXPECT_EQ(nested, std::nullopt);
    EXPECT_EQ(sim.Received().size(), 1u);
    EXPECT_FALSE(link->Busy());
}

TEST_F(ReaderLinkTest, LinkDestroyedDuringItsOwnWait) {
    auto link = Connect();
    ReaderLink* raw = link.release();
    QObject::connect(&sim, &ReaderSimulator::requestReceived, &sim, [&raw] {
        delete raw; // a Disconnect served inside the wait
        raw = nullptr;
    });
    EXPECT_EQ(raw->ReadWhitelistCount(), 0);
    EXPECT_EQ(raw, nullptr);
}

TEST_F(ReaderLinkTest, OnlyTheAwaitedCodeEndsASpecificWait) {
    sim.SetSilent(true);
    auto link = Connect(silentReader);
    // Stray replies of other codes arrive while GetParameter waits: it keeps waiting and fails.
    QObject::connect(&sim, &ReaderSimulator::requestReceived, &sim, [this] {
        sim.SendRaw(ReaderSimulator::BuildReply(0xEA, 1, {}));
        sim.SendRaw(ReaderSimulator::BuildReply(0x3E, 1, QByteArray::fromHex("31A7")));
    });
    EXPECT_EQ(link->GetParameter(2), std::nullopt);
    // Commands that take any reply end on such a stray (a late reply to an earlier request).
    EXPECT_TRUE(link->AddWhitelistEntry("02"));
    EXPECT_EQ(sim.Received().size(), 2u);
}

TEST_F(ReaderLinkTest, RefusedConnectionFails) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();
    ReaderLink link(answered);
    EXPECT_FALSE(link.Open(QStringLiteral("127.0.0.1"), port));
    EXPECT_FALSE(link.connected());
    EXPECT_FALSE(link.SetRunning(true));
}

TEST_F(ReaderLinkTest, ReopenStartsClean) {
    auto link = Connect();
    sim.PushTagReport({"AA01"});
    ASSERT_TRUE(WaitForShown(1));
    link->Close();
    ASSERT_TRUE(WaitUntil([this] { return sim.ConnectionCount() == 0; }, eventWaitMs));
    ASSERT_TRUE(link->Open(QStringLiteral("127.0.0.1"), sim.Port()));
    EXPECT_FALSE(link->processingOn());
    link->SetProcessing(true);
    ASSERT_TRUE(WaitUntil([this] { return sim.ConnectionCount() == 1; }, eventWaitMs));
    sim.PushTagReport({"AA01"}); // a new connection starts with an empty filter
    ASSERT_TRUE(WaitForShown(2));
    EXPECT_EQ(link->GetParameter(6), std::optional<int>(0));
}
// --- resynchronising after a bad frame ----------------------------------------------------

struct ResyncCase {
    const char* name;
    const char* firstAnswer; // what the reader sends instead of its first reply
};

void PrintTo(const ResyncCase& c, std::ostream* out) { *out << c.name; }

// The wait ends long before the quiet gap, so only its own end can drop the bytes.
constexpr ReaderLink::Timings dropAtWaitEnd{5000, 1000, 20, 2000, 600000};
constexpr ReaderLink::Timings dropInQuietGap{5000, 5000, 20, 2000, 200};

class ReaderResyncTest : public ReaderLinkTest, public ::testing::WithParamInterface<ResyncCase> {};

// The reader garbles its answer to the first attempt: only that attempt is lost, and the
// garbled bytes never pass for a reply.
TEST_P(ReaderResyncTest, GarbledAnswerCostsOneAttempt) {
    sim.SetWhitelist({"AA", "BB", "CC"});
    sim.SetAnswerBytes(1, QByteArray::fromHex(GetParam().firstAnswer));
    auto link = Connect(dropAtWaitEnd);
    EXPECT_EQ(link->ReadWhitelistCount(), 3);
    EXPECT_EQ(sim.Received().size(), 2u);
    EXPECT_EQ(link->GetParameter(2), std::optional<int>(2));
    EXPECT_EQ(sim.Received().size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Rows, ReaderResyncTest,
                         ::testing::Values(ResyncCase{"StrayHeader", "435401F0"},
                                           // A count reply of 99 without its checksum byte.
                                           ResyncCase{"OneByteShort", "43540006FFE8010063"}),
                         CaseName{});

TEST_F(ReaderLinkTest, StrayHeaderWhileIdleIsDroppedAfterTheQuietGap) {
    auto link = Connect(dropInQuietGap);
    sim.SendRaw(QByteArray::fromHex("435401F0"));
    ASSERT_TRUE(WaitUntil([&link] { return link->PendingBytes() == 4; }, eventWaitMs));
    ASSERT_TRUE(WaitUntil([&link] { return link->PendingBytes() == 0; }, eventWaitMs));
    EXPECT_EQ(link->GetParameter(2), std::optional<int>(2));
    EXPECT_EQ(sim.Received().size(), 1u);
}

// --- one operation at a time ---------------------------------------------------------------

TEST_F(ReaderLinkTest, StaysBusyThroughTheRetryPause) {
    sim.SetWhitelist({"AA"});
    sim.SetAnswerBytes(1, QByteArray::fromHex("43540004FFE8017D")); // too short to hold a count
    auto link = Connect(ReaderLink::Timings{5000, 5000, 300, 2000});
    // Looks at the link on every pass of the event loop; after the first attempt's reply and
    // before the second attempt's frame arrives, the command is in its pause.
    int seen = 0;
    int idle = 0;
    int nestedAnswered = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, &probe, [&] {
        if (!link->Slot().accepted || sim.Received().size() != 1)
            return;
        ++seen;
        idle += link->Busy() ? 0 : 1;
        nestedAnswered += link->GetParameter(5) ? 1 : 0; // a click served inside the pause
    });
    probe.start(0);
    EXPECT_EQ(link->ReadWhitelistCount(), 1);
    probe.stop();
    EXPECT_GT(seen, 0);
    EXPECT_EQ(idle, 0);
    EXPECT_EQ(nestedAnswered, 0);
    EXPECT_EQ(sim.Received().size(), 2u);
    EXPECT_FALSE(link->Busy());
}

// --- the simulated reader's capacity -------------------------------------------------------

TEST_F(ReaderLinkTest, FullWhitelistRefusesNewIdsOnly) {
    sim.SetWhitelistCapacity(2);
    sim.SetWhitelist({"01", "02", "03"});
    EXPECT_EQ(sim.Whitelist(), (std::vector<std::string>{"01", "02"}));
    auto link = Connect(silentReader);
    EXPECT_FALSE(link->AddWhitelistEntry("04")); // refused like silence: both attempts
    EXPECT_EQ(sim.Received().size(), 2u);
    EXPECT_TRUE(link->AddWhitelistEntry("01"));
    EXPECT_TRUE(link->DeleteWhitelistEntry("02"));
    EXPECT_TRUE(link->AddWhitelistEntry("04"));
    EXPECT_EQ(sim.Whitelist(), (std::vector<std::string>{"01", "04"}));
}
} // namespace
