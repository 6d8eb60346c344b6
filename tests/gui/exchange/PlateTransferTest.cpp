#include "gui/exchange/PlateTransfer.h"
#include "tests/support/RegisterHarness.h"
#include "tests/support/ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace {

using namespace TransferCommand;

QString NotFound(const std::string& tag, const std::string& plate) {
    return QStringLiteral("\nTag:") + QString::fromStdString(tag) + QStringLiteral(" \nID:") +
           QString::fromStdString(plate) + QStringLiteral(" NOT FOUND!");
}

// Row 0: car in the car list with an empty "eTag"; row 1: motorcycle whose plate is only in the
// car list; row 2: empty plate; row 3 (marked): car whose plate already holds another tag;
// row 4 (marked): motorcycle in the motorcycle list without "eTag".
std::vector<SeedRecord> Rows() {
    return {{TagNo(0), "CAR0", 1},       {TagNo(1), "CARONLY", 2},     {TagNo(2), "", 1},
            {TagNo(3), "HELD", 1, true}, {TagNo(4), "MOTO4", 2, true}};
}

void Plates(Hive& hive) {
    RegisterHarness::AddPlate(hive, 1, "CAR0", std::string());
    RegisterHarness::AddPlate(hive, 1, "CARONLY");
    RegisterHarness::AddPlate(hive, 1, "HELD", "OTHERTAG");
    RegisterHarness::AddPlate(hive, 2, "MOTO4");
}

class PlateTransferTest : public ::testing::Test {
protected:
    PlateTransferTest() : harness(Rows(), Plates) {}

    void Choose(int command, bool yes = true) {
        prompts.menuAnswers = {command};
        prompts.confirmAnswers = {yes};
        RunPlateTransferMenu(harness.Main());
    }

    RegisterHarness harness;
    ScriptedPrompts prompts;
};

TEST_F(PlateTransferTest, AnEmptyListShowsNoMenu) {
    RegisterHarness empty;
    RunPlateTransferMenu(empty.Main());
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(PlateTransferTest, MenuAndQuestionCarryTheirTexts) {
    Choose(all, false);
    ASSERT_EQ(prompts.shown.size(), 2u);
    const auto& items = prompts.shown[0].items;
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].id, all);
    EXPECT_EQ(items[0].text, QStringLiteral("全部資料匯入"));
    EXPECT_EQ(items[1].id, marked);
    EXPECT_EQ(items[1].text, QStringLiteral("有*標記資料匯入"));
    EXPECT_EQ(items[2].id, unmarked);
    EXPECT_EQ(items[2].text, QStringLiteral("無*標記資料匯入"));
    EXPECT_EQ(prompts.shown[1].caption, QStringLiteral("eTag匯入至名單"));
    EXPECT_EQ(prompts.shown[1].text, QStringLiteral("\n\n是否確定?"));
    EXPECT_EQ(harness.PlateTag(1, "CAR0"), std::optional<std::string>(""));
}

TEST_F(PlateTransferTest, AllRowsFillEmptyTagsKeepHeldOnesAndReportMissingPlates) {
    Choose(all);
    EXPECT_EQ(harness.PlateTag(1, "CAR0"), std::optional<std::string>(TagNo(0)));
    EXPECT_EQ(harness.PlateTag(1, "CARONLY"), std::nullopt); // the motorcycle row does not reach the car list
    EXPECT_EQ(harness.PlateTag(1, "HELD"), std::optional<std::string>("OTHERTAG"));
    EXPECT_EQ(harness.PlateTag(2, "MOTO4"), std::optional<std::string>(TagNo(4)));
    EXPECT_EQ(prompts.Messages(), QStringList{NotFound(TagNo(1), "CARONLY")});
    EXPECT_FALSE(harness.config.registerChanged);
    EXPECT_EQ(harness.List().RowCount(), 5);
}

TEST_F(PlateTransferTest, ASecondRunChangesNothingAndReportsTheSame) {
    Choose(all);
    const QStringList first = prompts.Messages();
    prompts.shown.clear();
    Choose(all);
    EXPECT_EQ(prompts.Messages(), first);
    EXPECT_EQ(harness.PlateTag(1, "CAR0"), std::optional<std::string>(TagNo(0)));
}

TEST_F(PlateTransferTest, MarkedAndUnmarkedRowsFollowTheMarkCell) {
    Choose(marked);
    EXPECT_EQ(harness.PlateTag(2, "MOTO4"), std::optional<std::string>(TagNo(4)));
    EXPECT_EQ(harness.PlateTag(1, "CAR0"), std::optional<std::string>(""));
    EXPECT_EQ(prompts.Messages().size(), 0);

    prompts.shown.clear();
    Choose(unmarked);
    EXPECT_EQ(harness.PlateTag(1, "CAR0"), std::optional<std::string>(TagNo(0)));
    EXPECT_EQ(prompts.Messages(), QStringList{NotFound(TagNo(1), "CARONLY")});
}

TEST_F(PlateTransferTest, TheFirstOfTwoRowsWithOnePlateGivesItsTag) {
    RegisterHarness twice({{TagNo(7), "SAME", 1}, {TagNo(8), "SAME", 1}},
                          [](Hive& hive) { RegisterHarness::AddPlate(hive, 1, "SAME"); });
    prompts.menuAnswers = {all};
    prompts.confirmAnswers = {true};
    RunPlateTransferMenu(twice.Main());
    EXPECT_EQ(twice.PlateTag(1, "SAME"), std::optional<std::string>(TagNo(7)));
    EXPECT_EQ(prompts.Messages().size(), 0);
}

TEST_F(PlateTransferTest, TagsTheListsWouldNotTakeAreReportedOnceAtTheEnd) {
    RegisterHarness readOnly(Rows(), Plates, {.readOnly = true});
    prompts.menuAnswers = {all};
    prompts.confirmAnswers = {true};
    RunPlateTransferMenu(readOnly.Main());
    // CAR0 and MOTO4 failed; HELD keeps its tag, which is no failure.
    EXPECT_EQ(prompts.Messages(),
              (QStringList{NotFound(TagNo(1), "CARONLY"), QStringLiteral("無法寫入名單的資料筆數: 2")}));
    EXPECT_EQ(prompts.Count(QStringLiteral("retry")), 0);
    EXPECT_EQ(readOnly.PlateTag(1, "CAR0"), std::optional<std::string>(""));
}

TEST_F(PlateTransferTest, MarkedWithoutMarksAsksThenDoesNothing) {
    RegisterHarness plain({{TagNo(0), "CAR0", 1}}, Plates);
    prompts.menuAnswers = {marked};
    prompts.confirmAnswers = {true};
    RunPlateTransferMenu(plain.Main());
    EXPECT_EQ(prompts.Count(QStringLiteral("confirm")), 1);
    EXPECT_EQ(plain.PlateTag(1, "CAR0"), std::optional<std::string>(""));
}

} // namespace
