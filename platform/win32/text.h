#pragma once
#include <string>

namespace platform::win32 {

// UTF-8 inside, UTF-16 at the Win32 boundary. Lengths are explicit, so
// embedded NULs survive both ways. Broken input is not refused: each broken
// UTF-8 sequence and each unpaired surrogate becomes U+FFFD, and nothing
// around it is lost.
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);
std::string Narrow(const wchar_t* utf16, size_t length);

// Text through the ANSI code page, for bytes that older ANSI callers stored.
std::string ToAnsi(const std::string& utf8);
std::string FromAnsi(const std::string& ansi);

}  // namespace platform::win32
