#include "common/basTrayIcon.h"

namespace basTrayIcon {

bool TrayIconSet(platform::Shell& shell, platform::IconHandle icon, platform::WindowHandle owner, int action,
                 const std::string& tip, bool hideTaskbarButton) {
    if (action != 0 && action != 1) return false;
    platform::TrayIconData d;
    d.owner = owner;
    d.id = kIconId;
    d.flags = 7;
    d.callbackMessage = kCallbackMessage;
    d.icon = icon;
    d.tip = tip;
    bool ok = shell.NotifyIcon(action == 0 ? platform::TrayMessage::Add : platform::TrayMessage::Modify, d);
    if (hideTaskbarButton) shell.HideTaskbarButton(owner);
    return ok;
}

bool TrayIconRemove(platform::Shell& shell, platform::WindowHandle owner) {
    platform::TrayIconData d;
    d.owner = owner;
    d.id = kIconId;
    d.flags = 0;
    return shell.NotifyIcon(platform::TrayMessage::Delete, d);
}

}  // namespace basTrayIcon
