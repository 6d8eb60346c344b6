#include "gui/exchange/BulkDelete.h"
#include "tests/support/RegisterHarness.h"
#include "tests/support/ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace {

using namespace DeleteCommand;

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Rows 1 and 2 are adjacent marked rows; 4 is marked too.
std::vector<SeedRecord> Rows() {
    return {{TagNo(0), "A0", 1}, {TagNo(1), "A1", 1, true}, {TagNo(2), "A2", 2, true}, {TagNo(3), "A3", 1},
            {TagNo(4), "A4", 1, true}};
}

class BulkDeleteTest : public ::testing::Test {
protected:
    BulkDeleteTest() : harness(Rows()) {}

    void Choose(int command, bool yes = true) {
        prompts.menuAnswers = {command};
        prompts.confirmAnswers = {yes};
        RunDeleteMenu(harness.Main());
    }

    RegisterHarness harness;
    ScriptedPrompts prompts;
};

TEST_F(BulkDeleteTest, MenuOffersThreeCommandsWithASeparator) {
    RunDeleteMenu(harness.Main());
    ASSERT_EQ(prompts.shown.size(), 1u);
    const auto& items = prompts.shown[0].items;
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].id, selected);
    EXPECT_EQ(items[0].text, QStringLiteral("刪除單筆資料"));
    EXPECT_EQ(items[1].id, 0);
    EXPECT_EQ(items[2].id, marked);
    EXPECT_EQ(items[2].text, QStringLiteral("刪除有*標記資料"));
    EXPECT_EQ(items[3].id, unmarked);
    EXPECT_EQ(items[3].text, QStringLiteral("刪除無*標記資料"));
    EXPECT_EQ(harness.List().RowCount(), 5);
}

TEST_F(BulkDeleteTest, MarkedRowsGoAdjacentOnesIncluded) {
    Choose(marked);
    ASSERT_EQ(prompts.Count(QStringLiteral("confirm")), 1);
    EXPECT_EQ(prompts.shown[1].caption, QStringLiteral("刪除"));
    EXPECT_EQ(prompts.shown[1].text, QStringLiteral("\n\n是否確定?"));
    EXPECT_EQ(harness.Column(0), (QStringList{Q(TagNo(0)), Q(TagNo(3))}));
    EXPECT_FALSE(harness.Stored(TagNo(1)));
    EXPECT_FALSE(harness.Stored(TagNo(2)));
    EXPECT_FALSE(harness.Stored(TagNo(4)));
    EXPECT_TRUE(harness.Stored(TagNo(3)));
    EXPECT_TRUE(harness.config.registerChanged);
    EXPECT_EQ(prompts.Messages().size(), 0);
    EXPECT_EQ(harness.Main().findChild<QWidget*>(QStringLiteral("id1005"))->property("text").toString(),
              QStringLiteral(" 筆數:     2 "));
}

TEST_F(BulkDeleteTest, UnmarkedRowsOfAnUnmarkedListEmptyListAndRegisterAfterOneQuestion) {
    RegisterHarness plain({{TagNo(0), "A", 1}, {TagNo(1), "B", 2}, {TagNo(2), "C", 1}});
    prompts.menuAnswers = {unmarked};
    prompts.confirmAnswers = {true};
    RunDeleteMenu(plain.Main());
    EXPECT_EQ(prompts.Count(QStringLiteral("confirm")), 1);
    EXPECT_EQ(plain.List().RowCount(), 0);
    std::vector<std::string> names;
    EXPECT_EQ(plain.Store().EnumerateTags(names), 0);
}

TEST_F(BulkDeleteTest, FollowsTheMarkCellAsTheListShowsIt) {
    // A toggle in the list is what counts, as the walk reads the rows.
    harness.List().SetCellText(0, 3, QStringLiteral("*"));
    harness.List().SetCellText(4, 3, QStringLiteral(" *"));
    Choose(unmarked);
    EXPECT_EQ(harness.Column(0), (QStringList{Q(TagNo(0)), Q(TagNo(1)), Q(TagNo(2))}));
}

TEST_F(BulkDeleteTest, MarkedWithoutMarksStillAsksAndSetsRegisterChanged) {
    RegisterHarness plain({{TagNo(0), "A", 1}});
    prompts.menuAnswers = {marked};
    prompts.confirmAnswers = {true};
    RunDeleteMenu(plain.Main());
    EXPECT_EQ(prompts.Count(QStringLiteral("confirm")), 1);
    EXPECT_EQ(plain.List().RowCount(), 1);
    EXPECT_TRUE(plain.config.registerChanged);
}

TEST_F(BulkDeleteTest, DecliningChangesNothing) {
    Choose(marked, false);
    Choose(selected, false);
    EXPECT_EQ(harness.List().RowCount(), 5);
    EXPECT_FALSE(harness.config.registerChanged);
}

TEST_F(BulkDeleteTest, SelectedRecordGoesAfterItsOwnQuestion) {
    harness.List().SelectRow(3);
    Choose(selected);
    ASSERT_EQ(prompts.Count(QStringLiteral("confirm")), 1);
    EXPECT_EQ(prompts.shown[1].caption, QStringLiteral("刪除"));
    EXPECT_EQ(prompts.shown[1].text, QStringLiteral("\n\n是否刪除此筆資料?"));
    EXPECT_EQ(harness.Column(0), (QStringList{Q(TagNo(0)), Q(TagNo(1)), Q(TagNo(2)), Q(TagNo(4))}));
    EXPECT_FALSE(harness.Stored(TagNo(3)));
    EXPECT_TRUE(harness.config.registerChanged);
}

TEST_F(BulkDeleteTest, SelectedWithoutASelectionAsksNothing) {
    Choose(selected);
    EXPECT_EQ(prompts.Count(QStringLiteral("confirm")), 0);
    EXPECT_EQ(harness.List().RowCount(), 5);
}

TEST_F(BulkDeleteTest, ARecordGoesWithEverythingBelowItAndItsPlateKeepsTheTag) {
    RegisterHarness deep({{TagNo(0), "P0", 1, true}}, [](Hive& hive) {
        (void)hive.CreateKey(std::string(RegistryBranch::kSuiteKey) + "\\eTag\\" + TagNo(0) + "\\Sub\\Deeper", nullptr);
        RegisterHarness::AddPlate(hive, 1, "P0", TagNo(0));
    });
    prompts.menuAnswers = {marked};
    prompts.confirmAnswers = {true};
    RunDeleteMenu(deep.Main());
    EXPECT_EQ(deep.List().RowCount(), 0);
    EXPECT_FALSE(deep.Store().GetHive().KeyExists(std::string(RegistryBranch::kSuiteKey) + "\\eTag\\" + TagNo(0)));
    EXPECT_EQ(deep.PlateTag(1, "P0"), std::optional<std::string>(TagNo(0)));
}

TEST_F(BulkDeleteTest, RecordsTheStoreKeepsKeepTheirRowsAndAreReportedOnce) {
    RegisterHarness locked(Rows(), {}, {.readOnly = true});
    prompts.menuAnswers = {marked};
    prompts.confirmAnswers = {true};
    RunDeleteMenu(locked.Main());
    EXPECT_EQ(locked.List().RowCount(), 5);
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("無法刪除的資料筆數: 3")});

    locked.List().SelectRow(0);
    prompts.shown.clear();
    prompts.menuAnswers = {selected};
    prompts.confirmAnswers = {true};
    RunDeleteMenu(locked.Main());
    EXPECT_EQ(locked.List().RowCount(), 5);
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("無法刪除的資料筆數: 1")});
}

TEST_F(BulkDeleteTest, TheSelectionStaysOnARowThatIsKept) {
    harness.List().SelectRow(3);
    Choose(marked);
    EXPECT_EQ(harness.List().CellText(harness.List().FirstSelectedRow(), 0), Q(TagNo(3)));
}

} // namespace
