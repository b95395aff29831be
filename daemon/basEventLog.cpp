#include "daemon/basEventLog.h"

#include "daemon/basDaemon.h"

namespace basEventLog {

void AppendLogLine(platform::Platform& p, const std::string& logFolder, const std::string& line) {
    (void)p.files.Append(logFolder + kLogFileName, p.locale.AnsiEncode(line) + "\r\n");
}

void ReportLogEvent(platform::Platform& p, const std::string& line, std::int16_t eventType, std::uint32_t eventId) {
    platform::EventRecord record;
    record.type = eventType == kErrorType ? kErrorType : kWarningType;
    record.category = 0;
    record.id = eventId;
    record.insertion = line;
    record.data = p.locale.AnsiEncode(line);
    record.data.push_back('\0');
    (void)p.eventLog.Report(basDaemon::kAppTitle, record);
}

}  // namespace basEventLog
