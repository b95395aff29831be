#include "platform/win32/registry_win32.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/text.h"

namespace platform::win32 {

namespace {

HKEY RootHandle(RootKey root) {
    switch (root) {
        case RootKey::CurrentUser: return HKEY_CURRENT_USER;
        case RootKey::LocalMachine: return HKEY_LOCAL_MACHINE;
        default: return nullptr;
    }
}

HKEY H(const RegKey& key) { return reinterpret_cast<HKEY>(key.native()); }

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Change notifications on the key (values and keys below it) and on its
// parent (keys coming and going), both signalling one event. Asking costs one
// wait with no timeout; nothing runs while nobody asks.
class Win32Watch : public RegistryWatch {
public:
    Win32Watch(HKEY root, std::wstring path) : root_(root), path_(std::move(path)) {
        event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    Win32Watch(const Win32Watch&) = delete;
    Win32Watch& operator=(const Win32Watch&) = delete;
    ~Win32Watch() override {
        Disarm();
        if (event_) CloseHandle(event_);
    }
    bool Changed() override {
        if (armed_ && WaitForSingleObject(event_, 0) == WAIT_TIMEOUT) return false;
        // Closing a watched key signals the event: reset after closing, then
        // watch again before the caller reads, so no change falls in between.
        Disarm();
        if (event_) ResetEvent(event_);
        armed_ = Arm();
        return true;
    }

private:
    bool Notify(HKEY key, BOOL subtree, DWORD filter) {
        return RegNotifyChangeKeyValue(key, subtree, filter, event_, TRUE) == ERROR_SUCCESS;
    }
    bool Arm() {
        if (!event_ || !root_) return false;
        size_t cut = path_.find_last_of(L'\\');
        std::wstring parent = cut == std::wstring::npos ? L"" : path_.substr(0, cut);
        if (RegOpenKeyExW(root_, parent.c_str(), 0, KEY_NOTIFY, &parent_) != ERROR_SUCCESS) parent_ = nullptr;
        LONG rc = RegOpenKeyExW(root_, path_.c_str(), 0, KEY_NOTIFY, &key_);
        if (rc != ERROR_SUCCESS) key_ = nullptr;
        if (rc == ERROR_FILE_NOT_FOUND) return ArmForComing();
        return parent_ && key_ && Notify(parent_, FALSE, REG_NOTIFY_CHANGE_NAME) &&
               Notify(key_, TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET);
    }
    // A key that is not there (a policy key, mostly) comes with a new key
    // somewhere below the nearest one that is: watched there, a missing key
    // costs nothing until then.
    bool ArmForComing() {
        // The parent, opened already where it is there, is the first key above.
        std::wstring above = path_.substr(0, path_.find_last_of(L'\\'));
        while (!parent_) {
            size_t cut = above.find_last_of(L'\\');
            if (cut == std::wstring::npos) return false;
            above.resize(cut);
            LONG rc = RegOpenKeyExW(root_, above.c_str(), 0, KEY_NOTIFY, &parent_);
            if (rc == ERROR_SUCCESS) break;
            parent_ = nullptr;
            if (rc != ERROR_FILE_NOT_FOUND) return false;
        }
        return Notify(parent_, TRUE, REG_NOTIFY_CHANGE_NAME);
    }
    void Disarm() {
        if (key_) RegCloseKey(key_);
        if (parent_) RegCloseKey(parent_);
        key_ = parent_ = nullptr;
        armed_ = false;
    }

    HKEY root_;
    std::wstring path_;
    HANDLE event_ = nullptr;
    HKEY key_ = nullptr;
    HKEY parent_ = nullptr;
    bool armed_ = false;
};

}  // namespace

std::unique_ptr<RegistryWatch> Win32Registry::Watch(RootKey root, const std::string& path) {
    return std::make_unique<Win32Watch>(RootHandle(root), Widen(path));
}

static std::error_code Status(LONG rc) { return {static_cast<int>(rc), std::system_category()}; }

RegKey Win32Registry::OpenKey(RootKey root, const std::string& path) {
    HKEY r = RootHandle(root);
    if (!r) return RegKey(Status(ERROR_INVALID_HANDLE));
    HKEY out = nullptr;
    LONG rc = RegOpenKeyExW(r, Widen(path).c_str(), 0, KEY_READ, &out);
    if (rc != ERROR_SUCCESS) return RegKey(Status(rc));
    return RegKey(*this, reinterpret_cast<std::uintptr_t>(out));
}

RegKey Win32Registry::CreateKey(RootKey root, const std::string& path) {
    HKEY r = RootHandle(root);
    if (!r) return RegKey(Status(ERROR_INVALID_HANDLE));
    HKEY out = nullptr;
    LONG rc = RegCreateKeyExW(r, Widen(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                              nullptr, &out, nullptr);
    if (rc != ERROR_SUCCESS) return RegKey(Status(rc));
    return RegKey(*this, reinterpret_cast<std::uintptr_t>(out));
}

std::error_code Win32Registry::Query(const RegKey& key, const std::string& name, RegData& out) {
    if (!key) return key.status() ? key.status() : Status(ERROR_INVALID_HANDLE);
    std::wstring wname = Widen(name);
    DWORD type = 0, size = 0;
    // One call for the usual short value; a longer one says its size and is
    // read again (it may have grown in between).
    std::vector<BYTE> buf(512);
    LONG rc;
    for (;;) {
        size = static_cast<DWORD>(buf.size());
        rc = RegQueryValueExW(H(key), wname.c_str(), nullptr, &type, buf.data(), &size);
        if (rc != ERROR_MORE_DATA) break;
        buf.resize(std::max<size_t>(size + sizeof(wchar_t), buf.size() * 2));
    }
    if (rc != ERROR_SUCCESS) return Status(rc);
    out.type = type;
    if (IsStringType(type)) {
        out.data = Narrow(reinterpret_cast<const wchar_t*>(buf.data()), size / sizeof(wchar_t));
    } else {
        out.data.assign(reinterpret_cast<const char*>(buf.data()), size);
    }
    return {};
}

std::error_code Win32Registry::SetValue(const RegKey& key, const std::string& name, const RegData& value) {
    if (!key) return key.status() ? key.status() : Status(ERROR_INVALID_HANDLE);
    std::wstring wname = Widen(name);
    if (IsStringType(value.type)) {
        // Exactly the characters given: no terminator is added. The system
        // takes a NUL just past the data for a terminator the caller forgot
        // to count and stores it too; a non-NUL unit there keeps it out.
        std::wstring w = Widen(value.data);
        DWORD bytes = static_cast<DWORD>(w.size() * sizeof(wchar_t));
        w += L'\xFFFF';
        return Status(RegSetValueExW(H(key), wname.c_str(), 0, value.type, reinterpret_cast<const BYTE*>(w.data()),
                                     bytes));
    }
    return Status(RegSetValueExW(H(key), wname.c_str(), 0, value.type,
                                 reinterpret_cast<const BYTE*>(value.data.data()),
                                 static_cast<DWORD>(value.data.size())));
}

std::error_code Win32Registry::DeleteValue(const RegKey& key, const std::string& name) {
    if (!key) return key.status() ? key.status() : Status(ERROR_INVALID_HANDLE);
    return Status(RegDeleteValueW(H(key), Widen(name).c_str()));
}

void Win32Registry::CloseKey(std::uintptr_t handle) noexcept { RegCloseKey(reinterpret_cast<HKEY>(handle)); }

}  // namespace platform::win32
