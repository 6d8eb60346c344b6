#include "MainWindowFixture.h"
#include "UiTexts.h"

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

class MainDialogInputTest : public MainWindowFixture {
protected:
    QCheckBox* UseCheck() { return FindControl<QCheckBox>(main.get(), 1050); }
};

TEST_F(MainDialogInputTest, IconButtonsAreNamedFromTheLanguageFile) {
    std::ofstream(dir.File("lang.ini")) << "[LUMETRA]\n010=Copy the tag\n011=Copy the plate\n012=Keyboard\n";
    texts = LanguageTexts(dir.File("lang.ini"));
    Open();
    const std::pair<int, const char*> named[] = {{1044, "Copy the tag"}, {1048, "Copy the plate"}, {1042, "Keyboard"}};
    for (const auto& [id, text] : named) {
        EXPECT_EQ(main->Button(id)->toolTip(), QString::fromUtf8(text)) << id;
        EXPECT_EQ(main->Button(id)->accessibleName(), QString::fromUtf8(text)) << id;
    }
}

// Copying an empty field copies nothing: the clipboard keeps what it held.
TEST_F(MainDialogInputTest, CopyingAnEmptyFieldLeavesTheClipboardAsItWas) {
    Open();
    QApplication::clipboard()->setText(QStringLiteral("KEEP"));
    main->CopyTag();
    main->CopyPlate();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("KEEP"));
    main->PlateField()->setText(QStringLiteral("AB12"));
    main->CopyPlate();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("AB12"));
}

// Enter presses the focused button as in a dialog; with no button focused it ends the window.
TEST_F(MainDialogInputTest, EnterPressesTheFocusedButton) {
    Open();
    int pressed = 0;
    main->SetCommand(1047, [&] { ++pressed; });
    main->show();
    main->Button(1047)->setFocus();
    QTest::keyClick(main->Button(1047), Qt::Key_Return);
    QTest::keyClick(main->Button(1047), Qt::Key_Enter);
    EXPECT_EQ(pressed, 2);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->result(), 0);

    main->PlateField()->setFocus();
    QTest::keyClick(main->PlateField(), Qt::Key_Return);
    EXPECT_EQ(pressed, 2);
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(main->result(), int(QDialog::Accepted));
}

// The mode follows the box however it is toggled: an accessibility action does not click.
TEST_F(MainDialogInputTest, AnAccessibilityToggleEntersAndLeavesTheMode) {
    Open();
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(UseCheck());
    ASSERT_NE(box, nullptr);
    ASSERT_NE(box->actionInterface(), nullptr);
    box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    ASSERT_TRUE(UseCheck()->isChecked());
    EXPECT_TRUE(main->UseConfirmationMode());
    EXPECT_FALSE(main->Button(1040)->isEnabled());
    box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    ASSERT_FALSE(UseCheck()->isChecked());
    EXPECT_TRUE(main->Button(1040)->isEnabled());
}

} // namespace
