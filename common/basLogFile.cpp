#include "common/basLogFile.h"

#include "common/basProduct.h"

namespace basLogFile {

std::string LogFolder(platform::System& sys, platform::Files& files, const std::string& appPath) {
    if (!appPath.empty() && !files.ProbeAppend(appPath + basProduct::kLogFileName)) return appPath;
    std::string local = sys.ShellFolder(platform::ShellFolderId::LocalAppData);
    if (local.empty()) return appPath;
    if (local.back() != '\\') local += '\\';
    return local + basProduct::kAppTitle + "\\";
}

}  // namespace basLogFile
