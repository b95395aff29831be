#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

namespace platform {

// A started program. Owned: the system's handle closes with the object,
// which leaves the program itself running.
class Process {
public:
    // What a wait ends with, as the system reports it.
    static constexpr std::uint32_t kEnded = 0;
    static constexpr std::uint32_t kTimedOut = 258;
    static constexpr std::uint32_t kWaitFailed = 0xFFFFFFFF;
    // What the exit code reads while the program still runs.
    static constexpr std::uint32_t kStillActive = 259;

    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    virtual ~Process() = default;

    // Waits at most `milliseconds` for the program to end. This thread's
    // windows are answered meanwhile (they paint, and sent and posted
    // messages are handled); keyboard and mouse input is dropped, except for
    // a window that keeps it during waits (ui::Form::KeepInputDuringWaits).
    virtual std::uint32_t Wait(std::uint32_t milliseconds) = 0;
    // The exit code (kStillActive while it runs); nothing when the system
    // cannot tell.
    virtual std::optional<std::uint32_t> ExitCode() = 0;
};

// Starting other programs.
class Processes {
public:
    virtual ~Processes() = default;
    // Starts a command line in a normal window without waiting; false when
    // it could not start.
    virtual bool Start(const std::string& commandLine) = 0;
    // As Start, with `folder` (a full path) as the new program's current
    // directory; this program's own stays as it is. False when it could not
    // start, a missing folder included.
    virtual bool StartIn(const std::string& commandLine, const std::string& folder) = 0;
    // Starts a command line without waiting, its first window shown as the
    // system's show code says (0 hidden, 1 normal, 2 minimised); the system's
    // status when it could not start.
    virtual std::error_code StartShown(const std::string& commandLine, std::uint16_t showCode) = 0;
    // Starts a command line at normal priority, inheriting none of this
    // program's handles, and hands the process over; null with the system's
    // status when it could not start.
    virtual std::unique_ptr<Process> Launch(const std::string& commandLine, std::error_code& error) = 0;
    // A running program, by its id, opened only to wait for its end (its
    // exit code stays unknown); null with the system's status when it is
    // gone or not ours to open.
    virtual std::unique_ptr<Process> Open(std::uint32_t processId, std::error_code& error) = 0;
};

}  // namespace platform
