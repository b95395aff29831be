#pragma once
#include "platform/text_locale.h"

namespace platform::win32 {

class Win32Locale : public Locale {
public:
    std::string AnsiEncode(const std::string& utf8) override;
    std::string AnsiDecode(const std::string& ansi) override;
    std::string Lower(const std::string& utf8) override;
    bool EqualsIgnoreCase(const std::string& a, const std::string& b) override;
};

}  // namespace platform::win32
