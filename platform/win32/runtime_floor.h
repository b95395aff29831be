#pragma once
#include <cstdint>

namespace platform::win32 {

// Milliseconds since the system started, never wrapping: GetTickCount64
// where the system has it (Vista on), the widened 32-bit count before.
std::uint64_t TickCount64() noexcept;

}  // namespace platform::win32
