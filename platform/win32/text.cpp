#include "platform/win32/text.h"

#include <windows.h>

namespace platform::win32 {

namespace {

std::wstring ToWide(UINT codePage, const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

std::string FromWide(UINT codePage, const wchar_t* s, size_t length) {
    if (length == 0) return {};
    int n = WideCharToMultiByte(codePage, 0, s, static_cast<int>(length), nullptr, 0, nullptr,
                                nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, s, static_cast<int>(length), out.data(), n, nullptr,
                        nullptr);
    return out;
}

}  // namespace

std::wstring Widen(const std::string& utf8) { return ToWide(CP_UTF8, utf8); }
std::string Narrow(const std::wstring& utf16) { return FromWide(CP_UTF8, utf16.data(), utf16.size()); }
std::string Narrow(const wchar_t* utf16, size_t length) { return FromWide(CP_UTF8, utf16, length); }

std::string ToAnsi(const std::string& utf8) {
    std::wstring w = Widen(utf8);
    return FromWide(CP_ACP, w.data(), w.size());
}

std::string FromAnsi(const std::string& ansi) { return Narrow(ToWide(CP_ACP, ansi)); }

}  // namespace platform::win32
