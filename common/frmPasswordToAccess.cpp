#include "common/frmPasswordToAccess.h"

#include "common/basCountry.h"

namespace common {

namespace {

// The daemon's prompt speaks English only; "lblText daemon" is its label.
const basText::Entry kTexts[] = {
    {.key = "caption",
     .en = "Enter Password",
     .es = "Conseña",
     .de = "tragen Sie Kennwort ein",
     .it = "Digitare La Parola d'accesso",
     .fr = "Entrez Le Mot de passe"},
    {.key = "lblText",
     .en = "Access to changing Halcyra settings is currently protected by a password.  Enter the password to gain "
           "access:",
     .es = "El acceso a cambiar configuraciones de Halcyra es protegido actualmente por una palabra de paso. "
           "Incorpore la palabra de paso para acceder: ",
     .de = "Zugriff zum Ändern der Halcyra-Einstellungen wird aktuell durch ein Kennwort geschützt. Tragen Sie das "
           "Kennwort ein, um Zutritt zu erhalten: ",
     .it = "L' accesso a cambiare le regolazioni di Halcyra attualmente è protetto da una parola d'accesso. "
           "Digitare la parola d'accesso per accedere:",
     .fr = "l 'accès à changer des configurations de Halcyra est actuel protégé par un mot de passe. Entrez le mot "
           "de passe pour accéder: "},
    {.key = "lblText daemon",
     .en = "The unloading of Halcyra is currently protected by a password.  Enter the password to unload:"},
    {.key = "cmdOK", .en = "OK", .es = "Aceptar"},
    {.key = "cmdCancel", .en = "Cancel", .es = "Cancelar", .de = "Abbrechen", .it = "Annulla", .fr = "Annulent"},
};

}  // namespace

frmPasswordToAccess::frmPasswordToAccess(ui::Form& f, PasswordPrompt variant, basText::Language language)
    : form(f),
      lblText(f.GetLabel("lblText")),
      txtPassword(f.GetTextBox("txtPassword")),
      cmdOK(f.GetButton("cmdOK")),
      cmdCancel(f.GetButton("cmdCancel")),
      variant_(variant),
      language_(language) {
    form.OnClick("cmdOK", [this] { cmdOK_Click(); });
    form.OnClick("cmdCancel", [this] { cmdCancel_Click(); });
}

void frmPasswordToAccess::Form_Load() {
    form.SetFont("Tahoma");
    bool daemon = variant_ == PasswordPrompt::Daemon;
    basText::Language lang = daemon ? basText::Language::English : language_;
    auto text = [lang](const char* key) { return basText::Get(kTexts, key, lang); };
    form.SetCaption(text("caption"));
    lblText.SetCaption(text(daemon ? "lblText daemon" : "lblText"));
    cmdOK.SetCaption(text("cmdOK"));
    cmdCancel.SetCaption(text("cmdCancel"));
    txtPassword.SetText("");
    form.CenterOnScreen();
}

void frmPasswordToAccess::cmdOK_Click() {
    entered_ = txtPassword.Text();
    form.Close();
}

void frmPasswordToAccess::cmdCancel_Click() { form.Close(); }

std::string AskPassword(ui::Ui& ui, ui::Form* owner, PasswordPrompt variant, basText::Language language) {
    auto f = ui.CreateForm("frmPasswordToAccess", owner);
    frmPasswordToAccess prompt(*f, variant, language);
    prompt.Form_Load();
    f->ShowModal();
    return prompt.Entered();
}

}  // namespace common
