#pragma once
#include <vector>

#include "applet/halcfgRes.h"
#include "common/commonForms.h"
#include "ui/controls.h"
#include "wizard/frmWizardEmailForms.h"

// Names of the applet's controls as its dialog logic asks for them, against
// the IDs of halcfg.rc.
namespace applet_forms {

inline const std::vector<ui::Binding> frmMainControls = {
    {"cmdOK", IDC_CFG_CMDOK},
    {"cmdCancel", IDC_CFG_CMDCANCEL},
    {"cmdApply", IDC_CFG_CMDAPPLY},
    {"cmdHelp", IDC_CFG_CMDHELP},
    {"SSTab1", IDC_CFG_SSTAB1},
    {"imgMain", IDC_CFG_IMGMAIN},
    {"lsvRun", IDC_CFG_LSVRUN},
    {"cmdAdd", IDC_CFG_CMDADD},
    {"cmdEdit", IDC_CFG_CMDEDIT},
    {"cmdRemove", IDC_CFG_CMDREMOVE},
    {"cmdUp", IDC_CFG_CMDUP},
    {"cmdDown", IDC_CFG_CMDDOWN},
    {"cmdWizard", IDC_CFG_CMDWIZARD},
    {"chkRunThisFirst", IDC_CFG_CHKRUNTHISFIRST},
    {"lblRunExplain", IDC_CFG_LBLRUNEXPLAIN},
    {"lsvStop", IDC_CFG_LSVSTOP},
    {"cmdUpServices", IDC_CFG_CMDUPSERVICES},
    {"cmdDownServices", IDC_CFG_CMDDOWNSERVICES},
    {"chkStopServices", IDC_CFG_CHKSTOPSERVICES},
    {"lblSeconds", IDC_CFG_LBLSECONDS},
    {"txtServiceSeconds", IDC_CFG_TXTSERVICESECONDS},
    {"lblSec", IDC_CFG_LBLSEC},
    {"lblStopExplain", IDC_CFG_LBLSTOPEXPLAIN},
    {"FrameOperation", IDC_CFG_FRAMEOPERATION},
    {"chkShowIcon", IDC_CFG_CHKSHOWICON},
    {"chkLock", IDC_CFG_CHKLOCK},
    {"chkForceAppsToClose", IDC_CFG_CHKFORCEAPPSTOCLOSE},
    {"chkRunAtAnyShutdown", IDC_CFG_CHKRUNATANYSHUTDOWN},
    {"FrameOrder", IDC_CFG_FRAMEORDER},
    {"optOrder0", IDC_CFG_OPTORDER0},
    {"optOrder1", IDC_CFG_OPTORDER1},
    {"lblUnload", IDC_CFG_LBLUNLOAD},
    {"cmdUnload", IDC_CFG_CMDUNLOAD},
    {"lblPassword", IDC_CFG_LBLPASSWORD},
    {"cmdPassword", IDC_CFG_CMDPASSWORD},
    {"FrameLogs", IDC_CFG_FRAMELOGS},
    {"cmdView", IDC_CFG_CMDVIEW},
    {"cmdPurge", IDC_CFG_CMDPURGE},
    {"chkLogEV", IDC_CFG_CHKLOGEV},
    {"lblPolicy", IDC_CFG_LBLPOLICY},
};

inline const std::vector<ui::Binding> mnuCommandEntries = {
    {"selCommandPrompt", IDM_SELCOMMANDPROMPT},
};

inline const std::vector<ui::Binding> frmChangePasswordControls = {
    {"cmdOK", IDC_CHG_CMDOK},
    {"cmdCancel", IDC_CHG_CMDCANCEL},
    {"lblOld", IDC_CHG_LBLOLD},
    {"txtOld", IDC_CHG_TXTOLD},
    {"lblNew", IDC_CHG_LBLNEW},
    {"txtNew", IDC_CHG_TXTNEW},
    {"lblConfirmNew", IDC_CHG_LBLCONFIRMNEW},
    {"txtConfirmNew", IDC_CHG_TXTCONFIRMNEW},
};

inline const std::vector<ui::Binding> frmProgramSelectionControls = {
    {"cmdOK", IDC_SEL_CMDOK},
    {"cmdCancel", IDC_SEL_CMDCANCEL},
    {"lblDisplayName", IDC_SEL_LBLDISPLAYNAME},
    {"txtDisplayName", IDC_SEL_TXTDISPLAYNAME},
    {"lblProgram", IDC_SEL_LBLPROGRAM},
    {"txtProgram", IDC_SEL_TXTPROGRAM},
    {"cmdBrowse", IDC_SEL_CMDBROWSE},
    {"FrameDays", IDC_SEL_FRAMEDAYS},
    {"chkDOW(1)", IDC_SEL_CHKDOW_1},
    {"chkDOW(2)", IDC_SEL_CHKDOW_2},
    {"chkDOW(3)", IDC_SEL_CHKDOW_3},
    {"chkDOW(4)", IDC_SEL_CHKDOW_4},
    {"chkDOW(5)", IDC_SEL_CHKDOW_5},
    {"chkDOW(6)", IDC_SEL_CHKDOW_6},
    {"chkDOW(7)", IDC_SEL_CHKDOW_7},
    {"FrameHowOften", IDC_SEL_FRAMEHOWOFTEN},
    {"optHowOften(0)", IDC_SEL_OPTHOWOFTEN_0},
    {"optHowOften(1)", IDC_SEL_OPTHOWOFTEN_1},
};

// The applet's templates, for the native windowing and the in-memory one alike.
inline void RegisterTemplates(ui::Ui& ui) {
    ui.RegisterTemplate("frmMain", frmMainControls, "mnuCommand", mnuCommandEntries);
    ui.RegisterTemplate("frmChangePassword", frmChangePasswordControls);
    ui.RegisterTemplate("frmProgramSelection", frmProgramSelectionControls);
    wizard_forms::RegisterTemplates(ui);
    ui.RegisterTemplate("frmPasswordToAccess", common_forms::frmPasswordToAccessControls);
}

}  // namespace applet_forms
