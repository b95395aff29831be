// Every window of the daemon on its real template in each language: no text
// cut off, no access key twice, and usable from the keyboard alone.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "common/basRegistry.h"
#include "common/basSettings.h"
#include "common/commonForms.h"
#include "common/frmPasswordToAccess.h"
#include "daemon/frmAbout.h"
#include "daemon/frmMain.h"
#include "daemon/halcyradForms_win32.h"
#include "daemon/halcyradRes.h"
#include "dialog_check.h"
#include "platform/callback_guard.h"
#include "platform/fake/fake_session.h"
#include "platform/fake/fake_system.h"
#include "platform/win32/win32_platform.h"
#include "services/frmError.h"
#include "services/servicesForms.h"
#include "ui/win32/native_form.h"
#include "wizard/ListViewRunList.h"
#include "wizard/basUtilityWizard.h"
#include "wizard/frmWizardEmailForms.h"
#include "wizard/wizardRes.h"

namespace {

using dialogcheck::CheckWindow;
using dialogcheck::Joined;

struct Language {
    std::uint16_t code;
    const char* name;
};

const Language kLanguages[] = {
    {1033, "English"}, {1034, "Spanish"}, {1031, "German"}, {1040, "Italian"}, {1036, "French"},
};

// Tests are named by the language; so are their parameters.
void PrintTo(const Language& l, std::ostream* os) { *os << l.name; }

// The shutdown dialog's layouts by the Windows each imitates.
struct Layout {
    const char* name;
    platform::OsVersion version;
};

const Layout kLayouts[] = {
    {"Windows 2000", {2, 5, 0}},
    {"Windows NT 4", {2, 4, 0}},
    {"Windows 95", {1, 4, 0}},
    {"Windows 98", {1, 4, 10}},
};

// The running Windows, reporting the version the test asks for.
class SystemAs : public platform::win32::Win32System {
public:
    platform::OsVersion version{2, 5, 0};
    platform::OsVersion Version() override { return version; }
};

void SetRanQuickStart() {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra");
    HKEY k;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Halcyra\\Settings", 0, nullptr, 0, KEY_WRITE, nullptr, &k,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(k, L"RanQuickStart", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"True"), 10);
        RegCloseKey(k);
    }
}

// The daemon's dialog loaded as the daemon loads it, on a Windows of the
// layout's version and with the language of "/country=".
struct ShutdownDialog {
    ShutdownDialog(ui::win32::NativeUi& ui, const Layout& layout, std::uint16_t country) {
        SetRanQuickStart();
        system.version = layout.version;
        state.CommandLine = "\"halcyrad.exe\" /country=" + std::to_string(country);
        form = ui.CreateForm("frmMain", nullptr);
        main = std::make_unique<halcyrad::frmMain>(ui, *form, plat, state);
        main->Form_Load();
    }
    ~ShutdownDialog() {
        main->Form_Unload();
        main.reset();
        form.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra");
    }
    HWND Window() const { return reinterpret_cast<HWND>(form->Handle().value); }
    void SelectTab(int tab) {
        main->SSTab1.SelectTab(tab);
        main->SSTab1_Click();
    }

    platform::win32::Win32Platform win32;
    SystemAs system;
    platform::fake::FakeSession session;
    platform::Platform plat{win32.registry, system,        win32.clock,    win32.locale,   win32.shell,
                            win32.windows,  win32.processes, win32.hook,   win32.eventLog, win32.files,
                            win32.services, session,       win32.processList};
    halcyrad::DaemonState state;
    std::unique_ptr<ui::Form> form;
    std::unique_ptr<halcyrad::frmMain> main;
};

// What the user does while a modal window runs, from a timer of its loop.
std::function<void()> g_user;

void CALLBACK UserTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto user = std::move(g_user);
    platform::Guarded([&] { user(); });
}

void WhileModal(std::function<void()> user) {
    g_user = std::move(user);
    SetTimer(nullptr, 0, 50, UserTimer);
}

// A Windows 98 with each utility the wizard offers, so that it shows all six pages.
struct WizardMachine {
    WizardMachine() {
        sys.windowsDir = "C:\\WINDOWS";
        sys.env = {{"windir", "C:\\WINDOWS"}};
        sys.drives = {{"C:\\", platform::DriveKind::Fixed}, {"D:\\", platform::DriveKind::Fixed}};
        for (const char* f : {"C:\\WINDOWS\\defrag.exe",
                              "C:\\Program Files\\Network Associates\\McAfee VirusScan\\scan32.exe",
                              "c:\\progra~1\\access~1\\backup\\msbackup.exe"})
            sys.files[f] = 0x20;
    }
    platform::fake::FakeSystem sys;
};

class DaemonWindows : public ::testing::TestWithParam<Language> {
protected:
    void SetUp() override { daemon_forms::RegisterAll(nativeUi); }
    std::string In(const std::string& window) const { return window + ", " + GetParam().name; }

    ui::win32::NativeUi nativeUi{GetModuleHandleW(nullptr)};
};

TEST_P(DaemonWindows, ShutdownDialogTextsFitAndKeysAreOwn) {
    std::vector<std::string> problems;
    for (const Layout& layout : kLayouts) {
        ShutdownDialog d(nativeUi, layout, GetParam().code);
        std::string where = In(std::string("shutdown dialog, ") + layout.name);
        CheckWindow(d.Window(), where + ", collapsed", daemon_forms::frmMainControls, problems);
        d.main->cmdDetails_Click();
        for (int tab : {0, 1}) {
            d.SelectTab(tab);
            CheckWindow(d.Window(), where + ", expanded, tab " + std::to_string(tab), daemon_forms::frmMainControls,
                        problems);
        }
    }
    EXPECT_TRUE(problems.empty()) << Joined(problems);
}

TEST_P(DaemonWindows, AboutBoxAndPasswordPromptsTextsFitAndKeysAreOwn) {
    std::vector<std::string> problems;
    platform::win32::Win32Platform win32;
    common::SharedState state;
    state.CountryCode = GetParam().code;
    state.SettingsRoot = platform::RootKey::CurrentUser;
    {
        auto form = nativeUi.CreateForm("frmAbout", nullptr);
        halcyrad::frmAbout about(nativeUi, *form, win32.plat, state, halcyrad::BuildVersionText(state.CountryCode, 3, 50, 548));
        about.Form_Load();
        CheckWindow(reinterpret_cast<HWND>(form->Handle().value), In("About box"), daemon_forms::frmAboutControls,
                    problems);
    }
    // The applet's prompt speaks the language, the daemon's English only.
    for (auto variant : {common::PasswordPrompt::Applet, common::PasswordPrompt::Daemon}) {
        auto form = nativeUi.CreateForm("frmPasswordToAccess", nullptr);
        common::frmPasswordToAccess prompt(*form, variant, basText::LanguageOf(state.CountryCode));
        prompt.Form_Load();
        CheckWindow(reinterpret_cast<HWND>(form->Handle().value),
                    In(variant == common::PasswordPrompt::Applet ? "password prompt (applet)" : "password prompt (daemon)"),
                    common_forms::frmPasswordToAccessControls, problems);
    }
    EXPECT_TRUE(problems.empty()) << Joined(problems);
}

TEST_P(DaemonWindows, WizardPagesTextsFitAndKeysAreOwn) {
    SetRanQuickStart();
    platform::win32::Win32Platform win32;
    WizardMachine machine;
    auto owner = nativeUi.CreateForm("frmMain", nullptr);
    wizard::ListViewRunList rows(owner->GetListView("lsvRun"));
    basUtilityWizard::WizardContext ctx{win32.registry, machine.sys, 1, 3, GetParam().code,
                                        platform::RootKey::CurrentUser};
    const int headings[] = {IDC_WIZ_LBLSETUP, IDC_WIZ_LBLUTILITIES, IDC_WIZ_LABEL1_0,
                            IDC_WIZ_LBLDEFRAGMENT, IDC_WIZ_LABEL1_1, IDC_WIZ_LBLFINISHED};
    std::vector<std::string> problems;
    std::vector<int> pages;
    WhileModal([&] {
        HWND wizard = dialogcheck::VisibleWindowWith(IDC_WIZ_LBLSETUP);
        ASSERT_NE(wizard, nullptr);
        for (int page = 0; page < 6; ++page) {
            if (IsWindowVisible(GetDlgItem(wizard, headings[page]))) pages.push_back(page);
            CheckWindow(wizard, In("wizard page " + std::to_string(page)), wizard_forms::frmWizardEmailControls,
                        problems);
            int button = page < 5 ? IDC_WIZ_CMDNEXT : IDC_WIZ_CMDCANCEL;
            SendMessageW(wizard, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(wizard, button)));
        }
    });
    EXPECT_FALSE(basUtilityWizard::RunSetupWizard(nativeUi, owner.get(), ctx, rows));
    EXPECT_EQ(pages, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_TRUE(problems.empty()) << Joined(problems);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra");
}

INSTANTIATE_TEST_SUITE_P(Languages, DaemonWindows, ::testing::ValuesIn(kLanguages),
                         [](const ::testing::TestParamInfo<Language>& info) { return std::string(info.param.name); });

// Its texts are English in every language; the names in them are long ones
// of the kind real run lists and services have.
TEST(PleaseWaitWindow, LongNamesFit) {
    ui::win32::NativeUi nativeUi{GetModuleHandleW(nullptr)};
    daemon_forms::RegisterAll(nativeUi);
    std::vector<std::string> problems;
    for (const char* text : {"Running Delete temporary Internet files.  Please wait...",
                             "Stopping Windows Management Instrumentation Driver Extensions service.  Please wait..."}) {
        auto form = nativeUi.CreateForm("frmError", nullptr);
        frmError window(nativeUi, *form);
        window.Form_Load();
        window.lblMsg.SetCaption(text);
        CheckWindow(reinterpret_cast<HWND>(form->Handle().value), "please-wait window",
                    services_forms::frmErrorControls, problems);
        window.Form_Unload();
    }
    EXPECT_TRUE(problems.empty()) << Joined(problems);
}

// --- From the keyboard alone ---

class DaemonKeyboard : public ::testing::Test {
protected:
    void SetUp() override { daemon_forms::RegisterAll(nativeUi); }
    ui::win32::NativeUi nativeUi{GetModuleHandleW(nullptr)};
};

// Posted keys go through the program's own loop, as typed ones do.
void Pump() {
    for (int i = 0; i < 5; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (!ui::win32::PreTranslate(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        Sleep(10);
    }
}

TEST_F(DaemonKeyboard, ShutdownDialogEveryControlReachedEnterIsOkEscapeIsCancel) {
    for (const Layout& layout : {kLayouts[0], kLayouts[2]}) {
        SCOPED_TRACE(layout.name);
        ShutdownDialog d(nativeUi, layout, 1033);
        HWND dlg = d.Window();
        d.form->ShowModeless();
        std::vector<std::string> missed = dialogcheck::UnreachedByKeyboard(dlg, daemon_forms::frmMainControls);
        d.main->cmdDetails_Click();
        for (int tab : {0, 1}) {
            d.SelectTab(tab);
            for (const auto& m : dialogcheck::UnreachedByKeyboard(dlg, daemon_forms::frmMainControls))
                missed.push_back("tab " + std::to_string(tab) + ": " + m);
        }
        EXPECT_TRUE(missed.empty()) << Joined(missed);

        // Escape: Cancel hides the dialog.
        SetForegroundWindow(dlg);
        SetFocus(GetDlgItem(dlg, IDC_MAIN_LSVRUN));
        dialogcheck::PressKey(dlg, VK_ESCAPE);
        Pump();
        EXPECT_FALSE(IsWindowVisible(dlg));
        // Enter: OK asks Windows to end the session.
        d.form->ShowModeless();
        SetForegroundWindow(dlg);
        SetFocus(GetDlgItem(dlg, IDC_MAIN_LSVRUN));
        dialogcheck::PressKey(dlg, VK_RETURN);
        Pump();
        EXPECT_EQ(d.session.requests.size(), 1u);
    }
}

TEST_F(DaemonKeyboard, AboutBoxEveryControlReachedEnterAndEscapeClose) {
    platform::win32::Win32Platform win32;
    common::SharedState state;
    state.CountryCode = 1033;
    state.SettingsRoot = platform::RootKey::CurrentUser;
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Escape");
        auto form = nativeUi.CreateForm("frmAbout", nullptr);
        halcyrad::frmAbout about(nativeUi, *form, win32.plat, state, "Version 3.5 (Build 548)");
        about.Form_Load();
        HWND box = reinterpret_cast<HWND>(form->Handle().value);
        form->ShowModeless();
        SetForegroundWindow(box);
        std::vector<std::string> missed = dialogcheck::UnreachedByKeyboard(box, daemon_forms::frmAboutControls);
        EXPECT_TRUE(missed.empty()) << Joined(missed);
        // Enter as the window opens, Escape from a link.
        Pump();
        if (key == VK_ESCAPE) SetFocus(GetDlgItem(box, IDC_ABOUT_LBLMAILTO));
        dialogcheck::PressKey(box, key);
        Pump();
        EXPECT_FALSE(IsWindow(box));
    }
}

TEST_F(DaemonKeyboard, PasswordPromptEnterIsOkEscapeIsCancel) {
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Escape");
        std::vector<std::string> missed;
        WhileModal([&] {
            HWND prompt = dialogcheck::VisibleWindowWith(IDC_PWD_TXTPASSWORD);
            ASSERT_NE(prompt, nullptr);
            missed = dialogcheck::UnreachedByKeyboard(prompt, common_forms::frmPasswordToAccessControls);
            SetDlgItemTextW(prompt, IDC_PWD_TXTPASSWORD, L"typed");
            SetFocus(GetDlgItem(prompt, IDC_PWD_TXTPASSWORD));
            dialogcheck::PressKey(prompt, key);
        });
        std::string entered =
            common::AskPassword(nativeUi, nullptr, common::PasswordPrompt::Daemon, basText::Language::English);
        EXPECT_TRUE(missed.empty()) << Joined(missed);
        EXPECT_EQ(entered, key == VK_RETURN ? "typed" : "");
    }
}

TEST_F(DaemonKeyboard, WizardEveryControlReachedEnterIsNextEscapeIsCancel) {
    SetRanQuickStart();
    platform::win32::Win32Platform win32;
    WizardMachine machine;
    auto owner = nativeUi.CreateForm("frmMain", nullptr);
    wizard::ListViewRunList rows(owner->GetListView("lsvRun"));
    basUtilityWizard::WizardContext ctx{win32.registry, machine.sys, 1, 3, 1033, platform::RootKey::CurrentUser};
    std::vector<std::string> missed;
    bool nextByEnter = false;
    WhileModal([&] {
        HWND wizard = dialogcheck::VisibleWindowWith(IDC_WIZ_LBLSETUP);
        ASSERT_NE(wizard, nullptr);
        for (int page = 0; page < 6; ++page) {
            for (const auto& m : dialogcheck::UnreachedByKeyboard(wizard, wizard_forms::frmWizardEmailControls))
                missed.push_back("page " + std::to_string(page) + ": " + m);
            if (page == 5) break;
            if (page == 1) {
                // Enter on the list of utilities goes on to the next page.
                SetFocus(GetDlgItem(wizard, IDC_WIZ_LSTUTILITIES));
                dialogcheck::PressKey(wizard, VK_RETURN);
                Pump();
                nextByEnter = IsWindowVisible(GetDlgItem(wizard, IDC_WIZ_LABEL1_0)) != FALSE;
                continue;
            }
            SendMessageW(wizard, WM_COMMAND, MAKEWPARAM(IDC_WIZ_CMDNEXT, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(wizard, IDC_WIZ_CMDNEXT)));
        }
        SetFocus(GetDlgItem(wizard, IDC_WIZ_CMDBACK));
        dialogcheck::PressKey(wizard, VK_ESCAPE);
    });
    EXPECT_FALSE(basUtilityWizard::RunSetupWizard(nativeUi, owner.get(), ctx, rows));
    EXPECT_TRUE(nextByEnter);
    EXPECT_TRUE(missed.empty()) << Joined(missed);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra");
}

}  // namespace
