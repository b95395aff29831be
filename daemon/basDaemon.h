#pragma once
#include <cstdint>
#include <string>

#include "common/basProduct.h"
#include "common/basSettings.h"
#include "daemon/DaemonState.h"
#include "platform/text_locale.h"
#include "platform/platform.h"
#include "platform/system.h"
#include "platform/window_manager.h"
#include "ui/controls.h"

// The daemon's start-up and the helpers its windows share.
namespace basDaemon {

inline constexpr const char* kAppTitle = basProduct::kAppTitle;
inline constexpr const char* kHelpFileName = "halcyra.html";
// The main window's class: with the title it tells the running daemon from
// any message box titled "Halcyra".
inline constexpr const char* kWindowClass = basProduct::kDaemonWindowClass;
inline constexpr const char* kDimmer = "dusker.exe";
// The window class of the system's shut-down and log-off dialogs.
inline constexpr const char* kSystemDialogClass = "#32770";
inline constexpr const char* kOptionsArguments = " shell32.dll,Control_RunDLL ";

// The command that opens the settings applet: Rundll32 from the system
// folder with the applet beside the program by its full quoted path when it
// is there, else the one the system folder holds, by its bare name. "" when
// the system names no folder.
std::string OptionsCommand(platform::System& sys, std::int16_t winPlatform, const std::string& appPath);

// An exception that reaches a callback of the system is shown to the user
// in a message box titled with the product's name; the daemon stays.
void ShowCallbackErrors(ui::Ui& ui);

// The program's folder: a drive root stays "X:\", any other folder gets
// a "\"; then its long form where the system has one.
std::string ComputeAppPath(platform::System& sys, const std::string& programFolder);

// Windows, system folder and user name.
void ReadSystemNames(platform::System& sys, halcyrad::DaemonState& state);

// A normal file is there: hidden, system and directory entries count as missing.
bool FileExists(platform::System& sys, const std::string& path);

// Closes the screen dimmer's window, when there is one.
void CloseDimmer(platform::WindowManager& windows);

// The help page beside the program, as a file URL with the context as anchor.
std::string HelpUrl(const std::string& helpFile, int context);

// Starts the screen dimmer beside the program, when it is there.
void StartDimmer(platform::Platform& p, const std::string& appPath);

// What happens before any window: the program's folder, the help page, the
// folder stored in the settings, and the single-copy rule. False when a copy
// already runs (it has been brought to the front) and this one must end.
bool Startup(platform::Platform& p, ui::Ui& ui, halcyrad::DaemonState& state, const std::string& programFolder);

// The longest wait for one service to stop, in seconds: more than ten
// minutes a service would hold the end of the session for hours.
inline constexpr std::int32_t kMaxServiceWaitSeconds = 600;

// "SecondsToWaitForService" held to 0..kMaxServiceWaitSeconds; a value held
// there is noted in the log in `logFolder`. One that is no number gives the
// default, as for every reader of the settings.
std::int32_t ReadServiceWaitSeconds(platform::Platform& p, const basSettings::Store& store,
                                    const std::string& logFolder);

// Which title slot a caption of the taskbar's process matches: 2, 1 and 0
// are tried in that order; -1 when none (an empty caption never matches).
int MatchInterceptTitle(platform::Locale& locale, const std::array<std::string, 3>& titles,
                        const std::string& caption);

}  // namespace basDaemon
