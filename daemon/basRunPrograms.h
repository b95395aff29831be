#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/basSettings.h"
#include "platform/platform.h"

// Running the checked programs of the run list before Windows closes, each
// waited for, every failure logged.
namespace basRunPrograms {

inline constexpr std::uint32_t kWaitMilliseconds = 300000;

// What the runner needs of the daemon.
struct RunContext {
    platform::Platform& plat;
    std::string logFolder;       // where events.txt goes, ending in "\"
    std::int16_t logEvents = 1;  // 1: failures go to the event log as well
    platform::RootKey settingsRoot = platform::RootKey::CurrentUser;
    // Runs with the entry's name before each program starts, so the user
    // sees what the wait is for; may be empty.
    std::function<void(const std::string& name)> beforeProgram{};
};

// Starts one command line and waits for it at most kWaitMilliseconds.
// `cmdline` is left as it was started: a variable at its start expanded, a
// document preceded by its associated program, the program as the file
// found for it, quoted where it holds a blank. Nothing starts unless that
// file exists. Returns the exit code as the system reports it (259 when the
// program still runs), -1 when it could not start (logged here), or 0
// after a failure of its own (logged here).
std::int32_t ExecCmd(const RunContext& ctx, std::string& cmdline);

// Runs, top to bottom, each checked row due today, and logs each non-zero
// result. Nothing runs unless `runThisFirst`.
void RunCheckedPrograms(const RunContext& ctx, const std::vector<basSettings::RunRow>& rows, bool runThisFirst);

}  // namespace basRunPrograms
