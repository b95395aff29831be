#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct OsVersion {
    std::uint32_t platformId = 0;  // 1 Windows 95/98, 2 NT
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
};

// The "\VarFileInfo\Translation" table of a file's version resource.
struct VersionTranslations {
    enum class Status { NoVersionInfo, NoTranslationTable, Ok };
    Status status = Status::NoVersionInfo;
    // Each entry: language in the low word, code page in the high word.
    std::vector<std::uint32_t> entries;
};

// Drive kinds by the system's numbers.
enum class DriveKind : std::uint32_t { Unknown = 0, NoRoot = 1, Removable = 2, Fixed = 3, Remote = 4, CdRom = 5, RamDisk = 6 };

// Folders of the shell the system asks for.
enum class ShellFolderId { InternetCache, LocalAppData };

// Facts about the running Windows and the user's session.
class System {
public:
    virtual ~System() = default;
    virtual OsVersion Version() = 0;
    // Folders as the system reports them (no trailing backslash unless a root).
    virtual std::string WindowsDirectory() = 0;
    virtual std::string SystemDirectory() = 0;
    virtual std::string TempDirectory() = 0;
    virtual std::string UserName() = 0;
    virtual std::optional<std::string> Environment(const std::string& name) = 0;
    virtual VersionTranslations FileTranslations(const std::string& path) = 0;
    // The language of the installed Windows' own user interface.
    virtual std::uint16_t SystemDefaultUILanguage() = 0;
    // Attributes of the first name a directory search for `path` finds.
    virtual std::optional<std::uint32_t> FindFile(const std::string& path) = 0;
    // The long form of a path; "" when the system cannot give one.
    virtual std::string LongPathName(const std::string& path) = 0;
    // The running program's file version: major, minor, build, revision.
    virtual std::array<unsigned, 4> ProgramVersion() = 0;
    // Colour depth of the screen.
    virtual int DisplayBitsPerPixel() = 0;
    // The long day name of the user's locale; 0 Sunday to 6 Saturday.
    virtual std::string LongDayName(int day) = 0;
    // Root strings of the logical drives ("C:\\"), in the system's order.
    virtual std::vector<std::string> LogicalDriveRoots() = 0;
    // The kind of drive at a root, as the system numbers it.
    virtual DriveKind KindOfDrive(const std::string& root) = 0;
    // A folder of the shell, without a trailing backslash; "" when the
    // system cannot name it.
    virtual std::string ShellFolder(ShellFolderId folder) = 0;
    // Makes a folder (or a drive, "C:") this process's current directory.
    virtual bool ChangeDirectory(const std::string& path) = 0;
    // The system's own text for a Win32 error code, in the user's language;
    // "Error " and the number when it has none.
    virtual std::string ErrorMessage(int code) = 0;
    // The file a program name without a folder finds where the system looks
    // for programs (the running program's folder, the system and Windows
    // folders, then the PATH), ".exe" added to a name without an extension;
    // nothing when none is there. Folders are no program.
    virtual std::optional<std::string> FindOnSearchPath(const std::string& name) = 0;
    // The user's processes hold the administrators' rights now (on Windows
    // with UAC: elevated), which the system's maintenance tools require.
    virtual bool RunsAsAdministrator() = 0;
};

}  // namespace platform
