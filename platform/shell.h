#pragma once
#include <cstdint>
#include <string>
#include <system_error>

#include "platform/handles.h"

namespace platform {

// The notification-area record, in the platform's own layout.
struct TrayIconData {
    WindowHandle owner;
    std::uint32_t id = 1;
    std::uint32_t flags = 7;  // message, icon, tip
    std::uint32_t callbackMessage = 512;
    IconHandle icon;
    std::string tip;  // at most 63 characters are kept
};

enum class TrayMessage { Add = 0, Modify = 1, Delete = 2 };

// What the system asks of the Windows shell.
class Shell {
public:
    virtual ~Shell() = default;
    // Shell_NotifyIcon; true when the system reports success.
    virtual bool NotifyIcon(TrayMessage message, const TrayIconData& data) = 0;
    // Removes a window's button from the taskbar.
    virtual void HideTaskbarButton(WindowHandle window) = 0;
    // Opens a document or URL with its associated program.
    virtual bool Open(const std::string& target) = 0;
    // The program that opens an existing document, as the shell's file
    // associations name it; "" with the system's status when there is none.
    virtual std::string AssociatedProgram(const std::string& document, std::error_code& error) = 0;
};

}  // namespace platform
