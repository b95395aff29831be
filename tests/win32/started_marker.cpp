// Tells cmake/wine-run that this program ran: a failure that leaves no such
// file is Wine failing to start it, not a test failing.
#include <windows.h>

namespace {

struct Started {
    Started() {
        wchar_t path[MAX_PATH];
        DWORD n = GetEnvironmentVariableW(L"HALCYRA_STARTED", path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return;
        // Programs this one starts are not the one the wrapper waits for.
        SetEnvironmentVariableW(L"HALCYRA_STARTED", nullptr);
        HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    }
} started;

}  // namespace
