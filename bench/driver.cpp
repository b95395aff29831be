// The Windows side of scripts/bench and scripts/run. The stand-in taskbar
// must run before the programs: they look for the taskbar when they start.
//
//   bench_driver latency PROGRAM CLASS TRIALS
//     Starts the stand-in and PROGRAM, then times TRIALS interceptions: from
//     the stand-in creating "Shut Down Windows" (a window visible from its
//     creation) to PROGRAM's window of class CLASS being visible. Stops both.
//   bench_driver e2e PROGRAM CLASS TRIALS BUSY_MS STEP_MS
//     The same interception timed by the stand-in in its own process: from
//     its thread starting to create "Shut Down Windows" to PROGRAM's window
//     being visible, while that thread stays busy for BUSY_MS from the start,
//     taking one of its own messages every STEP_MS (0: none), as a taskbar
//     busy creating and showing its dialog does (standin::TimedOpen).
//   bench_driver shell
//     Starts the stand-in and leaves it running.
//   bench_driver start PROGRAM CLASS [PROGRAM CLASS ...]
//     Starts the programs one after the other, waits until each is resident
//     (its window of class CLASS exists and is hidden) and leaves them running.
//   bench_driver visible CLASS
//     Waits up to 5 s for a visible window of class CLASS.
//   bench_driver hold PROGRAM CLASS FLOOR FLOOR_CLASS TRIALS
//     Starts the stand-in, PROGRAM and FLOOR resident, then asks each
//     window WM_QUERYENDSESSION (as Windows asks at a session end) TRIALS
//     times, the two in turn, and tells it the end was cancelled
//     (WM_ENDSESSION FALSE) so that it stays for the next; prints the
//     milliseconds from the question to the answer, for both. Every answer
//     must be yes.
//   bench_driver endsession PROGRAM CLASS RECORD
//     One trial of the session-end figure: starts the stand-in recording the
//     session-end messages to RECORD, starts PROGRAM and, for the daemon, has
//     the stand-in show "Shut Down Windows" so that the daemon's dialog
//     opens; then clicks OK on the window of class CLASS and prints the time
//     from the click to the ExitWindowsEx call (Wine's ExitWindowsEx starts
//     wineboot.exe: its creation time) and to the stand-in receiving
//     WM_QUERYENDSESSION. The session of the prefix ends: the stand-in and
//     PROGRAM are gone after.
// PROGRAM is a file name beside this program, optionally with arguments.
// Each mode prints what it did; the exit code is 0 when it succeeded.
//
// Wine raises EVENT_OBJECT_CREATE but no EVENT_OBJECT_SHOW, so the dialog's
// appearance comes from this process's own WinEvent hook on the stand-in, and
// the target's window is looked at every millisecond while a trial runs.
#include <windows.h>
#include <tlhelp32.h>

#include "../tests/win32/tools/standin_protocol.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "daemon/halcyradRes.h"

namespace {

const wchar_t kCaption[] = L"Shut Down Windows";

std::wstring Widen(const char* s) { return std::wstring(s, s + std::strlen(s)); }

std::wstring Folder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L'\\') + 1);
}

struct Child {
    PROCESS_INFORMATION pi{};
    // "name.exe args": the file beside this program, with its arguments.
    bool Start(const std::wstring& program) {
        size_t space = program.find(L' ');
        std::wstring cmd = L"\"" + Folder() + program.substr(0, space) + L"\"";
        if (space != std::wstring::npos) cmd += program.substr(space);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        return CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != FALSE;
    }
    // Leaves the process running.
    void Release() {
        if (pi.hProcess) CloseHandle(pi.hProcess);
        if (pi.hThread) CloseHandle(pi.hThread);
        pi = {};
    }
    void Kill() {
        if (pi.hProcess && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(pi.hProcess, 1);
            WaitForSingleObject(pi.hProcess, 5000);
        }
        Release();
    }
    ~Child() { Kill(); }
};

// Runs this thread's messages (the hook's callbacks among them) until done()
// or the timeout, looking at done() at least every step milliseconds.
bool PumpUntil(const std::function<bool()>& done, DWORD ms, DWORD step = 10) {
    ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        ULONGLONG now = GetTickCount64();
        if (now >= end) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, step)),
                                  QS_ALLINPUT);
    }
}

LONGLONG Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

HWND WindowOf(const std::wstring& cls, DWORD pid) {
    for (HWND w = FindWindowExW(nullptr, nullptr, cls.c_str(), nullptr); w;
         w = FindWindowExW(nullptr, w, cls.c_str(), nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (!pid || owner == pid) return w;
    }
    return nullptr;
}

// Resident: the window exists and is hidden; the daemon besides has filled
// its choices, one of the last steps of its load.
bool Resident(HWND w, const std::wstring& cls) {
    if (!w || IsWindowVisible(w)) return false;
    if (cls != L"HalcyraDaemon") return true;
    return SendDlgItemMessageW(w, IDC_MAIN_CMBSHUTDOWN, CB_GETCOUNT, 0, 0) == 3 &&
           SendDlgItemMessageW(w, IDC_MAIN_CMBSHUTDOWN, CB_GETCURSEL, 0, 0) >= 0;
}

struct Shell {
    Child process;
    HWND tray = nullptr;
    bool Start(const std::wstring& args = L"") {
        if (!process.Start(L"standin_shell.exe" + (args.empty() ? L"" : L" " + args))) return false;
        DWORD pid = process.pi.dwProcessId;
        if (!PumpUntil([&] { return (tray = WindowOf(L"Shell_TrayWnd", pid)) != nullptr; }, 30000)) return false;
        // The programs find the taskbar this way; it must be the stand-in.
        return FindWindowW(L"Shell_TrayWnd", L"") == tray;
    }
};

HWND StartResident(Child& child, const std::wstring& program, const std::wstring& cls) {
    if (!child.Start(program)) return nullptr;
    WaitForInputIdle(child.pi.hProcess, 30000);
    HWND w = nullptr;
    bool ok = PumpUntil(
        [&] {
            w = WindowOf(cls, child.pi.dwProcessId);
            return Resident(w, cls);
        },
        30000);
    if (!ok) return nullptr;
    PumpUntil([] { return false; }, 500);  // let the start-up's last messages go by
    return w;
}

void PrintMedian(const std::vector<double>& ms, int closed) {
    if (ms.empty()) return;
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    size_t n = sorted.size();
    double median = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    std::printf("median %.3f ms min %.3f max %.3f trials %zu closed %d\n", median, sorted.front(), sorted.back(), n,
                closed);
}

// After a trial: the program's window hidden again, the stand-in's dialog gone.
bool BackToResident(int trial, HWND window, HWND dialog) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!PumpUntil([&] { return !IsWindowVisible(window); }, 5000)) {
        std::printf("trial %d: the program's window did not hide again\n", trial);
        return false;
    }
    if (IsWindow(dialog)) SendMessageTimeoutW(dialog, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    PumpUntil([] { return false; }, 300);
    return true;
}

// The moment the stand-in created the current trial's dialog.
LONGLONG g_created = 0;

void CALLBACK OnShellCreate(HWINEVENTHOOK, DWORD, HWND hwnd, LONG idObject, LONG idChild, DWORD, DWORD) {
    LONGLONG now = Now();
    if (!hwnd || idObject != OBJID_WINDOW || idChild != CHILDID_SELF || g_created) return;
    // The dialog may be closed already when this arrives: a window whose
    // class cannot be read is taken for it. The stand-in's other windows
    // (its IME and COM helpers) are not.
    wchar_t cls[64] = {};
    if (GetClassNameW(hwnd, cls, 64) && lstrcmpW(cls, L"#32770") != 0) return;
    g_created = now;
}

// The stand-in taskbar started, then PROGRAM resident beside it: its window,
// or null after saying what failed.
HWND ShellAndResident(Shell& shell, Child& target, const std::wstring& program, const std::wstring& cls) {
    if (!shell.Start()) {
        std::printf("error: the stand-in taskbar did not start or is not the one found\n");
        return nullptr;
    }
    HWND window = StartResident(target, program, cls);
    if (!window) std::printf("error: %ls did not become resident\n", program.c_str());
    return window;
}

int Latency(const std::wstring& program, const std::wstring& cls, int trials) {
    Shell shell;
    Child target;
    HWND window = ShellAndResident(shell, target, program, cls);
    if (!window) return 1;
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, OnShellCreate,
                                         shell.process.pi.dwProcessId, 0, WINEVENT_OUTOFCONTEXT);
    if (!hook) {
        std::printf("error: SetWinEventHook failed\n");
        return 1;
    }
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    std::vector<double> ms;
    int closed = 0;
    int status = 0;
    for (int i = 1; i <= trials; ++i) {
        g_created = 0;
        LONGLONG visible = 0;
        // Sent from a second thread, so that this one keeps taking the
        // hook's callbacks and watching while the stand-in creates its window.
        HWND dialog = nullptr;
        std::thread sender([&] {
            COPYDATASTRUCT cds{standin::kOpenWindow, static_cast<DWORD>(wcslen(kCaption) * sizeof(wchar_t)),
                               const_cast<wchar_t*>(kCaption)};
            dialog = reinterpret_cast<HWND>(SendMessageW(shell.tray, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)));
        });
        bool seen = PumpUntil(
            [&] {
                if (!visible && IsWindowVisible(window)) visible = Now();
                return g_created && visible;
            },
            10000, 1);
        sender.join();
        if (!seen) {
            std::printf("trial %d: %s\n", i, g_created ? "the program's window was not shown" :
                                                     "the stand-in's dialog was not seen");
            status = 1;
            break;
        }
        double t = static_cast<double>(visible - g_created) * 1000.0 / static_cast<double>(freq.QuadPart);
        ms.push_back(t);
        bool gone = PumpUntil([&] { return !IsWindow(dialog); }, 1000);
        closed += gone;
        std::printf("trial %d %.3f ms%s\n", i, t, gone ? ", system dialog closed" : "");
        std::fflush(stdout);
        if (!BackToResident(i, window, dialog)) {
            status = 1;
            break;
        }
    }
    UnhookWinEvent(hook);
    PrintMedian(ms, closed);
    return status;
}

int EndToEnd(const std::wstring& program, const std::wstring& cls, int trials, unsigned busyMs, unsigned stepMs) {
    Shell shell;
    Child target;
    HWND window = ShellAndResident(shell, target, program, cls);
    if (!window) return 1;
    std::vector<double> ms;
    int closed = 0;
    for (int i = 1; i <= trials; ++i) {
        standin::TimedOpen request{reinterpret_cast<ULONG_PTR>(window), busyMs, stepMs, {}};
        lstrcpynW(request.caption, kCaption, 64);
        COPYDATASTRUCT cds{standin::kOpenTimed, sizeof request, &request};
        DWORD_PTR us = 0;
        if (!SendMessageTimeoutW(shell.tray, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 15000,
                                 &us) ||
            static_cast<LONG_PTR>(us) < 0) {
            std::printf("trial %d: the program's window was not shown\n", i);
            PrintMedian(ms, closed);
            return 1;
        }
        double t = static_cast<double>(us) / 1000.0;
        ms.push_back(t);
        DWORD shellPid = shell.process.pi.dwProcessId;
        HWND dialog = nullptr;
        bool gone = PumpUntil([&] { return (dialog = WindowOf(L"#32770", shellPid)) == nullptr; }, 1000);
        closed += gone;
        std::printf("trial %d %.3f ms%s\n", i, t, gone ? ", system dialog closed" : "");
        std::fflush(stdout);
        if (!BackToResident(i, window, dialog)) {
            PrintMedian(ms, closed);
            return 1;
        }
    }
    PrintMedian(ms, closed);
    return 0;
}

long long Microseconds(LONGLONG counter) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return counter / f.QuadPart * 1000000 + (counter % f.QuadPart) * 1000000 / f.QuadPart;
}

// The time of the first "queryendsession" line of the stand-in's record.
long long QueryEndSessionAt(const std::wstring& record) {
    HANDLE f = CreateFileW(record.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return 0;
    char buf[4096] = {};
    DWORD n = 0;
    ReadFile(f, buf, sizeof buf - 1, &n, nullptr);
    CloseHandle(f);
    std::string text(buf, n);
    size_t at = text.find("queryendsession");
    if (at == std::string::npos) return 0;
    size_t eol = text.find('\r', at);
    std::string line = text.substr(at, eol == std::string::npos ? std::string::npos : eol - at);
    return std::atoll(line.substr(line.rfind(' ') + 1).c_str());
}

// The ids of the running wineboot.exe processes.
std::vector<DWORD> Wineboots() {
    std::vector<DWORD> ids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32W e{};
    e.dwSize = sizeof e;
    for (BOOL more = Process32FirstW(snap, &e); more; more = Process32NextW(snap, &e))
        if (lstrcmpiW(e.szExeFile, L"wineboot.exe") == 0) ids.push_back(e.th32ProcessID);
    CloseHandle(snap);
    return ids;
}

// System time in 100 ns units.
long long FileTimeNow() {
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    return (static_cast<long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

// The creation time of a wineboot.exe not in `before`, once there is one.
long long NewWinebootCreated(const std::vector<DWORD>& before) {
    for (DWORD id : Wineboots()) {
        if (std::find(before.begin(), before.end(), id) != before.end()) continue;
        HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
        if (!p) continue;
        FILETIME created, exited, kernel, user;
        BOOL ok = GetProcessTimes(p, &created, &exited, &kernel, &user);
        CloseHandle(p);
        if (ok) return (static_cast<long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    }
    return 0;
}

int EndSession(const std::wstring& program, const std::wstring& cls, const std::wstring& record) {
    DeleteFileW(record.c_str());
    Shell shell;
    if (!shell.Start(L"--record \"" + record + L"\"")) {
        std::printf("error: the stand-in taskbar did not start or is not the one found\n");
        return 1;
    }
    Child target;
    HWND window = nullptr;
    if (cls == L"HalcyraDaemon") {
        window = StartResident(target, program, cls);
        if (!window) {
            std::printf("error: %ls did not become resident\n", program.c_str());
            return 1;
        }
        COPYDATASTRUCT cds{standin::kOpenWindow, static_cast<DWORD>(wcslen(kCaption) * sizeof(wchar_t)),
                           const_cast<wchar_t*>(kCaption)};
        SendMessageW(shell.tray, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
    } else if (!target.Start(program)) {
        std::printf("error: %ls did not start\n", program.c_str());
        return 1;
    }
    bool shown = PumpUntil(
        [&] {
            window = WindowOf(cls, target.pi.dwProcessId);
            return window && IsWindowVisible(window);
        },
        10000);
    if (!shown) {
        std::printf("error: the window of %ls was not shown\n", program.c_str());
        return 1;
    }
    PumpUntil([] { return false; }, 300);  // let it settle
    HWND ok = GetDlgItem(window, cls == L"HalcyraDaemon" ? IDC_MAIN_CMDOK : IDOK);
    std::vector<DWORD> before = Wineboots();
    long long clickedFt = FileTimeNow();
    LONGLONG clicked = Now();
    PostMessageW(ok, BM_CLICK, 0, 0);
    long long called = 0, at = 0;
    PumpUntil(
        [&] {
            if (!called) called = NewWinebootCreated(before);
            return called && (at = QueryEndSessionAt(record)) != 0;
        },
        20000, 1);
    if (!called || !at) {
        std::printf("error: %s\n", called ? "the stand-in received no WM_QUERYENDSESSION" : "no wineboot.exe started");
        return 1;
    }
    std::printf("call %.3f ms query %.3f ms\n", static_cast<double>(called - clickedFt) / 10000.0,
                static_cast<double>(at - Microseconds(clicked)) / 1000.0);
    // The session end takes the stand-in and the program with it.
    WaitForSingleObject(target.pi.hProcess, 10000);
    WaitForSingleObject(shell.process.pi.hProcess, 10000);
    return 0;
}

// One question of a session end: the milliseconds to the answer, or -1
// when the window did not answer yes.
double AskEnd(HWND window) {
    DWORD_PTR answer = 0;
    LONGLONG start = Now();
    LRESULT sent = SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 60000, &answer);
    LONGLONG end = Now();
    SendMessageTimeoutW(window, WM_ENDSESSION, FALSE, 0, SMTO_NORMAL, 5000, nullptr);
    if (!sent || answer != TRUE) return -1;
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(end - start) * 1000.0 / static_cast<double>(f.QuadPart);
}

int Hold(const std::wstring& program, const std::wstring& cls, const std::wstring& floor,
         const std::wstring& floorCls, int trials) {
    Shell shell;
    Child target, reference;
    HWND window = ShellAndResident(shell, target, program, cls);
    if (!window) return 1;
    HWND floorWindow = StartResident(reference, floor, floorCls);
    if (!floorWindow) {
        std::printf("error: %ls did not become resident\n", floor.c_str());
        return 1;
    }
    std::vector<double> program_ms, floor_ms;
    for (int trial = 0; trial < trials; ++trial) {
        // In turn, the first one changing each trial.
        for (int k = 0; k < 2; ++k) {
            bool first = (trial + k) % 2 == 0;
            double ms = AskEnd(first ? window : floorWindow);
            if (ms < 0) {
                std::printf("error: trial %d: %ls did not answer yes\n", trial, (first ? program : floor).c_str());
                return 1;
            }
            (first ? program_ms : floor_ms).push_back(ms);
            PumpUntil([] { return false; }, 20);
        }
    }
    for (double ms : program_ms) std::printf("program %.3f\n", ms);
    for (double ms : floor_ms) std::printf("floor %.3f\n", ms);
    return 0;
}

int StartShell() {
    Shell shell;
    if (!shell.Start()) {
        std::printf("error: the stand-in taskbar did not start or is not the one found\n");
        return 1;
    }
    std::printf("started standin_shell.exe, process %lu\n", shell.process.pi.dwProcessId);
    shell.process.Release();
    return 0;
}

int StartPrograms(const std::vector<std::wstring>& args) {
    for (size_t i = 0; i + 1 < args.size(); i += 2) {
        Child child;
        if (!StartResident(child, args[i], args[i + 1])) {
            std::printf("error: %ls did not become resident\n", args[i].c_str());
            return 1;
        }
        std::printf("started %ls, process %lu, resident\n", args[i].c_str(), child.pi.dwProcessId);
        std::fflush(stdout);
        child.Release();
    }
    return 0;
}

int Visible(const std::wstring& cls) {
    bool shown = PumpUntil(
        [&] {
            HWND w = WindowOf(cls, 0);
            return w && IsWindowVisible(w);
        },
        5000);
    std::printf("%ls window %s\n", cls.c_str(), shown ? "visible" : "not visible");
    return shown ? 0 : 1;
}

// The set-up wizard a first start shows: waits for it, or presses Next
// until it has finished.
HWND Wizard() {
    HWND w = FindWindowW(L"#32770", L"Halcyra Configuration Wizard");
    return w && IsWindowVisible(w) ? w : nullptr;
}

int WizardShown() {
    bool shown = PumpUntil([] { return Wizard() != nullptr; }, 30000);
    std::printf("set-up wizard %s\n", shown ? "shown" : "not shown");
    return shown ? 0 : 1;
}

int WizardFinish() {
    for (int i = 0; i < 10; ++i) {
        HWND w = Wizard();
        if (!w) {
            std::printf("set-up wizard finished\n");
            return 0;
        }
        PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(w, IDOK)));
        PumpUntil([w] { return !IsWindow(w) || !IsWindowVisible(w); }, 500);
    }
    std::printf("error: the set-up wizard did not finish\n");
    return 1;
}

int WaitResident(const std::wstring& cls) {
    bool resident = PumpUntil([&] { return Resident(WindowOf(cls, 0), cls); }, 30000);
    std::printf("%ls %s\n", cls.c_str(), resident ? "resident" : "not resident");
    return resident ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) args.push_back(Widen(argv[i]));
    std::wstring mode = args.empty() ? L"" : args[0];
    if (mode == L"latency" && args.size() == 4 && std::atoi(argv[4]) > 0)
        return Latency(args[1], args[2], std::atoi(argv[4]));
    if (mode == L"shell" && args.size() == 1) return StartShell();
    if (mode == L"start" && args.size() >= 3 && args.size() % 2 == 1)
        return StartPrograms(std::vector<std::wstring>(args.begin() + 1, args.end()));
    if (mode == L"visible" && args.size() == 2) return Visible(args[1]);
    if (mode == L"e2e" && args.size() == 6 && std::atoi(argv[4]) > 0 && std::atoi(argv[5]) >= 0 &&
        std::atoi(argv[6]) >= 0)
        return EndToEnd(args[1], args[2], std::atoi(argv[4]), static_cast<unsigned>(std::atoi(argv[5])),
                        static_cast<unsigned>(std::atoi(argv[6])));
    if (mode == L"endsession" && args.size() == 4) return EndSession(args[1], args[2], args[3]);
    if (mode == L"hold" && args.size() == 6 && std::atoi(argv[6]) > 0)
        return Hold(args[1], args[2], args[3], args[4], std::atoi(argv[6]));
    if (mode == L"wizard-shown" && args.size() == 1) return WizardShown();
    if (mode == L"wizard-finish" && args.size() == 1) return WizardFinish();
    if (mode == L"resident" && args.size() == 2) return WaitResident(args[1]);
    std::printf("usage: bench_driver latency PROGRAM CLASS TRIALS | e2e PROGRAM CLASS TRIALS BUSY_MS STEP_MS | shell | start PROGRAM CLASS [...] | "
                "visible CLASS | endsession PROGRAM CLASS RECORD | hold PROGRAM CLASS FLOOR FLOOR_CLASS TRIALS | "
                "wizard-shown | wizard-finish | resident CLASS\n");
    return 2;
}
