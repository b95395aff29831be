#include "platform/win32/registry_win32.h"

#include <windows.h>

#include <algorithm>
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

HKEY H(Registry::Key key) { return reinterpret_cast<HKEY>(key); }

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

}  // namespace

Registry::Key Win32Registry::OpenKey(RootKey root, const std::string& path) {
    HKEY r = RootHandle(root);
    HKEY out = nullptr;
    if (!r || RegOpenKeyExW(r, Widen(path).c_str(), 0, KEY_READ, &out) != ERROR_SUCCESS) return 0;
    return reinterpret_cast<Key>(out);
}

Registry::Key Win32Registry::CreateKey(RootKey root, const std::string& path) {
    HKEY r = RootHandle(root);
    HKEY out = nullptr;
    if (!r || RegCreateKeyExW(r, Widen(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_READ | KEY_WRITE, nullptr, &out, nullptr) != ERROR_SUCCESS)
        return 0;
    return reinterpret_cast<Key>(out);
}

std::optional<RegData> Win32Registry::QueryValue(Key key, const std::string& name) {
    if (!key) return std::nullopt;
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
    if (rc != ERROR_SUCCESS) return std::nullopt;
    RegData out;
    out.type = type;
    if (IsStringType(type)) {
        out.data = Narrow(reinterpret_cast<const wchar_t*>(buf.data()), size / sizeof(wchar_t));
    } else {
        out.data.assign(reinterpret_cast<const char*>(buf.data()), size);
    }
    return out;
}

bool Win32Registry::SetValue(Key key, const std::string& name, const RegData& value) {
    if (!key) return false;
    std::wstring wname = Widen(name);
    if (IsStringType(value.type)) {
        // Exactly the characters given: no terminator is added.
        std::wstring w = Widen(value.data);
        return RegSetValueExW(H(key), wname.c_str(), 0, value.type,
                              reinterpret_cast<const BYTE*>(w.data()),
                              static_cast<DWORD>(w.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    return RegSetValueExW(H(key), wname.c_str(), 0, value.type,
                          reinterpret_cast<const BYTE*>(value.data.data()),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteValue(Key key, const std::string& name) {
    return key && RegDeleteValueW(H(key), Widen(name).c_str()) == ERROR_SUCCESS;
}

void Win32Registry::CloseKey(Key key) {
    if (key) RegCloseKey(H(key));
}

}  // namespace platform::win32
