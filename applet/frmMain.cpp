#include "applet/frmMain.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "applet/frmChangePassword.h"
#include "applet/frmProgramSelection.h"
#include "common/basCountry.h"
#include "common/basEncrypt.h"
#include "common/basLogFile.h"
#include "common/basProduct.h"
#include "common/basTrayIcon.h"
#include "common/basWinVer.h"
#include "common/frmPasswordToAccess.h"
#include "services/basServices.h"
#include "wizard/ListViewRunList.h"
#include "wizard/basUtilityWizard.h"

namespace halcfg {

namespace S = basSettings;

namespace {

// The dialog's texts by control, then its messages. A language that leaves
// a control alone has nullptr there: the English design text stays.
const basText::Entry kTexts[] = {
    {.key = "caption",
     .en = "Halcyra Settings",
     .es = "Puestas de Halcyra",
     .de = "Halcyra-Einstellungen",
     .it = "Halcyra-Einstellungen",
     .fr = "Configurations De Halcyra"},
    {.key = "cmdOK", .en = "OK", .es = "Aceptar"},
    {.key = "cmdCancel", .en = "Cancel", .es = "Cancelar", .de = "Abbrechen", .it = "Annulla", .fr = "Annulent"},
    {.key = "cmdApply", .en = "&Apply", .es = "Applicar", .de = "Zutreffen", .it = "Applicano", .fr = "S'appliquent"},
    {.key = "SSTab1 0", .en = "Programs", .it = "Programmes", .fr = "Programmes"},
    {.key = "SSTab1 1", .en = "Services", .it = "Services", .fr = "Services"},
    {.key = "SSTab1 2", .en = "Settings", .it = "Configurations ", .fr = "Configurations "},
    {.key = "SSTab1 3", .en = "Actions", .it = "Actions", .fr = "Actions"},
    {.key = "cmdAdd", .en = "Add...", .es = "Añadir...", .de = "hinzufügen", .it = "Aggiungono", .fr = "Ajoutent"},
    {.key = "cmdEdit", .en = "&Edit...", .es = "Preparar", .de = "bearbeiten", .it = "Stampano", .fr = "Éditent"},
    {.key = "cmdRemove", .en = "Remove", .es = "Remover", .de = "löschen", .it = "Rimuovono", .fr = "Retirent"},
    {.key = "cmdWizard", .en = "&Wizard...", .es = "Mágico", .it = "Magicien", .fr = "Magicien"},
    {.key = "chkRunThisFirst",
     .en = "Run checked programs before shutdown",
     .it = "Exécutez l'arrêt contrôlé de programmes avant ",
     .fr = "Exécutez l'arrêt contrôlé de programmes avant "},
    {.key = "chkStopServices",
     .en = "Stop checked services before Shutdown or Restart",
     .it = "Arrêtez a contrôlé des services avant arrêt ou les relance",
     .fr = "Arrêtez a contrôlé des services avant arrêt ou les relance"},
    {.key = "FrameOperation",
     .en = "Operation",
     .es = "Servicios",
     .de = "Dienstleistungen",
     .it = "Servizi",
     .fr = "Exécution "},
    {.key = "chkShowIcon",
     .en = "Show Halcyra &icon on the taskbar",
     .es = "Enseña icon de Halcyra",
     .de = "Zeigen Sie Halcyra-Ikone auf dem taskbar",
     .it = "Mostrare l' icona sul taskbar",
     .fr = "Montrez le icon de Halcyra sur le taskbar "},
    {.key = "chkLock",
     .en = "End users &can select applications to run",
     .es = "Users pueden escoger las apps para ejecutar",
     .de = "Endbenutzer können Anwendungen auswählen",
     .it = "Gli utilizzatori finali possono selezionare le applicazioni",
     .fr = "Applications choisies &can d'utilisateurs à exécuter"},
    {.key = "chkForceAppsToClose",
     .en = "&Force programs to terminate; do not ask to save changes or respond to dialog boxes.",
     .es = "Oblige los programas a terminal; no vas a preguntar que guarde los cambios o que responda a las cajas de "
           "diá logo.",
     .de = "Kraftprogramme zum Abbrechen; bitten Sie nicht, Änderungen zu sichern oder auf Dialogfelder zu "
           "reagieren.",
     .it = "Programmi della forza da terminare; non chiedere di salvare i cambiamenti o rispondere alle zone di "
           "dialogo.",
     .fr = "Programmes de force à terminer; ne demandez pas à sauvegarder des changements ou à répondre aux zones de "
           "dialogue. "},
    {.key = "FrameOrder", .en = "Order", .es = "Acciones", .de = "Tätigkeiten", .it = "Azioni", .fr = "Commande"},
    {.key = "optOrder0",
     .en = "Run programs, then stop services",
     .it = "Exécutez les programmes, puis arrêtez les services",
     .fr = "Exécutez les programmes, puis arrêtez les services"},
    {.key = "optOrder1",
     .en = "Stop services, then run programs",
     .it = "Arrêtez les services, puis exécutez les programmes",
     .fr = "Arrêtez les services, puis exécutez les programmes"},
    {.key = "FrameLogs", .en = "Logs", .it = "Archivio di libro macchina ", .fr = "Liste"},
    {.key = "cmdView", .en = "&View...", .es = "Mirar", .de = "Ansicht...", .it = "Vista...", .fr = "Vue..."},
    {.key = "cmdPurge", .en = "Pu&rge...", .es = "Purgar", .de = "Löschung", .it = "Cancellano...", .fr = "Purge..."},
    {.key = "chkLogEV",
     .en = "Log in Event Viewer",
     .es = "Entras en NT Event Viewer (utilizan NT's Event Viewer para mirar)",
     .de = "Protokoll in NT Event Viewer (verwenden NT's Event Viewer ansehen)",
     .it = "Inizio attività NT Event Viewer (NT Event Viewer di uso da osservare)",
     .fr = "Visualisateur d'événement de procédure de connexion"},
    {.key = "lblUnload",
     .en = "Restore the standard Windows shutdown dialogs",
     .es = "Renovar Windows normal dialogo",
     .de = "Erstellen Sie die Standard window Dialoge",
     .it = "Ristabilire i dialoghi standard di arresto",
     .fr = "Restaurez les dialogues standard d'arrêt de Windows "},
    {.key = "cmdUnload", .en = "&Unload", .es = "Vaciar", .de = "löschen", .it = "Scaricano", .fr = "Déchargent"},
    {.key = "lblPassword",
     .en = "Set the password to prevent changing settings",
     .es = "La conseña estas ajustada para prevenir cambiando los sitios establecido.",
     .de = "Einstellen Sie das Kennwort",
     .it = "Regolare la parola d'accesso",
     .fr = "Placez le mot de passe pour empêcher changer des configurations "},
    {.key = "cmdPassword",
     .en = "&Password...",
     .es = "Conseña",
     .de = "Kennwort",
     .it = "d'accesso ",
     .fr = "Mot de passe"},
    {.key = "selCommandPrompt",
     .en = "Open a command prompt",
     .it = "Ouvrez une demande de commande ",
     .fr = "Ouvrez une demande de commande "},
    {.key = "lblRunExplain",
     .en = "The programs listed are run by Halcyra in order from top to bottom.  Only the checked programs will run.  "
           "Use the arrows on the right of the list to change the order.",
     .es = "Los programas enumerados son ejecutados por Halcyra en orden de tapa al fondo. Solamente los programas "
           "controlados se ejecutarán. Utilice las flechas en la derecha de la lista de cambiar la orden.",
     .de = "Die ausgedruckten Programme werden von Halcyra in der Ordnung von oben bis unten laufen gelassen. Nur die "
           "überprüften Programme laufen. Benutzen Sie die Pfeile auf dem Recht der Liste, die Ordnung zu ändern.",
     .it = "Les programmes énumérés sont exécutés par Halcyra dans la commande de haut en bas. Seulement les "
           "programmes contrôlés fonctionneront. Utilisez les flèches du côté droit de la liste de changer la "
           "commande.",
     .fr = "Les programmes énumérés sont exécutés par Halcyra dans la commande de haut en bas. Seulement les "
           "programmes contrôlés fonctionneront. Utilisez les flèches du côté droit de la liste de changer la "
           "commande."},
    {.key = "lblStopExplain",
     .en = "The services checked are stopped by Halcyra in order from top to bottom.  Only the checked services will "
           "stop.  Use the arrows on the right of the list to change the order.",
     .es = "Los servicios controlados son parados por Halcyra en orden de tapa al fondo. Solamente los servicios "
           "controlados pararán. Utilice las flechas en la derecha de la lista de cambiar la orden.",
     .de = "Die überprüften Dienstleistungen werden von Halcyra in der Ordnung von oben bis unten gestoppt. Nur die "
           "überprüften Dienstleistungen stoppen. Benutzen Sie die Pfeile auf dem Recht der Liste, die Ordnung zu "
           "ändern.",
     .it = "Les services contrôlés sont arrêtés par Halcyra dans la commande de haut en bas. Seulement les services "
           "contrôlés s'arrêteront. Utilisez les flèches du côté droit de la liste de changer la commande.",
     .fr = "Les services contrôlés sont arrêtés par Halcyra dans la commande de haut en bas. Seulement les services "
           "contrôlés s'arrêteront. Utilisez les flèches du côté droit de la liste de changer la commande."},
    {.key = "lblPassword locked",
     .en = "Enter the password to gain access to settings.",
     .es = "Incorpore la palabra de paso para acceder a las configuraciones.",
     .de = "Tragen Sie das Kennwort ein, um zu den Einstellungen Zutritt zu erhalten.",
     .it = "Digitare la parola d'accesso per accedere alle regolazioni.",
     .fr = "Entrez le mot de passe pour accéder aux configurations."},
    {.key = "lblPassword unlocked",
     .en = "Set the password to prevent changing settings.",
     .es = "La conseña estas ajustada para prevenir cambiando los sitios establecido.",
     .de = "Einstellen Sie das Kennwort.",
     .it = "Regolare la parola d'accesso per evitare che cambia le regolazioni.",
     .fr = "Placez le mot de passe pour empêcher changer des configurations."},
    {.key = "lsvRun 0",
     .en = "Application",
     .es = "Applicaciónes",
     .de = "Anwendung",
     .it = "Applicazione",
     .fr = "Programmes"},
    {.key = "lsvRun 1",
     .en = "Days Run",
     .es = "Ejecutar los dias",
     .de = "Tage Laufen ",
     .it = "Giorni Funzionato",
     .fr = "Les Jours Exécutent"},
    {.key = "lsvStop 0", .en = "Services", .es = "Servicios", .de = "Dienstleistungen", .it = "Servizi", .fr = "Services"},
    // Whether this user may stop the row's service: said here, before any
    // shutdown, rather than only in the log afterwards.
    {.key = "lsvStop 1", .en = "Stop", .es = "Detener", .de = "Beenden", .it = "Arresto", .fr = "Arrêt"},
    {.key = "stopDenied",
     .en = "Not allowed",
     .es = "No permitido",
     .de = "Nicht erlaubt",
     .it = "Non consentito",
     .fr = "Non autorisé"},
    {.key = "stopNotInstalled",
     .en = "Not installed",
     .es = "No instalado",
     .de = "Nicht installiert",
     .it = "Non installato",
     .fr = "Non installé"},
    // Messages.
    {.key = "stoppingTitle", .en = "Stopping Service"},
    {.key = "dependents1", .en = "The following services are dependent on the "},
    {.key = "dependents2", .en = " service:  "},
    {.key = "dependents3", .en = ".  You must move these above the "},
    {.key = "dependents4", .en = " service so they stop before the "},
    {.key = "dependents5", .en = " service and then select them."},
    {.key = "wrongPassword",
     .en = "Incorrect password.",
     .es = "Incorrecta contraseña.",
     .de = "Falsches Kennwort.",
     .it = "Errata parola d'accesso.",
     .fr = "Mot de passe incorrect."},
    {.key = "wrongPassword load",
     .en = "Incorrect password.",
     .es = "Palabra de paso incorrecta.",
     .de = "Falsches Kennwort.",
     .it = "Errata parola d'accesso.",
     .fr = "Mot de passe incorrect."},
    {.key = "notSaved",
     .en = "These settings could not be saved and stay as they were stored: ",
     .es = "Estas opciones no se pudieron guardar y quedan como estaban: ",
     .de = "Diese Einstellungen konnten nicht gespeichert werden und bleiben, wie sie waren: ",
     .it = "Queste impostazioni non sono state salvate e restano come erano: ",
     .fr = "Ces paramètres n'ont pas pu être enregistrés et restent tels qu'ils étaient : "},
    {.key = "unreadablePassword",
     .en = "The stored password could not be read, so the settings stay locked.",
     .es = "No se pudo leer la contraseña guardada; la configuración queda bloqueada.",
     .de = "Das gespeicherte Kennwort konnte nicht gelesen werden; die Einstellungen bleiben gesperrt.",
     .it = "Non è stato possibile leggere la parola d'accesso salvata; le impostazioni restano bloccate.",
     .fr = "Le mot de passe enregistré n'a pas pu être lu; les paramètres restent verrouillés."},
    {.key = "unloaded",
     .en = "Halcyra was detected and is now unloaded.",
     .es = "Halcyra fue detectado y ahora se descarga.",
     .de = "Halcyra wurde ermittelt und wird jetzt aus dem Programm genommen.",
     .it = "Halcyra è stato rilevato ed ora è scaricato.",
     .fr = "Halcyra a été détecté et est maintenant déchargé. "},
    {.key = "stillRunning",
     .en = "Halcyra was detected but is still running and was not unloaded.",
     .es = "Halcyra fue detectado pero sigue en ejecución y no se descargó.",
     .de = "Halcyra wurde ermittelt, läuft aber noch und wurde nicht aus dem Programm genommen.",
     .it = "Halcyra è stato rilevato ma è ancora in esecuzione e non è stato scaricato.",
     .fr = "Halcyra a été détecté mais est toujours en cours d'exécution et n'a pas été déchargé."},
    {.key = "nothingToView",
     .en = "No items in the log file to view.",
     .es = "Ningunos items en el fichero de diario a visión.",
     .de = "Keine Einzelteile in der anzusehenden Datei.",
     .it = "Nessun articoli nell' archivio di libro macchina da osservare.",
     .fr = "Aucuns éléments dans le fichier de logarithme naturel à visualiser."},
    {.key = "noViewer",
     .en = "Cannot find Notepad to view ",
     .es = "No puede encontrar Notepad para visión el fichero.",
     .de = "Kann nicht Notepad finden, um anzusehen ",
     .it = "Non può trovare il Notepad per osservare ",
     .fr = "Ne peut pas trouver le notepad pour visualiser "},
    {.key = "nothingToPurge",
     .en = "No items in the log file to purge.",
     .es = "Ningunos items en el fichero de diario a purgar.",
     .de = "Keine Einzelteile in der Datei zum Löschen.",
     .it = "Nessun articoli nell' archivio di libro macchina da eliminare l'inceppo.",
     .fr = "Aucuns éléments dans le fichier de logarithme naturel à purger."},
    {.key = "purgeFailed",
     .en = "The log file could not be purged: ",
     .es = "No se pudo purgar el fichero de diario: ",
     .de = "Die Protokolldatei konnte nicht gelöscht werden: ",
     .it = "Impossibile eliminare il file di registro: ",
     .fr = "Impossible de purger le fichier de log : "},
    {.key = "purgeQuestion",
     .en = "Are you sure you want to purge the log file?",
     .es = "¿Es usted seguro usted desea purgar el fichero de diario?",
     .de = "Sind Sie Sie möchten die Protokolldatei löschen sicher?",
     .it = "Siete sicuri voi desiderate eliminare l'inceppo l' archivio di libro macchina?",
     .fr = "Êtes-vous sûr vous voulez-vous purger le fichier de log?"},
};

constexpr const char* kHelpFileName = "halcyraset.html";

// How long Unload gives the daemon to answer WM_CLOSE, then to end: a daemon
// busy with its shutdown sequence must not hold up the Control Panel.
constexpr std::uint32_t kCloseAnswerMs = 5000;
constexpr std::uint32_t kDaemonEndMs = 5000;

// The folder of a program path: what comes before its last "\"; "" when
// there is none.
std::string FolderOf(const std::string& program) {
    size_t slash = program.find_last_of('\\');
    return slash == std::string::npos ? std::string() : program.substr(0, slash);
}

}  // namespace

frmMain::frmMain(ui::Ui& ui, platform::Platform& sys, AppletState& state)
    : ui_(ui),
      sys_(sys),
      state_(state),
      formPtr_(ui.CreateForm("frmMain", nullptr)),
      form(*formPtr_),
      cmdOK(form.GetButton("cmdOK")),
      cmdCancel(form.GetButton("cmdCancel")),
      cmdApply(form.GetButton("cmdApply")),
      cmdHelp(form.GetButton("cmdHelp")),
      SSTab1(form.GetTab("SSTab1")),
      imgMain(form.GetPicture("imgMain")),
      lsvRun(form.GetListView("lsvRun")),
      cmdAdd(form.GetButton("cmdAdd")),
      cmdEdit(form.GetButton("cmdEdit")),
      cmdRemove(form.GetButton("cmdRemove")),
      cmdUp(form.GetButton("cmdUp")),
      cmdDown(form.GetButton("cmdDown")),
      cmdWizard(form.GetButton("cmdWizard")),
      chkRunThisFirst(form.GetCheckBox("chkRunThisFirst")),
      lblRunExplain(form.GetLabel("lblRunExplain")),
      lsvStop(form.GetListView("lsvStop")),
      cmdUpServices(form.GetButton("cmdUpServices")),
      cmdDownServices(form.GetButton("cmdDownServices")),
      chkStopServices(form.GetCheckBox("chkStopServices")),
      lblSeconds(form.GetLabel("lblSeconds")),
      txtServiceSeconds(form.GetTextBox("txtServiceSeconds")),
      lblSec(form.GetLabel("lblSec")),
      lblStopExplain(form.GetLabel("lblStopExplain")),
      FrameOperation(form.GetLabel("FrameOperation")),
      chkShowIcon(form.GetCheckBox("chkShowIcon")),
      chkLock(form.GetCheckBox("chkLock")),
      chkForceAppsToClose(form.GetCheckBox("chkForceAppsToClose")),
      FrameOrder(form.GetLabel("FrameOrder")),
      optOrder{&form.GetOption("optOrder0"), &form.GetOption("optOrder1")},
      lblUnload(form.GetLabel("lblUnload")),
      cmdUnload(form.GetButton("cmdUnload")),
      lblPassword(form.GetLabel("lblPassword")),
      cmdPassword(form.GetButton("cmdPassword")),
      FrameLogs(form.GetLabel("FrameLogs")),
      cmdView(form.GetButton("cmdView")),
      cmdPurge(form.GetButton("cmdPurge")),
      chkLogEV(form.GetCheckBox("chkLogEV")),
      mnuCommand(form.GetMenu("mnuCommand")) {
    pages_[0] = {&lsvRun, &cmdAdd, &cmdEdit, &cmdRemove, &cmdUp, &cmdDown, &cmdWizard, &chkRunThisFirst,
                 &lblRunExplain};
    pages_[1] = {&lsvStop, &cmdUpServices, &cmdDownServices, &chkStopServices,
                 &lblSeconds, &txtServiceSeconds, &lblSec, &lblStopExplain};
    pages_[2] = {&FrameOperation, &chkShowIcon, &chkLock, &chkForceAppsToClose, &FrameOrder, optOrder[0], optOrder[1]};
    pages_[3] = {&lblUnload, &cmdUnload, &lblPassword, &cmdPassword, &FrameLogs, &cmdView, &cmdPurge, &chkLogEV};

    form.OnClick("cmdOK", [this] { cmdOK_Click(); });
    form.OnClick("cmdCancel", [this] { cmdCancel_Click(); });
    form.OnClick("cmdApply", [this] { cmdApply_Click(); });
    form.OnClick("cmdHelp", [this] { cmdHelp_Click(); });
    form.OnClick("cmdUnload", [this] { cmdUnload_Click(); });
    form.OnClick("cmdPassword", [this] { cmdPassword_Click(); });
    form.OnClick("cmdView", [this] { cmdView_Click(); });
    form.OnClick("cmdPurge", [this] { cmdPurge_Click(); });
    form.OnClick("selCommandPrompt", [this] { selCommandPrompt_Click(); });
    form.OnClick("chkRunThisFirst", [this] { chkRunThisFirst_Click(); });
    form.OnClick("chkStopServices", [this] { chkStopServices_Click(); });
    form.OnClick("SSTab1", [this] { SSTab1_Click(); });
    for (const char* name : {"chkShowIcon", "chkLock", "chkForceAppsToClose", "chkLogEV", "optOrder0", "optOrder1"})
        form.OnClick(name, [this] { OptionChanged(); });
    form.OnChange("txtServiceSeconds", [this] { OptionChanged(); });
    form.OnMouseDown("lsvRun", [this](const ui::MouseEvent& e) { lsvRun_MouseDown(e); });
    form.OnClick("cmdAdd", [this] { cmdAdd_Click(); });
    form.OnClick("cmdEdit", [this] { cmdEdit_Click(); });
    form.OnDblClick("lsvRun", [this] { cmdEdit_Click(); });
    form.OnClick("cmdRemove", [this] { cmdRemove_Click(); });
    form.OnClick("cmdUp", [this] { cmdUp_Click(); });
    form.OnClick("cmdDown", [this] { cmdDown_Click(); });
    form.OnClick("cmdWizard", [this] { cmdWizard_Click(); });
    form.OnMouseUp("lsvStop", [this](const ui::MouseEvent& e) { lsvStop_MouseUp(e); });
    form.OnKeyUp("lsvStop", [this](int keyCode, int) { lsvStop_KeyUp(keyCode); });
    form.OnClick("cmdUpServices", [this] { cmdUpServices_Click(); });
    form.OnClick("cmdDownServices", [this] { cmdDownServices_Click(); });
    form.OnKeyPress("txtServiceSeconds", [this](int c) { return txtServiceSeconds_KeyPress(c); });
    form.OnGotFocus("txtServiceSeconds", [this] { txtServiceSeconds.SelectAll(); });
    // The daemon waits at most 600 seconds for a service: three digits.
    txtServiceSeconds.SetMaxLength(3);
}

frmMain::~frmMain() = default;

basSettings::Store frmMain::Settings() const { return S::Store(sys_.registry, state_.SettingsRoot); }

basText::Language frmMain::Language() const { return basText::LanguageOf(state_.CountryCode); }

std::string frmMain::Text(const char* key) const { return basText::Get(kTexts, key, Language()); }

void frmMain::Show() {
    Form_Load();
    form.ShowModal();
}

void frmMain::Form_Load() {
    state_.SettingsRoot = platform::RootKey::CurrentUser;
    state_.CountryCode = basCountry::GetWindowsLanguage(sys_.system);
    state_.HelpFile = state_.LibraryFolder + kHelpFileName;
    basWinVer::GetWinVer(sys_.system, state_);
    basCountry::BuildDayInitials(sys_.system, basCountry::ThursdayRule::DayName, state_);
    PrepareLists();

    LoadOptions();
    form.CenterOnScreen();
    state_.AppPath = Settings().Read(S::AppPath);
    LoadRunList();
    LoadStopList();

    cmdUnload.SetEnabled(static_cast<bool>(FindDaemon()));
    PasswordGate();

    cmdApply.SetEnabled(false);
    SetCaptions();
    S::Store store = Settings();
    chkRunThisFirst.SetValue(store.Read(S::RunPrograms) == 1 ? 1 : 0);
    chkStopServices.SetValue(store.Read(S::StopServices) == 1 ? 1 : 0);
    chkRunThisFirst_Click();
    chkStopServices_Click();
    optOrder[0]->SetValue(store.Read(S::Order));
    if (!optOrder[0]->Value()) optOrder[1]->SetValue(true);
    RecordShown();
    cmdApply.SetEnabled(false);
    if (state_.WinPlatform == 1) {
        // No services on Windows 95/98: the stored names show, nothing edits them.
        chkStopServices.SetEnabled(false);
        lsvStop.SetBackColor(ui::SysColor::ButtonFace);
        lsvStop.SetEnabled(false);
        lblStopExplain.SetEnabled(false);
        cmdUpServices.SetEnabled(false);
        cmdDownServices.SetEnabled(false);
    }
    SSTab1.SelectTab(0);
    SSTab1_Click();
}

void frmMain::PrepareLists() {
    lsvRun.ClearColumns();
    lsvRun.AddColumn(Text("lsvRun 0"));
    lsvRun.AddColumn(Text("lsvRun 1"));
    lsvRun.SetFullRowSelect();
    lsvRun.SetCheckBoxes();
    lsvStop.ClearColumns();
    lsvStop.AddColumn(Text("lsvStop 0"));
    lsvStop.AddColumn(Text("lsvStop 1"));
    lsvStop.SetFullRowSelect();
    lsvStop.SetCheckBoxes();
}

void frmMain::LoadOptions() {
    S::Store store = Settings();
    S::Store::Batch batch(store);
    chkLock.SetValue(store.Read(S::UserCanModifyApps) == 1 ? 1 : 0);
    chkShowIcon.SetValue(store.Read(S::ShowIcon) == 1 ? 1 : 0);
    chkForceAppsToClose.SetValue(store.Read(S::UseHalcyra) == 1 ? 1 : 0);
    // The field shows the stored text as it is; Apply writes it back unchanged.
    txtServiceSeconds.SetText(
        store.Text(S::SecondsToWaitForService.name, std::to_string(S::SecondsToWaitForService.def)));
    if (state_.WinPlatform == 2) {
        chkLogEV.SetValue(store.Read(S::LogEV) == 1 ? 1 : 0);
    } else {
        // No event log on Windows 95/98: shown off, left as stored.
        chkLogEV.SetEnabled(false);
        chkLogEV.SetValue(0);
    }
}

void frmMain::LoadRunList() {
    S::Store store = Settings();
    S::Store::Batch batch(store);
    for (const S::RunRow& row : S::ReadRunList(store, state_.DayInitials)) {
        int r = lsvRun.AddRow(row.name);
        lsvRun.SetCellText(r, 1, row.days);
        if (row.checked) lsvRun.CheckItem(r);
    }
}

void frmMain::LoadStopList() {
    S::Store store = Settings();
    for (const std::string& name : S::ParseCommaList(store.Read(S::StopList))) lsvStop.AddRow(name);
    basServices::FillRunningServices(sys_.services, lsvStop, state_.WinPlatform);
    // A display name with a comma has no stored form: saved, it would come
    // back as two names of services that do not exist. Stored names have none.
    for (int r = lsvStop.RowCount() - 1; r >= 0; --r)
        if (lsvStop.GetItemText(r, 0).find(',') != std::string::npos) lsvStop.DeleteItem(r);
    for (const std::string& name : S::ParseCommaList(store.Read(S::SelectedStopList)))
        for (int r = 0; r < lsvStop.RowCount(); ++r)
            if (sys_.locale.EqualsIgnoreCase(lsvStop.GetItemText(r, 0), name)) lsvStop.CheckItem(r);
    MarkStopRights();
    // Service names are long: the column takes the longest.
    lsvStop.AutoSizeColumns(true);
}

// The mark is a column of its own: the first column stays the display name
// that "StopList" and "SelectedStopList" keep.
void frmMain::MarkStopRights() {
    if (state_.WinPlatform != 2) return;
    std::vector<std::string> names;
    for (int r = 0; r < lsvStop.RowCount(); ++r) names.push_back(lsvStop.GetItemText(r, 0));
    const std::vector<basServices::StopRight> rights = basServices::StopRights(sys_.services, names);
    for (int r = 0; r < lsvStop.RowCount(); ++r) {
        switch (rights[static_cast<size_t>(r)]) {
            case basServices::StopRight::Denied: lsvStop.SetCellText(r, 1, Text("stopDenied")); break;
            case basServices::StopRight::NotInstalled: lsvStop.SetCellText(r, 1, Text("stopNotInstalled")); break;
            default: break;
        }
    }
}

// Each value by name with the text Apply writes for its control now.
std::vector<std::pair<std::string, std::string>> frmMain::ShownValues() const {
    auto flag = [](const ui::CheckBox& box) { return std::to_string(box.Value()); };
    return {{S::UserCanModifyApps.name, flag(chkLock)},
            {S::UseHalcyra.name, flag(chkForceAppsToClose)},
            {S::ShowIcon.name, flag(chkShowIcon)},
            {S::LogEV.name, flag(chkLogEV)},
            {S::SecondsToWaitForService.name, txtServiceSeconds.Text()},
            {S::RunPrograms.name, flag(chkRunThisFirst)},
            {S::StopServices.name, flag(chkStopServices)},
            {S::Order.name, S::FromBool(optOrder[0]->Value())}};
}

std::vector<S::RunRow> frmMain::RunRows() const {
    std::vector<S::RunRow> rows;
    for (int r = 0; r < lsvRun.RowCount(); ++r) rows.push_back({lsvRun.GetItemText(r, 0), {}, lsvRun.IsItemChecked(r)});
    return rows;
}

std::vector<std::string> frmMain::StopRows(bool checkedOnly) const {
    std::vector<std::string> rows;
    for (int r = 0; r < lsvStop.RowCount(); ++r)
        if (!checkedOnly || lsvStop.IsItemChecked(r)) rows.push_back(lsvStop.GetItemText(r, 0));
    return rows;
}

void frmMain::RecordShown() {
    S::Store store = Settings();
    S::Store::Batch batch(store);
    shown_.clear();
    for (const auto& [name, text] : ShownValues()) shown_[name] = {text, store.Readable(name)};
    runRead_ = S::ReadRunListChecks(store);
    runShown_ = RunRows();
    stopRead_ = S::ReadList(store, S::StopList.name);
    selectedStopRead_ = S::ReadList(store, S::SelectedStopList.name);
    stopShown_ = StopRows(false);
    selectedStopShown_ = StopRows(true);
}

namespace {

bool SameRows(const std::vector<S::RunRow>& a, const std::vector<S::RunRow>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || a[i].checked != b[i].checked) return false;
    return true;
}

}  // namespace

// A list is merged against what this dialog last read or saved: what
// another writer stored since then stays, and this dialog's own earlier
// save counts as its own.
void frmMain::SaveRunList(std::vector<std::string>& notSaved) {
    std::vector<S::RunRow> rows = RunRows();
    if (SameRows(rows, runShown_)) return;
    if (!runRead_.rows || !runRead_.selectedReadable || !S::SaveRunRows(Settings(), runRead_, rows)) {
        notSaved.push_back(S::RunList.name);
        return;
    }
    runShown_ = rows;
    runRead_.rows = rows;
}

// The two lists go together: a running service that is ticked joins the
// stored list, so it keeps its place when it is not running.
void frmMain::SaveStopList(std::vector<std::string>& notSaved) {
    std::vector<std::string> all = StopRows(false), checked = StopRows(true);
    if (all == stopShown_ && checked == selectedStopShown_) return;
    bool saved = true;
    for (auto [name, read, now] : {std::tuple{S::StopList.name, &stopRead_, &all},
                                   std::tuple{S::SelectedStopList.name, &selectedStopRead_, &checked}}) {
        if (!*read || !S::SaveList(Settings(), name, *read, *now)) {
            notSaved.push_back(name);
            saved = false;
        }
    }
    if (!saved) return;
    stopShown_ = all;
    selectedStopShown_ = checked;
    stopRead_ = all;
    selectedStopRead_ = checked;
}

platform::WindowHandle frmMain::FindDaemon() {
    return sys_.windows.Find(basProduct::kDaemonWindowClass, basProduct::kAppTitle);
}

void frmMain::PasswordGate() {
    std::optional<std::string> password = basEncrypt::StoredPassword(sys_.locale, Settings());
    if (!password) {
        ui_.MsgBox(Text("unreadablePassword"), basProduct::kAppTitle, ui::kMbExclamation);
        EnterLocked();
        return;
    }
    const std::string& stored = *password;
    if (stored.empty()) return;
    std::string entered = common::AskPassword(ui_, &form, common::PasswordPrompt::Applet, Language());
    if (basEncrypt::PasswordsMatch(sys_.locale, stored, entered)) return;
    // A cancelled prompt locks without a word.
    if (!entered.empty()) ui_.MsgBox(Text("wrongPassword load"), basProduct::kAppTitle, ui::kMbExclamation);
    EnterLocked();
}

void frmMain::EnterLocked() {
    locked_ = true;
    lblPassword.SetCaption(Text("lblPassword locked"));
    for (ui::Control* c : std::initializer_list<ui::Control*>{
             &cmdView, &cmdPurge, &chkLogEV, &chkForceAppsToClose, &cmdUnload, &chkShowIcon, &cmdAdd, &cmdEdit,
             &cmdRemove, &cmdUp, &cmdDown, &cmdWizard, &chkLock, &lsvStop, &chkStopServices, &txtServiceSeconds,
             &lblSeconds, &lblSec, &lsvRun, &chkRunThisFirst, optOrder[0], optOrder[1]})
        c->SetEnabled(false);
    lsvStop.SetBackColor(ui::SysColor::ButtonFace);
    lsvRun.SetBackColor(ui::SysColor::ButtonFace);
}

// The seconds field and its labels stay as they are; Unload, the lists and
// the stop box come back whatever the daemon, the boxes and the platform.
void frmMain::Unlock() {
    locked_ = false;
    cmdView.SetEnabled(true);
    cmdPurge.SetEnabled(true);
    if (state_.WinPlatform == 2) chkLogEV.SetEnabled(true);
    for (ui::Control* c : std::initializer_list<ui::Control*>{
             &chkForceAppsToClose, &cmdUnload, &chkShowIcon, &lsvRun, &cmdAdd, &cmdEdit, &cmdRemove, &cmdUp,
             &cmdDown, &cmdWizard, &chkLock, &lsvStop, &chkStopServices, &chkRunThisFirst, optOrder[0], optOrder[1]})
        c->SetEnabled(true);
    lsvRun.SetBackColor(ui::SysColor::Window);
    lsvStop.SetBackColor(ui::SysColor::Window);
    lblPassword.SetCaption(Text("lblPassword unlocked"));
}

void frmMain::SetCaptions() {
    form.SetCaption(Text("caption"));
    struct Named {
        const char* key;
        ui::Label& control;
    };
    for (const Named& n : {Named{"cmdOK", cmdOK}, {"cmdCancel", cmdCancel}, {"cmdApply", cmdApply},
                           {"cmdAdd", cmdAdd}, {"cmdEdit", cmdEdit}, {"cmdRemove", cmdRemove},
                           {"cmdWizard", cmdWizard}, {"chkRunThisFirst", chkRunThisFirst},
                           {"chkStopServices", chkStopServices}, {"FrameOperation", FrameOperation},
                           {"chkShowIcon", chkShowIcon}, {"chkLock", chkLock},
                           {"chkForceAppsToClose", chkForceAppsToClose}, {"FrameOrder", FrameOrder},
                           {"optOrder0", *optOrder[0]}, {"optOrder1", *optOrder[1]}, {"FrameLogs", FrameLogs},
                           {"cmdView", cmdView}, {"cmdPurge", cmdPurge}, {"chkLogEV", chkLogEV},
                           {"lblUnload", lblUnload}, {"cmdUnload", cmdUnload}, {"cmdPassword", cmdPassword},
                           {"lblRunExplain", lblRunExplain}, {"lblStopExplain", lblStopExplain}})
        n.control.SetCaption(Text(n.key));
    if (!locked_) lblPassword.SetCaption(Text("lblPassword"));
    mnuCommand.SetCaption("selCommandPrompt", Text("selCommandPrompt"));
    for (int tab = 0; tab < 4; ++tab) SSTab1.SetTabCaption(tab, Text(("SSTab1 " + std::to_string(tab)).c_str()));
}

void frmMain::ApplyListRule(ui::CheckBox& box, ui::ListView& list) {
    bool on = box.Value() == 1 && box.Enabled();
    list.SetEnabled(on);
    list.SetBackColor(on ? ui::SysColor::Window : ui::SysColor::ButtonFace);
}

void frmMain::chkRunThisFirst_Click() {
    ApplyListRule(chkRunThisFirst, lsvRun);
    cmdApply.SetEnabled(true);
}

void frmMain::chkStopServices_Click() {
    ApplyListRule(chkStopServices, lsvStop);
    cmdApply.SetEnabled(true);
}

void frmMain::OptionChanged() { cmdApply.SetEnabled(true); }

void frmMain::lsvRun_MouseDown(const ui::MouseEvent& e) {
    if (e.button == 2) mnuCommand.Popup("");
    else cmdApply.SetEnabled(true);  // a click on a row's check box changes the dialog
}

std::string frmMain::DaysOf(const ProgramEntry& entry) const {
    return S::DaysText(entry.Days, entry.OncePerDay, state_.DayInitials);
}

// The entry's values are stored at once, whatever Apply and Cancel do later.
void frmMain::ReportNotSaved(const std::vector<std::string>& names) {
    if (names.empty()) return;
    std::string list;
    for (const auto& n : names) list += (list.empty() ? "" : ", ") + n;
    ui_.MsgBox(Text("notSaved") + list, basProduct::kAppTitle, ui::kMbExclamation);
}

void frmMain::WriteEntry(const ProgramEntry& entry) {
    S::Store store = Settings();
    std::vector<std::string> notSaved;
    for (const auto& [name, text] : {std::pair{entry.DisplayName, entry.Program},
                                     std::pair{S::DowName(entry.DisplayName), entry.Days},
                                     std::pair{S::RunOnceName(entry.DisplayName), S::FromBool(entry.OncePerDay)}})
        if (store.Save(name, text)) notSaved.push_back(name);
    ReportNotSaved(notSaved);
}

void frmMain::RefitRunColumns() { lsvRun.AutoSizeColumns(true); }

void frmMain::cmdAdd_Click() {
    ProgramEntry& entry = state_.Entry;
    entry.DisplayName.clear();
    entry.Program.clear();
    state_.OtherNames.clear();
    for (int r = 0; r < lsvRun.RowCount(); ++r) state_.OtherNames.push_back(lsvRun.GetItemText(r, 0));
    frmProgramSelection editor(ui_, &form, sys_, state_);
    editor.Show();
    if (entry.DisplayName.empty()) return;
    int row = lsvRun.AddRow(entry.DisplayName);
    lsvRun.SetCellText(row, 1, DaysOf(entry));
    lsvRun.CheckItem(row);
    lsvRun.SelectItem(row);
    WriteEntry(entry);
    cmdApply.SetEnabled(true);
    RefitRunColumns();
}

void frmMain::cmdEdit_Click() {
    int row = lsvRun.SelectedRow();
    if (lsvRun.RowCount() == 0 || row < 0) return;
    try {
        bool checked = lsvRun.IsItemChecked(row);
        ProgramEntry& entry = state_.Entry;
        std::string oldName = lsvRun.GetItemText(row, 0);
        {
            S::Store store = Settings();
            S::Store::Batch batch(store);
            entry.DisplayName = oldName;
            entry.Program = store.Text(oldName, "");
            entry.Days = store.Text(S::DowName(oldName), S::kAllDays);
            entry.OncePerDay = store.Boolean(S::RunOnceName(oldName), false);
        }
        state_.OtherNames.clear();
        bool oldNameListedElsewhere = false;
        for (int r = 0; r < lsvRun.RowCount(); ++r) {
            if (r == row) continue;
            state_.OtherNames.push_back(lsvRun.GetItemText(r, 0));
            // The registry compares value names without regard to letter case.
            if (sys_.locale.EqualsIgnoreCase(state_.OtherNames.back(), oldName)) oldNameListedElsewhere = true;
        }
        frmProgramSelection editor(ui_, &form, sys_, state_);
        editor.Show();
        if (entry.DisplayName.empty()) return;
        // Only the command line goes with the old name; its days and
        // once-per-day values stay behind, unused. Another row of that name
        // still runs the command line, so it stays for that one.
        if (!oldNameListedElsewhere) {
            platform::RegKey key = sys_.registry.CreateKey(state_.SettingsRoot, S::kSettingsKey);
            if (key) sys_.registry.DeleteValue(key, oldName);
        }
        lsvRun.DeleteItem(row);
        row = lsvRun.InsertRow(row, entry.DisplayName);
        lsvRun.SetCellText(row, 1, DaysOf(entry));
        lsvRun.SelectItem(row);
        if (checked) lsvRun.CheckItem(row);
        WriteEntry(entry);
        cmdApply.SetEnabled(true);
        RefitRunColumns();
    } catch (const std::exception& e) {
        ui_.MsgBox(e.what(), basProduct::kAppTitle, ui::kMbOk);
    }
}

void frmMain::cmdRemove_Click() {
    int row = lsvRun.SelectedRow();
    if (row < 0) return;
    lsvRun.DeleteItem(row);
    // The row that took its place, or the new last one, is selected next.
    int rows = lsvRun.RowCount();
    if (rows > 0) lsvRun.SelectItem(row < rows ? row : rows - 1);
    cmdApply.SetEnabled(true);
    RefitRunColumns();
}

bool frmMain::MoveSelectedRow(ui::ListView& list, int step) {
    int row = list.SelectedRow();
    if (row < 0) return false;
    int target = row + step;
    if (target < 0 || target >= list.RowCount()) {
        list.SelectItem(row);
        return false;
    }
    std::vector<std::string> cells;
    for (int c = 0; c < std::max(1, list.ColumnCount()); ++c) cells.push_back(list.GetItemText(row, c));
    bool checked = list.IsItemChecked(row);
    list.DeleteItem(row);
    int moved = list.InsertRow(target, cells[0]);
    for (size_t c = 1; c < cells.size(); ++c) list.SetCellText(moved, static_cast<int>(c), cells[c]);
    if (checked) list.CheckItem(moved);
    list.SelectItem(moved);
    return true;
}

void frmMain::cmdUp_Click() {
    if (MoveSelectedRow(lsvRun, -1)) cmdApply.SetEnabled(true);
}

void frmMain::cmdDown_Click() {
    if (MoveSelectedRow(lsvRun, +1)) cmdApply.SetEnabled(true);
}

void frmMain::cmdUpServices_Click() {
    if (MoveSelectedRow(lsvStop, -1)) cmdApply.SetEnabled(true);
}

void frmMain::cmdDownServices_Click() {
    if (MoveSelectedRow(lsvStop, +1)) cmdApply.SetEnabled(true);
}

void frmMain::cmdWizard_Click() {
    wizard::ListViewRunList runList(lsvRun, S::DaysText(S::kAllDays, false, state_.DayInitials));
    basUtilityWizard::WizardContext ctx{sys_.registry, sys_.system, state_.WinPlatform, state_.WinVer,
                                        state_.CountryCode, state_.SettingsRoot};
    basUtilityWizard::RunSetupWizard(ui_, &form, ctx, runList);
    RefitRunColumns();
    cmdApply.SetEnabled(true);
}

// Only a release over a row's check box can have checked it.
void frmMain::lsvStop_MouseUp(const ui::MouseEvent& e) { CheckDependents(lsvStop.HitTestCheckBox(e.x, e.y)); }

void frmMain::lsvStop_KeyUp(int keyCode) {
    constexpr int kSpace = 32;
    if (keyCode == kSpace) CheckDependents(lsvStop.SelectedRow());
}

bool frmMain::txtServiceSeconds_KeyPress(int character) {
    constexpr int kBackspace = 8;
    return (character >= '0' && character <= '9') || character == kBackspace;
}

// Warns when services listed depend on the one just checked: they must stop
// first, so they belong above it.
void frmMain::CheckDependents(int row) {
    cmdApply.SetEnabled(true);
    if (row < 0 || !lsvStop.IsItemChecked(row)) return;
    ui_.DoEvents();
    ui_.SetPointer(ui::Pointer::Hourglass);
    std::string dependents, name;
    try {
        // One enumeration for every row's key name.
        std::map<std::string, std::string> keys = basServices::ServiceNamesByDisplayName(sys_.services);
        auto keyOf = [&keys](const std::string& displayName) {
            auto it = keys.find(displayName);
            return it == keys.end() ? std::string() : it->second;
        };
        name = lsvStop.GetItemText(row, 0);
        std::string key = keyOf(name);
        // A service the system does not know has no dependents: an empty key
        // would be found in every row's text.
        if (!key.empty()) {
            for (int j = 0; j < lsvStop.RowCount(); ++j) {
                std::string text = lsvStop.GetItemText(j, 0);
                std::string depends = basRegistry::ReadValue(sys_.registry, platform::RootKey::LocalMachine,
                                                             S::kServicesKey + keyOf(text), S::kDependOnService,
                                                             "0", false);
                if (depends.find(key) != std::string::npos) dependents += text + ", ";
            }
        }
    } catch (...) {
        ui_.SetPointer(ui::Pointer::Default);
        throw;
    }
    ui_.SetPointer(ui::Pointer::Default);
    if (dependents.empty()) return;
    dependents.resize(dependents.size() - 2);
    ui_.MsgBox(Text("dependents1") + name + Text("dependents2") + dependents + Text("dependents3") + name +
                   Text("dependents4") + name + Text("dependents5"),
               Text("stoppingTitle"), ui::kMbInformation);
}

void frmMain::SSTab1_Click() {
    // The new page first: hiding the old one then repaints what it covered,
    // group boxes included, which do not paint their inside themselves.
    size_t selected = static_cast<size_t>(SSTab1.SelectedTab());
    if (selected < pages_.size())
        for (ui::Control* c : pages_[selected]) c->SetVisible(true);
    for (size_t page = 0; page < pages_.size(); ++page)
        if (page != selected)
            for (ui::Control* c : pages_[page]) c->SetVisible(false);
}

void frmMain::cmdApply_Click() {
    // Only what was read and changed goes back; a value that could not be
    // read stays as stored, and a locked dialog changes nothing at all.
    S::Store store = Settings();
    std::vector<std::string> notSaved;
    bool iconChanged = false;
    for (const auto& [name, text] : ShownValues()) {
        Shown& was = shown_[name];
        if (text == was.text) continue;
        if (!was.readable || store.Save(name, text)) {
            notSaved.push_back(name);
            continue;
        }
        was.text = text;
        iconChanged = iconChanged || name == S::ShowIcon.name;
    }
    SaveRunList(notSaved);
    SaveStopList(notSaved);
    // The icon belongs to the daemon's window; the applet adds or removes it
    // on the daemon's behalf.
    if (platform::WindowHandle daemon = FindDaemon(); daemon && iconChanged) {
        if (chkShowIcon.Value() == 1)
            basTrayIcon::TrayIconSet(sys_.shell, imgMain.IconHandle(), daemon, 0, basProduct::kAppTitle, false);
        else
            basTrayIcon::TrayIconRemove(sys_.shell, daemon);
    }
    cmdApply.SetEnabled(false);
    ReportNotSaved(notSaved);
}

void frmMain::cmdOK_Click() {
    cmdApply_Click();
    form.Close();
}

void frmMain::cmdCancel_Click() { form.Close(); }

void frmMain::cmdHelp_Click() { sys_.shell.Open(state_.HelpFile); }

// The daemon answers WM_CLOSE with 0 whether it ends or only hides its
// dialog: only the end of its process says it unloaded.
void frmMain::cmdUnload_Click() {
    platform::WindowHandle daemon = FindDaemon();
    if (!daemon) {
        cmdUnload.SetEnabled(false);  // it went meanwhile
        return;
    }
    // Opened before the close, so an end that comes at once still counts.
    std::error_code openError;
    std::uint32_t processId = sys_.windows.ProcessOf(daemon);
    std::unique_ptr<platform::Process> process = processId ? sys_.processes.Open(processId, openError) : nullptr;
    basTrayIcon::TrayIconRemove(sys_.shell, daemon);
    ui_.DoEvents();
    bool answered = sys_.windows.SendClose(daemon, kCloseAnswerMs).has_value();
    // A process we may not open leaves its window as the only sign.
    bool ended = process ? process->Wait(answered ? kDaemonEndMs : 0) == platform::Process::kEnded
                         : !sys_.windows.Exists(daemon);
    if (ended) {
        cmdUnload.SetEnabled(false);
        ui_.MsgBox(Text("unloaded"), basProduct::kAppTitle, ui::kMbInformation);
        return;
    }
    if (Settings().Read(S::ShowIcon) == 1)
        basTrayIcon::TrayIconSet(sys_.shell, imgMain.IconHandle(), daemon, 0, basProduct::kAppTitle, false);
    ui_.MsgBox(Text("stillRunning"), basProduct::kAppTitle, ui::kMbExclamation);
}

void frmMain::cmdPassword_Click() {
    if (!locked_) {
        frmChangePassword change(ui_, &form, sys_, state_, [this] { Unlock(); });
        change.Show();
        return;
    }
    std::optional<std::string> stored = basEncrypt::StoredPassword(sys_.locale, Settings());
    if (!stored) {
        ui_.MsgBox(Text("unreadablePassword"), basProduct::kAppTitle, ui::kMbExclamation);
        return;
    }
    std::string entered = common::AskPassword(ui_, &form, common::PasswordPrompt::Applet, Language());
    if (basEncrypt::PasswordsMatch(sys_.locale, *stored, entered)) Unlock();
    else ui_.MsgBox(Text("wrongPassword"), basProduct::kAppTitle, ui::kMbExclamation);
}

// Hidden, system and directory entries are no log file.
bool frmMain::LogFileExists(const std::string& path) {
    auto attributes = sys_.system.FindFile(path);
    constexpr std::uint32_t kHidden = 0x2, kSystem = 0x4, kDirectory = 0x10;
    return attributes && !(*attributes & (kHidden | kSystem | kDirectory));
}

std::string frmMain::LogFilePath() {
    return basLogFile::LogFolder(sys_.system, sys_.files, state_.AppPath) + basProduct::kLogFileName;
}

void frmMain::cmdView_Click() {
    std::string path = LogFilePath();
    if (!LogFileExists(path)) {
        ui_.MsgBox(Text("nothingToView"), basProduct::kAppTitle, ui::kMbInformation);
        return;
    }
    std::string notepad = basWinVer::SystemProgram(sys_.system, state_.WinPlatform, "notepad.exe");
    if (notepad.empty() || !sys_.processes.Start(notepad + " \"" + path + "\""))
        ui_.MsgBox(Text("noViewer") + path, basProduct::kAppTitle, ui::kMbCritical);
}

void frmMain::cmdPurge_Click() {
    std::string path = LogFilePath();
    if (!LogFileExists(path)) {
        ui_.MsgBox(Text("nothingToPurge"), basProduct::kAppTitle, ui::kMbInformation);
        return;
    }
    if (ui_.MsgBox(Text("purgeQuestion"), basProduct::kAppTitle, ui::kMbYesNo | ui::kMbQuestion) != ui::kIdYes)
        return;
    if (std::error_code error = sys_.files.Remove(path))
        ui_.MsgBox(Text("purgeFailed") + path + "\r\n\r\n" + sys_.system.ErrorMessage(error.value()),
                   basProduct::kAppTitle, ui::kMbCritical);
}

void frmMain::selCommandPrompt_Click() {
    int row = lsvRun.SelectedRow();
    if (row < 0) return;
    std::string program = Settings().Text(lsvRun.GetItemText(row, 0), "");
    std::string folder = FolderOf(program);
    std::string prompt =
        basWinVer::SystemProgram(sys_.system, state_.WinPlatform, state_.WinPlatform == 1 ? "Command.com" : "cmd.exe");
    if (prompt.empty()) return;
    // The folder is the prompt's own current directory: the Control Panel's
    // (the host's) stays where it is.
    std::string root = folder.size() >= 2 && folder[1] == ':' ? folder.substr(0, 2) + "\\" : "";
    if (folder.size() <= 2) {
        sys_.processes.StartIn(prompt, root.empty() ? folder : root);
        return;
    }
    if (sys_.processes.StartIn(prompt, folder)) return;
    // A folder the system refuses still leaves the prompt on the program's
    // drive (or, without one, where the applet is).
    sys_.processes.StartIn(prompt, root);
}

}  // namespace halcfg
