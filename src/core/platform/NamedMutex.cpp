#include "core/platform/NamedMutex.h"

#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

NamedMutex::NamedMutex(std::string mutexName) : name(std::move(mutexName)) {}

#ifdef _WIN32

NamedMutex::~NamedMutex() {
    if (handle)
        CloseHandle(handle);
}

NamedMutex::Result NamedMutex::Acquire() {
    if (handle)
        return Result::Acquired;
    int length =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), static_cast<int>(name.size()), nullptr, 0);
    if (length <= 0)
        return Result::Failed;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), static_cast<int>(name.size()), wide.data(), length);
    HANDLE created = CreateMutexW(nullptr, FALSE, wide.c_str());
    DWORD error = GetLastError();
    if (created && error == ERROR_ALREADY_EXISTS) {
        CloseHandle(created);
        return Result::HeldElsewhere;
    }
    // A mutex made by another user's copy (an elevated one, say) exists but may not be opened.
    if (!created)
        return error == ERROR_ACCESS_DENIED ? Result::HeldElsewhere : Result::Failed;
    handle = created;
    return Result::Acquired;
}

#else

NamedMutex::~NamedMutex() = default;

NamedMutex::Result NamedMutex::Acquire() {
    return Result::Acquired;
}

#endif
