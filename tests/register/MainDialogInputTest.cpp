#include "MainWindowFixture.h"
#include "UiTexts.h"

#include <QPushButton>

#include <fstream>

namespace {

class MainDialogInputTest : public MainWindowFixture {};

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

} // namespace
