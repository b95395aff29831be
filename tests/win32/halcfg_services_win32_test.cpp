// The settings dialog's services page on its real template, against real
// services of Wine's service manager: the listing and the dependency warning.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
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
#include "test_util.h"
#include "ui/win32/native_ui.h"

namespace {

using testutil::DialogTitled;
using testutil::Process;
using testutil::TextOf;
using testutil::WaitFor;

using platform::win32::Narrow;
using platform::win32::Widen;




std::vector<std::string> Rows(HWND list, int column = 0) {
    std::vector<std::string> rows;
    int n = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int r = 0; r < n; ++r) {
        wchar_t buf[512] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buf;
        item.cchTextMax = 512;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&item));
        rows.push_back(Narrow(buf));
    }
    return rows;
}

SC_HANDLE Manager() { return OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS); }

// A service of this test run, deleted (and stopped) when the object goes.
class TestService {
public:
    TestService(const std::string& tag, const std::wstring& dependencies = L"")
        : name_(Widen("HalcyraApplet_" + std::to_string(GetCurrentProcessId()) + "_" + tag)),
          display_("Halcyra Applet " + tag + " " + std::to_string(GetCurrentProcessId())) {
        std::wstring binary = L"\"" + Widen(testutil::ProgramFolder()) + L"test_service.exe\" now 0";
        SC_HANDLE scm = Manager();
        service_ = CreateServiceW(scm, name_.c_str(), Widen(display_).c_str(), SERVICE_ALL_ACCESS,
                                  SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                  binary.c_str(), nullptr, nullptr, dependencies.empty() ? nullptr : dependencies.c_str(),
                                  nullptr, nullptr);
        CloseServiceHandle(scm);
    }
    ~TestService() {
        if (!service_) return;
        SERVICE_STATUS st;
        ControlService(service_, SERVICE_CONTROL_STOP, &st);
        WaitFor([&] { return QueryServiceStatus(service_, &st) && st.dwCurrentState == SERVICE_STOPPED; }, 10000);
        DeleteService(service_);
        CloseServiceHandle(service_);
    }
    bool Start() {
        for (int attempt = 0; attempt < 2; ++attempt)
            if (StartServiceW(service_, 0, nullptr) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING)
                return WaitFor([&] {
                    SERVICE_STATUS st;
                    return QueryServiceStatus(service_, &st) && st.dwCurrentState == SERVICE_RUNNING;
                }, 15000);
        return false;
    }
    bool Created() const { return service_ != nullptr; }
    const std::wstring& name() const { return name_; }
    const std::string& display() const { return display_; }

private:
    std::wstring name_;
    std::string display_;
    SC_HANDLE service_ = nullptr;
};

void PutSetting(const wchar_t* name, const std::string& value) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Halcyra\\Settings", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                    nullptr);
    std::wstring w = Widen(value);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(w.c_str()),
                   static_cast<DWORD>(w.size() * sizeof(wchar_t)));
    RegCloseKey(key);
}

// A left click on the check box of a list row, as the mouse gives it.
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

class AppletServicesPage : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra");
        applet_forms::RegisterTemplates(ui);
        state.LibraryFolder = testutil::ProgramFolder();
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra"); }

    // Opens the dialog on its services page; `user` runs on a second thread
    // while it is shown and the dialog is cancelled afterwards.
    void Open(const std::function<void(HWND dialog)>& user) {
        std::thread helper([&] {
            HWND dialog = nullptr;
            if (WaitFor([&] { return (dialog = DialogTitled(L"Halcyra Settings")) != nullptr; })) {
                user(dialog);
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
            }
        });
        halcfg::frmMain main(ui, win32.plat, state);
        main.Show();
        helper.join();
    }

    ui::win32::NativeUi ui{GetModuleHandleW(nullptr)};
    platform::win32::Win32Platform win32;
    halcfg::AppletState state;
};

TEST_F(AppletServicesPage, RunningServicesFollowTheStoredOnesAndADependentIsNamed) {
    TestService base("Base");
    ASSERT_TRUE(base.Created());
    // The dependent's dependencies: the base, in a multi-string.
    TestService dependent("Dependent", base.name() + std::wstring(L"\0", 1));
    ASSERT_TRUE(dependent.Created());
    ASSERT_TRUE(base.Start());
    PutSetting(L"StopList", dependent.display() + ",Stored Elsewhere,");

    std::vector<std::string> rows, marks;
    std::wstring message;
    Open([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_CFG_LSVSTOP);
        rows = Rows(list);
        marks = Rows(list, 1);
        int baseRow = -1;
        for (size_t r = 0; r < rows.size(); ++r)
            if (rows[r] == base.display()) baseRow = static_cast<int>(r);
        if (baseRow < 0) return;
        // The list is disabled while services are not stopped.
        SendDlgItemMessageW(dialog, IDC_CFG_CHKSTOPSERVICES, BM_SETCHECK, BST_CHECKED, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_CFG_CHKSTOPSERVICES, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_CFG_CHKSTOPSERVICES)));
        if (!ClickCheckBox(list, baseRow)) return;
        HWND box = nullptr;
        if (!WaitFor([&] { return (box = DialogTitled(L"Stopping Service")) != nullptr; })) return;
        message = TextOf(GetDlgItem(box, 0xFFFF));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        WaitFor([&] { return !IsWindow(box); });
    });
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[0], dependent.display());
    EXPECT_EQ(rows[1], "Stored Elsewhere");
    auto listed = std::find(rows.begin() + 2, rows.end(), base.display());
    EXPECT_NE(listed, rows.end()) << "the running base service is listed after the stored ones";
    EXPECT_EQ(std::count(rows.begin(), rows.end(), dependent.display()), 1);
    // Wine lets every user stop every service: only the stored name of no
    // service is marked.
    ASSERT_EQ(marks.size(), rows.size());
    EXPECT_EQ(marks[0], "");
    EXPECT_EQ(marks[1], "Not installed");
    EXPECT_EQ(marks[static_cast<size_t>(listed - rows.begin())], "");
    std::string b = base.display(), d = dependent.display();
    EXPECT_EQ(Narrow(message), "The following services are dependent on the " + b + " service:  " + d +
                                   ".  You must move these above the " + b + " service so they stop before the " +
                                   b + " service and then select them.");
}

TEST_F(AppletServicesPage, TheSecondsFieldTakesThreeDigits) {
    PutSetting(L"SecondsToWaitForService", "1000");  // stored before the limit: shown and kept whole
    std::wstring shown, typed;
    LRESULT limit = 0;
    Open([&](HWND dialog) {
        HWND field = GetDlgItem(dialog, IDC_CFG_TXTSERVICESECONDS);
        shown = TextOf(field);
        limit = SendMessageW(field, EM_GETLIMITTEXT, 0, 0);
        SendMessageW(field, EM_SETSEL, 0, -1);
        for (wchar_t c : std::wstring(L"12345")) SendMessageW(field, WM_CHAR, c, 0);
        typed = TextOf(field);
    });
    EXPECT_EQ(shown, L"1000");
    EXPECT_EQ(limit, 3);
    EXPECT_EQ(typed, L"123");
}

}  // namespace
