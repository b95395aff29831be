// The typed reads of the settings: text to 16- and 32-bit numbers and to
// Booleans, and what the product writes read back as what it wrote.
#include <cstring>
#include <limits>
#include <optional>

#include "common/basSettings.h"
#include "fuzz_check.h"
#include "platform/fake/fake_registry.h"

namespace S = basSettings;
using fuzz::Shown;

namespace {

std::string Trimmed(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool NoCase(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if ((a[i] | 0x20) != (b[i] | 0x20) || !((a[i] >= 'A' && a[i] <= 'Z') || (a[i] >= 'a' && a[i] <= 'z')))
            return false;
    return true;
}

// Sign and digits only, after the blanks are gone: the digits, else nothing.
std::optional<std::string> Digits(const std::string& t, bool& negative) {
    size_t i = !t.empty() && (t[0] == '+' || t[0] == '-') ? 1 : 0;
    negative = i == 1 && t[0] == '-';
    if (i == t.size()) return std::nullopt;
    for (size_t j = i; j < t.size(); ++j)
        if (t[j] < '0' || t[j] > '9') return std::nullopt;
    return t.substr(i);
}

// An independent reading of a decimal integer into lo..hi.
std::optional<long long> Reference(const std::string& s, long long lo, long long hi) {
    bool negative = false;
    auto digits = Digits(Trimmed(s), negative);
    if (!digits) return std::nullopt;
    size_t first = digits->find_first_not_of('0');
    std::string significant = first == std::string::npos ? "0" : digits->substr(first);
    if (significant.size() > 18) return std::nullopt;
    long long v = std::stoll(significant);
    if (negative) v = -v;
    if (v < lo || v > hi) return std::nullopt;
    return v;
}

std::optional<bool> ReferenceBool(const std::string& s) {
    std::string t = Trimmed(s);
    if (NoCase(t, "True")) return true;
    if (NoCase(t, "False")) return false;
    bool negative = false;
    auto digits = Digits(t, negative);
    if (!digits) return std::nullopt;
    return digits->find_first_not_of('0') != std::string::npos;
}

template <class T>
std::string Str(const std::optional<T>& v) {
    return v ? std::to_string(*v) : "none";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string s(reinterpret_cast<const char*>(data), size);

    // Any text: the conversions accept exactly the decimal integers that fit.
    auto i16 = S::ToInt16(s);
    auto i32 = S::ToInt32(s);
    auto ref16 = Reference(s, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max());
    auto ref32 = Reference(s, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
    FUZZ_CHECK(Str(i16) == Str(ref16), Shown(s) + " ToInt16 " + Str(i16) + ", expected " + Str(ref16));
    FUZZ_CHECK(Str(i32) == Str(ref32), Shown(s) + " ToInt32 " + Str(i32) + ", expected " + Str(ref32));
    auto b = S::ToBool(s);
    auto refB = ReferenceBool(s);
    FUZZ_CHECK(b == refB, Shown(s) + " ToBool " + Str(b) + ", expected " + Str(refB));
    if (i32) FUZZ_CHECK(*b == (*i32 != 0), Shown(s) + " a number and its truth disagree");

    // A number in the form the product writes it reads back as itself.
    if (i32) FUZZ_CHECK(S::ToInt32(std::to_string(*i32)) == i32, Shown(s) + " does not survive its own text");
    std::int32_t raw32 = 0;
    std::int16_t raw16 = 0;
    std::memcpy(&raw32, s.data(), std::min(size, sizeof raw32));
    std::memcpy(&raw16, s.data(), std::min(size, sizeof raw16));
    FUZZ_CHECK(S::ToInt32(std::to_string(raw32)) == raw32, std::to_string(raw32) + " read back differs");
    FUZZ_CHECK(S::ToInt16(std::to_string(raw16)) == raw16, std::to_string(raw16) + " read back differs");
    bool flag = size > 0 && (data[0] & 1);
    FUZZ_CHECK(S::ToBool(S::FromBool(flag)) == flag, S::FromBool(flag) + " read back differs");

    // Through the settings key, in either deliverable's reading: what is
    // written is read; stored text reads as its part before any NUL.
    platform::fake::FakeRegistry reg;
    auto flavor = size > 1 && (data[1] & 1) ? basRegistry::Flavor::Daemon : basRegistry::Flavor::Applet;
    S::Store store(reg, platform::RootKey::CurrentUser, flavor);
    store.WriteFlag(S::ShowIcon.name, raw16);
    FUZZ_CHECK(store.Read(S::ShowIcon) == raw16, "flag " + std::to_string(raw16));
    store.Write(S::SecondsToWaitForService.name, std::to_string(raw32));
    FUZZ_CHECK(store.Read(S::SecondsToWaitForService) == raw32, "long " + std::to_string(raw32));
    store.WriteBool(S::Order.name, !flag);
    FUZZ_CHECK(store.Read(S::Order) == !flag, "Boolean " + S::FromBool(!flag));
    store.Write(S::LogEV.name, s);
    std::string stored = s.substr(0, s.find('\0'));
    FUZZ_CHECK(store.Read(S::LogEV) == S::ToInt16(stored).value_or(S::LogEV.def), Shown(s) + " as a stored flag");
    store.Write(S::RanQuickStart.name, s);
    FUZZ_CHECK(store.Read(S::RanQuickStart) == S::ToBool(stored).value_or(S::RanQuickStart.def),
               Shown(s) + " as a stored Boolean");
    return 0;
}
