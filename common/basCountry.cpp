#include "common/basCountry.h"

namespace basCountry {

std::uint16_t LanguageOfFile(platform::System& sys, const std::string& path) {
    using Status = platform::VersionTranslations::Status;
    platform::VersionTranslations t = sys.FileTranslations(path);
    if (t.status == Status::NoVersionInfo) return sys.SystemDefaultUILanguage();
    if (t.status == Status::NoTranslationTable || t.entries.empty()) return 1033;
    std::uint16_t lang = 0;
    for (std::uint32_t entry : t.entries) {
        lang = static_cast<std::uint16_t>(entry & 0xFFFF);
        if (lang == 1033) break;
    }
    return lang;
}

std::uint16_t GetWindowsLanguage(platform::System& sys) {
    std::string dir = sys.SystemDirectory();
    if (dir.empty() || dir.back() != '\\') dir += '\\';
    return LanguageOfFile(sys, dir + "user.exe");
}

std::string FirstCharacter(const std::string& utf8) {
    if (utf8.empty()) return {};
    unsigned char lead = static_cast<unsigned char>(utf8[0]);
    size_t len = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 1;
    return utf8.substr(0, len);
}

void BuildDayInitials(platform::System& sys, ThursdayRule rule, common::SharedState& state) {
    auto& DayInitials = state.DayInitials;
    for (int i = 0; i < 7; ++i) DayInitials[static_cast<size_t>(i)] = FirstCharacter(sys.LongDayName(i));
    bool thursdayH = rule == ThursdayRule::DayName ? sys.LongDayName(4) == "Thursday" : state.CountryCode == 1033;
    if (thursdayH) DayInitials[4] = "H";
}

}  // namespace basCountry
