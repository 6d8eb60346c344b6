#ifdef _WIN32

#include "core/store/WinRegistryHive.h"

#include "core/store/RegistryBranch.h"

#include <algorithm>

namespace {

// Invalid UTF-8 is refused rather than stored as replacement characters.
std::optional<std::wstring> ToWide(const std::string& utf8) {
    if (utf8.empty())
        return std::wstring();
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                                     nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    return wide;
}

std::string ToUtf8(const wchar_t* wide, size_t length) {
    if (length == 0)
        return {};
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(std::max(bytes, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), out.data(), bytes, nullptr, nullptr);
    return out;
}

// Paths as the other hive takes them: names between single "\", none empty.
bool ValidPath(const std::string& path) {
    return !path.empty() && path.front() != '\\' && path.back() != '\\' && path.find("\\\\") == std::string::npos;
}

bool Missing(LSTATUS status) { return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND; }

// A string value's bytes as stored: UTF-16 with its terminating zero, as the registry expects.
std::optional<std::string> StoredString(const std::string& utf8) {
    auto wide = ToWide(utf8);
    if (!wide)
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(wide->c_str()), (wide->size() + 1) * sizeof(wchar_t));
}

// Back to the hive's form: UTF-8 without the terminating zero (values written by others may lack it).
HiveValue FromStored(DWORD type, const BYTE* data, DWORD size) {
    if (type != REG_SZ)
        return HiveValue{static_cast<ValueType>(type), std::string(reinterpret_cast<const char*>(data), size)};
    const auto* wide = reinterpret_cast<const wchar_t*>(data);
    size_t length = size / sizeof(wchar_t);
    while (length > 0 && wide[length - 1] == L'\0')
        --length;
    return StringValue(ToUtf8(wide, length));
}

// Closes a key however the caller leaves.
class OpenKey {
public:
    OpenKey(HKEY root, const std::string& path, REGSAM access) {
        auto wide = ToWide(path);
        status = wide ? RegOpenKeyExW(root, wide->c_str(), 0, access, &key) : ERROR_INVALID_NAME;
        if (status != ERROR_SUCCESS)
            key = nullptr;
    }
    ~OpenKey() {
        if (key)
            RegCloseKey(key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY Get() const { return key; }
    LSTATUS Status() const { return status; }
    explicit operator bool() const { return key != nullptr; }

private:
    HKEY key = nullptr;
    LSTATUS status = ERROR_SUCCESS;
};

} // namespace

WinRegistryHive::WinRegistryHive(HKEY rootKey, bool onlyRead) : root(rootKey), readOnly(onlyRead) {}

void WinRegistryHive::Remember(std::function<void()> undo) {
    if (batchDepth > 0)
        undoLog.push_back(std::move(undo));
}

bool WinRegistryHive::CreateKey(const std::string& path, bool* created) {
    if (readOnly || !ValidPath(path))
        return false;
    // Each missing key of the chain is created on its own, so that a rollback can remove
    // exactly the ones this call made.
    bool made = false;
    size_t at = 0;
    while (true) {
        size_t end = path.find('\\', at);
        std::string sofar = path.substr(0, end);
        auto wide = ToWide(sofar);
        HKEY key = nullptr;
        DWORD disposition = 0;
        LSTATUS status = wide ? RegCreateKeyExW(root, wide->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                KEY_ALL_ACCESS, nullptr, &key, &disposition)
                              : ERROR_INVALID_NAME;
        if (status != ERROR_SUCCESS) {
            NoteStoreError();
            return false;
        }
        RegCloseKey(key);
        if (disposition == REG_CREATED_NEW_KEY) {
            made = true;
            Remember([this, sofar] { (void)DeleteKey(sofar); });
        }
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    if (created)
        *created = made;
    return true;
}

bool WinRegistryHive::KeyExists(const std::string& path) {
    if (path.empty())
        return true;
    OpenKey key(root, path, KEY_READ);
    if (!key && !Missing(key.Status()))
        NoteStoreError();
    return static_cast<bool>(key);
}

std::optional<std::vector<std::string>> WinRegistryHive::SubKeys(const std::string& path) {
    OpenKey key(root, path, KEY_READ);
    if (!key) {
        if (!Missing(key.Status()))
            NoteStoreError();
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = sizeof name / sizeof name[0];
        LSTATUS status = RegEnumKeyExW(key.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS) {
            NoteStoreError();
            return std::nullopt; // never a part of the list as if it were all
        }
        names.push_back(ToUtf8(name, length));
    }
    // The same order as the other hive, whatever order the registry enumerates in.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        std::string fa = FoldName(a), fb = FoldName(b);
        return fa != fb ? fa < fb : a < b;
    });
    return names;
}

bool WinRegistryHive::DeleteKey(const std::string& path) {
    if (readOnly || !ValidPath(path))
        return false;
    auto values = batchDepth > 0 ? Values(path) : std::nullopt;
    auto wide = ToWide(path);
    LSTATUS status = wide ? RegDeleteKeyW(root, wide->c_str()) : ERROR_INVALID_NAME;
    if (status != ERROR_SUCCESS) {
        if (!Missing(status) && status != ERROR_ACCESS_DENIED) // a key with subkeys is refused, as in the other hive
            NoteStoreError();
        return false;
    }
    if (values)
        Remember([this, path, values] {
            if (!CreateKey(path, nullptr))
                return;
            for (const auto& [name, value] : *values)
                (void)SetValue(path, name, value);
        });
    return true;
}

bool WinRegistryHive::SetValue(const std::string& path, const std::string& name, const HiveValue& value) {
    if (readOnly)
        return false;
    auto wideName = ToWide(name);
    std::optional<std::string> data = value.type == ValueType::String ? StoredString(value.data) : value.data;
    if (!wideName || !data)
        return false; // text that is not UTF-8 never reaches the registry
    OpenKey key(root, path, KEY_ALL_ACCESS);
    if (!key) {
        if (!Missing(key.Status()))
            NoteStoreError();
        return false;
    }
    std::optional<HiveValue> before;
    if (batchDepth > 0) {
        int errors = StoreErrors();
        before = GetValue(path, name);
        if (StoreErrors() != errors)
            return false;
    }
    if (RegSetValueExW(key.Get(), wideName->c_str(), 0, static_cast<DWORD>(value.type),
                       reinterpret_cast<const BYTE*>(data->data()), static_cast<DWORD>(data->size())) != ERROR_SUCCESS) {
        NoteStoreError();
        return false;
    }
    Remember([this, path, name, before] {
        if (before) {
            (void)SetValue(path, name, *before);
        } else if (auto wide = ToWide(name)) {
            OpenKey undo(root, path, KEY_ALL_ACCESS);
            if (undo)
                RegDeleteValueW(undo.Get(), wide->c_str());
        }
    });
    return true;
}

std::optional<HiveValue> WinRegistryHive::GetValue(const std::string& path, const std::string& name) {
    auto wideName = ToWide(name);
    if (!wideName)
        return std::nullopt;
    OpenKey key(root, path, KEY_READ);
    if (!key) {
        if (!Missing(key.Status()))
            NoteStoreError();
        return std::nullopt;
    }
    // The value may grow between asking its size and reading it: ask again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0, size = 0;
        LSTATUS status = RegQueryValueExW(key.Get(), wideName->c_str(), nullptr, &type, nullptr, &size);
        if (Missing(status))
            return std::nullopt;
        std::vector<BYTE> data(size);
        if (status == ERROR_SUCCESS)
            status = RegQueryValueExW(key.Get(), wideName->c_str(), nullptr, &type, data.data(), &size);
        if (status == ERROR_MORE_DATA)
            continue;
        if (Missing(status))
            return std::nullopt;
        if (status != ERROR_SUCCESS)
            break;
        return FromStored(type, data.data(), size);
    }
    NoteStoreError();
    return std::nullopt;
}

std::optional<std::vector<std::pair<std::string, HiveValue>>> WinRegistryHive::Values(const std::string& path) {
    OpenKey key(root, path, KEY_READ);
    if (!key) {
        if (!Missing(key.Status()))
            NoteStoreError();
        return std::nullopt;
    }
    DWORD longestName = 0, longestData = 0;
    if (RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                         &longestData, nullptr, nullptr) != ERROR_SUCCESS) {
        NoteStoreError();
        return std::nullopt;
    }
    std::vector<std::pair<std::string, HiveValue>> values;
    std::vector<wchar_t> name(longestName + 1);
    std::vector<BYTE> data(longestData);
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = 0, size = static_cast<DWORD>(data.size());
        LSTATUS status = RegEnumValueW(key.Get(), i, name.data(), &nameLength, nullptr, &type, data.data(), &size);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS) {
            NoteStoreError();
            return std::nullopt; // nothing rather than a part
        }
        values.push_back({ToUtf8(name.data(), nameLength), FromStored(type, data.data(), size)});
    }
    return values;
}

bool WinRegistryHive::SaveSubtree(const std::string& path, const std::string& file) {
    auto wideFile = ToWide(file);
    OpenKey key(root, path, KEY_ALL_ACCESS);
    return key && wideFile && RegSaveKeyW(key.Get(), wideFile->c_str(), nullptr) == ERROR_SUCCESS;
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
    // As in the other hive, an inner rollback fails the whole batch.
    batchFailed = batchFailed || !commit;
    if (--batchDepth > 0)
        return true;
    bool ok = !batchFailed;
    batchFailed = false;
    auto log = std::move(undoLog);
    undoLog.clear();
    if (!ok)
        for (auto undo = log.rbegin(); undo != log.rend(); ++undo)
            (*undo)(); // outside any batch now, so undoing logs nothing
    return ok;
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
