#pragma once
#include <string>
#include <vector>

#include "applet/PageContext.h"

namespace halcfg {

// The programs page: the run list, the entry editor and the wizard that fill
// it, and whether the checked programs run at all.
class pgPrograms {
public:
    explicit pgPrograms(const PageContext& ctx);
    pgPrograms(const pgPrograms&) = delete;
    pgPrograms& operator=(const pgPrograms&) = delete;

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
    void LoadRunList(const basSettings::Store& store);
    bool RefusePolicyRow(int row, int step);
    NamedValues ShownValues() const;
    std::vector<basSettings::RunRow> RunRows() const;
    void SaveRunList(const basSettings::Store& store, std::vector<std::string>& notSaved);
    std::string DaysOf(const ProgramEntry& entry) const;
    void WriteEntry(const ProgramEntry& entry);
    void RefitRunColumns();

    void chkRunThisFirst_Click();
    void lsvRun_MouseDown(const ui::MouseEvent& e);
    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdRemove_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void cmdWizard_Click();
    void selCommandPrompt_Click();

    const PageContext& ctx_;
    ShownRecord shown_;
    bool listByPolicy_ = false;  // a policy sets the list: shown, not edited
    int policyRows_ = 0;         // the list's first rows, set by a policy
    basSettings::RunListRead runRead_;
    std::vector<basSettings::RunRow> runShown_;

    ui::ListView& lsvRun;
    ui::Button& cmdAdd;
    ui::Button& cmdEdit;
    ui::Button& cmdRemove;
    ui::Button& cmdUp;
    ui::Button& cmdDown;
    ui::Button& cmdWizard;
    ui::CheckBox& chkRunThisFirst;
    ui::Label& lblRunExplain;
    ui::Menu& mnuCommand;
};

}  // namespace halcfg
