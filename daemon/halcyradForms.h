#pragma once
#include <vector>

#include "common/commonForms.h"
#include "services/servicesForms.h"
#include "daemon/halcyradRes.h"
#include "ui/controls.h"
#include "wizard/frmWizardEmailForms.h"

// Names of frmMain's controls and of its tray menu's entries, as the
// dialog logic asks for them, against the IDs of halcyrad.rc.
namespace daemon_forms {

inline const std::vector<ui::Binding> frmMainControls = {
    {"lblTitle", IDC_MAIN_LBLTITLE},
    {"imgMain", IDC_MAIN_IMGMAIN},
    {"optShutdown", IDC_MAIN_OPTSHUTDOWN},
    {"optRestart", IDC_MAIN_OPTRESTART},
    {"optMSDOS", IDC_MAIN_OPTMSDOS},
    {"optLogoff", IDC_MAIN_OPTLOGOFF},
    {"cmbShutdown", IDC_MAIN_CMBSHUTDOWN},
    {"lblExplain", IDC_MAIN_LBLEXPLAIN},
    {"cmdOK", IDC_MAIN_CMDOK},
    {"cmdCancel", IDC_MAIN_CMDCANCEL},
    {"cmdHelp", IDC_MAIN_CMDHELP},
    {"cmdDetails", IDC_MAIN_CMDDETAILS},
    {"SSTab1", IDC_MAIN_SSTAB1},
    {"chkRunThisFirst", IDC_MAIN_CHKRUNTHISFIRST},
    {"lsvRun", IDC_MAIN_LSVRUN},
    {"chkStopServices", IDC_MAIN_CHKSTOPSERVICES},
    {"lstStop", IDC_MAIN_LSTSTOP},
};

inline const std::vector<ui::Binding> frmAboutControls = {
    {"picIcon", IDC_ABOUT_PICICON},
    {"img16", IDC_ABOUT_IMG16},
    {"lblTitle", IDC_ABOUT_LBLTITLE},
    {"lblVersion", IDC_ABOUT_LBLVERSION},
    {"lblDescription", IDC_ABOUT_LBLDESCRIPTION},
    {"lblMailTo", IDC_ABOUT_LBLMAILTO},
    {"WebLink0", IDC_ABOUT_WEBLINK0},
    {"lblAuthor", IDC_ABOUT_LBLAUTHOR},
    {"cmdOK", IDC_ABOUT_CMDOK},
    {"cmdSysInfo", IDC_ABOUT_CMDSYSINFO},
};

inline const std::vector<ui::Binding> mnuSystemTrayEntries = {
    {"selShutdown", IDM_SELSHUTDOWN},
    {"selAbout", IDM_SELABOUT},
    {"selOptions", IDM_SELOPTIONS},
    {"selExit", IDM_SELEXIT},
};

// The daemon's templates, for the native windowing and the in-memory one alike.
inline void RegisterTemplates(ui::Ui& ui) {
    ui.RegisterTemplate("frmMain", frmMainControls, "mnuSystemTray", mnuSystemTrayEntries);
    ui.RegisterTemplate("frmAbout", frmAboutControls);
    ui.RegisterTemplate("frmPasswordToAccess", common_forms::frmPasswordToAccessControls);
    ui.RegisterTemplate("frmError", services_forms::frmErrorControls);
    wizard_forms::RegisterTemplates(ui);
}

}  // namespace daemon_forms
