#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>

#include "common/basSettings.h"
#include "daemon/DaemonState.h"
#include "daemon/basEventLog.h"
#include "platform/platform.h"
#include "ui/controls.h"

namespace halcyrad {

// The daemon's main window: its replacement for the system's shutdown dialog.
class frmMain {
public:
    static constexpr int kCollapsedTwips = 3225;
    static constexpr int kExpandedTwips = 6075;
    // A tray icon the taskbar refused (it is still starting at log-on) is
    // added again every second, up to two minutes; a new taskbar starts over.
    static constexpr int kIconTimer = 1;
    static constexpr unsigned kIconRetryMs = 1000;
    static constexpr int kIconRetries = 120;

    enum class Action { Logoff, Shutdown, Restart, MsDos };

    frmMain(ui::Ui& ui, ui::Form& form, platform::Platform& sys, DaemonState& state);

    // The window's load: settings root, names, platform and language, the
    // lists, the tray icon, the first fill from the settings; ends hidden.
    void Form_Load();
    void Form_Unload();

    void LoadDialogSettings();
    void SaveDialogSettings();

    void cmdOK_Click();
    void cmdOK_MouseDown(const ui::MouseEvent& e);
    void cmdCancel_Click();
    void cmdHelp_Click();
    void cmdDetails_Click();
    void chkRunThisFirst_Click();
    void chkStopServices_Click();
    void cmbShutdown_Click();
    void SSTab1_Click();
    bool Form_KeyDown(int keyCode, int shift);

    // Resident: the hook on the taskbar's process, the tray icon and its menu.
    void ArmHook();
    // A new taskbar: its icon back and the hook on its process.
    void Shell_Restarted();
    void Hook_Window(platform::ShellHook::Handle window);
    void Hook_Deferred(platform::ShellHook::Handle window);
    void ShowShutdownPrompt();
    void Tray_MouseMessage(int mouseMessage);
    void selShutdown_Click();
    void selOptions_Click();
    void selAbout_Click();
    void selExit_Click();
    // The close box or any request to close: false keeps the daemon resident.
    bool Form_QueryUnload();
    // Windows ends the session (true), or the end was cancelled (false).
    void Form_EndSession(bool ending);
    // Windows asks whether the session may end (its flags as
    // platform::Session names them). With "RunAtAnyShutdown" an end the
    // daemon did not ask for itself is held while the programs and services
    // run; the answer is then yes, as it is at once otherwise. Only a
    // question that comes while the steps run is answered no: the end under
    // way goes on when they are done.
    bool Form_QueryEndSession(std::uint32_t flags);
    void Form_Minimize();

    // Ends the process; set by the entry point.
    std::function<void()> OnEnd;
    // Opens the About box; set by the entry point.
    std::function<void()> OnAbout;

    // The choice the dialog holds now.
    Action SelectedAction() const;
    bool IsExpanded() const;
    bool Windows2000Layout() const;

    ui::Form& form;
    ui::Label& lblTitle;
    ui::Picture& imgMain;
    ui::OptionButton& optShutdown;
    ui::OptionButton& optRestart;
    ui::OptionButton& optMSDOS;
    ui::OptionButton& optLogoff;
    ui::ComboBox& cmbShutdown;
    ui::Label& lblExplain;
    ui::Button& cmdOK;
    ui::Button& cmdCancel;
    ui::Button& cmdHelp;
    ui::Button& cmdDetails;
    ui::TabControl& SSTab1;
    ui::CheckBox& chkRunThisFirst;
    ui::ListView& lsvRun;
    ui::CheckBox& chkStopServices;
    ui::ListBox& lstStop;
    ui::Menu& mnuSystemTray;

    bool ShiftRestart = false;
    bool Unloaded = false;
    // OK's sequence is under way: nothing but the sequence runs meanwhile.
    bool SequenceRunning() const { return sequenceRunning_; }

private:
    void InitialLoad();
    void PrepareRunList();
    void SetOwnCaptions();
    void Unload();
    void SetDetails(bool expanded);
    void FillRunList(const std::vector<basSettings::RunRow>& rows);
    void ApplyListRule(ui::CheckBox& box, ui::Control& list, bool isListView);
    std::vector<basSettings::RunRow> ReadRows() const;
    basSettings::Store Settings() const;
    void SaveRunList(const basSettings::Store& store);
    void AddTrayIcon();
    bool TryTrayIcon();
    // The steps of a session end held for them (a log-off stops no service).
    void RunAtSessionEnd(bool logoff);
    // A line of the log after the date and time, and the event of `id`
    // with `fields` when the event log is on.
    void LogLine(basEventLog::EventId id, std::uint16_t type, std::vector<std::string> fields, const std::string& text);
    void TrayIcon_Retry();
    int iconRetries_ = 0;

    std::string Text(const char* key) const;
    bool IsNt() const;

    ui::Ui& ui_;
    platform::Platform& sys_;
    DaemonState& state_;
    bool filledOnce_ = false;  // the run list has been filled and measured
    std::vector<bool> policyRows_;  // by row, as last filled: set by a policy
    bool userLocked_ = false;  // "UserCanModifyApps" 0 or "/lock": no choice changes
    bool showing_ = false;     // between a request and the dialog on screen
    bool sequenceRunning_ = false;
    // The daemon asked Windows to end the session itself: the next question
    // is that end's, and its steps have run. Forgotten with that question,
    // with a cancelled end, and when the dialog shows again.
    bool ownRequest_ = false;
    std::uint32_t hookedShell_ = 0;  // the taskbar's process the hook is on

    // What the dialog shows from the settings. It is kept between showings
    // while the settings key is unchanged: reading it through the registry
    // again was most of the time between the system's dialog appearing and
    // ours.
    struct StoredChoices {
        std::int16_t runPrograms = 0;
        std::int16_t stopServices = 0;
        std::int16_t useHalcyra = 0;
        std::int16_t logEvents = 0;
        std::int16_t userCanModifyApps = 0;
        std::vector<basSettings::RunRow> rows;
        std::string stopList;
        bool runListReadable = true;
        bool selectedListReadable = true;
        bool runProgramsReadable = true;
        bool stopServicesReadable = true;
        bool runProgramsByPolicy = false;
        bool stopServicesByPolicy = false;
        bool AllReadable() const {
            return runListReadable && selectedListReadable && runProgramsReadable && stopServicesReadable;
        }
    };
    const StoredChoices& Choices();
    bool SettingsChanged();
    // The hidden dialog is filled again as soon as it is hidden, so that a
    // request only shows it: it is filled on the way only when the settings
    // changed since.
    void PrepareHidden();
    void LoadUnlessPrepared();
    std::optional<StoredChoices> choices_;
    std::vector<std::unique_ptr<platform::RegistryWatch>> settingsWatches_;
    bool settingsChanged_ = false;  // seen by the watch, not yet read
    bool prepared_ = false;         // hidden and filled from the settings as they stand
    // System dialogs already being replaced: the hook reports a window more
    // than once (created, shown, renamed), and one dialog is one interception.
    std::set<platform::ShellHook::Handle> intercepted_;
    void ForgetGoneDialogs();
    // Read once at load; a value that could not be read is not saved from
    // the default the dialog shows instead.
    bool shutdownTypeReadable_ = true;
    bool showDetailsReadable_ = true;
};

}  // namespace halcyrad
