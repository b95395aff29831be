#include "applet/PageContext.h"

#include <algorithm>

#include "common/basProduct.h"
#include "common/basTrayIcon.h"

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
    {.key = "chkRunAtAnyShutdown",
     .en = "Also run at shutdowns started elsewhere (Start menu, updates, shutdown command)",
     .es = "Ejecutar también en los apagados iniciados desde otro lugar (menú Inicio, actualizaciones, comando "
           "shutdown)",
     .de = "Auch beim anderswo gestarteten Herunterfahren ausführen (Startmenü, Updates, Befehl shutdown)",
     .it = "Esegui anche agli arresti avviati altrove (menu Start, aggiornamenti, comando shutdown)",
     .fr = "Exécuter aussi lors des arrêts lancés ailleurs (menu Démarrer, mises à jour, commande shutdown)"},
    // The box's tool tip where Windows cannot hold the end for a program.
    {.key = "chkRunAtAnyShutdown unavailable",
     .en = "This version of Windows does not let a program hold the end of the session; it needs Windows Vista or "
           "later.",
     .es = "Esta versión de Windows no permite que un programa retenga el fin de la sesión; se necesita Windows "
           "Vista o posterior.",
     .de = "Diese Windows-Version lässt kein Programm das Ende der Sitzung aufhalten; dazu ist Windows Vista oder "
           "neuer nötig.",
     .it = "Questa versione di Windows non consente a un programma di trattenere la fine della sessione; occorre "
           "Windows Vista o successivo.",
     .fr = "Cette version de Windows ne permet pas à un programme de retenir la fin de la session ; il faut Windows "
           "Vista ou une version ultérieure."},
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
    {.key = "lblPolicy",
     .en = "Set by your administrator",
     .es = "Establecido por su administrador",
     .de = "Von Ihrem Administrator festgelegt",
     .it = "Impostato dall'amministratore",
     .fr = "Défini par votre administrateur"},
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

}  // namespace

S::Store PageContext::Settings() const { return S::Store(sys.registry, state.SettingsRoot); }

basText::Language PageContext::Language() const { return basText::LanguageOf(state.CountryCode); }

std::string PageContext::Text(const char* key) const { return basText::Get(kTexts, key, Language()); }

platform::WindowHandle PageContext::FindDaemon() const {
    return sys.windows.Find(basProduct::kDaemonWindowClass, basProduct::kAppTitle);
}

void PageContext::ShowDaemonIcon(platform::WindowHandle daemon) const {
    basTrayIcon::TrayIconSet(sys.shell, imgMain.IconHandle(), daemon, 0, basProduct::kAppTitle, false);
}

void PageContext::ReportNotSaved(const std::vector<std::string>& names) const {
    if (names.empty()) return;
    std::string list;
    for (const auto& n : names) list += (list.empty() ? "" : ", ") + n;
    ui.MsgBox(Text("notSaved") + list, basProduct::kAppTitle, ui::kMbExclamation);
}

void PageContext::SetCaptions(std::initializer_list<Captioned> controls) const {
    for (const Captioned& c : controls) c.control.SetCaption(Text(c.key));
}

void ShownRecord::Record(const S::Store& store, const NamedValues& now) {
    shown_.clear();
    for (const auto& [name, text] : now) shown_[name] = {text, store.Readable(name), store.Locked(name)};
}

bool ShownRecord::Locked(const std::string& name) const {
    auto it = shown_.find(name);
    return it != shown_.end() && it->second.locked;
}

bool ShownRecord::AnyLocked() const {
    for (const auto& [name, shown] : shown_)
        if (shown.locked) return true;
    return false;
}

std::vector<std::string> ShownRecord::Save(const S::Store& store, const NamedValues& now,
                                           std::vector<std::string>& notSaved) {
    std::vector<std::string> written;
    for (const auto& [name, text] : now) {
        Shown& was = shown_[name];
        if (text == was.text || was.locked) continue;
        if (!was.readable || store.Save(name, text)) {
            notSaved.push_back(name);
            continue;
        }
        was.text = text;
        written.push_back(name);
    }
    return written;
}

void ApplyListRule(const ui::CheckBox& box, ui::ListView& list) {
    bool on = box.Value() == 1 && box.Enabled();
    list.SetEnabled(on);
    list.SetBackColor(on ? ui::SysColor::Window : ui::SysColor::ButtonFace);
}

bool MoveSelectedRow(ui::ListView& list, int step) {
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

void ShowArrows(ui::Button& up, ui::Button& down) {
    // Wingdings' arrowheads 0xF1 and 0xF2; a Wingdings without them (Wine's)
    // has the arrows 0xE9 and 0xEA; without either, the words stay.
    constexpr const char* kArrows[][2] = {{"\xC3\xB1", "\xC3\xB2"}, {"\xC3\xA9", "\xC3\xAA"}};
    up.SetSymbolFont("Wingdings");
    down.SetSymbolFont("Wingdings");
    for (const auto& arrows : kArrows)
        if (up.HasGlyphs(arrows[0]) && down.HasGlyphs(arrows[1])) {
            up.SetCaption(arrows[0]);
            down.SetCaption(arrows[1]);
            return;
        }
    up.SetSymbolFont("");
    down.SetSymbolFont("");
}

}  // namespace halcfg
