#include "applet/pgServices.h"

#include <map>
#include <tuple>

#include "services/basServices.h"

namespace halcfg {

namespace S = basSettings;

pgServices::pgServices(const PageContext& ctx)
    : ctx_(ctx),
      lsvStop(ctx.form.GetListView("lsvStop")),
      cmdUpServices(ctx.form.GetButton("cmdUpServices")),
      cmdDownServices(ctx.form.GetButton("cmdDownServices")),
      chkStopServices(ctx.form.GetCheckBox("chkStopServices")),
      lblSeconds(ctx.form.GetLabel("lblSeconds")),
      txtServiceSeconds(ctx.form.GetTextBox("txtServiceSeconds")),
      lblSec(ctx.form.GetLabel("lblSec")),
      lblStopExplain(ctx.form.GetLabel("lblStopExplain")) {
    ui::Form& form = ctx.form;
    form.OnClick("chkStopServices", [this] { chkStopServices_Click(); });
    form.OnMouseUp("lsvStop", [this](const ui::MouseEvent& e) { lsvStop_MouseUp(e); });
    form.OnKeyUp("lsvStop", [this](int keyCode, int) { lsvStop_KeyUp(keyCode); });
    form.OnClick("cmdUpServices", [this] { cmdUpServices_Click(); });
    form.OnClick("cmdDownServices", [this] { cmdDownServices_Click(); });
    form.OnKeyPress("txtServiceSeconds", [this](int c) { return txtServiceSeconds_KeyPress(c); });
    form.OnChange("txtServiceSeconds", [this] { ctx_.Changed(); });
    form.OnGotFocus("txtServiceSeconds", [this] { txtServiceSeconds.SelectAll(); });
    // The daemon waits at most 600 seconds for a service: three digits.
    txtServiceSeconds.SetMaxLength(3);
}

std::vector<ui::Control*> pgServices::Controls() const {
    return {&lsvStop,    &cmdUpServices,     &cmdDownServices, &chkStopServices,
            &lblSeconds, &txtServiceSeconds, &lblSec,          &lblStopExplain};
}

void pgServices::Load() {
    lsvStop.ClearColumns();
    lsvStop.AddColumn(ctx_.Text("lsvStop 0"));
    lsvStop.AddColumn(ctx_.Text("lsvStop 1"));
    lsvStop.SetFullRowSelect();
    lsvStop.SetCheckBoxes();
    ctx_.SetCaptions({{"chkStopServices", chkStopServices}, {"lblStopExplain", lblStopExplain}});
    ShowArrows(cmdUpServices, cmdDownServices);

    S::Store store = ctx_.Settings();
    S::Store::Batch batch(store);
    // The field shows the stored text as it is; Apply writes it back unchanged.
    txtServiceSeconds.SetText(
        store.Text(S::SecondsToWaitForService.name, std::to_string(S::SecondsToWaitForService.def)));
    LoadStopList(store);
    chkStopServices.SetValue(store.Read(S::StopServices) == 1 ? 1 : 0);
    chkStopServices_Click();
    if (ctx_.state.WinPlatform == 1) {
        // No services on Windows 95/98: the stored names show, nothing edits them.
        chkStopServices.SetEnabled(false);
        lsvStop.SetBackColor(ui::SysColor::ButtonFace);
        lsvStop.SetEnabled(false);
        lblStopExplain.SetEnabled(false);
        cmdUpServices.SetEnabled(false);
        cmdDownServices.SetEnabled(false);
    }
    shown_.Record(store, ShownValues());
    listsByPolicy_ = store.Locked(S::StopList.name) || store.Locked(S::SelectedStopList.name);
    stopRead_ = S::ReadList(store, S::StopList.name);
    selectedStopRead_ = S::ReadList(store, S::SelectedStopList.name);
    stopShown_ = StopRows(false);
    selectedStopShown_ = StopRows(true);
}

void pgServices::LoadStopList(const S::Store& store) {
    for (const std::string& name : S::ParseCommaList(store.Read(S::StopList))) lsvStop.AddRow(name);
    basServices::FillRunningServices(ctx_.sys.services, lsvStop, ctx_.state.WinPlatform);
    // A display name with a comma has no stored form: saved, it would come
    // back as two names of services that do not exist. Stored names have none.
    for (int r = lsvStop.RowCount() - 1; r >= 0; --r)
        if (lsvStop.GetItemText(r, 0).find(',') != std::string::npos) lsvStop.DeleteItem(r);
    for (const std::string& name : S::ParseCommaList(store.Read(S::SelectedStopList)))
        for (int r = 0; r < lsvStop.RowCount(); ++r)
            if (ctx_.sys.locale.EqualsIgnoreCase(lsvStop.GetItemText(r, 0), name)) lsvStop.CheckItem(r);
    MarkStopRights();
    // Service names are long: the column takes the longest.
    lsvStop.AutoSizeColumns(true);
}

// The mark is a column of its own: the first column stays the display name
// that "StopList" and "SelectedStopList" keep.
void pgServices::MarkStopRights() {
    if (ctx_.state.WinPlatform != 2) return;
    std::vector<std::string> names;
    for (int r = 0; r < lsvStop.RowCount(); ++r) names.push_back(lsvStop.GetItemText(r, 0));
    const std::vector<basServices::StopRight> rights = basServices::StopRights(ctx_.sys.services, names);
    for (int r = 0; r < lsvStop.RowCount(); ++r) {
        switch (rights[static_cast<size_t>(r)]) {
            case basServices::StopRight::Denied: lsvStop.SetCellText(r, 1, ctx_.Text("stopDenied")); break;
            case basServices::StopRight::NotInstalled: lsvStop.SetCellText(r, 1, ctx_.Text("stopNotInstalled")); break;
            default: break;
        }
    }
}

// The seconds field and its labels stay off once locked; the list and its
// box come back whatever the platform.
void pgServices::SetLocked(bool locked) {
    lsvStop.SetEnabled(!locked);
    chkStopServices.SetEnabled(!locked);
    lsvStop.SetBackColor(locked ? ui::SysColor::ButtonFace : ui::SysColor::Window);
    if (!locked) return;
    for (ui::Control* c : std::initializer_list<ui::Control*>{&txtServiceSeconds, &lblSeconds, &lblSec})
        c->SetEnabled(false);
}

void pgServices::DisableByPolicy() {
    if (listsByPolicy_) {
        for (ui::Control* c : std::initializer_list<ui::Control*>{&lsvStop, &cmdUpServices, &cmdDownServices})
            c->SetEnabled(false);
        lsvStop.SetBackColor(ui::SysColor::ButtonFace);
    }
    if (shown_.Locked(S::StopServices.name)) chkStopServices.SetEnabled(false);
    if (shown_.Locked(S::SecondsToWaitForService.name)) txtServiceSeconds.SetEnabled(false);
}

bool pgServices::PolicyLocked() const { return listsByPolicy_ || shown_.AnyLocked(); }

NamedValues pgServices::ShownValues() const {
    return {{S::SecondsToWaitForService.name, txtServiceSeconds.Text()},
            {S::StopServices.name, std::to_string(chkStopServices.Value())}};
}

std::vector<std::string> pgServices::StopRows(bool checkedOnly) const {
    std::vector<std::string> rows;
    for (int r = 0; r < lsvStop.RowCount(); ++r)
        if (!checkedOnly || lsvStop.IsItemChecked(r)) rows.push_back(lsvStop.GetItemText(r, 0));
    return rows;
}

void pgServices::Save(const S::Store& store, std::vector<std::string>& notSaved) {
    shown_.Save(store, ShownValues(), notSaved);
    SaveStopList(store, notSaved);
}

// The two lists go together: a running service that is ticked joins the
// stored list, so it keeps its place when it is not running. Each is merged
// against what this dialog last read or saved, as the run list is.
void pgServices::SaveStopList(const S::Store& store, std::vector<std::string>& notSaved) {
    std::vector<std::string> all = StopRows(false), checked = StopRows(true);
    if (all == stopShown_ && checked == selectedStopShown_) return;
    bool saved = true;
    for (auto [name, read, now] : {std::tuple{S::StopList.name, &stopRead_, &all},
                                   std::tuple{S::SelectedStopList.name, &selectedStopRead_, &checked}}) {
        if (!*read || !S::SaveList(store, name, *read, *now)) {
            notSaved.push_back(name);
            saved = false;
        }
    }
    if (!saved) return;
    stopShown_ = all;
    selectedStopShown_ = checked;
    stopRead_ = all;
    selectedStopRead_ = checked;
}

void pgServices::chkStopServices_Click() {
    ApplyListRule(chkStopServices, lsvStop);
    DisableByPolicy();
    ctx_.Changed();
}

// Only a release over a row's check box can have checked it.
void pgServices::lsvStop_MouseUp(const ui::MouseEvent& e) { CheckDependents(lsvStop.HitTestCheckBox(e.x, e.y)); }

void pgServices::lsvStop_KeyUp(int keyCode) {
    constexpr int kSpace = 32;
    if (keyCode == kSpace) CheckDependents(lsvStop.SelectedRow());
}

void pgServices::cmdUpServices_Click() {
    if (MoveSelectedRow(lsvStop, -1)) ctx_.Changed();
}

void pgServices::cmdDownServices_Click() {
    if (MoveSelectedRow(lsvStop, +1)) ctx_.Changed();
}

bool pgServices::txtServiceSeconds_KeyPress(int character) {
    constexpr int kBackspace = 8;
    return (character >= '0' && character <= '9') || character == kBackspace;
}

// Warns when services listed depend on the one just checked: they must stop
// first, so they belong above it.
void pgServices::CheckDependents(int row) {
    ctx_.Changed();
    if (row < 0 || !lsvStop.IsItemChecked(row)) return;
    ctx_.ui.DoEvents();
    ctx_.ui.SetPointer(ui::Pointer::Hourglass);
    std::string dependents, name;
    try {
        // One enumeration for every row's key name.
        std::map<std::string, std::string> keys = basServices::ServiceNamesByDisplayName(ctx_.sys.services);
        auto keyOf = [&keys](const std::string& displayName) {
            auto it = keys.find(displayName);
            return it == keys.end() ? std::string() : it->second;
        };
        name = lsvStop.GetItemText(row, 0);
        std::string key = keyOf(name);
        // A service the system does not know has no dependents: an empty key
        // would be found in every row's text.
        if (!key.empty()) {
            for (int j = 0; j < lsvStop.RowCount(); ++j) {
                std::string text = lsvStop.GetItemText(j, 0);
                std::string depends = basRegistry::ReadValue(ctx_.sys.registry, platform::RootKey::LocalMachine,
                                                             S::kServicesKey + keyOf(text), S::kDependOnService,
                                                             "0", false);
                if (depends.find(key) != std::string::npos) dependents += text + ", ";
            }
        }
    } catch (...) {
        ctx_.ui.SetPointer(ui::Pointer::Default);
        throw;
    }
    ctx_.ui.SetPointer(ui::Pointer::Default);
    if (dependents.empty()) return;
    dependents.resize(dependents.size() - 2);
    ctx_.ui.MsgBox(ctx_.Text("dependents1") + name + ctx_.Text("dependents2") + dependents +
                       ctx_.Text("dependents3") + name + ctx_.Text("dependents4") + name + ctx_.Text("dependents5"),
                   ctx_.Text("stoppingTitle"), ui::kMbInformation);
}

}  // namespace halcfg
