#pragma once
#include <cstdint>
#include <string>
#include <system_error>

namespace platform {

// The notification-area record, in the platform's own layout.
struct TrayIconData {
    std::uintptr_t owner = 0;
    std::uint32_t id = 1;
    std::uint32_t flags = 7;  // message, icon, tip
    std::uint32_t callbackMessage = 512;
    std::uintptr_t icon = 0;
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
    virtual void HideTaskbarButton(std::uintptr_t window) = 0;
    // Opens a document or URL with its associated program.
    virtual bool Open(const std::string& target) = 0;
    // The program that opens an existing document, as the shell's file
    // associations name it; "" with the system's status when there is none.
    virtual std::string AssociatedProgram(const std::string& document, std::error_code& error) = 0;
};

}  // namespace platform
