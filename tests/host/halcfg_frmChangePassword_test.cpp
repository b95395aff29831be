// The change-password dialog, alone and from the settings dialog.
#include "support/applet_fixture.h"

#include "applet/frmChangePassword.h"

using testing_support::AppletFixture;
using ui::memory::MemoryForm;

namespace {

class ChangePassword : public AppletFixture {
protected:
    ChangePassword() { state.SettingsRoot = platform::RootKey::CurrentUser; }
    // Shows the dialog, types the three entries and presses OK.
    void Change(const std::string& old, const std::string& fresh, const std::string& confirm) {
        ui.OnModal("frmChangePassword", [&](MemoryForm& f) {
            dialog = &f;
            f.Type("txtOld", old);
            f.Type("txtNew", fresh);
            f.Type("txtConfirmNew", confirm);
            f.Click("cmdOK");
        });
        halcfg::frmChangePassword change(ui, nullptr, plat, state, [this] { ++changed; });
        change.Show();
        closed = dialog->closed;
        entries = {dialog->GetTextBox("txtOld").Text(), dialog->GetTextBox("txtNew").Text(),
                   dialog->GetTextBox("txtConfirmNew").Text()};
        dialog = nullptr;  // gone with the dialog
    }
    std::string StoredPassword() {
        auto v = reg.Peek(platform::RootKey::CurrentUser, basSettings::kSettingsKey, "Admin");
        return v ? basEncrypt::Unscramble(locale, v->data) : "";
    }

    MemoryForm* dialog = nullptr;
    int changed = 0;
    bool closed = false;
    std::vector<std::string> entries;
};

TEST_F(ChangePassword, ChecksAndMessages) {
    struct Case {
        const char* stored;  // null: none stored
        const char* old;
        const char* fresh;
        const char* confirm;
        const char* message;
        const char* title;
        int icon;
        const char* storedAfter;
    };
    const Case cases[] = {
        {nullptr, "", "NewOne", "newone", "The password has been successfully changed.", "Halcyra Settings",
         ui::kMbInformation, "NewOne"},
        {"Secret", "sECRET", "", "", "The password has been successfully changed.", "Halcyra Settings",
         ui::kMbInformation, ""},
        {"Secret", "wrong", "x", "x", "Invalid old password; password not updated.", "Halcyra", ui::kMbInformation,
         "Secret"},
        {nullptr, "anything", "x", "x", "Invalid old password; password not updated.", "Halcyra",
         ui::kMbInformation, ""},
        {"Secret", "Secret", "x", "y", "New password not matched; password not updated.", "Halcyra",
         ui::kMbInformation, "Secret"},
        // The stored form would give these back changed and lock their owner out.
        {"Secret", "Secret", "päss\xC3\xBF", "päss\xC3\xBF",
         "The new password contains a character that cannot be stored; password not updated.", "Halcyra",
         ui::kMbExclamation, "Secret"},
        {"Secret", "Secret", "price€", "price€",
         "The new password contains a character that cannot be stored; password not updated.", "Halcyra",
         ui::kMbExclamation, "Secret"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.old) + " / " + c.fresh + " / " + c.confirm);
        reg.DeleteKey(platform::RootKey::CurrentUser, "Software\\Halcyra");
        if (c.stored) SetPassword(c.stored);
        ui.messageBoxes.clear();
        changed = 0;
        Change(c.old, c.fresh, c.confirm);
        ASSERT_EQ(ui.messageBoxes.size(), 1u);
        EXPECT_EQ(ui.messageBoxes[0].text, c.message);
        EXPECT_EQ(ui.messageBoxes[0].title, c.title);
        EXPECT_EQ(ui.messageBoxes[0].flags, c.icon);
        EXPECT_EQ(StoredPassword(), c.storedAfter);
        bool success = std::string(c.title) == "Halcyra Settings";
        EXPECT_EQ(changed, success ? 1 : 0);
        EXPECT_EQ(closed, success);
        if (!success) {
            EXPECT_EQ(entries, (std::vector<std::string>{c.old, c.fresh, c.confirm}));
        }
    }
}

// Unlocked only by a password that was stored.
TEST_F(ChangePassword, AWriteThatFailsSaysSoAndChangesNothing) {
    reg.FailWrites(true);
    Change("", "NewOne", "NewOne");
    reg.FailWrites(false);
    EXPECT_EQ(changed, 0);
    EXPECT_FALSE(closed);
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    EXPECT_EQ(ui.messageBoxes[0].text, "The new password could not be stored; password not updated.");
    EXPECT_EQ(StoredPassword(), "");
}

TEST_F(ChangePassword, CancelStoresNothing) {
    SetPassword("Secret");
    ui.OnModal("frmChangePassword", [](MemoryForm& f) {
        f.Type("txtOld", "Secret");
        f.Type("txtNew", "x");
        f.Type("txtConfirmNew", "x");
        f.Click("cmdCancel");
    });
    halcfg::frmChangePassword change(ui, nullptr, plat, state, [] { FAIL() << "nothing changed"; });
    change.Show();
    EXPECT_EQ(StoredPassword(), "Secret");
    EXPECT_TRUE(ui.messageBoxes.empty());
}

TEST_F(ChangePassword, SpeaksTheSystemsLanguage) {
    state.CountryCode = 1034;
    ui.OnModal("frmChangePassword", [](MemoryForm& f) {
        EXPECT_EQ(f.Caption(), "Cambía la contraseña");
        EXPECT_EQ(f.GetLabel("lblConfirmNew").Caption(), "Confirme nueva contraseña:");
        EXPECT_EQ(f.GetButton("cmdOK").Caption(), "Aceptar");
        EXPECT_EQ(f.GetButton("cmdCancel").Caption(), "Cancelar");
        f.Click("cmdOK");
    });
    halcfg::frmChangePassword change(ui, nullptr, plat, state, {});
    change.Show();
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    EXPECT_EQ(ui.messageBoxes[0].text, "Contraseña aceptar");
}

TEST_F(ChangePassword, FromTheSettingsDialogTheNewPasswordGuardsTheNextOpening) {
    Open([this](MemoryForm& f) {
        Page(f, 3);
        ui.OnModal("frmChangePassword", [](MemoryForm& c) {
            c.Type("txtNew", "Guard");
            c.Type("txtConfirmNew", "Guard");
            c.Click("cmdOK");
        });
        f.Click("cmdPassword");
        f.Click("cmdCancel");  // the password is stored all the same
    });
    EXPECT_EQ(form->GetLabel("lblPassword").Caption(), "Set the password to prevent changing settings.");
    EXPECT_EQ(StoredPassword(), "Guard");
    PromptAnswers("guard");
    Open();
    EXPECT_EQ(ui.modalShown.back(), "frmMain");
    EXPECT_EQ(ui.modalShown[ui.modalShown.size() - 2], "frmPasswordToAccess");
    EXPECT_FALSE(dlg->Locked());
}

}  // namespace
