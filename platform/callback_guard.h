#pragma once
#include <exception>
#include <functional>
#include <string>
#include <utility>

namespace platform {

// An exception must never unwind through a frame of the system's: whatever
// the system calls back (window and dialog procedures, hooks, the applet's
// entry, service handlers) runs its work through Guarded. The work is then
// abandoned and the user is told, through the sink the entry point set.
using CallbackErrorSink = std::function<void(const std::string& what)>;

inline CallbackErrorSink& CallbackErrorSinkSlot() {
    static CallbackErrorSink sink;
    return sink;
}

inline void SetCallbackErrorSink(CallbackErrorSink sink) { CallbackErrorSinkSlot() = std::move(sink); }

inline void ReportCallbackError(const std::string& what) noexcept {
    try {
        if (auto& sink = CallbackErrorSinkSlot()) sink(what);
    } catch (...) {
        // Telling the user failed too; the callback still returns normally.
    }
}

// True when `work` ran to its end.
template <class Work>
bool Guarded(Work&& work) noexcept {
    try {
        std::forward<Work>(work)();
        return true;
    } catch (const std::exception& e) {
        ReportCallbackError(e.what());
    } catch (...) {
        ReportCallbackError("Unknown error");
    }
    return false;
}

}  // namespace platform
