#include "dialog_check.h"

#include <commctrl.h>

#include <map>
#include <set>

#include "platform/win32/text.h"

namespace dialogcheck {

namespace {

using platform::win32::Narrow;

std::wstring ClassOf(HWND w) {
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    return name;
}

bool IsClass(HWND w, const wchar_t* name) { return lstrcmpiW(ClassOf(w).c_str(), name) == 0; }

std::wstring TextOf(HWND w) {
    int n = GetWindowTextLengthW(w);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(w, text.data(), n + 1);
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

LONG StyleOf(HWND w) { return GetWindowLongW(w, GWL_STYLE); }

// The control's own flag: the checks run on hidden dialogs too.
bool Shown(HWND w) { return (StyleOf(w) & WS_VISIBLE) != 0; }

std::vector<HWND> Children(HWND dialog) {
    std::vector<HWND> out;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
    return out;
}

std::string NameOf(HWND w, const std::vector<ui::Binding>& names) {
    int id = GetDlgCtrlID(w);
    for (const ui::Binding& b : names)
        if (b.id == id) return b.name;
    return "control " + std::to_string(id);
}

std::string Describe(HWND w, const std::vector<ui::Binding>& names) {
    return NameOf(w, names) + " \"" + Narrow(TextOf(w)) + "\"";
}

enum class Kind { None, Label, PushButton, CheckBox, GroupBox };

Kind KindOf(HWND w) {
    LONG style = StyleOf(w);
    if (IsClass(w, L"Static")) {
        switch (style & SS_TYPEMASK) {
        case SS_LEFT: case SS_CENTER: case SS_RIGHT: case SS_SIMPLE: case SS_LEFTNOWORDWRAP: return Kind::Label;
        default: return Kind::None;
        }
    }
    if (!IsClass(w, L"Button") || (style & (BS_ICON | BS_BITMAP))) return Kind::None;
    switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON: case BS_DEFPUSHBUTTON: return Kind::PushButton;
    case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE:
    case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON: return Kind::CheckBox;
    case BS_GROUPBOX: return Kind::GroupBox;
    default: return Kind::None;
    }
}

int Scaled(int pixelsAt96) {
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
    return MulDiv(pixelsAt96, dpi > 0 ? dpi : 96, 96);
}

// The room a control gives its text, and how the control draws it.
struct Room {
    int width = 0, height = 0;
    UINT format = 0;
};

Room RoomOf(HWND w, Kind kind) {
    RECT client{};
    GetClientRect(w, &client);
    Room room{client.right, client.bottom, DT_EXPANDTABS};
    LONG style = StyleOf(w);
    switch (kind) {
    case Kind::Label: {
        LONG type = style & SS_TYPEMASK;
        room.format |= (type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP) ? DT_SINGLELINE : DT_WORDBREAK;
        if (style & SS_NOPREFIX) room.format |= DT_NOPREFIX;
        break;
    }
    case Kind::PushButton:
        // The raised edge and the focus rectangle inside it.
        room.width -= 2 * (GetSystemMetrics(SM_CXEDGE) + Scaled(2));
        room.height -= 2 * GetSystemMetrics(SM_CYEDGE);
        room.format |= (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
        break;
    case Kind::CheckBox:
        // The box and the gap between it and the text.
        room.width -= GetSystemMetrics(SM_CXMENUCHECK) + Scaled(4);
        room.format |= (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
        break;
    case Kind::GroupBox:
        // The caption sits in the frame's top line, inset from both corners.
        room.width -= 2 * Scaled(8);
        room.format |= DT_SINGLELINE;
        break;
    case Kind::None: break;
    }
    return room;
}

}  // namespace

std::vector<std::string> CutTexts(HWND dialog, const std::vector<ui::Binding>& names) {
    std::vector<std::string> cut;
    for (HWND w : Children(dialog)) {
        Kind kind = KindOf(w);
        std::wstring text = TextOf(w);
        if (kind == Kind::None || !Shown(w) || text.empty()) continue;
        Room room = RoomOf(w, kind);
        HDC dc = GetDC(w);
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0));
        HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
        RECT need{0, 0, room.width, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need, room.format | DT_CALCRECT);
        SelectObject(dc, old);
        ReleaseDC(w, dc);
        // A single line stands in the middle of its control: only its width counts.
        bool tooTall = !(room.format & DT_SINGLELINE) && need.bottom > room.height;
        if (need.right > room.width || tooTall)
            cut.push_back(Describe(w, names) + " needs " + std::to_string(need.right) + "x" +
                          std::to_string(need.bottom) + " px, has " + std::to_string(room.width) + "x" +
                          std::to_string(room.height));
    }
    return cut;
}

wchar_t AccessKey(const std::wstring& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&') continue;
        if (text[i + 1] == L'&') {
            ++i;
            continue;
        }
        wchar_t key[1] = {text[i + 1]};
        CharUpperBuffW(key, 1);
        return key[0];
    }
    return 0;
}

std::vector<std::string> AccessKeyClashes(HWND dialog, const std::vector<ui::Binding>& names) {
    std::vector<std::string> problems;
    std::map<wchar_t, HWND> owners;
    std::vector<HWND> children = Children(dialog);
    for (size_t i = 0; i < children.size(); ++i) {
        HWND w = children[i];
        Kind kind = KindOf(w);
        if (kind == Kind::None || !Shown(w)) continue;
        if (kind == Kind::Label && (StyleOf(w) & SS_NOPREFIX)) continue;
        wchar_t key = AccessKey(TextOf(w));
        if (!key) continue;
        auto [it, fresh] = owners.emplace(key, w);
        if (!fresh)
            problems.push_back("key " + Narrow(std::wstring(1, key)) + " of " + Describe(w, names) + " is also " +
                               Describe(it->second, names) + "'s");
        if (kind != Kind::Label) continue;
        // The dialog manager moves a label's key on to the next control that
        // takes the focus: that must be the very next one, the field itself.
        HWND field = nullptr;
        for (size_t j = i + 1; j < children.size() && !field; ++j)
            if (Shown(children[j])) field = children[j];
        bool takesFocus = field && (StyleOf(field) & WS_TABSTOP) && KindOf(field) != Kind::Label &&
                          KindOf(field) != Kind::GroupBox;
        if (!takesFocus || GetNextDlgTabItem(dialog, w, FALSE) != field)
            problems.push_back("key " + Narrow(std::wstring(1, key)) + " of label " + Describe(w, names) +
                               " does not lead to the field after it" +
                               (field ? " (" + NameOf(field, names) + ")" : std::string()));
    }
    return problems;
}

std::vector<std::string> UnreachedByKeyboard(HWND dialog, const std::vector<ui::Binding>& names) {
    std::set<HWND> reached;
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    for (HWND w = first; w && reached.insert(w).second;) w = GetNextDlgTabItem(dialog, w, FALSE);
    // Inside a group of option buttons the arrows move on from the one Tab reaches.
    std::set<HWND> byArrows;
    for (HWND w : reached) {
        if (KindOf(w) != Kind::CheckBox) continue;
        LONG type = StyleOf(w) & BS_TYPEMASK;
        if (type != BS_RADIOBUTTON && type != BS_AUTORADIOBUTTON) continue;
        for (HWND g = GetNextDlgGroupItem(dialog, w, FALSE); g && g != w && byArrows.insert(g).second;)
            g = GetNextDlgGroupItem(dialog, g, FALSE);
    }
    reached.insert(byArrows.begin(), byArrows.end());

    std::vector<std::string> missed;
    for (HWND w : Children(dialog)) {
        if (!Shown(w) || !IsWindowEnabled(w) || reached.count(w)) continue;
        Kind kind = KindOf(w);
        bool input = kind == Kind::PushButton || kind == Kind::CheckBox || IsClass(w, L"Edit") ||
                     IsClass(w, L"ComboBox") || IsClass(w, L"ListBox") || IsClass(w, WC_LISTVIEWW) ||
                     IsClass(w, WC_TABCONTROLW) || IsClass(w, WC_LINK) ||
                     // A label that answers clicks is a control of its own.
                     (kind == Kind::Label && (StyleOf(w) & SS_NOTIFY));
        if (input) missed.push_back(Describe(w, names));
    }
    return missed;
}

HWND VisibleWindowWith(int controlId) {
    struct Search {
        int id;
        HWND found = nullptr;
    } search{controlId};
    EnumWindows(
        [](HWND w, LPARAM data) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid != GetCurrentProcessId() || !IsWindowVisible(w) || !GetDlgItem(w, s->id)) return TRUE;
            s->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PressKey(HWND dialog, WPARAM key) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND target = dialog;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) && info.hwndFocus &&
        (info.hwndFocus == dialog || IsChild(dialog, info.hwndFocus)))
        target = info.hwndFocus;
    UINT scan = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, key, 1 | (static_cast<LPARAM>(scan) << 16));
    PostMessageW(target, WM_KEYUP, key, 1 | (static_cast<LPARAM>(scan) << 16) | (3LL << 30));
}

void CheckWindow(HWND window, const std::string& where, const std::vector<ui::Binding>& names,
                 std::vector<std::string>& problems) {
    for (const auto& p : CutTexts(window, names)) problems.push_back(where + ": cut: " + p);
    for (const auto& p : AccessKeyClashes(window, names)) problems.push_back(where + ": " + p);
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& l : lines) all += "\n  " + l;
    return all;
}

}  // namespace dialogcheck
