// The set-up wizard on its real template, controls and adapters.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/basRegistry.h"
#include "common/basSettings.h"
#include "daemon/halcyradForms_win32.h"
#include "platform/callback_guard.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "wizard/ListViewRunList.h"
#include "wizard/basUtilityWizard.h"
#include "wizard/wizardRes.h"

namespace {

using platform::win32::Narrow;
using platform::win32::Widen;

constexpr const wchar_t* kDefragKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\DefragPath";

// What the user does while the wizard is shown; run from a timer of the
// wizard's own modal loop.
std::function<void(HWND)> g_user;

void CALLBACK UserTimer(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    HWND wizard = ::FindWindowW(L"#32770", L"Halcyra Configuration Wizard");
    platform::Guarded([&] {
        ASSERT_NE(wizard, nullptr);
        g_user(wizard);
    });
}

void Press(HWND wizard, int id) {
    ::SendMessageW(wizard, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(wizard, id)));
}

bool Shown(HWND wizard, int id) { return ::IsWindowVisible(::GetDlgItem(wizard, id)) != FALSE; }

// Entries of a list, ticked ones marked with "+".
std::vector<std::string> Entries(HWND wizard, int id) {
    HWND list = ::GetDlgItem(wizard, id);
    std::vector<std::string> out;
    int n = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        wchar_t buf[64] = {};
        ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf));
        out.push_back(Narrow(buf) + (::SendMessageW(list, LB_GETSEL, i, 0) > 0 ? "+" : ""));
    }
    return out;
}

std::string Folder(UINT (*get)(wchar_t*, UINT)) {
    wchar_t buf[MAX_PATH] = {};
    UINT n = get(buf, MAX_PATH);
    std::string s = Narrow(buf, n);
    return s.back() == '\\' ? s : s + "\\";
}

class NativeWizard : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra");
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kDefragKey);
        daemon_forms::RegisterAll(nativeUi);
        owner = nativeUi.CreateForm("frmMain", nullptr);
        auto& lv = owner->GetListView("lsvRun");
        lv.AddColumn("Programs");
        lv.AddColumn("Days Run");
        lv.SetCheckBoxes();
        rows = std::make_unique<wizard::ListViewRunList>(lv);
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra");
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kDefragKey);
        g_user = nullptr;
    }
    bool Run(std::function<void(HWND)> user) {
        g_user = std::move(user);
        ::SetTimer(nullptr, 0, 50, UserTimer);
        basUtilityWizard::WizardContext ctx{win32.registry, win32.system, 2, 5, 1033, platform::RootKey::CurrentUser};
        return basUtilityWizard::RunSetupWizard(nativeUi, owner.get(), ctx, *rows);
    }
    std::string Stored(const std::string& name) {
        return basRegistry::ReadValue(win32.registry, platform::RootKey::CurrentUser, basSettings::kSettingsKey, name,
                                      "<missing>");
    }
    std::vector<std::string> RowNames() {
        auto& lv = owner->GetListView("lsvRun");
        std::vector<std::string> names;
        for (int r = 0; r < lv.RowCount(); ++r)
            names.push_back(lv.GetItemText(r, 0) + (lv.IsItemChecked(r) ? "+" : ""));
        return names;
    }

    platform::win32::Win32Platform win32;
    ui::win32::NativeUi nativeUi{GetModuleHandleW(nullptr)};
    std::unique_ptr<ui::Form> owner;
    std::unique_ptr<wizard::ListViewRunList> rows;
};

TEST_F(NativeWizard, FixedDrivesRegisteredDefragmenterAndFinish) {
    // The registered defragmenter of Windows 2000, as it stores it.
    std::wstring dfrg = L"%systemroot%\\system32\\dfrg.msc %c:";
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kDefragKey, nullptr, REG_EXPAND_SZ, dfrg.c_str(),
                              static_cast<DWORD>((dfrg.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    std::vector<std::string> expectedDrives;
    wchar_t roots[512] = {};
    GetLogicalDriveStringsW(512, roots);
    for (const wchar_t* r = roots; *r; r += wcslen(r) + 1) {
        UINT kind = GetDriveTypeW(r);
        std::string root = Narrow(r);
        CharUpperA(root.data());
        if (root != "A:\\" && root != "B:\\" && (kind == DRIVE_FIXED || kind == DRIVE_REMOVABLE))
            expectedDrives.push_back(root + "+");
    }
    ASSERT_FALSE(expectedDrives.empty());

    std::vector<std::string> drives, utilities;
    std::vector<int> pages;
    auto page = [](HWND w) {
        const int heads[] = {IDC_WIZ_LBLSETUP, IDC_WIZ_LBLUTILITIES, IDC_WIZ_LABEL1_0, IDC_WIZ_LBLDEFRAGMENT,
                             IDC_WIZ_LABEL1_1, IDC_WIZ_LBLFINISHED};
        int shown = -1;
        for (int p = 0; p < 6; ++p)
            if (Shown(w, heads[p])) shown = shown < 0 ? p : -2;
        return shown;
    };
    // Wine has no command-line defragmenter: then nothing is offered for it.
    std::string system = Folder([](wchar_t* b, UINT n) { return GetSystemDirectoryW(b, n); });
    bool defragExe = GetFileAttributesW(Widen(system + "defrag.exe").c_str()) != INVALID_FILE_ATTRIBUTES;
    int presses = defragExe ? 4 : 3;
    int pictureWidth = 0;
    bool finishedPicture = false, keptShown = false;
    EXPECT_TRUE(Run([&](HWND w) {
        // The wizard's own 48-pixel picture, not one of the program's icons
        // that share its image ids when two scripts number them alike.
        ICONINFO info{};
        if (GetIconInfo(reinterpret_cast<HICON>(SendDlgItemMessageW(w, IDC_WIZ_IMGMAIN, STM_GETICON, 0, 0)), &info)) {
            BITMAP bm{};
            GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
            pictureWidth = bm.bmWidth;
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
        }
        drives = Entries(w, IDC_WIZ_LSTDRIVESDEFRAG);
        utilities = Entries(w, IDC_WIZ_LSTUTILITIES);
        for (int i = 0; i < presses; ++i) {
            pages.push_back(page(w));
            if (i == presses - 1) {
                finishedPicture = SendDlgItemMessageW(w, IDC_WIZ_IMGMAIN, STM_GETICON, 0, 0) ==
                                  SendDlgItemMessageW(w, IDC_WIZ_IMGFINISHED, STM_GETICON, 0, 0);
                keptShown = Shown(w, IDC_WIZ_LBLKEPTENTRIES);
            }
            Press(w, IDC_WIZ_CMDNEXT);
        }
    }));
    EXPECT_EQ(pictureWidth, 48);
    EXPECT_TRUE(finishedPicture);
    EXPECT_EQ(drives, expectedDrives);
    EXPECT_TRUE(keptShown);
    EXPECT_EQ(utilities, defragExe ? std::vector<std::string>{"Defragment+"} : std::vector<std::string>{});
    EXPECT_EQ(pages, (defragExe ? std::vector<int>{0, 1, 3, 5} : std::vector<int>{0, 1, 5}));

    std::string temp = Folder([](wchar_t* b, UINT n) { return UINT(GetTempPathW(n, b)); });
    auto quoted = [](const std::string& s) { return s.find(' ') == std::string::npos ? s : "\"" + s + "\""; };
    EXPECT_EQ(Stored("Delete temporary files"), quoted(system + "cmd.exe") + " /c del \"" + temp + "*.tmp\"");
    // The cache folder is found, or its entry is left out.
    wchar_t cache[MAX_PATH] = {};
    std::vector<std::string> expectedRows{"Delete temporary files+"};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_INTERNET_CACHE, nullptr, SHGFP_TYPE_CURRENT, cache)) && *cache) {
        expectedRows.push_back("Delete temporary Internet files+");
        EXPECT_EQ(Stored("Delete temporary Internet files"),
                  quoted(system + "cmd.exe") + " /c del \"" + Narrow(cache) + "\\*.*\" /q");
    } else {
        EXPECT_EQ(Stored("Delete temporary Internet files"), "<missing>");
    }
    // Not Diskeeper: the system's defrag.exe, or no row at all.
    if (defragExe) expectedRows.push_back("Defragment+");
    EXPECT_EQ(RowNames(), expectedRows);
    if (defragExe)
        EXPECT_EQ(Stored("Defragment").rfind(quoted(system + "defrag.exe") + " ", 0), 0u) << Stored("Defragment");
    else
        EXPECT_EQ(Stored("Defragment"), "<missing>");
    EXPECT_EQ(Stored("RanQuickStart"), "True");
}

TEST_F(NativeWizard, CancelAndCloseBoxWriteNothing) {
    EXPECT_FALSE(Run([](HWND w) {
        Press(w, IDC_WIZ_CMDNEXT);
        Press(w, IDC_WIZ_CMDCANCEL);
    }));
    EXPECT_FALSE(Run([](HWND w) {
        Press(w, IDC_WIZ_CMDNEXT);
        ::SendMessageW(w, WM_CLOSE, 0, 0);
    }));
    EXPECT_EQ(Stored("RanQuickStart"), "<missing>");
    EXPECT_TRUE(RowNames().empty());
}

}  // namespace
