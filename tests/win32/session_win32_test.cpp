// The session, privilege and process-list adapters against Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "platform/win32/process_win32.h"
#include "platform/win32/session_win32.h"
#include "platform/win32/text.h"
#include "test_util.h"

namespace {

using platform::win32::Widen;

struct Child {
    PROCESS_INFORMATION pi{};
    bool Start(const std::string& commandLine) {
        std::wstring cmd = Widen(commandLine);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        return CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != FALSE;
    }
    ~Child() {
        if (!pi.hProcess) return;
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
};

std::string Exe(const std::string& name) { return "\"" + testutil::ProgramFolder() + name + "\""; }

TEST(Win32ProcessList, SnapshotListsThisProgramAndTerminateEndsAProcessWithItsCode) {
    platform::win32::Win32ProcessList list;
    std::error_code error;
    auto all = list.Snapshot(error);
    EXPECT_FALSE(error);
    auto self = std::find_if(all.begin(), all.end(),
                             [](const platform::ProcessEntry& e) { return e.id == GetCurrentProcessId(); });
    ASSERT_NE(self, all.end());
    // Wine, like NT, names the file only.
    EXPECT_EQ(self->exeFile, "win32_tests.exe");

    Child waiting;  // waits 20 s for a file that never comes
    ASSERT_TRUE(waiting.Start(Exe("exit_with.exe") + " 0 --wait-for C:\\no\\such\\file"));
    EXPECT_FALSE(list.Terminate(waiting.pi.dwProcessId, 7));
    ASSERT_EQ(WaitForSingleObject(waiting.pi.hProcess, 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(waiting.pi.hProcess, &code);
    EXPECT_EQ(code, 7u);
    // No such process: the system's status comes back.
    EXPECT_EQ(list.Terminate(0x7FFFFFF1, 7).value(), ERROR_INVALID_PARAMETER);
}

TEST(Win32Session, TheShutdownRightIsEnabledInTheToken) {
    platform::win32::Win32Session session;
    EXPECT_FALSE(session.EnableShutdownPrivilege());
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    LUID shutdown{};
    ASSERT_TRUE(LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &shutdown));
    PRIVILEGE_SET set{1, PRIVILEGE_SET_ALL_NECESSARY, {{shutdown, 0}}};
    BOOL held = FALSE;
    EXPECT_TRUE(PrivilegeCheck(token, &set, &held));
    EXPECT_TRUE(held);
    CloseHandle(token);
}

// The hold on the end of the session is looked up in user32 at run time.
// Wine has ShutdownBlockReasonCreate and ShutdownBlockReasonDestroy whatever
// Windows version it reports (Wine 8's refuse every call with 120): the
// adapter finds them, passes each call on for a window of this thread and
// gives back exactly what the system said.
TEST(Win32Session, TheHoldIsLookedUpAndEachCallGivesTheSystemsAnswer) {
    platform::win32::Win32Session session;
    HMODULE user = GetModuleHandleW(L"user32.dll");
    using Create = BOOL(WINAPI*)(HWND, LPCWSTR);
    using Destroy = BOOL(WINAPI*)(HWND);
    auto create = reinterpret_cast<Create>(reinterpret_cast<void*>(GetProcAddress(user, "ShutdownBlockReasonCreate")));
    auto destroy = reinterpret_cast<Destroy>(reinterpret_cast<void*>(GetProcAddress(user, "ShutdownBlockReasonDestroy")));
    ASSERT_TRUE(create && destroy) << "this Wine has no hold on the end of the session";
    EXPECT_TRUE(session.CanHoldEnd());
    auto direct = [](BOOL ok) { return ok ? 0 : static_cast<int>(GetLastError()); };
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const platform::WindowHandle w{reinterpret_cast<std::uintptr_t>(window)};
    int expected = direct(create(window, L"Running Defragment..."));
    EXPECT_EQ(session.HoldEnd(w, "Running Defragment...").value(), expected);
    EXPECT_EQ(session.HoldEnd(w, "Stopping Print Spooler...").value(), expected);
    int released = direct(destroy(window));
    EXPECT_EQ(session.ReleaseEnd(w).value(), released);
    std::cout << "ShutdownBlockReasonCreate: " << expected << ", ShutdownBlockReasonDestroy: " << released << "\n";
    DestroyWindow(window);
}

TEST(Win32Processes, StartShownStartsWithoutWaitingOrGivesTheStatus) {
    platform::win32::Win32Processes processes;
    std::string marker = testutil::ProgramFolder() + "start_shown_" + std::to_string(GetCurrentProcessId()) + ".txt";
    DeleteFileW(Widen(marker).c_str());
    EXPECT_FALSE(processes.StartShown(Exe("exit_with.exe") + " 0 --touch \"" + marker + "\"", 0));
    ULONGLONG end = GetTickCount64() + 10000;
    while (GetFileAttributesW(Widen(marker).c_str()) == INVALID_FILE_ATTRIBUTES && GetTickCount64() < end) Sleep(20);
    EXPECT_NE(GetFileAttributesW(Widen(marker).c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW(Widen(marker).c_str());
    EXPECT_EQ(processes.StartShown(Exe("no_such_program.exe"), 2).value(), ERROR_FILE_NOT_FOUND);
}

// What Wine's ExitWindowsEx does when a window refuses a request that is not
// forced: it hands the request to "wineboot --end-session" and reports
// success at once, and the window that refused is told the session goes on.
TEST(Win32Session, UnderWineARefusedRequestStillReportsSuccess) {
    std::string record = testutil::ProgramFolder() + "refusing_" + std::to_string(GetCurrentProcessId()) + ".txt";
    DeleteFileW(Widen(record).c_str());
    Child shell;
    ASSERT_TRUE(shell.Start(Exe("standin_shell.exe") + " --record \"" + record + "\" --refuse"));
    ULONGLONG end = GetTickCount64() + 15000;
    auto contents = [&] {
        std::ifstream in(record, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    while (GetTickCount64() < end) {
        HWND tray = FindWindowW(L"Shell_TrayWnd", L"");
        DWORD pid = 0;
        if (tray) GetWindowThreadProcessId(tray, &pid);
        if (pid == shell.pi.dwProcessId) break;
        Sleep(20);
    }
    platform::win32::Win32Session session;
    EXPECT_FALSE(session.EndSession(platform::Session::kShutdown | platform::Session::kReboot,
                                    platform::Session::kPlannedReason));
    end = GetTickCount64() + 15000;
    while (contents().find("endsession") == std::string::npos && GetTickCount64() < end) Sleep(50);
    std::string got = contents();
    EXPECT_NE(got.find("queryendsession 0 0 "), std::string::npos) << got;
    EXPECT_NE(got.find("endsession 0 "), std::string::npos) << got;
    EXPECT_EQ(WaitForSingleObject(shell.pi.hProcess, 500), static_cast<DWORD>(WAIT_TIMEOUT));
    DeleteFileW(Widen(record).c_str());
}

}  // namespace
