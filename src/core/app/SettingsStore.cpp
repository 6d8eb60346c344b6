#include "core/app/SettingsStore.h"

SettingsStore::SettingsStore(Hive& userHive) : hive(userHive) {}

bool SettingsStore::EnsureKey() { return hive.CreateKey(kSettingKey, nullptr); }

int SettingsStore::GetLanguage() {
    // Read at start-up: a write here would wait for any other program's write lock.
    auto value = hive.GetValue(kSettingKey, "Language");
    if (!value)
        return 0;
    return static_cast<int>(AsDword(*value).value_or(0));
}

void SettingsStore::LoadReaderEndpoint(std::string& address, int& port) {
    (void)EnsureKey();
    auto dns = hive.GetValue(kSettingKey, "RFDNS");
    address = dns && dns->type == ValueType::String ? dns->data : std::string();
    if (auto p = hive.GetValue(kSettingKey, "RFPort"))
        if (auto n = AsDword(*p))
            port = static_cast<int>(*n);
}

bool SettingsStore::SaveReaderEndpoint(const std::string& address, int port) {
    HiveBatch batch(hive);
    bool ok = EnsureKey() && hive.SetValue(kSettingKey, "RFDNS", StringValue(address)) &&
              hive.SetValue(kSettingKey, "RFPort", DwordValue(static_cast<std::uint32_t>(port)));
    if (!ok) {
        batch.Rollback();
        return false;
    }
    return batch.Commit();
}
