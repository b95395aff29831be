#pragma once
#include <cstdint>
#include <functional>

#include "platform/platform.h"

// Ending the resident daemon from outside it: the applet's Unload and an
// installer replacing or removing the program ask it the same way.
namespace basDaemonClose {

// How long the daemon has to answer WM_CLOSE, then to end: a daemon busy
// with its shutdown sequence must not hold up the caller.
inline constexpr std::uint32_t kCloseAnswerMs = 5000;
inline constexpr std::uint32_t kDaemonEndMs = 5000;

// Sends `daemon` WM_CLOSE and waits for its process to end. The daemon
// answers 0 whether it ends or only hides its dialog, so only the end of
// its process counts; a process that cannot be opened leaves its window as
// the only sign. `beforeClose` runs between opening the process and the close.
bool CloseAndWait(platform::Platform& p, platform::WindowHandle daemon, const std::function<void()>& beforeClose = {});

}  // namespace basDaemonClose
