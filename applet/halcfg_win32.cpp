// halcfg.cpl entry: the Control Panel's CPlApplet, and for a double-click
// the settings dialog on the Win32 adapters and the native windowing, inside
// the applet's own activation context.
#include <windows.h>
#include <cpl.h>

#include "applet/AppletState.h"
#include "applet/basApplet.h"
#include "applet/frmMain.h"
#include "applet/halcfgForms.h"
#include "common/basProduct.h"
#include "platform/callback_guard.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/native_ui.h"

namespace {

static_assert(sizeof(basApplet::AppletInfo) == sizeof(CPLINFO), "the record must have the platform's layout");

HMODULE OwnModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&OwnModule), &module);
    return module;
}

std::wstring ModulePath(HMODULE module) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
    return std::wstring(path, n);
}

// The applet's manifest (resource 2) made current while its dialogs live:
// Rundll32 and the Control Panel bring no common controls 6 of their own.
class ActivatedManifest {
public:
    explicit ActivatedManifest(HMODULE module) {
        std::wstring path = ModulePath(module);
        ACTCTXW ctx{};
        ctx.cbSize = sizeof ctx;
        ctx.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        ctx.hModule = module;
        ctx.lpSource = path.c_str();
        ctx.lpResourceName = MAKEINTRESOURCEW(2);  // ISOLATIONAWARE_MANIFEST_RESOURCE_ID
        context_ = CreateActCtxW(&ctx);
        if (context_ != INVALID_HANDLE_VALUE && !ActivateActCtx(context_, &cookie_)) cookie_ = 0;
    }
    ~ActivatedManifest() {
        if (cookie_) DeactivateActCtx(0, cookie_);
        if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
    }
    ActivatedManifest(const ActivatedManifest&) = delete;
    ActivatedManifest& operator=(const ActivatedManifest&) = delete;

private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
};

void ShowSettings(HMODULE module) {
    ActivatedManifest manifest(module);
    platform::win32::Win32Platform win32;
    ui::win32::NativeUi nativeUi(module);
    applet_forms::RegisterTemplates(nativeUi);
    platform::SetCallbackErrorSink(
        [&nativeUi](const std::string& what) { nativeUi.MsgBox(what, basProduct::kAppTitle, ui::kMbCritical); });

    halcfg::AppletState state;
    std::string path = platform::win32::Narrow(ModulePath(module));
    state.LibraryFolder = path.substr(0, path.find_last_of('\\') + 1);
    try {
        halcfg::frmMain main(nativeUi, win32.plat, state);
        main.Show();
    } catch (...) {
        platform::SetCallbackErrorSink(nullptr);
        throw;
    }
    platform::SetCallbackErrorSink(nullptr);
}

}  // namespace

extern "C" LONG APIENTRY CPlApplet(HWND, UINT message, LPARAM lParam1, LPARAM lParam2) {
    return basApplet::CplApplet(message, lParam1, lParam2, [] { ShowSettings(OwnModule()); });
}
