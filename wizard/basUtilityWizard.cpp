#include "wizard/basUtilityWizard.h"

#include "common/basRegistry.h"
#include "wizard/frmWizardEmail.h"

namespace basUtilityWizard {

namespace {

constexpr const char* kDefragPathKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\DefragPath";
constexpr const char* kAppPathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

std::string WithBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

// The default value of a machine key as text; "" when missing. Opened for
// reading only: asking for write access as well would lock out every user
// who may not change the key, and the value is only read.
std::string MachineDefault(platform::Registry& reg, const std::string& path) {
    auto v = reg.QueryValue(reg.OpenKey(platform::RootKey::LocalMachine, path), "");
    if (!v || (v->type != platform::kRegSz && v->type != platform::kRegExpandSz)) return {};
    return basRegistry::StripTerminator(v->data);
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string FirstFound(platform::System& sys, std::initializer_list<std::string> candidates) {
    for (const std::string& c : candidates)
        if (FileExists(sys, c)) return c;
    return {};
}

}  // namespace

std::string WindowsFolder(platform::System& sys) { return WithBackslash(sys.WindowsDirectory()); }
std::string SystemFolder(platform::System& sys) { return WithBackslash(sys.SystemDirectory()); }

bool FileExists(platform::System& sys, const std::string& path) {
    constexpr std::uint32_t kHidden = 0x2, kSystem = 0x4, kDirectory = 0x10;
    auto attributes = sys.FindFile(path);
    return attributes && !(*attributes & (kHidden | kSystem | kDirectory));
}

std::string FolderOf(const std::string& s) {
    size_t last = s.rfind('\\');
    if (last == std::string::npos || s == "\\") return {};
    std::string folder = s.substr(0, last);
    if (!folder.empty() && folder.back() == ':') folder += '\\';
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

std::string FindScanDisk(const WizardContext& ctx) {
    if (ctx.winPlatform == 1) return WindowsFolder(ctx.system) + "scandskw.exe";
    return {};
}

std::string FindDefragmenter(const WizardContext& ctx) {
    if (ctx.winPlatform == 1) {
        std::string path = WindowsFolder(ctx.system) + "defrag.exe";
        return FileExists(ctx.system, path) ? path : std::string();
    }
    if (ctx.winPlatform != 2) return {};
    std::string value = MachineDefault(ctx.registry, kDefragPathKey);
    if (value.empty()) return {};
    // A path is the registered command as it stands, arguments and
    // variables included; a bare program name is looked up where the
    // shell registers programs.
    if (!FolderOf(value).empty()) return value;
    std::string program = Trim(value.substr(0, value.find(' ')));
    if (program.empty()) return {};
    return MachineDefault(ctx.registry, kAppPathsKey + program);
}

std::string FindVirusScanner(const WizardContext& ctx) {
    platform::System& sys = ctx.system;
    if (ctx.winPlatform == 1) {
        std::string base = sys.Environment("windir").value_or("").substr(0, 2) + "\\Program Files\\";
        return FirstFound(sys, {base + "Network Associates\\McAfee VirusScan\\scan32.exe",
                                base + "norton antivirus\\navw32.exe",
                                base + "data fellows\\f-secure\\anti-virus\\f-prot95.exe"});
    }
    if (ctx.winPlatform == 2) {
        std::string drive = sys.Environment("SystemDrive").value_or("");
        std::string base = drive + "\\Program Files\\";
        // The last one keeps its doubled separator; Windows reads it as one.
        return FirstFound(sys, {base + "McAfee\\NetShield NT\\scan32.exe", base + "McAfee\\NetShield\\scan32.exe",
                                base + "McAfee\\VirusScan NT\\scan32.exe", base + "navnt\\navwnt.exe",
                                drive + "\\IBMAVNT\\ibmavwnt.exe", base + "\\f-protnt\\f-protnt.exe"});
    }
    return {};
}

std::string FindBackup(const WizardContext& ctx) {
    if (ctx.winPlatform != 1) return {};
    std::string candidate;
    if (ctx.winVer == 1) candidate = "c:\\progra~1\\access~1\\backup.exe";
    else if (ctx.winVer == 3) candidate = "c:\\progra~1\\access~1\\backup\\msbackup.exe";
    else return {};
    return FileExists(ctx.system, candidate) ? candidate : std::string();
}

std::string FindRunnableDefragmenter(const WizardContext& ctx) {
    std::string registered = FindDefragmenter(ctx);
    if (ctx.winPlatform != 2) return registered;
    std::string lower = registered;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (lower.find("sd32.exe") != std::string::npos) return registered;
    // Windows 2000 has only the console snap-in; XP and later the command.
    std::string system = SystemFolder(ctx.system) + "defrag.exe";
    if (ctx.winVer < 5 || !FileExists(ctx.system, system) || !ctx.system.RunsAsAdministrator()) return {};
    return system;
}

bool RunSetupWizard(ui::Ui& ui, ui::Form* owner, const WizardContext& ctx, wizard::WizardRunList& runList,
                    bool ownButton) {
    wizard::frmWizardEmail wizard(ui, owner, ctx, runList);
    return wizard.Show(ownButton);
}

}  // namespace basUtilityWizard
