#pragma once
#include <cstdint>
#include <string>

#include "platform/registry.h"
#include "platform/system.h"
#include "ui/controls.h"
#include "wizard/WizardRunList.h"

// Finding the machine's own maintenance utilities, and the entry that opens
// the set-up wizard. Each finder searches again on every call and gives the
// program's path (the registered command for the NT defragmenter), or ""
// when there is nothing to offer.
namespace basUtilityWizard {

// What the finders and the wizard know of the machine and the session.
struct WizardContext {
    platform::Registry& registry;
    platform::System& system;
    std::int16_t winPlatform = 0;  // 1 Windows 95/98, 2 NT, else neither
    std::int16_t winVer = 0;       // 1 95, 3 98, 4 NT 4, 5 NT 5
    std::uint16_t countryCode = 1033;
    // Root of the settings key the wizard writes.
    platform::RootKey settingsRoot = platform::RootKey::CurrentUser;
};

// The entry names the wizard offers; they are also run-list names.
inline constexpr const char* kScanName = "Scan for Errors";
inline constexpr const char* kDefragName = "Defragment";
inline constexpr const char* kVirusName = "Anti-Virus";
inline constexpr const char* kBackupName = "Backup";

// The system's folders with a trailing "\".
std::string WindowsFolder(platform::System& sys);
std::string SystemFolder(platform::System& sys);
// A plain file is at this exact path (hidden, system and folders are not).
bool FileExists(platform::System& sys, const std::string& path);
// The folder part of a path without a trailing "\"; "" when it names none.
std::string FolderOf(const std::string& path);

std::string FindScanDisk(const WizardContext& ctx);
std::string FindDefragmenter(const WizardContext& ctx);
std::string FindVirusScanner(const WizardContext& ctx);
std::string FindBackup(const WizardContext& ctx);

// The defragmenter the wizard can write a command for: the finder's on
// Windows 95/98; on NT a registered Diskeeper ("sd32.exe"), else the
// system's command-line defrag.exe where it exists and the user holds the
// administrators' rights it requires. "" when there is none.
std::string FindRunnableDefragmenter(const WizardContext& ctx);

// Shows the wizard modally over `owner` (may be null). Its new rows go to
// `runList`; true when the user finished it, false when it was cancelled or
// closed (then nothing was written).
// With ownButton the wizard has a taskbar button of its own and comes to the
// front: at the first start its owner is a hidden window.
bool RunSetupWizard(ui::Ui& ui, ui::Form* owner, const WizardContext& ctx, wizard::WizardRunList& runList,
                    bool ownButton = false);

}  // namespace basUtilityWizard
