#pragma once
#include <cstdio>
#include <array>
#include <chrono>
#include <map>
#include <set>
#include <vector>

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
    bool ChangeDirectory(const std::string& path) override {
        directoryChanges.push_back(path);
        if (missingFolders.count(path)) return false;
        currentDirectory = path;
        return true;
    }
    std::string ErrorMessage(int code) override {
        auto it = errorMessages.find(code);
        return it == errorMessages.end() ? "Error " + std::to_string(code) : it->second;
    }
    std::map<int, std::string> errorMessages{{2, "The system cannot find the file specified."},
                                             {5, "Access is denied."},
                                             {32, "The process cannot access the file because it is being used by "
                                                  "another process."}};
    std::string currentDirectory = "C:\\";
    std::vector<std::string> directoryChanges;
    std::set<std::string> missingFolders;
    // Searched in order for a name without a folder; a standard user.
    std::vector<std::string> searchFolders{"C:\\Halcyra", "C:\\WINNT\\system32", "C:\\WINNT"};
    bool administrator = false;
    std::optional<std::string> FindOnSearchPath(const std::string& name) override {
        if (name.empty() || name.find_first_of("\\/:") != std::string::npos) return std::nullopt;
        std::string file = name.find('.') == std::string::npos ? name + ".exe" : name;
        for (const std::string& folder : searchFolders) {
            auto attributes = FindFile(folder + "\\" + file);
            if (attributes && !(*attributes & 0x10)) return folder + "\\" + file;
        }
        return std::nullopt;
    }
    bool RunsAsAdministrator() override { return administrator; }
    std::string LongDayName(int day) override {
        return day >= 0 && day < 7 ? dayNames[static_cast<size_t>(day)] : std::string();
    }
};

class FakeClock : public Clock {
public:
    LocalTime now;
    // The milliseconds count, and how far into the second of `now` it is.
    std::uint64_t ms = 0;
    unsigned msIntoSecond = 0;
    unsigned pauses = 0;

    LocalTime Now() override { return now; }
    std::uint64_t Milliseconds() override { return ms; }
    // Time passes at once: the count and `now` move on together.
    void Pause(unsigned n) override {
        ++pauses;
        Advance(n);
    }
    void Advance(std::uint64_t n) {
        ms += n;
        std::uint64_t total = msIntoSecond + n;
        msIntoSecond = static_cast<unsigned>(total % 1000);
        if (total >= 1000) now = AddSeconds(now, static_cast<long long>(total / 1000));
    }
    static LocalTime AddSeconds(const LocalTime& t, long long s) {
        using namespace std::chrono;
        sys_days day{year{t.year} / t.month / t.day};
        sys_seconds at = day + hours{t.hour} + minutes{t.minute} + seconds{t.second + s};
        sys_days d = floor<days>(at);
        year_month_day ymd{d};
        hh_mm_ss<seconds> hms{at - d};
        return {int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day())),
                int(weekday{d}.c_encoding()), int(hms.hours().count()), int(hms.minutes().count()),
                int(hms.seconds().count())};
    }
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
