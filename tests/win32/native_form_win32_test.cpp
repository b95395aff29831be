#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cmath>

#include <stdexcept>
#include <string>
#include <vector>

#include "common/commonForms.h"
#include "daemon/halcyradForms_win32.h"
#include "platform/callback_guard.h"
#include "platform/win32/hook_win32.h"
#include "platform/win32/text.h"
#include "ui/win32/native_ui.h"


namespace {

class NativeUiTest : public ::testing::Test {
protected:
    void SetUp() override {
        daemon_forms::RegisterAll(ui);
        form = ui.CreateForm("frmMain", nullptr);
    }
    HWND Window() const { return reinterpret_cast<HWND>(form->Handle().value); }
    HWND Item(int id) const { return ::GetDlgItem(Window(), id); }
    // The run list with check boxes, one column and two rows, measured.
    ui::ListView& TwoCheckedRows() {
        auto& lv = form->GetListView("lsvRun");
        lv.SetCheckBoxes();
        lv.AddColumn("Programs");
        lv.AddRow("Scan for Errors");
        lv.AddRow("Defragment");
        lv.AutoSizeColumns(true);
        return lv;
    }

    ui::win32::NativeUi ui{::GetModuleHandleW(nullptr)};
    std::unique_ptr<ui::Form> form;
};

using NativeUiListView = NativeUiTest;
using NativeUiControls = NativeUiTest;
using NativeUiEvents = NativeUiTest;
using NativeUiWindow = NativeUiTest;

UINT StateImage(HWND list, int row) {
    return static_cast<UINT>(::SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
}

TEST_F(NativeUiListView, CheckStateIsTheRealStateImage) {
    auto& lv = form->GetListView("lsvRun");
    HWND list = Item(IDC_MAIN_LSVRUN);
    lv.AddColumn("Programs");
    lv.AddRow("Scan for Errors");
    // Before check boxes are enabled a row has no state image at all.
    EXPECT_EQ(StateImage(list, 0), 0u);
    EXPECT_FALSE(lv.IsItemChecked(0));

    lv.SetFullRowSelect();
    lv.SetCheckBoxes();
    auto ex = static_cast<DWORD>(::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(ex & (LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES), DWORD(LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES));

    lv.AddRow("Defragment");
    lv.CheckItem(1);
    EXPECT_EQ(StateImage(list, 1), 0x2000u);
    EXPECT_TRUE(lv.IsItemChecked(1));
    EXPECT_FALSE(lv.IsItemChecked(0));
    lv.UncheckItem(1);
    EXPECT_EQ(StateImage(list, 1), 0x1000u);
    EXPECT_FALSE(lv.IsItemChecked(1));

    // A check set behind the wrapper's back reads through as well.
    ListView_SetCheckState(list, 0, TRUE);
    EXPECT_TRUE(lv.IsItemChecked(0));
}

TEST_F(NativeUiListView, CellsColumnsAndRows) {
    auto& lv = form->GetListView("lsvRun");
    lv.AddColumn("Programs");
    lv.AddColumn("Days Run");
    EXPECT_EQ(lv.ColumnCount(), 2);
    EXPECT_EQ(lv.ColumnHeader(1), "Days Run");
    EXPECT_EQ(lv.AddRow("Backup"), 0);
    EXPECT_EQ(lv.AddRow("Anti-Virus"), 1);
    lv.SetCellText(1, 1, "MWF(1)");
    EXPECT_EQ(lv.GetItemText(1, 0), "Anti-Virus");
    EXPECT_EQ(lv.GetItemText(1, 1), "MWF(1)");

    // A name of any length reads back whole: cut, it would no longer name
    // its values.
    for (size_t length : {255u, 256u, 300u, 5000u}) {
        std::string longText(length, 'x');
        longText.replace(0, 10, "0123456789");
        lv.SetCellText(0, 1, longText);
        EXPECT_EQ(lv.GetItemText(0, 1), longText) << length;
    }

    lv.AutoSizeColumns(false);
    EXPECT_GT(ListView_GetColumnWidth(Item(IDC_MAIN_LSVRUN), 1), 0);

    lv.ClearColumns();
    EXPECT_EQ(lv.ColumnCount(), 0);
}

TEST_F(NativeUiListView, DeleteAndSelect) {
    auto& lv = form->GetListView("lsvRun");
    lv.AddColumn("Programs");
    lv.DeleteItem(0);  // empty: nothing happens
    EXPECT_EQ(lv.RowCount(), 0);
    EXPECT_EQ(lv.SelectedRow(), -1);

    for (const char* name : {"a", "b", "c"}) lv.AddRow(name);
    lv.SelectItem(2);
    EXPECT_EQ(lv.SelectedRow(), 2);
    EXPECT_EQ(::SendMessageW(Item(IDC_MAIN_LSVRUN), LVM_GETITEMSTATE, 2, LVIS_FOCUSED), LVIS_FOCUSED);
    lv.DeleteItem(0);
    EXPECT_EQ(lv.RowCount(), 2);
    EXPECT_EQ(lv.GetItemText(0, 0), "b");
    lv.DeleteAllItems();
    EXPECT_EQ(lv.RowCount(), 0);
}

// A row's whole bounds and its label's, as the list lays them out.
struct RowRects {
    RECT bounds{}, label{};
    int MidY() const { return (label.top + label.bottom) / 2; }
};
RowRects RectsOf(HWND list, int row) {
    RowRects r;
    ListView_GetItemRect(list, row, &r.bounds, LVIR_BOUNDS);
    ListView_GetItemRect(list, row, &r.label, LVIR_LABEL);
    return r;
}

TEST_F(NativeUiListView, HitTestCountsOnlyTheCheckBox) {
    auto& lv = TwoCheckedRows();
    HWND list = Item(IDC_MAIN_LSVRUN);

    const RowRects rects = RectsOf(list, 1);
    const RECT &bounds = rects.bounds, &label = rects.label;
    int y = rects.MidY();
    ASSERT_GT(label.left, bounds.left + 8) << "no room for a state icon";
    // The state icon sits at the left of the row, before the label.
    EXPECT_EQ(lv.HitTestCheckBox(bounds.left + 8, y), 1);
    EXPECT_EQ(lv.HitTestCheckBox(label.left + 4, y), -1);
    EXPECT_EQ(lv.HitTestCheckBox(bounds.left + 8, bounds.bottom + 200), -1);
}

// A click on a row's check box, as the mouse gives it.
void ClickStateIcon(HWND list, int row) {
    RowRects r = RectsOf(list, row);
    LPARAM at = MAKELPARAM(r.bounds.left + 8, r.MidY());
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(list, WM_LBUTTONUP, 0, at);
}

TEST_F(NativeUiListView, ALockedCheckKeepsItsStateAgainstClicksButNotTheProgram) {
    auto& lv = TwoCheckedRows();
    HWND list = Item(IDC_MAIN_LSVRUN);
    lv.LockItemCheck(1);
    ClickStateIcon(list, 0);
    ASSERT_TRUE(lv.IsItemChecked(0)) << "a click on a free row's box ticks it";
    ClickStateIcon(list, 1);
    EXPECT_FALSE(lv.IsItemChecked(1));
    lv.SelectItem(1);
    ::SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
    ::SendMessageW(list, WM_KEYUP, VK_SPACE, 0);
    EXPECT_FALSE(lv.IsItemChecked(1));
    lv.CheckItem(1);
    EXPECT_TRUE(lv.IsItemChecked(1));
    // The lock goes with its row, not with its place.
    lv.InsertRow(0, "Backup");
    ClickStateIcon(list, 1);
    EXPECT_FALSE(lv.IsItemChecked(1));
    ClickStateIcon(list, 2);
    EXPECT_TRUE(lv.IsItemChecked(2));
}

TEST_F(NativeUiListView, BackColorIsTheSystemColour) {
    auto& lv = form->GetListView("lsvRun");
    EXPECT_EQ(lv.BackColor(), ui::SysColor::Window);
    lv.SetBackColor(ui::SysColor::ButtonFace);
    EXPECT_EQ(lv.BackColor(), ui::SysColor::ButtonFace);
    EXPECT_EQ(ListView_GetBkColor(Item(IDC_MAIN_LSVRUN)), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ListView_GetTextBkColor(Item(IDC_MAIN_LSVRUN)), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(NativeUiControls, CaptionsOfEveryKind) {
    form->GetLabel("lblTitle").SetCaption("Wählen Sie eine der folgenden Optionen:");
    EXPECT_EQ(form->GetLabel("lblTitle").Caption(), "Wählen Sie eine der folgenden Optionen:");
    form->GetButton("cmdDetails").SetCaption("<< Détails");
    EXPECT_EQ(form->GetButton("cmdDetails").Caption(), "<< Détails");
    form->GetCheckBox("chkStopServices").SetCaption("Pare los servicios siguientes antes de parada normal o recomiéncelos");
    EXPECT_EQ(form->GetCheckBox("chkStopServices").Caption(),
              "Pare los servicios siguientes antes de parada normal o recomiéncelos");
    form->GetOption("optShutdown").SetCaption("&Cerrar el equipo?");
    EXPECT_EQ(form->GetOption("optShutdown").Caption(), "&Cerrar el equipo?");
    form->SetCaption("Halcyra");
    EXPECT_EQ(form->Caption(), "Halcyra");

    // Tabs come into being when named.
    auto& tab = form->GetTab("SSTab1");
    EXPECT_EQ(tab.TabCount(), 0);
    tab.SetTabCaption(1, "Dienstleistungen");
    tab.SetTabCaption(0, "Programme");
    EXPECT_EQ(tab.TabCount(), 2);
    EXPECT_EQ(tab.TabCaption(0), "Programme");
    EXPECT_EQ(tab.TabCaption(1), "Dienstleistungen");
    tab.SelectTab(1);
    EXPECT_EQ(tab.SelectedTab(), 1);

    // The template's picture shows the program's icon.
    EXPECT_TRUE(form->GetPicture("imgMain").IconHandle());
}

TEST_F(NativeUiControls, OptionButtonsAreOneGroup) {
    auto& shut = form->GetOption("optShutdown");
    auto& msdos = form->GetOption("optMSDOS");
    auto& logoff = form->GetOption("optLogoff");
    shut.SetValue(true);
    msdos.SetValue(true);
    EXPECT_FALSE(shut.Value());
    EXPECT_TRUE(msdos.Value());
    // A click of the user's clears the others too.
    ::SendMessageW(Item(IDC_MAIN_OPTLOGOFF), BM_CLICK, 0, 0);
    EXPECT_TRUE(logoff.Value());
    EXPECT_FALSE(msdos.Value());
    EXPECT_FALSE(shut.Value());
    logoff.SetValue(false);
    EXPECT_FALSE(logoff.Value());
}

TEST_F(NativeUiControls, ComboListAndTextBoxes) {
    auto& combo = form->GetComboBox("cmbShutdown");
    EXPECT_EQ(combo.ListIndex(), -1);
    combo.AddItem("Logoff Jörg");
    combo.AddItem("Shut down");
    combo.AddItem("Restart");
    EXPECT_EQ(combo.ListCount(), 3);
    EXPECT_EQ(combo.List(0), "Logoff Jörg");
    EXPECT_EQ(combo.List(3), "");
    combo.SetListIndex(2);
    EXPECT_EQ(combo.ListIndex(), 2);
    combo.Clear();
    EXPECT_EQ(combo.ListCount(), 0);

    auto& list = form->GetListBox("lstStop");
    list.AddItem("No services are set to stop.");
    list.AddItem("Spooler");
    EXPECT_EQ(list.ListCount(), 2);
    EXPECT_EQ(list.List(1), "Spooler");  // kept in order added, not sorted
    list.Clear();
    EXPECT_EQ(list.ListCount(), 0);

    auto pw = ui.CreateForm("frmPasswordToAccess", form.get());
    auto& text = pw->GetTextBox("txtPassword");
    HWND edit = reinterpret_cast<HWND>(::GetDlgItem(reinterpret_cast<HWND>(pw->Handle().value), IDC_PWD_TXTPASSWORD));
    EXPECT_EQ(::SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), L'*');
    text.SetText("geheim");
    EXPECT_EQ(text.Text(), "geheim");
}

TEST_F(NativeUiControls, ListBoxPaintsWithItsSystemColour) {
    auto& list = form->GetListBox("lstStop");
    HWND lst = Item(IDC_MAIN_LSTSTOP);
    HDC dc = ::GetDC(lst);
    auto brushFor = [&] {
        return reinterpret_cast<HBRUSH>(
            ::SendMessageW(Window(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(lst)));
    };
    EXPECT_EQ(list.BackColor(), ui::SysColor::Window);
    EXPECT_EQ(brushFor(), ::GetSysColorBrush(COLOR_WINDOW));
    list.SetBackColor(ui::SysColor::ButtonFace);
    EXPECT_EQ(list.BackColor(), ui::SysColor::ButtonFace);
    EXPECT_EQ(brushFor(), ::GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(::GetBkColor(dc), ::GetSysColor(COLOR_BTNFACE));
    ::ReleaseDC(lst, dc);
}

TEST_F(NativeUiControls, WrongNameOrKindIsAProgrammingError) {
    EXPECT_THROW(form->GetButton("cmdNope"), std::logic_error);
    EXPECT_THROW(form->GetCheckBox("cmdOK"), std::logic_error);
    EXPECT_THROW(form->GetOption("chkRunThisFirst"), std::logic_error);
    EXPECT_THROW(form->GetListBox("lsvRun"), std::logic_error);
    EXPECT_THROW(form->GetMenu("mnuOther"), std::logic_error);
    EXPECT_THROW(ui.CreateForm("frmUnknown", nullptr), std::logic_error);
    try {
        form->GetComboBox("lstStop");
        FAIL() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_NE(std::string(e.what()).find("lstStop"), std::string::npos);
    }
    // Labels and push buttons are both only a caption.
    EXPECT_NO_THROW(form->GetLabel("cmdOK"));
}

TEST_F(NativeUiControls, MenuCaptionsKeepTheirCommands) {
    auto& menu = form->GetMenu("mnuSystemTray");
    EXPECT_EQ(menu.Caption("selShutdown"), "Shutdown Windows");
    EXPECT_EQ(menu.Caption("selExit"), "Unload");
    menu.SetCaption("selExit", "Schließen Halcyra");
    EXPECT_EQ(menu.Caption("selExit"), "Schließen Halcyra");
    EXPECT_EQ(menu.Caption("selAbout"), "About");
    EXPECT_THROW(menu.Caption("selNothing"), std::logic_error);
    EXPECT_EQ(&form->GetMenu("mnuSystemTray"), &menu);
}

TEST_F(NativeUiEvents, ClicksReachTheHandlerByName) {
    std::vector<std::string> seen;
    for (const char* name : {"cmdOK", "chkRunThisFirst", "optRestart", "cmbShutdown", "SSTab1", "selAbout"})
        form->OnClick(name, [&seen, name] { seen.push_back(name); });
    int changes = 0;
    form->OnChange("lblTitle", [&] { ++changes; });

    ::SendMessageW(Item(IDC_MAIN_CMDOK), BM_CLICK, 0, 0);
    ::SendMessageW(Item(IDC_MAIN_CHKRUNTHISFIRST), BM_CLICK, 0, 0);
    EXPECT_EQ(form->GetCheckBox("chkRunThisFirst").Value(), 1);
    ::SendMessageW(Item(IDC_MAIN_OPTRESTART), BM_CLICK, 0, 0);
    ::SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDC_MAIN_CMBSHUTDOWN, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(Item(IDC_MAIN_CMBSHUTDOWN)));
    ::SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDC_MAIN_CMBSHUTDOWN, CBN_DROPDOWN),
                   reinterpret_cast<LPARAM>(Item(IDC_MAIN_CMBSHUTDOWN)));
    NMHDR hdr{Item(IDC_MAIN_SSTAB1), IDC_MAIN_SSTAB1, static_cast<UINT>(TCN_SELCHANGE)};
    ::SendMessageW(Window(), WM_NOTIFY, IDC_MAIN_SSTAB1, reinterpret_cast<LPARAM>(&hdr));
    ::SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDM_SELABOUT, 0), 0);
    // A button without a handler is simply ignored.
    ::SendMessageW(Item(IDC_MAIN_CMDHELP), BM_CLICK, 0, 0);

    std::vector<std::string> expected = {"cmdOK", "chkRunThisFirst", "optRestart", "cmbShutdown", "SSTab1", "selAbout"};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(changes, 0);
}

TEST_F(NativeUiEvents, TypingChangesATextBox) {
    auto pw = ui.CreateForm("frmPasswordToAccess", nullptr);
    int changes = 0;
    pw->OnChange("txtPassword", [&] { ++changes; });
    HWND edit = ::GetDlgItem(reinterpret_cast<HWND>(pw->Handle().value), IDC_PWD_TXTPASSWORD);
    ::SendMessageW(edit, WM_CHAR, L'a', 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(pw->GetTextBox("txtPassword").Text(), "a");
}

TEST_F(NativeUiEvents, MouseDownCarriesButtonShiftAndPosition) {
    std::vector<ui::MouseEvent> ok, list;
    form->OnMouseDown("cmdOK", [&](const ui::MouseEvent& e) { ok.push_back(e); });
    form->OnMouseDown("lsvRun", [&](const ui::MouseEvent& e) { list.push_back(e); });
    ::SendMessageW(Item(IDC_MAIN_CMDOK), WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(5, 7));
    ::SendMessageW(Item(IDC_MAIN_CMDOK), WM_LBUTTONUP, 0, MAKELPARAM(5, 7));
    // The list view waits for the button to come up again: queue that first.
    ::PostMessageW(Item(IDC_MAIN_LSVRUN), WM_RBUTTONUP, MK_CONTROL, MAKELPARAM(30, 12));
    ::SendMessageW(Item(IDC_MAIN_LSVRUN), WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, MAKELPARAM(30, 12));
    ui.DoEvents();
    ASSERT_EQ(ok.size(), 1u);
    EXPECT_EQ(ok[0].button, 1);
    EXPECT_EQ(ok[0].shift, ui::kShiftMask);
    EXPECT_EQ(ok[0].x, 5);
    EXPECT_EQ(ok[0].y, 7);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].button, 2);
    EXPECT_EQ(list[0].shift, ui::kCtrlMask);
    EXPECT_EQ(list[0].x, 30);
}

std::vector<std::string>* g_log;

LRESULT CALLBACK LogKeys(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (msg == WM_KEYDOWN) g_log->push_back("control " + std::to_string(wParam));
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

TEST_F(NativeUiEvents, KeysReachTheFormBeforeTheControl) {
    std::vector<std::string> log;
    g_log = &log;
    HWND check = Item(IDC_MAIN_CHKRUNTHISFIRST);
    ::SetWindowSubclass(check, LogKeys, 1, 0);
    form->OnKeyDown([&](int key, int shift) {
        log.push_back("form " + std::to_string(key) + "/" + std::to_string(shift));
        return key == 'S';  // swallow S only
    });
    form->ShowModeless();
    ::PostMessageW(check, WM_KEYDOWN, 'F', 0);
    ::PostMessageW(check, WM_KEYDOWN, 'S', 0);
    ui.DoEvents();
    ::RemoveWindowSubclass(check, LogKeys, 1);
    std::vector<std::string> expected = {"form 70/0", "control 70", "form 83/0"};
    EXPECT_EQ(log, expected);
}

ui::Form* g_prompt;

void CALLBACK TypeAndPressOk(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    HWND dlg = reinterpret_cast<HWND>(g_prompt->Handle().value);
    ::SetDlgItemTextW(dlg, IDC_PWD_TXTPASSWORD, L"Geheim");
    ::SendMessageW(::GetDlgItem(dlg, IDC_PWD_CMDOK), BM_CLICK, 0, 0);
}

TEST_F(NativeUiWindow, ModalPromptReturnsWhenAHandlerCloses) {
    auto pw = ui.CreateForm("frmPasswordToAccess", form.get());
    std::string entered;
    pw->OnClick("cmdOK", [&] {
        entered = pw->GetTextBox("txtPassword").Text();
        pw->Close();
    });
    form->ShowModeless();
    g_prompt = pw.get();
    ::SetTimer(nullptr, 0, 50, TypeAndPressOk);
    bool ownerDisabledDuring = false;
    pw->OnChange("txtPassword", [&] { ownerDisabledDuring = !::IsWindowEnabled(Window()); });
    pw->ShowModal();
    EXPECT_EQ(entered, "Geheim");
    EXPECT_TRUE(ownerDisabledDuring);
    EXPECT_TRUE(::IsWindowEnabled(Window()));
    EXPECT_FALSE(pw->IsVisible());
    EXPECT_EQ(pw->Caption(), "Enter Password");
}

void CALLBACK CloseBox(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    ::SendMessageW(reinterpret_cast<HWND>(g_prompt->Handle().value), WM_SYSCOMMAND, SC_CLOSE, 0);
}

TEST_F(NativeUiWindow, CloseRequestsCanBeRefused) {
    int asked = 0;
    bool allow = false;
    form->OnCloseRequest([&] {
        ++asked;
        return allow;
    });
    ::SendMessageW(Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(::IsWindow(Window()));
    allow = true;
    HWND hwnd = Window();
    ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(::IsWindow(hwnd));

    // The close box of a modal dialog ends its showing.
    auto pw = ui.CreateForm("frmPasswordToAccess", nullptr);
    g_prompt = pw.get();
    ::SetTimer(nullptr, 0, 50, CloseBox);
    pw->ShowModal();
    EXPECT_FALSE(pw->IsVisible());
}

TEST_F(NativeUiWindow, ATimerRunsItsHandlerUntilStopped) {
    int ticks = 0;
    form->StartTimer(3, 20, [&] {
        if (++ticks == 2) form->StopTimer(3);  // stopped from its own handler
    });
    auto pump = [](DWORD ms) {
        for (DWORD end = ::GetTickCount() + ms; ::GetTickCount() < end;) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
            ::Sleep(5);
        }
    };
    pump(400);
    EXPECT_EQ(ticks, 2);
    EXPECT_THROW(form->StartTimer(0, 20, [] {}), std::logic_error);
}

TEST_F(NativeUiWindow, SizesInTwips) {
    HDC dc = ::GetDC(nullptr);
    const double dpiX = ::GetDeviceCaps(dc, LOGPIXELSX), dpiY = ::GetDeviceCaps(dc, LOGPIXELSY);
    ::ReleaseDC(nullptr, dc);
    auto pixels = [](int twips, double dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); };
    form->SetHeightTwips(3225);
    RECT r;
    ::GetWindowRect(Window(), &r);
    EXPECT_EQ(r.bottom - r.top, pixels(3225, dpiY));
    EXPECT_LE(std::abs(form->HeightTwips() - 3225), static_cast<int>(1440 / dpiY));
    form->SetHeightTwips(6075);
    EXPECT_LE(std::abs(form->HeightTwips() - 6075), static_cast<int>(1440 / dpiY));
    EXPECT_EQ(ui.ScreenWidthTwips(), static_cast<int>(std::lround(::GetSystemMetrics(SM_CXSCREEN) * 1440.0 / dpiX)));

    form->MoveTwips(static_cast<int>(100 * 1440 / dpiX), static_cast<int>(50 * 1440 / dpiY));
    ::GetWindowRect(Window(), &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 50);
    form->SetTopmost();
    EXPECT_TRUE(::GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    form->CenterOnScreen();
    ::GetWindowRect(Window(), &r);
    EXPECT_LE(std::abs((r.left + r.right) / 2 - ::GetSystemMetrics(SM_CXSCREEN) / 2), 1);
}

// Windows asks whether the session may end: the handler answers, through
// the dialog's result, with the question's flags. The answer is set last,
// so a message the handler's waits let through (here another question)
// does not change it. Without a handler, or when it fails, the window agrees.
TEST_F(NativeUiWindow, TheQuestionOfASessionEndIsAnsweredByItsHandler) {
    auto ask = [&](LPARAM flags) { return ::SendMessageW(Window(), WM_QUERYENDSESSION, 0, flags); };
    EXPECT_EQ(ask(ENDSESSION_LOGOFF), TRUE);
    std::vector<std::uint32_t> asked;
    LRESULT inner = -1;
    form->OnQueryEndSession([&](std::uint32_t flags) {
        asked.push_back(flags);
        if (asked.size() == 1) inner = ::SendMessageW(Window(), WM_QUERYENDSESSION, 0, ENDSESSION_CRITICAL);
        return asked.size() != 1 && flags == ENDSESSION_CRITICAL;
    });
    EXPECT_EQ(ask(ENDSESSION_LOGOFF), FALSE);
    EXPECT_EQ(inner, TRUE);
    EXPECT_EQ(asked, (std::vector<std::uint32_t>{ENDSESSION_LOGOFF, ENDSESSION_CRITICAL}));
    std::vector<std::string> reported;
    platform::SetCallbackErrorSink([&](const std::string& what) { reported.push_back(what); });
    form->OnQueryEndSession([](std::uint32_t) -> bool { throw std::runtime_error("registry gone"); });
    EXPECT_EQ(ask(0), TRUE);
    EXPECT_EQ(reported, std::vector<std::string>{"registry gone"});
    platform::SetCallbackErrorSink(nullptr);
}

// A tool tip goes to the form's tool-tip window twice, for the control and
// for its place on the dialog (which gets the mouse while the control is
// disabled); the text is given only while the control is visible.
TEST_F(NativeUiControls, AToolTipIsGivenForADisabledControlWhileItIsVisible) {
    auto& box = form->GetCheckBox("chkRunThisFirst");
    HWND control = Item(IDC_MAIN_CHKRUNTHISFIRST);
    box.SetEnabled(false);
    box.SetToolTip("Needs Windows Vista or later.");
    EXPECT_EQ(box.ToolTip(), "Needs Windows Vista or later.");
    HWND tips = nullptr;
    for (HWND w = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); w && !tips;
         w = ::FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr))
        if (::GetWindow(w, GW_OWNER) == Window()) tips = w;
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(::SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 2);
    auto text = [&](UINT_PTR id, UINT flags) {
        NMTTDISPINFOW info{};
        info.hdr = {tips, id, static_cast<UINT>(TTN_GETDISPINFOW)};
        info.uFlags = flags;
        ::SendMessageW(Window(), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
        return std::wstring(info.lpszText ? info.lpszText : L"<none>");
    };
    EXPECT_EQ(text(IDC_MAIN_CHKRUNTHISFIRST, 0), L"Needs Windows Vista or later.");
    EXPECT_EQ(text(reinterpret_cast<UINT_PTR>(control), TTF_IDISHWND), L"Needs Windows Vista or later.");
    box.SetVisible(false);
    EXPECT_EQ(text(IDC_MAIN_CHKRUNTHISFIRST, 0), L"");
    box.SetVisible(true);
    box.SetToolTip("");
    EXPECT_EQ(text(IDC_MAIN_CHKRUNTHISFIRST, 0), L"");
}

TEST_F(NativeUiWindow, ShowHideAndVisibilityOfControls) {
    EXPECT_FALSE(form->IsVisible());
    auto& opt = form->GetOption("optMSDOS");
    EXPECT_TRUE(opt.Visible());  // its own flag, though the form is hidden
    opt.SetVisible(false);
    EXPECT_FALSE(opt.Visible());
    opt.SetEnabled(false);
    EXPECT_FALSE(opt.Enabled());
    form->ShowModeless();
    EXPECT_TRUE(form->IsVisible());
    form->Hide();
    EXPECT_FALSE(form->IsVisible());
}

}  // namespace

namespace {

std::vector<std::string> g_errorBoxes;

// Answers the message box the error barrier shows, noting its title and text.
void CALLBACK AnswerErrorBox(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = ::FindWindowW(L"#32770", L"Halcyra");
    if (!box) return;
    ::KillTimer(nullptr, id);
    wchar_t text[256] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 256);
    g_errorBoxes.push_back(platform::win32::Narrow(text));
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
}

}  // namespace

TEST_F(NativeUiEvents, AThrowingHandlerIsShownAndTheWindowKeepsWorking) {
    basDaemon::ShowCallbackErrors(ui);
    g_errorBoxes.clear();
    int clicks = 0;
    form->OnClick("cmdDetails", [&] {
        if (++clicks == 1) throw std::runtime_error("Disk full");
    });
    EXPECT_THROW(form->OnClick("cmdDetail", [] {}), std::logic_error);
    EXPECT_THROW(form->OnChange("txtNothing", [] {}), std::logic_error);
    EXPECT_THROW(form->OnMouseDown("cmdOkay", [](const ui::MouseEvent&) {}), std::logic_error);

    ::SetTimer(nullptr, 0, 50, AnswerErrorBox);
    ::SendMessageW(Item(IDC_MAIN_CMDDETAILS), BM_CLICK, 0, 0);
    EXPECT_EQ(g_errorBoxes, std::vector<std::string>{"Disk full"});
    ::SendMessageW(Item(IDC_MAIN_CMDDETAILS), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(g_errorBoxes.size(), 1u);

    // The hook's deferred event is called back by the system too.
    platform::win32::Win32ShellHook hook;
    int deferred = 0;
    ASSERT_TRUE(hook.Arm(
        ::GetCurrentProcessId(), [](platform::WindowHandle) {},
        [&](platform::WindowHandle) {
            if (++deferred == 1) throw std::logic_error("no such control");
        }));
    ::SetTimer(nullptr, 0, 50, AnswerErrorBox);
    hook.RequestDeferred(form->Handle());
    for (int i = 0; i < 100 && g_errorBoxes.size() < 2; ++i) {
        ui.DoEvents();
        ::Sleep(10);
    }
    hook.RequestDeferred(form->Handle());
    ui.DoEvents();
    EXPECT_EQ(deferred, 2);
    EXPECT_EQ(g_errorBoxes, (std::vector<std::string>{"Disk full", "no such control"}));
    platform::SetCallbackErrorSink(nullptr);
}
