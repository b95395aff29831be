#include "test_util.h"

#include <windows.h>

#include "platform/win32/text.h"

#include <chrono>
#include <thread>

namespace testutil {

std::string ProgramFolder() {
    wchar_t buf[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
    std::string path = platform::win32::Narrow(buf, n);
    return path.substr(0, path.find_last_of('\\') + 1);
}

ScratchKey::ScratchKey()
    : path_("Software\\HalcyraTests\\" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(GetTickCount64())) {}

ScratchKey::~ScratchKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, platform::win32::Widen(path_).c_str());
}

}  // namespace testutil

namespace testutil {

bool WaitFor(const std::function<bool()>& done, int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

bool Process::Start(const std::string& commandLine) {
    std::wstring cmd = platform::win32::Widen(commandLine);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    return CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != FALSE;
}

bool Process::Running() const { return pi.hProcess && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }

DWORD Process::ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return code;
}

void Process::Kill() {
    if (!pi.hProcess) return;
    if (Running()) TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    pi = {};
}

HWND DialogTitled(const std::wstring& title) {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", title.c_str()); w;
         w = FindWindowExW(nullptr, w, L"#32770", title.c_str())) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(w)) return w;
    }
    return nullptr;
}

std::wstring TextOf(HWND w) {
    int n = GetWindowTextLengthW(w);
    std::wstring text(static_cast<size_t>(n > 0 ? n : 0) + 1, L'\0');
    n = GetWindowTextW(w, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

std::wstring Setting(const wchar_t* name, const std::wstring& missing) {
    wchar_t buf[2048] = {};
    DWORD size = sizeof buf;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Halcyra\\Settings", name, RRF_RT_REG_SZ, nullptr, buf, &size) !=
        ERROR_SUCCESS)
        return missing;
    return buf;
}

}  // namespace testutil
