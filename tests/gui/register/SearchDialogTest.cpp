#include "gui/register/SearchDialog.h"
#include "tests/support/CaseName.h"
#include "tests/support/RegisterHarness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using Step = SearchDialog::StepResult;

// Rows: tags and plates chosen so that "abc" hits rows 1, 3, 4 and 5 in column 1.
std::vector<SeedRecord> Rows() {
    return {{TagNo(0), "XY12", 1}, {TagNo(1), "ZABC9", 1}, {TagNo(2), "", 2},
            {TagNo(3), "ABC1", 2}, {TagNo(4), "1ABC", 1},  {TagNo(5), "臺北ABC", 1}};
}

class SearchTest : public ::testing::Test {
protected:
    SearchTest() : harness(Rows()) {}

    std::unique_ptr<SearchDialog> Open() {
        return std::make_unique<SearchDialog>(harness.List(), 2, harness.texts,
                                              [this](QWidget* at) { balloonsAt.push_back(at); }, &harness.Main());
    }
    void ChooseColumn(SearchDialog& dialog, int column) {
        dialog.ColumnChooser()->setCurrentIndex(dialog.ColumnChooser()->findData(column));
    }

    RegisterHarness harness;
    std::vector<QWidget*> balloonsAt;
};

TEST_F(SearchTest, OpensWithTheTwoHeaderTextsTheFlagSetAndTheBuiltInTexts) {
    auto dialog = Open();
    QComboBox* chooser = dialog->ColumnChooser();
    ASSERT_EQ(chooser->count(), 2);
    EXPECT_EQ(chooser->itemText(0), harness.List().HeaderText(0));
    EXPECT_EQ(chooser->itemText(1), harness.List().HeaderText(1));
    EXPECT_EQ(chooser->currentIndex(), 0);
    EXPECT_TRUE(dialog->FromTopBox()->isChecked());
    EXPECT_EQ(dialog->SearchField()->text(), QString());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("搜尋"));
    EXPECT_EQ(dialog->FromTopBox()->text(), QStringLiteral("移至最上方"));
    EXPECT_EQ(dialog->FindButton()->text(), QStringLiteral("尋找"));
    EXPECT_EQ(dialog->findChild<QPushButton*>(QStringLiteral("id2"))->text(), QStringLiteral("取消"));
    EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("id1102"))->text(), QStringLiteral("搜尋欄位"));
    EXPECT_EQ(dialog->SearchField()->objectName(), QStringLiteral("id1010"));
    EXPECT_EQ(dialog->SearchField()->accessibleName(), QStringLiteral("搜尋"));
    EXPECT_TRUE(dialog->findChild<QPushButton*>(QStringLiteral("id2"))->isDefault());
}

TEST_F(SearchTest, ColumnCountZeroOffersEveryColumn) {
    SearchDialog dialog(harness.List(), 0, harness.texts, {}, &harness.Main());
    EXPECT_EQ(dialog.ColumnChooser()->count(), harness.List().ColumnCount());
}

TEST_F(SearchTest, StepsThroughEveryHitThenNotFoundAndRestartsWhenTheBoxIsTicked) {
    auto dialog = Open();
    ChooseColumn(*dialog, 1);
    dialog->SearchField()->setText(QStringLiteral("abc"));

    std::vector<int> hits;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(dialog->FindStep(), Step::Found);
        hits.push_back(harness.List().SelectedFocusedRow());
    }
    EXPECT_EQ(hits, (std::vector<int>{1, 3, 4, 5}));
    EXPECT_FALSE(dialog->FromTopBox()->isChecked());

    EXPECT_EQ(dialog->FindStep(), Step::NotFound);
    EXPECT_EQ(dialog->FindStep(), Step::NotFound);
    ASSERT_EQ(balloonsAt.size(), 2u);
    EXPECT_EQ(balloonsAt[0], dialog->FindButton());
    EXPECT_EQ(harness.List().SelectedFocusedRow(), 5); // a miss keeps the selection

    dialog->FromTopBox()->setChecked(true);
    EXPECT_EQ(dialog->FindStep(), Step::Found);
    EXPECT_EQ(harness.List().SelectedFocusedRow(), 1);
}

TEST_F(SearchTest, StartsAfterTheSelectedRowWhenTheFlagIsClear) {
    auto dialog = Open();
    ChooseColumn(*dialog, 1);
    dialog->FromTopBox()->setChecked(false);
    harness.List().SelectRow(3);
    dialog->SearchField()->setText(QStringLiteral("ABC"));
    EXPECT_EQ(dialog->FindStep(), Step::Found);
    EXPECT_EQ(harness.List().SelectedFocusedRow(), 4);
}

TEST_F(SearchTest, AStepFromBelowTheLastRowIsNotFoundAtOnce) {
    auto dialog = Open();
    ChooseColumn(*dialog, 1);
    dialog->FromTopBox()->setChecked(false);
    harness.List().SelectRow(harness.List().RowCount() - 1);
    dialog->SearchField()->setText(QStringLiteral("x"));
    EXPECT_EQ(dialog->FindStep(), Step::NotFound);
    EXPECT_EQ(balloonsAt.size(), 1u);
}

TEST_F(SearchTest, EmptySearchTextDoesNothing) {
    auto dialog = Open();
    EXPECT_EQ(dialog->FindStep(), Step::Ignored);
    EXPECT_TRUE(dialog->FromTopBox()->isChecked());
    EXPECT_TRUE(balloonsAt.empty());
}

TEST_F(SearchTest, SearchesTheTagColumnByDefault) {
    auto dialog = Open();
    dialog->SearchField()->setText(QString::fromStdString(TagNo(4)).right(6).toLower());
    EXPECT_EQ(dialog->FindStep(), Step::Found);
    EXPECT_EQ(harness.List().SelectedFocusedRow(), 4);
}

TEST_F(SearchTest, HitsFollowTheListsCurrentOrder) {
    auto dialog = Open();
    ChooseColumn(*dialog, 1);
    harness.List().SortByHeader(1); // ascending by plate: "", 1ABC, ABC1, XY12, ZABC9, 臺北ABC
    dialog->SearchField()->setText(QStringLiteral("abc"));
    EXPECT_EQ(dialog->FindStep(), Step::Found);
    EXPECT_EQ(harness.List().CellText(harness.List().SelectedFocusedRow(), 1), QStringLiteral("1ABC"));
    EXPECT_EQ(dialog->FindStep(), Step::Found);
    EXPECT_EQ(harness.List().CellText(harness.List().SelectedFocusedRow(), 1), QStringLiteral("ABC1"));
}

TEST_F(SearchTest, AnEmptyListIsAlwaysNotFound) {
    RegisterHarness empty;
    SearchDialog dialog(empty.List(), 2, empty.texts, [this](QWidget* at) { balloonsAt.push_back(at); });
    dialog.SearchField()->setText(QStringLiteral("A"));
    EXPECT_EQ(dialog.FindStep(), Step::NotFound);
    EXPECT_EQ(dialog.FindStep(), Step::NotFound);
    EXPECT_EQ(balloonsAt.size(), 2u);
}

struct MatchCase {
    const char* name;
    const char* cell;
    const char* text;
    bool hit;
};

class CellMatch : public ::testing::TestWithParam<MatchCase> {};

TEST_P(CellMatch, FoldsOnlyAsciiLetters) {
    const MatchCase& c = GetParam();
    EXPECT_EQ(SearchDialog::CellContains(QString::fromUtf8(c.cell), QString::fromUtf8(c.text)), c.hit);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CellMatch,
    ::testing::Values(MatchCase{"SmallLettersFindCapitalsInside", "X1ABC2", "abc", true},
                      MatchCase{"CapitalsFindSmallLetters", "abc", "ABC", true},
                      MatchCase{"TwoByteCharactersMatchExactly", "臺北", "臺北", true},
                      MatchCase{"TwoByteCharactersInsideText", "AB臺北12", "臺北1", true},
                      MatchCase{"NoFoldingBeyondAscii", "ÄBC", "äbc", false},
                      MatchCase{"FullWidthLettersAreNotAscii", "ＡＢＣ", "abc", false},
                      MatchCase{"EmptyCellNeverMatches", "", "A", false},
                      MatchCase{"DigitsExact", "1234", "23", true},
                      MatchCase{"Absent", "XYZ", "XA", false}),
    CaseName{});

TEST(CellMatchSurrogates, AHitNeverStartsInsideACharacter) {
    const QString pair = QString::fromUtf8("\xF0\x9F\x98\x80"); // one character, two UTF-16 units
    const QString lowHalf = pair.mid(1, 1);
    EXPECT_FALSE(SearchDialog::CellContains(pair, lowHalf));
    EXPECT_TRUE(SearchDialog::CellContains(QStringLiteral("A") + pair, pair));
}

} // namespace
