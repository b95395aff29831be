// The program entry editor on its real template with the system's real
// open-file dialog: what the user picks there lands in the editor.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "applet/AppletState.h"
#include "applet/frmProgramSelection.h"
#include "applet/halcfgForms.h"
#include "applet/halcfgRes.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "test_util.h"
#include "ui/win32/native_ui.h"

namespace {

using testutil::DialogTitled;
using testutil::Process;
using testutil::TextOf;
using testutil::WaitFor;

using platform::win32::Narrow;
using platform::win32::Widen;




// The open-file dialog's file name field: an edit of the dialog (edt1) or
// inside its file name combo box (cmb13, a ComboBoxEx around a ComboBox).
HWND FileNameField(HWND dialog) {
    struct Search {
        HWND found = nullptr;
    } search;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM data) CALLBACK -> BOOL {
            wchar_t cls[16] = {};
            GetClassNameW(child, cls, 16);
            int id = GetDlgCtrlID(child);
            if (lstrcmpiW(cls, L"Edit") == 0 && (id == 0x480 || id == 0x47C) && IsWindowVisible(child)) {
                reinterpret_cast<Search*>(data)->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Click(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

TEST(AppletProgramEditor, TheOpenFileDialogsChoiceFillsProgramAndName) {
    // A batch file to choose, in a folder of its own.
    std::string folder = testutil::ProgramFolder() + "editor_pick\\";
    CreateDirectoryW(Widen(folder).c_str(), nullptr);
    std::string file = folder + "CLEANUP.BAT";
    std::ofstream(file) << "@echo off\r\n";

    ui::win32::NativeUi ui(GetModuleHandleW(nullptr));
    applet_forms::RegisterTemplates(ui);
    platform::win32::Win32Platform win32;
    halcfg::AppletState state;
    state.CountryCode = 1033;

    std::wstring openTitle, program, name;
    bool okEnabled = false;
    std::thread user([&] {
        HWND editor = nullptr;
        if (!WaitFor([&] { return (editor = DialogTitled(L"Application Selection")) != nullptr; })) return;
        Click(editor, IDC_SEL_CMDBROWSE);
        HWND open = nullptr;
        if (WaitFor([&] { return (open = DialogTitled(L"Select an application to run")) != nullptr; })) {
            openTitle = TextOf(open);
            HWND field = nullptr;
            WaitFor([&] { return (field = FileNameField(open)) != nullptr; }, 5000);
            if (field) {
                SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(file).c_str()));
                PostMessageW(open, WM_COMMAND, IDOK, 0);
            }
            if (!WaitFor([&] { return !IsWindow(open) || !IsWindowVisible(open); })) PostMessageW(open, WM_CLOSE, 0, 0);
        }
        WaitFor([&] { return !TextOf(GetDlgItem(editor, IDC_SEL_TXTPROGRAM)).empty(); }, 5000);
        program = TextOf(GetDlgItem(editor, IDC_SEL_TXTPROGRAM));
        name = TextOf(GetDlgItem(editor, IDC_SEL_TXTDISPLAYNAME));
        okEnabled = IsWindowEnabled(GetDlgItem(editor, IDOK)) != FALSE;
        Click(editor, IDOK);
        if (!WaitFor([&] { return !IsWindowVisible(editor); }, 5000)) Click(editor, IDCANCEL);
    });
    halcfg::frmProgramSelection editor(ui, nullptr, win32.plat, state);
    editor.Show();
    user.join();

    EXPECT_EQ(openTitle, L"Select an application to run");
    EXPECT_EQ(Narrow(program), file);
    EXPECT_EQ(name, L"CLEANUP");
    EXPECT_TRUE(okEnabled);
    EXPECT_EQ(state.Entry.DisplayName, "CLEANUP");
    EXPECT_EQ(state.Entry.Program, file);
    EXPECT_EQ(state.Entry.Days, "1234567");
    DeleteFileW(Widen(file).c_str());
    RemoveDirectoryW(Widen(folder).c_str());
}

}  // namespace
