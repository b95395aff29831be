#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// The daemon's record of what failed: lines in "events.txt" (beside the
// program or in the user's own folder, basLogFile), and entries in the
// event log.
namespace basEventLog {

inline constexpr const char* kLogFileName = "events.txt";

// Each kind of entry keeps its identifier from release to release, so that
// event forwarding and its queries can pick them; halcyradMsg.mc holds one
// message for each, its fields as %1, %2, ... and the whole log line last.
enum EventId : std::uint32_t {
    kProgramNotStarted = 267,  // a program could not be started (warning)
    kProgramFailed = 268,      // a program ended with a non-zero code (warning)
    kProgramError = 269,       // starting or waiting for a program failed inside (warning)
    kServiceNotStopped = 270,  // a service did not stop (warning; services/ reports it)
    kSessionEndRefused = 271,  // Windows refused to end the session (error)
    kSequenceStopped = 272,    // the shutdown sequence stopped on a fault (error)
    kLogFolderNotMade = 273,   // the folder of events.txt could not be made (warning)
    kTrayIconNotTaken = 274,   // the taskbar did not take the icon (warning)
    kEndStepsStopped = 275,    // the steps held at a session end stopped on a fault (error)
    kHoldReasonRefused = 276,  // Windows did not take the reason for holding the end (warning)
    kEndNotHeld = 277,         // this Windows lets no program hold the end: nothing ran (warning)
};
inline constexpr std::uint16_t kErrorType = 1;
inline constexpr std::uint16_t kWarningType = 2;

// Appends `line` and CR LF to "events.txt" in `logFolder` (ending in "\") in
// the ANSI code page, opening and closing the file for this line alone. A
// line that cannot be written is lost.
void AppendLogLine(platform::Platform& p, const std::string& logFolder, const std::string& line);

// One entry of source "Halcyra" of `eventType` (kErrorType or kWarningType;
// anything else is a warning): `fields` as the insertion strings of the
// message of `eventId`, then `line` as the last one, and the line's ANSI
// bytes and NUL as data. Failures (no event log on Windows 95/98) are
// ignored.
void ReportLogEvent(platform::Platform& p, std::uint16_t eventType, EventId eventId, std::vector<std::string> fields,
                    const std::string& line);

// `line` in "events.txt", and with `logEvents` 1 ("LogEV") the entry as
// ReportLogEvent makes it: how every failure the daemon meets is recorded.
void Record(platform::Platform& p, const std::string& logFolder, std::int16_t logEvents, std::uint16_t eventType,
            EventId eventId, std::vector<std::string> fields, const std::string& line);

}  // namespace basEventLog
