#include "common/basDaemonClose.h"

namespace basDaemonClose {

bool CloseAndWait(platform::Platform& p, platform::WindowHandle daemon, const std::function<void()>& beforeClose) {
    // Opened before the close, so an end that comes at once still counts.
    std::error_code openError;
    std::uint32_t processId = p.windows.ProcessOf(daemon);
    std::unique_ptr<platform::Process> process = processId ? p.processes.Open(processId, openError) : nullptr;
    if (beforeClose) beforeClose();
    bool answered = p.windows.SendClose(daemon, kCloseAnswerMs).has_value();
    return process ? process->Wait(answered ? kDaemonEndMs : 0) == platform::Process::kEnded
                   : !p.windows.Exists(daemon);
}

}  // namespace basDaemonClose
