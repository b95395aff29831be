#pragma once
#include <windows.h>

namespace platform::win32 {

// The property a top-level window carries when it keeps its keyboard and
// mouse input while the thread waits in WaitAnswering.
inline constexpr const wchar_t* kInputDuringWaitsProp = L"HalcyraInputDuringWaits";

// Waits at most `ms` for `handle` to be signalled (or only the time, when
// `handle` is null), answering this thread's windows meanwhile: sent and
// posted messages are dispatched, so windows paint and Windows never finds
// them hung, while keyboard and mouse input is dropped unless its top-level
// window carries kInputDuringWaitsProp. A quit request is kept for the loop
// that owns it. Returns WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED.
DWORD WaitAnswering(HANDLE handle, DWORD ms);

}  // namespace platform::win32
