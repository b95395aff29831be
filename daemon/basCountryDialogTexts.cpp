#include "daemon/basCountryDialogTexts.h"

#include "daemon/basDaemon.h"

#include "common/basCountry.h"
#include "common/basSettings.h"
#include "common/basWinVer.h"

namespace basCountry {

namespace {

constexpr std::size_t kUsedSlots = 33;

// Keys "title0" to "title2" are the intercepted titles, "0" to "32" the
// dialog's slots. The combo box of the Windows 2000 layout lists log off,
// shut down, restart (slots 1, 2, 3), and the descriptions in slots 30 to 32
// follow that order; the sets that name the items in their own words keep
// them in that order too, so that the item picked is the action taken.
const basText::Entry kDialogTexts[] = {
    {.key = "title0",
     .en = "Shut Down Windows",
     .es = "Salir de Windows",
     .de = "Windows beenden",
     .it = "Fine della sessione di lavoro",
     .da = "Luk Windows",
     .nl = "Windows afsluiten"},
    {.key = "title1",
     .en = "Log Off Windows",
     .es = "Cerrar la sesión en Windows",
     .de = "Abmelden",
     .it = "Disconnessione da Windows"},
    {.key = "title2", .en = "", .es = "Cerrar Windows", .de = "Windows NT beenden"},
    {.key = "0", .en = "What do you want the computer to do?"},
    {.key = "1",
     .en = "Logoff ",
     .es = "&Close all programs && logon as a different user",
     .de = "&Close all programs && logon as a different user",
     .it = "&Close all programs && logon as a different user",
     .da = "&Close all programs && logon as a different user",
     .nl = "&Close all programs && logon as a different user"},
    {.key = "2",
     .en = "Shut down",
     .es = "&Shut down",
     .de = "&Shut down",
     .it = "&Shut down",
     .da = "&Shut down",
     .nl = "&Shut down"},
    {.key = "3",
     .en = "Restart",
     .es = "&Restart",
     .de = "&Restart",
     .it = "&Restart",
     .da = "&Restart",
     .nl = "&Restart"},
    {.key = "4", .en = "OK", .es = "&OK", .de = "&OK", .it = "&OK", .da = "&OK", .nl = "&OK"},
    {.key = "5", .en = "Cancel"},
    {.key = "6", .en = "Help", .es = "&Help", .de = "&Help", .it = "&Help", .da = "&Help", .nl = "&Help"},
    {.key = "7",
     .en = "Are you sure you want to:",
     .es = "¿Está seguro de desea:",
     .de = "Wählen Sie eine der folgenden Optionen:",
     .it = "Scegliere una delle seguenti opzioni:",
     .nl = "Wilt u:"},
    {.key = "8",
     .en = "&Shut down the computer?",
     .es = "&Cerrar el equipo?",
     .de = "&Computer herunterfahren",
     .it = "&Arresta il sistema",
     .nl = "&De computer uitschakelen?"},
    {.key = "9",
     .en = "&Restart the computer?",
     .es = "Reinicia&r el equipo?",
     .de = "Computer &neu starten",
     .it = "&Riavvia il sistema",
     .nl = "De &computer opnieuw opstarten?"},
    {.key = "10",
     .en = "&Close all programs and log on as a different user?",
     .es = "C&errar todos los programas e iniciar la sesión como un usuario distinto?",
     .de = "Anwendungen &schließen und unter anderem Namen anmelden",
     .it = "&Chiudi sessione e riaccedi a Windows come altro utente",
     .nl = "Alle programma's af&sluiten en u opnieuw aanmelden?"},
    {.key = "11", .en = "&Yes", .es = "&Sí", .de = "&OK", .it = "&OK", .nl = "&Ja"},
    {.key = "12", .en = "&No", .de = "&Abbrechen", .it = "Ann&ulla", .nl = "&Annuleren"},
    {.key = "13", .en = "&Help", .es = "Ay&uda", .de = "&Hilfe", .it = "&?"},
    {.key = "14",
     .en = "Are you sure you want to:",
     .es = "Confirme que desea:",
     .de = "Wählen Sie eine der folgenden Optionen:",
     .it = "Scegliere una delle seguenti opzioni:",
     .da = "Vil du:",
     .nl = "Wilt u:"},
    {.key = "15",
     .en = "&Shut down the computer?",
     .es = "&apagar el equipo?",
     .de = "&Windows herunterfahren",
     .it = "&Arresta il sistema",
     .da = "&Lukke computeren?",
     .nl = "&De computer uitschakelen?"},
    {.key = "16",
     .en = "&Restart the computer?",
     .es = "r&einiciar el equipo?",
     .de = "Windows &neu starten",
     .it = "&Riavvia il sistema",
     .da = "Gen&starte computeren?",
     .nl = "De &computer opnieuw opstarten?"},
    {.key = "17",
     .en = "&Close all programs and log on as a different user?",
     .es = "&cerrar todos los programas e iniciar la sesión como un usuario distinto?",
     .de = "Anwendungen &schließen und unter anderem Namen anmelden",
     .it = "&Chiudi sessione e riaccedi a Windows come altro utente",
     .da = "Lukke &alle programmer og logge på som en anden breuger?",
     .nl = "Alle programma's af&sluiten en u opnieuw aanmelden?"},
    {.key = "18",
     .en = "Restart the computer in &MS-DOS mode?",
     .es = "reiniciar el equipo en modo &MS-DOS?",
     .de = "Computer im &MS-DOS-Modus starten",
     .it = "Riavvia il sistema in modalità &MS-DOS",
     .da = "Genstarte computeren i &MS-DOS-tilstand?",
     .nl = "De computer opnieuw opstarten in &MS-DOS-modus?"},
    {.key = "19", .en = "&Yes", .es = "&Sí", .de = "&OK", .it = "&OK", .da = "&Ja", .nl = "&Ja"},
    {.key = "20", .en = "&No", .de = "&Abbrechen", .it = "Ann&ulla", .da = "&Nej", .nl = "&Annuleren"},
    {.key = "21", .en = "&Help", .es = "Ay&uda", .de = "&Hilfe", .it = "&?", .da = "&Hjælp"},
    {.key = "22",
     .en = "What do you want the computer to do?",
     .es = "Confirme que desea:",
     .de = "Wählen Sie eine der folgenden Optionen:",
     .it = "Scegliere una delle seguenti opzioni:",
     .nl = "Wilt u:"},
    {.key = "23",
     .en = "&Shut down",
     .es = "apagar el siste&ma",
     .de = "Her&unterfahren",
     .it = "&Arresta il sistema",
     .nl = "&De computer uitschakelen?"},
    {.key = "24",
     .en = "&Restart",
     .es = "r&einiciar",
     .de = "&Neu starten",
     .it = "&Riavvia il sistema",
     .nl = "De &computer opnieuw opstarten?"},
    {.key = "25",
     .en = "&Close all programs && logon as a different user",
     .es = "&cerrar todos los programas e iniciar la sesión como un usuario distinto?",
     .de = "Sind Sie sicher, dass Sie sich abmelden möchten?",
     .it = "Disconnettersi?",
     .nl = "Alle programma's af&sluiten en u opnieuw aanmelden?"},
    {.key = "26",
     .en = "Restart in &MS-DOS mode",
     .es = "reiniciar en m&odo MS-DOS",
     .de = "Im &MS-DOS-Modus neu starten",
     .it = "Ria&vvia il sistema in modalità MS-DOS",
     .nl = "De computer opnieuw opstarten in &MS-DOS-modus?"},
    {.key = "27", .en = "&OK", .es = "Aceptar", .it = "OK", .nl = "&Ja"},
    {.key = "28", .en = "Cancel", .es = "Cancelar", .de = "&Abbrechen", .it = "Annulla", .nl = "&Annuleren"},
    {.key = "29", .en = "Help", .es = "Ay&uda", .de = "&Hilfe", .it = "&?", .nl = "&Help"},
    {.key = "30",
     .en = "Ends your session, leaving the computer running on full power.",
     .de = "",
     .it = "",
     .da = "",
     .nl = ""},
    {.key = "31",
     .en = "Ends your session, shuts down Windows, and starts Windows again.",
     .de = "",
     .it = "",
     .da = "",
     .nl = ""},
    {.key = "32",
     .en = "Ends your session and shuts down Windows so that you can safely turn off power.",
     .de = "",
     .it = "",
     .da = "",
     .nl = ""},
};

// Slot 1 of these sets is "Logoff " followed by the user's name.
bool UserNameInSlot1(TextSet set) { return set == TextSet::English || set == TextSet::French; }

using Texts = std::array<std::string, 36>;

void Caption(ui::Form& f, const Texts& t, const char* label, std::size_t slot) { f.GetLabel(label).SetCaption(t[slot]); }
void Option(ui::Form& f, const Texts& t, const char* option, std::size_t slot) { f.GetOption(option).SetCaption(t[slot]); }
void Button(ui::Form& f, const Texts& t, const char* button, std::size_t slot) { f.GetButton(button).SetCaption(t[slot]); }

// NT 4, Windows 95 and Windows 98 share one layout: a title, the option
// buttons and the three buttons, each version from its own run of slots.
void ApplyOptionLayout(ui::Form& f, const Texts& t, std::size_t first, bool withMsDos) {
    std::size_t slot = first;
    Caption(f, t, "lblTitle", slot++);
    Option(f, t, "optShutdown", slot++);
    Option(f, t, "optRestart", slot++);
    Option(f, t, "optLogoff", slot++);
    if (withMsDos) Option(f, t, "optMSDOS", slot++);
    Button(f, t, "cmdOK", slot++);
    Button(f, t, "cmdCancel", slot++);
    Button(f, t, "cmdHelp", slot);
}

void ApplyToDialog(ui::Form& f, const halcyrad::DaemonState& state) {
    const Texts& t = state.DialogTexts;
    const std::int16_t WinPlatform = state.WinPlatform, WinVer = state.WinVer;
    if (WinPlatform == 2) {
        f.GetOption("optMSDOS").SetVisible(false);
        if (WinVer == 5) {
            f.GetOption("optShutdown").SetVisible(false);
            f.GetOption("optRestart").SetVisible(false);
            f.GetOption("optLogoff").SetVisible(false);
            Caption(f, t, "lblTitle", 0);
            ui::ComboBox& combo = f.GetComboBox("cmbShutdown");
            combo.Clear();  // a second load must not list the items twice
            for (std::size_t slot = 1; slot <= 3; ++slot) combo.AddItem(t[slot]);
            Button(f, t, "cmdOK", 4);
            Button(f, t, "cmdCancel", 5);
            Button(f, t, "cmdHelp", 6);
        } else if (WinVer == 4) {
            f.GetComboBox("cmbShutdown").SetVisible(false);
            f.GetLabel("lblExplain").SetVisible(false);
            ApplyOptionLayout(f, t, 7, false);
        }
    } else if (WinPlatform == 1) {
        f.GetOption("optMSDOS").SetVisible(true);
        f.GetComboBox("cmbShutdown").SetVisible(false);
        // Windows 95/98 has no services to stop.
        f.GetCheckBox("chkStopServices").SetEnabled(false);
        ui::ListBox& stop = f.GetListBox("lstStop");
        stop.SetBackColor(ui::SysColor::ButtonFace);
        stop.SetEnabled(false);
        if (WinVer == 1) ApplyOptionLayout(f, t, 14, true);
        else if (WinVer == 3) ApplyOptionLayout(f, t, 22, true);
    }
}

}  // namespace

TextSet TextSetFor(std::uint16_t countryCode) {
    return basText::LanguageOf(countryCode, basText::Reach::WithDanishAndDutch);
}

void FillTextTables(TextSet set, const std::string& userName, halcyrad::DaemonState& state) {
    auto& InterceptTitles = state.InterceptTitles;
    auto& DialogTexts = state.DialogTexts;
    for (std::size_t i = 0; i < InterceptTitles.size(); ++i)
        InterceptTitles[i] = basText::Get(kDialogTexts, "title" + std::to_string(i), set);
    DialogTexts.fill("");
    for (std::size_t i = 0; i < kUsedSlots; ++i) DialogTexts[i] = basText::Get(kDialogTexts, std::to_string(i), set);
    if (UserNameInSlot1(set)) DialogTexts[1] += userName;
}

void LoadDialogTexts(ui::Ui& ui, ui::Form& frmMain, platform::System& sys, halcyrad::DaemonState& state) {
    const std::string& commandLine = state.CommandLine;
    const char* appTitle = basDaemon::kAppTitle;
    static const std::string kCountrySwitch = "/country=";
    std::size_t at = commandLine.find(kCountrySwitch);
    if (at != std::string::npos) {
        // Only a plain language code up to the end of the line counts;
        // anything else leaves the language of the system.
        auto code = basSettings::ToInt16(commandLine.substr(at + kCountrySwitch.size()));
        if (code && *code >= 0) state.CountryCode = static_cast<std::uint16_t>(*code);
    }

    bool develop = commandLine.find("/develop") != std::string::npos;
    if (develop) ui.MsgBox("The Country Code is " + std::to_string(state.CountryCode), appTitle, ui::kMbOk);

    FillTextTables(TextSetFor(state.CountryCode), state.UserName, state);

    if (develop) {
        ui.MsgBox("WinPlatform (Win95/98=1; NT=2): " + std::to_string(state.WinPlatform) + "\r\n" +
                          "WINVER (WIN95=1; WIN98=3; WINNT4=4; WINNT5=5):  " + std::to_string(state.WinVer),
                      "#2", ui::kMbOk);
    }

    ApplyToDialog(frmMain, state);

    BuildDayInitials(sys, ThursdayRule::CountryCode, state);
}

}  // namespace basCountry
