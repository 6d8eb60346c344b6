#pragma once

#include "core/app/AppConfig.h"
#include "core/app/SettingsStore.h"
#include "core/register/PlateList.h"
#include "core/register/TagStore.h"
#include "core/store/SqliteHive.h"
#include "core/text/LanguageTexts.h"
#include "gui/register/MainDialog.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

// A main window over a register in a temporary hive, with scripted prompts.
class MainWindowFixture : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<SqliteHive> hive = SqliteHive::Open(dir.File("user.hive"));
    AppConfig config;
    LanguageTexts texts;
    TagStore store{*hive};
    PlateList cars{*hive, 1};
    PlateList motorcycles{*hive, 2};
    SettingsStore settings{*hive};
    int keyboardShown = 0;
    int keyboardHidden = 0;
    RegisterContext context{config,   texts, store, cars, motorcycles, settings, [this] { ++keyboardShown; },
                            [this] { ++keyboardHidden; }};
    ScriptedPrompts prompts;
    std::unique_ptr<MainDialog> main;

    void Store(const std::string& tag, const std::string& plate, int carType, bool marked = false,
               bool useOk = false) {
        TagRecord r{tag, plate, carType, false, false};
        ASSERT_TRUE(store.WriteRecord(tag, &r));
        if (marked) {
            ASSERT_TRUE(store.WriteMark(tag, 1));
        }
        if (useOk) {
            ASSERT_TRUE(store.WriteUseOk(tag, 1));
        }
    }
    void Open() {
        texts.LoadShared();
        main = std::make_unique<MainDialog>(context);
    }
    void TearDown() override { main.reset(); }
};
