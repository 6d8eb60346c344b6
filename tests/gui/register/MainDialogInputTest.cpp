#include "gui/app/UiTexts.h"
#include "tests/support/RegisterHarness.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <fstream>

namespace {

using MainDialogInputTest = MainWindowTest;

TEST_F(MainDialogInputTest, IconButtonsAreNamedFromTheLanguageFile) {
    std::ofstream(harness.File("lang.ini")) << "[LUMETRA]\n010=Copy the tag\n011=Copy the plate\n012=Keyboard\n";
    harness.texts = LanguageTexts(harness.File("lang.ini"));
    Open();
    for (const auto& [id, text] :
         {std::pair(1044, "Copy the tag"), std::pair(1048, "Copy the plate"), std::pair(1042, "Keyboard")}) {
        EXPECT_EQ(main->Button(id)->toolTip(), QString::fromUtf8(text)) << id;
        EXPECT_EQ(main->Button(id)->accessibleName(), QString::fromUtf8(text)) << id;
    }
}

TEST_F(MainDialogInputTest, CopyingAnEmptyFieldLeavesTheClipboardAsItWas) {
    Open();
    QApplication::clipboard()->setText(QStringLiteral("KEEP"));
    main->CopyTag();
    main->CopyPlate();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("KEEP"));
}

// Enter presses the focused button as in a dialog; with no button focused it ends the window.
TEST_F(MainDialogInputTest, EnterPressesTheFocusedButton) {
    Open();
    int pressed = 0;
    main->SetCommand(1047, [&] { ++pressed; });
    main->show();
    main->Button(1047)->setFocus();
    QTest::keyClick(main->Button(1047), Qt::Key_Return);
    EXPECT_EQ(pressed, 1);
    EXPECT_TRUE(main->isVisible());

    main->PlateField()->setFocus();
    QTest::keyClick(main->PlateField(), Qt::Key_Return);
    EXPECT_EQ(pressed, 1);
    EXPECT_EQ(main->result(), int(QDialog::Accepted));
}

// An accessibility action toggles the box without a click; the mode follows all the same.
TEST_F(MainDialogInputTest, AnAccessibilityToggleEntersAndLeavesTheMode) {
    Open();
    QAccessibleActionInterface* box =
        QAccessible::queryAccessibleInterface(FindControl<QCheckBox>(main, 1050))->actionInterface();
    ASSERT_NE(box, nullptr);
    box->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(main->Button(1040)->isEnabled());
    box->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(main->Button(1040)->isEnabled());
}

} // namespace
