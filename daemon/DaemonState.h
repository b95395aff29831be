#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "common/SharedState.h"

namespace halcyrad {

// The daemon's process-wide state: created by the entry point, filled while
// it starts and loads, handed to every unit that reads it.
struct DaemonState : common::SharedState {
    std::string CommandLine;
    std::string AppPath;     // ends in "\"
    std::string LogFolder;   // where events.txt goes, ends in "\"
    std::string HelpFile;    // AppPath & the help page
    std::string WindowsDir;  // ends in "\"
    std::string SystemDir;   // ends in "\"
    std::string UserName;
    std::string NoServicesText = "No services are set to stop.";
    bool LogoffIntercepted = false;
    std::int16_t ForceClose = 0;
    std::int16_t LogEvents = 1;
    std::int32_t ServiceWaitSeconds = 20;
    // Titles of the system's dialogs: 0 shut down, 1 log off, 2 another
    // shut-down title ("" when the language has none).
    std::array<std::string, 3> InterceptTitles;
    // The dialog's texts by slot: 0-6 Windows 2000, 7-13 NT 4, 14-21 Windows
    // 95, 22-29 Windows 98, 30-32 the Windows 2000 descriptions (log off,
    // restart, shut down); 33-35 unused.
    std::array<std::string, 36> DialogTexts;

    // Plain substring search, case-sensitive, anywhere on the command line.
    bool HasSwitch(const std::string& sw) const { return CommandLine.find(sw) != std::string::npos; }
};

}  // namespace halcyrad
