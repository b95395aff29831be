#pragma once
#include "platform/session.h"

namespace platform::win32 {

// ExitWindowsEx and the shutdown right of this process's token; the hold on
// the end, where user32 has it (looked up: the programs run on Windows XP).
class Win32Session : public Session {
public:
    std::error_code EnableShutdownPrivilege() override;
    std::error_code EndSession(std::uint32_t flags, std::uint32_t reason) override;
    bool CanHoldEnd() override;
    std::error_code HoldEnd(WindowHandle window, const std::string& reason) override;
    std::error_code ReleaseEnd(WindowHandle window) override;
};

// The tool-help process snapshot, and ending a process.
class Win32ProcessList : public ProcessList {
public:
    std::vector<ProcessEntry> Snapshot(std::error_code& error) override;
    std::error_code Terminate(std::uint32_t processId, std::uint32_t exitCode) override;
};

}  // namespace platform::win32
