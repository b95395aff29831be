#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

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

// What the system's open-file dialog is asked to show.
struct FileChoiceRequest {
    WindowHandle owner;
    // Pairs of a description and its patterns, in the order shown.
    std::vector<std::pair<std::string, std::string>> filters;
    int filterIndex = 1;  // counted from 1
    std::string initialFolder;
    std::string title;
    std::string defaultExtension;
};

// The file the user chose: its full path and its name without the folder.
struct ChosenFile {
    std::string path;
    std::string title;
};

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
    // Shows the open-file dialog modally; nothing when the user cancels it.
    virtual std::optional<ChosenFile> ChooseFile(const FileChoiceRequest& request) = 0;
};

}  // namespace platform
