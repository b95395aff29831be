#pragma once
#include <vector>

#include "ui/controls.h"
#include "wizard/wizardRes.h"

// Names of frmWizardEmail's controls against the IDs of wizard.rc. Control
// arrays carry their index in the name.
namespace wizard_forms {

inline const std::vector<ui::Binding> frmWizardEmailControls = {
    {"cmdBack", IDC_WIZ_CMDBACK},
    {"cmdNext", IDC_WIZ_CMDNEXT},
    {"cmdCancel", IDC_WIZ_CMDCANCEL},
    {"imgMain", IDC_WIZ_IMGMAIN},
    {"imgFinished", IDC_WIZ_IMGFINISHED},
    {"imgProcess", IDC_WIZ_IMGPROCESS},
    {"Frame1(0)", IDC_WIZ_FRAME1_0},
    {"Frame1(1)", IDC_WIZ_FRAME1_1},
    {"Frame1(2)", IDC_WIZ_FRAME1_2},
    {"Frame1(3)", IDC_WIZ_FRAME1_3},
    {"Frame1(4)", IDC_WIZ_FRAME1_4},
    {"Frame1(5)", IDC_WIZ_FRAME1_5},
    {"lblClickNext(0)", IDC_WIZ_LBLCLICKNEXT_0},
    {"lblClickNext(1)", IDC_WIZ_LBLCLICKNEXT_1},
    {"lblClickNext(2)", IDC_WIZ_LBLCLICKNEXT_2},
    {"lblClickNext(3)", IDC_WIZ_LBLCLICKNEXT_3},
    {"lblClickNext(4)", IDC_WIZ_LBLCLICKNEXT_4},
    {"lblSetup", IDC_WIZ_LBLSETUP},
    {"Label2(0)", IDC_WIZ_LABEL2_0},
    {"Label2(1)", IDC_WIZ_LABEL2_1},
    {"lblUtilities", IDC_WIZ_LBLUTILITIES},
    {"lblUtilitiesExplanation", IDC_WIZ_LBLUTILITIESEXPLANATION},
    {"lstUtilities", IDC_WIZ_LSTUTILITIES},
    {"Label1(0)", IDC_WIZ_LABEL1_0},
    {"Label2(12)", IDC_WIZ_LABEL2_12},
    {"lstDrivesScan", IDC_WIZ_LSTDRIVESSCAN},
    {"lblDefragment", IDC_WIZ_LBLDEFRAGMENT},
    {"lblDefragmentExplanation", IDC_WIZ_LBLDEFRAGMENTEXPLANATION},
    {"lstDrivesDefrag", IDC_WIZ_LSTDRIVESDEFRAG},
    {"Label1(1)", IDC_WIZ_LABEL1_1},
    {"lblAntivirusExplanation", IDC_WIZ_LBLANTIVIRUSEXPLANATION},
    {"lstDrivesAntiVirus", IDC_WIZ_LSTDRIVESANTIVIRUS},
    {"lblFinished", IDC_WIZ_LBLFINISHED},
    {"lblFinishedExplanation", IDC_WIZ_LBLFINISHEDEXPLANATION},
    {"lblKeptEntries", IDC_WIZ_LBLKEPTENTRIES},
    {"lblSaveSettings", IDC_WIZ_LBLSAVESETTINGS},
};

// The wizard's template, for the native windowing and the in-memory one alike.
inline void RegisterTemplates(ui::Ui& ui) { ui.RegisterTemplate("frmWizardEmail", frmWizardEmailControls); }

}  // namespace wizard_forms
