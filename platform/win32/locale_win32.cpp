#include "platform/win32/locale_win32.h"

#include <windows.h>

#include "platform/win32/text.h"

namespace platform::win32 {

std::string Win32Locale::AnsiEncode(const std::string& utf8) { return ToAnsi(utf8); }
std::string Win32Locale::AnsiDecode(const std::string& ansi) { return FromAnsi(ansi); }

// The user's locale by its LCID: the same rules as by its name, on every
// version from Windows 2000 on.
std::string Win32Locale::Lower(const std::string& utf8) {
    std::wstring w = Widen(utf8);
    if (w.empty()) return {};
    int n = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE, w.data(), static_cast<int>(w.size()), nullptr, 0);
    if (n <= 0) return utf8;
    std::wstring out(static_cast<size_t>(n), L'\0');
    n = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE, w.data(), static_cast<int>(w.size()), out.data(), n);
    if (n <= 0) return utf8;
    out.resize(static_cast<size_t>(n));
    return Narrow(out);
}

bool Win32Locale::EqualsIgnoreCase(const std::string& a, const std::string& b) {
    std::wstring wa = Widen(a), wb = Widen(b);
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.data(), static_cast<int>(wa.size()), wb.data(),
                          static_cast<int>(wb.size())) == CSTR_EQUAL;
}

}  // namespace platform::win32
