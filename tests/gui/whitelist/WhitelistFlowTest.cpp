// First: the reader headers use a member name that Qt defines as a macro.
#include "link/ReaderLink.h"

#include "core/text/LanguageTexts.h"
#include "gui/app/Globals.h"
#include "gui/controls/CListCtrlEx.h"
#include "gui/register/MainDialog.h"
#include "gui/whitelist/WhitelistFlowGuard.h"
#include "gui/whitelist/WhitelistMenu.h"
#include "link/Waits.h"
#include "tests/support/CaseName.h"
#include "tests/support/RegisterHarness.h"
#include "tests/support/ScriptedPrompts.h"
#include "tools/reader-sim/ReaderSimulator.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

// Generous deadlines where the reader answers, short ones where it is meant to stay silent.
constexpr ReaderLink::Timings answeredReader{5000, 5000, 20, 2000};
constexpr ReaderLink::Timings silentReader{5000, 100, 20, 2000};
constexpr int eventWaitMs = 5000;

std::string Hex(const QByteArray& bytes) { return bytes.toHex(' ').toUpper().toStdString(); }

std::vector<std::string> Hex(const std::vector<QByteArray>& frames) {
    std::vector<std::string> texts;
    for (const QByteArray& frame : frames)
        texts.push_back(Hex(frame));
    return texts;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Records every showing of the progress window and whether the main window was disabled then.
class ProgressWatcher : public QObject {
public:
    ProgressWatcher() { qApp->installEventFilter(this); }
    ~ProgressWatcher() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->objectName() == QStringLiteral("id301")) {
            ++shows;
            lastShown = watched;
            if (mainWindow != nullptr && mainWindow->isEnabled())
                mainEnabledWhileShown = true;
        }
        return false;
    }

    int shows = 0;
    bool mainEnabledWhileShown = false;
    QPointer<QObject> lastShown;
};

struct Row {
    QString id;
    QString mark;
};

class WhitelistFlowTest : public ::testing::Test {
protected:
    WhitelistFlowTest() : main(harness.Main()) {}

    void SetUp() override { ASSERT_TRUE(sim.Listen()); }

    void TearDown() override {
        readerLink = nullptr;
        link.reset();
    }

    void Connect(const ReaderLink::Timings& timings = answeredReader) {
        link = std::make_unique<ReaderLink>(timings);
        ASSERT_TRUE(link->Open(QStringLiteral("127.0.0.1"), sim.Port()));
        ASSERT_TRUE(WaitUntil([this] { return sim.ConnectionCount() == 1; }, eventWaitMs));
        link->SetProcessing(true);
        readerLink = link.get();
    }

    void SetRows(const std::vector<Row>& rows) {
        CListCtrlEx& list = *main.List();
        list.Clear();
        for (const Row& row : rows) {
            const int index = list.AppendRow(row.id);
            list.SetCellText(index, 3, row.mark);
        }
    }

    // Runs a flow whose confirmation is answered Yes.
    void RunConfirmed(int itemId) {
        prompts.confirmAnswers = {true};
        RunWhitelistItem(main, itemId);
    }

    // The id bytes of every frame of one command code, as text.
    std::vector<std::string> SentIds(std::uint8_t code) const {
        std::vector<std::string> ids;
        for (const QByteArray& frame : sim.Received())
            if (frame.size() > 7 && static_cast<std::uint8_t>(frame[5]) == code)
                ids.push_back(frame.mid(7, static_cast<std::uint8_t>(frame[6])).toHex().toUpper().toStdString());
        return ids;
    }

    void ExpectLoopEndedSoundly() {
        EXPECT_EQ(watcher.shows, 1);
        EXPECT_FALSE(watcher.mainEnabledWhileShown);
        EXPECT_TRUE(watcher.lastShown.isNull());
        EXPECT_TRUE(main.isEnabled());
        EXPECT_FALSE(WhitelistFlowRunning());
    }

    ScriptedPrompts prompts;
    RegisterHarness harness;
    MainDialog& main;
    ProgressWatcher watcher;
    ReaderSimulator sim;
    std::unique_ptr<ReaderLink> link;
};

// --- the menu ---------------------------------------------------------------------------

TEST_F(WhitelistFlowTest, MenuOffersTheTenEntriesInOrder) {
    Connect();
    prompts.menuAnswers = {0};
    RunWhitelistMenu(main);
    ASSERT_EQ(prompts.Count(QStringLiteral("menu")), 1);
    std::vector<std::pair<int, QString>> entries;
    for (const Prompts::MenuItem& item : prompts.shown[0].items)
        entries.emplace_back(item.id, item.text);
    EXPECT_EQ(entries, (std::vector<std::pair<int, QString>>{
                           {3001, QStringLiteral("讀取名單筆數")},
                           {3002, QStringLiteral("讀取名單匯出檔案")},
                           {0, QString()},
                           {1001, QStringLiteral("全部資料匯入")},
                           {1002, QStringLiteral("有*標記資料匯入")},
                           {1003, QStringLiteral("無*標記資料匯入")},
                           {0, QString()},
                           {2002, QStringLiteral("刪除有*標記資料")},
                           {2003, QStringLiteral("刪除無*標記資料")},
                           {2004, QStringLiteral("清空所有名單資料")},
                       }));
    EXPECT_EQ(prompts.shown.size(), 1u); // closed without a choice: nothing follows
    EXPECT_TRUE(sim.Received().empty());
}

TEST_F(WhitelistFlowTest, MenuDoesNothingWithoutALink) {
    RunWhitelistMenu(main);
    RunWhitelistItem(main, 3001);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(WhitelistFlowTest, MenuChoiceRunsItsFlow) {
    Connect();
    sim.SetWhitelist({"AA01", "AA02", "AA03"});
    prompts.menuAnswers = {3001};
    RunWhitelistMenu(main);
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("筆數: 3")});
    EXPECT_EQ(Hex(sim.Received()), std::vector<std::string>{"53 57 00 03 FF E8 6C"});
}

TEST_F(WhitelistFlowTest, MenuRefusedWhileAnotherExchangeWaits) {
    Connect(silentReader);
    sim.SetSilent(true);
    int menusSeenInWait = -1;
    QObject::connect(&sim, &ReaderSimulator::requestReceived, &sim, [&] {
        if (menusSeenInWait >= 0)
            return;
        RunWhitelistMenu(main); // a click on 1049 served inside a parameter read's wait
        menusSeenInWait = prompts.Count(QStringLiteral("menu"));
    });
    EXPECT_EQ(link->GetParameter(2), std::nullopt);
    EXPECT_EQ(menusSeenInWait, 0);
}

TEST_F(WhitelistFlowTest, MenuLabelsFollowTheLanguageFile) {
    std::ofstream(harness.File("lang.ini")) << "[APB1]\n047=Write all\n062=Empty the list\n";
    LanguageTexts english(harness.File("lang.ini"));
    const std::vector<Prompts::MenuItem> items = WhitelistMenuItems(english);
    ASSERT_EQ(items.size(), 10u);
    EXPECT_EQ(items[3].text, QStringLiteral("Write all"));
    EXPECT_EQ(items[9].text, QStringLiteral("Empty the list"));
    EXPECT_EQ(items[0].text, QStringLiteral("讀取名單筆數"));
}

// --- count and export -------------------------------------------------------------------

TEST_F(WhitelistFlowTest, SilentReaderShowsCountZeroAndExportStopsAfterThatBox) {
    Connect(silentReader);
    sim.SetSilent(true);
    RunWhitelistItem(main, 3001);
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("筆數: 0")});
    EXPECT_EQ(sim.Received().size(), 2u); // both attempts

    prompts.shown.clear();
    prompts.fileAnswers = {QString::fromStdString(harness.File("out.txt"))};
    RunWhitelistItem(main, 3002);
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("筆數: 0")});
    EXPECT_EQ(prompts.Count(QStringLiteral("save")), 0);
    EXPECT_EQ(watcher.shows, 0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(harness.File("out.txt"))));
}

TEST_F(WhitelistFlowTest, ExportWritesOneLinePerEntryAndSkipsEntriesWithoutIdBytes) {
    Connect();
    sim.SetWhitelist({"AA01", "", "E2000017221101441890ABCD"});
    prompts.fileAnswers = {QString::fromStdString(harness.File("out.txt"))};
    RunWhitelistItem(main, 3002);

    ASSERT_EQ(prompts.Count(QStringLiteral("save")), 1);
    const ScriptedPrompts::Shown& save = prompts.shown[0];
    EXPECT_EQ(save.text, QStringLiteral("zvReaderOUT.txt"));
    EXPECT_EQ(save.caption, QStringLiteral("TXT (*.txt)"));
    EXPECT_EQ(ReadFile(harness.File("out.txt")), "AA01,,1\r\nE2000017221101441890ABCD,,1\r\n");
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("\n\n")}); // no completion text configured
    ExpectLoopEndedSoundly();
}

TEST_F(WhitelistFlowTest, ExportCompletionBoxCarriesTheDoneText) {
    std::ofstream(harness.File("lang.ini")) << "[COMMON]\n020=Done\n007=Count\n";
    harness.texts = LanguageTexts(harness.File("lang.ini"));
    harness.texts.LoadShared();
    Connect();
    sim.SetWhitelist({"AA01"});
    prompts.fileAnswers = {QString::fromStdString(harness.File("out.txt"))};
    RunWhitelistItem(main, 3002);
    RunWhitelistItem(main, 3001);
    EXPECT_EQ(prompts.Messages(), (QStringList{QStringLiteral("\n\nDone"), QStringLiteral("Count: 1")}));
}

TEST_F(WhitelistFlowTest, ExportReplacesAnExistingFileEntirely) {
    Connect();
    const std::string path = harness.File("zvReaderOUT.txt");
    std::ofstream(path, std::ios::binary) << std::string(4000, 'x') << "\r\nOLD,,1\r\n";
    sim.SetWhitelist({"0102", "0304"});
    prompts.fileAnswers = {QString::fromStdString(path)};
    RunWhitelistItem(main, 3002);
    EXPECT_EQ(ReadFile(path), "0102,,1\r\n0304,,1\r\n");
}

TEST_F(WhitelistFlowTest, ExportCancelledInTheFileDialogWritesNothing) {
    Connect();
    sim.SetWhitelist({"0102"});
    RunWhitelistItem(main, 3002); // no file answer: cancelled
    EXPECT_TRUE(prompts.Messages().isEmpty());
    EXPECT_EQ(watcher.shows, 0);
    EXPECT_EQ(sim.Received().size(), 1u); // only the count
}

TEST_F(WhitelistFlowTest, ExportIntoAFolderThatDoesNotExistIsReportedNotCompleted) {
    Connect();
    sim.SetWhitelist({"0102"});
    prompts.fileAnswers = {QString::fromStdString(harness.File("missing/out.txt"))};
    RunWhitelistItem(main, 3002);
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("名單匯出檔案寫入失敗!")});
    EXPECT_EQ(watcher.shows, 0);
    EXPECT_TRUE(main.isEnabled());
}

// Makes every regular file larger than limit bytes fail to grow, as a full disk does.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit lowered = previous;
        lowered.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    rlimit previous{};
    void (*previousHandler)(int) = nullptr;
};

TEST_F(WhitelistFlowTest, WriteErrorDuringExportKeepsTheOldFileAndIsReported) {
    Connect();
    const std::string path = harness.File("zvReaderOUT.txt");
    std::ofstream(path, std::ios::binary) << "OLD,,1\r\n";
    std::vector<std::string> ids;
    for (int i = 0; i < 40; ++i)
        ids.push_back("E20000172211014418" + std::to_string(100000 + i));
    sim.SetWhitelist(ids);
    prompts.fileAnswers = {QString::fromStdString(path)};
    {
        FileSizeLimit limit(200); // room for a few lines only
        RunWhitelistItem(main, 3002);
    }
    EXPECT_EQ(ReadFile(path), "OLD,,1\r\n");
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("名單匯出檔案寫入失敗!")});
    ExpectLoopEndedSoundly();
    std::vector<std::string> exportFiles; // no temporary file is left behind
    for (const auto& entry : std::filesystem::directory_iterator(harness.Folder()))
        if (entry.path().filename().string().rfind("zvReaderOUT", 0) == 0)
            exportFiles.push_back(entry.path().filename().string());
    EXPECT_EQ(exportFiles, std::vector<std::string>{"zvReaderOUT.txt"});
}

// --- writing rows -----------------------------------------------------------------------

TEST_F(WhitelistFlowTest, LongIdGoesOutAsTwentyByteFrame) {
    Connect();
    SetRows({{QStringLiteral("E2000017221101441890ABCD"), QString()}});
    RunConfirmed(1001);
    ASSERT_EQ(sim.Received().size(), 1u);
    const QByteArray frame = sim.Received()[0];
    EXPECT_EQ(frame.size(), 20);
    EXPECT_EQ(Hex(frame.left(7)), "53 57 00 10 FF EA 0C");
    EXPECT_EQ(sim.Whitelist(), std::vector<std::string>{"E2000017221101441890ABCD"});
}

TEST_F(WhitelistFlowTest, IdsThatDoNotConvertArePassedOver) {
    Connect();
    SetRows({{QStringLiteral("AA01"), QString()},
             {QStringLiteral("aa02"), QString()},                 // small letters
             {QStringLiteral("AA0"), QString()},                  // odd length
             {QStringLiteral("AA").repeated(17), QString()},      // 34 characters
             {QString(), QString()},                              // empty
             {QStringLiteral("AA 03"), QString()},                // a space
             {QStringLiteral("AA04"), QString()}});
    RunConfirmed(1001);
    EXPECT_EQ(SentIds(0xEA), (std::vector<std::string>{"AA01", "AA04"}));
    EXPECT_EQ(sim.Received().size(), 2u);
    EXPECT_TRUE(prompts.Messages().isEmpty());
    ExpectLoopEndedSoundly();
}

struct MarkCase {
    const char* name;
    int itemId;
    std::uint8_t code;
    std::vector<std::string> expectedIds;
};

void PrintTo(const MarkCase& c, std::ostream* out) { *out << c.name; }

class WhitelistMarkTest : public WhitelistFlowTest, public ::testing::WithParamInterface<MarkCase> {};

// Only a mark cell reading exactly "*" counts as marked.
TEST_P(WhitelistMarkTest, VisitsTheChosenRowsInListOrder) {
    const MarkCase& c = GetParam();
    Connect();
    sim.SetWhitelist({"0A", "0B", "0C", "0D", "0E", "0F"});
    SetRows({{QStringLiteral("0A"), QStringLiteral("*")},
             {QStringLiteral("0B"), QString()},
             {QStringLiteral("0C"), QStringLiteral(" *")},
             {QStringLiteral("0D"), QStringLiteral("**")},
             {QStringLiteral("0E"), QStringLiteral("*")},
             {QStringLiteral("0F"), QStringLiteral("Y")}});
    main.List()->SortByHeader(0);
    if (main.List()->CellText(0, 0) != QStringLiteral("0F"))
        main.List()->SortByHeader(0);
    ASSERT_EQ(main.List()->CellText(0, 0), QStringLiteral("0F")); // descending: the flow follows what the list shows
    RunConfirmed(c.itemId);
    EXPECT_EQ(SentIds(c.code), c.expectedIds);
    ExpectLoopEndedSoundly();
}

INSTANTIATE_TEST_SUITE_P(
    Marks, WhitelistMarkTest,
    ::testing::Values(MarkCase{"WriteAll", 1001, 0xEA, {"0F", "0E", "0D", "0C", "0B", "0A"}},
                      MarkCase{"WriteMarked", 1002, 0xEA, {"0E", "0A"}},
                      MarkCase{"WriteUnmarked", 1003, 0xEA, {"0F", "0D", "0C", "0B"}},
                      MarkCase{"DeleteMarked", 2002, 0xEC, {"0E", "0A"}},
                      MarkCase{"DeleteUnmarked", 2003, 0xEC, {"0F", "0D", "0C", "0B"}}),
    CaseName{});

TEST_F(WhitelistFlowTest, DeleteRemovesTheRowsIdsFromTheReader) {
    Connect();
    sim.SetWhitelist({"0A", "0B", "0C"});
    SetRows({{QStringLiteral("0A"), QStringLiteral("*")}, {QStringLiteral("0C"), QStringLiteral("*")}});
    RunConfirmed(2002);
    EXPECT_EQ(sim.Whitelist(), std::vector<std::string>{"0B"});
}

TEST_F(WhitelistFlowTest, MarkedRowsWithoutAnExactStarSendNothing) {
    Connect();
    SetRows({{QStringLiteral("0A"), QStringLiteral("* ")}, {QStringLiteral("0B"), QStringLiteral("x")}});
    RunConfirmed(1002);
    EXPECT_TRUE(sim.Received().empty());
    ExpectLoopEndedSoundly();
}

struct EmptyListCase {
    const char* name;
    int itemId;
};

void PrintTo(const EmptyListCase& c, std::ostream* out) { *out << c.name; }

class WhitelistEmptyListTest : public WhitelistFlowTest, public ::testing::WithParamInterface<EmptyListCase> {};

TEST_P(WhitelistEmptyListTest, OpensAndClosesTheProgressWindowWithoutSending) {
    Connect();
    RunConfirmed(GetParam().itemId);
    EXPECT_TRUE(sim.Received().empty());
    ExpectLoopEndedSoundly();
}

INSTANTIATE_TEST_SUITE_P(EmptyList, WhitelistEmptyListTest,
                         ::testing::Values(EmptyListCase{"WriteAll", 1001}, EmptyListCase{"WriteMarked", 1002},
                                           EmptyListCase{"WriteUnmarked", 1003}, EmptyListCase{"DeleteMarked", 2002},
                                           EmptyListCase{"DeleteUnmarked", 2003}),
                         CaseName{});

struct ConfirmCase {
    const char* name;
    int itemId;
    const char* caption;
    const char* text;
};

void PrintTo(const ConfirmCase& c, std::ostream* out) { *out << c.name; }

class WhitelistConfirmTest : public WhitelistFlowTest, public ::testing::WithParamInterface<ConfirmCase> {};

TEST_P(WhitelistConfirmTest, AsksFirstAndSendsNothingOnNo) {
    const ConfirmCase& c = GetParam();
    Connect();
    SetRows({{QStringLiteral("0A"), QStringLiteral("*")}, {QStringLiteral("0B"), QString()}});
    prompts.confirmAnswers = {false};
    RunWhitelistItem(main, c.itemId);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, QStringLiteral("confirm"));
    EXPECT_EQ(prompts.shown[0].caption, QString::fromUtf8(c.caption));
    EXPECT_EQ(prompts.shown[0].text, QString::fromUtf8(c.text));
    EXPECT_TRUE(sim.Received().empty());
    EXPECT_EQ(watcher.shows, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Confirmations, WhitelistConfirmTest,
    ::testing::Values(ConfirmCase{"WriteAll", 1001, "eTag匯入至名單", "\n\n是否確定?"},
                      ConfirmCase{"WriteMarked", 1002, "eTag匯入至名單", "\n\n是否確定?"},
                      ConfirmCase{"WriteUnmarked", 1003, "eTag匯入至名單", "\n\n是否確定?"},
                      ConfirmCase{"DeleteMarked", 2002, "刪除", "\n\n是否確定?"},
                      ConfirmCase{"DeleteUnmarked", 2003, "刪除", "\n\n是否確定?"},
                      ConfirmCase{"Clear", 2004, "刪除", "\n\n清空所有名單資料?"}),
    CaseName{});

// --- clear --------------------------------------------------------------------------------

TEST_F(WhitelistFlowTest, ClearSendsOneFrameWhenAnswered) {
    Connect();
    sim.SetWhitelist({"0A", "0B"});
    RunConfirmed(2004);
    EXPECT_EQ(Hex(sim.Received()), std::vector<std::string>{"53 57 00 03 FF EB 69"});
    EXPECT_TRUE(sim.Whitelist().empty());
    EXPECT_TRUE(prompts.Messages().isEmpty());
    EXPECT_EQ(watcher.shows, 0);
}

TEST_F(WhitelistFlowTest, ClearSendsTwoFramesWhenUnanswered) {
    Connect(silentReader);
    sim.SetSilent(true);
    RunConfirmed(2004);
    EXPECT_EQ(Hex(sim.Received()), (std::vector<std::string>{"53 57 00 03 FF EB 69", "53 57 00 03 FF EB 69"}));
    EXPECT_TRUE(prompts.Messages().isEmpty());
}

// --- replies out of step and lost links ---------------------------------------------------

TEST_F(WhitelistFlowTest, LateReplyEndsTheNextEntrysWait) {
    Connect(silentReader);
    sim.SetSilent(true);
    SetRows({{QStringLiteral("0A"), QString()}, {QStringLiteral("0B"), QString()}});
    QObject::connect(&sim, &ReaderSimulator::requestReceived, &sim, [this] {
        if (sim.Received().size() == 3) // the first frame for 0B; the reply to 0A comes only now
            sim.SendRaw(ReaderSimulator::BuildReply(0xEA, 1, {}));
    });
    RunConfirmed(1001);
    EXPECT_EQ(SentIds(0xEA), (std::vector<std::string>{"0A", "0A", "0B"}));
    ExpectLoopEndedSoundly();
}

TEST_F(WhitelistFlowTest, RefusingReaderCostsTwoFramesPerEntryAndEndsQuietly) {
    Connect(silentReader);
    sim.SetRefusing(true);
    SetRows({{QStringLiteral("0A"), QString()}, {QStringLiteral("0B"), QString()}});
    RunConfirmed(1001);
    EXPECT_EQ(SentIds(0xEA), (std::vector<std::string>{"0A", "0A", "0B", "0B"}));
    EXPECT_TRUE(prompts.Messages().isEmpty());
    ExpectLoopEndedSoundly();
}

TEST_F(WhitelistFlowTest, ReaderClosingMidFlowFailsTheRestAtOnce) {
    Connect();
    sim.SetCloseOnRequest(2);
    SetRows({{QStringLiteral("0A"), QString()}, {QStringLiteral("0B"), QString()}, {QStringLiteral("0C"), QString()},
             {QStringLiteral("0D"), QString()}});
    RunConfirmed(1001);
    EXPECT_EQ(SentIds(0xEA), (std::vector<std::string>{"0A", "0B"}));
    EXPECT_FALSE(link->connected());
    EXPECT_TRUE(prompts.Messages().isEmpty());
    ExpectLoopEndedSoundly();
}

struct CutOffCase {
    const char* name;
    std::function<void(ReaderSimulator&)> fault; // set before the export; entries 0A to 0D
    const char* oldFile;                         // nullptr: no file there before
};

void PrintTo(const CutOffCase& c, std::ostream* out) { *out << c.name; }

class WhitelistCutOffTest : public WhitelistFlowTest, public ::testing::WithParamInterface<CutOffCase> {};

// An export that cannot read every entry is not a whitelist export: whatever was at the path
// stays as it was, and the box says how far it got.
TEST_P(WhitelistCutOffTest, KeepsTheOldFileAndSaysHowFarItGot) {
    const CutOffCase& c = GetParam();
    Connect(silentReader);
    sim.SetWhitelist({"0A", "0B", "0C", "0D"});
    c.fault(sim);
    const std::string path = harness.File("zvReaderOUT.txt");
    if (c.oldFile)
        std::ofstream(path, std::ios::binary) << c.oldFile;
    prompts.fileAnswers = {QString::fromStdString(path)};
    RunWhitelistItem(main, 3002);
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("名單匯出中斷: 已讀取 2 / 4 筆, 檔案未寫入!")});
    ExpectLoopEndedSoundly();
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(harness.Folder()))
        if (entry.path().filename().string().rfind("zv", 0) == 0)
            files.push_back(entry.path().filename().string());
    if (c.oldFile) {
        EXPECT_EQ(ReadFile(path), c.oldFile);
        EXPECT_EQ(files, std::vector<std::string>{"zvReaderOUT.txt"});
    } else {
        EXPECT_EQ(files, std::vector<std::string>{});
    }
}

INSTANTIATE_TEST_SUITE_P(
    CutOff, WhitelistCutOffTest,
    ::testing::Values(CutOffCase{"LinkDropped",
                                 [](ReaderSimulator& sim) { sim.SetCloseOnRequest(4); }, // count, 0A, 0B, gone
                                 "OLD,,1\r\nOLDER,,1\r\n"},
                      CutOffCase{"EntryRefused",
                                 [](ReaderSimulator& sim) {
                                     const QByteArray refusal = ReaderSimulator::BuildReply(0xE9, 0, {});
                                     sim.SetAnswerBytes(4, refusal); // both attempts for 0C
                                     sim.SetAnswerBytes(5, refusal);
                                 },
                                 nullptr}),
    CaseName{});

TEST_F(WhitelistFlowTest, LinkDestroyedMidFlowIsNotUsedAgain) {
    Connect();
    SetRows({{QStringLiteral("0A"), QString()}, {QStringLiteral("0B"), QString()}, {QStringLiteral("0C"), QString()}});
    sim.SetSilent(true);
    QObject::connect(&sim, &ReaderSimulator::requestReceived, &sim, [this] {
        // A Disconnect that got through despite the guard, served inside the wait.
        QTimer::singleShot(0, &sim, [this] {
            readerLink = nullptr;
            link.reset();
        });
    });
    RunConfirmed(1001);
    EXPECT_EQ(SentIds(0xEA), std::vector<std::string>{"0A"});
    ExpectLoopEndedSoundly();
}

// --- the flow guard -----------------------------------------------------------------------

TEST_F(WhitelistFlowTest, GuardMarksTheFlowAndKeepsASecondOneOut) {
    Connect();
    std::vector<bool> heard;
    SetFlowStateListener([&heard](bool running) { heard.push_back(running); });
    SetRows({{QStringLiteral("0A"), QString()}, {QStringLiteral("0B"), QString()}});
    std::vector<bool> runningInLoop;
    QObject::connect(&sim, &ReaderSimulator::requestReceived, &sim, [&] {
        runningInLoop.push_back(WhitelistFlowRunning());
        prompts.menuAnswers = {3001};
        RunWhitelistMenu(main); // a second click on 1049 during the loop
    });
    RunConfirmed(1001);
    SetFlowStateListener({});
    EXPECT_EQ(runningInLoop, (std::vector<bool>{true, true}));
    EXPECT_EQ(heard, (std::vector<bool>{true, false}));
    EXPECT_EQ(prompts.Count(QStringLiteral("menu")), 0);
    EXPECT_EQ(SentIds(0xEA), (std::vector<std::string>{"0A", "0B"}));
}

// --- round trip ---------------------------------------------------------------------------

TEST_F(WhitelistFlowTest, WrittenRowsComeBackInTheExport) {
    Connect();
    std::vector<Row> rows;
    std::string expectedFile;
    std::vector<std::string> expectedIds;
    for (int i = 0; i < 25; ++i) {
        const std::string id = "E200" + std::to_string(1000 + i) + (i % 2 == 0 ? "AB" : "CDEF");
        rows.push_back({QString::fromStdString(id), i % 3 == 0 ? QStringLiteral("*") : QString()});
        expectedIds.push_back(id);
        expectedFile += id + ",,1\r\n";
    }
    SetRows(rows);
    RunConfirmed(1001);
    EXPECT_EQ(sim.Whitelist(), expectedIds);

    prompts.fileAnswers = {QString::fromStdString(harness.File("zvReaderOUT.txt"))};
    RunWhitelistItem(main, 3002);
    EXPECT_EQ(ReadFile(harness.File("zvReaderOUT.txt")), expectedFile);
    EXPECT_EQ(main.List()->RowCount(), 25); // the register is never changed
}

} // namespace
