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

// Files as bytes by path; folders in `readOnly` refuse every write, as
// Program Files does to a standard user.
class FakeFiles : public Files {
public:
    std::error_code Append(const std::string& path, std::string_view bytes) override {
        if (readOnly.count(FolderOf(path))) return {5, std::system_category()};  // access is denied
        contents[path].append(bytes);
        return {};
    }
    std::error_code ProbeAppend(const std::string& path) override {
        probes.push_back(path);
        if (readOnly.count(FolderOf(path))) return {5, std::system_category()};
        return {};
    }
    std::error_code MakeFolder(const std::string& path) override {
        std::string folder = !path.empty() && path.back() == '\\' ? path : path + "\\";
        if (readOnly.count(FolderOf(folder.substr(0, folder.size() - 1)))) return {5, std::system_category()};
        folders.insert(folder);
        return {};
    }
    std::error_code Remove(const std::string& path) override {
        removed.push_back(path);
        if (undeletable.count(path)) return {5, std::system_category()};
        if (!contents.erase(path)) return {2, std::system_category()};  // the file is not there
        return {};
    }
    std::map<std::string, std::string> contents;
    std::vector<std::string> removed;
    std::set<std::string> readOnly;  // folders, ending in "\"
    std::set<std::string> undeletable;  // files Remove is refused
    std::vector<std::string> probes;
    std::set<std::string> folders;  // made, ending in "\"

private:
    static std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }
};

}  // namespace platform::fake
