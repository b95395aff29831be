#pragma once
#include <string>

#include "platform/session.h"

// The process list, and ending the shell before a forced log-off on
// Windows 95/98, so that no window of the taskbar's process holds it up.
namespace basListProcesses {

// The executable is the shell: "\explorer.exe" anywhere in the path, in
// any letter case ("myexplorer.exe" is not).
bool IsShellPath(const std::string& exeFile);

// Ends every process whose executable is the shell, walking the whole list;
// a process that cannot be ended is passed over. Returns how many ended.
int TerminateShell(platform::ProcessList& processes);

}  // namespace basListProcesses
