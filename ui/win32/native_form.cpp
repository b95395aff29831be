#include "ui/win32/native_form.h"

#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

#include "platform/callback_guard.h"
#include "platform/win32/text.h"
#include "platform/win32/wait_win32.h"

using platform::win32::Narrow;
using platform::win32::Widen;

namespace ui::win32 {

namespace {

std::vector<NativeForm*>& Forms() {
    static std::vector<NativeForm*> forms;
    return forms;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

bool IsClass(const std::wstring& cls, const wchar_t* name) { return ::lstrcmpiW(cls.c_str(), name) == 0; }

constexpr UINT_PTR kSubclassId = 0x4861;  // mouse-down routing

// An entry of an owner-drawn multiple-selection list: a check box that is
// ticked when the entry is selected, then its text. Selection is shown by
// the tick alone, as the users of such lists expect.
void DrawTickedEntry(const DRAWITEMSTRUCT& di) {
    HDC dc = di.hDC;
    RECT row = di.rcItem;
    ::FillRect(dc, &row, ::GetSysColorBrush(COLOR_WINDOW));
    if (di.itemID != static_cast<UINT>(-1)) {
        int height = row.bottom - row.top;
        int box = height > 17 ? 13 : height - 4;
        RECT b{row.left + 2, row.top + (height - box) / 2, row.left + 2 + box, row.top + (height - box) / 2 + box};
        ::DrawFrameControl(dc, &b, DFC_BUTTON,
                           DFCS_BUTTONCHECK | DFCS_FLAT | ((di.itemState & ODS_SELECTED) ? DFCS_CHECKED : 0));
        LRESULT len = ::SendMessageW(di.hwndItem, LB_GETTEXTLEN, di.itemID, 0);
        if (len > 0) {
            std::wstring text(static_cast<size_t>(len) + 1, L'\0');
            len = ::SendMessageW(di.hwndItem, LB_GETTEXT, di.itemID, reinterpret_cast<LPARAM>(text.data()));
            RECT t{b.right + 4, row.top, row.right, row.bottom};
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, ::GetSysColor((di.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
            ::DrawTextW(dc, text.c_str(), len > 0 ? static_cast<int>(len) : 0, &t,
                        DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
    }
    if (di.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &row);
}

}  // namespace

int ShiftState() {
    int shift = 0;
    if (::GetKeyState(VK_SHIFT) < 0) shift |= ui::kShiftMask;
    if (::GetKeyState(VK_CONTROL) < 0) shift |= ui::kCtrlMask;
    if (::GetKeyState(VK_MENU) < 0) shift |= ui::kAltMask;
    return shift;
}

int ScreenDpi(bool vertical) {
    HDC dc = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(dc, vertical ? LOGPIXELSY : LOGPIXELSX);
    ::ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}

// Rounded, not truncated: 1440 is no multiple of 168, 192 or 216 dpi.
int TwipsToPixels(int twips, bool vertical) { return ::MulDiv(twips, ScreenDpi(vertical), 1440); }
int PixelsToTwips(int pixels, bool vertical) { return ::MulDiv(pixels, 1440, ScreenDpi(vertical)); }

const std::vector<NativeForm*>& NativeForm::Live() { return Forms(); }

NativeForm* NativeForm::Owning(HWND hwnd) {
    for (NativeForm* f : Forms())
        if (f->hwnd_ && (f->hwnd_ == hwnd || ::IsChild(f->hwnd_, hwnd))) return f;
    return nullptr;
}

NativeForm::NativeForm(HINSTANCE module, const std::string& templateName, const NativeUi::Template& tmpl,
                       HWND owner)
    : module_(module), templateName_(templateName), template_(tmpl) {
    std::wstring name = Widen(templateName);
    hwnd_ = ::CreateDialogParamW(module_, name.c_str(), owner, DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd_) throw std::runtime_error("dialog template " + templateName + " could not be created");
    ::ShowWindow(hwnd_, SW_HIDE);
    Forms().push_back(this);

    // A wrapper per bound control, by what the window really is, so that a
    // name asked for as the wrong kind fails at once.
    for (const ui::Binding& b : template_.controls) {
        HWND child = ::GetDlgItem(hwnd_, b.id);
        if (!child) throw std::logic_error("template " + templateName + " has no control " + b.name);
        std::wstring cls = ClassOf(child);
        LONG_PTR style = ::GetWindowLongPtrW(child, GWL_STYLE);
        std::unique_ptr<NativeControlBase> c;
        if (IsClass(cls, L"Button")) {
            switch (style & BS_TYPEMASK) {
            case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE:
                c = std::make_unique<NativeCheckBox>(*this, child, b.name);
                break;
            case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON:
                c = std::make_unique<NativeOption>(*this, child, b.name);
                break;
            default:
                c = std::make_unique<NativeLabel>(*this, child, b.name);
            }
        } else if (IsClass(cls, L"Static")) {
            if ((style & SS_TYPEMASK) == SS_ICON) c = std::make_unique<NativePicture>(*this, child, b.name);
            else c = std::make_unique<NativeLabel>(*this, child, b.name);
        } else if (IsClass(cls, WC_LINK)) {
            c = std::make_unique<NativeLink>(*this, child, b.name);
        } else if (IsClass(cls, L"ComboBox")) {
            c = std::make_unique<NativeComboBox>(*this, child, b.name);
        } else if (IsClass(cls, L"ListBox")) {
            c = std::make_unique<NativeListBox>(*this, child, b.name);
        } else if (IsClass(cls, L"Edit")) {
            c = std::make_unique<NativeTextBox>(*this, child, b.name);
        } else if (IsClass(cls, WC_TABCONTROLW)) {
            c = std::make_unique<NativeTab>(*this, child, b.name);
        } else if (IsClass(cls, WC_LISTVIEWW)) {
            c = std::make_unique<NativeListView>(*this, child, b.name);
        } else {
            throw std::logic_error("control " + std::string(b.name) + " has an unknown window class");
        }
        byId_[b.id] = c.get();
        controls_[b.name] = std::move(c);
    }
}

NativeForm::~NativeForm() {
    auto& forms = Forms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    menus_.clear();
    if (hwnd_) {
        HWND hwnd = hwnd_;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        hwnd_ = nullptr;
        for (HWND c : subclassed_) ::RemoveWindowSubclass(c, ControlProc, kSubclassId);
        ::DestroyWindow(hwnd);
    }
    if (font_) ::DeleteObject(font_);
    if (pageBrush_) ::DeleteObject(pageBrush_);
}

HBRUSH NativeForm::PageBrush(HWND& tabWindow, RECT& page) {
    for (auto& [name, c] : controls_) {
        auto* tab = dynamic_cast<NativeTab*>(c.get());
        if (!tab || !::IsWindowVisible(tab->hwnd())) continue;
        tabWindow = tab->hwnd();
        ::GetWindowRect(tabWindow, &page);
        ::SendMessageW(tabWindow, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
        RECT client;
        ::GetClientRect(tabWindow, &client);
        if (pageBrush_ && pageBrushTab_ == tabWindow && pageBrushSize_.cx == client.right &&
            pageBrushSize_.cy == client.bottom)
            return pageBrush_;
        if (buildingPageBrush_) return nullptr;  // the tab asks its parent for its background
        buildingPageBrush_ = true;
        // The tab control paints itself into a bitmap: the brush is its page.
        HDC screen = ::GetDC(tabWindow);
        HDC memory = ::CreateCompatibleDC(screen);
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
        ::ReleaseDC(tabWindow, screen);
        if (memory && bitmap) {
            HGDIOBJ old = ::SelectObject(memory, bitmap);
            ::FillRect(memory, &client, ::GetSysColorBrush(COLOR_BTNFACE));
            ::SendMessageW(tabWindow, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
            ::SelectObject(memory, old);
            if (pageBrush_) ::DeleteObject(pageBrush_);
            pageBrush_ = ::CreatePatternBrush(bitmap);
            pageBrushTab_ = tabWindow;
            pageBrushSize_ = {client.right, client.bottom};
        }
        if (memory) ::DeleteDC(memory);
        if (bitmap) ::DeleteObject(bitmap);
        buildingPageBrush_ = false;
        return pageBrush_;
    }
    return nullptr;
}

INT_PTR NativeForm::PageBackground(HDC dc, HWND control) {
    wchar_t cls[16] = {};
    ::GetClassNameW(control, cls, 16);
    if (lstrcmpiW(cls, L"Button") != 0 && lstrcmpiW(cls, L"Static") != 0) return FALSE;  // edits keep their own
    HWND tab = nullptr;
    RECT page, item, overlap;
    HBRUSH brush = PageBrush(tab, page);
    if (!brush) return FALSE;
    ::GetWindowRect(control, &item);
    if (!::IntersectRect(&overlap, &item, &page) || !::EqualRect(&overlap, &item)) return FALSE;
    POINT origin{0, 0};
    ::ClientToScreen(tab, &origin);
    ::SetBrushOrgEx(dc, origin.x - item.left, origin.y - item.top, nullptr);
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(brush);
}

// The dialog's own background, with the tab's page where the page lies: what
// a themed group box or button shows of its parent through itself.
bool NativeForm::EraseWithPage(HDC dc) {
    HWND tab = nullptr;
    RECT page;
    HBRUSH brush = PageBrush(tab, page);
    if (!brush) return false;
    RECT client;
    ::GetClientRect(hwnd_, &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&page), 2);
    POINT origin{0, 0};
    ::MapWindowPoints(tab, hwnd_, &origin, 1);
    POINT viewport{0, 0};
    ::GetViewportOrgEx(dc, &viewport);
    ::SetBrushOrgEx(dc, origin.x + viewport.x, origin.y + viewport.y, nullptr);
    ::FillRect(dc, &page, brush);
    return true;
}

template <class T>
T& NativeForm::Get(const std::string& name, const char* kind) {
    auto it = controls_.find(name);
    if (it == controls_.end()) throw std::logic_error("form " + templateName_ + " has no control " + name);
    T* typed = dynamic_cast<T*>(it->second.get());
    if (!typed) throw std::logic_error("control " + name + " is not a " + kind);
    return *typed;
}

// Static text and push buttons are interchangeable: both are a caption.
ui::Label& NativeForm::GetLabel(const std::string& n) { return Get<NativeLabel>(n, "label"); }
ui::Button& NativeForm::GetButton(const std::string& n) { return Get<NativeLabel>(n, "button"); }
ui::CheckBox& NativeForm::GetCheckBox(const std::string& n) { return Get<NativeCheckBox>(n, "check box"); }
ui::OptionButton& NativeForm::GetOption(const std::string& n) { return Get<NativeOption>(n, "option button"); }
ui::ComboBox& NativeForm::GetComboBox(const std::string& n) { return Get<NativeComboBox>(n, "combo box"); }
ui::ListBox& NativeForm::GetListBox(const std::string& n) { return Get<NativeListBox>(n, "list box"); }
ui::ListView& NativeForm::GetListView(const std::string& n) { return Get<NativeListView>(n, "list view"); }
ui::TextBox& NativeForm::GetTextBox(const std::string& n) { return Get<NativeTextBox>(n, "text box"); }
ui::TabControl& NativeForm::GetTab(const std::string& n) { return Get<NativeTab>(n, "tab control"); }
ui::Picture& NativeForm::GetPicture(const std::string& n) { return Get<NativePicture>(n, "picture"); }

ui::Menu& NativeForm::GetMenu(const std::string& name) {
    auto it = menus_.find(name);
    if (it != menus_.end()) return *it->second;
    if (name.empty() || name != template_.menuName)
        throw std::logic_error("form " + templateName_ + " has no menu " + name);
    HMENU bar = ::LoadMenuW(module_, Widen(name).c_str());
    if (!bar) throw std::logic_error("menu resource " + name + " is missing");
    auto menu = std::make_unique<NativeMenu>(*this, bar, template_.menuEntries);
    NativeMenu& ref = *menu;
    menus_[name] = std::move(menu);
    return ref;
}

// A handler bound to a name the template does not have would never run.
void NativeForm::CheckBound(const std::string& name, bool menuEntry) const {
    if (controls_.count(name)) return;
    if (menuEntry)
        for (const ui::Binding& b : template_.menuEntries)
            if (name == b.name) return;
    throw std::logic_error("form " + templateName_ + " has no control " + name);
}

void NativeForm::OnClick(const std::string& n, std::function<void()> h) {
    CheckBound(n, true);
    clicks_[n] = std::move(h);
}
void NativeForm::OnChange(const std::string& n, std::function<void()> h) {
    CheckBound(n, false);
    changes_[n] = std::move(h);
}
// Only controls with a mouse-down handler are subclassed: under Wine every
// message to a subclassed control looks its subclass up in the window's
// properties, a round trip to the server, and filling the dialog sends many
// (a list of hundreds of services took seconds). Button releases, key
// releases and typed characters come through the message loops instead
// (PreviewInput).
void NativeForm::Subclass(const std::string& n) {
    auto it = controls_.find(n);
    if (!subclassed_.insert(it->second->hwnd()).second) return;
    ::SetWindowSubclass(it->second->hwnd(), ControlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}
void NativeForm::OnMouseDown(const std::string& n, std::function<void(const ui::MouseEvent&)> h) {
    CheckBound(n, false);
    mouseDowns_[n] = std::move(h);
    Subclass(n);
}
void NativeForm::OnMouseUp(const std::string& n, std::function<void(const ui::MouseEvent&)> h) {
    CheckBound(n, false);
    mouseUps_[n] = std::move(h);
}
void NativeForm::OnKeyUp(const std::string& n, std::function<void(int, int)> h) {
    CheckBound(n, false);
    keyUps_[n] = std::move(h);
}
void NativeForm::OnKeyPress(const std::string& n, std::function<bool(int)> h) {
    CheckBound(n, false);
    keyPresses_[n] = std::move(h);
}
void NativeForm::OnDblClick(const std::string& n, std::function<void()> h) {
    CheckBound(n, false);
    dblClicks_[n] = std::move(h);
}
void NativeForm::OnGotFocus(const std::string& n, std::function<void()> h) {
    CheckBound(n, false);
    gotFocus_[n] = std::move(h);
}
void NativeForm::OnKeyDown(std::function<bool(int, int)> h) { keyDown_ = std::move(h); }
void NativeForm::OnCloseRequest(std::function<bool()> h) { closeRequest_ = std::move(h); }

namespace {

void RunNamed(const std::map<std::string, std::function<void()>>& handlers, const std::string& name) {
    auto it = handlers.find(name);
    if (it == handlers.end() || !it->second) return;
    auto handler = it->second;  // the handler may replace itself
    handler();
}

}  // namespace

void NativeForm::RunClick(const std::string& name) { RunNamed(clicks_, name); }
void NativeForm::RunChange(const std::string& name) { RunNamed(changes_, name); }

void NativeForm::RunShellRestart() {
    if (!shellRestart_) return;
    auto handler = shellRestart_;
    handler();
}

void SetControlToolTip(NativeForm& form, NativeControlBase& control, const std::string& text) {
    control.toolTip_ = text;
    control.toolTipWide_ = Widen(text);
    if (!text.empty()) form.AddToolTip(control);
}

// Two tools per control: the control itself while it is enabled, and its
// rectangle on the dialog, which gets the mouse while the control is
// disabled. Both ask for their text when they show, so a control on a page
// not shown has none.
void NativeForm::AddToolTip(NativeControlBase& control) {
    if (!hwnd_ || tipped_.count(control.hwnd())) return;
    if (!toolTips_) {
        toolTips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                      module_, nullptr);
        if (!toolTips_) throw std::runtime_error("the tool-tip window could not be made");
        // Long texts wrap instead of running off the screen.
        ::SendMessageW(toolTips_, TTM_SETMAXTIPWIDTH, 0, 360);
    }
    // The size of the common controls 5 record: version 6 takes it as well.
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = hwnd_;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.uId = reinterpret_cast<UINT_PTR>(control.hwnd());
    ::SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    tool.uFlags = TTF_SUBCLASS;
    tool.uId = static_cast<UINT_PTR>(::GetDlgCtrlID(control.hwnd()));
    ::GetWindowRect(control.hwnd(), &tool.rect);
    ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&tool.rect), 2);
    ::SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    tipped_.insert(control.hwnd());
}

void NativeForm::ToolTipText(NMTTDISPINFOW& info) {
    info.szText[0] = L'\0';
    info.lpszText = info.szText;
    HWND control = (info.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(info.hdr.idFrom)
                                                 : ::GetDlgItem(hwnd_, static_cast<int>(info.hdr.idFrom));
    // Its own flag: a page not shown has its controls hidden.
    if (!control || !(::GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE)) return;
    for (auto& [name, c] : controls_)
        if (c->hwnd() == control && !c->toolTipWide().empty())
            info.lpszText = const_cast<wchar_t*>(c->toolTipWide().c_str());
}

void NativeForm::StartTimer(int id, unsigned milliseconds, std::function<void()> handler) {
    if (id <= 0) throw std::logic_error("a timer's id is above 0");
    if (!::SetTimer(hwnd_, static_cast<UINT_PTR>(id), milliseconds, nullptr))
        throw std::runtime_error("timer " + std::to_string(id) + " could not be started");
    timers_[id] = std::move(handler);
}

void NativeForm::StopTimer(int id) {
    if (!timers_.erase(id)) return;
    if (hwnd_) ::KillTimer(hwnd_, static_cast<UINT_PTR>(id));
}

void NativeForm::ClearOptionsExcept(HWND keep) {
    for (auto& [name, c] : controls_)
        if (c->hwnd() != keep && dynamic_cast<NativeOption*>(c.get()))
            ::SendMessageW(c->hwnd(), BM_SETCHECK, BST_UNCHECKED, 0);
}

bool NativeForm::PreviewKey(const MSG& msg) {
    if (!keyDown_) return false;
    auto handler = keyDown_;
    bool swallowed = false;
    // Called from the message loops, outside any window procedure.
    platform::Guarded([&] { swallowed = handler(static_cast<int>(msg.wParam), ShiftState()); });
    return swallowed;
}

void NativeForm::SetCaption(const std::string& text) { ::SetWindowTextW(hwnd_, Widen(text).c_str()); }

void NativeForm::SetHeightTwips(int twips) {
    RECT r;
    ::GetWindowRect(hwnd_, &r);
    ::SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, TwipsToPixels(twips, true),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int NativeForm::HeightTwips() const {
    RECT r;
    ::GetWindowRect(hwnd_, &r);
    return PixelsToTwips(r.bottom - r.top, true);
}

int NativeForm::WidthTwips() const {
    RECT r;
    ::GetWindowRect(hwnd_, &r);
    return PixelsToTwips(r.right - r.left, false);
}

void NativeForm::MoveTwips(int left, int top) {
    ::SetWindowPos(hwnd_, nullptr, TwipsToPixels(left, false), TwipsToPixels(top, true), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void NativeForm::CenterOnScreen() {
    RECT r;
    ::GetWindowRect(hwnd_, &r);
    int x = (::GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
    int y = (::GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
    ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void NativeForm::SetTopmost() {
    // A hidden window that is topmost already goes to the top of that band
    // when it is shown and activated; asking again only costs time.
    bool topmost = (::GetWindowLongW(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (topmost && !::IsWindowVisible(hwnd_)) return;
    ::SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Keeps the size of the current font, changes only its face.
void NativeForm::SetFont(const std::string& face) {
    LOGFONTW lf{};
    HFONT current = reinterpret_cast<HFONT>(::SendMessageW(hwnd_, WM_GETFONT, 0, 0));
    if (!current || !::GetObjectW(current, sizeof lf, &lf)) lf.lfHeight = -11;
    std::wstring w = Widen(face);
    lstrcpynW(lf.lfFaceName, w.c_str(), LF_FACESIZE);
    HFONT font = ::CreateFontIndirectW(&lf);
    if (!font) return;
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    for (HWND child = ::GetWindow(hwnd_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (font_) ::DeleteObject(font_);
    font_ = font;
}

void NativeForm::ShowModeless() { ::ShowWindow(hwnd_, SW_SHOW); }

void NativeForm::KeepInputDuringWaits() {
    if (hwnd_) ::SetPropW(hwnd_, platform::win32::kInputDuringWaitsProp, reinterpret_cast<HANDLE>(1));
}

void NativeForm::ShowInTaskbar() {
    if (!hwnd_) return;
    ::SetWindowLongW(hwnd_, GWL_EXSTYLE, ::GetWindowLongW(hwnd_, GWL_EXSTYLE) | WS_EX_APPWINDOW);
    inTaskbar_ = true;
}

void NativeForm::ShowModal() {
    HWND owner = ::GetWindow(hwnd_, GW_OWNER);
    bool disabledOwner = owner && ::IsWindowEnabled(owner);
    if (disabledOwner) ::EnableWindow(owner, FALSE);
    modal_ = true;
    modalDone_ = false;
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SetForegroundWindow(hwnd_);
    HWND self = hwnd_;
    MSG msg;
    while (!modalDone_ && ::IsWindow(self)) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
            break;
        }
        if (got < 0) break;
        if (!PreTranslate(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    modal_ = false;
    // The owner first, so activation returns to it when this one hides.
    if (disabledOwner) ::EnableWindow(owner, TRUE);
    if (::IsWindow(self)) ::ShowWindow(self, SW_HIDE);
}

void NativeForm::Hide() { ::ShowWindow(hwnd_, SW_HIDE); }
bool NativeForm::IsVisible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }

void NativeForm::Close() {
    if (modal_) {
        modalDone_ = true;
        ::PostMessageW(hwnd_, WM_NULL, 0, 0);  // wakes the modal loop
        return;
    }
    if (hwnd_) ::DestroyWindow(hwnd_);
}

void NativeForm::OnCommand(int id, int code, HWND control) {
    // Escape in a window without a Cancel button: what its close box does,
    // when it has one.
    if (id == IDCANCEL && !control) {
        if (::GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_SYSMENU) ::SendMessageW(hwnd_, WM_CLOSE, 0, 0);
        return;
    }
    if (!control) {
        // A menu command: its entry's name is the handler's.
        for (const ui::Binding& b : template_.menuEntries)
            if (b.id == id) return RunClick(b.name);
        return;
    }
    auto it = byId_.find(id);
    if (it == byId_.end()) return;
    NativeControlBase* c = it->second;
    if (code == BN_CLICKED) {
        if (auto* opt = dynamic_cast<NativeOption*>(c)) {
            // All option buttons of a form are one group, wherever they sit
            // in the template.
            if (::SendMessageW(opt->hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED) ClearOptionsExcept(opt->hwnd());
        }
        if (dynamic_cast<NativeLabel*>(c) || dynamic_cast<NativeCheckBox*>(c) || dynamic_cast<NativeOption*>(c))
            RunClick(c->name());
    } else if (code == CBN_SELCHANGE && dynamic_cast<NativeComboBox*>(c)) {
        RunClick(c->name());
    } else if (code == EN_CHANGE && dynamic_cast<NativeTextBox*>(c)) {
        RunChange(c->name());
    } else if (code == EN_SETFOCUS && dynamic_cast<NativeTextBox*>(c)) {
        RunNamed(gotFocus_, c->name());
    }
}

INT_PTR CALLBACK NativeForm::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        reinterpret_cast<NativeForm*>(lParam)->hwnd_ = hwnd;
        return FALSE;  // focus stays where the template puts it
    }
    auto* form = reinterpret_cast<NativeForm*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!form) return FALSE;
    INT_PTR result = FALSE;
    platform::Guarded([&] { result = form->HandleMessage(msg, wParam, lParam); });
    return result;
}

INT_PTR NativeForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    static const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    if (msg == taskbarCreated) {
        RunShellRestart();
        return TRUE;
    }
    switch (msg) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr->code == static_cast<UINT>(TTN_GETDISPINFOW) && hdr->hwndFrom == toolTips_) {
            ToolTipText(*reinterpret_cast<NMTTDISPINFOW*>(lParam));
            return TRUE;
        }
        if (hdr->code == static_cast<UINT>(LVN_ITEMCHANGING)) {
            auto it = byId_.find(static_cast<int>(hdr->idFrom));
            auto* list = it == byId_.end() ? nullptr : dynamic_cast<NativeListView*>(it->second);
            if (!list || !list->RefusesChange(*reinterpret_cast<NMLISTVIEW*>(lParam))) return FALSE;
            ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        if (hdr->code == static_cast<UINT>(NM_DBLCLK)) {
            auto it = byId_.find(static_cast<int>(hdr->idFrom));
            if (it != byId_.end() && dynamic_cast<NativeListView*>(it->second)) RunNamed(dblClicks_, it->second->name());
            return FALSE;
        }
        if (hdr->code == static_cast<UINT>(NM_CLICK) || hdr->code == static_cast<UINT>(NM_RETURN)) {
            auto it = byId_.find(static_cast<int>(hdr->idFrom));
            if (it != byId_.end() && dynamic_cast<NativeLink*>(it->second)) RunClick(it->second->name());
            return FALSE;
        }
        if (hdr->code == static_cast<UINT>(TCN_SELCHANGE)) {
            auto it = byId_.find(static_cast<int>(hdr->idFrom));
            if (it != byId_.end()) RunClick(it->second->name());
            // A page's group boxes do not paint their inside: what the last
            // page showed there would stay.
            ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
        return FALSE;
    }
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (di->CtlType != ODT_LISTBOX) return FALSE;
        DrawTickedEntry(*di);
        return TRUE;
    }
    case WM_CTLCOLORSTATIC:
        return PageBackground(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ERASEBKGND:
        if (!EraseWithPage(reinterpret_cast<HDC>(wParam))) return FALSE;
        ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_PRINTCLIENT:
        return EraseWithPage(reinterpret_cast<HDC>(wParam)) ? TRUE : FALSE;
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE:
        if (pageBrush_) ::DeleteObject(pageBrush_);
        pageBrush_ = nullptr;
        return FALSE;
    case WM_CTLCOLORLISTBOX: {
        auto hwndList = reinterpret_cast<HWND>(lParam);
        for (auto& [name, c] : controls_) {
            auto* list = dynamic_cast<NativeListBox*>(c.get());
            if (!list || list->hwnd() != hwndList) continue;
            int index = SysColorOf(list->BackColor());
            HDC dc = reinterpret_cast<HDC>(wParam);
            ::SetBkColor(dc, ::GetSysColor(index));
            ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<INT_PTR>(::GetSysColorBrush(index));
        }
        return FALSE;
    }
    case WM_CLOSE:
        // The close box, Alt+F4 and the system menu all arrive here.
        if (closeRequest_) {
            auto handler = closeRequest_;
            if (!handler()) return TRUE;
        }
        Close();
        return TRUE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE && minimize_) {
            auto handler = minimize_;
            handler();
            return TRUE;
        }
        return FALSE;
    case WM_MOUSEMOVE:
        if (mouseMove_) {
            auto handler = mouseMove_;
            handler(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        }
        return FALSE;
    case WM_TIMER: {
        auto it = timers_.find(static_cast<int>(wParam));
        if (it == timers_.end()) return FALSE;
        auto handler = it->second;  // the handler may stop or replace it
        handler();
        return TRUE;
    }
    case WM_DESTROY:
        if (modal_) modalDone_ = true;
        return FALSE;
    case WM_QUERYENDSESSION: {
        if (!queryEndSession_) return FALSE;  // the dialog manager agrees
        auto handler = queryEndSession_;
        bool agree = true;
        // A handler that failed never holds the end.
        if (!platform::Guarded([&] { agree = handler(static_cast<std::uint32_t>(lParam)); })) agree = true;
        // Set last: the handler's waits run other messages through here.
        if (hwnd_) ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, agree ? TRUE : FALSE);
        return TRUE;
    }
    case WM_ENDSESSION:
        if (sessionEnd_) {
            auto handler = sessionEnd_;
            handler(wParam != FALSE);
        }
        return FALSE;
    case WM_NCDESTROY:
        ::RemovePropW(hwnd_, platform::win32::kInputDuringWaitsProp);
        ::SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        hwnd_ = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

namespace {

ui::MouseEvent MouseOf(UINT msg, WPARAM wParam, LPARAM lParam) {
    ui::MouseEvent e;
    e.button = (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP)   ? 1
               : (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP) ? 2
                                                                  : 4;
    e.shift = ((wParam & MK_SHIFT) ? ui::kShiftMask : 0) | ((wParam & MK_CONTROL) ? ui::kCtrlMask : 0) |
              (::GetKeyState(VK_MENU) < 0 ? ui::kAltMask : 0);
    e.x = GET_X_LPARAM(lParam);
    e.y = GET_Y_LPARAM(lParam);
    return e;
}

}  // namespace

bool NativeForm::PreviewInput(MSG& msg) {
    if (::GetParent(msg.hwnd) != hwnd_) return false;
    auto control = byId_.find(::GetDlgCtrlID(msg.hwnd));
    if (control == byId_.end() || control->second->hwnd() != msg.hwnd) return false;
    const std::string& name = control->second->name();
    switch (msg.message) {
    case WM_CHAR: {
        auto it = keyPresses_.find(name);
        if (it == keyPresses_.end() || !it->second) return false;
        auto handler = it->second;
        bool accept = true;
        platform::Guarded([&] { accept = handler(static_cast<int>(msg.wParam)); });
        return !accept;  // a refused character never reaches the control
    }
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: case WM_KEYUP: {
        bool key = msg.message == WM_KEYUP;
        if (key ? !keyUps_.count(name) : !mouseUps_.count(name)) return false;
        // The control first, so that a click on a list's check box has
        // toggled it by the time the handler looks.
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
        if (key) {
            auto handler = keyUps_[name];
            platform::Guarded([&] { handler(static_cast<int>(msg.wParam), ShiftState()); });
        } else {
            auto handler = mouseUps_[name];
            ui::MouseEvent e = MouseOf(msg.message, msg.wParam, msg.lParam);
            platform::Guarded([&] { handler(e); });
        }
        return true;
    }
    default:
        return false;
    }
}

LRESULT CALLBACK NativeForm::ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data) {
    if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN) {
        auto* form = reinterpret_cast<NativeForm*>(data);
        for (auto& [name, c] : form->controls_) {
            if (c->hwnd() != hwnd) continue;
            auto it = form->mouseDowns_.find(name);
            if (it == form->mouseDowns_.end() || !it->second) break;
            ui::MouseEvent e = MouseOf(msg, wParam, lParam);
            auto handler = it->second;
            platform::Guarded([&] { handler(e); });
            break;
        }
    }
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

NativeMenu::NativeMenu(NativeForm& form, HMENU bar, const std::vector<ui::Binding>& entries)
    : form_(form), bar_(bar), popup_(::GetSubMenu(bar, 0)) {
    for (const ui::Binding& b : entries) commands_[b.name] = static_cast<UINT>(b.id);
}

NativeMenu::~NativeMenu() { ::DestroyMenu(bar_); }

UINT NativeMenu::Command(const std::string& entry) const {
    auto it = commands_.find(entry);
    if (it == commands_.end()) throw std::logic_error("menu has no entry " + entry);
    return it->second;
}

void NativeMenu::SetCaption(const std::string& entry, const std::string& text) {
    UINT id = Command(entry);
    std::wstring w = Widen(text);
    ::ModifyMenuW(popup_, id, MF_BYCOMMAND | MF_STRING, id, w.c_str());
}

std::string NativeMenu::Caption(const std::string& entry) const {
    UINT id = Command(entry);
    int len = ::GetMenuStringW(popup_, id, nullptr, 0, MF_BYCOMMAND);
    if (len <= 0) return {};
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    len = ::GetMenuStringW(popup_, id, text.data(), len + 1, MF_BYCOMMAND);
    text.resize(static_cast<size_t>(len > 0 ? len : 0));
    return Narrow(text);
}

void NativeMenu::Popup(const std::string& defaultEntry) {
    if (!defaultEntry.empty()) ::SetMenuDefaultItem(popup_, Command(defaultEntry), FALSE);
    POINT pt;
    ::GetCursorPos(&pt);
    HWND owner = form_.hwnd();
    // Without the foreground the menu would not close when the user clicks
    // elsewhere; the posted message lets it close properly afterwards.
    ::SetForegroundWindow(owner);
    UINT chosen = static_cast<UINT>(
        ::TrackPopupMenu(popup_, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, pt.x, pt.y, 0, owner, nullptr));
    ::PostMessageW(owner, WM_NULL, 0, 0);
    if (!chosen) return;
    for (auto& [name, id] : commands_)
        if (id == chosen) return form_.RunClick(name);
}

bool PreTranslate(MSG& msg) {
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        if (NativeForm* form = NativeForm::Owning(msg.hwnd))
            if (form->PreviewKey(msg)) return true;
    }
    if (msg.message == WM_CHAR || msg.message == WM_KEYUP || msg.message == WM_LBUTTONUP ||
        msg.message == WM_RBUTTONUP || msg.message == WM_MBUTTONUP) {
        if (NativeForm* form = NativeForm::Owning(msg.hwnd))
            if (form->PreviewInput(msg)) return true;
    }
    // A copy: a handler run by the dialog manager may create or end forms.
    std::vector<NativeForm*> forms = NativeForm::Live();
    for (NativeForm* f : forms) {
        HWND hwnd = f->hwnd();
        if (hwnd && (hwnd == msg.hwnd || ::IsChild(hwnd, msg.hwnd)) && ::IsDialogMessageW(hwnd, &msg)) return true;
    }
    return false;
}

}  // namespace ui::win32
