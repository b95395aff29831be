#pragma once
// Inside of the native UI: the form and the control wrappers. Only the
// files of ui/win32 and its tests include this.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/win32/native_ui.h"


namespace ui::win32 {

class NativeForm;
class NativeControlBase;

// Gives a control its tool tip on the form's tool-tip window.
void SetControlToolTip(NativeForm& form, NativeControlBase& control, const std::string& text);

// What every wrapper has, whatever its interface.
class NativeControlBase {
public:
    NativeControlBase(NativeForm& form, HWND hwnd, std::string name)
        : form_(form), hwnd_(hwnd), name_(std::move(name)) {}
    virtual ~NativeControlBase() = default;
    HWND hwnd() const { return hwnd_; }
    const std::string& name() const { return name_; }
    // The tool tip as the tool-tip window asks for it: empty while hidden.
    const std::wstring& toolTipWide() const { return toolTipWide_; }

protected:
    friend void SetControlToolTip(NativeForm& form, NativeControlBase& control, const std::string& text);
    NativeForm& form_;
    HWND hwnd_;
    std::string name_;
    std::string toolTip_;
    std::wstring toolTipWide_;
};

template <class Interface>
class NativeControl : public Interface, public NativeControlBase {
public:
    using NativeControlBase::NativeControlBase;
    void SetEnabled(bool enabled) override { ::EnableWindow(hwnd_, enabled ? TRUE : FALSE); }
    bool Enabled() const override { return ::IsWindowEnabled(hwnd_) != FALSE; }
    // The window's own flag: a control of a hidden form still reads visible.
    void SetVisible(bool visible) override { ::ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE); }
    bool Visible() const override { return (::GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }
    void SetFocus() override { ::SetFocus(hwnd_); }
    void SetToolTip(const std::string& text) override { SetControlToolTip(form_, *this, text); }
    std::string ToolTip() const override { return toolTip_; }
};

std::string WindowText(HWND hwnd);
void SetWindowTextUtf8(HWND hwnd, const std::string& text);

// Controls whose caption is their window text.
template <class Interface>
class NativeCaptioned : public NativeControl<Interface> {
public:
    using NativeControl<Interface>::NativeControl;
    void SetCaption(const std::string& text) override { SetWindowTextUtf8(this->hwnd_, text); }
    std::string Caption() const override { return WindowText(this->hwnd_); }
};

// Static text and push buttons: both only have a caption.
class NativeLabel : public NativeCaptioned<ui::Button> {
public:
    using NativeCaptioned::NativeCaptioned;
    ~NativeLabel() override;
    void SetSymbolFont(const std::string& face) override;
    bool HasGlyphs(const std::string& text) const override;

private:
    HFONT symbolFont_ = nullptr;
};

// A link: its caption shown as one link the keyboard reaches too; Enter,
// Space and a click on it are its click.
class NativeLink : public NativeLabel {
public:
    using NativeLabel::NativeLabel;
    void SetCaption(const std::string& text) override;
    std::string Caption() const override { return text_; }

private:
    std::string text_;
};

class NativePicture : public NativeControl<ui::Picture> {
public:
    using NativeControl::NativeControl;
    platform::IconHandle IconHandle() const override;
    void SetIconHandle(platform::IconHandle icon) override;
};

class NativeCheckBox : public NativeCaptioned<ui::CheckBox> {
public:
    using NativeCaptioned::NativeCaptioned;
    void SetValue(int value) override;
    int Value() const override;
};

class NativeOption : public NativeCaptioned<ui::OptionButton> {
public:
    using NativeCaptioned::NativeCaptioned;
    void SetValue(bool selected) override;
    bool Value() const override;
};

class NativeComboBox : public NativeControl<ui::ComboBox> {
public:
    using NativeControl::NativeControl;
    void Clear() override;
    void AddItem(const std::string& text) override;
    int ListCount() const override;
    std::string List(int index) const override;
    int ListIndex() const override;
    void SetListIndex(int index) override;
};

class NativeListBox : public NativeControl<ui::ListBox> {
public:
    using NativeControl::NativeControl;
    void Clear() override;
    void AddItem(const std::string& text) override;
    int ListCount() const override;
    std::string List(int index) const override;
    void SetBackColor(ui::SysColor color) override;
    ui::SysColor BackColor() const override { return color_; }
    void SetSelected(int index, bool selected) override;
    bool Selected(int index) const override;

private:
    ui::SysColor color_ = ui::SysColor::Window;
};

class NativeTextBox : public NativeControl<ui::TextBox> {
public:
    NativeTextBox(NativeForm& form, HWND hwnd, std::string name);
    void SetText(const std::string& text) override;
    std::string Text() const override { return WindowText(hwnd_); }
    void SelectAll() override { ::SendMessageW(hwnd_, EM_SETSEL, 0, -1); }
    void SetMaxLength(int characters) override {
        ::SendMessageW(hwnd_, EM_LIMITTEXT, static_cast<WPARAM>(characters > 0 ? characters : 0), 0);
    }
};

class NativeTab : public NativeControl<ui::TabControl> {
public:
    using NativeControl::NativeControl;
    int TabCount() const override;
    void SetTabCaption(int tab, const std::string& text) override;
    std::string TabCaption(int tab) const override;
    int SelectedTab() const override;
    void SelectTab(int tab) override;
};

class NativeListView : public NativeControl<ui::ListView> {
public:
    using NativeControl::NativeControl;
    void ClearColumns() override;
    void AddColumn(const std::string& header) override;
    int ColumnCount() const override;
    std::string ColumnHeader(int column) const override;
    int AddRow(const std::string& text) override;
    int InsertRow(int index, const std::string& text) override;
    void SetCellText(int row, int column, const std::string& text) override;
    int RowCount() const override;

    std::string GetItemText(int row, int column) const override;
    void CheckItem(int row) override;
    void UncheckItem(int row) override;
    bool IsItemChecked(int row) const override;
    void LockItemCheck(int row) override;
    // Whether the change a list reports before making it is a check the
    // user may not make.
    bool RefusesChange(const NMLISTVIEW& change) const;
    void SelectItem(int row) override;
    int SelectedRow() const override;
    void DeleteItem(int row) override;
    void DeleteAllItems() override;
    void SetFullRowSelect() override;
    void SetCheckBoxes() override;
    void AutoSizeColumns(bool fitHeaders) override;
    void SetColumnWidth(int column, int pixels) override;
    int ColumnWidth(int column) const override;
    int ClientWidth() const override;
    int HitTestRow(int x, int y) const override;
    int HitTestCheckBox(int x, int y) const override;

    void SetBackColor(ui::SysColor color) override;
    ui::SysColor BackColor() const override { return color_; }

private:
    void AddExtendedStyle(DWORD bits);
    void SetCheckState(int row, UINT state);
    // The row at a point when the point is on `part` of it, else -1.
    int HitTest(int x, int y, UINT part) const;
    bool settingCheck_ = false;  // a check set by the program, not the user
    ui::SysColor color_ = ui::SysColor::Window;
    bool colorApplied_ = false;
};

class NativeMenu : public ui::Menu {
public:
    NativeMenu(NativeForm& form, HMENU bar, const std::vector<ui::Binding>& entries);
    ~NativeMenu() override;
    NativeMenu(const NativeMenu&) = delete;
    NativeMenu& operator=(const NativeMenu&) = delete;
    void SetCaption(const std::string& entry, const std::string& text) override;
    std::string Caption(const std::string& entry) const override;
    void Popup(const std::string& defaultEntry) override;

private:
    UINT Command(const std::string& entry) const;
    NativeForm& form_;
    HMENU bar_;
    HMENU popup_;
    std::map<std::string, UINT> commands_;
};

class NativeForm : public ui::Form {
public:
    NativeForm(HINSTANCE module, const std::string& templateName, const NativeUi::Template& tmpl, HWND owner);
    ~NativeForm() override;
    NativeForm(const NativeForm&) = delete;
    NativeForm& operator=(const NativeForm&) = delete;

    const std::string& TemplateName() const override { return templateName_; }

    ui::Label& GetLabel(const std::string& name) override;
    ui::Button& GetButton(const std::string& name) override;
    ui::CheckBox& GetCheckBox(const std::string& name) override;
    ui::OptionButton& GetOption(const std::string& name) override;
    ui::ComboBox& GetComboBox(const std::string& name) override;
    ui::ListBox& GetListBox(const std::string& name) override;
    ui::ListView& GetListView(const std::string& name) override;
    ui::TextBox& GetTextBox(const std::string& name) override;
    ui::TabControl& GetTab(const std::string& name) override;
    ui::Picture& GetPicture(const std::string& name) override;
    ui::Menu& GetMenu(const std::string& name) override;

    void OnClick(const std::string& name, std::function<void()> handler) override;
    void OnChange(const std::string& name, std::function<void()> handler) override;
    void OnMouseDown(const std::string& name, std::function<void(const ui::MouseEvent&)> handler) override;
    void OnDblClick(const std::string& name, std::function<void()> handler) override;
    void OnMouseUp(const std::string& name, std::function<void(const ui::MouseEvent&)> handler) override;
    void OnKeyUp(const std::string& name, std::function<void(int keyCode, int shift)> handler) override;
    void OnKeyPress(const std::string& name, std::function<bool(int character)> handler) override;
    void OnGotFocus(const std::string& name, std::function<void()> handler) override;
    void OnKeyDown(std::function<bool(int keyCode, int shift)> handler) override;
    void OnCloseRequest(std::function<bool()> handler) override;
    void OnMinimize(std::function<void()> handler) override { minimize_ = std::move(handler); }
    void OnMouseMove(std::function<void(int, int)> handler) override { mouseMove_ = std::move(handler); }
    void OnShellRestart(std::function<void()> handler) override { shellRestart_ = std::move(handler); }
    void OnSessionEnd(std::function<void(bool)> handler) override { sessionEnd_ = std::move(handler); }
    void OnQueryEndSession(std::function<bool(std::uint32_t)> handler) override {
        queryEndSession_ = std::move(handler);
    }
    void StartTimer(int id, unsigned milliseconds, std::function<void()> handler) override;
    void StopTimer(int id) override;
    // Runs the shell-restart handler, if any.
    void RunShellRestart();
    // Registers `control` with the form's tool-tip window, made on first use.
    void AddToolTip(NativeControlBase& control);

    void SetCaption(const std::string& text) override;
    std::string Caption() const override { return WindowText(hwnd_); }

    void SetHeightTwips(int twips) override;
    int HeightTwips() const override;
    int WidthTwips() const override;
    void MoveTwips(int left, int top) override;
    void CenterOnScreen() override;
    void SetTopmost() override;
    void SetFont(const std::string& face) override;

    void ShowModeless() override;
    void ShowModal() override;
    void Hide() override;
    bool IsVisible() const override;
    void Close() override;
    platform::WindowHandle Handle() const override { return {reinterpret_cast<std::uintptr_t>(hwnd_)}; }
    void KeepInputDuringWaits() override;
    void ShowInTaskbar() override;

    HWND hwnd() const { return hwnd_; }
    // Runs the Click handler registered under `name`, if any.
    void RunClick(const std::string& name);
    // Clears every option button but `keep`.
    void ClearOptionsExcept(HWND keep);
    // Offers a key to the key handler; true when the handler swallowed it.
    bool PreviewKey(const MSG& msg);
    // Runs the handlers of a control's button and key releases (after the
    // control had the message) and typed characters (before); true when the
    // message was dealt with here.
    bool PreviewInput(MSG& msg);

    // The form a window belongs to (the form itself or one of its
    // descendants), or null.
    static NativeForm* Owning(HWND hwnd);
    // Every live form, for the dialog manager in message loops.
    static const std::vector<NativeForm*>& Live();

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR data);
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code, HWND control);
    // The text of a tool the tool-tip window asks for.
    void ToolTipText(NMTTDISPINFOW& info);
    template <class T>
    T& Get(const std::string& name, const char* kind);
    void RunChange(const std::string& name);
    void CheckBound(const std::string& name, bool menuEntry) const;
    void Subclass(const std::string& name);
    // Labels, check boxes, options and group boxes lying on a tab control's
    // page take the page's own (themed) background, not the dialog's.
    INT_PTR PageBackground(HDC dc, HWND control);
    bool EraseWithPage(HDC dc);
    // The brush of the visible tab control's page, with the tab and the
    // page's screen rectangle; null without a tab control.
    HBRUSH PageBrush(HWND& tab, RECT& page);

    HINSTANCE module_;
    std::string templateName_;
    NativeUi::Template template_;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    // The tab control's page as it paints itself, for PageBackground.
    HBRUSH pageBrush_ = nullptr;
    HWND pageBrushTab_ = nullptr;
    SIZE pageBrushSize_{};
    bool buildingPageBrush_ = false;
    bool inTaskbar_ = false;
    bool modal_ = false;
    bool modalDone_ = false;
    std::map<std::string, std::unique_ptr<NativeControlBase>> controls_;
    std::map<int, NativeControlBase*> byId_;
    std::map<std::string, std::unique_ptr<NativeMenu>> menus_;
    std::map<std::string, std::function<void()>> clicks_, changes_;
    std::map<std::string, std::function<void(const ui::MouseEvent&)>> mouseDowns_, mouseUps_;
    std::map<std::string, std::function<void()>> dblClicks_, gotFocus_;
    std::map<std::string, std::function<void(int, int)>> keyUps_;
    std::map<std::string, std::function<bool(int)>> keyPresses_;
    std::set<HWND> subclassed_;
    std::function<bool(int, int)> keyDown_;
    std::function<bool()> closeRequest_;
    std::function<void()> minimize_;
    std::function<void(int, int)> mouseMove_;
    std::function<void()> shellRestart_;
    std::function<void(bool)> sessionEnd_;
    std::function<bool(std::uint32_t)> queryEndSession_;
    std::map<int, std::function<void()>> timers_;
    HWND toolTips_ = nullptr;
    std::set<HWND> tipped_;  // controls registered with it
};

// The screen's dots per inch, horizontally or vertically, and conversions
// between twips (1440 an inch) and pixels at that resolution.
int ScreenDpi(bool vertical);
int TwipsToPixels(int twips, bool vertical);
int PixelsToTwips(int pixels, bool vertical);
// The GetSysColor index of a system colour.
int SysColorOf(ui::SysColor color);
// Shift-state bits of the keyboard now.
int ShiftState();
// Gives a message to the forms' key handlers and the dialog manager;
// true when it was consumed there.
bool PreTranslate(MSG& msg);

}  // namespace ui::win32
