#include "daemon/basListProcesses.h"

namespace basListProcesses {

bool IsShellPath(const std::string& exeFile) {
    std::string path = exeFile.substr(0, exeFile.find('\0'));
    for (char& c : path)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return path.find("\\explorer.exe") != std::string::npos;
}

int TerminateShell(platform::ProcessList& processes) {
    std::error_code error;
    int ended = 0;
    for (const platform::ProcessEntry& entry : processes.Snapshot(error))
        if (IsShellPath(entry.exeFile) && !processes.Terminate(entry.id, 0)) ++ended;
    return ended;
}

}  // namespace basListProcesses
