#include "applet/pgOptions.h"

#include <algorithm>

#include "common/basTrayIcon.h"

namespace halcfg {

namespace S = basSettings;

pgOptions::pgOptions(const PageContext& ctx)
    : ctx_(ctx),
      FrameOperation(ctx.form.GetLabel("FrameOperation")),
      chkShowIcon(ctx.form.GetCheckBox("chkShowIcon")),
      chkLock(ctx.form.GetCheckBox("chkLock")),
      chkForceAppsToClose(ctx.form.GetCheckBox("chkForceAppsToClose")),
      chkRunAtAnyShutdown(ctx.form.GetCheckBox("chkRunAtAnyShutdown")),
      FrameOrder(ctx.form.GetLabel("FrameOrder")),
      optOrder{&ctx.form.GetOption("optOrder0"), &ctx.form.GetOption("optOrder1")} {
    for (const char* name :
         {"chkShowIcon", "chkLock", "chkForceAppsToClose", "chkRunAtAnyShutdown", "optOrder0", "optOrder1"})
        ctx.form.OnClick(name, [this] { ctx_.Changed(); });
}

std::vector<ui::Control*> pgOptions::Controls() const {
    return {&FrameOperation, &chkShowIcon, &chkLock, &chkForceAppsToClose, &chkRunAtAnyShutdown,
            &FrameOrder,     optOrder[0],  optOrder[1]};
}

void pgOptions::Load() {
    ctx_.SetCaptions({{"FrameOperation", FrameOperation},
                      {"chkShowIcon", chkShowIcon},
                      {"chkLock", chkLock},
                      {"chkForceAppsToClose", chkForceAppsToClose},
                      {"chkRunAtAnyShutdown", chkRunAtAnyShutdown},
                      {"FrameOrder", FrameOrder},
                      {"optOrder0", *optOrder[0]},
                      {"optOrder1", *optOrder[1]}});
    S::Store store = ctx_.Settings();
    S::Store::Batch batch(store);
    chkLock.SetValue(store.Read(S::UserCanModifyApps) == 1 ? 1 : 0);
    chkShowIcon.SetValue(store.Read(S::ShowIcon) == 1 ? 1 : 0);
    chkForceAppsToClose.SetValue(store.Read(S::UseHalcyra) == 1 ? 1 : 0);
    // Shown as stored either way; where Windows cannot hold the end the box
    // cannot change it, and says why.
    chkRunAtAnyShutdown.SetValue(store.Read(S::RunAtAnyShutdown) == 1 ? 1 : 0);
    chkRunAtAnyShutdown.SetEnabled(CanHold());
    chkRunAtAnyShutdown.SetToolTip(CanHold() ? "" : ctx_.Text("chkRunAtAnyShutdown unavailable"));
    optOrder[0]->SetValue(store.Read(S::Order));
    if (!optOrder[0]->Value()) optOrder[1]->SetValue(true);
    shown_.Record(store, ShownValues());
}

void pgOptions::SetLocked(bool locked) {
    for (ui::Control* c : std::initializer_list<ui::Control*>{&chkShowIcon, &chkLock, &chkForceAppsToClose,
                                                               optOrder[0], optOrder[1]})
        c->SetEnabled(!locked);
    chkRunAtAnyShutdown.SetEnabled(!locked && CanHold());
}

bool pgOptions::CanHold() const {
    if (!canHold_) canHold_ = ctx_.sys.session.CanHoldEnd();
    return *canHold_;
}

void pgOptions::DisableByPolicy() {
    if (shown_.Locked(S::ShowIcon.name)) chkShowIcon.SetEnabled(false);
    if (shown_.Locked(S::UserCanModifyApps.name)) chkLock.SetEnabled(false);
    if (shown_.Locked(S::UseHalcyra.name)) chkForceAppsToClose.SetEnabled(false);
    if (shown_.Locked(S::Order.name))
        for (auto* o : optOrder) o->SetEnabled(false);
}

NamedValues pgOptions::ShownValues() const {
    auto flag = [](const ui::CheckBox& box) { return std::to_string(box.Value()); };
    return {{S::UserCanModifyApps.name, flag(chkLock)},
            {S::UseHalcyra.name, flag(chkForceAppsToClose)},
            {S::ShowIcon.name, flag(chkShowIcon)},
            {S::RunAtAnyShutdown.name, flag(chkRunAtAnyShutdown)},
            {S::Order.name, S::FromBool(optOrder[0]->Value())}};
}

void pgOptions::Save(const S::Store& store, std::vector<std::string>& notSaved) {
    std::vector<std::string> written = shown_.Save(store, ShownValues(), notSaved);
    if (std::find(written.begin(), written.end(), S::ShowIcon.name) == written.end()) return;
    platform::WindowHandle daemon = ctx_.FindDaemon();
    if (!daemon) return;
    if (chkShowIcon.Value() == 1) ctx_.ShowDaemonIcon(daemon);
    else basTrayIcon::TrayIconRemove(ctx_.sys.shell, daemon);
}

}  // namespace halcfg
