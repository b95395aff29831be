#include "ui/win32/native_ui.h"

#include <stdexcept>

#include "platform/callback_guard.h"
#include "platform/win32/text.h"
#include "ui/win32/native_form.h"

using platform::win32::Widen;

namespace ui::win32 {

NativeUi::NativeUi(void* module) : module_(module) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    // Links come with the common controls 6 alone; an older library may
    // refuse the whole request for them, so they are asked for apart.
    INITCOMMONCONTROLSEX links{sizeof links, ICC_LINK_CLASS};
    ::InitCommonControlsEx(&links);
}

NativeUi::~NativeUi() {
    if (hiddenOwner_) ::DestroyWindow(static_cast<HWND>(hiddenOwner_));
}

namespace {

LRESULT CALLBACK HiddenOwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    static const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    if (msg == taskbarCreated) {
        platform::Guarded([] {
            std::vector<NativeForm*> forms = NativeForm::Live();  // a handler may make or end forms
            for (NativeForm* f : forms) f->RunShellRestart();
        });
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void NativeUi::UseHiddenOwner() {
    if (hiddenOwner_) return;
    WNDCLASSW wc{};
    wc.lpfnWndProc = HiddenOwnerProc;
    wc.hInstance = static_cast<HINSTANCE>(module_);
    wc.lpszClassName = L"HalcyraHiddenOwner";
    ::RegisterClassW(&wc);
    hiddenOwner_ = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                     wc.hInstance, nullptr);
}

void NativeUi::RegisterTemplate(const std::string& templateName, const std::vector<ui::Binding>& controls,
                                const std::string& menuName, const std::vector<ui::Binding>& menuEntries) {
    templates_[templateName] = Template{controls, menuName, menuEntries};
}

void NativeUi::RegisterDialogClass(const std::string& className) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    ::GetClassInfoExW(nullptr, WC_DIALOG, &wc);
    std::wstring name = Widen(className);
    wc.hInstance = static_cast<HINSTANCE>(module_);
    wc.lpszClassName = name.c_str();
    ::RegisterClassExW(&wc);
}

std::unique_ptr<ui::Form> NativeUi::CreateForm(const std::string& templateName, ui::Form* owner) {
    auto it = templates_.find(templateName);
    if (it == templates_.end()) throw std::logic_error("template " + templateName + " is not registered");
    HWND ownerWindow = owner ? reinterpret_cast<HWND>(owner->Handle().value) : static_cast<HWND>(hiddenOwner_);
    return std::make_unique<NativeForm>(static_cast<HINSTANCE>(module_), templateName, it->second, ownerWindow);
}

int NativeUi::MsgBox(const std::string& text, const std::string& title, int flags) {
    return ::MessageBoxW(::GetActiveWindow(), Widen(text).c_str(), Widen(title).c_str(), static_cast<UINT>(flags));
}

void NativeUi::SetPointer(ui::Pointer pointer) {
    ::SetCursor(::LoadCursorW(nullptr, pointer == ui::Pointer::Hourglass ? IDC_WAIT : IDC_ARROW));
}

int NativeUi::ScreenWidthTwips() const { return PixelsToTwips(::GetSystemMetrics(SM_CXSCREEN), false); }
int NativeUi::ScreenHeightTwips() const { return PixelsToTwips(::GetSystemMetrics(SM_CYSCREEN), true); }

void NativeUi::DoEvents() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the loop that owns it
            return;
        }
        if (!PreTranslate(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

int RunMessageLoop() {
    MSG msg;
    BOOL got;
    while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got < 0) return -1;
        if (!PreTranslate(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace ui::win32
