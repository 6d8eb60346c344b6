#include "core/store/RegistryBranch.h"

bool HiveKey::SetString(const std::string& name, const std::string& text) {
    return hive->SetValue(path, name, StringValue(text));
}

bool HiveKey::SetDword(const std::string& name, std::uint32_t number) {
    return hive->SetValue(path, name, DwordValue(number));
}

std::optional<std::string> HiveKey::GetString(const std::string& name, size_t bufferBytes) {
    auto value = hive->GetValue(path, name);
    if (!value)
        return std::nullopt;
    return StringThroughBuffer(*value, bufferBytes);
}

std::optional<std::string> StringThroughBuffer(const HiveValue& value, size_t bufferBytes) {
    if (value.data.size() > bufferBytes)
        return std::nullopt;
    std::string text = value.data;
    size_t zero = text.find('\0');
    if (zero != std::string::npos)
        text.resize(zero);
    if (text.size() >= bufferBytes)
        return std::nullopt; // no room left for the terminating zero
    return text;
}

std::optional<std::uint32_t> HiveKey::GetDword(const std::string& name) {
    auto value = hive->GetValue(path, name);
    if (!value)
        return std::nullopt;
    return AsDword(*value);
}

RegistryBranch::RegistryBranch(Hive& branchHive, std::string branchPath)
    : hive(branchHive), subPath(std::move(branchPath)) {}

RegistryBranch::~RegistryBranch() = default;

std::string RegistryBranch::FullPath(const std::string& rel) const { return std::string(kSuiteKey) + subPath + rel; }

std::optional<HiveKey> RegistryBranch::CreateKey(const std::string& rel, bool* created) {
    std::string path = FullPath(rel);
    if (!hive.CreateKey(path, created))
        return std::nullopt;
    return HiveKey(hive, path);
}

std::optional<HiveKey> RegistryBranch::OpenKey(const std::string& rel) {
    std::string path = FullPath(rel);
    if (!hive.KeyExists(path))
        return std::nullopt;
    return HiveKey(hive, path);
}

int RegistryBranch::EnumSubKeys(const std::string& rel, std::vector<std::string>& names) {
    names.clear();
    int errors = hive.StoreErrors();
    auto found = hive.SubKeys(FullPath(rel));
    if (!found)
        return hive.StoreErrors() == errors ? 0 : -1;
    names = std::move(*found);
    return static_cast<int>(names.size());
}

bool RegistryBranch::DeleteTree(const std::string& rel) {
    std::vector<std::string> names;
    if (EnumSubKeys(rel, names) < 0)
        return false;
    // One transaction, so other readers never see half a tree gone.
    HiveBatch batch(hive);
    bool ok = DeleteChildren(rel, names, true);
    if (!ok) {
        batch.Rollback();
        return false;
    }
    return batch.Commit();
}

bool RegistryBranch::DeleteChildren(const std::string& rel, const std::vector<std::string>& names, bool deleteSelf) {
    bool ok = true;
    // Every name of a level is listed before any key of it goes, and a key goes after its children.
    for (const std::string& name : names) {
        std::string child = rel + "\\" + name;
        std::vector<std::string> grandChildren;
        int found = EnumSubKeys(child, grandChildren);
        if (found < 0)
            return false;
        if (found > 0)
            ok = DeleteChildren(child, grandChildren, false) && ok;
        ok = hive.DeleteKey(FullPath(child)) && ok;
    }
    if (deleteSelf)
        ok = hive.DeleteKey(FullPath(rel)) && ok;
    return ok;
}

bool RegistryBranch::SaveToFile(const std::string& rel, const std::string& file) {
    if (file.empty())
        return false;
    EnablePrivilege("SeBackupPrivilege", true);
    bool ok = hive.KeyExists(FullPath(rel)) && hive.SaveSubtree(FullPath(rel), file);
    EnablePrivilege("SeBackupPrivilege", false);
    return ok;
}

#ifndef _WIN32
bool EnablePrivilege(const std::string&, bool) { return true; }
#endif

bool IsSafeKeyName(const std::string& text) {
    if (text.empty())
        return false;
    for (unsigned char c : text)
        if (c == '\\' || c < 0x20 || c == 0x7F)
            return false;
    return true;
}
