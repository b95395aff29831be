#include "daemon/basCountryDialogTexts.h"

#include "common/basCountry.h"
#include "common/basSettings.h"
#include "common/basWinVer.h"

namespace basCountry {

std::array<std::string, 3> InterceptTitles;
std::array<std::string, 36> DialogTexts;

namespace {

constexpr std::size_t kUsedSlots = 33;

struct TextSetData {
    std::array<const char*, 3> titles;
    std::array<const char*, kUsedSlots> texts;
    bool userNameInSlot1;  // slot 1 is "Logoff " followed by the user's name
};

// The combo box of the Windows 2000 layout lists log off, shut down, restart
// (slots 1, 2, 3), and the descriptions in slots 30 to 32 follow that order.
// The sets that name the items in their own words keep them in that order too,
// so that the item picked is the action taken.

const TextSetData kEnglish{
    {"Shut Down Windows", "Log Off Windows", ""},
    {
        /*  0 */ "What do you want the computer to do?",
        /*  1 */ "Logoff ",
        /*  2 */ "Shut down",
        /*  3 */ "Restart",
        /*  4 */ "OK",
        /*  5 */ "Cancel",
        /*  6 */ "Help",
        /*  7 */ "Are you sure you want to:",
        /*  8 */ "&Shut down the computer?",
        /*  9 */ "&Restart the computer?",
        /* 10 */ "&Close all programs and log on as a different user?",
        /* 11 */ "&Yes",
        /* 12 */ "&No",
        /* 13 */ "&Help",
        /* 14 */ "Are you sure you want to:",
        /* 15 */ "&Shut down the computer?",
        /* 16 */ "&Restart the computer?",
        /* 17 */ "&Close all programs and log on as a different user?",
        /* 18 */ "Restart the computer in &MS-DOS mode?",
        /* 19 */ "&Yes",
        /* 20 */ "&No",
        /* 21 */ "&Help",
        /* 22 */ "What do you want the computer to do?",
        /* 23 */ "&Shut down",
        /* 24 */ "&Restart",
        /* 25 */ "&Close all programs && logon as a different user",
        /* 26 */ "Restart in &MS-DOS mode",
        /* 27 */ "&OK",
        /* 28 */ "Cancel",
        /* 29 */ "Help",
        /* 30 */ "Ends your session, leaving the computer running on full power.",
        /* 31 */ "Ends your session, shuts down Windows, and starts Windows again.",
        /* 32 */ "Ends your session and shuts down Windows so that you can safely turn off power.",
    },
    true};

const TextSetData kSpanish{
    {"Salir de Windows", "Cerrar la sesión en Windows", "Cerrar Windows"},
    {
        /*  0 */ "What do you want the computer to do?",
        /*  1 */ "&Close all programs && logon as a different user",  // log off, shut down, restart
        /*  2 */ "&Shut down",
        /*  3 */ "&Restart",
        /*  4 */ "&OK",
        /*  5 */ "Cancel",
        /*  6 */ "&Help",
        /*  7 */ "¿Está seguro de desea:",
        /*  8 */ "&Cerrar el equipo?",
        /*  9 */ "Reinicia&r el equipo?",
        /* 10 */ "C&errar todos los programas e iniciar la sesión como un usuario distinto?",
        /* 11 */ "&Sí",
        /* 12 */ "&No",
        /* 13 */ "Ay&uda",
        /* 14 */ "Confirme que desea:",
        /* 15 */ "&apagar el equipo?",
        /* 16 */ "r&einiciar el equipo?",
        /* 17 */ "&cerrar todos los programas e iniciar la sesión como un usuario distinto?",
        /* 18 */ "reiniciar el equipo en modo &MS-DOS?",
        /* 19 */ "&Sí",
        /* 20 */ "&No",
        /* 21 */ "Ay&uda",
        /* 22 */ "Confirme que desea:",
        /* 23 */ "apagar el siste&ma",
        /* 24 */ "r&einiciar",
        /* 25 */ "&cerrar todos los programas e iniciar la sesión como un usuario distinto?",
        /* 26 */ "reiniciar en m&odo MS-DOS",
        /* 27 */ "Aceptar",
        /* 28 */ "Cancelar",
        /* 29 */ "Ay&uda",
        /* 30 */ "Ends your session, leaving the computer running on full power.",
        /* 31 */ "Ends your session, shuts down Windows, and starts Windows again.",
        /* 32 */ "Ends your session and shuts down Windows so that you can safely turn off power.",
    },
    false};

const TextSetData kGerman{
    {"Windows beenden", "Abmelden", "Windows NT beenden"},
    {
        /*  0 */ "What do you want the computer to do?",
        /*  1 */ "&Close all programs && logon as a different user",  // log off, shut down, restart
        /*  2 */ "&Shut down",
        /*  3 */ "&Restart",
        /*  4 */ "&OK",
        /*  5 */ "Cancel",
        /*  6 */ "&Help",
        /*  7 */ "Wählen Sie eine der folgenden Optionen:",
        /*  8 */ "&Computer herunterfahren",
        /*  9 */ "Computer &neu starten",
        /* 10 */ "Anwendungen &schließen und unter anderem Namen anmelden",
        /* 11 */ "&OK",
        /* 12 */ "&Abbrechen",
        /* 13 */ "&Hilfe",
        /* 14 */ "Wählen Sie eine der folgenden Optionen:",
        /* 15 */ "&Windows herunterfahren",
        /* 16 */ "Windows &neu starten",
        /* 17 */ "Anwendungen &schließen und unter anderem Namen anmelden",
        /* 18 */ "Computer im &MS-DOS-Modus starten",
        /* 19 */ "&OK",
        /* 20 */ "&Abbrechen",
        /* 21 */ "&Hilfe",
        /* 22 */ "Wählen Sie eine der folgenden Optionen:",
        /* 23 */ "Her&unterfahren",
        /* 24 */ "&Neu starten",
        /* 25 */ "Sind Sie sicher, dass Sie sich abmelden möchten?",
        /* 26 */ "Im &MS-DOS-Modus neu starten",
        /* 27 */ "&OK",
        /* 28 */ "&Abbrechen",
        /* 29 */ "&Hilfe",
        /* 30 */ "",
        /* 31 */ "",
        /* 32 */ "",
    },
    false};

const TextSetData kItalian{
    {"Fine della sessione di lavoro", "Disconnessione da Windows", ""},
    {
        /*  0 */ "What do you want the computer to do?",
        /*  1 */ "&Close all programs && logon as a different user",  // log off, shut down, restart
        /*  2 */ "&Shut down",
        /*  3 */ "&Restart",
        /*  4 */ "&OK",
        /*  5 */ "Cancel",
        /*  6 */ "&Help",
        /*  7 */ "Scegliere una delle seguenti opzioni:",
        /*  8 */ "&Arresta il sistema",
        /*  9 */ "&Riavvia il sistema",
        /* 10 */ "&Chiudi sessione e riaccedi a Windows come altro utente",
        /* 11 */ "&OK",
        /* 12 */ "Ann&ulla",
        /* 13 */ "&?",
        /* 14 */ "Scegliere una delle seguenti opzioni:",
        /* 15 */ "&Arresta il sistema",
        /* 16 */ "&Riavvia il sistema",
        /* 17 */ "&Chiudi sessione e riaccedi a Windows come altro utente",
        /* 18 */ "Riavvia il sistema in modalità &MS-DOS",
        /* 19 */ "&OK",
        /* 20 */ "Ann&ulla",
        /* 21 */ "&?",
        /* 22 */ "Scegliere una delle seguenti opzioni:",
        /* 23 */ "&Arresta il sistema",
        /* 24 */ "&Riavvia il sistema",
        /* 25 */ "Disconnettersi?",
        /* 26 */ "Ria&vvia il sistema in modalità MS-DOS",
        /* 27 */ "OK",
        /* 28 */ "Annulla",
        /* 29 */ "&?",
        /* 30 */ "",
        /* 31 */ "",
        /* 32 */ "",
    },
    false};

const TextSetData kFrench{
    {"Shut Down Windows", "Log Off Windows", ""},
    {
        /*  0 */ "What do you want the computer to do?",
        /*  1 */ "Logoff ",
        /*  2 */ "Shut down",
        /*  3 */ "Restart",
        /*  4 */ "OK",
        /*  5 */ "Cancel",
        /*  6 */ "Help",
        /*  7 */ "Are you sure you want to:",
        /*  8 */ "&Shut down the computer?",
        /*  9 */ "&Restart the computer?",
        /* 10 */ "&Close all programs and log on as a different user?",
        /* 11 */ "&Yes",
        /* 12 */ "&No",
        /* 13 */ "&Help",
        /* 14 */ "Are you sure you want to:",
        /* 15 */ "&Shut down the computer?",
        /* 16 */ "&Restart the computer?",
        /* 17 */ "&Close all programs and log on as a different user?",
        /* 18 */ "Restart the computer in &MS-DOS mode?",
        /* 19 */ "&Yes",
        /* 20 */ "&No",
        /* 21 */ "&Help",
        /* 22 */ "What do you want the computer to do?",
        /* 23 */ "&Shut down",
        /* 24 */ "&Restart",
        /* 25 */ "&Close all programs && logon as a different user",
        /* 26 */ "Restart in &MS-DOS mode",
        /* 27 */ "&OK",
        /* 28 */ "Cancel",
        /* 29 */ "Help",
        /* 30 */ "Ends your session, leaving the computer running on full power.",
        /* 31 */ "Ends your session, shuts down Windows, and starts Windows again.",
        /* 32 */ "Ends your session and shuts down Windows so that you can safely turn off power.",
    },
    true};

const TextSetData kDanish{
    {"Luk Windows", "Log Off Windows", ""},
    {
        /*  0 */ "What do you want the computer to do?",
        /*  1 */ "&Close all programs && logon as a different user",  // log off, shut down, restart
        /*  2 */ "&Shut down",
        /*  3 */ "&Restart",
        /*  4 */ "&OK",
        /*  5 */ "Cancel",
        /*  6 */ "&Help",
        /*  7 */ "Are you sure you want to:",
        /*  8 */ "&Shut down the computer?",
        /*  9 */ "&Restart the computer?",
        /* 10 */ "&Close all programs and log on as a different user?",
        /* 11 */ "&Yes",
        /* 12 */ "&No",
        /* 13 */ "&Help",
        /* 14 */ "Vil du:",
        /* 15 */ "&Lukke computeren?",
        /* 16 */ "Gen&starte computeren?",
        /* 17 */ "Lukke &alle programmer og logge på som en anden breuger?",
        /* 18 */ "Genstarte computeren i &MS-DOS-tilstand?",
        /* 19 */ "&Ja",
        /* 20 */ "&Nej",
        /* 21 */ "&Hjælp",
        /* 22 */ "What do you want the computer to do?",
        /* 23 */ "&Shut down",
        /* 24 */ "&Restart",
        /* 25 */ "&Close all programs && logon as a different user",
        /* 26 */ "Restart in &MS-DOS mode",
        /* 27 */ "&OK",
        /* 28 */ "Cancel",
        /* 29 */ "Help",
        /* 30 */ "",
        /* 31 */ "",
        /* 32 */ "",
    },
    false};

const TextSetData kDutch{
    {"Windows afsluiten", "Log Off Windows", ""},
    {
        /*  0 */ "What do you want the computer to do?",
        /*  1 */ "&Close all programs && logon as a different user",  // log off, shut down, restart
        /*  2 */ "&Shut down",
        /*  3 */ "&Restart",
        /*  4 */ "&OK",
        /*  5 */ "Cancel",
        /*  6 */ "&Help",
        /*  7 */ "Wilt u:",
        /*  8 */ "&De computer uitschakelen?",
        /*  9 */ "De &computer opnieuw opstarten?",
        /* 10 */ "Alle programma's af&sluiten en u opnieuw aanmelden?",
        /* 11 */ "&Ja",
        /* 12 */ "&Annuleren",
        /* 13 */ "&Help",
        /* 14 */ "Wilt u:",
        /* 15 */ "&De computer uitschakelen?",
        /* 16 */ "De &computer opnieuw opstarten?",
        /* 17 */ "Alle programma's af&sluiten en u opnieuw aanmelden?",
        /* 18 */ "De computer opnieuw opstarten in &MS-DOS-modus?",
        /* 19 */ "&Ja",
        /* 20 */ "&Annuleren",
        /* 21 */ "&Help",
        /* 22 */ "Wilt u:",
        /* 23 */ "&De computer uitschakelen?",
        /* 24 */ "De &computer opnieuw opstarten?",
        /* 25 */ "Alle programma's af&sluiten en u opnieuw aanmelden?",
        /* 26 */ "De computer opnieuw opstarten in &MS-DOS-modus?",
        /* 27 */ "&Ja",
        /* 28 */ "&Annuleren",
        /* 29 */ "&Help",
        /* 30 */ "",
        /* 31 */ "",
        /* 32 */ "",
    },
    false};

const TextSetData& DataOf(TextSet set) {
    switch (set) {
        case TextSet::Spanish: return kSpanish;
        case TextSet::German: return kGerman;
        case TextSet::Italian: return kItalian;
        case TextSet::French: return kFrench;
        case TextSet::Danish: return kDanish;
        case TextSet::Dutch: return kDutch;
        case TextSet::English: break;
    }
    return kEnglish;
}

void Caption(ui::Form& f, const char* label, std::size_t slot) { f.GetLabel(label).SetCaption(DialogTexts[slot]); }
void Option(ui::Form& f, const char* option, std::size_t slot) { f.GetOption(option).SetCaption(DialogTexts[slot]); }
void Button(ui::Form& f, const char* button, std::size_t slot) { f.GetButton(button).SetCaption(DialogTexts[slot]); }

// NT 4, Windows 95 and Windows 98 share one layout: a title, the option
// buttons and the three buttons, each version from its own run of slots.
void ApplyOptionLayout(ui::Form& f, std::size_t first, bool withMsDos) {
    std::size_t slot = first;
    Caption(f, "lblTitle", slot++);
    Option(f, "optShutdown", slot++);
    Option(f, "optRestart", slot++);
    Option(f, "optLogoff", slot++);
    if (withMsDos) Option(f, "optMSDOS", slot++);
    Button(f, "cmdOK", slot++);
    Button(f, "cmdCancel", slot++);
    Button(f, "cmdHelp", slot);
}

void ApplyToDialog(ui::Form& f) {
    using basWinVer::WinPlatform;
    using basWinVer::WinVer;
    if (WinPlatform == 2) {
        f.GetOption("optMSDOS").SetVisible(false);
        if (WinVer == 5) {
            f.GetOption("optShutdown").SetVisible(false);
            f.GetOption("optRestart").SetVisible(false);
            f.GetOption("optLogoff").SetVisible(false);
            Caption(f, "lblTitle", 0);
            ui::ComboBox& combo = f.GetComboBox("cmbShutdown");
            combo.Clear();  // a second load must not list the items twice
            for (std::size_t slot = 1; slot <= 3; ++slot) combo.AddItem(DialogTexts[slot]);
            Button(f, "cmdOK", 4);
            Button(f, "cmdCancel", 5);
            Button(f, "cmdHelp", 6);
        } else if (WinVer == 4) {
            f.GetComboBox("cmbShutdown").SetVisible(false);
            f.GetLabel("lblExplain").SetVisible(false);
            ApplyOptionLayout(f, 7, false);
        }
    } else if (WinPlatform == 1) {
        f.GetOption("optMSDOS").SetVisible(true);
        f.GetComboBox("cmbShutdown").SetVisible(false);
        // Windows 95/98 has no services to stop.
        f.GetCheckBox("chkStopServices").SetEnabled(false);
        ui::ListBox& stop = f.GetListBox("lstStop");
        stop.SetBackColor(ui::SysColor::ButtonFace);
        stop.SetEnabled(false);
        if (WinVer == 1) ApplyOptionLayout(f, 14, true);
        else if (WinVer == 3) ApplyOptionLayout(f, 22, true);
    }
}

}  // namespace

TextSet TextSetFor(std::uint16_t countryCode) {
    switch (countryCode) {
        case 1034:
        case 3082: return TextSet::Spanish;
        case 1031: return TextSet::German;
        case 1040: return TextSet::Italian;
        case 1036: return TextSet::French;
        case 1030: return TextSet::Danish;
        case 1043: return TextSet::Dutch;
        default: return TextSet::English;
    }
}

void FillTextTables(TextSet set, const std::string& userName) {
    const TextSetData& data = DataOf(set);
    for (std::size_t i = 0; i < InterceptTitles.size(); ++i) InterceptTitles[i] = data.titles[i];
    DialogTexts.fill("");
    for (std::size_t i = 0; i < kUsedSlots; ++i) DialogTexts[i] = data.texts[i];
    if (data.userNameInSlot1) DialogTexts[1] += userName;
}

void LoadDialogTexts(ui::Ui& ui, ui::Form& frmMain, platform::System& sys, const std::string& commandLine,
                     const std::string& userName, const std::string& appTitle) {
    static const std::string kCountrySwitch = "/country=";
    std::size_t at = commandLine.find(kCountrySwitch);
    if (at != std::string::npos) {
        // Only a plain language code up to the end of the line counts;
        // anything else leaves the language of the system.
        auto code = basSettings::ToInt16(commandLine.substr(at + kCountrySwitch.size()));
        if (code && *code >= 0) CountryCode = static_cast<std::uint16_t>(*code);
    }

    bool develop = commandLine.find("/develop") != std::string::npos;
    if (develop) ui.MsgBox("The Country Code is " + std::to_string(CountryCode), appTitle, ui::kMbOk);

    FillTextTables(TextSetFor(CountryCode), userName);

    if (develop) {
        ui.MsgBox("WinPlatform (Win95/98=1; NT=2): " + std::to_string(basWinVer::WinPlatform) + "\r\n" +
                          "WINVER (WIN95=1; WIN98=3; WINNT4=4; WINNT5=5):  " + std::to_string(basWinVer::WinVer),
                      "#2", ui::kMbOk);
    }

    ApplyToDialog(frmMain);

    BuildDayInitials(sys, ThursdayRule::CountryCode);
}

}  // namespace basCountry
