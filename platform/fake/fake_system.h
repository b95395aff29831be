#pragma once
#include <cstdio>
#include <array>
#include <map>

#include "platform/clock.h"
#include "platform/system.h"

namespace platform::fake {

// A settable stand-in for the system facts; defaults describe an English
// Windows 2000.
class FakeSystem : public System {
public:
    OsVersion version{2, 5, 0};
    std::string windowsDir = "C:\\WINNT";
    std::string systemDir = "C:\\WINNT\\system32";
    std::string tempDir = "C:\\TEMP";
    std::string userName = "user";
    std::map<std::string, std::string> env;
    std::map<std::string, VersionTranslations> translations;  // by exact path
    std::uint16_t uiLanguage = 1033;
    std::array<std::string, 7> dayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                        "Thursday", "Friday", "Saturday"};
    std::vector<std::string> translationQueries;
    std::map<std::string, std::uint32_t> files;  // path to attributes
    std::map<std::string, std::string> longPaths;
    std::array<unsigned, 4> programVersion{3, 50, 0, 548};
    int bitsPerPixel = 32;
    std::vector<std::pair<std::string, DriveKind>> drives{{"C:\\", DriveKind::Fixed}};
    std::map<ShellFolderId, std::string> shellFolders;

    std::vector<std::string> LogicalDriveRoots() override {
        std::vector<std::string> roots;
        for (const auto& d : drives) roots.push_back(d.first);
        return roots;
    }
    // Drive letters match in either case, as on Windows.
    DriveKind KindOfDrive(const std::string& root) override {
        auto upper = [](std::string s) {
            for (char& c : s)
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            return s;
        };
        for (const auto& d : drives)
            if (upper(d.first) == upper(root)) return d.second;
        return DriveKind::NoRoot;
    }
    std::string ShellFolder(ShellFolderId folder) override {
        auto it = shellFolders.find(folder);
        return it == shellFolders.end() ? std::string() : it->second;
    }

    std::array<unsigned, 4> ProgramVersion() override { return programVersion; }
    int DisplayBitsPerPixel() override { return bitsPerPixel; }

    std::optional<std::uint32_t> FindFile(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
    std::string LongPathName(const std::string& path) override {
        auto it = longPaths.find(path);
        return it == longPaths.end() ? path : it->second;
    }

    OsVersion Version() override { return version; }
    std::string WindowsDirectory() override { return windowsDir; }
    std::string SystemDirectory() override { return systemDir; }
    std::string TempDirectory() override { return tempDir; }
    std::string UserName() override { return userName; }
    std::optional<std::string> Environment(const std::string& name) override {
        auto it = env.find(name);
        if (it == env.end()) return std::nullopt;
        return it->second;
    }
    VersionTranslations FileTranslations(const std::string& path) override {
        translationQueries.push_back(path);
        auto it = translations.find(path);
        return it == translations.end() ? VersionTranslations{} : it->second;
    }
    std::uint16_t SystemDefaultUILanguage() override { return uiLanguage; }
    std::string LongDayName(int day) override {
        return day >= 0 && day < 7 ? dayNames[static_cast<size_t>(day)] : std::string();
    }
};

class FakeClock : public Clock {
public:
    LocalTime now;
    LocalTime Now() override { return now; }
    // M/D/YYYY h:mm:ss AM, as an English system shows it.
    std::string GeneralDate(const LocalTime& t) override {
        int h12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
        char buf[64];
        std::snprintf(buf, sizeof buf, "%d/%d/%d %d:%02d:%02d %s", t.month, t.day, t.year, h12, t.minute, t.second,
                      t.hour < 12 ? "AM" : "PM");
        return buf;
    }
};

}  // namespace platform::fake
