#include "daemon/basDaemon.h"

#include <algorithm>
#include <cstdio>

#include "common/basDaemonClose.h"
#include "common/basLogFile.h"
#include "common/basRegistry.h"
#include "common/basSettings.h"
#include "common/basWinVer.h"
#include "daemon/basEventLog.h"
#include "platform/callback_guard.h"
#include "services/basErrorCodes.h"

namespace basDaemon {

void ShowCallbackErrors(ui::Ui& ui) {
    platform::SetCallbackErrorSink([&ui](const std::string& what) { ui.MsgBox(what, kAppTitle, ui::kMbCritical); });
}

namespace {

std::string CutAtNul(const std::string& s) { return s.substr(0, s.find('\0')); }

std::string WithBackslash(const std::string& s) {
    return !s.empty() && s.back() == '\\' ? s : s + "\\";
}

// Where the log goes, decided once, its folder made. A folder that cannot
// be made is said where it still can be: in the event log.
std::string LocateLog(platform::Platform& p, const std::string& appPath) {
    std::string folder = basLogFile::LogFolder(p.system, p.files, appPath);
    if (folder == appPath) return folder;
    std::error_code error = p.files.MakeFolder(folder);
    if (error && basSettings::Store(p.registry, platform::RootKey::CurrentUser, basRegistry::Flavor::Daemon)
                         .Read(basSettings::LogEV) == 1) {
        const std::string reason = basErrorCodes::Describe(error.value());
        basEventLog::ReportLogEvent(p, basEventLog::kWarningType, basEventLog::kLogFolderNotMade, {folder, reason},
                                    p.clock.GeneralDate(p.clock.Now()) + "  The folder " + folder +
                                        " for events.txt could not be made; the message is:  " + reason);
    }
    return folder;
}

}  // namespace

std::string ComputeAppPath(platform::System& sys, const std::string& programFolder) {
    std::string path = programFolder.size() == 3 ? programFolder : programFolder + "\\";
    std::string longForm = CutAtNul(sys.LongPathName(path));
    return longForm.empty() ? path : longForm;
}

void ReadSystemNames(platform::System& sys, halcyrad::DaemonState& state) {
    state.WindowsDir = WithBackslash(CutAtNul(sys.WindowsDirectory()));
    state.SystemDir = WithBackslash(CutAtNul(sys.SystemDirectory()));
    state.UserName = CutAtNul(sys.UserName());
}

bool FileExists(platform::System& sys, const std::string& path) {
    auto attributes = sys.FindFile(path);
    constexpr std::uint32_t kHidden = 0x2, kSystem = 0x4, kDirectory = 0x10;
    return attributes && !(*attributes & (kHidden | kSystem | kDirectory));
}

void CloseDimmer(platform::WindowManager& windows) { windows.PostClose(windows.Find("FakeO", "")); }

std::string HelpUrl(const std::string& helpFile, int context) {
    std::string url = "file:///";
    for (unsigned char c : helpFile) {
        if (c == '\\') url += '/';
        else if (c <= 0x20 || c == '%' || c == '#' || c == '?' || c >= 0x80) {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            url += buf;
        } else url += static_cast<char>(c);
    }
    return url + "#context-" + std::to_string(context);
}

std::string OptionsCommand(platform::System& sys, std::int16_t winPlatform, const std::string& appPath) {
    std::string rundll32 = basWinVer::SystemProgram(sys, winPlatform, "rundll32.exe");
    if (rundll32.empty()) return {};
    std::string beside = appPath + basProduct::kAppletFileName;
    if (!FileExists(sys, beside)) return rundll32 + kOptionsArguments + basProduct::kAppletFileName;
    return rundll32 + kOptionsArguments + "\"" + beside + "\"";
}

void StartDimmer(platform::Platform& p, const std::string& appPath) {
    if (FileExists(p.system, appPath + kDimmer)) p.processes.Start("\"" + appPath + kDimmer + "\"");
}

bool Startup(platform::Platform& p, ui::Ui& ui, halcyrad::DaemonState& state, const std::string& programFolder) {
    state.AppPath = ComputeAppPath(p.system, programFolder);
    state.HelpFile = state.AppPath + kHelpFileName;
    // Only the copy that stays writes its folder: a second start from another
    // folder must not repoint the applet and the helpers there.
    auto remember = [&] {
        basRegistry::SaveString(p.registry, platform::RootKey::CurrentUser, basSettings::kSettingsKey,
                                basSettings::AppPath.name, state.AppPath);
        state.LogFolder = LocateLog(p, state.AppPath);
        return true;
    };
    platform::WindowManager::Handle running = p.windows.Find(kWindowClass, kAppTitle);
    // An installer's way to free the program's file: the copy running in
    // this session ends as Unload ends it, and this one does not stay.
    if (state.HasSwitch("/close")) {
        if (running) basDaemonClose::CloseAndWait(p, running);
        return false;
    }
    if (state.HasSwitch("/develop")) return remember();
    if (!running) return remember();
    StartDimmer(p, state.AppPath);
    ui.DoEvents();
    p.windows.BringToFront(running);
    return false;
}

std::int32_t ReadServiceWaitSeconds(platform::Platform& p, const basSettings::Store& store,
                                    const std::string& logFolder) {
    const std::int32_t stored = store.Read(basSettings::SecondsToWaitForService);
    const std::int32_t held = std::clamp<std::int32_t>(stored, 0, kMaxServiceWaitSeconds);
    if (held != stored)
        basEventLog::AppendLogLine(p, logFolder,
                                   p.clock.GeneralDate(p.clock.Now()) + "  SecondsToWaitForService is " +
                                       std::to_string(stored) + ", outside 0 to " +
                                       std::to_string(kMaxServiceWaitSeconds) + "; each service is given " +
                                       std::to_string(held) + " seconds to stop.");
    return held;
}

int MatchInterceptTitle(platform::Locale& locale, const std::array<std::string, 3>& titles,
                        const std::string& caption) {
    std::string t = CutAtNul(caption);
    size_t b = t.find_first_not_of(' ');
    if (b == std::string::npos) return -1;
    t = t.substr(b, t.find_last_not_of(' ') - b + 1);
    for (int slot : {2, 1, 0}) {
        const std::string& title = titles[static_cast<size_t>(slot)];
        if (!title.empty() && locale.EqualsIgnoreCase(t, title)) return slot;
    }
    return -1;
}

}  // namespace basDaemon
