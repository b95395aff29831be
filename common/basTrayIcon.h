#pragma once
#include <cstdint>
#include <string>

#include "platform/shell.h"

// The one notification-area icon, named by its owner window and identifier 1.
namespace basTrayIcon {

inline constexpr std::uint32_t kIconId = 1;
inline constexpr std::uint32_t kCallbackMessage = 512;  // WM_MOUSEMOVE
inline constexpr std::uint32_t kMouseDoubleClick = 515; // WM_LBUTTONDBLCLK
inline constexpr std::uint32_t kMouseRightUp = 517;     // WM_RBUTTONUP

// action 0 adds, 1 modifies; any other value does nothing and reports false.
// The daemon also takes its window off the taskbar.
bool TrayIconSet(platform::Shell& shell, platform::IconHandle icon, platform::WindowHandle owner, int action,
                 const std::string& tip, bool hideTaskbarButton);
bool TrayIconRemove(platform::Shell& shell, platform::WindowHandle owner);

}  // namespace basTrayIcon
