#include "applet/frmMain.h"

#include "common/basCountry.h"
#include "common/basEncrypt.h"
#include "common/basProduct.h"
#include "common/basWinVer.h"
#include "common/frmPasswordToAccess.h"

namespace halcfg {

namespace S = basSettings;

namespace {

constexpr const char* kHelpFileName = "halcyraset.html";

}  // namespace

frmMain::frmMain(ui::Ui& ui, platform::Platform& sys, AppletState& state)
    : ui_(ui),
      sys_(sys),
      state_(state),
      formPtr_(ui.CreateForm("frmMain", nullptr)),
      form(*formPtr_),
      cmdOK(form.GetButton("cmdOK")),
      cmdCancel(form.GetButton("cmdCancel")),
      cmdApply(form.GetButton("cmdApply")),
      cmdHelp(form.GetButton("cmdHelp")),
      SSTab1(form.GetTab("SSTab1")),
      imgMain(form.GetPicture("imgMain")),
      ctx_{ui, sys, state, form, cmdApply, imgMain},
      programs_(ctx_),
      services_(ctx_),
      options_(ctx_),
      actions_(ctx_, [this] { SetLocked(false); }),
      pages_{programs_.Controls(), services_.Controls(), options_.Controls(), actions_.Controls()} {
    form.OnClick("cmdOK", [this] { cmdOK_Click(); });
    form.OnClick("cmdCancel", [this] { cmdCancel_Click(); });
    form.OnClick("cmdApply", [this] { cmdApply_Click(); });
    form.OnClick("cmdHelp", [this] { cmdHelp_Click(); });
    form.OnClick("SSTab1", [this] { SSTab1_Click(); });
}

frmMain::~frmMain() = default;

void frmMain::Show() {
    Form_Load();
    form.ShowModal();
}

void frmMain::Form_Load() {
    state_.SettingsRoot = platform::RootKey::CurrentUser;
    state_.CountryCode = basCountry::GetWindowsLanguage(sys_.system);
    state_.HelpFile = state_.LibraryFolder + kHelpFileName;
    basWinVer::GetWinVer(sys_.system, state_);
    basCountry::BuildDayInitials(sys_.system, basCountry::ThursdayRule::DayName, state_);
    form.CenterOnScreen();
    state_.AppPath = ctx_.Settings().Read(S::AppPath);

    SetCaptions();
    programs_.Load();
    services_.Load();
    options_.Load();
    actions_.Load();
    PasswordGate();
    ApplyPolicy();
    cmdApply.SetEnabled(false);
    SSTab1.SelectTab(0);
    SSTab1_Click();
}

void frmMain::SetCaptions() {
    form.SetCaption(ctx_.Text("caption"));
    ctx_.SetCaptions({{"cmdOK", cmdOK}, {"cmdCancel", cmdCancel}, {"cmdApply", cmdApply}});
    for (int tab = 0; tab < 4; ++tab) SSTab1.SetTabCaption(tab, ctx_.Text(("SSTab1 " + std::to_string(tab)).c_str()));
}

void frmMain::PasswordGate() {
    std::optional<std::string> password = basEncrypt::StoredPassword(sys_.locale, ctx_.Settings());
    if (!password) {
        ui_.MsgBox(ctx_.Text("unreadablePassword"), basProduct::kAppTitle, ui::kMbExclamation);
        SetLocked(true);
        return;
    }
    const std::string& stored = *password;
    if (stored.empty()) return;
    std::string entered = common::AskPassword(ui_, &form, common::PasswordPrompt::Applet, ctx_.Language());
    if (basEncrypt::PasswordsMatch(sys_.locale, stored, entered)) return;
    // A cancelled prompt locks without a word.
    if (!entered.empty()) ui_.MsgBox(ctx_.Text("wrongPassword load"), basProduct::kAppTitle, ui::kMbExclamation);
    SetLocked(true);
}

void frmMain::ApplyPolicy() {
    S::Store store = ctx_.Settings();
    lockedByPolicy_ = S::IsPolicy(store.SourceOf(S::LockSettings.name)) && store.Read(S::LockSettings) == 1;
    ui::Label& note = form.GetLabel("lblPolicy");
    note.SetCaption(ctx_.Text("lblPolicy"));
    note.SetVisible(lockedByPolicy_ || programs_.PolicyLocked() || services_.PolicyLocked() ||
                    options_.PolicyLocked() || actions_.PolicyLocked());
    if (lockedByPolicy_) SetLocked(true);
    else DisableByPolicy();
}

void frmMain::DisableByPolicy() {
    programs_.DisableByPolicy();
    services_.DisableByPolicy();
    options_.DisableByPolicy();
    actions_.DisableByPolicy();
}

void frmMain::SetLocked(bool locked) {
    locked = locked || lockedByPolicy_;
    locked_ = locked;
    programs_.SetLocked(locked);
    services_.SetLocked(locked);
    options_.SetLocked(locked);
    actions_.SetLocked(locked);
    DisableByPolicy();
}

void frmMain::SSTab1_Click() {
    // The new page first: hiding the old one then repaints what it covered,
    // group boxes included, which do not paint their inside themselves.
    size_t selected = static_cast<size_t>(SSTab1.SelectedTab());
    if (selected < pages_.size())
        for (ui::Control* c : pages_[selected]) c->SetVisible(true);
    for (size_t page = 0; page < pages_.size(); ++page)
        if (page != selected)
            for (ui::Control* c : pages_[page]) c->SetVisible(false);
}

void frmMain::cmdApply_Click() {
    // Only what was read and changed goes back; a value that could not be
    // read stays as stored, and a locked dialog changes nothing at all.
    S::Store store = ctx_.Settings();
    std::vector<std::string> notSaved;
    programs_.Save(store, notSaved);
    services_.Save(store, notSaved);
    options_.Save(store, notSaved);
    actions_.Save(store, notSaved);
    cmdApply.SetEnabled(false);
    ctx_.ReportNotSaved(notSaved);
}

void frmMain::cmdOK_Click() {
    cmdApply_Click();
    form.Close();
}

void frmMain::cmdCancel_Click() { form.Close(); }

void frmMain::cmdHelp_Click() { sys_.shell.Open(state_.HelpFile); }

}  // namespace halcfg
