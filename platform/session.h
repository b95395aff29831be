#pragma once
#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include "platform/handles.h"

namespace platform {

// Ending the user's Windows session.
class Session {
public:
    // The request's flags, as the system numbers them.
    static constexpr std::uint32_t kLogoff = 0;
    static constexpr std::uint32_t kShutdown = 1;
    static constexpr std::uint32_t kReboot = 2;
    static constexpr std::uint32_t kForce = 4;
    static constexpr std::uint32_t kPowerOff = 8;
    // The reason passed with every request: planned, "other"
    // (SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_FLAG_PLANNED).
    static constexpr std::uint32_t kPlannedReason = 0x00000000 | 0x80000000;

    virtual ~Session() = default;
    // Turns on the right to shut the computer down in this process's token;
    // the status of the first step that failed (1300 when the token does not
    // hold the right at all).
    virtual std::error_code EnableShutdownPrivilege() = 0;
    // Asks Windows to end the session; the system's status when it refuses.
    // Success means the request was taken, not that every program agreed.
    virtual std::error_code EndSession(std::uint32_t flags, std::uint32_t reason) = 0;

    // What Windows says with WM_QUERYENDSESSION, in its lParam.
    static constexpr std::uint32_t kEndsLogoff = 0x80000000;    // ENDSESSION_LOGOFF
    static constexpr std::uint32_t kEndsCritical = 0x40000000;  // ENDSESSION_CRITICAL
    // Not an end of the session: an installer's restart manager closes the
    // program to replace its files.
    static constexpr std::uint32_t kEndsCloseApp = 0x00000001;  // ENDSESSION_CLOSEAPP
    // The status of a hold on a system that cannot hold (ERROR_CALL_NOT_IMPLEMENTED).
    static constexpr int kNoHold = 120;

    // Whether this Windows lets a program hold the end of the session with a
    // reason it shows the user (Windows Vista and later).
    virtual bool CanHoldEnd() = 0;
    // Shows `reason` for `window` while it holds the session's end, replacing
    // the one shown; only the thread that made the window may ask. The
    // system's status when it refuses (kNoHold where it cannot hold).
    virtual std::error_code HoldEnd(WindowHandle window, const std::string& reason) = 0;
    // The window holds the end no more.
    virtual std::error_code ReleaseEnd(WindowHandle window) = 0;
};

// One running process, as the system's process snapshot lists it.
struct ProcessEntry {
    std::uint32_t id = 0;
    // The executable: its full path on Windows 95/98, its file name on NT.
    std::string exeFile;
};

// The processes of the machine.
class ProcessList {
public:
    virtual ~ProcessList() = default;
    // Every process of a fresh snapshot; empty with the system's status when
    // no snapshot could be taken.
    virtual std::vector<ProcessEntry> Snapshot(std::error_code& error) = 0;
    // Opens a process with all access and ends it with `exitCode`; the
    // status of the step that failed.
    virtual std::error_code Terminate(std::uint32_t processId, std::uint32_t exitCode) = 0;
};

}  // namespace platform
