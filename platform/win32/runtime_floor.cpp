// The toolchain's threads library (winpthreads) imports GetTickCount64,
// which Windows XP does not export: a program importing it does not start
// there. Its import slot is defined here instead, in an object linked into
// every program and module ahead of the system's import libraries, so the
// linker takes this one and the name never reaches the import table.
#include "platform/win32/runtime_floor.h"

#include <windows.h>

#include <atomic>

#include "platform/clock.h"

namespace platform::win32 {

std::uint64_t TickCount64() noexcept {
    using Tick64 = ULONGLONG(WINAPI*)();
    static const auto tick64 = reinterpret_cast<Tick64>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
    if (tick64) return tick64();
    static std::atomic<std::uint64_t> last{0};
    std::uint64_t seen = last.load();
    for (;;) {
        const std::uint64_t now = WidenTicks(seen, ::GetTickCount());
        if (now == seen || last.compare_exchange_weak(seen, now)) return now;
    }
}

}  // namespace platform::win32

namespace {
ULONGLONG WINAPI TickCount64Import() { return platform::win32::TickCount64(); }
}  // namespace

// The slot's decorated name: __imp__Name@bytes on x86, __imp_Name on x64.
#if defined(__i386__)
#define HALCYRA_IMPORT_SLOT(name, bytes) "__imp__" #name "@" #bytes
#else
#define HALCYRA_IMPORT_SLOT(name, bytes) "__imp_" #name
#endif

extern "C" {
extern ULONGLONG(WINAPI* const halcyraTickCount64Slot)() __asm__(HALCYRA_IMPORT_SLOT(GetTickCount64, 0));
ULONGLONG(WINAPI* const halcyraTickCount64Slot)() = TickCount64Import;
}
