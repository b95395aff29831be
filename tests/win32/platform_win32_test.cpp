#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "common/basEncrypt.h"
#include "common/basLogFile.h"
#include "common/basRegistry.h"
#include "common/basTrayIcon.h"
#include "daemon/basDaemon.h"
#include "platform/win32/event_log_win32.h"
#include "platform/win32/locale_win32.h"
#include "platform/win32/process_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/system_win32.h"
#include "platform/win32/text.h"
#include "platform/win32/wait_win32.h"
#include "platform/win32/windows_win32.h"
#include "test_util.h"

using platform::win32::Widen;

namespace {

TEST(Win32Password, AnsiWrittenScrambleMatchesAndRoundTrips) {
    testutil::ScratchKey scratch;
    platform::win32::Win32Locale locale;
    platform::win32::Win32Registry reg;
    // An older installation wrote the inverted ANSI bytes with the ANSI call.
    std::string password = "Geheim\xE4";  // "Geheimä" in code page 1252
    std::string inverted;
    for (char c : password) inverted += static_cast<char>(static_cast<unsigned char>(c) ^ 0xFF);
    HKEY k;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, scratch.path().c_str(), &k), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(k, "Admin", 0, REG_SZ, reinterpret_cast<const BYTE*>(inverted.data()),
                             static_cast<DWORD>(inverted.size())),
              ERROR_SUCCESS);
    RegCloseKey(k);
    ASSERT_EQ(GetACP(), 1252u) << "the test's bytes assume code page 1252";

    std::string stored = basRegistry::ReadValue(reg, platform::RootKey::CurrentUser, scratch.path(), "Admin", "");
    EXPECT_EQ(basEncrypt::Unscramble(locale, stored), "Geheimä");
    EXPECT_TRUE(basEncrypt::PasswordsMatch(locale, basEncrypt::Unscramble(locale, stored), "GEHEIMÄ"));

    // What Halcyra writes reads back the same way through the ANSI call.
    basRegistry::SaveString(reg, platform::RootKey::CurrentUser, scratch.path(), "Admin2",
                            basEncrypt::Scramble(locale, "Geheimä"));
    char buf[64] = {};
    DWORD size = sizeof buf, type = 0;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, scratch.path().c_str(), &k), ERROR_SUCCESS);
    ASSERT_EQ(RegQueryValueExA(k, "Admin2", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size), ERROR_SUCCESS);
    RegCloseKey(k);
    EXPECT_EQ(std::string(buf, inverted.size()), inverted);
}

TEST(Win32Password, TheWholeChainMatchesWhatWasSet) {
    testutil::ScratchKey scratch;
    platform::win32::Win32Locale locale;
    platform::win32::Win32Registry reg;
    struct Case { const char* set; const char* typed; bool matches; };
    for (Case c : {Case{"Ärger", "äRGER", true}, Case{"Ωmega", "Ωmega", true},
                   Case{"Пароль", "Пароль", true}, Case{"Пароль", "ПАРОЛЬ", true}, Case{"Ärger", "Arger", false}}) {
        basRegistry::SaveString(reg, platform::RootKey::CurrentUser, scratch.path(), "Admin",
                                basEncrypt::Scramble(locale, c.set));
        std::string stored = basRegistry::ReadValue(reg, platform::RootKey::CurrentUser, scratch.path(), "Admin", "");
        EXPECT_EQ(basEncrypt::PasswordsMatch(locale, basEncrypt::Unscramble(locale, stored), c.typed), c.matches)
            << c.set << " / " << c.typed;
    }
}

TEST(Win32Locale, LowerAndCaseInsensitiveCompare) {
    platform::win32::Win32Locale locale;
    EXPECT_EQ(locale.Lower("ÄRGER Abc"), "ärger abc");
    EXPECT_TRUE(locale.EqualsIgnoreCase("Log Off Windows", "log off WINDOWS"));
    EXPECT_FALSE(locale.EqualsIgnoreCase("Log Off Windows", "Log Off  Windows"));
}

TEST(Win32Files, FileExistsCountsOnlyNormalFiles) {
    platform::win32::Win32System sys;
    std::string dir = sys.TempDirectory() + "\\halcyra_files_" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(Widen(dir).c_str(), nullptr));
    std::string normal = dir + "\\dusker.exe", hidden = dir + "\\hidden.exe";
    for (const auto& f : {normal, hidden}) {
        HANDLE h = CreateFileW(Widen(f).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        CloseHandle(h);
    }
    SetFileAttributesW(Widen(hidden).c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(basDaemon::FileExists(sys, normal));
    EXPECT_FALSE(basDaemon::FileExists(sys, hidden));
    EXPECT_FALSE(basDaemon::FileExists(sys, dir));
    EXPECT_FALSE(basDaemon::FileExists(sys, dir + "\\missing.exe"));
    EXPECT_FALSE(basDaemon::FileExists(sys, normal + "\\"));
    // A pattern is a directory search: the first name found decides.
    EXPECT_TRUE(basDaemon::FileExists(sys, dir + "\\dusk*.exe"));
    EXPECT_FALSE(basDaemon::FileExists(sys, dir + "\\hid?en.exe"));
    EXPECT_FALSE(basDaemon::FileExists(sys, dir + "\\nothing*.exe"));
    SetFileAttributesW(Widen(normal).c_str(), FILE_ATTRIBUTE_SYSTEM);
    EXPECT_FALSE(basDaemon::FileExists(sys, normal));
    SetFileAttributesW(Widen(normal).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_TRUE(basDaemon::FileExists(sys, normal));
    SetFileAttributesW(Widen(normal).c_str(), FILE_ATTRIBUTE_NORMAL);
    // The folder's long form, with its backslash.
    std::string app = basDaemon::ComputeAppPath(sys, dir);
    EXPECT_EQ(app.back(), '\\');
    EXPECT_EQ(lstrcmpiA(app.c_str(), (dir + "\\").c_str()), 0) << app;
    EXPECT_EQ(basDaemon::ComputeAppPath(sys, "C:\\"), "C:\\");
    SetFileAttributesW(Widen(hidden).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(Widen(normal).c_str());
    DeleteFileW(Widen(hidden).c_str());
    RemoveDirectoryW(Widen(dir).c_str());
}

TEST(Win32Shell, TrayIconAddModifyRemoveReportSuccess) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"tray owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    platform::win32::Win32Shell shell;
    platform::WindowHandle h{reinterpret_cast<std::uintptr_t>(owner)};
    platform::IconHandle i{reinterpret_cast<std::uintptr_t>(icon)};
    EXPECT_TRUE(basTrayIcon::TrayIconSet(shell, i, h, 0, "Halcyra", false));
    EXPECT_TRUE(basTrayIcon::TrayIconSet(shell, i, h, 1, "Halcyra, changed", false));
    EXPECT_TRUE(basTrayIcon::TrayIconRemove(shell, h));
    // Nothing left to remove: the system says so.
    EXPECT_FALSE(basTrayIcon::TrayIconRemove(shell, h));
    DestroyWindow(owner);
}

// The open-file dialog is loaded only when asked for: the real one, answered
// with a file typed into it, and its Cancel.
TEST(Win32Shell, ChooseFileGivesTheTypedFileAndNothingOnCancel) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"halcyra choose " + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring file = folder + L"\\pick me.exe";
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);

    platform::win32::Win32Shell shell;
    platform::FileChoiceRequest request;
    request.filters = {{"Programs", "*.exe"}};
    request.initialFolder = platform::win32::Narrow(folder.c_str());
    request.title = "Choose a program";
    for (bool ok : {true, false}) {
        std::thread user([&] {
            HWND dialog = nullptr;
            testutil::WaitFor([&] { return (dialog = testutil::DialogTitled(L"Choose a program")) != nullptr; }, 20000);
            if (!dialog) return;
            // The file-name field: edt1 in the classic layout, cmb13 in the explorer one.
            SetDlgItemTextW(dialog, 0x480, L"pick me.exe");
            SetDlgItemTextW(dialog, 0x47c, L"pick me.exe");
            PostMessageW(dialog, WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
        });
        auto chosen = shell.ChooseFile(request);
        user.join();
        if (ok) {
            ASSERT_TRUE(chosen.has_value());
            EXPECT_EQ(chosen->path, platform::win32::Narrow(file.c_str()));
            EXPECT_EQ(chosen->title, "pick me.exe");
        } else {
            EXPECT_FALSE(chosen.has_value());
        }
    }
    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(Win32Windows, FindsByClassAndPostsClose) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FakeO";
    RegisterClassW(&wc);
    platform::win32::Win32WindowManager windows;
    EXPECT_FALSE(windows.Find("FakeO", ""));
    basDaemon::CloseDimmer(windows);  // nothing to close: no effect
    HWND dimmer = CreateWindowExW(0, L"FakeO", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(dimmer, nullptr);
    EXPECT_EQ(windows.Find("FakeO", "").value, reinterpret_cast<std::uintptr_t>(dimmer));
    basDaemon::CloseDimmer(windows);
    MSG msg;
    bool sawClose = false;
    while (PeekMessageW(&msg, dimmer, 0, 0, PM_REMOVE)) sawClose = sawClose || msg.message == WM_CLOSE;
    EXPECT_TRUE(sawClose);
    DestroyWindow(dimmer);
}

TEST(Win32Windows, ClassNameTellsADialogFromAnotherWindow) {
    platform::win32::Win32WindowManager windows;
    HWND folder = CreateWindowExW(0, L"Static", L"Shut Down Windows", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    HWND dialog = CreateWindowExW(0, L"#32770", L"Shut Down Windows", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(folder, nullptr);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(windows.ClassName({reinterpret_cast<std::uintptr_t>(dialog)}), "#32770");
    EXPECT_EQ(windows.ClassName({reinterpret_cast<std::uintptr_t>(folder)}), "Static");
    DestroyWindow(dialog);
    EXPECT_EQ(windows.ClassName({reinterpret_cast<std::uintptr_t>(dialog)}), "");
    DestroyWindow(folder);
}

TEST(Win32Password, OnlyWhatTheCodePageHoldsCanBeStored) {
    platform::win32::Win32Locale locale;
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_TRUE(basEncrypt::CanStore(locale, "Geheimä€"));
    EXPECT_FALSE(basEncrypt::CanStore(locale, "ÿes"));  // code 255 scrambles to NUL
    EXPECT_FALSE(basEncrypt::CanStore(locale, "Ωmega"));  // not in code page 1252
}

LRESULT CALLBACK CloseAnswers(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_CLOSE) return DefWindowProcW(hwnd, msg, wp, lp);
    wchar_t title[16] = {};
    GetWindowTextW(hwnd, title, 16);
    if (lstrcmpW(title, L"refuses") == 0) return 1;
    DestroyWindow(hwnd);
    return 0;
}

TEST(Win32Windows, SendCloseGivesTheAnswerOrNothingWithinItsTime) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = CloseAnswers;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"HalcyraCloseTest";
    RegisterClassW(&wc);
    platform::win32::Win32WindowManager windows;
    auto handle = [](HWND w) { return platform::WindowHandle{reinterpret_cast<std::uintptr_t>(w)}; };
    HWND goes = CreateWindowExW(0, wc.lpszClassName, L"goes", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
    HWND stays = CreateWindowExW(0, wc.lpszClassName, L"refuses", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    ASSERT_TRUE(goes && stays);
    EXPECT_EQ(windows.SendClose(handle(goes), 5000), std::optional<std::intptr_t>(0));
    EXPECT_FALSE(IsWindow(goes));
    EXPECT_EQ(windows.SendClose(handle(goes), 5000), std::nullopt);  // gone
    EXPECT_EQ(windows.SendClose(handle(stays), 5000), std::optional<std::intptr_t>(1));
    EXPECT_TRUE(IsWindow(stays));
    DestroyWindow(stays);

    // A window whose thread is busy elsewhere: no answer, and no longer a
    // wait than was asked for.
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr), release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND busy = nullptr;
    std::thread owner([&] {
        busy = CreateWindowExW(0, wc.lpszClassName, L"busy", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                               nullptr);
        SetEvent(ready);
        WaitForSingleObject(release, 20000);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (IsWindow(busy)) DestroyWindow(busy);
    });
    WaitForSingleObject(ready, 20000);
    EXPECT_NE(busy, nullptr);
    if (busy) {
        ULONGLONG before = GetTickCount64();
        EXPECT_EQ(windows.SendClose(handle(busy), 300), std::nullopt);
        ULONGLONG took = GetTickCount64() - before;
        EXPECT_GE(took, 250u);
        EXPECT_LT(took, 3000u);
    }
    SetEvent(release);
    owner.join();
    CloseHandle(ready);
    CloseHandle(release);
}

TEST(Win32Processes, OpenWaitsForARunningProgramsEnd) {
    platform::win32::Win32Processes processes;
    std::string release = testutil::ProgramFolder() + "open_release_" + std::to_string(GetCurrentProcessId());
    DeleteFileW(Widen(release).c_str());
    testutil::Process child;
    ASSERT_TRUE(child.Start("\"" + testutil::ProgramFolder() + "exit_with.exe\" 0 --wait-for \"" + release + "\""));
    std::error_code error;
    std::unique_ptr<platform::Process> opened = processes.Open(child.pi.dwProcessId, error);
    ASSERT_NE(opened, nullptr) << error.message();
    EXPECT_FALSE(error);
    EXPECT_EQ(opened->Wait(100), platform::Process::kTimedOut);
    HANDLE f = CreateFileW(Widen(release).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);
    EXPECT_EQ(opened->Wait(20000), platform::Process::kEnded);
    DeleteFileW(Widen(release).c_str());

    // No program of that id: nothing, and the system's reason.
    EXPECT_EQ(processes.Open(0x7FFFFFF0, error), nullptr);
    EXPECT_TRUE(error);
}

// Once restricted, a DLL beside the program is not loaded by its bare name;
// the system's still are. (A process of its own: ctest runs each test alone.)
TEST(Win32System, RestrictedDllSearchLeavesOutTheProgramsFolder) {
    std::string name = "halcyra_planted_" + std::to_string(GetCurrentProcessId()) + ".dll";
    std::wstring planted = Widen(testutil::ProgramFolder() + name);
    ASSERT_TRUE(CopyFileW(Widen(testutil::ProgramFolder() + "halcfg.cpl").c_str(), planted.c_str(), FALSE));
    HMODULE before = LoadLibraryExW(Widen(name).c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    EXPECT_NE(before, nullptr) << "found beside the program before";
    if (before) FreeLibrary(before);
    EXPECT_TRUE(platform::win32::RestrictDllSearch());
    HMODULE after = LoadLibraryExW(Widen(name).c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    EXPECT_EQ(after, nullptr);
    if (after) FreeLibrary(after);
    HMODULE system = LoadLibraryW(L"mpr.dll");
    EXPECT_NE(system, nullptr);
    if (system) FreeLibrary(system);
    // What the daemon reads through version.dll still works.
    EXPECT_NE(platform::win32::Win32System().FileTranslations(platform::win32::Win32System().SystemDirectory() +
                                                              "\\kernel32.dll")
                  .status,
              platform::VersionTranslations::Status::NoVersionInfo);
    DeleteFileW(planted.c_str());
}

// The DLLs a program's import table names, as the file holds them.
std::vector<std::string> ImportsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> names;
    if (image.size() < sizeof(IMAGE_DOS_HEADER)) return names;
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(image.data() + dos->e_lfanew);
    auto* sections = IMAGE_FIRST_SECTION(nt);
    auto offset = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i)
            if (rva >= sections[i].VirtualAddress && rva < sections[i].VirtualAddress + sections[i].SizeOfRawData)
                return rva - sections[i].VirtualAddress + sections[i].PointerToRawData;
        return 0;
    };
    DWORD rva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (size_t at = offset(rva); at && at + sizeof(IMAGE_IMPORT_DESCRIPTOR) <= image.size();
         at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(image.data() + at);
        if (!d->Name) break;
        names.push_back(image.c_str() + offset(d->Name));
    }
    return names;
}

// Imported DLLs are loaded before the entry restricts the search: only known
// DLLs (always from the system folder) and the side-by-side common controls
// the manifest names; version.dll is no known DLL.
TEST(Win32System, TheDaemonImportsNoDllTheLoaderLooksForBesideIt) {
    const std::set<std::string> known = {"advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll",
                                         "imm32.dll",    "kernel32.dll", "msvcrt.dll",   "ole32.dll",
                                         "oleaut32.dll", "psapi.dll",    "rpcrt4.dll",   "shell32.dll",
                                         "shlwapi.dll",  "user32.dll",   "ws2_32.dll"};
    auto imports = ImportsOf(testutil::ProgramFolder() + "halcyrad.exe");
    ASSERT_FALSE(imports.empty());
    for (std::string name : imports) {
        for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        EXPECT_TRUE(known.count(name) || name.rfind("api-ms-win-", 0) == 0) << name;
    }
}

// Both run with the user's own rights, never asking for more.
TEST(Win32System, BothManifestsAskToRunAsTheInvoker) {
    for (auto [file, id] : {std::pair{"halcyrad.exe", 1}, std::pair{"halcfg.cpl", 2}}) {
        SCOPED_TRACE(file);
        HMODULE module = LoadLibraryExW(Widen(testutil::ProgramFolder() + file).c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr);
        HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(24));  // RT_MANIFEST
        ASSERT_NE(res, nullptr);
        HGLOBAL data = LoadResource(module, res);
        std::string manifest(static_cast<const char*>(LockResource(data)), SizeofResource(module, res));
        EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"),
                  std::string::npos);
        FreeLibrary(module);
    }
}

TEST(Win32Processes, StartInGivesTheProgramItsFolderAndKeepsOurs) {
    platform::win32::Win32System sys;
    platform::win32::Win32Processes processes;
    std::string dir = sys.TempDirectory() + "\\halcyra start in " + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(Widen(dir).c_str(), nullptr));
    wchar_t before[MAX_PATH], after[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    std::string out = dir + "\\cwd.txt";
    std::string cmd = "\"" + sys.SystemDirectory() + "\\cmd.exe\" /c cd > \"" + out + "\"";
    ASSERT_TRUE(processes.StartIn(cmd, dir));
    std::string got;
    testutil::WaitFor([&] {
        HANDLE f = CreateFileW(Widen(out).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return false;
        char buf[512];
        DWORD n = 0;
        ReadFile(f, buf, sizeof buf, &n, nullptr);
        CloseHandle(f);
        got.assign(buf, n);
        return got.find('\n') != std::string::npos;
    });
    EXPECT_EQ(got.substr(0, got.find_first_of("\r\n")), dir);
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_EQ(lstrcmpiW(before, after), 0);
    EXPECT_FALSE(processes.StartIn(cmd, dir + "\\missing"));
    Sleep(200);
    DeleteFileW(Widen(out).c_str());
    RemoveDirectoryW(Widen(dir).c_str());
}

TEST(Win32System, ChangeDirectoryToAFolderOrADrive) {
    platform::win32::Win32System sys;
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    std::string dir = sys.TempDirectory() + "\\halcyra_cd_" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(Widen(dir).c_str(), nullptr));
    wchar_t now[MAX_PATH];
    EXPECT_TRUE(sys.ChangeDirectory(dir));
    GetCurrentDirectoryW(MAX_PATH, now);
    EXPECT_EQ(lstrcmpiW(now, Widen(dir).c_str()), 0);
    EXPECT_FALSE(sys.ChangeDirectory(dir + "\\missing"));
    GetCurrentDirectoryW(MAX_PATH, now);
    EXPECT_EQ(lstrcmpiW(now, Widen(dir).c_str()), 0);
    EXPECT_TRUE(sys.ChangeDirectory("C:"));
    GetCurrentDirectoryW(MAX_PATH, now);
    EXPECT_EQ(now[0] == L'C' || now[0] == L'c', true);
    SetCurrentDirectoryW(before);
    RemoveDirectoryW(Widen(dir).c_str());
}

TEST(Win32Files, RemoveDeletesAFileAndReportsAMissingOne) {
    platform::win32::Win32System sys;
    platform::win32::Win32Files files;
    std::string path = sys.TempDirectory() + "\\halcyra_rm_" + std::to_string(GetCurrentProcessId()) + ".txt";
    ASSERT_FALSE(files.Append(path, "line\r\n"));
    EXPECT_FALSE(files.Remove(path));
    EXPECT_EQ(GetFileAttributesW(Widen(path).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(files.Remove(path).value(), ERROR_FILE_NOT_FOUND);
}

std::string ReadAll(const std::string& path) {
    HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<none>";
    char buf[256];
    DWORD n = 0;
    ReadFile(h, buf, sizeof buf, &n, nullptr);
    CloseHandle(h);
    return std::string(buf, n);
}

TEST(Win32Files, ProbeAppendOpensForAppendingAndLeavesNothingBehind) {
    platform::win32::Win32System sys;
    platform::win32::Win32Files files;
    std::string dir = sys.TempDirectory() + "\\halcyra_probe_" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(Widen(dir).c_str(), nullptr));
    std::string log = dir + "\\events.txt";
    // Not there: a file can be made, and is gone again.
    EXPECT_FALSE(files.ProbeAppend(log));
    EXPECT_EQ(GetFileAttributesW(Widen(log).c_str()), INVALID_FILE_ATTRIBUTES);
    // There: opened, not changed.
    ASSERT_FALSE(files.Append(log, "earlier\r\n"));
    EXPECT_FALSE(files.ProbeAppend(log));
    EXPECT_EQ(ReadAll(log), "earlier\r\n");
    // Refusals the probe must pass on as Append meets them. (Wine run as
    // root writes read-only files and folders: an exclusive open and a
    // folder in the file's place stand in for a folder that refuses.)
    HANDLE held = CreateFileW(Widen(log).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(files.ProbeAppend(log).value(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(files.Append(log, "x").value(), ERROR_SHARING_VIOLATION);
    std::string taken = dir + "\\taken";
    ASSERT_TRUE(CreateDirectoryW(Widen(taken).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(Widen(taken + "\\events.txt").c_str(), nullptr));
    EXPECT_EQ(files.ProbeAppend(taken + "\\events.txt").value(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(files.ProbeAppend(dir + "\\missing\\events.txt").value(), ERROR_PATH_NOT_FOUND);

    // The log's rule on these answers: a log beside the program that this
    // user cannot write sends it to the user's own folder, made on demand.
    std::string local = sys.ShellFolder(platform::ShellFolderId::LocalAppData);
    ASSERT_FALSE(local.empty());
    EXPECT_NE(local.back(), '\\');
    EXPECT_NE(GetFileAttributesW(Widen(local).c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(basLogFile::LogFolder(sys, files, dir + "\\"), local + "\\Halcyra\\");
    EXPECT_EQ(basLogFile::LogFolder(sys, files, taken + "\\"), local + "\\Halcyra\\");
    CloseHandle(held);
    EXPECT_EQ(basLogFile::LogFolder(sys, files, dir + "\\"), dir + "\\");
    EXPECT_EQ(ReadAll(log), "earlier\r\n");

    RemoveDirectoryW(Widen(taken + "\\events.txt").c_str());
    RemoveDirectoryW(Widen(taken).c_str());
    DeleteFileW(Widen(log).c_str());
    RemoveDirectoryW(Widen(dir).c_str());
}

TEST(Win32Files, MakeFolderMakesOneAndTakesOneThatIsThere) {
    platform::win32::Win32System sys;
    platform::win32::Win32Files files;
    std::string dir = sys.TempDirectory() + "\\halcyra_mk_" + std::to_string(GetCurrentProcessId());
    EXPECT_FALSE(files.MakeFolder(dir + "\\"));
    EXPECT_NE(GetFileAttributesW(Widen(dir).c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_FALSE(files.MakeFolder(dir));
    // A file of that name is no folder; nor is a folder whose parent is missing made.
    std::string file = dir + "\\plain";
    ASSERT_FALSE(files.Append(file, "x"));
    EXPECT_EQ(files.MakeFolder(file).value(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(files.MakeFolder(dir + "\\no\\such").value(), ERROR_PATH_NOT_FOUND);
    DeleteFileW(Widen(file).c_str());
    RemoveDirectoryW(Widen(dir).c_str());
}

}  // namespace

namespace {

// What a window of this thread was handed while the program waited.
std::vector<UINT> g_handled;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP || msg == WM_LBUTTONDBLCLK || msg == WM_KEYDOWN || msg == WM_MOUSEMOVE) g_handled.push_back(msg);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

// The sequence's waits (a program, the pause between a service's checks)
// answer the thread's windows, but input reaches only a window that keeps it.
TEST(Win32Waits, AnswerWindowsButDropInputMeantForOthers) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"HalcyraWaitTest";
    RegisterClassW(&wc);
    HWND other = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    HWND keeps = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(other && keeps);
    SetPropW(keeps, platform::win32::kInputDuringWaitsProp, reinterpret_cast<HANDLE>(1));
    auto post = [&] {
        g_handled.clear();
        // A tray icon's double click arrives as a posted mouse message.
        PostMessageW(other, WM_MOUSEMOVE, 0, WM_LBUTTONDBLCLK);
        PostMessageW(other, WM_KEYDOWN, 'O', 0);
        PostMessageW(other, WM_APP, 0, 0);
        PostMessageW(keeps, WM_LBUTTONDBLCLK, 0, 0);
    };
    const std::vector<UINT> expected{WM_APP, WM_LBUTTONDBLCLK};

    platform::win32::Win32Clock clock;
    post();
    PostQuitMessage(7);
    clock.Pause(50);
    EXPECT_EQ(g_handled, expected);
    // The quit request is still there for the loop that owns it.
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);

    // A program that ends once a file is there, made after the messages
    // had their chance.
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    std::wstring go = std::wstring(dir) + L"halcyra_wait_" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    DeleteFileW(go.c_str());
    platform::win32::Win32Processes processes;
    std::error_code error;
    auto process = processes.Launch("\"" + testutil::ProgramFolder() + "exit_with.exe\" 3 --wait-for \"" +
                                        platform::win32::Narrow(go) + "\"",
                                    error);
    ASSERT_TRUE(process) << error.message();
    post();
    std::thread maker([&] {
        Sleep(500);
        CloseHandle(CreateFileW(go.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    });
    EXPECT_EQ(process->Wait(15000), platform::Process::kEnded);
    maker.join();
    DeleteFileW(go.c_str());
    EXPECT_EQ(process->ExitCode(), 3u);
    EXPECT_EQ(g_handled, expected);

    RemovePropW(keeps, platform::win32::kInputDuringWaitsProp);
    DestroyWindow(other);
    DestroyWindow(keeps);
}
