#ifdef _WIN32

#include "WinRegistryHive.h"

#include "RegistryBranch.h"

namespace {

std::string Convert(const std::string& text, UINT from, UINT to) {
    if (text.empty())
        return {};
    int wide = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), w.data(), wide);
    int bytes = WideCharToMultiByte(to, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(to, 0, w.data(), wide, out.data(), bytes, nullptr, nullptr);
    return out;
}

std::string ToAnsi(const std::string& utf8) { return Convert(utf8, CP_UTF8, CP_ACP); }
std::string FromAnsi(const std::string& ansi) { return Convert(ansi, CP_ACP, CP_UTF8); }

// Closes a key however the caller leaves.
class OpenKey {
public:
    OpenKey(HKEY root, const std::string& path, REGSAM access) {
        if (RegOpenKeyExA(root, ToAnsi(path).c_str(), 0, access, &key) != ERROR_SUCCESS)
            key = nullptr;
    }
    ~OpenKey() {
        if (key)
            RegCloseKey(key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY Get() const { return key; }
    explicit operator bool() const { return key != nullptr; }

private:
    HKEY key = nullptr;
};

} // namespace

WinRegistryHive::WinRegistryHive(HKEY root, bool readOnly) : root(root), readOnly(readOnly) {}

bool WinRegistryHive::CreateKey(const std::string& path, bool* created) {
    if (readOnly)
        return false;
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(root, ToAnsi(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    if (created)
        *created = disposition == REG_CREATED_NEW_KEY;
    return true;
}

bool WinRegistryHive::KeyExists(const std::string& path) {
    return static_cast<bool>(OpenKey(root, path, readOnly ? KEY_READ : KEY_ALL_ACCESS));
}

std::optional<std::vector<std::string>> WinRegistryHive::SubKeys(const std::string& path) {
    OpenKey key(root, path, readOnly ? KEY_READ : KEY_ALL_ACCESS);
    if (!key)
        return std::nullopt;
    DWORD count = 0;
    RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr);
    std::vector<std::string> names;
    for (DWORD i = 0; i < count; ++i) {
        char name[260];
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
            names.push_back(FromAnsi(std::string(name, length)));
    }
    return names;
}

bool WinRegistryHive::DeleteKey(const std::string& path) {
    return !readOnly && RegDeleteKeyA(root, ToAnsi(path).c_str()) == ERROR_SUCCESS;
}

bool WinRegistryHive::SetValue(const std::string& path, const std::string& name, const HiveValue& value) {
    if (readOnly)
        return false;
    OpenKey key(root, path, KEY_ALL_ACCESS);
    if (!key)
        return false;
    std::string data = value.type == ValueType::String ? ToAnsi(value.data) : value.data;
    return RegSetValueExA(key.Get(), ToAnsi(name).c_str(), 0, static_cast<DWORD>(value.type),
                          reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

std::optional<HiveValue> WinRegistryHive::GetValue(const std::string& path, const std::string& name) {
    OpenKey key(root, path, readOnly ? KEY_READ : KEY_ALL_ACCESS);
    if (!key)
        return std::nullopt;
    DWORD type = 0, size = 0;
    std::string ansiName = ToAnsi(name);
    if (RegQueryValueExA(key.Get(), ansiName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::string data(size, '\0');
    if (RegQueryValueExA(key.Get(), ansiName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    HiveValue value{static_cast<ValueType>(type), data};
    if (type == REG_SZ)
        value.data = FromAnsi(data);
    return value;
}

std::optional<std::vector<std::pair<std::string, HiveValue>>> WinRegistryHive::Values(const std::string& path) {
    OpenKey key(root, path, readOnly ? KEY_READ : KEY_ALL_ACCESS);
    if (!key)
        return std::nullopt;
    std::vector<std::pair<std::string, HiveValue>> values;
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD nameLength = sizeof name;
        DWORD type = 0, size = 0;
        if (RegEnumValueA(key.Get(), i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        auto value = GetValue(path, FromAnsi(std::string(name, nameLength)));
        if (value)
            values.push_back({FromAnsi(std::string(name, nameLength)), *value});
    }
    return values;
}

bool WinRegistryHive::SaveSubtree(const std::string& path, const std::string& file) {
    OpenKey key(root, path, KEY_ALL_ACCESS);
    return key && RegSaveKeyA(key.Get(), ToAnsi(file).c_str(), nullptr) == ERROR_SUCCESS;
}

bool WinRegistryHive::BeginBatch(bool write) {
    if (readOnly && write)
        return false;
    ++batchDepth;
    return true;
}

bool WinRegistryHive::EndBatch(bool commit) {
    if (batchDepth == 0)
        return false;
    --batchDepth;
    return commit;
}

bool EnablePrivilege(const std::string& name, bool enable) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    bool ok = LookupPrivilegeValueA(nullptr, name.c_str(), &privileges.Privileges[0].Luid) != 0;
    if (ok) {
        privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
        ok = AdjustTokenPrivileges(token, FALSE, &privileges, sizeof privileges, nullptr, nullptr) != 0 &&
             GetLastError() == ERROR_SUCCESS;
    }
    CloseHandle(token);
    return ok;
}

#endif
