#pragma once
#include "platform/clock.h"
#include "platform/system.h"

namespace platform::win32 {

// DLLs this process loads from now on come from the system folder only, not
// from the program's folder or the current directory, where anything may be
// planted. For a program's own entry: a library would change its host's.
// False where the system has no such restriction (Windows 7 without
// KB2533623); the current directory is then left out at least.
bool RestrictDllSearch();

class Win32System : public System {
public:
    OsVersion Version() override;
    std::string WindowsDirectory() override;
    std::string SystemDirectory() override;
    std::string TempDirectory() override;
    std::string UserName() override;
    std::optional<std::string> Environment(const std::string& name) override;
    VersionTranslations FileTranslations(const std::string& path) override;
    std::uint16_t SystemDefaultUILanguage() override;
    std::optional<std::uint32_t> FindFile(const std::string& path) override;
    std::string LongPathName(const std::string& path) override;
    std::array<unsigned, 4> ProgramVersion() override;
    int DisplayBitsPerPixel() override;
    std::string LongDayName(int day) override;
    std::vector<std::string> LogicalDriveRoots() override;
    DriveKind KindOfDrive(const std::string& root) override;
    std::string ShellFolder(ShellFolderId folder) override;
    bool ChangeDirectory(const std::string& path) override;
    std::string ErrorMessage(int code) override;
    std::optional<std::string> FindOnSearchPath(const std::string& name) override;
    bool RunsAsAdministrator() override;
};

class Win32Clock : public Clock {
public:
    LocalTime Now() override;
    std::string GeneralDate(const LocalTime& t) override;
    std::uint64_t Milliseconds() override;
    // Answers this thread's windows meanwhile (input aside).
    void Pause(unsigned ms) override;
};

}  // namespace platform::win32
