#include "applet/pgActions.h"

#include <memory>

#include "applet/frmChangePassword.h"
#include "common/basDaemonClose.h"
#include "common/basEncrypt.h"
#include "common/basLogFile.h"
#include "common/basProduct.h"
#include "common/basTrayIcon.h"
#include "common/basWinVer.h"
#include "common/frmPasswordToAccess.h"

namespace halcfg {

namespace S = basSettings;

pgActions::pgActions(const PageContext& ctx, std::function<void()> unlock)
    : ctx_(ctx),
      unlock_(std::move(unlock)),
      lblUnload(ctx.form.GetLabel("lblUnload")),
      cmdUnload(ctx.form.GetButton("cmdUnload")),
      lblPassword(ctx.form.GetLabel("lblPassword")),
      cmdPassword(ctx.form.GetButton("cmdPassword")),
      FrameLogs(ctx.form.GetLabel("FrameLogs")),
      cmdView(ctx.form.GetButton("cmdView")),
      cmdPurge(ctx.form.GetButton("cmdPurge")),
      chkLogEV(ctx.form.GetCheckBox("chkLogEV")) {
    ui::Form& form = ctx.form;
    form.OnClick("cmdUnload", [this] { cmdUnload_Click(); });
    form.OnClick("cmdPassword", [this] { cmdPassword_Click(); });
    form.OnClick("cmdView", [this] { cmdView_Click(); });
    form.OnClick("cmdPurge", [this] { cmdPurge_Click(); });
    form.OnClick("chkLogEV", [this] { ctx_.Changed(); });
}

std::vector<ui::Control*> pgActions::Controls() const {
    return {&lblUnload, &cmdUnload, &lblPassword, &cmdPassword, &FrameLogs, &cmdView, &cmdPurge, &chkLogEV};
}

void pgActions::Load() {
    ctx_.SetCaptions({{"lblUnload", lblUnload},
                      {"cmdUnload", cmdUnload},
                      {"cmdPassword", cmdPassword},
                      {"FrameLogs", FrameLogs},
                      {"cmdView", cmdView},
                      {"cmdPurge", cmdPurge},
                      {"chkLogEV", chkLogEV}});
    lblPassword.SetCaption(ctx_.Text(locked_ ? "lblPassword locked" : "lblPassword"));
    cmdUnload.SetEnabled(static_cast<bool>(ctx_.FindDaemon()));
    S::Store store = ctx_.Settings();
    S::Store::Batch batch(store);
    if (ctx_.state.WinPlatform == 2) {
        chkLogEV.SetValue(store.Read(S::LogEV) == 1 ? 1 : 0);
    } else {
        // No event log on Windows 95/98: shown off, left as stored.
        chkLogEV.SetEnabled(false);
        chkLogEV.SetValue(0);
    }
    shown_.Record(store, ShownValues());
}

// Unlocked, Unload comes back whatever the daemon: a click finds out.
void pgActions::SetLocked(bool locked) {
    locked_ = locked;
    for (ui::Control* c : std::initializer_list<ui::Control*>{&cmdUnload, &cmdView, &cmdPurge})
        c->SetEnabled(!locked);
    chkLogEV.SetEnabled(!locked && ctx_.state.WinPlatform == 2);
    lblPassword.SetCaption(ctx_.Text(locked ? "lblPassword locked" : "lblPassword unlocked"));
}

void pgActions::DisableByPolicy() {
    if (shown_.Locked(S::LogEV.name)) chkLogEV.SetEnabled(false);
}

NamedValues pgActions::ShownValues() const { return {{S::LogEV.name, std::to_string(chkLogEV.Value())}}; }

void pgActions::Save(const S::Store& store, std::vector<std::string>& notSaved) {
    shown_.Save(store, ShownValues(), notSaved);
}

void pgActions::cmdUnload_Click() {
    platform::WindowHandle daemon = ctx_.FindDaemon();
    if (!daemon) {
        cmdUnload.SetEnabled(false);  // it went meanwhile
        return;
    }
    platform::Platform& sys = ctx_.sys;
    bool ended = basDaemonClose::CloseAndWait(sys, daemon, [&] {
        basTrayIcon::TrayIconRemove(sys.shell, daemon);
        ctx_.ui.DoEvents();
    });
    if (ended) {
        cmdUnload.SetEnabled(false);
        ctx_.ui.MsgBox(ctx_.Text("unloaded"), basProduct::kAppTitle, ui::kMbInformation);
        return;
    }
    if (ctx_.Settings().Read(S::ShowIcon) == 1) ctx_.ShowDaemonIcon(daemon);
    ctx_.ui.MsgBox(ctx_.Text("stillRunning"), basProduct::kAppTitle, ui::kMbExclamation);
}

void pgActions::cmdPassword_Click() {
    if (!locked_) {
        frmChangePassword change(ctx_.ui, &ctx_.form, ctx_.sys, ctx_.state, unlock_);
        change.Show();
        return;
    }
    std::optional<std::string> stored = basEncrypt::StoredPassword(ctx_.sys.locale, ctx_.Settings());
    if (!stored) {
        ctx_.ui.MsgBox(ctx_.Text("unreadablePassword"), basProduct::kAppTitle, ui::kMbExclamation);
        return;
    }
    std::string entered = common::AskPassword(ctx_.ui, &ctx_.form, common::PasswordPrompt::Applet, ctx_.Language());
    if (basEncrypt::PasswordsMatch(ctx_.sys.locale, *stored, entered)) unlock_();
    else ctx_.ui.MsgBox(ctx_.Text("wrongPassword"), basProduct::kAppTitle, ui::kMbExclamation);
}

std::string pgActions::LogFilePath() const {
    return basLogFile::LogFolder(ctx_.sys.system, ctx_.sys.files, ctx_.state.AppPath) + basProduct::kLogFileName;
}

// Hidden, system and directory entries are no log file.
bool pgActions::LogFileExists(const std::string& path) const {
    auto attributes = ctx_.sys.system.FindFile(path);
    constexpr std::uint32_t kHidden = 0x2, kSystem = 0x4, kDirectory = 0x10;
    return attributes && !(*attributes & (kHidden | kSystem | kDirectory));
}

void pgActions::cmdView_Click() {
    std::string path = LogFilePath();
    if (!LogFileExists(path)) {
        ctx_.ui.MsgBox(ctx_.Text("nothingToView"), basProduct::kAppTitle, ui::kMbInformation);
        return;
    }
    std::string notepad = basWinVer::SystemProgram(ctx_.sys.system, ctx_.state.WinPlatform, "notepad.exe");
    if (notepad.empty() || !ctx_.sys.processes.Start(notepad + " \"" + path + "\""))
        ctx_.ui.MsgBox(ctx_.Text("noViewer") + path, basProduct::kAppTitle, ui::kMbCritical);
}

void pgActions::cmdPurge_Click() {
    std::string path = LogFilePath();
    if (!LogFileExists(path)) {
        ctx_.ui.MsgBox(ctx_.Text("nothingToPurge"), basProduct::kAppTitle, ui::kMbInformation);
        return;
    }
    if (ctx_.ui.MsgBox(ctx_.Text("purgeQuestion"), basProduct::kAppTitle, ui::kMbYesNo | ui::kMbQuestion) !=
        ui::kIdYes)
        return;
    if (std::error_code error = ctx_.sys.files.Remove(path))
        ctx_.ui.MsgBox(ctx_.Text("purgeFailed") + path + "\r\n\r\n" + ctx_.sys.system.ErrorMessage(error.value()),
                       basProduct::kAppTitle, ui::kMbCritical);
}

}  // namespace halcfg
