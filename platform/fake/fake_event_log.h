#pragma once
#include <map>
#include <set>
#include <vector>

#include "platform/event_log.h"

namespace platform::fake {

class FakeEventLog : public EventLog {
public:
    struct Entry {
        std::string source;
        EventRecord record;
    };
    std::error_code Report(const std::string& source, const EventRecord& record) override {
        if (status) return status;
        entries.push_back({source, record});
        return {};
    }
    std::vector<Entry> entries;
    std::error_code status;  // set to make every report fail
};

// Files as bytes by path; folders in `readOnly` refuse every write.
class FakeFiles : public Files {
public:
    std::error_code Append(const std::string& path, std::string_view bytes) override {
        std::string folder = path.substr(0, path.find_last_of('\\') + 1);
        if (readOnly.count(folder)) return {5, std::system_category()};  // access is denied
        contents[path].append(bytes);
        return {};
    }
    std::error_code Remove(const std::string& path) override {
        removed.push_back(path);
        if (!contents.erase(path)) return {2, std::system_category()};  // the file is not there
        return {};
    }
    std::map<std::string, std::string> contents;
    std::vector<std::string> removed;
    std::set<std::string> readOnly;  // folders, ending in "\"
};

}  // namespace platform::fake
