#pragma once
#include "platform/shell.h"

namespace platform::win32 {

class Win32Shell : public Shell {
public:
    bool NotifyIcon(TrayMessage message, const TrayIconData& data) override;
    void HideTaskbarButton(WindowHandle window) override;
    bool Open(const std::string& target) override;
    std::string AssociatedProgram(const std::string& document, std::error_code& error) override;
    std::optional<ChosenFile> ChooseFile(const FileChoiceRequest& request) override;
};

}  // namespace platform::win32
