// Every window of the applet on its real template in each language, as a
// Windows of that language opens them: no text cut off, no access key twice,
// and usable from the keyboard alone.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "applet/AppletState.h"
#include "applet/frmChangePassword.h"
#include "applet/frmMain.h"
#include "applet/frmProgramSelection.h"
#include "applet/halcfgForms.h"
#include "applet/halcfgRes.h"
#include "common/basEncrypt.h"
#include "common/basRegistry.h"
#include "common/basSettings.h"
#include "common/commonForms.h"
#include "common/commonRes.h"
#include "dialog_check.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "test_util.h"
#include "ui/win32/native_ui.h"

namespace {

using dialogcheck::CheckWindow;
using dialogcheck::Joined;

using testutil::Setting;
using testutil::WaitFor;

struct Language {
    std::uint16_t code;
    const char* name;
    std::array<const char*, 7> days;  // the system's day names, Sunday first
};

const Language kLanguages[] = {
    {1033, "English", {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"}},
    {1034, "Spanish", {"domingo", "lunes", "martes", "miércoles", "jueves", "viernes", "sábado"}},
    {1031, "German", {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"}},
    {1040, "Italian", {"domenica", "lunedì", "martedì", "mercoledì", "giovedì", "venerdì", "sabato"}},
    {1036, "French", {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"}},
};

// Tests are named by the language; so are their parameters.
void PrintTo(const Language& l, std::ostream* os) { *os << l.name; }

// The running Windows, speaking the language the test asks for: its own
// files carry that language and it names the days in it.
class SystemIn : public platform::win32::Win32System {
public:
    explicit SystemIn(const Language& l) : language_(l) {}
    platform::VersionTranslations FileTranslations(const std::string&) override {
        return {platform::VersionTranslations::Status::Ok, {language_.code | (1252u << 16)}};
    }
    std::string LongDayName(int day) override { return language_.days[static_cast<size_t>(day) % 7]; }

private:
    const Language& language_;
};

// A click as the dialog manager reports it, posted: what it opens is modal.
void Click(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

HWND WaitForWindowWith(int id) {
    HWND w = nullptr;
    WaitFor([&] { return (w = dialogcheck::VisibleWindowWith(id)) != nullptr; });
    return w;
}

bool WaitGone(HWND w) {
    return WaitFor([&] { return !IsWindow(w) || !IsWindowVisible(w); });
}

// A click on a tab, as the tab control reports it.
void SelectPage(HWND dialog, int page) {
    HWND tab = GetDlgItem(dialog, IDC_CFG_SSTAB1);
    SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
    NMHDR nm{tab, IDC_CFG_SSTAB1, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(dialog, WM_NOTIFY, IDC_CFG_SSTAB1, reinterpret_cast<LPARAM>(&nm));
}

const char* const kPages[] = {"Programs", "Services", "Settings", "Actions"};

class AppletWindows : public ::testing::TestWithParam<Language> {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra");
        applet_forms::RegisterTemplates(ui);
        state.LibraryFolder = testutil::ProgramFolder();
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra"); }
    std::string In(const std::string& window) const { return window + ", " + GetParam().name; }
    // Shows the settings dialog while `user` acts on a second thread, then
    // cancels whatever the user left open.
    void Open(const std::function<void()>& user) {
        std::thread helper([&] {
            user();
            if (HWND d = dialogcheck::VisibleWindowWith(IDC_CFG_SSTAB1)) Click(d, IDCANCEL);
        });
        halcfg::frmMain main(ui, plat, state);
        main.Show();
        helper.join();
    }

    ui::win32::NativeUi ui{GetModuleHandleW(nullptr)};
    platform::win32::Win32Platform win32;
    SystemIn system{GetParam()};
    platform::Platform plat{win32.registry, system,        win32.clock,    win32.locale,   win32.shell,
                            win32.windows,  win32.processes, win32.hook,   win32.eventLog, win32.files,
                            win32.services, win32.session, win32.processList};
    halcfg::AppletState state;
};

// Behind a password the dialog opens locked; the right one unlocks it. The
// Password button then opens the change-password dialog, Add the editor.
TEST_P(AppletWindows, SettingsDialogLockedAndUnlockedAndItsDialogsTextsFitAndKeysAreOwn) {
    basRegistry::SaveString(win32.registry, platform::RootKey::CurrentUser, basSettings::kSettingsKey, "Admin",
                            basEncrypt::Scramble(win32.locale, "secret"));
    std::vector<std::string> problems;
    std::vector<std::string> reached;
    auto pages = [&](HWND dialog, const char* lock) {
        for (int page = 0; page < 4; ++page) {
            SelectPage(dialog, page);
            CheckWindow(dialog, In(std::string("settings dialog, ") + kPages[page] + " page, " + lock),
                        applet_forms::frmMainControls, problems);
        }
        SelectPage(dialog, 0);
    };
    // The window a button opens, found by a control of its own, checked and
    // cancelled.
    auto visit = [&](HWND dialog, int page, int button, int inside, const char* name,
                     const std::vector<ui::Binding>& controls) {
        SelectPage(dialog, page);
        Click(dialog, button);
        HWND window = WaitForWindowWith(inside);
        if (!window) return;
        reached.push_back(name);
        CheckWindow(window, In(name), controls, problems);
        Click(window, IDCANCEL);
        WaitGone(window);
    };
    Open([&] {
        HWND prompt = WaitForWindowWith(IDC_PWD_TXTPASSWORD);
        if (!prompt) return;
        Click(prompt, IDCANCEL);
        HWND dialog = WaitForWindowWith(IDC_CFG_SSTAB1);
        if (!dialog) return;
        reached.push_back("locked");
        pages(dialog, "locked");

        SelectPage(dialog, 3);
        Click(dialog, IDC_CFG_CMDPASSWORD);
        if (!(prompt = WaitForWindowWith(IDC_PWD_TXTPASSWORD))) return;
        SetDlgItemTextW(prompt, IDC_PWD_TXTPASSWORD, L"secret");
        Click(prompt, IDOK);
        if (!WaitGone(prompt) || !WaitFor([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_CFG_CMDVIEW)); }))
            return;
        reached.push_back("unlocked");
        pages(dialog, "unlocked");

        visit(dialog, 3, IDC_CFG_CMDPASSWORD, IDC_CHG_TXTOLD, "change password",
              applet_forms::frmChangePasswordControls);
        visit(dialog, 0, IDC_CFG_CMDADD, IDC_SEL_TXTDISPLAYNAME, "entry editor",
              applet_forms::frmProgramSelectionControls);
    });
    EXPECT_EQ(reached, (std::vector<std::string>{"locked", "unlocked", "change password", "entry editor"}));
    EXPECT_TRUE(problems.empty()) << Joined(problems);
}

INSTANTIATE_TEST_SUITE_P(Languages, AppletWindows, ::testing::ValuesIn(kLanguages),
                         [](const ::testing::TestParamInfo<Language>& info) { return std::string(info.param.name); });

// --- From the keyboard alone ---

class AppletKeyboard : public AppletWindows {};

TEST_P(AppletKeyboard, SettingsDialogPagesByArrowsEveryControlReachedEnterIsOkEscapeIsCancel) {
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Escape");
        std::vector<std::string> missed;
        std::vector<int> shown;
        bool closed = false;
        Open([&] {
            HWND dialog = WaitForWindowWith(IDC_CFG_SSTAB1);
            if (!dialog) return;
            HWND tab = GetDlgItem(dialog, IDC_CFG_SSTAB1);
            for (int page = 0; page < 4; ++page) {
                if (page > 0) {
                    // The arrow keys on the tabs turn the pages.
                    PostMessageW(tab, WM_KEYDOWN, VK_RIGHT, 1);
                    WaitFor([&] { return SendMessageW(tab, TCM_GETCURSEL, 0, 0) == page; }, 5000);
                }
                shown.push_back(static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0)));
                for (const auto& m : dialogcheck::UnreachedByKeyboard(dialog, applet_forms::frmMainControls))
                    missed.push_back(std::string(kPages[page]) + " page: " + m);
            }
            // A change for OK to store; from the list, where the dialog puts
            // the focus first, no button of the page takes the key.
            for (int page = 3; page > 0; --page) {
                PostMessageW(tab, WM_KEYDOWN, VK_LEFT, 1);
                WaitFor([&] { return SendMessageW(tab, TCM_GETCURSEL, 0, 0) == page - 1; }, 5000);
            }
            SendDlgItemMessageW(dialog, IDC_CFG_CHKSHOWICON, BM_SETCHECK, BST_UNCHECKED, 0);
            Click(dialog, IDC_CFG_CHKSHOWICON);
            dialogcheck::PressKey(dialog, key);
            closed = WaitGone(dialog);
        });
        EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3}));
        EXPECT_TRUE(missed.empty()) << Joined(missed);
        EXPECT_TRUE(closed);
        // OK stores the settings, Cancel nothing.
        EXPECT_EQ(Setting(L"ShowIcon"), key == VK_RETURN ? L"0" : L"<missing>");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra");
    }
}

TEST_P(AppletKeyboard, ChangePasswordEnterIsOkEscapeIsCancel) {
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Escape");
        std::vector<std::string> missed;
        std::wstring answer;
        std::thread user([&] {
            HWND change = WaitForWindowWith(IDC_CHG_TXTOLD);
            if (!change) return;
            missed = dialogcheck::UnreachedByKeyboard(change, applet_forms::frmChangePasswordControls);
            SetDlgItemTextW(change, IDC_CHG_TXTNEW, L"neu");
            SetDlgItemTextW(change, IDC_CHG_TXTCONFIRMNEW, L"neu");
            dialogcheck::PressKey(change, key);
            // OK answers with a message; the box is OK's too.
            HWND box = nullptr;
            if (key == VK_RETURN && WaitFor([&] {
                    for (const wchar_t* title : {L"Halcyra Settings", L"Halcyra"})
                        if ((box = testutil::DialogTitled(title))) break;
                    if (box) answer = testutil::TextOf(GetDlgItem(box, 0xFFFF));
                    return box != nullptr;
                }))
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            if (!WaitGone(change)) Click(change, IDCANCEL);
        });
        state.CountryCode = 1033;
        state.SettingsRoot = platform::RootKey::CurrentUser;
        halcfg::frmChangePassword dialog(ui, nullptr, plat, state, [] {});
        dialog.Show();
        user.join();
        EXPECT_TRUE(missed.empty()) << Joined(missed);
        EXPECT_EQ(answer, key == VK_RETURN ? L"The password has been successfully changed." : L"");
        std::string stored = basRegistry::ReadValue(win32.registry, platform::RootKey::CurrentUser,
                                                    basSettings::kSettingsKey, "Admin", "<missing>");
        EXPECT_EQ(stored, key == VK_RETURN ? basEncrypt::Scramble(win32.locale, "neu") : "<missing>");
    }
}

TEST_P(AppletKeyboard, EntryEditorEveryControlReachedEnterIsOkEscapeIsCancel) {
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Escape");
        std::vector<std::string> missed;
        std::thread user([&] {
            HWND editor = WaitForWindowWith(IDC_SEL_TXTDISPLAYNAME);
            if (!editor) return;
            SetDlgItemTextW(editor, IDC_SEL_TXTDISPLAYNAME, L"Cleanup");
            SetDlgItemTextW(editor, IDC_SEL_TXTPROGRAM, L"C:\\tools\\cleanup.exe");
            missed = dialogcheck::UnreachedByKeyboard(editor, applet_forms::frmProgramSelectionControls);
            dialogcheck::PressKey(editor, key);
            if (!WaitGone(editor)) Click(editor, IDCANCEL);
        });
        state.CountryCode = 1033;
        state.Entry = {};
        halcfg::frmProgramSelection editor(ui, nullptr, plat, state);
        editor.Show();
        user.join();
        EXPECT_TRUE(missed.empty()) << Joined(missed);
        EXPECT_EQ(state.Entry.DisplayName, key == VK_RETURN ? "Cleanup" : "");
    }
}

INSTANTIATE_TEST_SUITE_P(English, AppletKeyboard, ::testing::Values(kLanguages[0]),
                         [](const ::testing::TestParamInfo<Language>& info) { return std::string(info.param.name); });

}  // namespace
