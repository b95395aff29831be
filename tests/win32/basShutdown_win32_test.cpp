// The sequence on the real adapters and windows, as a test run ("/noexit")
// that does not end the session.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "daemon/basShutdown.h"
#include "daemon/halcyradForms_win32.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "services/servicesRes.h"
#include "test_util.h"
#include "ui/win32/native_ui.h"

namespace {

using platform::win32::Narrow;
using platform::win32::Widen;

// The please-wait window of this process, visible.
HWND PleaseWaitOf(DWORD pid) {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", L"Halcyra"); w;
         w = FindWindowExW(nullptr, w, L"#32770", L"Halcyra")) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid && IsWindowVisible(w) && GetDlgItem(w, IDC_ERROR_LBLMSG)) return w;
    }
    return nullptr;
}

TEST(ShutdownWin32, WhileAProgramRunsThePleaseWaitWindowNamesItAndGoesAfter) {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra");
    std::string release = testutil::ProgramFolder() + "release_" + std::to_string(GetCurrentProcessId()) + ".txt";
    DeleteFileW(Widen(release).c_str());
    HKEY k;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Halcyra\\Settings", 0, nullptr, 0, KEY_WRITE, nullptr, &k,
                              nullptr),
              ERROR_SUCCESS);
    // The helper ends once the file is there.
    const std::string ran = release + ".ran";
    DeleteFileW(Widen(ran).c_str());
    std::wstring command = Widen("\"" + testutil::ProgramFolder() + "exit_with.exe\" 0 --append \"" + ran +
                                 "\" --wait-for \"" + release + "\"");
    RegSetValueExW(k, L"Disk Helper", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() * sizeof(wchar_t)));
    RegCloseKey(k);

    platform::win32::Win32Platform win32;
    ui::win32::NativeUi nativeUi(GetModuleHandleW(nullptr));
    daemon_forms::RegisterAll(nativeUi);
    halcyrad::DaemonState state;
    state.CommandLine = "/noexit";
    state.AppPath = testutil::ProgramFolder();
    state.SettingsRoot = platform::RootKey::CurrentUser;  // where the helper's command is
    state.WinPlatform = 2;
    basShutdown::ShutdownContext ctx{.plat = win32.plat, .ui = nativeUi, .state = state};
    ctx.choice = basShutdown::Choice::Shutdown;
    ctx.rows = {{"Disk Helper", "", true}};
    ctx.runThisFirst = true;

    // Another thread reads the window while the sequence waits for the helper,
    // then lets the helper end.
    std::wstring seen;
    HWND window = nullptr;
    std::thread watcher([&] {
        ULONGLONG end = GetTickCount64() + 15000;
        while (!window && GetTickCount64() < end) {
            window = PleaseWaitOf(GetCurrentProcessId());
            if (!window) Sleep(20);
        }
        // Read until it shows a text: under load the watcher can see the
        // window between its showing and its first answer.
        for (ULONGLONG until = GetTickCount64() + 5000; window && seen.empty() && GetTickCount64() < until;) {
            wchar_t buf[256] = {};
            GetDlgItemTextW(window, IDC_ERROR_LBLMSG, buf, 256);
            seen = buf;
            if (seen.empty()) Sleep(20);
        }
        HANDLE f = CreateFileW(Widen(release).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    });
    EXPECT_EQ(basShutdown::RunShutdown(ctx), basShutdown::Outcome::Resident);
    watcher.join();
    // The helper ran, and only ended once released: the window was read
    // while it waited.
    EXPECT_NE(GetFileAttributesW(Widen(ran).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Narrow(seen), "Running Disk Helper.  Please wait...");
    EXPECT_FALSE(window && IsWindow(window));
    DeleteFileW(Widen(release).c_str());
    DeleteFileW(Widen(ran).c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra");
}

}  // namespace
