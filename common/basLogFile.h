#pragma once
#include <string>

#include "platform/event_log.h"
#include "platform/system.h"

// Where "events.txt" lies: one rule for the daemon that writes it and the
// applet that shows and purges it.
namespace basLogFile {

// The daemon's folder (`appPath`, ending in "\") when this user can open a
// file there for appending, as an unpacked copy allows; otherwise "Halcyra\"
// in the user's local application data, as under Program Files, which a
// standard user may not write. Ends in "\". `appPath` when the system names
// no such folder.
std::string LogFolder(platform::System& sys, platform::Files& files, const std::string& appPath);

}  // namespace basLogFile
