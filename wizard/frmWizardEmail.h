#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "ui/controls.h"
#include "wizard/WizardRunList.h"
#include "wizard/basUtilityWizard.h"

namespace wizard {

// The utility set-up wizard: six pages in one modal window that turn the
// utilities found on this machine, and the drives chosen for them, into
// run-list entries.
class frmWizardEmail {
public:
    static constexpr int kPages = 6;

    frmWizardEmail(ui::Ui& ui, ui::Form* owner, const basUtilityWizard::WizardContext& ctx,
                   WizardRunList& runList);
    frmWizardEmail(const frmWizardEmail&) = delete;
    frmWizardEmail& operator=(const frmWizardEmail&) = delete;

    // Loads the window and shows it modally, with a taskbar button of its own
    // when asked; true when it closed by Finish.
    bool Show(bool ownButton = false);

private:
    void Form_Load();
    void cmdNext_Click();
    void cmdBack_Click();
    void cmdCancel_Click();

    void FillDriveLists();
    void SetTexts();
    void ShowPage(int page);
    void Finish();
    void AddRow(const std::string& name);
    bool FindRunListEntry(int startRow, const std::string& name) const;
    void WriteValue(const std::string& name, const std::string& value) const;
    void WriteEntry(const std::string& name, const std::string& command) const;
    std::string DriveText(ui::ListBox& list) const;
    // The "Defragment" command for the program found; "" when none can run.
    std::string DefragCommand(const std::string& program) const;
    std::string InternetCacheFolder() const;

    ui::Ui& ui_;
    basUtilityWizard::WizardContext ctx_;
    WizardRunList& runList_;
    std::unique_ptr<ui::Form> formPtr_;
    ui::Form& form_;

    ui::Button& cmdBack;
    ui::Button& cmdNext;
    ui::Button& cmdCancel;
    ui::Picture& imgMain;
    ui::Picture& imgFinished;
    ui::Picture& imgProcess;
    ui::ListBox& lstUtilities;
    ui::ListBox& lstDrivesScan;
    ui::ListBox& lstDrivesDefrag;
    ui::ListBox& lstDrivesAntiVirus;

    std::int16_t CurrentPage = 0;
    bool DoScan = false;
    bool DoDefrag = false;
    bool DoVirusScan = false;
    bool finished_ = false;
};

}  // namespace wizard
