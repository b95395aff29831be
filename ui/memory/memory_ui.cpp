#include "ui/memory/memory_ui.h"

#include <stdexcept>

#include "platform/callback_guard.h"

namespace ui::memory {

namespace {

std::string At(const std::vector<std::string>& v, int i) {
    return i >= 0 && i < static_cast<int>(v.size()) ? v[static_cast<size_t>(i)] : std::string();
}

}  // namespace

void MemOption::SetValue(bool selected) {
    value = selected;
    if (selected) form_.ClearOptionsExcept(this);
}

std::string MemComboBox::List(int i) const { return At(items, i); }
std::string MemListBox::List(int i) const { return At(items, i); }

void MemListBox::SetSelected(int i, bool s) {
    if (i < 0 || i >= ListCount()) return;
    if (ticked.size() < items.size()) ticked.resize(items.size());
    ticked[static_cast<size_t>(i)] = s;
}
bool MemListBox::Selected(int i) const {
    return i >= 0 && static_cast<size_t>(i) < ticked.size() && i < ListCount() && ticked[static_cast<size_t>(i)];
}

void MemTab::SetTabCaption(int tab, const std::string& text) {
    if (tab < 0) return;
    if (tab >= TabCount()) captions.resize(static_cast<size_t>(tab) + 1);
    captions[static_cast<size_t>(tab)] = text;
}

std::string MemTab::TabCaption(int tab) const { return At(captions, tab); }

std::string MemListView::ColumnHeader(int c) const { return At(headers, c); }

int MemListView::AddRow(const std::string& text) {
    Row r;
    r.cells.push_back(text);
    r.stateImage = checkBoxes ? 1 : 0;
    rows.push_back(r);
    return RowCount() - 1;
}

int MemListView::InsertRow(int index, const std::string& text) {
    if (index < 0 || index > RowCount()) index = RowCount();
    Row r;
    r.cells.push_back(text);
    r.stateImage = checkBoxes ? 1 : 0;
    rows.insert(rows.begin() + index, r);
    if (selected >= index) ++selected;
    return index;
}

void MemListView::SetCellText(int row, int column, const std::string& text) {
    if (row < 0 || row >= RowCount() || column < 0) return;
    auto& cells = rows[static_cast<size_t>(row)].cells;
    if (column >= static_cast<int>(cells.size())) cells.resize(static_cast<size_t>(column) + 1);
    cells[static_cast<size_t>(column)] = text;
}

std::string MemListView::GetItemText(int row, int column) const {
    if (row < 0 || row >= RowCount()) return {};
    return At(rows[static_cast<size_t>(row)].cells, column);
}

void MemListView::CheckItem(int row) {
    if (row >= 0 && row < RowCount()) rows[static_cast<size_t>(row)].stateImage = 2;
}

void MemListView::UncheckItem(int row) {
    if (row >= 0 && row < RowCount()) rows[static_cast<size_t>(row)].stateImage = 1;
}

bool MemListView::IsItemChecked(int row) const {
    return row >= 0 && row < RowCount() && rows[static_cast<size_t>(row)].stateImage == 2;
}

void MemListView::LockItemCheck(int row) {
    if (row >= 0 && row < RowCount()) rows[static_cast<size_t>(row)].checkLocked = true;
}

bool MemListView::ClickCheckBox(int row) {
    if (!checkBoxes || !Enabled() || !Visible() || row < 0 || row >= RowCount()) return false;
    Row& r = rows[static_cast<size_t>(row)];
    if (r.checkLocked) return false;
    r.stateImage = r.stateImage == 2 ? 1 : 2;
    return true;
}

void MemListView::SelectItem(int row) {
    if (row < 0 || row >= RowCount()) return;
    selected = row;
    focused = true;
}

void MemListView::DeleteItem(int row) {
    if (rows.empty() || row < 0 || row >= RowCount()) return;
    rows.erase(rows.begin() + row);
    if (selected == row) selected = -1;
    else if (selected > row) --selected;
}

void MemListView::SetCheckBoxes() {
    checkBoxes = true;
    for (auto& r : rows)
        if (r.stateImage == 0) r.stateImage = 1;
}

void MemListView::AutoSizeColumns(bool fitHeaders) {
    autoSize = fitHeaders ? AutoSize::ContentsAndHeaders : AutoSize::Contents;
}

void MemListView::SetColumnWidth(int column, int pixels) {
    if (column >= 0 && column < ColumnCount()) widths[static_cast<std::size_t>(column)] = pixels;
}

int MemListView::ColumnWidth(int column) const {
    return column >= 0 && column < ColumnCount() ? widths[static_cast<std::size_t>(column)] : 0;
}

int MemListView::HitTestRow(int x, int y) const {
    if (x < 0 || x >= clientWidth || y < kHeader) return -1;
    int row = (y - kHeader) / kRowHeight;
    return row < RowCount() ? row : -1;
}

int MemListView::HitTestCheckBox(int x, int y) const {
    if (!checkBoxes || y < kHeader || x < kBoxLeft || x >= kBoxRight) return -1;
    int row = (y - kHeader) / kRowHeight;
    return row < RowCount() ? row : -1;
}

std::string MemMenu::Caption(const std::string& entry) const {
    auto it = captions.find(entry);
    return it == captions.end() ? std::string() : it->second;
}

void MemMenu::Popup(const std::string& defaultEntry) {
    ++popups;
    lastDefault = defaultEntry;
    std::string chosen = pick;
    pick.clear();
    if (!chosen.empty()) form_.RunClick(chosen);
}

MemoryForm::~MemoryForm() { ui_.Forget(this); }

void MemoryForm::CheckBound(const std::string& name, bool menuEntry) const {
    for (const Binding& b : names_.controls)
        if (name == b.name) return;
    if (menuEntry)
        for (const Binding& b : names_.menuEntries)
            if (name == b.name) return;
    throw std::logic_error("form " + template_ + " has no control " + name);
}

template <class Work>
void MemoryForm::Act(Work&& work) {
    platform::Guarded(std::forward<Work>(work));
}

template <typename T>
T& MemoryForm::Get(const std::string& name) {
    auto it = controls_.find(name);
    if (it == controls_.end()) {
        CheckBound(name, false);
        std::unique_ptr<T> c;
        if constexpr (std::is_same_v<T, MemOption>) c = std::make_unique<T>(*this);
        else c = std::make_unique<T>();
        T& ref = *c;
        controls_[name] = std::move(c);
        return ref;
    }
    T* typed = dynamic_cast<T*>(it->second.get());
    if (!typed) throw std::logic_error("control " + name + " is of another kind");
    return *typed;
}

OptionButton& MemoryForm::GetOption(const std::string& n) { return Get<MemOption>(n); }

Menu& MemoryForm::GetMenu(const std::string& n) {
    if (n.empty() || n != names_.menuName) throw std::logic_error("form " + template_ + " has no menu " + n);
    auto& m = menus_[n];
    if (!m) m = std::make_unique<MemMenu>(*this);
    return *m;
}

void MemoryForm::ClearOptionsExcept(const MemOption* keep) {
    for (auto& [name, c] : controls_)
        if (auto* o = dynamic_cast<MemOption*>(c.get()); o && o != keep) o->value = false;
}

void MemoryForm::RunClick(const std::string& name) {
    auto it = clicks_.find(name);
    if (it != clicks_.end() && it->second) {
        auto handler = it->second;  // a handler may replace itself
        handler();
    }
}

bool MemoryForm::Reachable(const std::string& name) const {
    auto it = controls_.find(name);
    return it == controls_.end() || (it->second->enabled && it->second->visible);
}

void MemoryForm::Click(const std::string& name) {
    auto it = controls_.find(name);
    if (it != controls_.end()) {
        if (!it->second->enabled || !it->second->visible) return;  // a user cannot reach it
        if (auto* o = dynamic_cast<MemOption*>(it->second.get())) o->SetValue(true);
        if (auto* c = dynamic_cast<MemCheckBox*>(it->second.get())) c->value = c->value == 1 ? 0 : 1;
    }
    Act([&] { RunClick(name); });
}

void MemoryForm::SelectItem(const std::string& combo, int index) {
    auto& c = Get<MemComboBox>(combo);
    if (!c.enabled || !c.visible) return;
    c.SetListIndex(index);
    Act([&] { RunClick(combo); });
}

void MemoryForm::Type(const std::string& textBox, const std::string& text) {
    auto& box = Get<MemTextBox>(textBox);
    if (!box.enabled || !box.visible) return;
    // As a paste into an edit control: cut at its limit.
    box.SetText(box.maxLength > 0 ? text.substr(0, static_cast<size_t>(box.maxLength)) : text);
    auto it = changes_.find(textBox);
    if (it != changes_.end() && it->second) Act(it->second);
}

void MemoryForm::MouseDown(const std::string& name, const MouseEvent& e) {
    if (!Reachable(name)) return;
    auto it = mouseDowns_.find(name);
    if (it != mouseDowns_.end() && it->second) Act([&] { it->second(e); });
}

void MemoryForm::MouseUp(const std::string& name, const MouseEvent& e) {
    if (!Reachable(name)) return;
    auto it = mouseUps_.find(name);
    if (it != mouseUps_.end() && it->second) Act([&] { it->second(e); });
}

void MemoryForm::DblClick(const std::string& name) {
    if (!Reachable(name)) return;
    auto it = dblClicks_.find(name);
    if (it != dblClicks_.end() && it->second) Act(it->second);
}

void MemoryForm::KeyUp(const std::string& name, int keyCode, int shift) {
    if (!Reachable(name)) return;
    auto it = keyUps_.find(name);
    if (it != keyUps_.end() && it->second) Act([&] { it->second(keyCode, shift); });
}

void MemoryForm::TypeChar(const std::string& textBox, int character) {
    auto& box = Get<MemTextBox>(textBox);
    if (!box.enabled || !box.visible) return;
    bool accept = true;
    auto it = keyPresses_.find(textBox);
    if (it != keyPresses_.end() && it->second) Act([&] { accept = it->second(character); });
    if (!accept) return;
    if (box.allSelected) box.text.clear();
    box.allSelected = false;
    if (character == 8) {
        if (!box.text.empty()) box.text.pop_back();
    } else if (box.maxLength > 0 && box.text.size() >= static_cast<size_t>(box.maxLength)) {
        return;  // full: the edit control refuses it and nothing changes
    } else {
        box.text += static_cast<char>(character);
    }
    auto change = changes_.find(textBox);
    if (change != changes_.end() && change->second) Act(change->second);
}

void MemoryForm::Focus(const std::string& name) {
    if (!Reachable(name)) return;
    auto it = gotFocus_.find(name);
    if (it != gotFocus_.end() && it->second) Act(it->second);
}

bool MemoryForm::KeyDown(int keyCode, int shift) {
    bool swallowed = false;
    if (keyDown_) Act([&] { swallowed = keyDown_(keyCode, shift); });
    return swallowed;
}

bool MemoryForm::RequestClose() {
    // A handler that fails keeps the window, as a refusal would.
    bool close = !closeRequest_;
    if (closeRequest_) Act([&] { close = closeRequest_(); });
    if (!close) return false;
    Close();
    return true;
}

void MemoryForm::Minimize() {
    if (minimize_) Act(minimize_);
}

void MemoryForm::ShellRestarts() {
    if (shellRestart_) Act(shellRestart_);
}

void MemoryForm::SessionEnds(bool ending) {
    if (sessionEnd_) Act([&] { sessionEnd_(ending); });
}

bool MemoryForm::QueryEndSession(std::uint32_t flags) {
    bool agree = true;
    if (queryEndSession_ && !platform::Guarded([&] { agree = queryEndSession_(flags); })) agree = true;
    return agree;
}

bool MemoryForm::Tick(int id) {
    auto it = timers.find(id);
    if (it == timers.end()) return false;
    auto handler = it->second.handler;  // the handler may stop or replace it
    Act(handler);
    return true;
}

void MemoryForm::MouseMove(int x, int y) {
    if (mouseMove_) Act([&] { mouseMove_(x, y); });
}

void MemoryForm::CenterOnScreen() {
    left = (ui_.screenWidth - width) / 2;
    top = (ui_.screenHeight - height) / 2;
}

void MemoryForm::ShowModal() {
    modal = true;
    visible = true;
    closed = false;
    ui_.modalShown.push_back(template_);
    auto it = ui_.modalScripts.find(template_);
    if (it != ui_.modalScripts.end() && it->second) it->second(*this);
    // Whatever the script left open, the user closes with the close box.
    visible = false;
    modal = false;
}

void MemoryForm::Close() {
    closed = true;
    visible = false;
}

std::unique_ptr<Form> MemoryUi::CreateForm(const std::string& templateName, Form*) {
    auto t = templates.find(templateName);
    if (t == templates.end()) throw std::logic_error("template " + templateName + " is not registered");
    nextHandle_ += 4;
    auto f = std::make_unique<MemoryForm>(*this, templateName, t->second, platform::WindowHandle{nextHandle_});
    forms.push_back(f.get());
    return f;
}

int MemoryUi::MsgBox(const std::string& text, const std::string& title, int flags) {
    messageBoxes.push_back({text, title, flags});
    if (answers.empty()) return kIdOk;
    int a = answers.front();
    answers.pop_front();
    return a;
}

void MemoryUi::DoEvents() {
    ++doEvents;
    while (!queued.empty()) {
        auto event = std::move(queued.front());
        queued.pop_front();
        platform::Guarded(event);
    }
}

MemoryForm* MemoryUi::Find(const std::string& templateName) const {
    for (auto it = forms.rbegin(); it != forms.rend(); ++it)
        if ((*it)->TemplateName() == templateName) return *it;
    return nullptr;
}

void MemoryUi::Forget(MemoryForm* form) {
    std::erase(forms, form);
}

}  // namespace ui::memory
