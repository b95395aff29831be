#pragma once
#include <compare>
#include <cstdint>

namespace platform {

// A native handle of one kind: a window cannot be passed where an icon is
// expected. Zero is none.
template <class Kind>
struct NativeHandle {
    std::uintptr_t value = 0;
    explicit operator bool() const { return value != 0; }
    friend auto operator<=>(const NativeHandle&, const NativeHandle&) = default;
};

using WindowHandle = NativeHandle<struct WindowKind>;
using IconHandle = NativeHandle<struct IconKind>;

}  // namespace platform
