#pragma once
#include <cstdint>
#include <string>

#include "platform/system.h"
#include "platform/windows.h"

// Process-wide state of the daemon, set while it starts.
namespace basDaemon {

inline constexpr const char* kAppTitle = "Halcyra";
inline constexpr const char* kNoServicesText = "No services are set to stop.";
inline constexpr const char* kHelpFileName = "halcyra.html";

extern std::string CommandLine;
extern std::string AppPath;    // ends in "\"
extern std::string HelpFile;   // AppPath & the help page
extern std::string WindowsDir; // ends in "\"
extern std::string SystemDir;  // ends in "\"
extern std::string UserName;
extern std::string NoServicesText;
extern bool LogoffIntercepted;
extern std::int16_t ForceClose;
extern std::int16_t LogEvents;
extern std::int32_t ServiceWaitSeconds;

// Plain substring search, case-sensitive, anywhere on the command line.
bool HasSwitch(const std::string& sw);

// The program's folder: a drive root stays "X:\", any other folder gets
// a "\"; then its long form where the system has one.
std::string ComputeAppPath(platform::System& sys, const std::string& programFolder);

// Windows, system folder and user name.
void ReadSystemNames(platform::System& sys);

// A normal file is there: hidden, system and directory entries count as missing.
bool FileExists(platform::System& sys, const std::string& path);

// Closes the screen dimmer's window, when there is one.
void CloseDimmer(platform::WindowManager& windows);

// The help page beside the program, as a file URL with the context as anchor.
std::string HelpUrl(const std::string& helpFile, int context);

}  // namespace basDaemon
