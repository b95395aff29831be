#include "daemon/frmMain.h"

#include "common/basCountry.h"
#include "common/basEncrypt.h"
#include "common/frmPasswordToAccess.h"
#include "common/basTrayIcon.h"
#include "common/basWinVer.h"
#include "daemon/basDaemon.h"
#include "daemon/basEventLog.h"
#include "daemon/basCountryDialogTexts.h"
#include "daemon/basShutdown.h"
#include "services/basErrorCodes.h"
#include "wizard/ListViewRunList.h"
#include "wizard/basUtilityWizard.h"

namespace halcyrad {

namespace S = basSettings;

namespace {

const basText::Entry kTexts[] = {
    {.key = "chkRunThisFirst",
     .en = "Run checked programs before exiting Windows",
     .es = "Ejecute los programas controlados antes de salir de Windows",
     .de = "Lassen Sie diese vor Abschaltung laufen",
     .it = "Fare funzionare prima questi arresto",
     .fr = "Exécutez les programmes contrôlés avant de quitter des Windows"},
    {.key = "chkStopServices",
     .en = "Stop the following services before Shutdown or Restart",
     .es = "Pare los servicios siguientes antes de parada normal o recomiéncelos",
     .de = "Stoppen Sie die folgenden Dienstleistungen vor Abschaltung oder beginnen Sie wieder",
     .it = "Arrestare i seguenti servizi prima dell' arresto o ricominciare",
     .fr = "Arrêtez les services suivants avant arrêt ou les relancez"},
    {.key = "selShutdown",
     .en = "Shutdown Windows",
     .es = "Parada Windows",
     .de = "Schließen Windows",
     .it = "Chiudi Windows",
     .fr = "Windows D'Arrêt"},
    {.key = "selAbout", .en = "About", .de = "Über", .it = "Informazioni", .fr = "Au sujet de "},
    {.key = "selOptions", .en = "Options", .es = "Opciones", .de = "Options ", .it = "Opzioni ", .fr = "Options "},
    {.key = "selExit",
     .en = "Unload",
     .es = "Salen",
     .de = "Schließen Halcyra",
     .it = "Scaricano",
     .fr = "Déchargent"},
    {.key = "SSTab1 0", .en = "Programs", .es = "Programas", .de = "Programme", .it = "Programmi", .fr = "Programmes"},
    {.key = "SSTab1 1", .en = "Services", .es = "Servicios", .de = "Dienstleistungen", .it = "Servizi"},
    {.key = "lsvRun 0", .en = "Programs", .es = "Programas", .de = "Programme", .it = "Programmi", .fr = "Programmes"},
    {.key = "lsvRun 1",
     .en = "Days Run",
     .es = "Ejecutar los dias",
     .de = "Tage Laufen",
     .it = "Giorni Funzionato",
     .fr = "Les Jours Exécutent"},
    {.key = "cmdDetails collapsed",
     .en = "&Details >>",
     .es = "Detalles >>",
     .de = "Details >>",
     .it = "Particolari >>",
     .fr = "Détails >>"},
    {.key = "cmdDetails expanded",
     .en = "<< &Details",
     .es = "<< Detalles",
     .de = "<< Details",
     .it = "<< Particolari",
     .fr = "<< Détails"},
    {.key = "wrongPassword",
     .en = "Incorrect password.  Halcyra cannot be unloaded at this time.",
     .es = "Mal contraseña.  Halcyra no se puede descargar ahora.",
     .de = "Falsches Kennwort. Halcyra kann nicht diesmal aus dem Programm genommen werden.",
     .it = "Parola d'accesso errata. Halcyra non può essere scaricato attualmente.",
     .fr = "Mot de passe incorrect. Halcyra ne peut pas être déchargé à ce moment."},
    // What Windows shows while the daemon holds the end of the session;
    // %1 is the entry's or the service's name.
    {.key = "holdProgram",
     .en = "Running %1...",
     .es = "Ejecutando %1...",
     .de = "%1 wird ausgeführt...",
     .it = "Esecuzione di %1 in corso...",
     .fr = "Exécution de %1..."},
    {.key = "holdService",
     .en = "Stopping %1...",
     .es = "Deteniendo %1...",
     .de = "%1 wird beendet...",
     .it = "Arresto di %1 in corso...",
     .fr = "Arrêt de %1..."},
    {.key = "unreadablePassword",
     .en = "The stored password could not be read.  Halcyra cannot be unloaded at this time.",
     .es = "No se pudo leer la contraseña guardada.  Halcyra no se puede descargar ahora.",
     .de = "Das gespeicherte Kennwort konnte nicht gelesen werden. Halcyra kann jetzt nicht beendet werden.",
     .it = "Non è stato possibile leggere la parola d'accesso salvata. Halcyra non può essere scaricato attualmente.",
     .fr = "Le mot de passe enregistré n'a pas pu être lu. Halcyra ne peut pas être déchargé à ce moment."},
};

// A sequence under way for as long as it lives.
struct Running {
    bool& flag;
    explicit Running(bool& f) : flag(f) { flag = true; }
    ~Running() { flag = false; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
};

}  // namespace

std::string frmMain::Text(const char* key) const {
    return basText::Get(kTexts, key, basText::LanguageOf(state_.CountryCode));
}

bool frmMain::IsNt() const { return state_.WinPlatform == 2; }

frmMain::frmMain(ui::Ui& ui, ui::Form& f, platform::Platform& sys, DaemonState& state)
    : form(f),
      lblTitle(f.GetLabel("lblTitle")),
      imgMain(f.GetPicture("imgMain")),
      optShutdown(f.GetOption("optShutdown")),
      optRestart(f.GetOption("optRestart")),
      optMSDOS(f.GetOption("optMSDOS")),
      optLogoff(f.GetOption("optLogoff")),
      cmbShutdown(f.GetComboBox("cmbShutdown")),
      lblExplain(f.GetLabel("lblExplain")),
      cmdOK(f.GetButton("cmdOK")),
      cmdCancel(f.GetButton("cmdCancel")),
      cmdHelp(f.GetButton("cmdHelp")),
      cmdDetails(f.GetButton("cmdDetails")),
      SSTab1(f.GetTab("SSTab1")),
      chkRunThisFirst(f.GetCheckBox("chkRunThisFirst")),
      lsvRun(f.GetListView("lsvRun")),
      chkStopServices(f.GetCheckBox("chkStopServices")),
      lstStop(f.GetListBox("lstStop")),
      mnuSystemTray(f.GetMenu("mnuSystemTray")),
      ui_(ui),
      sys_(sys),
      state_(state) {
    form.OnClick("cmdOK", [this] { cmdOK_Click(); });
    form.OnMouseDown("cmdOK", [this](const ui::MouseEvent& e) { cmdOK_MouseDown(e); });
    form.OnClick("cmdCancel", [this] { cmdCancel_Click(); });
    form.OnClick("cmdHelp", [this] { cmdHelp_Click(); });
    form.OnClick("cmdDetails", [this] { cmdDetails_Click(); });
    form.OnClick("chkRunThisFirst", [this] { chkRunThisFirst_Click(); });
    form.OnClick("chkStopServices", [this] { chkStopServices_Click(); });
    form.OnClick("cmbShutdown", [this] { cmbShutdown_Click(); });
    form.OnClick("SSTab1", [this] { SSTab1_Click(); });
    form.OnKeyDown([this](int key, int shift) { return Form_KeyDown(key, shift); });
    form.OnCloseRequest([this] { return Form_QueryUnload(); });
    form.OnMinimize([this] { Form_Minimize(); });
    // The tray icon's callback: its mouse message comes as the x position.
    form.OnMouseMove([this](int x, int) { Tray_MouseMessage(x); });
    form.OnShellRestart([this] { Shell_Restarted(); });
    form.OnSessionEnd([this](bool ending) { Form_EndSession(ending); });
    form.OnQueryEndSession([this](std::uint32_t flags) { return Form_QueryEndSession(flags); });
    form.OnClick("selShutdown", [this] { selShutdown_Click(); });
    form.OnClick("selOptions", [this] { selOptions_Click(); });
    form.OnClick("selAbout", [this] { selAbout_Click(); });
    form.OnClick("selExit", [this] { selExit_Click(); });
}

basSettings::Store frmMain::Settings() const { return S::Store(sys_.registry, state_.SettingsRoot, basRegistry::Flavor::Daemon); }

bool frmMain::Windows2000Layout() const { return state_.WinPlatform == 2 && state_.WinVer == 5; }

bool frmMain::IsExpanded() const { return cmdDetails.Caption().find("<<") != std::string::npos; }

frmMain::Action frmMain::SelectedAction() const {
    // On the Windows 2000 layout the option buttons are hidden: the combo box
    // alone says what the user sees and gets.
    if (Windows2000Layout()) {
        switch (cmbShutdown.ListIndex()) {
            case 1: return Action::Shutdown;
            case 2: return Action::Restart;
            default: return Action::Logoff;
        }
    }
    if (optShutdown.Value()) return Action::Shutdown;
    if (optRestart.Value()) return Action::Restart;
    if (optMSDOS.Value()) return Action::MsDos;
    return Action::Logoff;
}

void frmMain::Form_Load() {
    state_.SettingsRoot = platform::RootKey::CurrentUser;
    basDaemon::ReadSystemNames(sys_.system, state_);
    basWinVer::GetWinVer(sys_.system, state_);
    if (state_.HasSwitch("/develop"))
        ui_.MsgBox("WinPlatform (Win95/98=1; NT=2): " + std::to_string(state_.WinPlatform) + "\r\n" +
                           "WINVER (WIN95=1; WIN98=3; WINNT4=4; WINNT5=5):  " + std::to_string(state_.WinVer),
                       basDaemon::kAppTitle, ui::kMbOk);
    state_.CountryCode = basCountry::GetWindowsLanguage(sys_.system);
    basCountry::LoadDialogTexts(ui_, form, sys_.system, state_);
    // The tab pages' design captions; localized ones come at the end.
    SSTab1.SetTabCaption(0, "Programs");
    SSTab1.SetTabCaption(1, "Services");
    SSTab1.SelectTab(0);
    SSTab1_Click();
    PrepareRunList();
    ArmHook();

    S::Store store = Settings();
    if (store.Read(S::ShowIcon) == 1) AddTrayIcon();
    state_.ServiceWaitSeconds = basDaemon::ReadServiceWaitSeconds(sys_, store, state_.LogFolder);

    form.MoveTwips((ui_.ScreenWidthTwips() - form.WidthTwips()) / 2, (ui_.ScreenHeightTwips() - kExpandedTwips) / 2);
    InitialLoad();

    // First use: the set-up wizard finds the machine's own utilities and adds
    // them to the list, which is then stored as it stands. A mark that is
    // there but cannot be read is no first use.
    if (!store.Read(S::RanQuickStart) && store.Readable(S::RanQuickStart.name)) {
        wizard::ListViewRunList runList(lsvRun);
        basUtilityWizard::WizardContext ctx{sys_.registry, sys_.system, state_.WinPlatform, state_.WinVer,
                                            state_.CountryCode, state_.SettingsRoot};
        basUtilityWizard::RunSetupWizard(ui_, &form, ctx, runList, /*ownButton=*/true);
    }
    SaveRunList(store);
    LoadDialogSettings();

    basDaemon::CloseDimmer(sys_.windows);
    form.Hide();
    SetOwnCaptions();
    prepared_ = true;
}

void frmMain::Form_Unload() {
    form.StopTimer(kIconTimer);
    basTrayIcon::TrayIconRemove(sys_.shell, form.Handle());
}

void frmMain::AddTrayIcon() {
    form.StopTimer(kIconTimer);
    iconRetries_ = 0;
    if (!TryTrayIcon()) form.StartTimer(kIconTimer, kIconRetryMs, [this] { TrayIcon_Retry(); });
}

bool frmMain::TryTrayIcon() {
    auto icon = imgMain.IconHandle();
    if (basTrayIcon::TrayIconSet(sys_.shell, icon, form.Handle(), 0, basDaemon::kAppTitle, true)) return true;
    // An add the busy taskbar timed out on may still have put it there.
    return basTrayIcon::TrayIconSet(sys_.shell, icon, form.Handle(), 1, basDaemon::kAppTitle, false);
}

void frmMain::TrayIcon_Retry() {
    // Turned off in the meantime: nothing is missing.
    if (Settings().Read(S::ShowIcon) != 1 || TryTrayIcon()) {
        form.StopTimer(kIconTimer);
        return;
    }
    if (++iconRetries_ < kIconRetries) return;
    form.StopTimer(kIconTimer);
    const std::string seconds = std::to_string(kIconRetries * kIconRetryMs / 1000);
    LogLine(basEventLog::kTrayIconNotTaken, basEventLog::kWarningType, {seconds},
            "  The taskbar did not take the tray icon in " + seconds +
                " seconds; it is added again when the taskbar restarts.");
}

void frmMain::Unload() {
    if (Unloaded) return;
    Unloaded = true;
    Form_Unload();
    if (OnEnd) OnEnd();
}

void frmMain::ArmHook() {
    auto& w = sys_.windows;
    // No taskbar yet (the daemon started before the shell): the shell's
    // announcement arms the hook when it comes.
    hookedShell_ = w.ProcessOf(w.Find("Shell_TrayWnd", ""));
    sys_.hook.Arm(
        hookedShell_, [this](platform::ShellHook::Handle h) { Hook_Window(h); },
        [this](platform::ShellHook::Handle h) { Hook_Deferred(h); });
}

void frmMain::Shell_Restarted() {
    if (Settings().Read(S::ShowIcon) == 1) AddTrayIcon();
    // A hook switched off on purpose (the shutdown sequence under way) stays
    // off on the new shell.
    bool off = hookedShell_ != 0 && !sys_.hook.Enabled();
    ArmHook();
    if (off) sys_.hook.SetEnabled(false);
}

void frmMain::Hook_Window(platform::ShellHook::Handle window) {
    // A dialog already being replaced is reported again (shown, renamed);
    // only then are gone ones forgotten, as a later window may get the same
    // handle: asking the system about them is not on the way to ours.
    if (intercepted_.count(window)) {
        ForgetGoneDialogs();
        if (intercepted_.count(window)) return;
    }
    int slot = basDaemon::MatchInterceptTitle(sys_.locale, state_.InterceptTitles, sys_.windows.Text(window));
    if (slot < 0) return;
    // The system's dialog only: a folder window of the shell's process may
    // carry the same caption.
    if (sys_.windows.ClassName(window) != basDaemon::kSystemDialogClass) return;
    if (slot == 1) state_.LogoffIntercepted = true;
    intercepted_.insert(window);
    sys_.hook.RequestDeferred(window);
}

void frmMain::ForgetGoneDialogs() {
    std::erase_if(intercepted_, [this](platform::ShellHook::Handle h) { return !sys_.windows.Exists(h); });
}

void frmMain::Hook_Deferred(platform::ShellHook::Handle window) {
    // A request that arrives while one is being shown is that showing's: one
    // request, one showing, one dimmer. One that arrives while the sequence
    // runs only closes the system's dialog: the user's end is under way.
    bool show = !showing_ && !sequenceRunning_;
    if (show) ShowShutdownPrompt();
    // Posted, not sent, and once ours is up: the shell closing its dialog
    // (and handing activation on) while ours is being shown delays ours.
    try {
        sys_.windows.PostClose(window);
    } catch (...) {
        // The system's dialog stays, so ours goes.
        if (show) Form_Minimize();
        throw;
    }
}

void frmMain::ShowShutdownPrompt() {
    if (showing_ || sequenceRunning_) return;
    showing_ = true;
    struct EndOfShowing {
        frmMain& m;
        ~EndOfShowing() {
            m.showing_ = false;
            m.state_.LogoffIntercepted = false;
        }
    } end{*this};
    // A log-off request, this one's or one that came while it was shown.
    auto applyLogoff = [this] {
        if (!state_.LogoffIntercepted) return;
        // The combo box carries the choice where the option buttons are hidden.
        if (Windows2000Layout()) {
            cmbShutdown.SetListIndex(0);
            cmbShutdown_Click();
        } else {
            optLogoff.SetValue(true);
        }
    };
    applyLogoff();
    // Whatever became of an end it asked for, the user is back.
    ownRequest_ = false;
    // Shown first, the rest after: the dialog was filled when it was hidden,
    // and its controls paint only once this returns, so settings changed
    // since are read in time; the dimmer's window comes up long after ours
    // whatever the order.
    // Topmost while still hidden, so that showing is the one visible step.
    form.SetTopmost();
    form.ShowModeless();
    LoadUnlessPrepared();
    prepared_ = false;  // the user may change it now
    ui_.DoEvents();
    basDaemon::StartDimmer(sys_, state_.AppPath);
    ui_.DoEvents();
    applyLogoff();
}

void frmMain::Tray_MouseMessage(int mouseMessage) {
    if (form.IsVisible() || showing_ || sequenceRunning_) return;
    if (mouseMessage == static_cast<int>(basTrayIcon::kMouseDoubleClick)) {
        ShowShutdownPrompt();
    } else if (mouseMessage == static_cast<int>(basTrayIcon::kMouseRightUp)) {
        mnuSystemTray.Popup("selShutdown");
    }
}

void frmMain::selShutdown_Click() {
    if (showing_ || sequenceRunning_) return;
    ShowShutdownPrompt();
}

void frmMain::selOptions_Click() {
    if (sequenceRunning_) return;
    std::string command = basDaemon::OptionsCommand(sys_.system, state_.WinPlatform, state_.AppPath);
    if (!command.empty() && sys_.processes.Start(command)) return;
    std::string line = "Didn't run " + command + " at " + sys_.clock.GeneralDate(sys_.clock.Now()) + ".";
    basEventLog::Record(sys_, state_.LogFolder, state_.LogEvents, basEventLog::kWarningType,
                        basEventLog::kProgramNotStarted, {command}, line);
}

void frmMain::selAbout_Click() {
    if (sequenceRunning_) return;
    ui_.SetPointer(ui::Pointer::Default);
    if (OnAbout) OnAbout();
}

void frmMain::selExit_Click() {
    if (sequenceRunning_) return;
    std::optional<std::string> password = basEncrypt::StoredPassword(sys_.locale, Settings());
    if (!password) {
        // A password that cannot be checked keeps the daemon, as a wrong one does.
        ui_.MsgBox(Text("unreadablePassword"), basDaemon::kAppTitle, ui::kMbInformation);
        return;
    }
    const std::string& stored = *password;
    if (!stored.empty()) {
        std::string entered =
            common::AskPassword(ui_, &form, common::PasswordPrompt::Daemon, basText::Language::English);
        if (!basEncrypt::PasswordsMatch(sys_.locale, stored, entered)) {
            if (!entered.empty()) ui_.MsgBox(Text("wrongPassword"), basDaemon::kAppTitle, ui::kMbInformation);
            return;
        }
    }
    Unload();
}

bool frmMain::Form_QueryUnload() {
    // Ending mid-sequence would leave the session's end half done.
    if (sequenceRunning_) return false;
    basDaemon::CloseDimmer(sys_.windows);
    if (form.IsVisible()) {
        form.Hide();
        basDaemon::CloseDimmer(sys_.windows);
        PrepareHidden();
        return false;
    }
    // Hidden: Windows is ending the session, or the daemon is told to go.
    Unload();
    return true;
}

void frmMain::Form_EndSession(bool ending) {
    // A cancelled end leaves the daemon as it was: resident, the hook on
    // again since the request was taken.
    if (ending) Unload();
    else ownRequest_ = false;
}

bool frmMain::Form_QueryEndSession(std::uint32_t flags) {
    using platform::Session;
    // Its own request: the steps ran before it was made.
    if (ownRequest_) {
        ownRequest_ = false;
        return true;
    }
    // Windows waits for no one at a critical end; and an installer closing
    // the daemon is no end of the session to run the steps at.
    if (flags & (Session::kEndsCritical | Session::kEndsCloseApp)) return true;
    // A second question while the steps run: the end they hold goes on
    // when they are done, and OK's sequence asks for its own.
    if (sequenceRunning_) return false;
    if (Settings().Read(S::RunAtAnyShutdown) != 1) return true;
    if (!sys_.session.CanHoldEnd()) {
        LogLine(basEventLog::kEndNotHeld, basEventLog::kWarningType, {},
                "  The programs and services did not run at this end of the session: this version of Windows "
                "lets no program hold the end.");
        return true;
    }
    RunAtSessionEnd((flags & Session::kEndsLogoff) != 0);
    return true;
}

void frmMain::LogLine(basEventLog::EventId id, std::uint16_t type, std::vector<std::string> fields,
                      const std::string& text) {
    std::string line = sys_.clock.GeneralDate(sys_.clock.Now()) + text;
    basEventLog::Record(sys_, state_.LogFolder, state_.LogEvents, type, id, std::move(fields), line);
}

void frmMain::RunAtSessionEnd(bool logoff) {
    Running running{sequenceRunning_};
    // The reason Windows shows goes with the steps, whichever way they end.
    struct Hold {
        frmMain& m;
        bool held = false;
        bool refused = false;  // logged once: the steps run all the same
        ~Hold() {
            if (held) (void)m.sys_.session.ReleaseEnd(m.form.Handle());
        }
    } hold{*this};
    try {
        // A dialog on screen goes as Cancel takes it: what the user ticked is kept.
        if (form.IsVisible()) {
            basDaemon::CloseDimmer(sys_.windows);
            SaveDialogSettings();
            form.Hide();
            PrepareHidden();
        }
        const StoredChoices& c = Choices();
        state_.LogEvents = c.logEvents;
        basShutdown::ShutdownContext ctx{.plat = sys_, .ui = ui_, .state = state_};
        ctx.choice = logoff ? basShutdown::Choice::Logoff : basShutdown::Choice::Shutdown;
        ctx.rows = c.rows;
        ctx.runThisFirst = c.runPrograms == 1;
        if (IsNt()) {
            ctx.stopList = S::ParseCommaList(c.stopList);
            if (ctx.stopList.empty()) ctx.stopList.push_back(state_.NoServicesText);
            ctx.stopServices = c.stopServices == 1;
        }
        ctx.beforeStep = [this, &hold](basShutdown::Step step, const std::string& name) {
            std::string reason = Text(step == basShutdown::Step::Program ? "holdProgram" : "holdService");
            reason.replace(reason.find("%1"), 2, name);
            std::error_code error = sys_.session.HoldEnd(form.Handle(), reason);
            if (!error) {
                hold.held = true;
            } else if (!hold.refused) {
                hold.refused = true;
                const std::string why = basErrorCodes::Describe(error.value());
                LogLine(basEventLog::kHoldReasonRefused, basEventLog::kWarningType, {why},
                        "  Windows did not take the reason for holding the end of the session; the message is:  " +
                            why);
            }
        };
        basShutdown::RunSteps(ctx);
    } catch (const std::exception& e) {
        LogLine(basEventLog::kEndStepsStopped, basEventLog::kErrorType, {e.what()},
                "  The steps at the end of the session stopped: " + std::string(e.what()));
    } catch (...) {
        LogLine(basEventLog::kEndStepsStopped, basEventLog::kErrorType, {"Unknown error"},
                "  The steps at the end of the session stopped: Unknown error");
    }
}

void frmMain::Form_Minimize() {
    basDaemon::CloseDimmer(sys_.windows);
    form.Hide();
    PrepareHidden();
}

std::vector<S::RunRow> frmMain::ReadRows() const {
    std::vector<S::RunRow> rows;
    for (int r = 0; r < lsvRun.RowCount(); ++r) rows.push_back({lsvRun.GetItemText(r, 0), {}, lsvRun.IsItemChecked(r)});
    return rows;
}

void frmMain::PrepareRunList() {
    lsvRun.ClearColumns();
    lsvRun.AddColumn(Text("lsvRun 0"));
    lsvRun.AddColumn(Text("lsvRun 1"));
    lsvRun.SetFullRowSelect();
    lsvRun.SetCheckBoxes();
}

void frmMain::FillRunList(const std::vector<S::RunRow>& rows) {
    // Rows the list already shows keep their rows and column widths (refilling
    // and measuring them again is the slow part of showing the dialog); only
    // the check boxes follow the settings.
    std::vector<bool> byPolicy;
    for (const auto& row : rows) byPolicy.push_back(row.policy);
    bool same = lsvRun.RowCount() == static_cast<int>(rows.size()) && byPolicy == policyRows_;
    for (int r = 0; same && r < lsvRun.RowCount(); ++r) {
        const auto& row = rows[static_cast<size_t>(r)];
        same = lsvRun.GetItemText(r, 0) == row.name && lsvRun.GetItemText(r, 1) == row.days;
    }
    if (same && filledOnce_) {
        for (int r = 0; r < lsvRun.RowCount(); ++r) {
            if (rows[static_cast<size_t>(r)].checked) lsvRun.CheckItem(r);
            else lsvRun.UncheckItem(r);
        }
        return;
    }
    lsvRun.DeleteAllItems();
    for (const auto& row : rows) {
        int r = lsvRun.AddRow(row.name);
        lsvRun.SetCellText(r, 1, row.days);
        if (row.checked) lsvRun.CheckItem(r);
        // An administrator's row runs as the policy ticks it.
        if (row.policy) lsvRun.LockItemCheck(r);
    }
    policyRows_ = std::move(byPolicy);
    lsvRun.AutoSizeColumns(true);
    filledOnce_ = true;
}

void frmMain::InitialLoad() {
    const StoredChoices& c = Choices();
    chkRunThisFirst.SetValue(c.runPrograms == 1 ? 1 : 0);
    chkStopServices.SetValue(IsNt() && c.stopServices == 1 ? 1 : 0);
    state_.ForceClose = c.useHalcyra;
    if (IsNt()) state_.LogEvents = c.logEvents;
    FillRunList(c.rows);
    chkRunThisFirst_Click();

    S::Store store = Settings();
    S::Store::Batch batch(store);
    std::string type = store.Read(S::ShutdownType);
    shutdownTypeReadable_ = store.Readable(S::ShutdownType.name);
    int item = type == "Shutdown" ? 1 : type == "Restart" ? 2 : 0;
    if (Windows2000Layout()) {
        cmbShutdown.SetListIndex(item);
        cmbShutdown_Click();
    } else {
        (item == 1 ? optShutdown : item == 2 ? optRestart : optLogoff).SetValue(true);
    }
    SetDetails(store.Read(S::ShowDetails).find(">>") == std::string::npos);
    showDetailsReadable_ = store.Readable(S::ShowDetails.name);
}

bool frmMain::SettingsChanged() {
    if (settingsWatches_.empty()) {
        // A policy the administrator sets or lifts while the daemon runs
        // counts as much as the user's own change.
        settingsWatches_.push_back(sys_.registry.Watch(state_.SettingsRoot, S::kSettingsKey));
        settingsWatches_.push_back(sys_.registry.Watch(platform::RootKey::LocalMachine, S::kPolicyKey));
        settingsWatches_.push_back(sys_.registry.Watch(platform::RootKey::CurrentUser, S::kPolicyKey));
    }
    // Each asked every time, so that it follows each change from now on; a
    // change seen stays seen until the settings are read.
    for (auto& watch : settingsWatches_) settingsChanged_ = watch->Changed() || settingsChanged_;
    return settingsChanged_;
}

const frmMain::StoredChoices& frmMain::Choices() {
    bool changed = SettingsChanged();
    // A value that could not be read is asked for again next time, changed
    // or not: the failure may have passed.
    if (choices_ && !changed && choices_->AllReadable()) return *choices_;
    settingsChanged_ = false;
    S::Store store = Settings();
    S::Store::Batch batch(store);
    StoredChoices c;
    c.runPrograms = store.Read(S::RunPrograms);
    c.stopServices = store.Read(S::StopServices);
    c.useHalcyra = store.Read(S::UseHalcyra);
    c.logEvents = store.Read(S::LogEV);
    c.userCanModifyApps = store.Read(S::UserCanModifyApps);
    c.rows = S::ReadRunList(store, state_.DayInitials);
    c.runListReadable = store.Readable(S::RunList.name);
    c.selectedListReadable = store.Readable(S::SelectedList.name);
    c.runProgramsReadable = store.Readable(S::RunPrograms.name);
    c.stopServicesReadable = store.Readable(S::StopServices.name);
    c.stopList = store.Read(S::SelectedStopList);
    c.runProgramsByPolicy = store.Locked(S::RunPrograms.name);
    c.stopServicesByPolicy = store.Locked(S::StopServices.name);
    choices_ = std::move(c);
    return *choices_;
}

void frmMain::PrepareHidden() {
    LoadDialogSettings();
    prepared_ = true;
    ForgetGoneDialogs();
}

void frmMain::LoadUnlessPrepared() {
    bool current = prepared_ && !SettingsChanged() && choices_ && choices_->AllReadable();
    if (!current) LoadDialogSettings();
}

void frmMain::LoadDialogSettings() {
    const StoredChoices& c = Choices();
    chkRunThisFirst.SetValue(c.runPrograms == 1 ? 1 : 0);
    chkStopServices.SetValue(IsNt() && c.stopServices == 1 ? 1 : 0);
    state_.ForceClose = c.useHalcyra;
    state_.LogEvents = c.logEvents;

    userLocked_ = c.userCanModifyApps == 0 || state_.HasSwitch("/lock");
    if (userLocked_) {
        chkRunThisFirst.SetEnabled(false);
        chkStopServices.SetEnabled(false);
        lsvRun.SetEnabled(false);
    } else {
        // A choice an administrator made is shown, not offered.
        chkRunThisFirst.SetEnabled(!c.runProgramsByPolicy);
        lsvRun.SetEnabled(true);
        chkStopServices.SetEnabled(IsNt() && !c.stopServicesByPolicy);
        if (!IsNt()) lstStop.SetBackColor(ui::SysColor::ButtonFace);
    }

    FillRunList(c.rows);
    chkRunThisFirst_Click();

    if (IsNt()) {
        auto services = S::ParseCommaList(c.stopList);
        // A value without one complete entry stops nothing, so it says so.
        if (services.empty()) services.push_back(state_.NoServicesText);
        bool same = lstStop.ListCount() == static_cast<int>(services.size());
        for (int i = 0; same && i < lstStop.ListCount(); ++i) same = lstStop.List(i) == services[static_cast<size_t>(i)];
        if (!same) {
            lstStop.Clear();
            for (const auto& s : services) lstStop.AddItem(s);
        }
        chkStopServices_Click();
    }
}

// Only what was read goes back, and only when it changed: a list whose
// value could not be read (a transient failure, a type the daemon does not
// read) stays as stored, and what the applet stored since it was read is
// kept.
void frmMain::SaveRunList(const S::Store& store) {
    if (!choices_) return;
    S::RunListRead base;
    if (choices_->runListReadable) base.rows = choices_->rows;
    base.selectedReadable = choices_->selectedListReadable;
    // The settings watch sees the write, so what is stored is read again
    // before the dialog shows or saves it.
    S::SaveRunRows(store, base, ReadRows());
}

// As SaveRunList: a value that could not be read stays as stored.
void frmMain::SaveDialogSettings() {
    S::Store store = Settings();
    SaveRunList(store);
    if (showDetailsReadable_) store.Write(S::ShowDetails.name, IsExpanded() ? "<<" : ">>");
    if (!choices_ || choices_->runProgramsReadable) store.WriteFlag(S::RunPrograms.name, chkRunThisFirst.Value());
    if (!choices_ || choices_->stopServicesReadable) store.WriteFlag(S::StopServices.name, chkStopServices.Value());
    Action a = SelectedAction();
    if (shutdownTypeReadable_)
        store.Write(S::ShutdownType.name, a == Action::Shutdown ? "Shutdown" : a == Action::Restart ? "Restart" : "Logoff");
}

void frmMain::ApplyListRule(ui::CheckBox& box, ui::Control& list, bool isListView) {
    bool on = !userLocked_ && (isListView || IsNt()) && box.Value() == 1;
    list.SetEnabled(on);
    ui::SysColor color = on ? ui::SysColor::Window : ui::SysColor::ButtonFace;
    if (isListView) lsvRun.SetBackColor(color);
    else lstStop.SetBackColor(color);
}

void frmMain::chkRunThisFirst_Click() { ApplyListRule(chkRunThisFirst, lsvRun, true); }
void frmMain::chkStopServices_Click() { ApplyListRule(chkStopServices, lstStop, false); }

void frmMain::cmbShutdown_Click() {
    const auto& DialogTexts = state_.DialogTexts;
    switch (cmbShutdown.ListIndex()) {
        case 0: lblExplain.SetCaption(DialogTexts[30]); break;
        case 1: lblExplain.SetCaption(DialogTexts[32]); break;
        default: lblExplain.SetCaption(DialogTexts[31]); break;
    }
}

void frmMain::SetDetails(bool expanded) {
    cmdDetails.SetCaption(expanded ? Text("cmdDetails expanded") : Text("cmdDetails collapsed"));
    form.SetHeightTwips(expanded ? kExpandedTwips : kCollapsedTwips);
}

void frmMain::cmdDetails_Click() { SetDetails(!IsExpanded()); }

void frmMain::SSTab1_Click() {
    bool programs = SSTab1.SelectedTab() == 0;
    chkRunThisFirst.SetVisible(programs);
    lsvRun.SetVisible(programs);
    chkStopServices.SetVisible(!programs);
    lstStop.SetVisible(!programs);
}

void frmMain::cmdOK_MouseDown(const ui::MouseEvent& e) {
    if (state_.WinPlatform == 1) ShiftRestart = e.shift == ui::kShiftMask;
}

void frmMain::cmdOK_Click() {
    // Queued clicks and keys reach here while the sequence waits for a
    // program: one OK, one sequence.
    if (sequenceRunning_) return;
    basShutdown::ShutdownContext ctx{.plat = sys_, .ui = ui_, .state = state_};
    switch (SelectedAction()) {
        case Action::Shutdown: ctx.choice = basShutdown::Choice::Shutdown; break;
        case Action::Restart: ctx.choice = basShutdown::Choice::Restart; break;
        case Action::MsDos: ctx.choice = basShutdown::Choice::MsDos; break;
        case Action::Logoff: ctx.choice = basShutdown::Choice::Logoff; break;
    }
    ctx.shiftRestart = ShiftRestart;
    ctx.rows = ReadRows();
    ctx.runThisFirst = chkRunThisFirst.Value() == 1;
    for (int i = 0; i < lstStop.ListCount(); ++i) ctx.stopList.push_back(lstStop.List(i));
    ctx.stopServices = chkStopServices.Value() == 1;
    ctx.saveAndHide = [this] {
        SaveDialogSettings();
        form.Hide();
    };
    // A program took over, or there is nothing to ask: no unload, the tray
    // icon goes with the session.
    ctx.endProcess = [this] {
        if (OnEnd) OnEnd();
    };
    // Set before the request: Windows may ask at once.
    ctx.beforeRequest = [this] { ownRequest_ = true; };
    Running running{sequenceRunning_};
    if (basShutdown::RunShutdown(ctx) != basShutdown::Outcome::Requested) ownRequest_ = false;
}

void frmMain::cmdCancel_Click() {
    basDaemon::CloseDimmer(sys_.windows);
    SaveDialogSettings();
    form.Hide();
    PrepareHidden();
}

void frmMain::cmdHelp_Click() {
    basDaemon::CloseDimmer(sys_.windows);
    form.Hide();
    PrepareHidden();
    sys_.shell.Open(basDaemon::HelpUrl(state_.HelpFile, 1));
}

bool frmMain::Form_KeyDown(int keyCode, int shift) {
    (void)shift;
    if (basCountry::GetWindowsLanguage(sys_.system) != 1033) return false;
    auto choose = [this](ui::OptionButton& opt, int comboItem) {
        if (Windows2000Layout()) {
            cmbShutdown.SetListIndex(comboItem);
            cmbShutdown_Click();
            cmbShutdown.SetFocus();
        } else {
            opt.SetValue(true);
            opt.SetFocus();
        }
    };
    switch (keyCode) {
        case 'S': choose(optShutdown, 1); return true;
        case 'R': choose(optRestart, 2); return true;
        case 'C': choose(optLogoff, 0); return true;
        case 'M':
            if (!optMSDOS.Visible()) return false;
            optMSDOS.SetValue(true);
            optMSDOS.SetFocus();
            return true;
        case 'F':
            // A locked dialog keeps its choices, from the keyboard too.
            if (!chkRunThisFirst.Enabled()) return false;
            chkRunThisFirst.SetValue(chkRunThisFirst.Value() == 1 ? 0 : 1);
            chkRunThisFirst_Click();
            return true;
        case 'O':
        case 'Y': cmdOK_Click(); return true;
        default: return false;
    }
}

void frmMain::SetOwnCaptions() {
    chkRunThisFirst.SetCaption(Text("chkRunThisFirst"));
    chkStopServices.SetCaption(Text("chkStopServices"));
    mnuSystemTray.SetCaption("selShutdown", Text("selShutdown"));
    mnuSystemTray.SetCaption("selAbout", Text("selAbout"));
    mnuSystemTray.SetCaption("selOptions", Text("selOptions"));
    mnuSystemTray.SetCaption("selExit", Text("selExit"));
    SSTab1.SetTabCaption(0, Text("SSTab1 0"));
    SSTab1.SetTabCaption(1, Text("SSTab1 1"));
}

}  // namespace halcyrad
