#pragma once
#include "platform/window_manager.h"

#include <utility>
#include <vector>

namespace platform::win32 {

// An out-of-context WinEvent hook on one process: no DLL is injected and
// nothing polls; the system calls back on this thread's message loop.
class Win32ShellHook : public ShellHook {
public:
    Win32ShellHook();
    ~Win32ShellHook() override;
    Win32ShellHook(const Win32ShellHook&) = delete;
    Win32ShellHook& operator=(const Win32ShellHook&) = delete;
    bool Arm(std::uint32_t processId, std::function<void(Handle)> onWindow,
             std::function<void(Handle)> onDeferred) override;
    void SetEnabled(bool enabled) override;
    bool Enabled() const override { return enabled_; }
    void RequestDeferred(Handle window) override;

    // Internal: called by the system's callbacks.
    void Report(Handle window);
    void RunRequested();
    void Deferred(Handle window, unsigned generation);

private:
    void Disarm();
    void* hooks_[2] = {nullptr, nullptr};
    void* messageWindow_ = nullptr;
    bool enabled_ = false;
    unsigned generation_ = 0;
    int reporting_ = 0;  // inside onWindow_, counting nested reports
    std::vector<std::pair<Handle, unsigned>> requested_;  // during a report, with their generation
    std::function<void(Handle)> onWindow_, onDeferred_;
};

}  // namespace platform::win32
