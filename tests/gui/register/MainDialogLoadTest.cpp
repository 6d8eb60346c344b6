// A register that cannot be read whole is never shown as a shorter one.
#include "core/app/SettingsStore.h"
#include "core/register/PlateList.h"
#include "core/register/TagStore.h"
#include "core/store/SqliteHive.h"
#include "gui/controls/CListCtrlEx.h"
#include "gui/register/MainDialog.h"
#include "tests/support/HiveFixtures.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

TEST(MainDialogLoadTest, ADamagedRegisterShowsABoxAndNoRows) {
    TempDir dir;
    std::string file = dir.File("user.hive");
    ASSERT_TRUE(HiveFixtures::MakeRegister(file, 20000));
    ASSERT_TRUE(HiveFixtures::DamageMiddle(file));
    auto hive = SqliteHive::OpenReadOnly(file); // past the check at start-up, as damage during use is
    ASSERT_NE(hive, nullptr);
    AppConfig config;
    LanguageTexts texts;
    texts.LoadShared();
    TagStore store(*hive);
    PlateList cars(*hive, 1), motorcycles(*hive, 2);
    SettingsStore settings(*hive);
    RegisterContext context{config, texts, store, cars, motorcycles, settings, [] {}, [] {}};
    ScriptedPrompts prompts;

    MainDialog main(context);
    EXPECT_EQ(main.List()->RowCount(), 0);
    EXPECT_EQ(prompts.Messages().size(), 1);
    EXPECT_TRUE(main.LoadFailed());
}
