#pragma once
#include <vector>

#include "platform/text_locale.h"
#include "platform/shell.h"

namespace platform::fake {

// ISO 8859-1 as the ANSI code page; lower case for ASCII and Latin-1 letters.
class FakeLocale : public Locale {
public:
    std::string AnsiEncode(const std::string& utf8) override;
    std::string AnsiDecode(const std::string& ansi) override;
    std::string Lower(const std::string& utf8) override;
    bool EqualsIgnoreCase(const std::string& a, const std::string& b) override { return Lower(a) == Lower(b); }
};

class FakeShell : public Shell {
public:
    struct Call {
        TrayMessage message;
        TrayIconData data;
    };
    bool NotifyIcon(TrayMessage message, const TrayIconData& data) override {
        calls.push_back({message, data});
        return succeed;
    }
    void HideTaskbarButton(WindowHandle window) override { hiddenButtons.push_back(window); }
    bool Open(const std::string& target) override {
        opened.push_back(target);
        return succeed;
    }
    std::vector<Call> calls;
    std::vector<WindowHandle> hiddenButtons;
    std::vector<std::string> opened;
    bool succeed = true;
};

}  // namespace platform::fake
