#include "gui/app/Globals.h"
#include "gui/app/UiTexts.h"
#include "gui/controls/CListCtrlEx.h"
#include "tests/support/RegisterHarness.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

class MainDialogTest : public MainWindowTest {
protected:
    CListCtrlEx& List() { return *main->List(); }
    QString Status() { return FindControl<QLabel>(main, 1005)->text(); }
    QRadioButton* Radio(int id) { return FindControl<QRadioButton>(main, id); }
    std::vector<QString> Row(int row) {
        std::vector<QString> cells;
        for (int c = 0; c < 5; ++c)
            cells.push_back(List().CellText(row, c));
        return cells;
    }
    QWidget* Balloon() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QStringLiteral("balloon") && w->isVisible())
                return w;
        return nullptr;
    }
};

TEST_F(MainDialogTest, EmptyRegisterOpensWithAZeroCount) {
    Open();
    EXPECT_EQ(List().RowCount(), 0);
    EXPECT_EQ(Status(), QStringLiteral(" 筆數:     0 "));
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Lumetra"));
    EXPECT_EQ(tagEntryTarget, main->TagField());
    EXPECT_FALSE(main->Button(1049)->isEnabled());
}

TEST_F(MainDialogTest, LoadShowsEveryStoredRecordWithItsLabelsAndFlags) {
    ASSERT_TRUE(harness.Seed({"T1", "AAA111", 1, true, false}));
    ASSERT_TRUE(harness.Seed({"T2", "BBB222", 2, false, true}));
    ASSERT_TRUE(harness.Seed({"T3", "CCC333", 5}));
    Open();
    ASSERT_EQ(List().RowCount(), 3);
    EXPECT_EQ(Row(0), (std::vector<QString>{QStringLiteral("T1"), QStringLiteral("AAA111"), QStringLiteral("汽車"),
                                            QStringLiteral("*"), QString()}));
    EXPECT_EQ(Row(1), (std::vector<QString>{QStringLiteral("T2"), QStringLiteral("BBB222"), QStringLiteral("機車"),
                                            QString(), QStringLiteral("Y")}));
    EXPECT_EQ(List().CellText(2, 2), QStringLiteral("汽車")); // type 5 shows as a car
    EXPECT_EQ(List().ItemData(1), 2);
    EXPECT_EQ(List().ItemData(2), 5);
    EXPECT_EQ(Status(), QStringLiteral(" 筆數:     3 "));
}

TEST_F(MainDialogTest, SaveOfAListedTagUpdatesItsRowInPlaceAndClearsTheFlagCells) {
    ASSERT_TRUE(harness.Seed({"AB12", "OLD", 1, true, true}));
    ASSERT_TRUE(harness.Seed({"CD34", "OTHER", 1}));
    Open();
    main->TagField()->setText(QStringLiteral("ab12")); // matched without regard to case
    main->PlateField()->setText(QStringLiteral("NEW1"));
    Radio(1031)->setChecked(true);
    main->Save();
    ASSERT_EQ(List().RowCount(), 2);
    EXPECT_EQ(List().CellText(0, 1), QStringLiteral("NEW1"));
    EXPECT_EQ(List().CellText(0, 2), QStringLiteral("機車"));
    EXPECT_EQ(List().CellText(0, 3), QString());
    EXPECT_EQ(List().CellText(0, 4), QString());
    EXPECT_EQ(List().ItemData(0), 2);
    TagRecord back;
    ASSERT_TRUE(harness.Store().ReadRecord("AB12", &back));
    EXPECT_EQ(back.plate, "NEW1");
    EXPECT_TRUE(back.marked);
    EXPECT_TRUE(back.useOk);
    EXPECT_TRUE(harness.config.registerChanged);
}

TEST_F(MainDialogTest, SaveOfANewTagAppendsARowAndCountsIt) {
    ASSERT_TRUE(harness.Seed({"T1", "P1", 1}));
    Open();
    main->TagField()->setText(QStringLiteral("T9"));
    main->PlateField()->clear(); // an empty plate is allowed
    main->Save();
    ASSERT_EQ(List().RowCount(), 2);
    EXPECT_EQ(List().CellText(1, 0), QStringLiteral("T9"));
    EXPECT_EQ(List().CellText(1, 1), QString());
    EXPECT_EQ(Status(), QStringLiteral(" 筆數:     2 "));
    EXPECT_EQ(harness.Store().GetHive().GetValue("Software\\Vessory\\eTag\\T9", "LicNo")->data, "");
}

TEST_F(MainDialogTest, SaveWithoutATagShowsTheBalloonAndStoresNothing) {
    Open();
    main->show();
    main->PlateField()->setText(QStringLiteral("P1"));
    main->Save();
    QWidget* balloon = Balloon();
    ASSERT_NE(balloon, nullptr);
    EXPECT_EQ(balloon->accessibleName(), QStringLiteral("不可為空白!"));
    std::vector<std::string> names;
    EXPECT_EQ(harness.Store().EnumerateTags(names), 0);
    EXPECT_FALSE(harness.config.registerChanged);
}

TEST_F(MainDialogTest, AWriteTheStoreRefusesIsReportedAndChangesNoRow) {
    Open();
    main->TagField()->setText(QStringLiteral("A\\B"));
    main->Save();
    EXPECT_EQ(prompts.Count(QStringLiteral("message")), 1);
    EXPECT_EQ(List().RowCount(), 0);
}

TEST_F(MainDialogTest, TypingRaisesLettersDropsOtherCharactersAndStopsAtEight) {
    Open();
    main->show();
    QLineEdit* plate = main->PlateField();
    plate->setFocus();
    QTest::keyClicks(plate, QStringLiteral("ab-c 12.3456789"));
    EXPECT_EQ(plate->text(), QStringLiteral("ABC12345"));
    QTest::keyClick(plate, Qt::Key_Backspace);
    EXPECT_EQ(plate->text(), QStringLiteral("ABC1234"));
}

TEST_F(MainDialogTest, RightClickTogglesTheMarkOrInConfirmationModeTheUseFlag) {
    ASSERT_TRUE(harness.Seed({"T1", "P1", 1}));
    Open();
    main->ToggleSelectedFlag(); // nothing selected: nothing happens
    EXPECT_EQ(List().CellText(0, 3), QString());

    List().SelectRow(0);
    FindControl<QLabel>(main, 1005)->setText(QStringLiteral("unchanged"));
    main->ToggleSelectedFlag();
    EXPECT_EQ(List().CellText(0, 3), QStringLiteral("*"));
    TagRecord back;
    ASSERT_TRUE(harness.Store().ReadRecord("T1", &back));
    EXPECT_TRUE(back.marked);
    EXPECT_EQ(Status(), QStringLiteral("unchanged")); // a toggle does not refresh the count

    FindControl<QCheckBox>(main, 1050)->setChecked(true);
    main->ToggleUseConfirmation();
    main->ToggleSelectedFlag();
    EXPECT_EQ(List().CellText(0, 4), QStringLiteral("Y"));
    EXPECT_EQ(List().CellText(0, 3), QStringLiteral("*"));
    main->ToggleSelectedFlag();
    EXPECT_EQ(List().CellText(0, 4), QString());
    EXPECT_FALSE(harness.config.registerChanged);
}

TEST_F(MainDialogTest, AToggleOfADeletedTagIsReportedAndLeavesTheCell) {
    ASSERT_TRUE(harness.Seed({"T1", "P1", 1}));
    Open();
    TagRecord gone;
    gone.tagId = "T1";
    ASSERT_TRUE(harness.Store().DeleteTag(gone));
    List().SelectRow(0);
    main->ToggleSelectedFlag();
    EXPECT_EQ(List().CellText(0, 3), QString());
    EXPECT_EQ(prompts.Count(QStringLiteral("message")), 1);
    EXPECT_FALSE(harness.Store().GetHive().KeyExists("Software\\Vessory\\eTag\\T1"));
}

TEST_F(MainDialogTest, ConfirmationModeDisablesExactlyTheFiveEditingButtons) {
    Open();
    FindControl<QCheckBox>(main, 1050)->setChecked(true);
    main->ToggleUseConfirmation();
    for (int id : {1040, 1045, 1041, 1046, 1047})
        EXPECT_FALSE(main->Button(id)->isEnabled()) << id;
    for (int id : {1042, 1043, 1044, 1048})
        EXPECT_TRUE(main->Button(id)->isEnabled()) << id;
    FindControl<QCheckBox>(main, 1050)->setChecked(false);
    main->ToggleUseConfirmation();
    for (int id : {1040, 1045, 1041, 1046, 1047})
        EXPECT_TRUE(main->Button(id)->isEnabled()) << id;
}

TEST_F(MainDialogTest, DoubleClickLoadsAMotorcycleRowIntoTheFields) {
    ASSERT_TRUE(harness.Seed({"T1", "P1", 1}));
    ASSERT_TRUE(harness.Seed({"T2", "M2", 2}));
    Open();
    FindControl<QCheckBox>(main, 1050)->setChecked(true);
    main->LoadSelectedRow(); // no selection
    EXPECT_EQ(main->TagField()->text(), QString());
    List().SelectRow(1);
    main->LoadSelectedRow();
    EXPECT_EQ(main->TagField()->text(), QStringLiteral("T2"));
    EXPECT_EQ(main->PlateField()->text(), QStringLiteral("M2"));
    EXPECT_TRUE(Radio(1031)->isChecked());
    EXPECT_TRUE(FindControl<QCheckBox>(main, 1050)->isChecked());
}

TEST_F(MainDialogTest, CloseIsRefusedWhileAReaderConnects) {
    Open();
    bool connecting = true;
    main->SetConnectingProbe([&] { return connecting; });
    QCloseEvent refused;
    QApplication::sendEvent(main, &refused);
    EXPECT_FALSE(refused.isAccepted());
    ASSERT_EQ(prompts.Messages().size(), 1);
    EXPECT_EQ(prompts.Messages().front(), QStringLiteral("It's connecting now."));
    connecting = false;
    QCloseEvent allowed;
    QApplication::sendEvent(main, &allowed);
    EXPECT_TRUE(allowed.isAccepted());
}

TEST_F(MainDialogTest, DestructionHidesTheKeyboardAndClearsTheTagTarget) {
    Open();
    bool tornDown = false;
    main->SetTeardown([&] { tornDown = true; });
    main->Button(1042)->click();
    EXPECT_EQ(harness.keyboardShown, 1);
    CloseWindow();
    EXPECT_TRUE(tornDown);
    EXPECT_EQ(harness.keyboardHidden, 1);
    EXPECT_EQ(tagEntryTarget, nullptr);
    EXPECT_EQ(mainWindow, nullptr);
}

TEST_F(MainDialogTest, CommandButtonsRunWhatStartUpWiredToThem) {
    Open();
    int runs = 0;
    main->SetCommand(1047, [&] { ++runs; });
    main->Button(1047)->click();
    EXPECT_EQ(runs, 1);
}

} // namespace
