#pragma once
#include <string>

namespace platform {

// Text rules of the user's locale and the system's ANSI code page.
class Locale {
public:
    virtual ~Locale() = default;
    // UTF-8 to the bytes of the ANSI code page, and back.
    virtual std::string AnsiEncode(const std::string& utf8) = 0;
    virtual std::string AnsiDecode(const std::string& ansi) = 0;
    // The system's lower-case conversion for the user's locale.
    virtual std::string Lower(const std::string& utf8) = 0;
    // Linguistic comparison that ignores letter case.
    virtual bool EqualsIgnoreCase(const std::string& a, const std::string& b) = 0;
};

}  // namespace platform
