#include "tests/support/RegisterHarness.h"

#include <cstdio>

std::string TagNo(int n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "E2000017221101%010d", n);
    return buf;
}

RegisterHarness::RegisterHarness(std::vector<SeedRecord> records, std::function<void(Hive&)> seed, Options options) {
    const std::string file = dir.File("user.hive");
    {
        auto writable = SqliteHive::Open(file, options.busyTimeoutMs);
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
        if (!options.readOnly)
            hive = std::move(writable);
    }
    if (options.readOnly)
        hive = SqliteHive::OpenReadOnly(file);
    if (options.failingReads)
        failing = std::make_unique<ReadFailingHive>(*hive);
    Hive& used = failing ? static_cast<Hive&>(*failing) : *hive;
    store = std::make_unique<TagStore>(used);
    cars = std::make_unique<PlateList>(used, 1);
    motorcycles = std::make_unique<PlateList>(used, 2);
    settings = std::make_unique<SettingsStore>(used);
    context =
        std::make_unique<RegisterContext>(RegisterContext{config, texts, *store, *cars, *motorcycles, *settings,
                                                          [this] { ++keyboardShown; }, [this] { ++keyboardHidden; }});
    if (options.view == View::Window)
        (void)OpenWindow();
    if (options.view == View::Fake) {
        texts.LoadShared();
        fake = std::make_unique<FakeRegisterView>(*context);
        (void)fake->Load();
    }
}

RegisterHarness::~RegisterHarness() = default;

MainDialog& RegisterHarness::OpenWindow() {
    texts.LoadShared();
    main = std::make_unique<MainDialog>(*context);
    return *main;
}

bool RegisterHarness::Seed(const SeedRecord& r) {
    TagRecord record{r.tagId, r.plate, r.carType, false, false};
    return store->WriteRecord(r.tagId, &record) && (!r.marked || store->WriteMark(r.tagId, 1)) &&
           (!r.useOk || store->WriteUseOk(r.tagId, 1));
}

QStringList RegisterHarness::Column(int column) {
    RegisterView& view = ViewOf();
    QStringList cells;
    for (int row = 0; row < view.RowCount(); ++row)
        cells << view.CellText(row, column);
    return cells;
}

std::optional<TagRecord> RegisterHarness::Stored(const std::string& tag) {
    TagRecord record;
    if (!store->ReadRecord(tag, &record))
        return std::nullopt;
    record.tagId = tag;
    return record;
}

std::optional<std::string> RegisterHarness::PlateTag(int carType, const std::string& plate) {
    PlateList& list = carType == 2 ? *motorcycles : *cars;
    auto key = list.OpenKey("\\" + plate);
    if (!key)
        return std::nullopt;
    return key->GetString("eTag", 256);
}

void RegisterHarness::AddPlate(Hive& hive, int carType, const std::string& plate, std::optional<std::string> tag) {
    PlateList list(hive, carType);
    auto key = list.CreateKey("\\" + plate);
    if (key && tag)
        (void)key->SetString("eTag", *tag);
}
