#include "platform/win32/text.h"

#include <windows.h>

namespace platform::win32 {

namespace {

// Broken UTF-8 with each maximal broken sequence as U+FFFD, as Unicode
// recommends. The system's own replacement is not the same everywhere (Wine
// drops what follows a sequence cut short by the end of the text).
std::wstring WidenReplacing(const std::string& s) {
    std::wstring out;
    out.reserve(s.size());
    size_t i = 0, n = s.size();
    while (i < n) {
        unsigned b = static_cast<unsigned char>(s[i++]);
        if (b < 0x80) {
            out += static_cast<wchar_t>(b);
            continue;
        }
        // Trailing bytes, and the range the first of them must fall in:
        // no overlongs, no surrogates, nothing above U+10FFFF.
        int follow = 0;
        unsigned lo = 0x80, hi = 0xBF, cp = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            follow = 1, cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            follow = 2, cp = b & 0x0F;
            if (b == 0xE0) lo = 0xA0;
            if (b == 0xED) hi = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            follow = 3, cp = b & 0x07;
            if (b == 0xF0) lo = 0x90;
            if (b == 0xF4) hi = 0x8F;
        }
        int got = 0;
        for (; got < follow && i < n; ++got, ++i) {
            unsigned c = static_cast<unsigned char>(s[i]);
            if (c < (got == 0 ? lo : 0x80) || c > (got == 0 ? hi : 0xBF)) break;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (follow == 0 || got < follow) {
            out += L'\xFFFD';
        } else if (cp >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(cp);
        }
    }
    return out;
}

std::wstring ToWide(UINT codePage, const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(codePage, codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0, s.data(),
                                static_cast<int>(s.size()), nullptr, 0);
    if (n == 0 && codePage == CP_UTF8) return WidenReplacing(s);
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
