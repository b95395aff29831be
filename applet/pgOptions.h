#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "applet/PageContext.h"

namespace halcfg {

// The settings page: how the daemon operates (its icon, who may choose the
// programs, whether programs are forced to close, whether it also acts at
// ends of the session it did not ask for) and the order of the programs and
// the services.
class pgOptions {
public:
    explicit pgOptions(const PageContext& ctx);
    pgOptions(const pgOptions&) = delete;
    pgOptions& operator=(const pgOptions&) = delete;

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
    // Whether Windows lets a program hold the end of the session, asked once.
    bool CanHold() const;

    const PageContext& ctx_;
    ShownRecord shown_;
    mutable std::optional<bool> canHold_;

    ui::Label& FrameOperation;
    ui::CheckBox& chkShowIcon;
    ui::CheckBox& chkLock;
    ui::CheckBox& chkForceAppsToClose;
    ui::CheckBox& chkRunAtAnyShutdown;
    ui::Label& FrameOrder;
    std::array<ui::OptionButton*, 2> optOrder;
};

}  // namespace halcfg
