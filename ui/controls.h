#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "ui/bindings.h"

// The controls dialog logic talks to. A native implementation drives real
// Win32 controls; an in-memory one lets tests click, type and read back.
namespace ui {

// The two system colours the dialogs use, by their OLE colour numbers.
enum class SysColor : std::uint32_t { Window = 0x80000005, ButtonFace = 0x8000000F };

class Control {
public:
    virtual ~Control() = default;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Visible() const = 0;
    virtual void SetFocus() = 0;
    // A short text shown when the pointer rests on the control, disabled or
    // not, while it is visible; "" shows none.
    virtual void SetToolTip(const std::string& text) = 0;
    virtual std::string ToolTip() const = 0;
};

class Label : public Control {
public:
    virtual void SetCaption(const std::string& text) = 0;
    virtual std::string Caption() const = 0;
};

class Button : public Label {
public:
    // The caption in a symbol font of that face (Wingdings' arrows), at the
    // size of the dialog's font.
    virtual void SetSymbolFont(const std::string& face) = 0;
    // Whether the button's font has a glyph for every character of the text.
    virtual bool HasGlyphs(const std::string& text) const = 0;
};

class Picture : public Control {
public:
    // The icon the picture shows, as a native handle (0 when none).
    virtual platform::IconHandle IconHandle() const = 0;
    virtual void SetIconHandle(platform::IconHandle icon) = 0;
};

// A check box holds 0 (unchecked) or 1 (checked).
class CheckBox : public Label {
public:
    virtual void SetValue(int value) = 0;
    virtual int Value() const = 0;
};

// Selecting an option button clears the others of its dialog.
class OptionButton : public Label {
public:
    virtual void SetValue(bool selected) = 0;
    virtual bool Value() const = 0;
};

class ComboBox : public Control {
public:
    virtual void Clear() = 0;
    virtual void AddItem(const std::string& text) = 0;
    virtual int ListCount() const = 0;
    virtual std::string List(int index) const = 0;
    virtual int ListIndex() const = 0;  // -1 when none
    virtual void SetListIndex(int index) = 0;
};

class ListBox : public Control {
public:
    virtual void Clear() = 0;
    virtual void AddItem(const std::string& text) = 0;
    virtual int ListCount() const = 0;
    virtual std::string List(int index) const = 0;
    virtual void SetBackColor(SysColor color) = 0;
    virtual SysColor BackColor() const = 0;
    // Entries of a multiple-selection list are ticked by selecting them.
    virtual void SetSelected(int index, bool selected) = 0;
    virtual bool Selected(int index) const = 0;
};

class TextBox : public Control {
public:
    virtual void SetText(const std::string& text) = 0;
    virtual std::string Text() const = 0;
    // Selects the whole text, so that typing replaces it.
    virtual void SelectAll() = 0;
    // The most characters the user can type or paste in; a text the program
    // sets is not cut.
    virtual void SetMaxLength(int characters) = 0;
};

class TabControl : public Control {
public:
    virtual int TabCount() const = 0;
    virtual void SetTabCaption(int tab, const std::string& text) = 0;
    virtual std::string TabCaption(int tab) const = 0;
    virtual int SelectedTab() const = 0;
    virtual void SelectTab(int tab) = 0;
};

// A report list view. The row primitives behave as the list-view messages
// do: a cell reads back whole, the check box is the state image (index 2
// checked, 1 unchecked, 0 none).
class ListView : public Control {
public:
    virtual void ClearColumns() = 0;
    virtual void AddColumn(const std::string& header) = 0;
    virtual int ColumnCount() const = 0;
    virtual std::string ColumnHeader(int column) const = 0;
    virtual int AddRow(const std::string& text) = 0;  // returns the new row's index
    // A row inserted before `index` (at the end when beyond it); its index.
    virtual int InsertRow(int index, const std::string& text) = 0;
    virtual void SetCellText(int row, int column, const std::string& text) = 0;
    virtual int RowCount() const = 0;

    virtual std::string GetItemText(int row, int column) const = 0;
    virtual void CheckItem(int row) = 0;
    virtual void UncheckItem(int row) = 0;
    virtual bool IsItemChecked(int row) const = 0;
    // The row's check box keeps its state against the user's clicks and
    // keys (CheckItem and UncheckItem still set it); until the row goes.
    virtual void LockItemCheck(int row) = 0;
    virtual void SelectItem(int row) = 0;
    virtual int SelectedRow() const = 0;  // -1 when none
    virtual void DeleteItem(int row) = 0;
    virtual void DeleteAllItems() = 0;
    virtual void SetFullRowSelect() = 0;
    virtual void SetCheckBoxes() = 0;
    virtual void AutoSizeColumns(bool fitHeaders) = 0;
    virtual void SetColumnWidth(int column, int pixels) = 0;
    virtual int ColumnWidth(int column) const = 0;
    // The width of the list's inside, in pixels.
    virtual int ClientWidth() const = 0;
    // The row at a point of the list's inside, or -1.
    virtual int HitTestRow(int x, int y) const = 0;
    // The row whose check box is under the client point, else -1.
    virtual int HitTestCheckBox(int x, int y) const = 0;

    virtual void SetBackColor(SysColor color) = 0;
    virtual SysColor BackColor() const = 0;
};

// A pop-up menu of named entries.
class Menu {
public:
    virtual ~Menu() = default;
    virtual void SetCaption(const std::string& entry, const std::string& text) = 0;
    virtual std::string Caption(const std::string& entry) const = 0;
    // Shows the menu at the mouse pointer with `defaultEntry` in bold; the
    // chosen entry's click handler runs before this returns.
    virtual void Popup(const std::string& defaultEntry) = 0;
};

// Shift-state bits of mouse and key events.
enum Shift : int { kShiftMask = 1, kCtrlMask = 2, kAltMask = 4 };

struct MouseEvent {
    int button = 1;  // 1 left, 2 right, 4 middle
    int shift = 0;
    int x = 0, y = 0;  // client pixels
};

// Message boxes: buttons and icon as the classic flags, answers as the
// classic result numbers.
enum MsgFlags : int {
    kMbOk = 0, kMbOkCancel = 1, kMbYesNo = 4,
    kMbCritical = 16, kMbQuestion = 32, kMbExclamation = 48, kMbInformation = 64,
};
enum MsgResult : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

enum class Pointer { Default, Hourglass };

// One dialog window built from its template, with its controls found by name
// and its events routed to handlers registered by name.
class Form {
public:
    virtual ~Form() = default;
    virtual const std::string& TemplateName() const = 0;

    virtual Label& GetLabel(const std::string& name) = 0;
    virtual Button& GetButton(const std::string& name) = 0;
    virtual CheckBox& GetCheckBox(const std::string& name) = 0;
    virtual OptionButton& GetOption(const std::string& name) = 0;
    virtual ComboBox& GetComboBox(const std::string& name) = 0;
    virtual ListBox& GetListBox(const std::string& name) = 0;
    virtual ListView& GetListView(const std::string& name) = 0;
    virtual TextBox& GetTextBox(const std::string& name) = 0;
    virtual TabControl& GetTab(const std::string& name) = 0;
    virtual Picture& GetPicture(const std::string& name) = 0;
    virtual Menu& GetMenu(const std::string& name) = 0;

    // Handlers by control name: Click (buttons, check boxes, options, menu
    // entries, combo box selection), Change (text), MouseDown.
    virtual void OnClick(const std::string& name, std::function<void()> handler) = 0;
    virtual void OnChange(const std::string& name, std::function<void()> handler) = 0;
    virtual void OnMouseDown(const std::string& name, std::function<void(const MouseEvent&)> handler) = 0;
    // A double click on a list view.
    virtual void OnDblClick(const std::string& name, std::function<void()> handler) = 0;
    virtual void OnMouseUp(const std::string& name, std::function<void(const MouseEvent&)> handler) = 0;
    // A key released while the control has the focus.
    virtual void OnKeyUp(const std::string& name, std::function<void(int keyCode, int shift)> handler) = 0;
    // A character typed into a text box (8 for Backspace); return false to
    // discard it.
    virtual void OnKeyPress(const std::string& name, std::function<bool(int character)> handler) = 0;
    virtual void OnGotFocus(const std::string& name, std::function<void()> handler) = 0;
    // Keys reach the dialog before its controls; return true to swallow one.
    virtual void OnKeyDown(std::function<bool(int keyCode, int shift)> handler) = 0;
    // The close box or any other request to close; return false to refuse.
    virtual void OnCloseRequest(std::function<bool()> handler) = 0;
    // The minimise box: the handler decides what happens instead.
    virtual void OnMinimize(std::function<void()> handler) = 0;
    // Mouse moves over the window itself, in client pixels. The tray icon's
    // callback arrives this way, its mouse message in x.
    virtual void OnMouseMove(std::function<void(int x, int y)> handler) = 0;
    // The shell's taskbar was (re)created: its notification area is new and
    // empty, and its process may be another.
    virtual void OnShellRestart(std::function<void()> handler) = 0;
    // Windows tells how the end of the session it asked about turned out:
    // true, it ends now; false, it was cancelled and the session goes on.
    virtual void OnSessionEnd(std::function<void(bool ending)> handler) = 0;
    // Windows asks whether the session may end, with the flags of its
    // question (platform::Session::kEndsLogoff, kEndsCritical); the handler's
    // answer is the window's. Without a handler, or when it fails, the
    // window agrees.
    virtual void OnQueryEndSession(std::function<bool(std::uint32_t flags)> handler) = 0;
    // Runs `handler` every `milliseconds` on the window's thread until
    // StopTimer; a timer's id is above 0, and starting it again replaces it.
    virtual void StartTimer(int id, unsigned milliseconds, std::function<void()> handler) = 0;
    virtual void StopTimer(int id) = 0;

    virtual void SetCaption(const std::string& text) = 0;
    virtual std::string Caption() const = 0;
    virtual void SetHeightTwips(int twips) = 0;
    virtual int HeightTwips() const = 0;
    virtual int WidthTwips() const = 0;
    virtual void MoveTwips(int left, int top) = 0;
    virtual void CenterOnScreen() = 0;
    virtual void SetTopmost() = 0;
    virtual void SetFont(const std::string& face) = 0;

    virtual void ShowModeless() = 0;
    // Runs until the dialog closes.
    virtual void ShowModal() = 0;
    virtual void Hide() = 0;
    virtual bool IsVisible() const = 0;
    // Ends a modal showing, or destroys a modeless window.
    virtual void Close() = 0;
    // A native handle of the window.
    virtual platform::WindowHandle Handle() const = 0;
    // The window keeps its keyboard and mouse input while the program waits
    // for a program or a service; every other window loses it meanwhile.
    virtual void KeepInputDuringWaits() = 0;
    // The window has its own taskbar button and comes to the front when it
    // shows, although it has an owner (a hidden one, say).
    virtual void ShowInTaskbar() = 0;
};

// The windowing of the whole program.
class Ui {
public:
    virtual ~Ui() = default;
    // Names a template's controls (and its pop-up menu's entries) by their
    // IDs. A form can only be created from a registered template, and only
    // its names can be asked for or bound to handlers.
    virtual void RegisterTemplate(const std::string& templateName, const std::vector<Binding>& controls,
                                  const std::string& menuName = "", const std::vector<Binding>& menuEntries = {}) = 0;
    virtual std::unique_ptr<Form> CreateForm(const std::string& templateName, Form* owner) = 0;
    virtual int MsgBox(const std::string& text, const std::string& title, int flags) = 0;
    virtual void SetPointer(Pointer pointer) = 0;
    // Screen size in twips.
    virtual int ScreenWidthTwips() const = 0;
    virtual int ScreenHeightTwips() const = 0;
    // Lets pending window messages run once.
    virtual void DoEvents() = 0;
};

}  // namespace ui
