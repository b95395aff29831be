#include <gtest/gtest.h>

#include "common/basCountry.h"
#include "common/basEncrypt.h"
#include "common/basListView.h"
#include "common/basTrayIcon.h"
#include "common/frmPasswordToAccess.h"
#include "platform/fake/fake_locale.h"
#include "support/daemon_ui.h"
#include "ui/memory/memory_ui.h"

using common::PasswordPrompt;
using platform::fake::FakeLocale;
using platform::fake::FakeShell;
using ui::memory::MemoryForm;
using ui::memory::MemoryUi;

namespace {

TEST(Scramble, InvertsEveryAnsiByteAndIsItsOwnInverse) {
    FakeLocale cp;
    std::string one = cp.AnsiEncode(basEncrypt::Scramble(cp, "a"));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(static_cast<unsigned char>(one[0]), 0x9E);
    for (std::string pw : {"Admin", "Geheim!ß", "pässwörd 123", ""})
        EXPECT_EQ(basEncrypt::Unscramble(cp, basEncrypt::Scramble(cp, pw)), pw);
    EXPECT_EQ(cp.AnsiEncode(basEncrypt::Scramble(cp, "é")), std::string(1, static_cast<char>(0xE9 ^ 0xFF)));
    // A character with code 255 becomes a NUL byte, which storage cuts.
    EXPECT_EQ(cp.AnsiEncode(basEncrypt::Scramble(cp, "ÿ")), std::string(1, '\0'));
}

TEST(Scramble, ComparisonIgnoresLetterCase) {
    FakeLocale cp;
    EXPECT_TRUE(basEncrypt::PasswordsMatch(cp, "Secret", "sECRET"));
    EXPECT_TRUE(basEncrypt::PasswordsMatch(cp, "Ärger", "ärger"));
    // What storage keeps of a password outside the code page still matches
    // the password as typed.
    for (std::string pw : {"Ωmega", "Пароль", "Ärger"}) {
        std::string stored = basEncrypt::Unscramble(cp, basEncrypt::Scramble(cp, pw));
        EXPECT_TRUE(basEncrypt::PasswordsMatch(cp, stored, pw)) << pw;
    }
    EXPECT_EQ(cp.Lower("ΩMEGA Пароль ÄÖ"), "ωmega пароль äö");
    EXPECT_FALSE(basEncrypt::PasswordsMatch(cp, "Secret", "Secret "));
    EXPECT_FALSE(basEncrypt::PasswordsMatch(cp, "Secret", ""));
}

class PasswordPromptTest : public ::testing::Test {
protected:
    std::string Ask(PasswordPrompt variant) {
        return common::AskPassword(ui, nullptr, variant, basText::LanguageOf(countryCode));
    }
    testing_support::DaemonUi ui;
    std::uint16_t countryCode = 0;
};

TEST_F(PasswordPromptTest, OkTakesTheTypedTextAndCancelLeavesNothing) {
    ui.OnModal("frmPasswordToAccess", [](MemoryForm& f) {
        EXPECT_EQ(f.GetTextBox("txtPassword").Text(), "");
        f.Type("txtPassword", "letmein");
        f.Click("cmdOK");
        EXPECT_TRUE(f.closed);
    });
    EXPECT_EQ(Ask(PasswordPrompt::Daemon), "letmein");

    ui.OnModal("frmPasswordToAccess", [](MemoryForm& f) {
        f.Type("txtPassword", "typed but cancelled");
        f.Click("cmdCancel");
    });
    EXPECT_EQ(Ask(PasswordPrompt::Daemon), "");
    EXPECT_EQ(ui.modalShown.size(), 2u);
}

TEST_F(PasswordPromptTest, DaemonPromptIsEnglishInEveryLanguage) {
    countryCode = 1031;
    ui.OnModal("frmPasswordToAccess", [](MemoryForm& f) {
        EXPECT_EQ(f.Caption(), "Enter Password");
        EXPECT_EQ(f.GetLabel("lblText").Caption(),
                  "The unloading of Halcyra is currently protected by a password.  Enter the password to unload:");
        EXPECT_EQ(f.GetButton("cmdCancel").Caption(), "Cancel");
        EXPECT_EQ(f.font, "Tahoma");
    });
    Ask(PasswordPrompt::Daemon);
}

TEST_F(PasswordPromptTest, AppletPromptSpeaksTheLanguage) {
    struct Case { std::uint16_t code; const char* caption; const char* cancel; const char* ok; const char* labelStart; };
    for (Case c : {Case{3082, "Conseña", "Cancelar", "Aceptar", "El acceso a cambiar"},
                   Case{1031, "tragen Sie Kennwort ein", "Abbrechen", "OK", "Zugriff zum Ändern"},
                   Case{1040, "Digitare La Parola d'accesso", "Annulla", "OK", "L' accesso"},
                   Case{1036, "Entrez Le Mot de passe", "Annulent", "OK", "l 'accès à changer"},
                   Case{2057, "Enter Password", "Cancel", "OK", "Access to changing Halcyra settings"}}) {
        countryCode = c.code;
        ui.OnModal("frmPasswordToAccess", [&](MemoryForm& f) {
            EXPECT_EQ(f.Caption(), c.caption) << c.code;
            EXPECT_EQ(f.GetButton("cmdCancel").Caption(), c.cancel) << c.code;
            EXPECT_EQ(f.GetButton("cmdOK").Caption(), c.ok) << c.code;
            EXPECT_EQ(f.GetLabel("lblText").Caption().rfind(c.labelStart, 0), 0u) << c.code;
        });
        Ask(PasswordPrompt::Applet);
    }
    countryCode = 1036;
    ui.OnModal("frmPasswordToAccess", [](MemoryForm& f) {
        EXPECT_EQ(f.GetLabel("lblText").Caption(),
                  "l 'accès à changer des configurations de Halcyra est actuel protégé par un mot de passe. Entrez le "
                  "mot de passe pour accéder: ");
    });
    Ask(PasswordPrompt::Applet);
}

TEST(TrayIcon, AddModifyRemoveAndNothingForOtherActions) {
    FakeShell shell;
    const platform::IconHandle icon10{0x10}, icon11{0x11};
    const platform::WindowHandle owner{0x20};
    EXPECT_TRUE(basTrayIcon::TrayIconSet(shell, icon10, owner, 0, "Halcyra", false));
    EXPECT_TRUE(basTrayIcon::TrayIconSet(shell, icon11, owner, 1, "Halcyra", true));
    EXPECT_FALSE(basTrayIcon::TrayIconSet(shell, icon11, owner, 2, "Halcyra", true));
    EXPECT_FALSE(basTrayIcon::TrayIconSet(shell, icon11, owner, -1, "Halcyra", true));
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0].message, platform::TrayMessage::Add);
    EXPECT_EQ(shell.calls[1].message, platform::TrayMessage::Modify);
    EXPECT_EQ(shell.calls[1].data.icon, icon11);
    EXPECT_EQ(shell.calls[1].data.flags, 7u);
    EXPECT_EQ(shell.hiddenButtons, std::vector<platform::WindowHandle>{owner});
    basTrayIcon::TrayIconRemove(shell, owner);
    EXPECT_EQ(shell.calls.back().message, platform::TrayMessage::Delete);
    EXPECT_EQ(shell.calls.back().data.owner, owner);
    EXPECT_EQ(shell.calls.back().data.id, 1u);
    shell.succeed = false;
    EXPECT_FALSE(basTrayIcon::TrayIconSet(shell, icon10, owner, 0, "Halcyra", false));
}

TEST(ListViewHelpers, RowPrimitivesAsTheControlBehaves) {
    testing_support::DaemonUi ui;
    auto form = ui.CreateForm("frmMain", nullptr);
    auto& lv = form->GetListView("lsvRun");
    int r = lv.AddRow("Backup");
    EXPECT_FALSE(basListView::IsItemChecked(lv, r));  // no state image yet
    lv.SetCheckBoxes();
    basListView::CheckItem(lv, r);
    EXPECT_TRUE(basListView::IsItemChecked(lv, r));
    lv.UncheckItem(r);
    EXPECT_FALSE(basListView::IsItemChecked(lv, r));
    lv.SetCellText(r, 1, std::string(300, 'x'));
    EXPECT_EQ(basListView::GetItemText(lv, r, 1), std::string(300, 'x'));  // whole, however long
    EXPECT_TRUE(basListView::FindItemText(0, "Backup", lv));
    EXPECT_FALSE(basListView::FindItemText(0, "backup", lv));
    EXPECT_FALSE(basListView::FindItemText(1, "Backup", lv));
    basListView::DeleteAllItems(lv);
    basListView::DeleteItem(lv, 0);  // an empty list stays empty
    EXPECT_EQ(lv.RowCount(), 0);
}

}  // namespace
