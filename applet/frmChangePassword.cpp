#include "applet/frmChangePassword.h"

#include "common/basEncrypt.h"
#include "common/basProduct.h"
#include "common/basSettings.h"

namespace halcfg {

namespace S = basSettings;

namespace {

const basText::Entry kTexts[] = {
    {.key = "caption",
     .en = "Change Password",
     .es = "Cambía la contraseña",
     .de = "Ändern Sie Kennwort",
     .it = "Cambiare La Parola d'accesso",
     .fr = "Changez Le Mot de passe"},
    {.key = "lblOld",
     .en = "Old Password:",
     .es = "Contraseña vieja:",
     .de = "Altes Kennwort:",
     .it = "vecchia parola d'accesso:",
     .fr = "Vieux Mot de passe:"},
    {.key = "lblNew",
     .en = "New Password:",
     .es = "Contraseña nueva:",
     .de = "Neues Kennwort:",
     .it = "nuova parola d'accesso:",
     .fr = "Nouveau Mot de passe:"},
    {.key = "lblConfirmNew",
     .en = "Confirm New Password:",
     .es = "Confirme nueva contraseña:",
     .de = "Bestätigen Sie Neues Kennwort:",
     .it = "confermare la nuova parola:",
     .fr = "Confirmez Le Nouveau Mot de passe:"},
    {.key = "cmdCancel", .en = "Cancel", .es = "Cancelar", .de = "Abbrechen", .it = "Annulla", .fr = "Annulent"},
    {.key = "cmdOK", .en = "OK", .es = "Aceptar", .de = "OK", .it = "OK", .fr = "OK"},
    {.key = "invalidOld",
     .en = "Invalid old password; password not updated.",
     .es = "Vieja contraseña inválida; contraseña no puesta al día.",
     .de = "Unzulässiges altes Kennwort; Kennwort nicht aktualisiert.",
     .it = "Vecchia parola d'accesso non valida; parola d'accesso non aggiornata.",
     .fr = "Vieux mot de passe incorrect; mot de passe non mis à jour."},
    {.key = "notMatched",
     .en = "New password not matched; password not updated.",
     .es = "Nueva contraseña no correspondida con; contraseña no puesta al día.",
     .de = "Neues Kennwort nicht zusammengebracht; Kennwort nicht aktualisiert.",
     .it = "Nuova parola d'accesso non abbinata; parola d'accesso non aggiornata.",
     .fr = "Nouveau mot de passe non apparié; mot de passe non mis à jour."},
    {.key = "cannotStore",
     .en = "The new password contains a character that cannot be stored; password not updated.",
     .es = "La contraseña nueva contiene un carácter que no se puede guardar; contraseña no puesta al día.",
     .de = "Das neue Kennwort enthält ein Zeichen, das nicht gespeichert werden kann; Kennwort nicht aktualisiert.",
     .it = "La nuova parola d'accesso contiene un carattere che non può essere salvato; parola d'accesso non "
           "aggiornata.",
     .fr = "Le nouveau mot de passe contient un caractère qui ne peut pas être enregistré; mot de passe non mis à "
           "jour."},
    {.key = "notStored",
     .en = "The new password could not be stored; password not updated.",
     .es = "No se pudo guardar la contraseña nueva; contraseña no puesta al día.",
     .de = "Das neue Kennwort konnte nicht gespeichert werden; Kennwort nicht aktualisiert.",
     .it = "Non è stato possibile salvare la nuova parola d'accesso; parola d'accesso non aggiornata.",
     .fr = "Le nouveau mot de passe n'a pas pu être enregistré; mot de passe non mis à jour."},
    {.key = "success",
     .en = "The password has been successfully changed.",
     .es = "Contraseña aceptar",
     .de = "Das Kennwort ist erfolgreich geändert worden.",
     .it = "La parola d'accesso è stata cambiata con successo.",
     .fr = "Le mot de passe a été avec succès changé."},
};

constexpr const char* kSuccessTitle = "Halcyra Settings";

}  // namespace

frmChangePassword::frmChangePassword(ui::Ui& ui, ui::Form* owner, platform::Platform& sys,
                                     const AppletState& state, std::function<void()> onChanged)
    : ui_(ui),
      sys_(sys),
      state_(state),
      onChanged_(std::move(onChanged)),
      formPtr_(ui.CreateForm("frmChangePassword", owner)),
      form(*formPtr_),
      lblOld(form.GetLabel("lblOld")),
      txtOld(form.GetTextBox("txtOld")),
      lblNew(form.GetLabel("lblNew")),
      txtNew(form.GetTextBox("txtNew")),
      lblConfirmNew(form.GetLabel("lblConfirmNew")),
      txtConfirmNew(form.GetTextBox("txtConfirmNew")),
      cmdOK(form.GetButton("cmdOK")),
      cmdCancel(form.GetButton("cmdCancel")) {
    form.OnClick("cmdOK", [this] { cmdOK_Click(); });
    form.OnClick("cmdCancel", [this] { cmdCancel_Click(); });
}

frmChangePassword::~frmChangePassword() = default;

std::string frmChangePassword::Text(const char* key) const {
    return basText::Get(kTexts, key, basText::LanguageOf(state_.CountryCode));
}

void frmChangePassword::Show() {
    Form_Load();
    form.ShowModal();
}

void frmChangePassword::Form_Load() {
    S::Store store(sys_.registry, state_.SettingsRoot);
    current_ = basEncrypt::Unscramble(sys_.locale, store.Read(S::Admin));
    form.CenterOnScreen();
    form.SetCaption(Text("caption"));
    lblOld.SetCaption(Text("lblOld"));
    lblNew.SetCaption(Text("lblNew"));
    lblConfirmNew.SetCaption(Text("lblConfirmNew"));
    cmdCancel.SetCaption(Text("cmdCancel"));
    cmdOK.SetCaption(Text("cmdOK"));
}

void frmChangePassword::cmdOK_Click() {
    // Each refusal keeps the dialog open with what was typed.
    if (!basEncrypt::PasswordsMatch(sys_.locale, current_, txtOld.Text())) {
        ui_.MsgBox(Text("invalidOld"), basProduct::kAppTitle, ui::kMbInformation);
        return;
    }
    std::string fresh = txtNew.Text();
    if (!basEncrypt::PasswordsMatch(sys_.locale, fresh, txtConfirmNew.Text())) {
        ui_.MsgBox(Text("notMatched"), basProduct::kAppTitle, ui::kMbInformation);
        return;
    }
    // Stored changed, such a password would lock its owner out.
    if (!basEncrypt::CanStore(sys_.locale, fresh)) {
        ui_.MsgBox(Text("cannotStore"), basProduct::kAppTitle, ui::kMbExclamation);
        return;
    }
    // Unlocked only by a password that is stored: the gate reads it next time.
    if (S::Store(sys_.registry, state_.SettingsRoot).Save(S::Admin.name, basEncrypt::Scramble(sys_.locale, fresh))) {
        ui_.MsgBox(Text("notStored"), basProduct::kAppTitle, ui::kMbExclamation);
        return;
    }
    form.Hide();
    if (onChanged_) onChanged_();
    ui_.MsgBox(Text("success"), kSuccessTitle, ui::kMbInformation);
    form.Close();
}

void frmChangePassword::cmdCancel_Click() { form.Close(); }

}  // namespace halcfg
