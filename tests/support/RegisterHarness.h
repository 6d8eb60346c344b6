#pragma once

#include "core/app/AppConfig.h"
#include "core/app/RegisterContext.h"
#include "core/app/SettingsStore.h"
#include "core/register/PlateList.h"
#include "core/register/TagStore.h"
#include "core/store/SqliteHive.h"
#include "core/text/LanguageTexts.h"
#include "gui/controls/CListCtrlEx.h"
#include "gui/register/MainDialog.h"
#include "tests/support/FakeRegisterView.h"
#include "tests/support/ReadFailingHive.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempDir.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct SeedRecord {
    std::string tagId;
    std::string plate;
    int carType = 1;
    bool marked = false;
    bool useOk = false;
};

// A 24-character tag id numbered n.
std::string TagNo(int n);

enum class HarnessView {
    Window, // the main window, loaded when the harness is made
    Fake,   // a FakeRegisterView, loaded when the harness is made
    Later,  // none yet: the test seeds the hive or replaces the texts, then calls OpenWindow
};

struct HarnessOptions {
    HarnessView view = HarnessView::Window;
    // The views work on the seeded hive opened for reading only, so every store write fails.
    bool readOnly = false;
    int busyTimeoutMs = 15000; // how long a write waits for another program's lock
    bool failingReads = false; // the views work through a ReadFailingHive (see FailingReads())
};

// The register of the window and flow tests: a temporary hive, the stores and plate lists over
// it, and the view the flows work on, the main window or a stand-in without one.
class RegisterHarness {
public:
    using View = HarnessView;
    using Options = HarnessOptions;

    // seed runs on the writable hive after the records, before any view loads the register.
    explicit RegisterHarness(std::vector<SeedRecord> records = {}, std::function<void(Hive&)> seed = {},
                             Options options = {});
    ~RegisterHarness();
    RegisterHarness(const RegisterHarness&) = delete;
    RegisterHarness& operator=(const RegisterHarness&) = delete;

    MainDialog& OpenWindow();
    void CloseWindow() { main.reset(); }
    MainDialog& Main() { return *main; }
    CListCtrlEx& List() { return *main->List(); }
    FakeRegisterView& Fake() { return *fake; }
    // The main window where there is one, else the stand-in.
    RegisterView& ViewOf() { return main ? static_cast<RegisterView&>(*main) : *fake; }

    RegisterContext& Context() { return *context; }
    TagStore& Store() { return *store; }
    SettingsStore& Settings() { return *settings; }
    ReadFailingHive& FailingReads() { return *failing; }
    const std::filesystem::path& Folder() const { return dir.Path(); }
    std::string File(const std::string& name) const { return dir.File(name); }
    QString Path(const std::string& name) const { return QString::fromStdString(dir.File(name)); }

    // Writes a record (and its flags) to the store; false when the store refused any of it.
    [[nodiscard]] bool Seed(const SeedRecord& record);
    // The cells of one column of the view, top to bottom.
    QStringList Column(int column);
    std::optional<TagRecord> Stored(const std::string& tag);
    // The plate's "eTag" value in the list of carType; nullopt when the value (or plate) is missing.
    std::optional<std::string> PlateTag(int carType, const std::string& plate);
    // Puts a plate into a plate list, optionally with an "eTag" value.
    static void AddPlate(Hive& hive, int carType, const std::string& plate,
                         std::optional<std::string> tag = std::nullopt);

    AppConfig config;
    LanguageTexts texts;
    int keyboardShown = 0;
    int keyboardHidden = 0;

private:
    TempDir dir;
    std::unique_ptr<SqliteHive> hive;
    std::unique_ptr<ReadFailingHive> failing;
    std::unique_ptr<TagStore> store;
    std::unique_ptr<PlateList> cars;
    std::unique_ptr<PlateList> motorcycles;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<RegisterContext> context;
    std::unique_ptr<FakeRegisterView> fake;
    std::unique_ptr<MainDialog> main;
};

// The base of the main window's tests: scripted prompts, and a register whose window a test
// opens with Open() once it has seeded the hive or replaced the texts.
class MainWindowTest : public ::testing::Test {
protected:
    ScriptedPrompts prompts;
    RegisterHarness harness{{}, {}, {.view = RegisterHarness::View::Later}};
    MainDialog* main = nullptr;

    void Open() { main = &harness.OpenWindow(); }
    void CloseWindow() {
        main = nullptr;
        harness.CloseWindow();
    }
    void TearDown() override { CloseWindow(); }
};
