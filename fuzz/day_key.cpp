// The day stamp of the once-per-day rule: any date gives a key without
// overflow; a valid date's key holds its year and day of the year, keys
// grow through a year, and a program last run on an earlier day is due
// while one run today is not.
#include <cstring>

#include "common/basSettings.h"
#include "fuzz_check.h"

namespace S = basSettings;

namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysIn(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return kDays[month - 1] + (month == 2 && IsLeap(year) ? 1 : 0);
}

int DayOfYear(int year, int month, int day) {
    int n = day - 1;
    for (int m = 1; m < month; ++m) n += DaysIn(year, m);
    return n;
}

std::string Date(int y, int m, int d) { return std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::int32_t raw[6] = {};
    std::memcpy(raw, data, std::min(size, sizeof raw));

    // Anything at all: a key, and the rule answers (the sanitizers watch).
    std::int32_t any = S::DayKey(raw[0], raw[1], raw[2]);
    (void)S::IsDueOnce(any, raw[3]);
    (void)S::IsDueOnce(raw[3], any);
    (void)S::IsDueOnce(raw[4], raw[5]);

    // Two valid dates of the system's clock (from 1601) while the stamp has
    // four digits for the year.
    auto date = [](std::int32_t a, std::int32_t b, std::int32_t c, int& y, int& m, int& d) {
        y = 1601 + static_cast<int>(static_cast<std::uint32_t>(a) % (9999 - 1600));
        m = 1 + static_cast<int>(static_cast<std::uint32_t>(b) % 12);
        d = 1 + static_cast<int>(static_cast<std::uint32_t>(c) % static_cast<std::uint32_t>(DaysIn(y, m)));
    };
    int y1, m1, d1, y2, m2, d2;
    date(raw[0], raw[1], raw[2], y1, m1, d1);
    date(raw[3], raw[4], raw[5], y2, m2, d2);
    std::int32_t k1 = S::DayKey(y1, m1, d1), k2 = S::DayKey(y2, m2, d2);
    FUZZ_CHECK(k1 % 10000 == y1 && k1 / 10000 == DayOfYear(y1, m1, d1),
               Date(y1, m1, d1) + " has key " + std::to_string(k1));
    // As stored and read back ("lr" values are text).
    FUZZ_CHECK(S::ToInt32(std::to_string(k1)) == k1, std::to_string(k1) + " does not read back");

    FUZZ_CHECK(!S::IsDueOnce(k1, k1), Date(y1, m1, d1) + " is due again the day it ran");
    bool later = y1 != y2 ? y1 > y2 : m1 != m2 ? m1 > m2 : d1 > d2;
    if (later) FUZZ_CHECK(S::IsDueOnce(k1, k2), Date(y1, m1, d1) + " not due after a run on " + Date(y2, m2, d2));
    // Within a year the rule is the order of the days.
    if (y1 == y2) FUZZ_CHECK(S::IsDueOnce(k1, k2) == later, Date(y1, m1, d1) + " against " + Date(y2, m2, d2));
    // Never run ("lr" missing reads 0): due.
    FUZZ_CHECK(S::IsDueOnce(k1, 0), Date(y1, m1, d1) + " not due for a program never run");
    return 0;
}
