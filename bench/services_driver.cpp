// The Windows side of scripts/bench-services: stops real services of the
// prefix's service manager through StopNTService and prints a markdown
// table of how long after the stop request it returned, beside the
// service's own stop time (tools/test_service.cpp records when the request
// reached it and when it reported SERVICE_STOPPED). Not a test.
//
//   services_driver.exe [TRIALS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/service_manager_win32.h"
#include "platform/win32/system_win32.h"
#include "platform/win32/text.h"
#include "services/basCheckNTService.h"
#include "services/servicesForms.h"
#include "ui/win32/native_ui.h"

namespace {

using platform::win32::ScHandle;
using platform::win32::Widen;

SC_HANDLE Sc(const ScHandle& h) { return static_cast<SC_HANDLE>(h.get()); }

long long MicrosecondsNow() {
    LARGE_INTEGER c, f;
    QueryPerformanceCounter(&c);
    QueryPerformanceFrequency(&f);
    return c.QuadPart / f.QuadPart * 1000000 + (c.QuadPart % f.QuadPart) * 1000000 / f.QuadPart;
}

std::string Folder() {
    wchar_t buf[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
    std::string path = platform::win32::Narrow(buf, n);
    return path.substr(0, path.find_last_of('\\') + 1);
}

DWORD StateOf(SC_HANDLE s) {
    SERVICE_STATUS st{};
    return QueryServiceStatus(s, &st) ? st.dwCurrentState : 0;
}

bool WaitForState(SC_HANDLE s, DWORD state, DWORD ms) {
    ULONGLONG end = GetTickCount64() + ms;
    while (StateOf(s) != state) {
        if (GetTickCount64() > end) return false;
        Sleep(10);
    }
    return true;
}

struct Scenario {
    const char* what;
    const char* mode;
    unsigned delayMs;
    int waitSeconds;
};

struct Trial {
    double requestToReturn;  // ms: the request reaching the service -> StopNTService returning
    double callToReturn;     // ms: StopNTService called -> returning
    double own;              // ms: the request reaching the service -> SERVICE_STOPPED; < 0 never
};

// One run of a scenario; false when the service could not be set up.
bool RunOnce(const Scenario& sc, unsigned pollMs, int index, Trial& out) {
    const std::string name = "HalcyraBench_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(index);
    const std::string display = "Halcyra Bench " + std::to_string(index);
    const std::string record = Folder() + name + ".txt";
    DeleteFileW(Widen(record).c_str());
    const std::string binary = "\"" + Folder() + "test_service.exe\" " + sc.mode + " " + std::to_string(sc.delayMs) +
                               " \"" + record + "\"";
    ScHandle m(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    ScHandle s(CreateServiceW(Sc(m), Widen(name).c_str(), Widen(display).c_str(), SERVICE_ALL_ACCESS,
                              SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                              Widen(binary).c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    if (!s) return false;
    bool ok = false;
    for (int attempt = 0; attempt < 2 && !ok; ++attempt)
        ok = StartServiceW(Sc(s), 0, nullptr) && WaitForState(Sc(s), SERVICE_RUNNING, 15000);
    if (ok) {
        platform::win32::Win32ServiceManager scm;
        platform::win32::Win32Clock clock;
        ui::win32::NativeUi ui(GetModuleHandleW(nullptr));
        ui.RegisterTemplate("frmError", services_forms::frmErrorControls);
        basCheckNTService::StopContext c(scm, clock, ui);
        c.waitSeconds = sc.waitSeconds;
        c.pollMs = pollMs;
        long long t0 = MicrosecondsNow();
        basCheckNTService::StopNTService(c, display);
        long long t1 = MicrosecondsNow();

        long long request = 0, stopped = 0;
        std::ifstream in(record);
        std::string what;
        long long at;
        while (in >> what >> at) {
            if (what == "stop-request" && !request) request = at;
            if (what == "stopped") stopped = at;
        }
        ok = request != 0;
        out = {(t1 - request) / 1000.0, (t1 - t0) / 1000.0, stopped ? (stopped - request) / 1000.0 : -1};
    }
    // Clean up: a service that ignored the request ends on its quit event.
    if (StateOf(Sc(s)) != SERVICE_STOPPED) {
        HANDLE quit = OpenEventW(EVENT_MODIFY_STATE, FALSE, Widen("Global\\HalcyraTestService." + name + ".quit").c_str());
        if (quit) {
            SetEvent(quit);
            CloseHandle(quit);
        }
        WaitForState(Sc(s), SERVICE_STOPPED, 10000);
    }
    DeleteService(Sc(s));
    DeleteFileW(Widen(record).c_str());
    return ok;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string Ms(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.0f", v);
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    int trials = argc > 1 ? std::atoi(argv[1]) : 5;
    if (trials < 1) trials = 5;
    const Scenario scenarios[] = {
        {"stops 100 ms after the request", "after", 100, 20},
        {"stops at once", "now", 0, 20},
        {"never stops, limit 2 s", "never", 0, 2},
    };
    const unsigned polls[] = {50, 1000};

    std::printf("| service | look every | trials | own stop time (median) | request to return: median (min-max) | "
                "beyond own stop: median (max) | target (<= 100 ms beyond) |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    int index = 0;
    for (const auto& sc : scenarios) {
        for (unsigned poll : polls) {
            std::vector<double> ret, own, beyond;
            for (int t = 0; t < trials; ++t) {
                Trial r{};
                if (!RunOnce(sc, poll, ++index, r)) {
                    std::fprintf(stderr, "services_driver: could not run \"%s\"\n", sc.what);
                    return 1;
                }
                ret.push_back(r.requestToReturn);
                if (r.own >= 0) {
                    own.push_back(r.own);
                    beyond.push_back(r.requestToReturn - r.own);
                }
            }
            std::string ownText = own.empty() ? "never" : Ms(Median(own)) + " ms";
            std::string beyondText = "-", target;
            if (!beyond.empty()) {
                double worst = *std::max_element(beyond.begin(), beyond.end());
                beyondText = Ms(Median(beyond)) + " (" + Ms(worst) + ") ms";
                target = worst <= 100 ? "met" : "missed";
            } else {
                double worst = *std::max_element(ret.begin(), ret.end());
                target = worst <= (sc.waitSeconds + 1) * 1000 + 100 ? "returns within a second of the limit"
                                                                     : "later than a second after the limit";
            }
            std::printf("| %s | %s | %d | %s | %s (%s-%s) ms | %s | %s |\n", sc.what,
                        poll == 1000 ? "1000 ms (a check a second)" : "50 ms", trials, ownText.c_str(),
                        Ms(Median(ret)).c_str(), Ms(*std::min_element(ret.begin(), ret.end())).c_str(),
                        Ms(*std::max_element(ret.begin(), ret.end())).c_str(), beyondText.c_str(), target.c_str());
            std::fflush(stdout);
        }
    }
    return 0;
}
