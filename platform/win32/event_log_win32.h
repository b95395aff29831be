#pragma once
#include "platform/event_log.h"

namespace platform::win32 {

class Win32EventLog : public EventLog {
public:
    std::error_code Report(const std::string& source, const EventRecord& record) override;
};

class Win32Files : public Files {
public:
    std::error_code Append(const std::string& path, std::string_view bytes) override;
    std::error_code Remove(const std::string& path) override;
    std::error_code ProbeAppend(const std::string& path) override;
    std::error_code MakeFolder(const std::string& path) override;
};

}  // namespace platform::win32
