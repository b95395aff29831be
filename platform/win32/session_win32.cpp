#include "platform/win32/session_win32.h"

#include <windows.h>
#include <tlhelp32.h>

#include "platform/win32/text.h"

namespace platform::win32 {

namespace {

std::error_code LastError() { return {static_cast<int>(GetLastError()), std::system_category()}; }

// ShutdownBlockReasonCreate and ShutdownBlockReasonDestroy: Windows Vista and
// later. The headers of the floor do not declare them.
using ReasonCreate = BOOL(WINAPI*)(HWND, LPCWSTR);
using ReasonDestroy = BOOL(WINAPI*)(HWND);

struct HoldApi {
    ReasonCreate create = nullptr;
    ReasonDestroy destroy = nullptr;
    explicit operator bool() const { return create && destroy; }
};

const HoldApi& Hold() {
    static const HoldApi api = [] {
        HoldApi a;
        // user32 is loaded in every program with windows.
        if (HMODULE user = GetModuleHandleW(L"user32.dll")) {
            a.create = reinterpret_cast<ReasonCreate>(
                reinterpret_cast<void*>(GetProcAddress(user, "ShutdownBlockReasonCreate")));
            a.destroy = reinterpret_cast<ReasonDestroy>(
                reinterpret_cast<void*>(GetProcAddress(user, "ShutdownBlockReasonDestroy")));
        }
        return a;
    }();
    return api;
}

HWND Hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window.value); }

// A kernel handle closed when it goes; both "none" values count as none.
class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    ~OwnedHandle() {
        if (h_) CloseHandle(h_);
    }
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HANDLE h_;
};

}  // namespace

std::error_code Win32Session::EnableShutdownPrivilege() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) return LastError();
    OwnedHandle token(raw);
    TOKEN_PRIVILEGES tp{};
    if (!LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &tp.Privileges[0].Luid)) return LastError();
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    TOKEN_PRIVILEGES previous{};
    DWORD previousSize = sizeof previous;
    if (!AdjustTokenPrivileges(token.get(), FALSE, &tp, sizeof previous, &previous, &previousSize)) return LastError();
    // Success with ERROR_NOT_ALL_ASSIGNED: the token does not hold the right.
    DWORD status = GetLastError();
    return status == ERROR_SUCCESS ? std::error_code() : std::error_code(static_cast<int>(status), std::system_category());
}

std::error_code Win32Session::EndSession(std::uint32_t flags, std::uint32_t reason) {
    if (!ExitWindowsEx(flags, reason)) return LastError();
    return {};
}

bool Win32Session::CanHoldEnd() { return static_cast<bool>(Hold()); }

std::error_code Win32Session::HoldEnd(WindowHandle window, const std::string& reason) {
    if (!Hold()) return {kNoHold, std::system_category()};
    if (!Hold().create(Hwnd(window), Widen(reason).c_str())) return LastError();
    return {};
}

std::error_code Win32Session::ReleaseEnd(WindowHandle window) {
    if (!Hold()) return {kNoHold, std::system_category()};
    if (!Hold().destroy(Hwnd(window))) return LastError();
    return {};
}

std::vector<ProcessEntry> Win32ProcessList::Snapshot(std::error_code& error) {
    error.clear();
    std::vector<ProcessEntry> list;
    OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        error = LastError();
        return list;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
        list.push_back({entry.th32ProcessID, Narrow(entry.szExeFile)});
    // The walk ends with ERROR_NO_MORE_FILES; anything else cut it short.
    DWORD last = GetLastError();
    if (list.empty() && last != ERROR_NO_MORE_FILES) error.assign(static_cast<int>(last), std::system_category());
    return list;
}

std::error_code Win32ProcessList::Terminate(std::uint32_t processId, std::uint32_t exitCode) {
    OwnedHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId));
    if (!process) return LastError();
    if (!TerminateProcess(process.get(), exitCode)) return LastError();
    return {};
}

}  // namespace platform::win32
