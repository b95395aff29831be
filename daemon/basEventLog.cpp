#include "daemon/basEventLog.h"

#include <utility>

#include "daemon/basDaemon.h"

namespace basEventLog {

void AppendLogLine(platform::Platform& p, const std::string& logFolder, const std::string& line) {
    (void)p.files.Append(logFolder + kLogFileName, p.locale.AnsiEncode(line) + "\r\n");
}

void ReportLogEvent(platform::Platform& p, std::uint16_t eventType, EventId eventId, std::vector<std::string> fields,
                    const std::string& line) {
    platform::EventRecord record;
    record.type = eventType == kErrorType ? kErrorType : kWarningType;
    record.category = 0;
    record.id = eventId;
    record.insertions = std::move(fields);
    record.insertions.push_back(line);
    record.data = p.locale.AnsiEncode(line);
    record.data.push_back('\0');
    (void)p.eventLog.Report(basDaemon::kAppTitle, record);
}

void Record(platform::Platform& p, const std::string& logFolder, std::int16_t logEvents, std::uint16_t eventType,
            EventId eventId, std::vector<std::string> fields, const std::string& line) {
    AppendLogLine(p, logFolder, line);
    if (logEvents == 1) ReportLogEvent(p, eventType, eventId, std::move(fields), line);
}

}  // namespace basEventLog
