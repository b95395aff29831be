#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace testutil {

// The folder of the running test program, ending in a backslash.
std::string ProgramFolder();

// A registry path under HKEY_CURRENT_USER unique to this test run; removed
// with everything below it when the object goes.
class ScratchKey {
public:
    ScratchKey();
    ~ScratchKey();
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Asks `done` every few milliseconds until it holds or `ms` have passed.
bool WaitFor(const std::function<bool()>& done, int ms = 20000);

// A program the test starts; ended, if still running, when the object goes.
struct Process {
    PROCESS_INFORMATION pi{};
    bool Start(const std::string& commandLine);
    bool Running() const;
    DWORD ExitCode() const;
    void Kill();
    ~Process() { Kill(); }
};

// A visible dialog of this process with that caption.
HWND DialogTitled(const std::wstring& title);

// A window's text.
std::wstring TextOf(HWND w);

// A text value of the user's Halcyra settings, or `missing`.
std::wstring Setting(const wchar_t* name, const std::wstring& missing = L"<missing>");

}  // namespace testutil
