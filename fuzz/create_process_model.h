#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fake/fake_system.h"

// Which file Windows runs for a command line started without an
// application name, told from the files a fake system holds; written from
// CreateProcess's documented search, not from the product's code.
//
// A quoted program is the text up to the next quote. An unquoted one is
// the shortest prefix, ending before a blank or a tab (or at the end), that
// names a file: "C:\Program Files\x.exe" runs "C:\Program.exe" when that
// is there. A name whose last part has no extension is looked for with
// ".exe" appended, and only so. A name without a folder is looked for in
// the program's folder, then the current folder, then the system's folders
// and the PATH (the fake's search folders after its first).
namespace fuzz {

inline bool IsCommandSeparator(char c) { return c == ' ' || c == '\t'; }

struct Resolved {
    std::string file;  // the file found
    std::string rest;  // what follows the program token: the arguments
};

inline std::optional<std::string> PlainFile(platform::System& sys, const std::string& path) {
    auto attributes = sys.FindFile(path);
    constexpr std::uint32_t kDirectory = 0x10;
    if (!attributes || (*attributes & kDirectory)) return std::nullopt;
    return path;
}

// The file a program name finds; folders are no program. `currentFolder`:
// whether a name without a folder is looked for in the current folder, as
// CreateProcess does.
inline std::optional<std::string> SearchProgram(platform::fake::FakeSystem& sys, const std::string& name,
                                                bool currentFolder = true) {
    if (name.empty()) return std::nullopt;
    size_t slash = name.find_last_of("\\/:");
    std::string_view last = std::string_view(name).substr(slash == std::string::npos ? 0 : slash + 1);
    std::string file = last.find('.') == std::string_view::npos ? name + ".exe" : name;
    if (slash != std::string::npos) return PlainFile(sys, file);
    std::vector<std::string> folders = sys.searchFolders;
    if (currentFolder) folders.insert(folders.begin() + (folders.empty() ? 0 : 1), sys.currentDirectory);
    for (const std::string& folder : folders) {
        std::string joined = folder.empty() || folder.back() == '\\' ? folder + file : folder + "\\" + file;
        if (auto found = PlainFile(sys, joined)) return found;
    }
    return std::nullopt;
}

inline std::optional<Resolved> ResolveCommandLine(platform::fake::FakeSystem& sys, const std::string& line) {
    if (!line.empty() && line[0] == '"') {
        size_t close = line.find('"', 1);
        std::string name = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        auto file = SearchProgram(sys, name);
        if (!file) return std::nullopt;
        return Resolved{*file, close == std::string::npos ? std::string() : line.substr(close + 1)};
    }
    for (size_t end = 0; end <= line.size(); ++end) {
        if (end < line.size() && !IsCommandSeparator(line[end])) continue;
        if (auto file = SearchProgram(sys, line.substr(0, end))) return Resolved{*file, line.substr(end)};
    }
    return std::nullopt;
}

}  // namespace fuzz
