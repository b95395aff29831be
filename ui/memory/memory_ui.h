#pragma once
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ui/controls.h"

// Controls held in memory, for tests: every caption, state and colour can be
// read back, and a test can click, type, tick and answer prompts.
namespace ui::memory {

class MemoryControl {
public:
    virtual ~MemoryControl() = default;
    bool enabled = true;
    bool visible = true;
    bool focused = false;
    std::string toolTip;
};

// The state every control has, whatever its interface.
template <class Interface>
class Mem : public Interface, public MemoryControl {
public:
    void SetEnabled(bool e) override { enabled = e; }
    bool Enabled() const override { return enabled; }
    void SetVisible(bool v) override { visible = v; }
    bool Visible() const override { return visible; }
    void SetFocus() override { focused = true; }
    void SetToolTip(const std::string& t) override { toolTip = t; }
    std::string ToolTip() const override { return toolTip; }
};

// Controls with a caption.
template <class Interface>
class MemCaptioned : public Mem<Interface> {
public:
    void SetCaption(const std::string& t) override { caption = t; }
    std::string Caption() const override { return caption; }
    std::string caption;
};

class MemLabel : public MemCaptioned<Button> {
public:
    void SetSymbolFont(const std::string& face) override { symbolFont = face; }
    bool HasGlyphs(const std::string& text) const override { return missingGlyphs.find(text) == missingGlyphs.end(); }
    std::string symbolFont;
    std::set<std::string> missingGlyphs;  // texts the font cannot show
};

class MemPicture : public Mem<Picture> {
public:
    platform::IconHandle IconHandle() const override { return icon; }
    void SetIconHandle(platform::IconHandle h) override { icon = h; }
    platform::IconHandle icon{0x1CE};
};

class MemCheckBox : public MemCaptioned<CheckBox> {
public:
    void SetValue(int v) override { value = v; }
    int Value() const override { return value; }
    int value = 0;
};

class MemoryForm;

class MemOption : public MemCaptioned<OptionButton> {
public:
    explicit MemOption(MemoryForm& form) : form_(form) {}
    void SetValue(bool selected) override;
    bool Value() const override { return value; }
    bool value = false;

private:
    MemoryForm& form_;
};

class MemComboBox : public Mem<ComboBox> {
public:
    void Clear() override { items.clear(); index = -1; }
    void AddItem(const std::string& t) override { items.push_back(t); }
    int ListCount() const override { return static_cast<int>(items.size()); }
    std::string List(int i) const override;
    int ListIndex() const override { return index; }
    void SetListIndex(int i) override { index = (i >= 0 && i < ListCount()) ? i : -1; }
    std::vector<std::string> items;
    int index = -1;
};

class MemListBox : public Mem<ListBox> {
public:
    void Clear() override { items.clear(); ticked.clear(); }
    void AddItem(const std::string& t) override { items.push_back(t); }
    int ListCount() const override { return static_cast<int>(items.size()); }
    std::string List(int i) const override;
    void SetBackColor(SysColor c) override { color = c; }
    SysColor BackColor() const override { return color; }
    void SetSelected(int i, bool s) override;
    bool Selected(int i) const override;
    std::vector<std::string> items;
    std::vector<bool> ticked;  // by index; shorter than items where never ticked
    SysColor color = SysColor::Window;
};

class MemTextBox : public Mem<TextBox> {
public:
    void SetText(const std::string& t) override { text = t; allSelected = false; }
    std::string Text() const override { return text; }
    void SelectAll() override { allSelected = true; }
    void SetMaxLength(int characters) override { maxLength = characters; }
    std::string text;
    bool allSelected = false;
    int maxLength = 0;  // 0: no limit
};

class MemTab : public Mem<TabControl> {
public:
    int TabCount() const override { return static_cast<int>(captions.size()); }
    void SetTabCaption(int tab, const std::string& text) override;
    std::string TabCaption(int tab) const override;
    int SelectedTab() const override { return selected; }
    void SelectTab(int tab) override { selected = tab; }
    std::vector<std::string> captions;
    int selected = 0;
};

// Rows are 16 pixels high under a 20-pixel header; a row's check box spans
// x 2..17, as a report list view with small icons lays them out.
class MemListView : public Mem<ListView> {
public:
    static constexpr int kHeader = 20, kRowHeight = 16, kBoxLeft = 2, kBoxRight = 18;
    enum class AutoSize { None, Contents, ContentsAndHeaders };
    struct Row {
        std::vector<std::string> cells;
        int stateImage = 0;  // 0 none, 1 unchecked, 2 checked
        bool checkLocked = false;
    };

    void ClearColumns() override {
        headers.clear();
        widths.clear();
    }
    void AddColumn(const std::string& h) override {
        headers.push_back(h);
        widths.push_back(kDefaultColumnWidth);
    }
    int ColumnCount() const override { return static_cast<int>(headers.size()); }
    std::string ColumnHeader(int c) const override;
    int AddRow(const std::string& text) override;
    int InsertRow(int index, const std::string& text) override;
    void SetCellText(int row, int column, const std::string& text) override;
    int RowCount() const override { return static_cast<int>(rows.size()); }
    std::string GetItemText(int row, int column) const override;
    void CheckItem(int row) override;
    void UncheckItem(int row) override;
    bool IsItemChecked(int row) const override;
    void LockItemCheck(int row) override;
    // The user's click on the row's check box: refused while disabled or
    // locked, as the native list refuses it.
    bool ClickCheckBox(int row);
    void SelectItem(int row) override;
    int SelectedRow() const override { return selected; }
    void DeleteItem(int row) override;
    void DeleteAllItems() override { rows.clear(); selected = -1; }
    void SetFullRowSelect() override { fullRowSelect = true; }
    void SetCheckBoxes() override;
    void AutoSizeColumns(bool fitHeaders) override;
    void SetColumnWidth(int column, int pixels) override;
    int ColumnWidth(int column) const override;
    int ClientWidth() const override { return clientWidth; }
    int HitTestRow(int x, int y) const override;
    int HitTestCheckBox(int x, int y) const override;
    void SetBackColor(SysColor c) override { color = c; }
    SysColor BackColor() const override { return color; }

    static constexpr int kDefaultColumnWidth = 100;
    std::vector<std::string> headers;
    std::vector<int> widths;  // by column, as set; autosizing leaves them
    int clientWidth = 340;
    std::vector<Row> rows;
    int selected = -1;
    bool fullRowSelect = false;
    bool checkBoxes = false;
    AutoSize autoSize = AutoSize::None;
    SysColor color = SysColor::Window;
};

class MemMenu : public Menu {
public:
    explicit MemMenu(MemoryForm& form) : form_(form) {}
    void SetCaption(const std::string& entry, const std::string& text) override { captions[entry] = text; }
    std::string Caption(const std::string& entry) const override;
    void Popup(const std::string& defaultEntry) override;

    std::map<std::string, std::string> captions;
    std::string lastDefault;
    int popups = 0;
    // The entry a test picks when the menu pops up ("" picks nothing).
    std::string pick;

private:
    MemoryForm& form_;
};

class MemoryUi;

class MemoryForm : public Form {
public:
    struct Names {
        std::vector<Binding> controls;
        std::string menuName;
        std::vector<Binding> menuEntries;
    };
    MemoryForm(MemoryUi& ui, std::string templateName, Names names, platform::WindowHandle handle)
        : ui_(ui), template_(std::move(templateName)), names_(std::move(names)), handle_(handle) {}
    ~MemoryForm() override;
    const std::string& TemplateName() const override { return template_; }

    Label& GetLabel(const std::string& n) override { return Get<MemLabel>(n); }
    Button& GetButton(const std::string& n) override { return Get<MemLabel>(n); }
    CheckBox& GetCheckBox(const std::string& n) override { return Get<MemCheckBox>(n); }
    OptionButton& GetOption(const std::string& n) override;
    ComboBox& GetComboBox(const std::string& n) override { return Get<MemComboBox>(n); }
    ListBox& GetListBox(const std::string& n) override { return Get<MemListBox>(n); }
    ListView& GetListView(const std::string& n) override { return Get<MemListView>(n); }
    TextBox& GetTextBox(const std::string& n) override { return Get<MemTextBox>(n); }
    TabControl& GetTab(const std::string& n) override { return Get<MemTab>(n); }
    Picture& GetPicture(const std::string& n) override { return Get<MemPicture>(n); }
    Menu& GetMenu(const std::string& n) override;

    void OnClick(const std::string& n, std::function<void()> h) override {
        CheckBound(n, true);
        clicks_[n] = std::move(h);
    }
    void OnChange(const std::string& n, std::function<void()> h) override {
        CheckBound(n, false);
        changes_[n] = std::move(h);
    }
    void OnMouseDown(const std::string& n, std::function<void(const MouseEvent&)> h) override {
        CheckBound(n, false);
        mouseDowns_[n] = std::move(h);
    }
    void OnDblClick(const std::string& n, std::function<void()> h) override {
        CheckBound(n, false);
        dblClicks_[n] = std::move(h);
    }
    void OnMouseUp(const std::string& n, std::function<void(const MouseEvent&)> h) override {
        CheckBound(n, false);
        mouseUps_[n] = std::move(h);
    }
    void OnKeyUp(const std::string& n, std::function<void(int, int)> h) override {
        CheckBound(n, false);
        keyUps_[n] = std::move(h);
    }
    void OnKeyPress(const std::string& n, std::function<bool(int)> h) override {
        CheckBound(n, false);
        keyPresses_[n] = std::move(h);
    }
    void OnGotFocus(const std::string& n, std::function<void()> h) override {
        CheckBound(n, false);
        gotFocus_[n] = std::move(h);
    }
    void OnKeyDown(std::function<bool(int, int)> h) override { keyDown_ = std::move(h); }
    void OnCloseRequest(std::function<bool()> h) override { closeRequest_ = std::move(h); }
    void OnMinimize(std::function<void()> h) override { minimize_ = std::move(h); }
    void OnMouseMove(std::function<void(int, int)> h) override { mouseMove_ = std::move(h); }
    void OnShellRestart(std::function<void()> h) override { shellRestart_ = std::move(h); }
    void OnSessionEnd(std::function<void(bool)> h) override { sessionEnd_ = std::move(h); }
    void OnQueryEndSession(std::function<bool(std::uint32_t)> h) override { queryEndSession_ = std::move(h); }
    void StartTimer(int id, unsigned ms, std::function<void()> h) override { timers[id] = {ms, std::move(h)}; }
    void StopTimer(int id) override { timers.erase(id); }

    void SetCaption(const std::string& t) override { caption = t; }
    std::string Caption() const override { return caption; }

    void SetHeightTwips(int t) override { height = t; }
    int HeightTwips() const override { return height; }
    int WidthTwips() const override { return width; }
    void MoveTwips(int l, int t) override { left = l; top = t; }
    void CenterOnScreen() override;
    void SetTopmost() override { topmost = true; }
    void SetFont(const std::string& face) override { font = face; }
    void ShowModeless() override { visible = true; }
    void ShowModal() override;
    void Hide() override { visible = false; }
    bool IsVisible() const override { return visible; }
    void Close() override;
    // Each form a handle of its own, as each window has.
    platform::WindowHandle Handle() const override { return handle_; }
    void KeepInputDuringWaits() override { keepsInputDuringWaits = true; }
    void ShowInTaskbar() override { inTaskbar = true; }

    // What a user does. Clicks change the control as a real click would
    // (an option is selected, a check box toggles), then run the handler.
    // As on Windows, a disabled or hidden control takes no input at all.
    void Click(const std::string& name);
    void SelectItem(const std::string& combo, int index);
    void Type(const std::string& textBox, const std::string& text);
    void MouseDown(const std::string& name, const MouseEvent& e);
    void MouseUp(const std::string& name, const MouseEvent& e);
    void DblClick(const std::string& name);
    void KeyUp(const std::string& name, int keyCode, int shift = 0);
    // Types one character as the keyboard does: the key-press handler may
    // discard it; Backspace (8) takes the last character away.
    void TypeChar(const std::string& textBox, int character);
    // Gives the control the focus.
    void Focus(const std::string& name);
    bool KeyDown(int keyCode, int shift = 0);
    bool RequestClose();
    void Minimize();
    void MouseMove(int x, int y);
    // A new taskbar announces itself.
    void ShellRestarts();
    // Windows ends the session (true) or says the end was cancelled (false).
    void SessionEnds(bool ending);
    // Windows asks whether the session may end; the window's answer.
    bool QueryEndSession(std::uint32_t flags);
    // A running timer's interval elapses once; false when it is not running.
    bool Tick(int id);
    bool HasHandler(const std::string& name) const { return clicks_.count(name) > 0; }

    // Every option button of the form, for the exclusive rule.
    void ClearOptionsExcept(const MemOption* keep);
    void RunClick(const std::string& name);

    std::string caption;
    int height = 0, width = 6000, left = 0, top = 0;
    bool visible = false, topmost = false, closed = false, modal = false;
    bool keepsInputDuringWaits = false;
    bool inTaskbar = false;
    std::string font;
    struct Timer {
        unsigned milliseconds = 0;
        std::function<void()> handler;
    };
    std::map<int, Timer> timers;  // running, by id

private:
    template <typename T>
    T& Get(const std::string& name);
    // Enabled and visible, or not made yet (its defaults are both).
    bool Reachable(const std::string& name) const;
    void CheckBound(const std::string& name, bool menuEntry) const;
    // A user's action runs its handler the way the native form does: an
    // exception ends the handler and is reported, never passed on.
    template <class Work>
    void Act(Work&& work);

    MemoryUi& ui_;
    std::string template_;
    Names names_;
    platform::WindowHandle handle_;
    std::map<std::string, std::unique_ptr<MemoryControl>> controls_;
    std::map<std::string, std::unique_ptr<MemMenu>> menus_;
    std::map<std::string, std::function<void()>> clicks_, changes_;
    std::map<std::string, std::function<void(const MouseEvent&)>> mouseDowns_, mouseUps_;
    std::map<std::string, std::function<void()>> dblClicks_, gotFocus_;
    std::map<std::string, std::function<void(int, int)>> keyUps_;
    std::map<std::string, std::function<bool(int)>> keyPresses_;
    std::function<bool(int, int)> keyDown_;
    std::function<bool()> closeRequest_;
    std::function<void()> minimize_;
    std::function<void(int, int)> mouseMove_;
    std::function<void()> shellRestart_;
    std::function<void(bool)> sessionEnd_;
    std::function<bool(std::uint32_t)> queryEndSession_;
};

class MemoryUi : public Ui {
public:
    struct MessageBoxCall {
        std::string text, title;
        int flags;
    };

    void RegisterTemplate(const std::string& templateName, const std::vector<Binding>& controls,
                          const std::string& menuName = "", const std::vector<Binding>& menuEntries = {}) override {
        templates[templateName] = {controls, menuName, menuEntries};
    }
    std::unique_ptr<Form> CreateForm(const std::string& templateName, Form* owner) override;
    int MsgBox(const std::string& text, const std::string& title, int flags) override;
    void SetPointer(Pointer p) override { pointer = p; }
    int ScreenWidthTwips() const override { return screenWidth; }
    int ScreenHeightTwips() const override { return screenHeight; }
    // Lets the events a test queued run, as pending window messages would.
    void DoEvents() override;
    void Post(std::function<void()> event) { queued.push_back(std::move(event)); }

    // What the user does when a dialog of this template is shown modally.
    void OnModal(const std::string& templateName, std::function<void(MemoryForm&)> script) {
        modalScripts[templateName] = std::move(script);
    }
    // Answers for the next message boxes; OK when none is queued.
    void Answer(int result) { answers.push_back(result); }

    std::map<std::string, MemoryForm::Names> templates;
    std::vector<MessageBoxCall> messageBoxes;
    std::deque<int> answers;
    std::map<std::string, std::function<void(MemoryForm&)>> modalScripts;
    std::vector<std::string> modalShown;  // template names, in order
    std::vector<MemoryForm*> forms;       // forms alive, newest last
    Pointer pointer = Pointer::Default;
    int screenWidth = 1024 * 15, screenHeight = 768 * 15;
    int doEvents = 0;
    std::deque<std::function<void()>> queued;

    MemoryForm* Find(const std::string& templateName) const;
    // The handle the next form gets: each form has one of its own.
    platform::WindowHandle NextFormHandle() const { return {nextHandle_ + 4}; }
    void Forget(MemoryForm* form);

private:
    std::uintptr_t nextHandle_ = 0x10000;
};

}  // namespace ui::memory
