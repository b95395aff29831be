#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/handles.h"

namespace platform {

// Other programs' top-level windows.
class WindowManager {
public:
    using Handle = WindowHandle;
    virtual ~WindowManager() = default;
    // FindWindow: by class name, by title, or both ("" leaves one out).
    virtual Handle Find(const std::string& className, const std::string& title) = 0;
    // Posts WM_CLOSE; false when the window does not take it.
    virtual bool PostClose(Handle window) = 0;
    // Sends WM_CLOSE and waits at most `milliseconds` for the window's
    // answer; nothing when none came: the window is busy or hung, gone, or
    // out of reach (a program with higher rights takes no message from ours).
    virtual std::optional<std::intptr_t> SendClose(Handle window, std::uint32_t milliseconds) = 0;
    // The caption, at most 62 characters, as a 64-character buffer holds it.
    virtual std::string Text(Handle window) = 0;
    // The window's class name ("#32770" for a dialog); "" when it is gone.
    virtual std::string ClassName(Handle window) = 0;
    virtual std::uint32_t ProcessOf(Handle window) = 0;
    virtual bool Exists(Handle window) = 0;
    // Topmost, restored and in front: how a running copy answers a second start.
    virtual void BringToFront(Handle window) = 0;
};

// Reports the top-level windows of one process (the taskbar's) soon after
// they appear or change their caption, on the user-interface thread.
class ShellHook {
public:
    using Handle = WindowHandle;
    virtual ~ShellHook() = default;
    // `onWindow` runs inside the report; `onDeferred` runs later, outside it,
    // for every RequestDeferred.
    virtual bool Arm(std::uint32_t processId, std::function<void(Handle)> onWindow,
                     std::function<void(Handle)> onDeferred) = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
    virtual void RequestDeferred(Handle window) = 0;
};

}  // namespace platform
