#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace platform {

// One entry of the event log.
struct EventRecord {
    std::uint16_t type = 2;  // warning
    std::uint16_t category = 0;
    std::uint32_t id = 0;
    std::vector<std::string> insertions;  // %1, %2, ... of the identifier's message
    std::string data;       // binary data, as bytes
};

// The event log of the local computer.
class EventLog {
public:
    virtual ~EventLog() = default;
    // Registers `source`, reports the entry and deregisters; the status of
    // the first call that failed.
    virtual std::error_code Report(const std::string& source, const EventRecord& record) = 0;
};

// Plain files.
class Files {
public:
    virtual ~Files() = default;
    // Opens `path` for appending (creating it), writes `bytes`, closes it.
    virtual std::error_code Append(const std::string& path, std::string_view bytes) = 0;
    // Deletes a file.
    virtual std::error_code Remove(const std::string& path) = 0;
    // Whether Append could open `path`: opens it for appending without
    // writing; a file this made is gone again afterwards.
    virtual std::error_code ProbeAppend(const std::string& path) = 0;
    // Makes a folder; one that is there already is fine.
    virtual std::error_code MakeFolder(const std::string& path) = 0;
};

}  // namespace platform
