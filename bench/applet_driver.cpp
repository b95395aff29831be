// The Windows side of scripts/bench-applet: registers many services in the
// prefix's service manager (not started; a stored stop list names them),
// then times opening the settings dialog, from creating it to its being
// shown, and one dependency check, from the click on a check box to the
// warning being shown. Prints a markdown table. Not a test.
//
//   applet_driver.exe [SERVICES] [TRIALS]   (default 300 and 5)
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "applet/AppletState.h"
#include "applet/frmMain.h"
#include "applet/halcfgForms.h"
#include "applet/halcfgRes.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/native_ui.h"

namespace {

using platform::win32::Widen;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

bool WaitFor(const std::function<bool()>& done, int ms = 60000) {
    auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        if (done()) return true;
        Sleep(1);
    }
    return done();
}

HWND DialogTitled(const wchar_t* title) {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", title); w; w = FindWindowExW(nullptr, w, L"#32770", title)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(w)) return w;
    }
    return nullptr;
}

std::wstring Name(int i) { return L"HalcyraBench_" + std::to_wstring(i); }
std::string Display(int i) { return "Halcyra Bench " + std::to_string(i); }

void RemoveAll(SC_HANDLE scm, int count) {
    for (int i = 0; i < count; ++i)
        if (SC_HANDLE s = OpenServiceW(scm, Name(i).c_str(), DELETE)) {
            DeleteService(s);
            CloseServiceHandle(s);
        }
}

bool ClickCheckBox(HWND list, int row) {
    RECT r{};
    r.left = LVIR_BOUNDS;
    if (!SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r))) return false;
    for (int x = r.left; x < r.left + 40; ++x) {
        LVHITTESTINFO hit{};
        hit.pt = {x, (r.top + r.bottom) / 2};
        if (SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) == row &&
            (hit.flags & LVHT_ONITEMSTATEICON)) {
            LPARAM at = MAKELPARAM(hit.pt.x, hit.pt.y);
            PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageW(list, WM_LBUTTONUP, 0, at);
            return true;
        }
    }
    return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int count = argc > 1 ? std::max(2, _wtoi(argv[1])) : 300;
    int trials = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;

    SC_HANDLE scm = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!scm) return 1;
    RemoveAll(scm, count);
    std::string stopList;
    for (int i = 0; i < count; ++i) {
        // Service 1 depends on service 0: checking service 0 warns.
        std::wstring depends = i == 1 ? Name(0) + std::wstring(2, L'\0') : std::wstring();
        SC_HANDLE s = CreateServiceW(scm, Name(i).c_str(), Widen(Display(i)).c_str(), SERVICE_ALL_ACCESS,
                                     SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                     L"C:\\windows\\system32\\notepad.exe", nullptr, nullptr,
                                     depends.empty() ? nullptr : depends.c_str(), nullptr, nullptr);
        if (!s) {
            std::fprintf(stderr, "could not register service %d (%lu)\n", i, GetLastError());
            RemoveAll(scm, count);
            return 1;
        }
        CloseServiceHandle(s);
        stopList += Display(i) + ",";
    }
    HKEY key = nullptr;
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra");
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Halcyra\\Settings", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                    nullptr);
    std::wstring w = Widen(stopList);
    RegSetValueExW(key, L"StopList", 0, REG_SZ, reinterpret_cast<const BYTE*>(w.c_str()),
                   static_cast<DWORD>(w.size() * sizeof(wchar_t)));
    RegSetValueExW(key, L"StopServices", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"1"), 2);
    RegCloseKey(key);

    ui::win32::NativeUi nativeUi(GetModuleHandleW(nullptr));
    applet_forms::RegisterTemplates(nativeUi);
    platform::win32::Win32Platform win32;
    std::vector<double> opens, checks;
    int rows = 0;
    for (int t = 0; t < trials; ++t) {
        halcfg::AppletState state;
        Clock::time_point start = Clock::now(), shown{}, clicked{}, warned{};
        std::thread user([&] {
            HWND dialog = nullptr;
            if (!WaitFor([&] { return (dialog = DialogTitled(L"Halcyra Settings")) != nullptr; })) return;
            shown = Clock::now();
            HWND list = GetDlgItem(dialog, IDC_CFG_LSVSTOP);
            rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
            clicked = Clock::now();
            HWND box = nullptr;
            if (ClickCheckBox(list, 0) && WaitFor([&] { return (box = DialogTitled(L"Stopping Service")) != nullptr; }))
                warned = Clock::now();
            if (box) {
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                WaitFor([&] { return !IsWindow(box); }, 10000);
            }
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        });
        {
            halcfg::frmMain main(nativeUi, win32.plat, state);
            main.Show();
        }
        user.join();
        if (shown == Clock::time_point{} || warned == Clock::time_point{}) {
            std::fprintf(stderr, "trial %d: the dialog or the warning did not show\n", t + 1);
            RemoveAll(scm, count);
            return 1;
        }
        opens.push_back(Ms(shown - start));
        checks.push_back(Ms(warned - clicked));
    }
    RemoveAll(scm, count);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra");
    CloseServiceHandle(scm);

    auto line = [](const char* what, std::vector<double> v, double target) {
        std::sort(v.begin(), v.end());
        std::printf("| %s | %.0f | %.0f | %.0f | %.0f |\n", what, v[v.size() / 2], v.front(), v.back(), target);
    };
    std::printf("%d services registered, %d rows listed, %d trials\n\n", count, rows, trials);
    std::printf("| ms | median | min | max | target |\n|---|---|---|---|---|\n");
    line("opening the dialog", opens, 300);
    line("one dependency check", checks, 100);
    return 0;
}
