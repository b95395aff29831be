#pragma once
#include <string>
#include <vector>

#include "applet/PageContext.h"

namespace halcfg {

// The services page: the services stopped before the end of the session,
// in order, whether they are stopped at all and how long each is waited for.
class pgServices {
public:
    explicit pgServices(const PageContext& ctx);
    pgServices(const pgServices&) = delete;
    pgServices& operator=(const pgServices&) = delete;

    // The controls shown while the page's tab is selected.
    std::vector<ui::Control*> Controls() const;
    // Shows the page's texts and stored values, and records what they show.
    void Load();
    void SetLocked(bool locked);
    // Values a policy sets show, and their controls take no input.
    void DisableByPolicy();
    // Something on the page is set by a policy.
    bool PolicyLocked() const;
    // Writes what was read and changed since; names what it could not write.
    void Save(const basSettings::Store& store, std::vector<std::string>& notSaved);

private:
    void LoadStopList(const basSettings::Store& store);
    // Marks the services this user may not stop, or that are not installed.
    void MarkStopRights();
    NamedValues ShownValues() const;
    std::vector<std::string> StopRows(bool checkedOnly) const;
    void SaveStopList(const basSettings::Store& store, std::vector<std::string>& notSaved);
    void CheckDependents(int row);

    void chkStopServices_Click();
    void lsvStop_MouseUp(const ui::MouseEvent& e);
    void lsvStop_KeyUp(int keyCode);
    void cmdUpServices_Click();
    void cmdDownServices_Click();
    bool txtServiceSeconds_KeyPress(int character);

    const PageContext& ctx_;
    ShownRecord shown_;
    bool listsByPolicy_ = false;  // a policy sets the list: shown, not edited
    basSettings::ListRead stopRead_, selectedStopRead_;
    std::vector<std::string> stopShown_, selectedStopShown_;

    ui::ListView& lsvStop;
    ui::Button& cmdUpServices;
    ui::Button& cmdDownServices;
    ui::CheckBox& chkStopServices;
    ui::Label& lblSeconds;
    ui::TextBox& txtServiceSeconds;
    ui::Label& lblSec;
    ui::Label& lblStopExplain;
};

}  // namespace halcfg
