#include "common/frmPasswordToAccess.h"

#include "common/basCountry.h"

namespace common {

std::string EnteredPassword;

namespace {

struct PromptTexts {
    const char* caption;
    const char* label;
    const char* ok;
    const char* cancel;
};

const char* kAppletLabel =
    "Access to changing Halcyra settings is currently protected by a password.  Enter the password to gain access:";

PromptTexts AppletTexts(basCountry::Language lang) {
    using L = basCountry::Language;
    switch (lang) {
        case L::Spanish:
            return {"Conseña",
                    "El acceso a cambiar configuraciones de Halcyra es protegido actualmente por una palabra de "
                    "paso. Incorpore la palabra de paso para acceder: ",
                    "Aceptar", "Cancelar"};
        case L::German:
            return {"tragen Sie Kennwort ein",
                    "Zugriff zum Ändern der Halcyra-Einstellungen wird aktuell durch ein Kennwort geschützt. Tragen "
                    "Sie das Kennwort ein, um Zutritt zu erhalten: ",
                    "OK", "Abbrechen"};
        case L::Italian:
            return {"Digitare La Parola d'accesso",
                    "L' accesso a cambiare le regolazioni di Halcyra attualmente è protetto da una parola d'accesso. "
                    "Digitare la parola d'accesso per accedere:",
                    "OK", "Annulla"};
        case L::French:
            return {"Entrez Le Mot de passe",
                    "l 'accès à changer des configurations de Halcyra est actuel protégé par un mot de passe. Entrez "
                    "le mot de passe pour accéder: ",
                    "OK", "Annulent"};
        default:
            return {"Enter Password", kAppletLabel, "OK", "Cancel"};
    }
}

}  // namespace

frmPasswordToAccess::frmPasswordToAccess(ui::Form& f, PasswordPrompt variant)
    : form(f),
      lblText(f.GetLabel("lblText")),
      txtPassword(f.GetTextBox("txtPassword")),
      cmdOK(f.GetButton("cmdOK")),
      cmdCancel(f.GetButton("cmdCancel")),
      variant_(variant) {
    form.OnClick("cmdOK", [this] { cmdOK_Click(); });
    form.OnClick("cmdCancel", [this] { cmdCancel_Click(); });
}

void frmPasswordToAccess::Form_Load() {
    form.SetFont("Tahoma");
    PromptTexts t = variant_ == PasswordPrompt::Daemon
                        ? PromptTexts{"Enter Password",
                                      "The unloading of Halcyra is currently protected by a password.  Enter the "
                                      "password to unload:",
                                      "OK", "Cancel"}
                        : AppletTexts(basCountry::CurrentLanguage());
    form.SetCaption(t.caption);
    lblText.SetCaption(t.label);
    cmdOK.SetCaption(t.ok);
    cmdCancel.SetCaption(t.cancel);
    txtPassword.SetText("");
    form.CenterOnScreen();
}

void frmPasswordToAccess::cmdOK_Click() {
    EnteredPassword = txtPassword.Text();
    form.Close();
}

void frmPasswordToAccess::cmdCancel_Click() { form.Close(); }

void AskPassword(ui::Ui& ui, ui::Form* owner, PasswordPrompt variant) {
    EnteredPassword.clear();
    auto f = ui.CreateForm("frmPasswordToAccess", owner);
    frmPasswordToAccess prompt(*f, variant);
    prompt.Form_Load();
    f->ShowModal();
}

}  // namespace common
