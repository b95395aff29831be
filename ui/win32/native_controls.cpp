#include "ui/win32/native_form.h"

#include "platform/win32/text.h"

#include <vector>

using platform::win32::Narrow;
using platform::win32::Widen;

namespace ui::win32 {

namespace {

// The classic list-view state-image values of the check box.
constexpr UINT kStateImageMask = 0xF000;
constexpr UINT kStateChecked = 0x2000;
constexpr UINT kStateUnchecked = 0x1000;
// A cell reads back through a 256-character buffer.
constexpr int kCellBuffer = 256;

int SysColorIndex(ui::SysColor color) {
    return color == ui::SysColor::ButtonFace ? COLOR_BTNFACE : COLOR_WINDOW;
}

std::wstring ListText(HWND hwnd, UINT lenMsg, UINT textMsg, int index) {
    LRESULT len = ::SendMessageW(hwnd, lenMsg, static_cast<WPARAM>(index), 0);
    if (len < 0) return {};
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    LRESULT got = ::SendMessageW(hwnd, textMsg, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    if (got < 0) return {};
    text.resize(static_cast<size_t>(got));
    return text;
}

}  // namespace

std::string WindowText(HWND hwnd) {
    int len = ::GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    int got = ::GetWindowTextW(hwnd, text.data(), len + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return Narrow(text);
}

void SetWindowTextUtf8(HWND hwnd, const std::string& text) { ::SetWindowTextW(hwnd, Widen(text).c_str()); }


platform::IconHandle NativePicture::IconHandle() const {
    return {static_cast<std::uintptr_t>(::SendMessageW(hwnd_, STM_GETICON, 0, 0))};
}

void NativePicture::SetIconHandle(platform::IconHandle icon) {
    ::SendMessageW(hwnd_, STM_SETICON, static_cast<WPARAM>(icon.value), 0);
}

void NativeCheckBox::SetValue(int value) {
    ::SendMessageW(hwnd_, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}
int NativeCheckBox::Value() const { return ::SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0; }

void NativeOption::SetValue(bool selected) {
    ::SendMessageW(hwnd_, BM_SETCHECK, selected ? BST_CHECKED : BST_UNCHECKED, 0);
    if (selected) form_.ClearOptionsExcept(hwnd_);
}
bool NativeOption::Value() const { return ::SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void NativeComboBox::Clear() { ::SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0); }
void NativeComboBox::AddItem(const std::string& text) {
    std::wstring w = Widen(text);
    ::SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
}
int NativeComboBox::ListCount() const { return static_cast<int>(::SendMessageW(hwnd_, CB_GETCOUNT, 0, 0)); }
std::string NativeComboBox::List(int index) const {
    if (index < 0 || index >= ListCount()) return {};
    return Narrow(ListText(hwnd_, CB_GETLBTEXTLEN, CB_GETLBTEXT, index));
}
int NativeComboBox::ListIndex() const { return static_cast<int>(::SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)); }
void NativeComboBox::SetListIndex(int index) {
    ::SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index < 0 ? -1 : index), 0);
}

void NativeListBox::Clear() { ::SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0); }
void NativeListBox::AddItem(const std::string& text) {
    std::wstring w = Widen(text);
    ::SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
}
int NativeListBox::ListCount() const { return static_cast<int>(::SendMessageW(hwnd_, LB_GETCOUNT, 0, 0)); }
std::string NativeListBox::List(int index) const {
    if (index < 0 || index >= ListCount()) return {};
    return Narrow(ListText(hwnd_, LB_GETTEXTLEN, LB_GETTEXT, index));
}
// The form paints with the colour in WM_CTLCOLORLISTBOX.
void NativeListBox::SetBackColor(ui::SysColor color) {
    // Repainting for nothing costs time each time the dialog is filled.
    if (color == color_) return;
    color_ = color;
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void NativeListBox::SetSelected(int index, bool selected) {
    ::SendMessageW(hwnd_, LB_SETSEL, selected ? TRUE : FALSE, static_cast<LPARAM>(index));
}
bool NativeListBox::Selected(int index) const {
    return ::SendMessageW(hwnd_, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

NativeTextBox::NativeTextBox(NativeForm& form, HWND hwnd, std::string name)
    : NativeControl(form, hwnd, std::move(name)) {
    if (::GetWindowLongPtrW(hwnd_, GWL_STYLE) & ES_PASSWORD) ::SendMessageW(hwnd_, EM_SETPASSWORDCHAR, L'*', 0);
}
void NativeLink::SetCaption(const std::string& text) {
    text_ = text;
    SetWindowTextUtf8(hwnd_, "<a>" + text + "</a>");
}

void NativeTextBox::SetText(const std::string& text) { SetWindowTextUtf8(hwnd_, text); }

int NativeTab::TabCount() const { return static_cast<int>(::SendMessageW(hwnd_, TCM_GETITEMCOUNT, 0, 0)); }
// Tabs come into being when they are first named.
void NativeTab::SetTabCaption(int tab, const std::string& text) {
    if (tab < 0) return;
    std::wstring w = Widen(text);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = w.data();
    if (tab < TabCount()) {
        ::SendMessageW(hwnd_, TCM_SETITEMW, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
        return;
    }
    wchar_t empty[] = L"";
    TCITEMW blank{};
    blank.mask = TCIF_TEXT;
    blank.pszText = empty;
    for (int i = TabCount(); i < tab; ++i)
        ::SendMessageW(hwnd_, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&blank));
    ::SendMessageW(hwnd_, TCM_INSERTITEMW, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
}
std::string NativeTab::TabCaption(int tab) const {
    if (tab < 0 || tab >= TabCount()) return {};
    wchar_t buffer[256] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 256;
    ::SendMessageW(hwnd_, TCM_GETITEMW, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
    return Narrow(item.pszText);
}
int NativeTab::SelectedTab() const { return static_cast<int>(::SendMessageW(hwnd_, TCM_GETCURSEL, 0, 0)); }
void NativeTab::SelectTab(int tab) { ::SendMessageW(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0); }

void NativeListView::ClearColumns() {
    while (ColumnCount() > 0)
        if (!::SendMessageW(hwnd_, LVM_DELETECOLUMN, 0, 0)) break;
}
void NativeListView::AddColumn(const std::string& header) {
    std::wstring w = Widen(header);
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = w.data();
    col.cx = 100;
    int n = ColumnCount();
    col.iSubItem = n;
    ::SendMessageW(hwnd_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(&col));
}
int NativeListView::ColumnCount() const {
    HWND header = reinterpret_cast<HWND>(::SendMessageW(hwnd_, LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}
std::string NativeListView::ColumnHeader(int column) const {
    if (column < 0 || column >= ColumnCount()) return {};
    wchar_t buffer[256] = {};
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT;
    col.pszText = buffer;
    col.cchTextMax = 256;
    ::SendMessageW(hwnd_, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));
    return Narrow(col.pszText);
}
int NativeListView::AddRow(const std::string& text) {
    std::wstring w = Widen(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = RowCount();
    item.pszText = w.data();
    return static_cast<int>(::SendMessageW(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}
int NativeListView::InsertRow(int index, const std::string& text) {
    std::wstring w = Widen(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index < 0 ? RowCount() : index;
    item.pszText = w.data();
    return static_cast<int>(::SendMessageW(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}
void NativeListView::SetCellText(int row, int column, const std::string& text) {
    std::wstring w = Widen(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = w.data();
    ::SendMessageW(hwnd_, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}
int NativeListView::RowCount() const { return static_cast<int>(::SendMessageW(hwnd_, LVM_GETITEMCOUNT, 0, 0)); }

// The whole text: a name cut at the buffer's size would no longer name its
// values. The buffer grows until the text fits with room to spare.
std::string NativeListView::GetItemText(int row, int column) const {
    std::wstring buffer(kCellBuffer, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        auto n = static_cast<size_t>(
            ::SendMessageW(hwnd_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (n + 1 < buffer.size() || buffer.size() >= (1u << 20)) return Narrow(buffer.data(), std::min(n, buffer.size()));
        buffer.assign(buffer.size() * 4, L'\0');
    }
}
void NativeListView::SetCheckState(int row, UINT state) {
    LVITEMW item{};
    item.mask = LVIF_STATE;
    item.state = state;
    item.stateMask = kStateImageMask;
    settingCheck_ = true;
    ::SendMessageW(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    settingCheck_ = false;
}
void NativeListView::CheckItem(int row) { SetCheckState(row, kStateChecked); }
void NativeListView::UncheckItem(int row) { SetCheckState(row, kStateUnchecked); }
// The mark rides on the item, so it moves and goes with the row.
void NativeListView::LockItemCheck(int row) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = 1;
    ::SendMessageW(hwnd_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}
bool NativeListView::RefusesChange(const NMLISTVIEW& change) const {
    if (settingCheck_ || change.iItem < 0 || !(change.uChanged & LVIF_STATE)) return false;
    if (!((change.uNewState ^ change.uOldState) & kStateImageMask)) return false;
    // Rows inserted without a parameter read 0.
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = change.iItem;
    if (!::SendMessageW(hwnd_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return false;
    return item.lParam == 1;
}
bool NativeListView::IsItemChecked(int row) const {
    auto state = static_cast<UINT>(::SendMessageW(hwnd_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), kStateImageMask));
    return (state & kStateChecked) != 0;
}
void NativeListView::SelectItem(int row) {
    ::SendMessageW(hwnd_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    LVITEMW item{};
    item.mask = LVIF_STATE;
    item.state = ~0u;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    ::SetFocus(hwnd_);
}
int NativeListView::SelectedRow() const {
    return static_cast<int>(::SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}
void NativeListView::DeleteItem(int row) {
    if (RowCount() > 0) ::SendMessageW(hwnd_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}
void NativeListView::DeleteAllItems() { ::SendMessageW(hwnd_, LVM_DELETEALLITEMS, 0, 0); }
void NativeListView::AddExtendedStyle(DWORD bits) {
    auto old = static_cast<DWORD>(::SendMessageW(hwnd_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    ::SendMessageW(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(old | bits));
}
void NativeListView::SetFullRowSelect() { AddExtendedStyle(LVS_EX_FULLROWSELECT); }
void NativeListView::SetCheckBoxes() { AddExtendedStyle(LVS_EX_CHECKBOXES); }
void NativeListView::AutoSizeColumns(bool fitHeaders) {
    int n = ColumnCount();
    for (int c = 0; c < n; ++c)
        ::SendMessageW(hwnd_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(c),
                       fitHeaders ? LVSCW_AUTOSIZE_USEHEADER : LVSCW_AUTOSIZE);
}
void NativeListView::SetColumnWidth(int column, int pixels) {
    ::SendMessageW(hwnd_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(pixels, 0));
}
int NativeListView::ColumnWidth(int column) const {
    return static_cast<int>(::SendMessageW(hwnd_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}
int NativeListView::ClientWidth() const {
    RECT r{};
    ::GetClientRect(hwnd_, &r);
    return r.right;
}
int NativeListView::HitTest(int x, int y, UINT part) const {
    LVHITTESTINFO hit{};
    hit.pt.x = x;
    hit.pt.y = y;
    auto row = static_cast<int>(::SendMessageW(hwnd_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return row >= 0 && (hit.flags & part) ? row : -1;
}
int NativeListView::HitTestRow(int x, int y) const { return HitTest(x, y, LVHT_ONITEM); }
int NativeListView::HitTestCheckBox(int x, int y) const { return HitTest(x, y, LVHT_ONITEMSTATEICON); }
void NativeListView::SetBackColor(ui::SysColor color) {
    if (colorApplied_ && color == color_) return;
    colorApplied_ = true;
    color_ = color;
    COLORREF rgb = ::GetSysColor(SysColorIndex(color));
    ::SendMessageW(hwnd_, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(rgb));
    ::SendMessageW(hwnd_, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(rgb));
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

int SysColorOf(ui::SysColor color) { return SysColorIndex(color); }

NativeLabel::~NativeLabel() {
    if (symbolFont_) ::DeleteObject(symbolFont_);
}

void NativeLabel::SetSymbolFont(const std::string& face) {
    if (face.empty()) {
        // Back to the dialog's font.
        ::SendMessageW(hwnd_, WM_SETFONT, ::SendMessageW(::GetParent(hwnd_), WM_GETFONT, 0, 0), TRUE);
        if (symbolFont_) ::DeleteObject(symbolFont_);
        symbolFont_ = nullptr;
        return;
    }
    LOGFONTW lf{};
    HFONT current = reinterpret_cast<HFONT>(::SendMessageW(hwnd_, WM_GETFONT, 0, 0));
    if (!current || !::GetObjectW(current, sizeof lf, &lf)) lf.lfHeight = -11;
    lf.lfCharSet = SYMBOL_CHARSET;
    lf.lfWeight = FW_NORMAL;
    std::wstring w = Widen(face);
    lstrcpynW(lf.lfFaceName, w.c_str(), LF_FACESIZE);
    HFONT font = ::CreateFontIndirectW(&lf);
    if (!font) return;
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (symbolFont_) ::DeleteObject(symbolFont_);
    symbolFont_ = font;
}

bool NativeLabel::HasGlyphs(const std::string& text) const {
    std::wstring w = Widen(text);
    if (w.empty()) return true;
    HDC dc = ::GetDC(hwnd_);
    if (!dc) return false;
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
    std::vector<WORD> glyphs(w.size());
    DWORD got = ::GetGlyphIndicesW(dc, w.c_str(), static_cast<int>(w.size()), glyphs.data(),
                                   GGI_MARK_NONEXISTING_GLYPHS);
    ::SelectObject(dc, old);
    ::ReleaseDC(hwnd_, dc);
    if (got == GDI_ERROR) return false;
    for (WORD g : glyphs)
        if (g == 0xFFFF) return false;
    return true;
}

}  // namespace ui::win32
