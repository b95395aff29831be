#pragma once
#include <cstdint>
#include <string>

#include "platform/platform.h"

// The daemon's record of what failed: lines in "events.txt" (beside the
// program or in the user's own folder, basLogFile), and entries in the
// event log.
namespace basEventLog {

inline constexpr const char* kLogFileName = "events.txt";
inline constexpr std::uint32_t kEventId = 267;
inline constexpr std::uint16_t kWarningType = 2;

// Appends `line` and CR LF to "events.txt" in `logFolder` (ending in "\") in
// the ANSI code page, opening and closing the file for this line alone. A
// line that cannot be written is lost.
void AppendLogLine(platform::Platform& p, const std::string& logFolder, const std::string& line);

// One warning entry of source "Halcyra" with `line` as its insertion string
// and its ANSI bytes and NUL as data. The type is always a warning; failures
// (no event log on Windows 95/98) are ignored.
void ReportLogEvent(platform::Platform& p, const std::string& line, std::int16_t eventType, std::uint32_t eventId);

}  // namespace basEventLog
