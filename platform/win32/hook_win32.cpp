#include "platform/win32/hook_win32.h"

#include <windows.h>

#include <vector>

#include "platform/callback_guard.h"
#include "platform/win32/text.h"

namespace platform::win32 {

namespace {

constexpr UINT kDeferredMessage = WM_APP + 0x48;
Win32ShellHook* g_hook = nullptr;  // WinEvent callbacks carry no context

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD, HWND hwnd, LONG idObject, LONG idChild, DWORD, DWORD) {
    if (!g_hook || !hwnd || idObject != OBJID_WINDOW || idChild != CHILDID_SELF) return;
    if (GetAncestor(hwnd, GA_PARENT) != GetDesktopWindow()) return;  // top-level windows only
    Guarded([&] { g_hook->Report({reinterpret_cast<std::uintptr_t>(hwnd)}); });
    // What the report asked for runs now that it has returned, still inside
    // the system's callback: a posted message would cost two trips through
    // the window server before the dialog can show.
    Guarded([&] { g_hook->RunRequested(); });
}

LRESULT CALLBACK MessageWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kDeferredMessage && g_hook) {
        Guarded([&] { g_hook->Deferred({static_cast<std::uintptr_t>(wp)}, static_cast<unsigned>(lp)); });
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

Win32ShellHook::Win32ShellHook() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = MessageWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"HalcyraHookEvents";
    RegisterClassW(&wc);
    messageWindow_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     wc.hInstance, nullptr);
    g_hook = this;
}

Win32ShellHook::~Win32ShellHook() {
    Disarm();
    if (messageWindow_) DestroyWindow(static_cast<HWND>(messageWindow_));
    if (g_hook == this) g_hook = nullptr;
}

void Win32ShellHook::Disarm() {
    for (void*& h : hooks_) {
        if (h) UnhookWinEvent(static_cast<HWINEVENTHOOK>(h));
        h = nullptr;
    }
}

bool Win32ShellHook::Arm(std::uint32_t processId, std::function<void(Handle)> onWindow,
                         std::function<void(Handle)> onDeferred) {
    Disarm();
    onWindow_ = std::move(onWindow);
    onDeferred_ = std::move(onDeferred);
    if (processId == 0) return false;
    // Creation and showing, and caption changes; not the noisy events between.
    hooks_[0] = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr, OnWinEvent, processId, 0,
                                WINEVENT_OUTOFCONTEXT);
    hooks_[1] = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, OnWinEvent, processId,
                                0, WINEVENT_OUTOFCONTEXT);
    enabled_ = hooks_[0] && hooks_[1];
    return enabled_;
}

void Win32ShellHook::Report(Handle window) {
    if (!enabled_ || !onWindow_) return;
    struct Depth {
        int& n;
        explicit Depth(int& d) : n(d) { ++n; }
        ~Depth() { --n; }
    } depth{reporting_};
    onWindow_(window);
}

void Win32ShellHook::RunRequested() {
    // One at a time: one that throws leaves the rest for the next callback.
    while (!requested_.empty()) {
        auto [window, generation] = requested_.front();
        requested_.erase(requested_.begin());
        Deferred(window, generation);
    }
}

void Win32ShellHook::RequestDeferred(Handle window) {
    if (reporting_) {
        requested_.emplace_back(window, generation_);
        return;
    }
    PostMessageW(static_cast<HWND>(messageWindow_), kDeferredMessage, static_cast<WPARAM>(window.value),
                 static_cast<LPARAM>(generation_));
}

void Win32ShellHook::SetEnabled(bool enabled) {
    // What was deferred while enabled is dropped once disabled, even if the
    // hook is enabled again before the posted event arrives.
    if (!enabled) ++generation_;
    enabled_ = enabled;
}

void Win32ShellHook::Deferred(Handle window, unsigned generation) {
    if (enabled_ && generation == generation_ && onDeferred_) onDeferred_(window);
}

}  // namespace platform::win32
