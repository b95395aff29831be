#include "applet/pgPrograms.h"

#include "applet/frmProgramSelection.h"
#include "common/basProduct.h"
#include "common/basWinVer.h"
#include "wizard/ListViewRunList.h"
#include "wizard/basUtilityWizard.h"

namespace halcfg {

namespace S = basSettings;

namespace {

// The folder of a program path: what comes before its last "\"; "" when
// there is none.
std::string FolderOf(const std::string& program) {
    size_t slash = program.find_last_of('\\');
    return slash == std::string::npos ? std::string() : program.substr(0, slash);
}

bool SameRows(const std::vector<S::RunRow>& a, const std::vector<S::RunRow>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || a[i].checked != b[i].checked) return false;
    return true;
}

}  // namespace

pgPrograms::pgPrograms(const PageContext& ctx)
    : ctx_(ctx),
      lsvRun(ctx.form.GetListView("lsvRun")),
      cmdAdd(ctx.form.GetButton("cmdAdd")),
      cmdEdit(ctx.form.GetButton("cmdEdit")),
      cmdRemove(ctx.form.GetButton("cmdRemove")),
      cmdUp(ctx.form.GetButton("cmdUp")),
      cmdDown(ctx.form.GetButton("cmdDown")),
      cmdWizard(ctx.form.GetButton("cmdWizard")),
      chkRunThisFirst(ctx.form.GetCheckBox("chkRunThisFirst")),
      lblRunExplain(ctx.form.GetLabel("lblRunExplain")),
      mnuCommand(ctx.form.GetMenu("mnuCommand")) {
    ui::Form& form = ctx.form;
    form.OnClick("chkRunThisFirst", [this] { chkRunThisFirst_Click(); });
    form.OnMouseDown("lsvRun", [this](const ui::MouseEvent& e) { lsvRun_MouseDown(e); });
    form.OnClick("cmdAdd", [this] { cmdAdd_Click(); });
    form.OnClick("cmdEdit", [this] { cmdEdit_Click(); });
    form.OnDblClick("lsvRun", [this] { cmdEdit_Click(); });
    form.OnClick("cmdRemove", [this] { cmdRemove_Click(); });
    form.OnClick("cmdUp", [this] { cmdUp_Click(); });
    form.OnClick("cmdDown", [this] { cmdDown_Click(); });
    form.OnClick("cmdWizard", [this] { cmdWizard_Click(); });
    form.OnClick("selCommandPrompt", [this] { selCommandPrompt_Click(); });
}

std::vector<ui::Control*> pgPrograms::Controls() const {
    return {&lsvRun, &cmdAdd, &cmdEdit, &cmdRemove, &cmdUp, &cmdDown, &cmdWizard, &chkRunThisFirst, &lblRunExplain};
}

void pgPrograms::Load() {
    lsvRun.ClearColumns();
    lsvRun.AddColumn(ctx_.Text("lsvRun 0"));
    lsvRun.AddColumn(ctx_.Text("lsvRun 1"));
    // Shares of the list's width W: W * 3/6 and W * 1.25/5 (Spanish W * 1.25/3);
    // Italian and French keep the default width.
    const basText::Language language = ctx_.Language();
    if (language != basText::Language::Italian && language != basText::Language::French) {
        const int w = lsvRun.ClientWidth();
        lsvRun.SetColumnWidth(0, w * 3 / 6);
        lsvRun.SetColumnWidth(1, language == basText::Language::Spanish ? w * 5 / 12 : w / 4);
    }
    lsvRun.SetFullRowSelect();
    lsvRun.SetCheckBoxes();
    ctx_.SetCaptions({{"cmdAdd", cmdAdd},
                      {"cmdEdit", cmdEdit},
                      {"cmdRemove", cmdRemove},
                      {"cmdWizard", cmdWizard},
                      {"chkRunThisFirst", chkRunThisFirst},
                      {"lblRunExplain", lblRunExplain}});
    ShowArrows(cmdUp, cmdDown);
    // English in every language: no other wording of it exists.
    cmdWizard.SetToolTip("Discovers and adds existing utilities on this computer");
    mnuCommand.SetCaption("selCommandPrompt", ctx_.Text("selCommandPrompt"));

    S::Store store = ctx_.Settings();
    S::Store::Batch batch(store);
    LoadRunList(store);
    listByPolicy_ = store.Locked(S::RunList.name) && !S::OwnProgramsAllowed(store);
    chkRunThisFirst.SetValue(store.Read(S::RunPrograms) == 1 ? 1 : 0);
    chkRunThisFirst_Click();
    shown_.Record(store, ShownValues());
    runRead_ = S::ReadRunListChecks(store);
    runShown_ = RunRows();
}

// An administrator's rows come first, say so in a column of their own, and
// keep their place and checks.
void pgPrograms::LoadRunList(const S::Store& store) {
    policyRows_ = 0;
    for (const S::RunRow& row : S::ReadRunList(store, ctx_.state.DayInitials)) {
        int r = lsvRun.AddRow(row.name);
        lsvRun.SetCellText(r, 1, row.days);
        if (row.checked) lsvRun.CheckItem(r);
        if (!row.policy) continue;
        if (policyRows_++ == 0) lsvRun.AddColumn("");
        lsvRun.SetCellText(r, 2, ctx_.Text("lblPolicy"));
        lsvRun.LockItemCheck(r);
    }
    // The note is read whole, as after an edit the columns fit their texts.
    if (policyRows_ > 0) RefitRunColumns();
}

// A row an administrator set is not the user's to edit, remove or move,
// nor to put another row above.
bool pgPrograms::RefusePolicyRow(int row, int step) {
    if (row < 0 || (row >= policyRows_ && row + step >= policyRows_)) return false;
    ctx_.ui.MsgBox(ctx_.Text("lblPolicy"), basProduct::kAppTitle, ui::kMbOk | ui::kMbInformation);
    return true;
}

void pgPrograms::SetLocked(bool locked) {
    for (ui::Control* c : std::initializer_list<ui::Control*>{&lsvRun, &cmdAdd, &cmdEdit, &cmdRemove, &cmdUp,
                                                               &cmdDown, &cmdWizard, &chkRunThisFirst})
        c->SetEnabled(!locked);
    lsvRun.SetBackColor(locked ? ui::SysColor::ButtonFace : ui::SysColor::Window);
}

void pgPrograms::DisableByPolicy() {
    if (listByPolicy_) {
        for (ui::Control* c : std::initializer_list<ui::Control*>{&lsvRun, &cmdAdd, &cmdEdit, &cmdRemove, &cmdUp,
                                                                   &cmdDown, &cmdWizard})
            c->SetEnabled(false);
        lsvRun.SetBackColor(ui::SysColor::ButtonFace);
    }
    if (shown_.Locked(S::RunPrograms.name)) chkRunThisFirst.SetEnabled(false);
}

bool pgPrograms::PolicyLocked() const { return listByPolicy_ || shown_.AnyLocked(); }

NamedValues pgPrograms::ShownValues() const {
    return {{S::RunPrograms.name, std::to_string(chkRunThisFirst.Value())}};
}

std::vector<S::RunRow> pgPrograms::RunRows() const {
    std::vector<S::RunRow> rows;
    for (int r = 0; r < lsvRun.RowCount(); ++r) rows.push_back({lsvRun.GetItemText(r, 0), {}, lsvRun.IsItemChecked(r)});
    return rows;
}

void pgPrograms::Save(const S::Store& store, std::vector<std::string>& notSaved) {
    shown_.Save(store, ShownValues(), notSaved);
    SaveRunList(store, notSaved);
}

// The list is merged against what this dialog last read or saved: what
// another writer stored since then stays, and this dialog's own earlier
// save counts as its own.
void pgPrograms::SaveRunList(const S::Store& store, std::vector<std::string>& notSaved) {
    std::vector<S::RunRow> rows = RunRows();
    if (SameRows(rows, runShown_)) return;
    if (!runRead_.rows || !runRead_.selectedReadable || !S::SaveRunRows(store, runRead_, rows)) {
        notSaved.push_back(S::RunList.name);
        return;
    }
    runShown_ = rows;
    runRead_.rows = rows;
}

void pgPrograms::chkRunThisFirst_Click() {
    ApplyListRule(chkRunThisFirst, lsvRun);
    DisableByPolicy();
    ctx_.Changed();
}

void pgPrograms::lsvRun_MouseDown(const ui::MouseEvent& e) {
    if (e.button == 2) {
        // The menu acts on the row clicked, which Windows selects only after.
        int row = lsvRun.HitTestRow(e.x, e.y);
        if (row >= 0) lsvRun.SelectItem(row);
        mnuCommand.Popup("");
    } else {
        ctx_.Changed();
    }  // a click on a row's check box changes the dialog
}

std::string pgPrograms::DaysOf(const ProgramEntry& entry) const {
    return S::DaysText(entry.Days, entry.OncePerDay, ctx_.state.DayInitials);
}

// The entry's values are stored at once, whatever Apply and Cancel do later.
void pgPrograms::WriteEntry(const ProgramEntry& entry) {
    S::Store store = ctx_.Settings();
    std::vector<std::string> notSaved;
    for (const auto& [name, text] : {std::pair{entry.DisplayName, entry.Program},
                                     std::pair{S::DowName(entry.DisplayName), entry.Days},
                                     std::pair{S::RunOnceName(entry.DisplayName), S::FromBool(entry.OncePerDay)}})
        if (store.Save(name, text)) notSaved.push_back(name);
    ctx_.ReportNotSaved(notSaved);
}

void pgPrograms::RefitRunColumns() { lsvRun.AutoSizeColumns(true); }

void pgPrograms::cmdAdd_Click() {
    AppletState& state = ctx_.state;
    ProgramEntry& entry = state.Entry;
    entry.DisplayName.clear();
    entry.Program.clear();
    state.OtherNames.clear();
    for (int r = 0; r < lsvRun.RowCount(); ++r) state.OtherNames.push_back(lsvRun.GetItemText(r, 0));
    frmProgramSelection editor(ctx_.ui, &ctx_.form, ctx_.sys, state);
    editor.Show();
    if (entry.DisplayName.empty()) return;
    int row = lsvRun.AddRow(entry.DisplayName);
    lsvRun.SetCellText(row, 1, DaysOf(entry));
    lsvRun.CheckItem(row);
    lsvRun.SelectItem(row);
    WriteEntry(entry);
    ctx_.Changed();
    RefitRunColumns();
}

void pgPrograms::cmdEdit_Click() {
    int row = lsvRun.SelectedRow();
    if (lsvRun.RowCount() == 0 || row < 0 || RefusePolicyRow(row, 0)) return;
    try {
        AppletState& state = ctx_.state;
        bool checked = lsvRun.IsItemChecked(row);
        ProgramEntry& entry = state.Entry;
        std::string oldName = lsvRun.GetItemText(row, 0);
        {
            S::Store store = ctx_.Settings();
            S::Store::Batch batch(store);
            entry.DisplayName = oldName;
            entry.Program = store.Text(oldName, "");
            entry.Days = store.Text(S::DowName(oldName), S::kAllDays);
            entry.OncePerDay = store.Boolean(S::RunOnceName(oldName), false);
        }
        state.OtherNames.clear();
        bool oldNameListedElsewhere = false;
        for (int r = 0; r < lsvRun.RowCount(); ++r) {
            if (r == row) continue;
            state.OtherNames.push_back(lsvRun.GetItemText(r, 0));
            // The registry compares value names without regard to letter case.
            if (ctx_.sys.locale.EqualsIgnoreCase(state.OtherNames.back(), oldName)) oldNameListedElsewhere = true;
        }
        frmProgramSelection editor(ctx_.ui, &ctx_.form, ctx_.sys, state);
        editor.Show();
        if (entry.DisplayName.empty()) return;
        // Only the command line goes with the old name; its days and
        // once-per-day values stay behind, unused. Another row of that name
        // still runs the command line, so it stays for that one.
        if (!oldNameListedElsewhere) {
            platform::RegKey key = ctx_.sys.registry.CreateKey(state.SettingsRoot, S::kSettingsKey);
            if (key) ctx_.sys.registry.DeleteValue(key, oldName);
        }
        lsvRun.DeleteItem(row);
        row = lsvRun.InsertRow(row, entry.DisplayName);
        lsvRun.SetCellText(row, 1, DaysOf(entry));
        lsvRun.SelectItem(row);
        if (checked) lsvRun.CheckItem(row);
        WriteEntry(entry);
        ctx_.Changed();
        RefitRunColumns();
    } catch (const std::exception& e) {
        ctx_.ui.MsgBox(e.what(), basProduct::kAppTitle, ui::kMbOk);
    }
}

void pgPrograms::cmdRemove_Click() {
    int row = lsvRun.SelectedRow();
    if (row < 0 || RefusePolicyRow(row, 0)) return;
    lsvRun.DeleteItem(row);
    // The row that took its place, or the new last one, is selected next.
    int rows = lsvRun.RowCount();
    if (rows > 0) lsvRun.SelectItem(row < rows ? row : rows - 1);
    ctx_.Changed();
    RefitRunColumns();
}

void pgPrograms::cmdUp_Click() {
    if (!RefusePolicyRow(lsvRun.SelectedRow(), -1) && MoveSelectedRow(lsvRun, -1)) ctx_.Changed();
}

void pgPrograms::cmdDown_Click() {
    if (!RefusePolicyRow(lsvRun.SelectedRow(), +1) && MoveSelectedRow(lsvRun, +1)) ctx_.Changed();
}

void pgPrograms::cmdWizard_Click() {
    const AppletState& state = ctx_.state;
    wizard::ListViewRunList runList(lsvRun, S::DaysText(S::kAllDays, false, state.DayInitials));
    basUtilityWizard::WizardContext wizard{ctx_.sys.registry, ctx_.sys.system, state.WinPlatform, state.WinVer,
                                           state.CountryCode, state.SettingsRoot};
    basUtilityWizard::RunSetupWizard(ctx_.ui, &ctx_.form, wizard, runList);
    RefitRunColumns();
    ctx_.Changed();
}

void pgPrograms::selCommandPrompt_Click() {
    int row = lsvRun.SelectedRow();
    if (row < 0) return;
    const AppletState& state = ctx_.state;
    platform::Platform& sys = ctx_.sys;
    std::string program = ctx_.Settings().Text(lsvRun.GetItemText(row, 0), "");
    // A quoted program is the text between its quotes.
    if (!program.empty() && program[0] == '"') program = program.substr(1, program.find('"', 1) - 1);
    std::string folder = FolderOf(program);
    std::string prompt =
        basWinVer::SystemProgram(sys.system, state.WinPlatform, state.WinPlatform == 1 ? "Command.com" : "cmd.exe");
    if (prompt.empty()) return;
    // The folder is the prompt's own current directory: the Control Panel's
    // (the host's) stays where it is.
    std::string root = folder.size() >= 2 && folder[1] == ':' ? folder.substr(0, 2) + "\\" : "";
    if (folder.size() <= 2) {
        sys.processes.StartIn(prompt, root.empty() ? folder : root);
        return;
    }
    if (sys.processes.StartIn(prompt, folder)) return;
    // A folder the system refuses still leaves the prompt on the program's
    // drive (or, without one, where the applet is).
    sys.processes.StartIn(prompt, root);
}

}  // namespace halcfg
