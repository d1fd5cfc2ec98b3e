// Owners for the system's handles, so that every path out of a function
// closes what it opened.
#pragma once

#include <string>
#include <windows.h>

namespace platform::win32 {

class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE handle) : handle_(Valid(handle) ? handle : nullptr) {}
    ~Handle() { Reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = other.handle_;
            other.handle_ = nullptr;
        }
        return *this;
    }

    HANDLE Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(HANDLE handle = nullptr) {
        if (handle_)
            CloseHandle(handle_);
        handle_ = Valid(handle) ? handle : nullptr;
    }

private:
    // Some calls fail with null, others with INVALID_HANDLE_VALUE.
    static bool Valid(HANDLE handle) { return handle && handle != INVALID_HANDLE_VALUE; }
    HANDLE handle_ = nullptr;
};

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (key_)
            RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    HKEY Get() const { return key_; }
    PHKEY Out() { return &key_; }

private:
    HKEY key_ = nullptr;
};

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    ~FindHandle() {
        if (handle_ != INVALID_HANDLE_VALUE)
            FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

// The system's text for an error code, on one line.
std::string SystemMessage(DWORD error);

} // namespace platform::win32
