// A real Windows service for the tests and the benchmark: a
// SERVICE_WIN32_OWN_PROCESS service whose answer to SERVICE_CONTROL_STOP is
// chosen by the arguments of its registered command line:
//
//   test_service.exe MODE [DELAY_MS] [RECORD_FILE]
//
//   now    reports SERVICE_STOPPED at once;
//   after  reports SERVICE_STOP_PENDING, then SERVICE_STOPPED DELAY_MS later;
//   never  reports SERVICE_STOP_PENDING and stays there (each further stop
//          request is refused by the service manager with 1061).
//
// Whatever the mode, setting the event "Global\HalcyraTestService.<name>.quit"
// (name = the service's key name) makes it report SERVICE_STOPPED and end, so
// that a test can always clean up. With RECORD_FILE, the service appends
// "stop-request <us>" when the stop request reaches it and "stopped <us>"
// just before it reports SERVICE_STOPPED; <us> is QueryPerformanceCounter in
// microseconds, the same clock in every process of the machine.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

enum class Mode { Now, After, Never };

Mode mode = Mode::Now;
DWORD delayMs = 0;
std::wstring recordFile;

SERVICE_STATUS_HANDLE statusHandle = nullptr;
SERVICE_STATUS status{};
HANDLE stopEvent = nullptr;
HANDLE quitEvent = nullptr;
CRITICAL_SECTION statusLock;

long long MicrosecondsNow() {
    LARGE_INTEGER c, f;
    QueryPerformanceCounter(&c);
    QueryPerformanceFrequency(&f);
    return static_cast<long long>(c.QuadPart / f.QuadPart * 1000000 + (c.QuadPart % f.QuadPart) * 1000000 / f.QuadPart);
}

void Record(const char* what) {
    if (recordFile.empty()) return;
    char line[96];
    int n = std::snprintf(line, sizeof line, "%s %lld\r\n", what, MicrosecondsNow());
    HANDLE f = CreateFileW(recordFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, line, static_cast<DWORD>(n), &written, nullptr);
    CloseHandle(f);
}

void Report(DWORD state, DWORD waitHint = 0) {
    EnterCriticalSection(&statusLock);
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    status.dwWin32ExitCode = NO_ERROR;
    status.dwWaitHint = waitHint;
    status.dwCheckPoint = state == SERVICE_STOP_PENDING ? status.dwCheckPoint + 1 : 0;
    SetServiceStatus(statusHandle, &status);
    LeaveCriticalSection(&statusLock);
}

DWORD WINAPI Handler(DWORD control, DWORD, void*, void*) {
    switch (control) {
        case SERVICE_CONTROL_STOP:
        case SERVICE_CONTROL_SHUTDOWN:
            Record("stop-request");
            if (mode == Mode::Now) {
                SetEvent(stopEvent);
            } else {
                Report(SERVICE_STOP_PENDING, mode == Mode::After ? delayMs + 1000 : 30000);
                if (mode == Mode::After) SetEvent(stopEvent);
            }
            return NO_ERROR;
        case SERVICE_CONTROL_INTERROGATE:
            return NO_ERROR;
        default:
            return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI ServiceMain(DWORD argc, wchar_t** argv) {
    std::wstring name = argc > 0 ? argv[0] : L"";
    statusHandle = RegisterServiceCtrlHandlerExW(name.c_str(), Handler, nullptr);
    if (!statusHandle) return;
    stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    quitEvent = CreateEventW(nullptr, TRUE, FALSE, (L"Global\\HalcyraTestService." + name + L".quit").c_str());
    Report(SERVICE_RUNNING);

    HANDLE both[2] = {stopEvent, quitEvent};
    DWORD which = WaitForMultipleObjects(quitEvent ? 2 : 1, both, FALSE, INFINITE);
    if (which == WAIT_OBJECT_0 && mode == Mode::After) WaitForSingleObject(quitEvent, delayMs);
    Record("stopped");
    Report(SERVICE_STOPPED);
    // After SERVICE_STOPPED the service manager may end the process at any
    // time; nothing of ours is left to do.
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    InitializeCriticalSection(&statusLock);
    if (argc > 1 && std::wcscmp(argv[1], L"after") == 0) mode = Mode::After;
    else if (argc > 1 && std::wcscmp(argv[1], L"never") == 0) mode = Mode::Never;
    if (argc > 2) delayMs = static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10));
    if (argc > 3) recordFile = argv[3];

    // The service manager names the service in ServiceMain's arguments; any
    // name serves an own-process service's table.
    wchar_t anyName[] = L"";
    SERVICE_TABLE_ENTRYW table[] = {{anyName, ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherW(table) ? 0 : static_cast<int>(GetLastError());
}
