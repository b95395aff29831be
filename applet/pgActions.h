#pragma once
#include <functional>
#include <string>
#include <vector>

#include "applet/PageContext.h"

namespace halcfg {

// The actions page: unloading the daemon, the password, and the daemon's log
// (viewing, purging, and whether it goes to the event log too).
class pgActions {
public:
    // `unlock` unlocks the whole dialog: the right password was entered, or
    // a new one stored.
    pgActions(const PageContext& ctx, std::function<void()> unlock);
    pgActions(const pgActions&) = delete;
    pgActions& operator=(const pgActions&) = delete;

    // The controls shown while the page's tab is selected.
    std::vector<ui::Control*> Controls() const;
    // Shows the page's texts and stored values, and records what they show.
    void Load();
    void SetLocked(bool locked);
    // Values a policy sets show, and their controls take no input.
    void DisableByPolicy();
    bool PolicyLocked() const { return shown_.AnyLocked(); }
    // Writes what was read and changed since; names what it could not write.
    void Save(const basSettings::Store& store, std::vector<std::string>& notSaved);

private:
    NamedValues ShownValues() const;
    // events.txt where the daemon writes it, by the same rule.
    std::string LogFilePath() const;
    bool LogFileExists(const std::string& path) const;

    void cmdUnload_Click();
    void cmdPassword_Click();
    void cmdView_Click();
    void cmdPurge_Click();

    const PageContext& ctx_;
    std::function<void()> unlock_;
    bool locked_ = false;
    ShownRecord shown_;

    ui::Label& lblUnload;
    ui::Button& cmdUnload;
    ui::Label& lblPassword;
    ui::Button& cmdPassword;
    ui::Label& FrameLogs;
    ui::Button& cmdView;
    ui::Button& cmdPurge;
    ui::CheckBox& chkLogEV;
};

}  // namespace halcfg
