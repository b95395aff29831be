// halcyrad.exe entry: the Win32 adapters, the native windowing, start-up and
// the message loop. Everything else is in the platform-neutral units.
#include <windows.h>

#include <memory>

#include "common/basCountry.h"
#include "daemon/basDaemon.h"
#include "daemon/halcyradForms_win32.h"
#include "daemon/frmAbout.h"
#include "daemon/frmMain.h"
#include "platform/win32/system_win32.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/native_ui.h"

namespace {

std::string ProgramFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::string p = platform::win32::Narrow(path, n);
    std::string folder = p.substr(0, p.find_last_of('\\'));
    return folder.size() == 2 ? folder + "\\" : folder;  // a drive root keeps its backslash
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    platform::win32::RestrictDllSearch();
    platform::win32::Win32Platform win32;
    platform::Platform& plat = win32.plat;

    ui::win32::NativeUi nativeUi(instance);
    daemon_forms::RegisterAll(nativeUi);
    basDaemon::ShowCallbackErrors(nativeUi);

    halcyrad::DaemonState state;
    state.CommandLine = platform::win32::Narrow(commandLine ? std::wstring(commandLine) : std::wstring());
    if (!basDaemon::Startup(plat, nativeUi, state, ProgramFolder())) return 0;

    nativeUi.UseHiddenOwner();
    auto mainForm = nativeUi.CreateForm("frmMain", nullptr);
    halcyrad::frmMain main(nativeUi, *mainForm, plat, state);
    main.OnEnd = [] { PostQuitMessage(0); };

    std::unique_ptr<ui::Form> aboutForm;
    std::unique_ptr<halcyrad::frmAbout> about;
    main.OnAbout = [&] {
        if (about && aboutForm->Handle() && IsWindow(reinterpret_cast<HWND>(aboutForm->Handle().value))) {
            aboutForm->ShowModeless();
            return;
        }
        about.reset();
        aboutForm = nativeUi.CreateForm("frmAbout", nullptr);
        auto v = win32.system.ProgramVersion();
        about = std::make_unique<halcyrad::frmAbout>(
            nativeUi, *aboutForm, plat, state, halcyrad::BuildVersionText(state.CountryCode, v[0], v[1], v[3]));
        about->Form_Load();
        aboutForm->ShowModeless();
    };

    main.Form_Load();
    int rc = ui::win32::RunMessageLoop();
    about.reset();
    aboutForm.reset();
    return rc;
}
