// The settings password: what the applet's setter accepts (CanStore) comes
// back unchanged after scramble, store, read (as either deliverable reads
// it) and unscramble, and matches itself in any letter case; what it refuses
// would not come back. Against the fake locale (ISO 8859-1 as the ANSI code
// page).
//
// Input: the password; a second line, the entry compared with it.
#include "common/basEncrypt.h"
#include "common/basSettings.h"
#include "fuzz_check.h"
#include "platform/fake/fake_locale.h"
#include "platform/fake/fake_registry.h"

namespace S = basSettings;
using fuzz::AsciiUpper;
using fuzz::Shown;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string password = input.substr(0, input.find('\n'));
    const std::string entry = input.find('\n') == std::string::npos ? password : input.substr(input.find('\n') + 1);
    platform::fake::FakeLocale locale;

    platform::fake::FakeRegistry reg;
    S::Store applet(reg, platform::RootKey::CurrentUser, basRegistry::Flavor::Applet);
    S::Store daemon(reg, platform::RootKey::CurrentUser, basRegistry::Flavor::Daemon);
    applet.Write(S::Admin.name, basEncrypt::Scramble(locale, password));
    std::string byApplet = basEncrypt::Unscramble(locale, applet.Read(S::Admin));
    std::string byDaemon = basEncrypt::Unscramble(locale, daemon.Read(S::Admin));

    bool storable = basEncrypt::CanStore(locale, password);
    FUZZ_CHECK(storable == (byApplet == password && byDaemon == password),
               Shown(password) + (storable ? " accepted" : " refused") + ", read back as " + Shown(byApplet) +
                   " and " + Shown(byDaemon));
    if (storable) {
        FUZZ_CHECK(basEncrypt::PasswordsMatch(locale, byDaemon, password), Shown(password));
        FUZZ_CHECK(basEncrypt::PasswordsMatch(locale, byDaemon, AsciiUpper(password)), Shown(password));
    }

    // Scrambling twice gives the text as the code page keeps it.
    FUZZ_CHECK(basEncrypt::Scramble(locale, basEncrypt::Scramble(locale, password)) ==
                   locale.AnsiDecode(locale.AnsiEncode(password)),
               Shown(password));

    // Matching is an equivalence: reflexive and symmetric.
    FUZZ_CHECK(basEncrypt::PasswordsMatch(locale, entry, entry), Shown(entry));
    FUZZ_CHECK(basEncrypt::PasswordsMatch(locale, password, entry) == basEncrypt::PasswordsMatch(locale, entry, password),
               Shown(password) + " " + Shown(entry));
    return 0;
}
