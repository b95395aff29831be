#include "platform/win32/process_win32.h"

#include <windows.h>

#include <vector>

#include "platform/win32/text.h"
#include "platform/win32/wait_win32.h"

namespace platform::win32 {

namespace {

class Win32Process : public Process {
public:
    explicit Win32Process(HANDLE process) : process_(process) {}
    ~Win32Process() override { CloseHandle(process_); }

    std::uint32_t Wait(std::uint32_t milliseconds) override {
        // The daemon's windows keep answering while the program runs: the
        // please-wait window paints, and a broadcast SendMessage from another
        // program is not held up.
        return WaitAnswering(process_, milliseconds);
    }

    std::optional<std::uint32_t> ExitCode() override {
        DWORD code = 0;
        if (!GetExitCodeProcess(process_, &code)) return std::nullopt;
        return code;
    }

private:
    HANDLE process_;
};

// CreateProcess may write into the command line.
std::vector<wchar_t> Writable(const std::string& commandLine) {
    std::wstring cmd = Widen(commandLine);
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(L'\0');
    return buf;
}

}  // namespace

bool Win32Processes::Start(const std::string& commandLine) { return !StartShown(commandLine, SW_SHOWNORMAL); }

std::error_code Win32Processes::StartShown(const std::string& commandLine, std::uint16_t showCode) {
    std::vector<wchar_t> buf = Writable(commandLine);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = showCode;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return {static_cast<int>(GetLastError()), std::system_category()};
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return {};
}

bool Win32Processes::StartIn(const std::string& commandLine, const std::string& folder) {
    std::vector<wchar_t> buf = Writable(commandLine);
    std::wstring dir = Widen(folder);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.empty() ? nullptr : dir.c_str(),
                        &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

std::unique_ptr<Process> Win32Processes::Launch(const std::string& commandLine, std::error_code& error) {
    error.clear();
    std::vector<wchar_t> buf = Writable(commandLine);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    // No handle of the daemon goes to the child.
    if (!CreateProcessW(nullptr, buf.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr, &si,
                        &pi)) {
        error.assign(static_cast<int>(GetLastError()), std::system_category());
        return nullptr;
    }
    CloseHandle(pi.hThread);
    return std::make_unique<Win32Process>(pi.hProcess);
}

// SYNCHRONIZE alone: the least right a wait needs, so the least likely to
// be refused.
std::unique_ptr<Process> Win32Processes::Open(std::uint32_t processId, std::error_code& error) {
    error.clear();
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process) {
        error.assign(static_cast<int>(GetLastError()), std::system_category());
        return nullptr;
    }
    return std::make_unique<Win32Process>(process);
}

}  // namespace platform::win32
