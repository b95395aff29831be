#pragma once
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

namespace platform {

struct LocalTime {
    int year = 2000;
    int month = 1;      // 1..12
    int day = 1;        // 1..31
    int dayOfWeek = 6;  // 0 Sunday .. 6 Saturday
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// A 32-bit millisecond count that wraps every 49.7 days, widened to 64 bits
// from the last widened value: a step back of less than half the range is a
// late reader (the value stays), a larger one is the wrap. Callers must read
// at least every 24 days.
constexpr std::uint64_t WidenTicks(std::uint64_t previous, std::uint32_t now) {
    const auto low = static_cast<std::uint32_t>(previous);
    std::uint64_t high = previous >> 32;
    if (now < low) {
        if (low - now < 0x80000000u) return previous;
        ++high;
    }
    return (high << 32) | now;
}

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() = 0;
    // Date and time as the user's settings show them: the short date, a
    // blank, the long time (what a log line carries).
    virtual std::string GeneralDate(const LocalTime& t) = 0;
    // A count of milliseconds that only moves forward, for measuring waits.
    virtual std::uint64_t Milliseconds() {
        using namespace std::chrono;
        return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    // Waits a while on the calling thread, answering its windows as
    // Process::Wait does.
    virtual void Pause(unsigned ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

}  // namespace platform
