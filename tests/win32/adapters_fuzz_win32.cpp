// Generated and hand-picked inputs through the registry adapter, the settings
// readers, the UTF-8/UTF-16/ANSI conversions and the stored password, checked
// against properties rather than examples. The generator is seeded, so a run
// repeats exactly; a failure names its seed and iteration and shows the input.
//
// By hand: HALCYRA_FUZZ_ITERATIONS (default 1000) runs it longer,
// HALCYRA_FUZZ_SEED picks another stream, HALCYRA_FUZZ_FIRST starts at a
// given iteration (each iteration draws from its own generator, so one
// failure can be repeated alone).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/basEncrypt.h"
#include "common/basRegistry.h"
#include "platform/win32/locale_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/text.h"

using platform::RootKey;
namespace w32 = platform::win32;

namespace {

using Rng = std::mt19937_64;

// ---- the run ---------------------------------------------------------------

std::uint64_t EnvNumber(const char* name, std::uint64_t def) {
    const char* v = std::getenv(name);
    return v && *v ? std::strtoull(v, nullptr, 0) : def;
}

std::uint64_t SplitMix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::string Hex(const std::string& bytes, size_t limit = 4096) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < bytes.size() && i < limit; ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        out += digits[c >> 4];
        out += digits[c & 15];
        out += ' ';
    }
    if (bytes.size() > limit) out += "... (" + std::to_string(bytes.size()) + " bytes)";
    return out;
}

std::string Hex(const std::wstring& units, size_t limit = 2048) {
    char buf[8];
    std::string out;
    for (size_t i = 0; i < units.size() && i < limit; ++i) {
        std::snprintf(buf, sizeof buf, "%04x ", static_cast<unsigned>(units[i]));
        out += buf;
    }
    if (units.size() > limit) out += "... (" + std::to_string(units.size()) + " units)";
    return out;
}

// What one input broke; empty when nothing did.
struct Findings {
    std::string label;
    std::string text;
    void Expect(bool ok, const std::string& what) {
        if (!ok) text += what + "\n";
    }
    template <class T>
    void Equal(const T& got, const T& want, const std::string& what) {
        if (got != want) text += what + "\n  got  " + Hex(got) + "\n  want " + Hex(want) + "\n";
    }
};

// The hand-picked rows first, then the generated iterations; each failure
// says how to repeat it. A run stops after a few failures.
template <class Row>
void Drive(std::uint64_t salt, const std::vector<Row>& table,
           const std::function<std::string(const Row&, Findings&)>& check,
           const std::function<Row(Rng&)>& generate) {
    const std::uint64_t seed = EnvNumber("HALCYRA_FUZZ_SEED", 0x48616C6379726131ull);
    const std::uint64_t first = EnvNumber("HALCYRA_FUZZ_FIRST", 0);
    const std::uint64_t count = EnvNumber("HALCYRA_FUZZ_ITERATIONS", 1000);
    int failures = 0;
    auto report = [&](const std::string& where, const std::string& input, const Findings& f) {
        if (f.text.empty()) return;
        ++failures;
        ADD_FAILURE() << where << "\n" << f.label << "\ninput (" << input.size() << " bytes): " << Hex(input) << "\n"
                      << f.text;
    };
    for (size_t r = 0; r < table.size() && failures < 5; ++r) {
        Findings f;
        std::string input = check(table[r], f);
        report("table row " + std::to_string(r), input, f);
    }
    ULONGLONG start = GetTickCount64();
    std::uint64_t i = first;
    for (; i < first + count && failures < 5; ++i) {
        Rng rng(SplitMix(seed ^ SplitMix(salt * 0x100000001B3ull + i)));
        Row row = generate(rng);
        Findings f;
        std::string input = check(row, f);
        char where[96];
        std::snprintf(where, sizeof where, "HALCYRA_FUZZ_SEED=0x%llx HALCYRA_FUZZ_FIRST=%llu",
                      static_cast<unsigned long long>(seed), static_cast<unsigned long long>(i));
        report(where, input, f);
    }
    std::printf("seed 0x%llx, iterations %llu..%llu, %llu ms\n", static_cast<unsigned long long>(seed),
                static_cast<unsigned long long>(first), static_cast<unsigned long long>(i),
                static_cast<unsigned long long>(GetTickCount64() - start));
}

// ---- generators --------------------------------------------------------------

std::uint32_t Pick(Rng& r, std::uint32_t n) { return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(r); }
bool Chance(Rng& r, unsigned percent) { return Pick(r, 100) < percent; }

// Mostly short; some around the adapter's first read (256 UTF-16 units); a
// few long.
size_t PieceCount(Rng& r) {
    switch (Pick(r, 40)) {
        case 0: case 1: return 255 + Pick(r, 3);
        case 2: return 120 + Pick(r, 20);
        case 3: return 500 + Pick(r, 30);
        case 4: return 2000 + Pick(r, 8000);
        default: return Pick(r, 24);
    }
}

char32_t CodePoint(Rng& r) {
    static const char32_t edges[] = {0x7F, 0x80, 0x7FF, 0x800, 0xD7FF, 0xE000, 0xFEFF,
                                     0xFFFD, 0xFFFE, 0xFFFF, 0x10000, 0x10FFFF};
    switch (Pick(r, 14)) {
        case 0: return 0;
        case 1: return Pick(r, 0x20);
        case 2: return 0x80 + Pick(r, 0x780);
        case 3: case 4: {
            char32_t c = 0x800 + Pick(r, 0xF000);
            return c >= 0xD800 ? c + 0x800 : c;  // no surrogates
        }
        case 5: return 0x10000 + Pick(r, 0x100000);
        case 6: return edges[Pick(r, sizeof edges / sizeof edges[0])];
        default: return 0x20 + Pick(r, 0x5F);
    }
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::wstring& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<wchar_t>(c);
    } else {
        out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
}

std::string ValidUtf8(Rng& r, size_t pieces) {
    std::string s;
    for (size_t i = 0; i < pieces; ++i) AppendUtf8(s, CodePoint(r));
    return s;
}

// A byte sequence no UTF-8 decoder may take as a character.
std::string BrokenUtf8(Rng& r) {
    auto cont = [&r] { return static_cast<char>(0x80 + Pick(r, 0x40)); };
    switch (Pick(r, 9)) {
        case 0: return {cont()};                                                   // lone continuation
        case 1: return {static_cast<char>(0xC0 + Pick(r, 2)), cont()};             // overlong, two bytes
        case 2: return {'\xE0', static_cast<char>(0x80 + Pick(r, 0x20)), cont()};  // overlong, three
        case 3: return {'\xF0', static_cast<char>(0x80 + Pick(r, 0x10)), cont(), cont()};  // overlong, four
        case 4: return {'\xED', static_cast<char>(0xA0 + Pick(r, 0x20)), cont()};  // a surrogate
        case 5: return {'\xF4', static_cast<char>(0x90 + Pick(r, 0x30)), cont(), cont()};  // above U+10FFFF
        case 6: return {static_cast<char>(0xF5 + Pick(r, 11))};                    // never a lead byte
        case 7: return {static_cast<char>(Pick(r, 256))};
        default: {
            std::string whole;
            AppendUtf8(whole, Chance(r, 50) ? 0x800 + Pick(r, 0xD000) : 0x10000 + Pick(r, 0x100000));
            return whole.substr(0, 1 + Pick(r, static_cast<std::uint32_t>(whole.size() - 1)));  // truncated
        }
    }
}

std::string AnyBytes(Rng& r) {
    std::string s;
    for (size_t i = 0, n = PieceCount(r); i < n; ++i) {
        if (Chance(r, 75)) AppendUtf8(s, CodePoint(r));
        else s += BrokenUtf8(r);
    }
    return s;
}

std::wstring AnyUtf16(Rng& r, size_t pieces) {
    std::wstring w;
    for (size_t i = 0; i < pieces; ++i) {
        switch (Pick(r, 10)) {
            case 0: w += static_cast<wchar_t>(0xD800 + Pick(r, 0x400)); break;  // lone high
            case 1: w += static_cast<wchar_t>(0xDC00 + Pick(r, 0x400)); break;  // lone low
            case 2: w += static_cast<wchar_t>(Pick(r, 0x10000)); break;
            default: AppendUtf16(w, CodePoint(r));
        }
    }
    return w;
}

// ---- reference conversions ----------------------------------------------------

// UTF-8 to UTF-16 as Unicode recommends: each maximal ill-formed subpart
// becomes U+FFFD.
std::wstring RefWiden(const std::string& s, bool* valid = nullptr) {
    std::wstring out;
    bool ok = true;
    size_t i = 0, n = s.size();
    while (i < n) {
        unsigned b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            out += static_cast<wchar_t>(b);
            ++i;
            continue;
        }
        int need;
        unsigned lo = 0x80, hi = 0xBF;
        char32_t cp;
        if (b >= 0xC2 && b <= 0xDF) need = 1, cp = b & 0x1F;
        else if (b >= 0xE0 && b <= 0xEF) need = 2, cp = b & 0x0F, lo = b == 0xE0 ? 0xA0 : 0x80, hi = b == 0xED ? 0x9F : 0xBF;
        else if (b >= 0xF0 && b <= 0xF4) need = 3, cp = b & 0x07, lo = b == 0xF0 ? 0x90 : 0x80, hi = b == 0xF4 ? 0x8F : 0xBF;
        else need = 0, cp = 0;
        size_t j = i + 1;
        bool complete = need > 0;
        for (int k = 0; k < need; ++k, ++j) {
            unsigned c = j < n ? static_cast<unsigned char>(s[j]) : 0x100;
            if (c < (k == 0 ? lo : 0x80) || c > (k == 0 ? hi : 0xBF)) {
                complete = false;
                break;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        if (complete) {
            AppendUtf16(out, cp);
        } else {
            out += L'\xFFFD';
            ok = false;
        }
        i = j;
    }
    if (valid) *valid = ok;
    return out;
}

// UTF-16 to UTF-8; each unpaired surrogate becomes U+FFFD.
std::string RefNarrow(const std::wstring& w, bool* wellFormed = nullptr) {
    std::string out;
    bool ok = true;
    for (size_t i = 0; i < w.size(); ++i) {
        char32_t c = static_cast<char16_t>(w[i]);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char16_t>(w[i + 1]) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
            ok = false;
        }
        AppendUtf8(out, c);
    }
    if (wellFormed) *wellFormed = ok;
    return out;
}

std::wstring UnitsOf(const std::string& bytes) {
    std::wstring w(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < w.size(); ++i)
        w[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                    (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return w;
}

std::string BytesOf(const std::wstring& w) {
    std::string out;
    for (wchar_t c : w) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>((c >> 8) & 0xFF);
    }
    return out;
}

// Code page 1252, Wine's and Windows' own table: 0x81, 0x8D, 0x8F, 0x90 and
// 0x9D, unassigned, map to the C1 controls of the same number.
char32_t Cp1252(unsigned char b) {
    static const char32_t high[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
                                      0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
                                      0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};
    return b >= 0x80 && b < 0xA0 ? high[b - 0x80] : b;
}

std::string RefFromCp1252(const std::string& bytes) {
    std::string out;
    for (char b : bytes) AppendUtf8(out, Cp1252(static_cast<unsigned char>(b)));
    return out;
}

// ---- the registry key ---------------------------------------------------------

const wchar_t kKeyW[] = L"Software\\HalcyraTests\\AdaptersFuzz";
const char kKey[] = "Software\\HalcyraTests\\AdaptersFuzz";

void RemoveKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kKeyW);
    RegDeleteKeyW(HKEY_CURRENT_USER, kKeyW);
}

struct RawValue {
    DWORD type = 0;
    std::string bytes;
    bool operator==(const RawValue&) const = default;
};

// Gone at the start, in case an earlier run died, and at the end, whatever
// the test did.
class AdaptersFuzz : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveKey();
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKeyW, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        if (key_) RegCloseKey(key_);
        RemoveKey();
    }

    // With the system's own calls, as another program would. The data sits
    // between non-NUL bytes: the system looks just past the end of string
    // data for a terminator the caller forgot to count, and would store it.
    LONG RawSet(const std::wstring& name, DWORD type, const std::string& bytes) {
        std::string padded = "\xFF\xFF" + bytes + "\xFF\xFF\xFF";
        return RegSetValueExW(key_, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(padded.data() + 2),
                              static_cast<DWORD>(bytes.size()));
    }
    std::optional<RawValue> RawGet(const std::wstring& name) {
        RawValue v;
        DWORD size = 0;
        if (RegQueryValueExW(key_, name.c_str(), nullptr, &v.type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        v.bytes.resize(size + 2);
        if (RegQueryValueExW(key_, name.c_str(), nullptr, &v.type, reinterpret_cast<BYTE*>(v.bytes.data()),
                             &size) != ERROR_SUCCESS)
            return std::nullopt;
        v.bytes.resize(size);
        return v;
    }

    HKEY key_ = nullptr;
    w32::Win32Registry reg;
    w32::Win32Locale locale;
};

// Value names: printable, sometimes non-ASCII, sometimes long.
std::string ValueName(Rng& r) {
    std::string name = "v";
    size_t n = Chance(r, 3) ? 250 + Pick(r, 10) : Pick(r, 12);
    for (size_t i = 0; i < n; ++i) {
        char32_t c = CodePoint(r);
        AppendUtf8(name, c < 0x20 ? U'_' : c);
    }
    return name;
}

bool IsString(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// ---- text -------------------------------------------------------------------

TEST(TextFuzz, Utf8ToUtf16AndBack) {
    std::vector<std::string> table = {
        "", std::string("\0", 1), std::string("a\0b\0", 4), "\x80", "\xBF\x80", "\xC0\x80", "\xC1\xBF",
        "\xE0\x80\x80", "\xE0\x9F\xBF", "\xF0\x80\x80\x80", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xED\xBF\xBF",
        "\xED\xA0\xBD\xED\xB8\x80",  // a surrogate pair, each half encoded alone
        "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFE", "\xFF", "\xE2\x82", "a\xE2\x82" "b", "\xF0\x9F\x98",
        "\xF0\x9F\x98" "a", std::string("\xE2\x82\0", 3), "\xEF\xBF\xBD", "\xF4\x8F\xBF\xBF", "\xEF\xBB\xBF" "x",
        std::string(300000, 'a') + "\xC3", std::string(100000, '\xFF')};
    std::function<std::string(const std::string&, Findings&)> check = [](const std::string& s, Findings& f) {
        bool valid;
        std::wstring want = RefWiden(s, &valid);
        std::wstring w = w32::Widen(s);
        f.Equal(w, want, valid ? "valid UTF-8 widens to its characters"
                               : "broken UTF-8: each broken sequence is U+FFFD, nothing else lost");
        if (valid) f.Equal(w32::Narrow(w), s, "valid UTF-8 comes back unchanged");
        bool wellFormed;
        std::string back = RefNarrow(w, &wellFormed);
        f.Expect(wellFormed, "the UTF-16 has no unpaired surrogate");
        f.Equal(w32::Narrow(w), back, "and narrows back to its UTF-8");
        f.Equal(w32::Widen(back), w, "which widens to the same again");
        return s;
    };
    Drive<std::string>(1, table, check, [](Rng& r) { return Chance(r, 30) ? ValidUtf8(r, PieceCount(r)) : AnyBytes(r); });
}

TEST(TextFuzz, Utf16ToUtf8) {
    auto u = [](std::initializer_list<unsigned> units) {
        std::wstring w;
        for (unsigned c : units) w += static_cast<wchar_t>(c);
        return w;
    };
    std::vector<std::wstring> table = {
        L"", u({0}), u({'a', 0, 'b', 0}), u({0xD800}), u({0xDBFF}), u({0xDC00}), u({0xDFFF}), u({'a', 0xD800, 'b'}),
        u({0xDC00, 0xD800}), u({0xD800, 0xD800, 0xDC00}), u({0xD83D, 0xDE00, 0xDE00}), u({0xD800, 0}),
        u({0xFFFE, 0xFFFF, 0xFEFF}), std::wstring(200000, L'\xD800'), std::wstring(200000, L'\x20AC')};
    std::function<std::string(const std::wstring&, Findings&)> check = [](const std::wstring& w, Findings& f) {
        bool wellFormed;
        std::string want = RefNarrow(w, &wellFormed);
        std::string got = w32::Narrow(w);
        f.Equal(got, want, "UTF-16 narrows with each unpaired surrogate as U+FFFD");
        f.Equal(w32::Narrow(w.data(), w.size()), got, "the counted form gives the same");
        size_t cut = w.size() / 3;
        f.Equal(w32::Narrow(w.data(), cut), RefNarrow(w.substr(0, cut)), "a count short of the end stops there");
        f.Equal(w32::Widen(got), RefWiden(want), "and widens back");
        if (wellFormed) f.Equal(w32::Widen(got), w, "well-formed UTF-16 comes back unchanged");
        return BytesOf(w);
    };
    Drive<std::wstring>(2, table, check, [](Rng& r) { return AnyUtf16(r, PieceCount(r)); });
}

TEST(TextFuzz, AnsiCodePage1252) {
    ASSERT_EQ(GetACP(), 1252u) << "the reference table is code page 1252";
    std::string every;
    for (int b = 0; b < 256; ++b) every += static_cast<char>(b);
    std::vector<std::string> table = {"", std::string("\0", 1), every, std::string(70000, '\x81')};
    // Any bytes decode to their characters and encode back to themselves.
    std::function<std::string(const std::string&, Findings&)> check = [](const std::string& bytes, Findings& f) {
        std::string text = w32::FromAnsi(bytes);
        f.Equal(text, RefFromCp1252(bytes), "ANSI bytes decode by the code page");
        f.Equal(w32::ToAnsi(text), bytes, "and encode back to the same bytes");
        return bytes;
    };
    Drive<std::string>(3, table, check, [](Rng& r) {
        std::string s;
        for (size_t i = 0, n = PieceCount(r); i < n; ++i) s += static_cast<char>(Pick(r, 256));
        return s;
    });
}

// ---- the stored password ------------------------------------------------------

std::string Password(Rng& r) {
    // What a user can type: cp1252's repertoire, the letters whose inverted
    // byte is an unassigned one (o p r b ~), 'ÿ' (inverts to NUL), and
    // characters outside the code page.
    static const char32_t outside[] = {0x100, 0x3A9, 0x42F, 0x65E5, 0x3042, 0xFF71, 0x1F600, 0x2019, 0x20AC, 0x81};
    std::string p;
    size_t n = Chance(r, 3) ? 250 + Pick(r, 10) : Pick(r, 16);
    for (size_t i = 0; i < n; ++i) {
        switch (Pick(r, 20)) {
            case 0: AppendUtf8(p, U'\xFF'); break;
            case 1: AppendUtf8(p, outside[Pick(r, sizeof outside / sizeof outside[0])]); break;
            case 2: case 3: AppendUtf8(p, Cp1252(static_cast<unsigned char>(0x80 + Pick(r, 0x80)))); break;
            case 4: p += "oprb~"[Pick(r, 5)]; break;
            default: p += static_cast<char>(0x20 + Pick(r, 0x5F));
        }
    }
    return p;
}

// The system's conversions over a code page of the test's choosing: Wine's
// default locale has no double-byte one.
class CodePageLocale : public w32::Win32Locale {
public:
    explicit CodePageLocale(UINT cp) : cp_(cp) {}
    std::string AnsiEncode(const std::string& utf8) override {
        std::wstring w = w32::Widen(utf8);
        if (w.empty()) return {};
        int n = WideCharToMultiByte(cp_, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
        std::string out(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(cp_, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
        return out;
    }
    std::string AnsiDecode(const std::string& ansi) override {
        if (ansi.empty()) return {};
        int n = MultiByteToWideChar(cp_, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
        std::wstring w(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(cp_, 0, ansi.data(), static_cast<int>(ansi.size()), w.data(), n);
        return w32::Narrow(w);
    }

private:
    UINT cp_;
};

const std::vector<std::string> kPasswordRows = {
    "", "robot~", "\xC3\xBF", "a\xC3\xBF", "\xC3\xBF" "a", "Geheim\xC3\xA4", "\xE2\x82\xACuro", "\xC4\x80",
    "\xE6\x97\xA5", "\xF0\x9F\x98\x80", "\x7F", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D", std::string(300, 'o'),
    "w{", "\xE3\x81\x82"};

// Accepted exactly when it comes back: stored as Halcyra stores it, read as
// the applet and the daemon read it. `systemAnsi`: the system's ANSI calls
// use this locale's code page and keep every byte, so an older
// installation's write can be made (a double-byte one drops a lone lead
// byte as it stores it, before Halcyra reads anything).
std::string PasswordCheck(platform::Locale& locale, bool systemAnsi, platform::Registry& reg, HKEY key,
                          const std::string& p, Findings& f) {
    f.label = "password";
    bool canStore = basEncrypt::CanStore(locale, p);
    basRegistry::SaveString(reg, RootKey::CurrentUser, kKey, "Admin", basEncrypt::Scramble(locale, p));
    std::string stored = basRegistry::ReadValue(reg, RootKey::CurrentUser, kKey, "Admin", "<none>");
    std::string back = basEncrypt::Unscramble(locale, stored);
    f.Expect(canStore == (back == p), canStore ? "accepted, yet it does not come back: " + Hex(back)
                                               : "refused, though it comes back unchanged");
    std::string daemon = basRegistry::ReadValue(reg, RootKey::CurrentUser, kKey, "Admin", "<none>", true,
                                                basRegistry::Flavor::Daemon);
    f.Equal(daemon, stored, "the daemon reads what the applet reads");
    if (!canStore) return p;
    f.Expect(basEncrypt::PasswordsMatch(locale, back, p), "the stored password matches itself");
    f.Expect(!basEncrypt::PasswordsMatch(locale, back, p + "1"), "and not a longer one");
    if (!systemAnsi) return p;
    // As an older installation stored it: inverted ANSI bytes, through the
    // ANSI call, with or without a terminator.
    std::string inverted = locale.AnsiEncode(p);
    for (char& c : inverted) c = static_cast<char>(static_cast<unsigned char>(c) ^ 0xFF);
    bool terminated = p.size() % 2;
    std::string buf = inverted + (terminated ? '\0' : '\xFF');
    f.Expect(RegSetValueExA(key, "Admin", 0, REG_SZ, reinterpret_cast<const BYTE*>(buf.data()),
                            static_cast<DWORD>(inverted.size() + terminated)) == ERROR_SUCCESS,
             "ANSI write");
    stored = basRegistry::ReadValue(reg, RootKey::CurrentUser, kKey, "Admin", "<none>");
    f.Equal(basEncrypt::Unscramble(locale, stored), p, "an ANSI-written password reads back");
    return p;
}

TEST_F(AdaptersFuzz, PasswordSurvivesTheRegistryExactlyWhenItCanBeStored) {
    CPINFO info{};
    bool singleByte = GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
    std::function<std::string(const std::string&, Findings&)> check = [&](const std::string& p, Findings& f) {
        return PasswordCheck(locale, singleByte, reg, key_, p, f);
    };
    Drive<std::string>(5, kPasswordRows, check, Password);
}

// Inverted, plain ASCII is a lead byte, a half-width katakana or nothing.
TEST_F(AdaptersFuzz, PasswordInADoubleByteCodePage) {
    CodePageLocale japanese(932);
    std::function<std::string(const std::string&, Findings&)> check = [&](const std::string& p, Findings& f) {
        return PasswordCheck(japanese, false, reg, key_, p, f);
    };
    Drive<std::string>(8, kPasswordRows, check, Password);
}

// ---- raw values through the readers ---------------------------------------------

struct RawCase {
    std::string name;
    RawValue value;
};

RawCase Raw(DWORD type, const std::string& bytes) { return {"v", {type, bytes}}; }
RawCase RawUnits(DWORD type, const std::wstring& units) { return Raw(type, BytesOf(units)); }

std::string RepeatUnits(const std::wstring& unit, size_t times) {
    std::wstring w;
    for (size_t i = 0; i < times; ++i) w += unit;
    return BytesOf(w);
}

TEST_F(AdaptersFuzz, RawValuesReadAsDocumented) {
    using W = std::wstring;
    std::string pairAt255 = BytesOf(W(255, L'x') + L"\xD83D\xDE00");  // straddles the first 256-unit read
    std::vector<RawCase> table = {
        Raw(REG_NONE, ""), Raw(REG_NONE, "abc"), Raw(REG_SZ, ""), Raw(REG_SZ, "a"), Raw(REG_SZ, std::string("a\0", 2)),
        Raw(REG_SZ, std::string("a\0b", 3)), RawUnits(REG_SZ, L"abc"), RawUnits(REG_SZ, W(L"abc\0", 4)),
        RawUnits(REG_SZ, W(L"a\0b\0", 4)), RawUnits(REG_SZ, W(L"\0", 1)), RawUnits(REG_SZ, W(L"\0\0", 2)),
        RawUnits(REG_SZ, L"\xD800"), RawUnits(REG_SZ, L"\xDC00" L"a"), RawUnits(REG_SZ, L"\xDC00\xD800"),
        RawUnits(REG_SZ, L"\xD800\xD800\xDC00"), RawUnits(REG_SZ, W(255, L'x')), RawUnits(REG_SZ, W(256, L'x')),
        RawUnits(REG_SZ, W(257, L'x')), RawUnits(REG_SZ, W(255, L'x') + W(1, L'\0')),
        RawUnits(REG_SZ, W(256, L'x') + W(1, L'\0')), Raw(REG_SZ, BytesOf(W(255, L'x')) + "y"),
        Raw(REG_SZ, BytesOf(W(256, L'x')) + "y"), Raw(REG_SZ, pairAt255), Raw(REG_SZ, pairAt255.substr(0, 512)),
        Raw(REG_SZ, RepeatUnits(L"\x00E9", 8192)), Raw(REG_SZ, RepeatUnits(L"\x00E9", 8192) + "z"),
        Raw(REG_SZ, RepeatUnits(L"a\xD83D\xDE00\x65E5", 1 << 17) + "zz"),
        Raw(REG_SZ, RepeatUnits(L"a\xD83D\xDE00\x65E5", 1 << 17) + "z"),
        RawUnits(REG_EXPAND_SZ, W(L"%TEMP%\\x\0", 9)), RawUnits(REG_EXPAND_SZ, L"%TEMP%"),
        Raw(REG_BINARY, ""), Raw(REG_BINARY, "\x01"), Raw(REG_BINARY, std::string(257, '\0')),
        Raw(REG_BINARY, std::string((1 << 20) + 1, '\xAB')), Raw(REG_DWORD, std::string("\x05\0\0\0", 4)),
        Raw(REG_DWORD, ""), Raw(REG_DWORD, "\x05\x06\x07"), Raw(REG_DWORD, "12345678"),
        Raw(REG_DWORD_BIG_ENDIAN, std::string("\0\0\0\x05", 4)),
        RawUnits(REG_LINK, L"\\Registry\\Machine\\Software"), RawUnits(REG_MULTI_SZ, W(L"a\0b\0\0", 5)),
        RawUnits(REG_MULTI_SZ, W(L"a\0b", 3)), RawUnits(REG_MULTI_SZ, W(L"\0", 1)), Raw(REG_MULTI_SZ, ""),
        Raw(REG_MULTI_SZ, std::string("a\0\0\0b", 5)), Raw(REG_QWORD, "12345678"), Raw(12, "x"),
        Raw(0xFFFF, "xyz"), Raw(0x7FFFFFFF, ""), Raw(0xFFFFFFFF, "abcd"),
        {"", {REG_SZ, BytesOf(L"default")}}, {std::string(255, 'n'), {REG_SZ, BytesOf(L"long name")}},
        {"\xC3\x84nderung \xF0\x9F\x98\x80", {REG_MULTI_SZ, BytesOf(W(L"x\0", 2))}}};
    std::function<std::string(const RawCase&, Findings&)> check = [this](const RawCase& c, Findings& f) {
        const RawValue& v = c.value;
        f.label = "value \"" + c.name + "\" type " + std::to_string(v.type);
        std::wstring wname = RefWiden(c.name);
        if (RawSet(wname, v.type, v.bytes) != ERROR_SUCCESS) {
            f.Expect(false, "raw write refused");
            return v.bytes;
        }
        auto before = RawGet(wname);
        f.Expect(before && *before == v, "stored as written");

        // The adapter: strings as UTF-8 of every whole UTF-16 unit (an odd
        // last byte dropped, unpaired surrogates as U+FFFD, NULs kept); other
        // types byte for byte.
        std::string want = IsString(v.type) ? RefNarrow(UnitsOf(v.bytes)) : v.bytes;
        auto key = reg.OpenKey(RootKey::CurrentUser, kKey);
        platform::RegData got;
        auto ec = reg.Query(key, c.name, got);
        f.Expect(!ec, "Query: " + ec.message());
        f.Expect(got.type == v.type, "Query type " + std::to_string(got.type));
        f.Equal(got.data, want, "Query data");

        // The readers: REG_SZ for both, REG_MULTI_SZ for the applet only;
        // any other type is reported as such, never as missing or "".
        using basRegistry::Flavor;
        struct Reader { Flavor flavor; bool strip; const char* how; };
        for (Reader rd : {Reader{Flavor::Applet, true, "applet"}, Reader{Flavor::Applet, false, "applet unstripped"},
                          Reader{Flavor::Daemon, false, "daemon"}}) {
            bool readable = v.type == REG_SZ || (rd.flavor == Flavor::Applet && v.type == REG_MULTI_SZ);
            std::string expected = rd.strip || rd.flavor == Flavor::Daemon ? basRegistry::StripTerminator(want) : want;
            std::string how = rd.how, out;
            ec = basRegistry::QueryString(reg, key, c.name, out, rd.strip, rd.flavor);
            if (readable) {
                f.Expect(!ec, how + " QueryString: " + ec.message());
                f.Equal(out, expected, how + " QueryString");
            } else {
                f.Expect(ec.value() == basRegistry::kErrorUnsupportedType,
                         how + " QueryString of another type: " + std::to_string(ec.value()));
            }
            auto opt = basRegistry::ReadOptional(reg, RootKey::CurrentUser, kKey, c.name, rd.strip, rd.flavor);
            f.Expect(opt.has_value() == readable, how + " ReadOptional has a value");
            if (opt && readable) f.Equal(*opt, expected, how + " ReadOptional");
        }
        auto after = RawGet(wname);
        f.Expect(after && before && *after == *before, "reading left the value as it was");

        // Gone, it is missing to every reader.
        RegDeleteValueW(key_, wname.c_str());
        ec = reg.Query(key, c.name, got);
        f.Expect(platform::IsMissing(ec), "Query of a deleted value: " + std::to_string(ec.value()));
        std::string out;
        ec = basRegistry::QueryString(reg, key, c.name, out);
        f.Expect(platform::IsMissing(ec), "QueryString of a deleted value: " + std::to_string(ec.value()));
        f.Expect(!basRegistry::ReadOptional(reg, RootKey::CurrentUser, kKey, c.name), "ReadOptional of a deleted value");
        return v.bytes;
    };
    Drive<RawCase>(6, table, check, [](Rng& r) {
        static const DWORD types[] = {REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_DWORD_BIG_ENDIAN,
                                      REG_LINK, REG_MULTI_SZ, 8, 9, 10, REG_QWORD};
        RawCase c;
        c.name = ValueName(r);
        c.value.type = Chance(r, 10) ? 12 + Pick(r, 0xFFFF) : types[Pick(r, sizeof types / sizeof types[0])];
        if (IsString(c.value.type) ? Chance(r, 75) : Chance(r, 10)) {
            c.value.bytes = BytesOf(AnyUtf16(r, PieceCount(r)));
            if (Chance(r, 50)) c.value.bytes.append(Pick(r, 5), '\0');
            if (Chance(r, 20)) c.value.bytes += static_cast<char>(Pick(r, 256));
        } else {
            size_t n = Chance(r, 50) ? Pick(r, 10) : PieceCount(r);
            for (size_t i = 0; i < n; ++i) c.value.bytes += static_cast<char>(Pick(r, 256));
        }
        return c;
    });
}

// ---- what Halcyra writes reads back ------------------------------------------------

struct WriteCase {
    std::string name;
    DWORD type;
    std::string data;
};

TEST_F(AdaptersFuzz, AdapterWrittenValuesReadBackIdentical) {
    std::string mixed;
    for (int i = 0; i < 150000; ++i) mixed += i % 3 ? "a\xC3\xA9" : "\xF0\x9F\x98\x80\xE6\x97\xA5";
    std::vector<WriteCase> table = {
        {"v", REG_SZ, ""}, {"v", REG_SZ, std::string("\0", 1)}, {"v", REG_SZ, std::string("a\0", 2)},
        {"v", REG_SZ, std::string("\0\0", 2)}, {"v", REG_SZ, std::string("a\0b", 3)},
        {"v", REG_SZ, "\xF0\x9F\x98\x80"}, {"v", REG_SZ, std::string(255, 'x')}, {"v", REG_SZ, std::string(256, 'x')},
        {"v", REG_SZ, std::string(257, 'x')}, {"v", REG_SZ, std::string(255, 'x') + "\xF0\x9F\x98\x80"},
        {"v", REG_SZ, std::string(16384, 'q')}, {"v", REG_SZ, mixed}, {"v", REG_EXPAND_SZ, "%TEMP%\\x"},
        {"v", REG_MULTI_SZ, std::string("a\0b\0\0", 5)}, {"v", REG_MULTI_SZ, ""},
        {"v", REG_SZ, "\xC0\x80\xED\xA0\x80\xFF"}, {"v", REG_BINARY, std::string("\0\xFF\x80", 3)},
        {"v", REG_DWORD, std::string("\x01\0\0\0", 4)}, {"v", REG_QWORD, "abcdefgh"}, {"v", 0xFFFF, ""}};
    std::function<std::string(const WriteCase&, Findings&)> check = [this](const WriteCase& c, Findings& f) {
        f.label = "value \"" + c.name + "\" type " + std::to_string(c.type);
        auto key = reg.CreateKey(RootKey::CurrentUser, kKey);
        auto ec = reg.SetValue(key, c.name, {c.type, c.data});
        f.Expect(!ec, "SetValue: " + ec.message());
        auto raw = RawGet(RefWiden(c.name));
        f.Expect(raw && raw->type == c.type, "stored with its type");
        if (!raw) return c.data;
        bool valid;
        std::wstring units = RefWiden(c.data, &valid);
        std::string want = c.data;
        if (!IsString(c.type)) {
            f.Equal(raw->bytes, c.data, "stored byte for byte");
        } else if (valid) {
            f.Equal(raw->bytes, BytesOf(units), "stored as its UTF-16, no terminator added");
        } else {
            // Broken UTF-8 is stored with U+FFFD for each broken sequence,
            // and that is what reads back.
            f.Equal(raw->bytes, BytesOf(units), "broken UTF-8 stored with U+FFFD");
            want = RefNarrow(units);
        }
        platform::RegData got;
        ec = reg.Query(key, c.name, got);
        f.Expect(!ec && got.type == c.type, "Query");
        f.Equal(got.data, want, "reads back identical");
        if (c.type == REG_SZ && valid) {
            basRegistry::SaveString(reg, RootKey::CurrentUser, kKey, c.name, c.data);
            f.Equal(basRegistry::ReadValue(reg, RootKey::CurrentUser, kKey, c.name, "\x01", false), c.data,
                    "SaveString reads back unstripped");
            f.Equal(basRegistry::ReadValue(reg, RootKey::CurrentUser, kKey, c.name, "\x01", true,
                                           basRegistry::Flavor::Daemon),
                    basRegistry::StripTerminator(c.data), "and up to its first NUL by the daemon");
        }
        return c.data;
    };
    Drive<WriteCase>(7, table, check, [](Rng& r) {
        static const DWORD strings[] = {REG_SZ, REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ};
        static const DWORD others[] = {REG_NONE, REG_BINARY, REG_DWORD, REG_QWORD, 0x1234};
        WriteCase c{ValueName(r), 0, {}};
        switch (Pick(r, 10)) {
            case 0: c.type = strings[Pick(r, 4)]; c.data = AnyBytes(r); break;
            case 1:
                c.type = others[Pick(r, 5)];
                for (size_t i = 0, n = PieceCount(r); i < n; ++i) c.data += static_cast<char>(Pick(r, 256));
                break;
            default: c.type = strings[Pick(r, 4)]; c.data = ValidUtf8(r, PieceCount(r));
        }
        return c;
    });
}

}  // namespace
