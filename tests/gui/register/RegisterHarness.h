#pragma once

// A main window over a register in a temporary hive, for the tests of the register's flows.
#include "core/app/AppConfig.h"
#include "core/app/RegisterContext.h"
#include "core/app/SettingsStore.h"
#include "core/register/PlateList.h"
#include "core/register/TagStore.h"
#include "core/store/SqliteHive.h"
#include "core/text/LanguageTexts.h"
#include "gui/controls/CListCtrlEx.h"
#include "gui/register/MainDialog.h"
#include "tests/support/ReadFailingHive.h"
#include "tests/support/TempDir.h"

#include <QString>
#include <QStringList>

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

class RegisterHarness {
public:
    // seed runs on the writable hive before the window loads the register; with readOnly the
    // window then works on the same hive opened for reading only, so every store write fails.
    // busyTimeoutMs: how long a write waits for another program's lock. With failingReads the
    // window works through a ReadFailingHive (see FailingReads()).
    explicit RegisterHarness(std::vector<SeedRecord> records = {}, std::function<void(Hive&)> seed = {},
                             bool readOnly = false, int busyTimeoutMs = 15000, bool failingReads = false) {
        const std::string file = dir.File("user.hive");
        {
            auto writable = SqliteHive::Open(file, busyTimeoutMs);
            TagStore seedStore(*writable);
            for (const SeedRecord& r : records) {
                TagRecord record{r.tagId, r.plate, r.carType, false, false};
                (void)seedStore.WriteRecord(r.tagId, &record);
                if (r.marked)
                    (void)seedStore.WriteMark(r.tagId, 1);
                if (r.useOk)
                    (void)seedStore.WriteUseOk(r.tagId, 1);
            }
            if (seed)
                seed(*writable);
            if (!readOnly)
                hive = std::move(writable);
        }
        if (readOnly)
            hive = SqliteHive::OpenReadOnly(file);
        texts.LoadShared();
        if (failingReads)
            failing = std::make_unique<ReadFailingHive>(*hive);
        Hive& used = failing ? static_cast<Hive&>(*failing) : *hive;
        store = std::make_unique<TagStore>(used);
        cars = std::make_unique<PlateList>(used, 1);
        motorcycles = std::make_unique<PlateList>(used, 2);
        settings = std::make_unique<SettingsStore>(used);
        context = std::make_unique<RegisterContext>(
            RegisterContext{config, texts, *store, *cars, *motorcycles, *settings, {}, {}});
        main = std::make_unique<MainDialog>(*context);
    }

    MainDialog& Main() { return *main; }
    CListCtrlEx& List() { return *main->List(); }
    TagStore& Store() { return *store; }
    ReadFailingHive& FailingReads() { return *failing; }
    std::string File(const std::string& name) const { return dir.File(name); }
    QString Path(const std::string& name) const { return QString::fromStdString(dir.File(name)); }

    QStringList Column(int col) {
        QStringList cells;
        for (int row = 0; row < List().RowCount(); ++row)
            cells << List().CellText(row, col);
        return cells;
    }

    std::optional<TagRecord> Stored(const std::string& tag) {
        TagRecord record;
        if (!store->ReadRecord(tag, &record))
            return std::nullopt;
        record.tagId = tag;
        return record;
    }

    // The plate's "eTag" value in the list of carType; nullopt when the value (or plate) is missing.
    std::optional<std::string> PlateTag(int carType, const std::string& plate) {
        PlateList& list = carType == 2 ? *motorcycles : *cars;
        auto key = list.OpenKey("\\" + plate);
        if (!key)
            return std::nullopt;
        return key->GetString("eTag", 256);
    }

    // Puts a plate into a plate list, optionally with an "eTag" value.
    static void AddPlate(Hive& hive, int carType, const std::string& plate,
                         std::optional<std::string> tag = std::nullopt) {
        PlateList list(hive, carType);
        auto key = list.CreateKey("\\" + plate);
        if (key && tag)
            (void)key->SetString("eTag", *tag);
    }

    AppConfig config;
    LanguageTexts texts;

private:
    TempDir dir;
    std::unique_ptr<SqliteHive> hive;
    std::unique_ptr<ReadFailingHive> failing;
    std::unique_ptr<TagStore> store;
    std::unique_ptr<PlateList> cars;
    std::unique_ptr<PlateList> motorcycles;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<RegisterContext> context;
    std::unique_ptr<MainDialog> main;
};

// A 24-character tag id numbered n.
inline std::string TagNo(int n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "E2000017221101%010d", n);
    return buf;
}
