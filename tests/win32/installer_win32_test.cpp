// The installer under Wine, in a prefix of its own that
// installer_win32_test.sh makes fresh: the silent setup, what it put in
// place read back through the system, the Control Panel opening the
// registered applet, and the silent uninstaller ending the daemon and
// leaving nothing but the user's settings. The setup program's path comes in
// HALCYRA_SETUP. The tests run in the order written: the last uninstalls.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "daemon/basEventLog.h"

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kCplsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cpls";
constexpr wchar_t kEventSourceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Halcyra";
constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Halcyra";
constexpr wchar_t kSettingsKey[] = L"Software\\Halcyra\\Settings";
constexpr wchar_t kNeighbour[] = L"InstallerTestNeighbour";
const std::vector<std::wstring> kInstalledFiles = {L"halcyrad.exe", L"halcfg.cpl", L"halcyra.html",
                                                   L"halcyraset.html", L"uninstall.exe"};

bool WaitFor(const std::function<bool()>& done, int ms = 20000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return done();
}

struct Process {
    PROCESS_INFORMATION pi{};
    bool Start(std::wstring commandLine, const wchar_t* folder = nullptr) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &si, &pi) !=
               FALSE;
    }
    bool Ended(DWORD ms) const { return pi.hProcess && WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0; }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
    ~Process() {
        if (!pi.hProcess) return;
        if (!Ended(0)) TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
};

// A process's exit code once it ends within a minute, or STILL_ACTIVE.
DWORD RunToEnd(const std::wstring& commandLine) {
    Process p;
    if (!p.Start(commandLine)) return GetLastError();
    return p.Ended(60000) ? p.ExitCode() : STILL_ACTIVE;
}

std::optional<std::wstring> RegText(HKEY root, const wchar_t* key, const wchar_t* name, DWORD type = REG_SZ) {
    HKEY k;
    if (RegOpenKeyExW(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return std::nullopt;
    wchar_t buf[1024] = {};
    DWORD size = sizeof buf - sizeof(wchar_t), found = 0;
    LSTATUS status = RegQueryValueExW(k, name, nullptr, &found, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(k);
    if (status != ERROR_SUCCESS || found != type) return std::nullopt;
    return std::wstring(buf);
}

std::optional<DWORD> RegNumber(HKEY root, const wchar_t* key, const wchar_t* name) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(root, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) return std::nullopt;
    return value;
}

bool KeyExists(HKEY root, const wchar_t* key) {
    HKEY k;
    if (RegOpenKeyExW(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// The 64-bit Program Files folder's Halcyra, ending in a backslash.
std::wstring InstallFolder() {
    wchar_t buf[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, buf);
    return std::wstring(buf) + L"\\Halcyra\\";
}

std::wstring SetupProgram() {
    wchar_t buf[MAX_PATH] = {};
    GetEnvironmentVariableW(L"HALCYRA_SETUP", buf, MAX_PATH);
    return buf;
}

// "a.b.c.d" of a file's fixed version, or "" without one.
std::wstring FileVersion(const std::wstring& path) {
    std::vector<BYTE> data(GetFileVersionInfoSizeW(path.c_str(), nullptr));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT size = 0;
    if (data.empty() || !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &size))
        return L"";
    return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionMS)) +
           L"." + std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionLS));
}

std::wstring CompanyName(const std::wstring& path) {
    std::vector<BYTE> data(GetFileVersionInfoSizeW(path.c_str(), nullptr));
    wchar_t* text = nullptr;
    UINT size = 0;
    if (data.empty() || !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\CompanyName", reinterpret_cast<void**>(&text),
                        &size))
        return L"";
    return text;
}

class Installer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The user's settings from before: the uninstaller leaves them. With
        // the wizard done, the daemon's first start goes straight to resident.
        HKEY k;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) ==
            ERROR_SUCCESS) {
            RegSetValueExW(k, L"RanQuickStart", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"True"), 10);
            RegCloseKey(k);
        }
        // Another program's start-up value: the uninstaller removes only its own.
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) ==
            ERROR_SUCCESS) {
            RegSetValueExW(k, kNeighbour, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x.exe"), 12);
            RegCloseKey(k);
        }
        setupExit = RunToEnd(Quoted(SetupProgram()) + L" /S");
    }
    static inline DWORD setupExit = STILL_ACTIVE;
    const std::wstring dir = InstallFolder();
};

TEST_F(Installer, SilentSetupPutsTheProgramsIntoProgramFilesWithTheirVersion) {
    ASSERT_FALSE(SetupProgram().empty()) << "HALCYRA_SETUP names the setup program";
    EXPECT_EQ(setupExit, 0u);
    for (const auto& file : kInstalledFiles) EXPECT_TRUE(Exists(dir + file)) << dir + file;
    // One version for all: the programs' resources, the setup's and its name.
    std::wstring version = FileVersion(dir + L"halcyrad.exe");
    ASSERT_FALSE(version.empty());
    EXPECT_EQ(FileVersion(dir + L"halcfg.cpl"), version);
    EXPECT_EQ(FileVersion(SetupProgram()), version);
    EXPECT_TRUE(SetupProgram().ends_with(L"\\halcyra-" + version + L"-setup.exe")) << SetupProgram();
}

TEST_F(Installer, RegistersTheDaemonAtLogOnAndTheAppletWithTheControlPanel) {
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kRunKey, L"Halcyra"), Quoted(dir + L"halcyrad.exe"));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kCplsKey, L"Halcyra"), dir + L"halcfg.cpl");
}

TEST_F(Installer, UninstallEntryDescribesTheInstalledProgram) {
    std::wstring daemon = dir + L"halcyrad.exe";
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"Halcyra");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), FileVersion(daemon));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, L"Publisher"), CompanyName(daemon));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayIcon"), daemon + L",0");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString"), Quoted(dir + L"uninstall.exe"));
    // Kilobytes of what it installed.
    ULONGLONG bytes = 0;
    for (const auto& file : kInstalledFiles) {
        WIN32_FILE_ATTRIBUTE_DATA a{};
        if (GetFileAttributesExW((dir + file).c_str(), GetFileExInfoStandard, &a))
            bytes += (ULONGLONG{a.nFileSizeHigh} << 32) | a.nFileSizeLow;
    }
    auto size = RegNumber(HKEY_LOCAL_MACHINE, kUninstallKey, L"EstimatedSize");
    ASSERT_TRUE(size.has_value());
    EXPECT_GE(*size + 1, bytes / 1024);
    EXPECT_LE(*size, bytes / 1024 + kInstalledFiles.size());
}

TEST_F(Installer, EventSourceResolvesTheDaemonsEventThroughItsMessageFile) {
    auto file = RegText(HKEY_LOCAL_MACHINE, kEventSourceKey, L"EventMessageFile", REG_EXPAND_SZ);
    ASSERT_TRUE(file.has_value());
    wchar_t expanded[MAX_PATH] = {};
    ExpandEnvironmentStringsW(file->c_str(), expanded, MAX_PATH);
    EXPECT_EQ(std::wstring(expanded), dir + L"halcyrad.exe");
    EXPECT_EQ(RegNumber(HKEY_LOCAL_MACHINE, kEventSourceKey, L"TypesSupported"),
              DWORD{basEventLog::kErrorType | basEventLog::kWarningType});

    // As Event Viewer shows an entry: the registered file's message table.
    HMODULE messages = LoadLibraryExW(expanded, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(messages);
    const wchar_t* command = L"C:\\Tools\\backup.exe /all";
    const wchar_t* line = L"Didn't run \"C:\\Tools\\backup.exe /all\" at 3/2/2026 6:15:00 PM (check file existence).";
    DWORD_PTR args[] = {reinterpret_cast<DWORD_PTR>(command), reinterpret_cast<DWORD_PTR>(line)};
    wchar_t text[512] = {};
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, messages,
                             basEventLog::kProgramNotStarted, 0, text, 512, reinterpret_cast<va_list*>(args));
    FreeLibrary(messages);
    EXPECT_EQ(std::wstring(text, n),
              L"The program C:\\Tools\\backup.exe /all could not be started; check that its file exists.");
}

TEST_F(Installer, ControlPanelOpensTheRegisteredApplet) {
    auto cpl = RegText(HKEY_LOCAL_MACHINE, kCplsKey, L"Halcyra");
    ASSERT_TRUE(cpl.has_value());
    // From the drive's root, so only the registered path leads to the applet.
    Process applet;
    ASSERT_TRUE(applet.Start(L"rundll32.exe shell32.dll,Control_RunDLL " + Quoted(*cpl), L"C:\\"));
    HWND dialog = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", L"Halcyra Settings"); w;
             w = FindWindowExW(nullptr, w, L"#32770", L"Halcyra Settings")) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == applet.pi.dwProcessId && IsWindowVisible(w)) dialog = w;
        }
        return dialog != nullptr;
    }));
    if (dialog) PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(applet.Ended(10000));
}

// Last: it takes everything away.
TEST_F(Installer, SilentUninstallEndsTheDaemonAndLeavesOnlyTheUserSettings) {
    Process daemon;
    ASSERT_TRUE(daemon.Start(Quoted(dir + L"halcyrad.exe")));
    ASSERT_TRUE(WaitFor([] { return FindWindowW(L"HalcyraDaemon", L"Halcyra") != nullptr; }));

    auto uninstall = RegText(HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString");
    ASSERT_TRUE(uninstall.has_value());
    EXPECT_EQ(RunToEnd(*uninstall + L" /S"), 0u);
    // The uninstaller hands over to a copy of itself outside the folder and
    // ends at once; the copy removes the folder last but one.
    EXPECT_TRUE(WaitFor([&] { return !Exists(dir) && !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey); }, 60000));
    EXPECT_TRUE(daemon.Ended(1000));
    EXPECT_EQ(daemon.ExitCode(), 0u);

    for (const auto& file : kInstalledFiles) EXPECT_FALSE(Exists(dir + file)) << dir + file;
    EXPECT_FALSE(Exists(dir));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kRunKey, L"Halcyra"), std::nullopt);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kRunKey, kNeighbour), L"x.exe");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kCplsKey, L"Halcyra"), std::nullopt);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEventSourceKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, kSettingsKey, L"RanQuickStart"), L"True");
}

}  // namespace
