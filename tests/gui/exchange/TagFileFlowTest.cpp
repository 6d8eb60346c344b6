#include "core/tagfile/TagFileLine.h"
#include "core/text/CodePage.h"
#include "gui/app/UiTexts.h"
#include "gui/exchange/TagFileImport.h"
#include "gui/exchange/TagFileMenu.h"
#include "gui/register/RegisterColumn.h"
#include "tests/support/Big5Samples.h"
#include "tests/support/CaseName.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/RegisterHarness.h"
#include "tests/support/ScriptedPrompts.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLabel>

#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <sstream>

namespace {

using namespace TagFileCommand;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Data(const char* name) { return std::string(LUMETRA_TEST_DATA) + "/" + name; }

// Hands out its bytes up to a point, then fails as a damaged disk does.
class FailingDevice : public QIODevice {
public:
    FailingDevice(QByteArray content, qint64 failOffset) : bytes(std::move(content)), failAt(failOffset) {
        open(QIODevice::ReadOnly);
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (offset >= failAt)
            return -1;
        const qint64 n = std::min(maxSize, failAt - offset);
        std::memcpy(data, bytes.constData() + offset, size_t(n));
        offset += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray bytes;
    qint64 failAt;
    qint64 offset = 0;
};

std::vector<SeedRecord> ThreeRows() {
    return {{TagNo(1), "AAA111", VehicleType::Car, true, false},
            {TagNo(2), "BBB222", VehicleType::Motorcycle, false, true},
            {TagNo(3), "", VehicleType::Car, true, true}};
}

// ---- the menu

TEST(FileMenu, OffersFiveCommandsUnderItsButtonAndDoesNothingWithoutAChoice) {
    RegisterHarness harness;
    ScriptedPrompts prompts;
    RunFileMenu(harness.Main());
    ASSERT_EQ(prompts.shown.size(), 1u);
    const auto& items = prompts.shown[0].items;
    std::vector<int> ids;
    for (const auto& item : items)
        ids.push_back(item.id);
    EXPECT_EQ(ids, (std::vector<int>{import, importCheck, 0, exportAll, exportMarked, exportUnmarked}));
    EXPECT_EQ(items[0].text, QStringLiteral("檔案匯入"));
    EXPECT_EQ(items[1].text, QStringLiteral("檔案匯入檢查"));
    EXPECT_EQ(items[3].text, QStringLiteral("全部資料匯出檔案"));
    EXPECT_EQ(items[4].text, QStringLiteral("有*標記資料匯出檔案"));
    EXPECT_EQ(items[5].text, QStringLiteral("無*標記資料匯出檔案"));
    EXPECT_FALSE(harness.config.registerChanged);
}

// ---- export

class ExportTest : public ::testing::Test {
protected:
    ExportTest() : harness(ThreeRows()) {}

    void Export(int command, const std::string& name = "out.txt") {
        prompts.menuAnswers = {command};
        prompts.fileAnswers = {harness.Path(name)};
        RunFileMenu(harness.Main());
    }

    RegisterHarness harness;
    ScriptedPrompts prompts;
};

TEST_F(ExportTest, WritesEveryRowInListOrderWithCrLfAndShowsTheDoneBox) {
    Export(exportAll);
    EXPECT_EQ(ReadBytes(harness.File("out.txt")),
              TagNo(1) + ",AAA111,1\r\n" + TagNo(2) + ",BBB222,2\r\n" + TagNo(3) + ",,1\r\n");
    ASSERT_EQ(prompts.Count(QStringLiteral("save")), 1);
    EXPECT_EQ(prompts.shown[1].text, QStringLiteral("zvTagOUT.txt"));
    EXPECT_EQ(prompts.shown[1].caption, QStringLiteral("TXT (*.txt)"));
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("\n\n")}); // doneText is empty without a language file
    EXPECT_FALSE(harness.config.registerChanged);
}

TEST_F(ExportTest, MarkedAndUnmarkedRowsFollowTheMarkCell) {
    Export(exportMarked, "marked.txt");
    Export(exportUnmarked, "unmarked.txt");
    EXPECT_EQ(ReadBytes(harness.File("marked.txt")), TagNo(1) + ",AAA111,1\r\n" + TagNo(3) + ",,1\r\n");
    EXPECT_EQ(ReadBytes(harness.File("unmarked.txt")), TagNo(2) + ",BBB222,2\r\n");
}

TEST_F(ExportTest, FollowsTheOrderOfASortedList) {
    harness.List().SortByHeader(RegisterColumn::plate);
    harness.List().SortByHeader(RegisterColumn::plate); // plate descending
    Export(exportAll);
    EXPECT_EQ(ReadBytes(harness.File("out.txt")),
              TagNo(2) + ",BBB222,2\r\n" + TagNo(1) + ",AAA111,1\r\n" + TagNo(3) + ",,1\r\n");
}

TEST_F(ExportTest, MarkedRowsOfAListWithoutMarksGiveAnEmptyFileAndStillTheBox) {
    RegisterHarness unmarked({{TagNo(1), "A", VehicleType::Car}});
    prompts.menuAnswers = {exportMarked};
    prompts.fileAnswers = {unmarked.Path("empty.txt")};
    RunFileMenu(unmarked.Main());
    ASSERT_TRUE(QFile::exists(unmarked.Path("empty.txt")));
    EXPECT_EQ(ReadBytes(unmarked.File("empty.txt")), "");
    EXPECT_EQ(prompts.Messages().size(), 1);
}

TEST_F(ExportTest, AnEmptyListGivesAnEmptyFile) {
    RegisterHarness empty;
    prompts.menuAnswers = {exportAll};
    prompts.fileAnswers = {empty.Path("empty.txt")};
    RunFileMenu(empty.Main());
    EXPECT_EQ(ReadBytes(empty.File("empty.txt")), "");
    EXPECT_EQ(prompts.Messages().size(), 1);
}

TEST_F(ExportTest, CancelledDialogWritesNothing) {
    prompts.menuAnswers = {exportAll};
    RunFileMenu(harness.Main());
    EXPECT_EQ(prompts.Messages().size(), 0);
    EXPECT_EQ(QDir(harness.Path("")).entryList(QDir::Files).filter(QStringLiteral(".txt")).size(), 0);
}

TEST_F(ExportTest, ReplacesAnOlderFileWhole) {
    WriteBytes(harness.File("out.txt"), std::string(5000, 'x'));
    Export(exportUnmarked);
    EXPECT_EQ(ReadBytes(harness.File("out.txt")), TagNo(2) + ",BBB222,2\r\n");
}

TEST_F(ExportTest, AFileThatCannotBeWrittenIsReportedAndNoDoneBoxFollows) {
    Export(exportAll, "missing-folder/out.txt");
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("檔案寫入失敗,原檔案未變更。")});
    EXPECT_FALSE(QFile::exists(harness.Path("missing-folder/out.txt")));
}

TEST_F(ExportTest, AFolderInThePlaceOfTheFileStaysAsItWas) {
    QDir(harness.Path("")).mkdir(QStringLiteral("taken.txt"));
    WriteBytes(harness.File("taken.txt/inside"), "keep");
    Export(exportAll, "taken.txt");
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("檔案寫入失敗,原檔案未變更。")});
    EXPECT_EQ(ReadBytes(harness.File("taken.txt/inside")), "keep");
}

TEST_F(ExportTest, TheHiveItselfIsNeverReplaced) {
    Export(exportAll, "user.hive");
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("檔案寫入失敗,原檔案未變更。")});
    EXPECT_EQ(ReadBytes(harness.File("user.hive")).substr(0, 16), std::string("SQLite format 3\0", 16));
}

// A disk that fills up during the export: rows exported while no file may grow past limit bytes.
struct FullDiskCase {
    const char* name;
    int rows;
    rlim_t limit;
};

void PrintTo(const FullDiskCase& c, std::ostream* os) { *os << c.name; }

class ExportToAFullDisk : public ::testing::TestWithParam<FullDiskCase> {};

TEST_P(ExportToAFullDisk, IsReportedAndLeavesTheOldFileByteForByte) {
    const FullDiskCase& c = GetParam();
    RegisterHarness harness({}, [&](Hive& hive) {
        HiveBatch batch(hive);
        TagStore store(hive);
        for (int i = 0; i < c.rows; ++i) {
            TagRecord record{TagNo(i), "PL" + std::to_string(i), VehicleType::Car, false, false};
            (void)store.WriteRecord(record.tagId, &record);
        }
    });
    const std::string old = TagNo(0) + ",OLD,1\r\n";
    WriteBytes(harness.File("out.txt"), old);
    ScriptedPrompts prompts;
    prompts.menuAnswers = {exportAll};
    prompts.fileAnswers = {harness.Path("out.txt")};
    {
        FileSizeLimit limit(c.limit);
        RunFileMenu(harness.Main());
    }
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("檔案寫入失敗,原檔案未變更。")});
    EXPECT_EQ(ReadBytes(harness.File("out.txt")), old);
}

INSTANTIATE_TEST_SUITE_P(, ExportToAFullDisk,
                         ::testing::Values(FullDiskCase{"Small", 3, 40}, FullDiskCase{"Large", 3000, 4096}),
                         CaseName{});

// Plates of every Big5 character whose bytes also form UTF-8, then user-defined characters, then
// plates Big5 cannot hold.
std::vector<SeedRecord> AwkwardPlates(int withoutBig5) {
    std::vector<SeedRecord> rows;
    std::string plate;
    for (const auto& [bytes, character] : Big5PairsThatFormUtf8()) {
        plate += character;
        if (plate.size() >= 30) {
            rows.push_back({TagNo(int(rows.size()) + 1), plate, VehicleType::Car});
            plate.clear();
        }
    }
    rows.push_back(
        {TagNo(int(rows.size()) + 1), plate + "\xEE\x80\x80\xEF\xA1\x88", VehicleType::Motorcycle}); // U+E000, U+F848
    for (int i = 0; i < withoutBig5; ++i)
        rows.push_back({TagNo(int(rows.size()) + 1), "粤" + std::to_string(i), VehicleType::Car});
    return rows;
}

struct ExportCase {
    const char* name;
    int rowsWithoutBig5;
    bool wholeFileUtf8; // the answer, when asked
};

void PrintTo(const ExportCase& c, std::ostream* os) { *os << c.name; }

class ExportEncoding : public ::testing::TestWithParam<ExportCase> {};

TEST_P(ExportEncoding, StaysBig5UnlessToldAndImportsBackTheSamePlates) {
    const ExportCase& c = GetParam();
    const std::vector<SeedRecord> rows = AwkwardPlates(c.rowsWithoutBig5);
    const size_t kept = rows.size() - (c.wholeFileUtf8 ? 0 : size_t(c.rowsWithoutBig5));
    std::string utf8;
    QString leftOut = QStringLiteral("未匯出的資料筆數: ") + QString::number(c.rowsWithoutBig5);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i < kept)
            utf8 += TagFileLine::Format(rows[i].tagId, rows[i].plate, rows[i].carType);
        else if (i < kept + 20)
            leftOut += QLatin1Char('\n') + QString::fromStdString(rows[i].tagId);
    }
    if (c.rowsWithoutBig5 > 20)
        leftOut += QStringLiteral("\n...");

    RegisterHarness source(rows);
    ScriptedPrompts prompts;
    prompts.menuAnswers = {exportAll};
    prompts.fileAnswers = {source.Path("round.txt")};
    prompts.confirmAnswers = {c.wholeFileUtf8};
    RunFileMenu(source.Main());
    if (c.rowsWithoutBig5 == 0) {
        EXPECT_EQ(prompts.Count(QStringLiteral("confirm")), 0);
        EXPECT_EQ(ReadBytes(source.File("round.txt")), *Utf8ToBig5(utf8));
        EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("\n\n")});
    } else {
        ASSERT_EQ(prompts.Count(QStringLiteral("confirm")), 1);
        EXPECT_EQ(prompts.shown[2].text,
                  QStringLiteral("\n\n無法以 Big5 儲存的資料筆數: ") + QString::number(c.rowsWithoutBig5) +
                      QStringLiteral("\n是否將整個檔案改以 UTF-8 儲存?\n(選「否」則以 Big5 儲存,並略過這些資料)"));
        EXPECT_EQ(ReadBytes(source.File("round.txt")), c.wholeFileUtf8 ? "\xEF\xBB\xBF" + utf8 : *Utf8ToBig5(utf8));
        const QStringList boxes = c.wholeFileUtf8 ? QStringList{QStringLiteral("\n\n")}
                                                  : QStringList{leftOut, QStringLiteral("\n\n")};
        EXPECT_EQ(prompts.Messages(), boxes);
    }

    RegisterHarness target;
    prompts.menuAnswers = {import};
    prompts.fileAnswers = {source.Path("round.txt")};
    prompts.confirmAnswers = {true};
    RunFileMenu(target.Main());
    EXPECT_EQ(target.Column(RegisterColumn::plate), source.Column(RegisterColumn::plate).mid(0, int(kept)));
    for (size_t i = 0; i < kept; ++i)
        EXPECT_EQ(target.Stored(rows[i].tagId)->plate, rows[i].plate);
}

INSTANTIATE_TEST_SUITE_P(Files, ExportEncoding,
                         ::testing::Values(ExportCase{"EveryRowHasABig5Form", 0, false},
                                           ExportCase{"YesWritesTheWholeFileInUtf8", 1, true},
                                           ExportCase{"NoWritesBig5AndNamesTheRowLeftOut", 1, false},
                                           ExportCase{"NoNamesTheFirstTwentyRowsLeftOut", 21, false}),
                         CaseName{});

// 嚜 is EF BB in Big5 and 濃 is BF 40: a tag another program wrote that begins so makes Big5
// bytes that start like the UTF-8 byte-order mark. The list shows tags in order of their code
// units, so a tag led by 車 (U+8ECA) comes after it.
const std::string kMarkLikeTag = "嚜濃" + TagNo(7).substr(4);
const std::string kLaterTag = "車" + TagNo(8).substr(2);

struct MarkBytesCase {
    const char* name;
    std::vector<SeedRecord> rows;
    std::vector<size_t> written; // the rows the file holds, in order
    bool utf8;                   // behind the mark rather than Big5
};

void PrintTo(const MarkBytesCase& c, std::ostream* os) { *os << c.name; }

class ExportOfMarkBytes : public ::testing::TestWithParam<MarkBytesCase> {};

TEST_P(ExportOfMarkBytes, ImportsBackEveryRowWritten) {
    const MarkBytesCase& c = GetParam();
    std::string utf8;
    for (size_t i : c.written)
        utf8 += TagFileLine::Format(c.rows[i].tagId, c.rows[i].plate, c.rows[i].carType);
    RegisterHarness source(c.rows);
    ScriptedPrompts prompts;
    prompts.menuAnswers = {exportAll};
    prompts.fileAnswers = {source.Path("round.txt")};
    prompts.confirmAnswers = {false}; // Big5 without the rows that have no Big5 form, when asked
    RunFileMenu(source.Main());
    EXPECT_EQ(ReadBytes(source.File("round.txt")), c.utf8 ? "\xEF\xBB\xBF" + utf8 : *Utf8ToBig5(utf8));

    RegisterHarness target;
    prompts.menuAnswers = {import};
    prompts.fileAnswers = {source.Path("round.txt")};
    prompts.confirmAnswers = {true};
    RunFileMenu(target.Main());
    for (int column : {RegisterColumn::tag, RegisterColumn::plate, RegisterColumn::type}) {
        QStringList written;
        for (size_t i : c.written)
            written << source.Column(column)[qsizetype(i)];
        EXPECT_EQ(target.Column(column), written) << "column " << column;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, ExportOfMarkBytes,
                         ::testing::Values(MarkBytesCase{"FirstTagOfABig5File",
                                                         {{kMarkLikeTag, "AAA111", VehicleType::Motorcycle},
                                                          {kLaterTag, "車1", VehicleType::Car}},
                                                         {0, 1},
                                                         true},
                                           MarkBytesCase{"FirstBig5RowAfterOneLeftOut",
                                                         {{TagNo(1), "粤0", VehicleType::Car},
                                                          {kMarkLikeTag, "嚜", VehicleType::Car},
                                                          {kLaterTag, "BBB222", VehicleType::Motorcycle}},
                                                         {1, 2},
                                                         true},
                                           MarkBytesCase{"LaterInTheFileStaysBig5",
                                                         {{TagNo(1), "AAA111", VehicleType::Car},
                                                          {kMarkLikeTag, "車1", VehicleType::Motorcycle}},
                                                         {0, 1},
                                                         false}),
                         CaseName{});

// ---- import

class ImportTest : public ::testing::Test {
protected:
    void Import(RegisterHarness& h, const std::string& path, int command = import) {
        prompts.menuAnswers = {command};
        prompts.fileAnswers = {QString::fromStdString(path)};
        prompts.confirmAnswers = {true};
        RunFileMenu(h.Main());
    }

    ScriptedPrompts prompts;
};

TEST_F(ImportTest, AsksWithCaptionImportAndDoesNothingWhenDeclined) {
    RegisterHarness harness;
    prompts.menuAnswers = {import};
    prompts.fileAnswers = {QString::fromStdString(Data("tagfile_rules.txt"))};
    prompts.confirmAnswers = {false};
    RunFileMenu(harness.Main());
    ASSERT_EQ(prompts.Count(QStringLiteral("open")), 1);
    EXPECT_EQ(prompts.shown[1].text, QStringLiteral("zvTagIN.txt"));
    EXPECT_EQ(prompts.shown[1].caption, QStringLiteral("TXT (*.txt)"));
    ASSERT_EQ(prompts.Count(QStringLiteral("confirm")), 1);
    EXPECT_EQ(prompts.shown[2].caption, QStringLiteral("Import"));
    EXPECT_EQ(prompts.shown[2].text, QStringLiteral("\n\n是否確定?"));
    EXPECT_EQ(harness.List().RowCount(), 0);
    EXPECT_FALSE(harness.config.registerChanged);
}

TEST_F(ImportTest, AFileThatCannotBeOpenedChangesNothing) {
    RegisterHarness harness;
    Import(harness, harness.File("absent.txt"));
    EXPECT_EQ(prompts.Messages().size(), 0);
    EXPECT_FALSE(harness.config.registerChanged);
}

TEST_F(ImportTest, AppliesTheLineRulesAndTheLastLineOfATagWins) {
    RegisterHarness harness;
    Import(harness, Data("tagfile_rules.txt"));
    EXPECT_EQ(harness.Column(RegisterColumn::tag),
              (QStringList{QString::fromStdString(TagNo(1)), QString::fromStdString(TagNo(2)),
                           QString::fromStdString(TagNo(3)), QString::fromStdString(TagNo(10))}));
    EXPECT_EQ(harness.Column(RegisterColumn::plate),
              (QStringList{QStringLiteral("ABC123"), QStringLiteral("AB123C"), QString(), QStringLiteral("LAST")}));
    EXPECT_EQ(harness.Column(RegisterColumn::type), (QStringList{QStringLiteral("汽車"), QStringLiteral("汽車"),
                                                                 QStringLiteral("機車"), QStringLiteral("機車")}));
    auto last = harness.Stored(TagNo(10));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->plate, "LAST");
    EXPECT_EQ(last->carType, VehicleType::Motorcycle);
    EXPECT_FALSE(harness.Stored(TagNo(4)));
    EXPECT_FALSE(harness.Stored(TagNo(7)));
    EXPECT_TRUE(harness.config.registerChanged);
    EXPECT_EQ(prompts.Messages().size(), 0); // the import shows no closing box
    EXPECT_EQ(FindControl<QLabel>(&harness.Main(), MainControl::StatusLine)->text(), QStringLiteral(" 筆數:     4 "));
}

TEST_F(ImportTest, ReadsBig5Files) {
    RegisterHarness harness;
    Import(harness, Data("tagfile_big5.txt"));
    EXPECT_EQ(harness.Column(RegisterColumn::plate), (QStringList{QStringLiteral("臺北1"), QStringLiteral("高雄2")}));
    EXPECT_EQ(harness.Stored(TagNo(22))->plate, "高雄2");
}

TEST_F(ImportTest, AnExportedFileImportsBackUnchangedAndStoredFlagsStay) {
    RegisterHarness harness(ThreeRows());
    prompts.menuAnswers = {exportAll};
    prompts.fileAnswers = {harness.Path("round.txt")};
    RunFileMenu(harness.Main());
    const QStringList plates = harness.Column(RegisterColumn::plate);
    const QStringList types = harness.Column(RegisterColumn::type);

    Import(harness, harness.File("round.txt"));
    EXPECT_EQ(harness.List().RowCount(), 3);
    EXPECT_EQ(harness.Column(RegisterColumn::plate), plates);
    EXPECT_EQ(harness.Column(RegisterColumn::type), types);
    auto first = harness.Stored(TagNo(1));
    EXPECT_TRUE(first->marked);
    EXPECT_FALSE(first->useOk);
    auto third = harness.Stored(TagNo(3));
    EXPECT_TRUE(third->marked);
    EXPECT_TRUE(third->useOk);

    // Rows of existing tags show no flags after an import, so the marked export leaves them out.
    EXPECT_EQ(harness.Column(RegisterColumn::mark), (QStringList{QString(), QString(), QString()}));
    EXPECT_EQ(harness.Column(RegisterColumn::useOk), (QStringList{QString(), QString(), QString()}));
    prompts.menuAnswers = {exportMarked};
    prompts.fileAnswers = {harness.Path("marked.txt")};
    RunFileMenu(harness.Main());
    EXPECT_EQ(ReadBytes(harness.File("marked.txt")), "");
}

TEST_F(ImportTest, ExistingRowsAreUpdatedInPlaceWhateverTheirLetterCase) {
    RegisterHarness harness({{"e20000172211010000000001", "OLD", VehicleType::Car}});
    WriteBytes(harness.File("in.txt"), TagNo(1) + ",NEW,2\r\n");
    Import(harness, harness.File("in.txt"));
    EXPECT_EQ(harness.List().RowCount(), 1);
    EXPECT_EQ(harness.Column(RegisterColumn::plate), QStringList{QStringLiteral("NEW")});
}

TEST_F(ImportTest, RecordsTheStoreRefusesAreReportedOnceAndListOnlyWhatItHolds) {
    RegisterHarness harness;
    // A 24-character tag holding "\" can never name a key of its own.
    WriteBytes(harness.File("in.txt"), TagNo(1) + ",A,1\r\nE200001722110100000000\\1,B,1\r\nE200001722110100000000\\2,C,1\r\n");
    Import(harness, harness.File("in.txt"));
    EXPECT_EQ(harness.Column(RegisterColumn::tag), QStringList{QString::fromStdString(TagNo(1))});
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("無法寫入的資料筆數: 2")});
}

TEST_F(ImportTest, OnARegisterThatCannotBeWrittenRowsStayAsTheyWere) {
    RegisterHarness harness({{TagNo(1), "OLD", VehicleType::Car, true}}, {}, {.readOnly = true});
    WriteBytes(harness.File("in.txt"), TagNo(1) + ",NEW,2\r\n" + TagNo(2) + ",X,1\r\n");
    Import(harness, harness.File("in.txt"));
    EXPECT_EQ(harness.Column(RegisterColumn::plate), QStringList{QStringLiteral("OLD")});
    EXPECT_EQ(harness.Column(RegisterColumn::mark), QStringList{QStringLiteral("*")});
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("無法寫入的資料筆數: 2")});
}

TEST_F(ImportTest, AReadErrorMidFileKeepsTheLinesBeforeItAndIsReported) {
    RegisterHarness harness;
    const std::string text = TagNo(1) + ",A,1\r\n" + TagNo(2) + ",B,1\r\n" + TagNo(3) + ",C,1\r\n";
    const qint64 failAt = qint64(text.find(TagNo(2)) + 10); // inside the second line
    FailingDevice device(QByteArray::fromStdString(text), failAt);
    TagFileImportOutcome outcome = ImportTagFile(harness.Main(), device, false);
    EXPECT_TRUE(outcome.readError);
    EXPECT_EQ(outcome.lines, 1);
    EXPECT_EQ(harness.Column(RegisterColumn::tag), QStringList{QString::fromStdString(TagNo(1))});
    EXPECT_TRUE(harness.Stored(TagNo(1)));
    EXPECT_FALSE(harness.Stored(TagNo(2)));
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("檔案未能完整讀取,只處理了錯誤之前的資料。")});
    EXPECT_TRUE(harness.config.registerChanged);
}

struct UnreadCase {
    const char* name;
    int command;
    int badLines;
    QString box;
};

void PrintTo(const UnreadCase& c, std::ostream* os) { *os << c.name; }

class UnreadLines : public ImportTest, public ::testing::WithParamInterface<UnreadCase> {};

TEST_P(UnreadLines, AreCountedAndNamedInOneBoxAfterTheLastLine) {
    const UnreadCase& c = GetParam();
    RegisterHarness harness(
        {{TagNo(1), "", VehicleType::Car}}); // an empty plate of a known tag: the check finds nothing
    std::string file = TagNo(1) + ",,1\r\n";
    for (int i = 0; i < c.badLines; ++i)
        file += TagNo(2 + i) + ",\xFF,1\r\n"; // FF starts no character in either encoding
    file += TagNo(1) + ",,1\r\n";
    WriteBytes(harness.File("in.txt"), file);
    Import(harness, harness.File("in.txt"), c.command);
    EXPECT_EQ(prompts.Messages(), QStringList{c.box});
    EXPECT_EQ(harness.Column(RegisterColumn::tag), QStringList{QString::fromStdString(TagNo(1))});
}

INSTANTIATE_TEST_SUITE_P(
    Commands, UnreadLines,
    ::testing::Values(UnreadCase{"Import", import, 2, QStringLiteral("無法讀取的行數: 2\n行號: 2, 3")},
                      UnreadCase{"ImportCheck", importCheck, 2, QStringLiteral("無法讀取的行數: 2\n行號: 2, 3")},
                      UnreadCase{"TheFirstTwentyAreNamed", import, 25,
                                 QStringLiteral("無法讀取的行數: 25\n行號: 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, "
                                                "15, 16, 17, 18, 19, 20, 21, ...")}),
    CaseName{});

// ---- import check

class ImportCheckTest : public ImportTest {
protected:
    ImportCheckTest()
        : harness({{TagNo(1), "CAR1", VehicleType::Car}, {TagNo(2), "MOTO2", VehicleType::Motorcycle}}, [](Hive& hive) {
              RegisterHarness::AddPlate(hive, VehicleType::Car, "CAR1");
              RegisterHarness::AddPlate(hive, VehicleType::Motorcycle, "MOTO2");
              RegisterHarness::AddPlate(hive, VehicleType::Car, "CARONLY");
          }) {}

    void Check(const std::string& text) {
        WriteBytes(harness.File("check.txt"), text);
        Import(harness, harness.File("check.txt"), importCheck);
    }

    RegisterHarness harness;
};

TEST_F(ImportCheckTest, AKnownFileShowsNothingYetSetsRegisterChanged) {
    Check(TagNo(1) + ",CAR1,1\r\n" + TagNo(2) + ",MOTO2,2\r\n");
    EXPECT_EQ(prompts.Messages().size(), 0);
    EXPECT_TRUE(harness.config.registerChanged);
}

TEST_F(ImportCheckTest, ShowsTheThreeFindingsInLineOrderAndWritesNothing) {
    Check(TagNo(1) + ",CAR2,1\r\n" +   // changed plate, not in the car list
          TagNo(9) + ",CARONLY,2\r\n" + // new tag; the plate is only in the car list
          TagNo(8) + ",,1\r\n");        // new tag, empty plate: no list lookup
    EXPECT_EQ(prompts.Messages(),
              (QStringList{QStringLiteral("NOT FOUND(1) => NO:CAR2"),
                           QStringLiteral("CHANGE => TAG:") + QString::fromStdString(TagNo(1)) +
                               QStringLiteral(" NO:CAR1 => CAR2"),
                           QStringLiteral("NOT FOUND(2) => NO:CARONLY"),
                           QStringLiteral("NEW => TAG:") + QString::fromStdString(TagNo(9)) + QStringLiteral(" NO:CARONLY"),
                           QStringLiteral("NEW => TAG:") + QString::fromStdString(TagNo(8)) + QStringLiteral(" NO:")}));
    EXPECT_EQ(harness.Stored(TagNo(1))->plate, "CAR1");
    EXPECT_FALSE(harness.Stored(TagNo(9)));
    EXPECT_EQ(harness.List().RowCount(), 2);
}

// The import would refuse these tags, so they are not new either.
TEST_F(ImportCheckTest, ATagTheImportWouldRefuseIsReportedAsRefused) {
    const std::string slash = "E200001722110100000000\\1";
    const std::string control = std::string("E200001722110100000000") + char(1) + "2";
    Check(slash + ",CARONLY,1\r\n" + control + ",X,1\r\n");
    EXPECT_EQ(
        prompts.Messages(),
        (QStringList{QStringLiteral("REFUSED => TAG:") + QString::fromStdString(slash) + QStringLiteral(" NO:CARONLY"),
                     QStringLiteral("NOT FOUND(1) => NO:X"),
                     QStringLiteral("REFUSED => TAG:") + QString::fromStdString(control) + QStringLiteral(" NO:X")}));
}

TEST_F(ImportCheckTest, ComparesPlatesOnlyNotVehicleTypes) {
    RegisterHarness::AddPlate(harness.Store().GetHive(), VehicleType::Motorcycle, "CAR1");
    Check(TagNo(1) + ",CAR1,2\r\n");
    EXPECT_EQ(prompts.Messages().size(), 0);
}

} // namespace
