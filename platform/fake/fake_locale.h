#pragma once
#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <utility>
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
    // As the taskbar answers: an icon is added once, and only one that is
    // there can be changed or removed; a taskbar still starting takes none.
    bool NotifyIcon(TrayMessage message, const TrayIconData& data) override {
        calls.push_back({message, data});
        if (!succeed) return false;
        auto key = std::make_pair(data.owner, data.id);
        switch (message) {
            case TrayMessage::Add:
                if (refuseAdds > 0) {
                    --refuseAdds;
                    return false;
                }
                return icons.insert(key).second;
            case TrayMessage::Modify: return icons.count(key) > 0;
            case TrayMessage::Delete: return icons.erase(key) > 0;
        }
        return false;
    }
    void HideTaskbarButton(WindowHandle window) override { hiddenButtons.push_back(window); }
    bool Open(const std::string& target) override {
        opened.push_back(target);
        return succeed;
    }
    // Programs by the document's extension, lower case with its dot.
    std::string AssociatedProgram(const std::string& document, std::error_code& error) override {
        associationQueries.push_back(document);
        std::string ext = document.substr(std::min(document.find_last_of('.'), document.size()));
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        auto it = associations.find(ext);
        error.clear();
        if (it != associations.end()) return it->second;
        error.assign(1155, std::system_category());  // no application is associated
        return {};
    }
    // Answers with `chosen`, recording the request.
    std::optional<ChosenFile> ChooseFile(const FileChoiceRequest& request) override {
        fileRequests.push_back(request);
        return chosen;
    }
    std::vector<Call> calls;
    std::set<std::pair<WindowHandle, std::uint32_t>> icons;  // in the notification area: owner and id
    int refuseAdds = 0;  // adds refused before the taskbar takes one
    std::vector<FileChoiceRequest> fileRequests;
    std::optional<ChosenFile> chosen;
    std::map<std::string, std::string> associations;
    std::vector<std::string> associationQueries;
    std::vector<WindowHandle> hiddenButtons;
    std::vector<std::string> opened;
    bool succeed = true;
};

}  // namespace platform::fake
