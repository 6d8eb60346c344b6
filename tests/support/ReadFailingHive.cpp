#include "tests/support/ReadFailingHive.h"

bool ReadFailingHive::Fails() {
    if (failAt == 0 || ++done != failAt)
        return false;
    NoteStoreError(true);
    return true;
}

bool ReadFailingHive::CreateKey(const std::string& path, bool* created) {
    return !Fails() && inner.CreateKey(path, created);
}

bool ReadFailingHive::KeyExists(const std::string& path) { return !Fails() && inner.KeyExists(path); }

std::optional<std::vector<std::string>> ReadFailingHive::SubKeys(const std::string& path) {
    if (Fails())
        return std::nullopt;
    return inner.SubKeys(path);
}

bool ReadFailingHive::DeleteKey(const std::string& path) { return !Fails() && inner.DeleteKey(path); }

bool ReadFailingHive::SetValue(const std::string& path, const std::string& name, const HiveValue& value) {
    return !Fails() && inner.SetValue(path, name, value);
}

std::optional<HiveValue> ReadFailingHive::GetValue(const std::string& path, const std::string& name) {
    if (Fails())
        return std::nullopt;
    return inner.GetValue(path, name);
}

std::optional<std::vector<std::pair<std::string, HiveValue>>> ReadFailingHive::Values(const std::string& path) {
    if (Fails())
        return std::nullopt;
    return inner.Values(path);
}

bool ReadFailingHive::SaveSubtree(const std::string& path, const std::string& file) {
    return !Fails() && inner.SaveSubtree(path, file);
}
