#include "platform/win32/system_win32.h"
#include "platform/win32/wait_win32.h"

#include <windows.h>
#include <lmcons.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "platform/win32/runtime_floor.h"
#include "platform/win32/text.h"

namespace platform::win32 {

OsVersion Win32System::Version() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&info)) return {};
#pragma GCC diagnostic pop
    return {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

namespace {

template <typename F>
std::string FolderFrom(F call) {
    std::vector<wchar_t> buf(MAX_PATH + 1);
    UINT n = call(buf.data(), static_cast<UINT>(buf.size()));
    if (n >= buf.size()) {
        buf.resize(n + 1);
        n = call(buf.data(), static_cast<UINT>(buf.size()));
    }
    return n && n < buf.size() ? Narrow(buf.data(), n) : std::string();
}

}  // namespace

std::string Win32System::WindowsDirectory() {
    return FolderFrom([](wchar_t* b, UINT n) { return GetWindowsDirectoryW(b, n); });
}

std::string Win32System::SystemDirectory() {
    return FolderFrom([](wchar_t* b, UINT n) { return GetSystemDirectoryW(b, n); });
}

std::string Win32System::TempDirectory() {
    std::string t = FolderFrom([](wchar_t* b, UINT n) { return UINT(GetTempPathW(n, b)); });
    // GetTempPath ends in a backslash; report it like the other folders.
    if (t.size() > 3 && t.back() == '\\') t.pop_back();
    return t;
}

std::string Win32System::UserName() {
    wchar_t buf[UNLEN + 1];
    DWORD n = UNLEN + 1;
    if (!GetUserNameW(buf, &n) || n == 0) return {};
    return Narrow(buf, n - 1);  // n counts the terminator
}

std::optional<std::string> Win32System::Environment(const std::string& name) {
    std::wstring w = Widen(name);
    DWORD n = GetEnvironmentVariableW(w.c_str(), nullptr, 0);
    if (n == 0) return std::nullopt;
    std::vector<wchar_t> buf(n);
    DWORD got = GetEnvironmentVariableW(w.c_str(), buf.data(), n);
    if (got >= n) return std::nullopt;
    return Narrow(buf.data(), got);
}

bool RestrictDllSearch() {
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto set = kernel ? reinterpret_cast<SetDirectories>(
                            reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                      : nullptr;
    if (set && set(LOAD_LIBRARY_SEARCH_SYSTEM32)) return true;
    SetDllDirectoryW(L"");
    return false;
}

namespace {

// version.dll is no known DLL: imported, the loader would take the first one
// it finds, in the program's own folder before the system's. It is loaded by
// its full path from the system folder instead.
struct VersionApi {
    decltype(&GetFileVersionInfoSizeW) infoSize = nullptr;
    decltype(&GetFileVersionInfoW) info = nullptr;
    decltype(&VerQueryValueW) query = nullptr;
    explicit operator bool() const { return infoSize && info && query; }
};

template <class F>
F Export(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const VersionApi& VersionLibrary() {
    static const VersionApi api = [] {
        VersionApi a;
        wchar_t dir[MAX_PATH];
        UINT n = GetSystemDirectoryW(dir, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return a;
        std::wstring path = std::wstring(dir, n) + L"\\version.dll";
        HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        if (!module) return a;
        a.infoSize = Export<decltype(a.infoSize)>(module, "GetFileVersionInfoSizeW");
        a.info = Export<decltype(a.info)>(module, "GetFileVersionInfoW");
        a.query = Export<decltype(a.query)>(module, "VerQueryValueW");
        return a;
    }();
    return api;
}

}  // namespace

VersionTranslations Win32System::FileTranslations(const std::string& path) {
    VersionTranslations out;
    const VersionApi& v = VersionLibrary();
    if (!v) return out;
    std::wstring w = Widen(path);
    DWORD handle = 0;
    DWORD size = v.infoSize(w.c_str(), &handle);
    if (size > 64000) size = 64000;
    if (size == 0) return out;
    std::vector<BYTE> buf(size);
    if (!v.info(w.c_str(), 0, size, buf.data())) return out;
    void* block = nullptr;
    UINT len = 0;
    if (!v.query(buf.data(), L"\\VarFileInfo\\Translation", &block, &len) || !block) {
        out.status = VersionTranslations::Status::NoTranslationTable;
        return out;
    }
    out.status = VersionTranslations::Status::Ok;
    const BYTE* p = static_cast<const BYTE*>(block);
    for (UINT i = 0; i + 4 <= len; i += 4) {
        std::uint32_t lang = p[i] | (p[i + 1] << 8);
        std::uint32_t cp = p[i + 2] | (p[i + 3] << 8);
        out.entries.push_back(lang | (cp << 16));
    }
    return out;
}

std::uint16_t Win32System::SystemDefaultUILanguage() { return GetSystemDefaultUILanguage(); }

std::optional<std::uint32_t> Win32System::FindFile(const std::string& path) {
    std::wstring w = Widen(path);
    // A trailing separator names no entry for a search.
    if (!w.empty() && (w.back() == L'\\' || w.back() == L'/')) return std::nullopt;
    // A plain name needs no directory search, which takes several times as long.
    if (w.find_first_of(L"*?") == std::wstring::npos) {
        DWORD attributes = GetFileAttributesW(w.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
        return attributes;
    }
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(w.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    FindClose(h);
    return fd.dwFileAttributes;
}

std::string Win32System::LongPathName(const std::string& path) {
    std::wstring w = Widen(path);
    DWORD n = GetLongPathNameW(w.c_str(), nullptr, 0);
    if (n == 0) return {};
    std::vector<wchar_t> buf(n);
    DWORD got = GetLongPathNameW(w.c_str(), buf.data(), n);
    if (got == 0 || got >= n) return {};
    return Narrow(buf.data(), got);
}

std::array<unsigned, 4> Win32System::ProgramVersion() {
    const VersionApi& v = VersionLibrary();
    if (!v) return {0, 0, 0, 0};
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD handle = 0, size = v.infoSize(path, &handle);
    if (!size) return {0, 0, 0, 0};
    std::vector<BYTE> buf(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!v.info(path, 0, size, buf.data()) ||
        !v.query(buf.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info)
        return {0, 0, 0, 0};
    return {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
            LOWORD(info->dwFileVersionLS)};
}

int Win32System::DisplayBitsPerPixel() {
    HDC dc = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    if (!dc) return 0;
    int bits = GetDeviceCaps(dc, BITSPIXEL);
    DeleteDC(dc);
    return bits;
}

std::string Win32System::LongDayName(int day) {
    if (day < 0 || day > 6) return {};
    // 31 December 1899 was a Sunday; the following days run to Saturday.
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(day == 0 ? 1899 : 1900);
    st.wMonth = static_cast<WORD>(day == 0 ? 12 : 1);
    st.wDay = static_cast<WORD>(day == 0 ? 31 : day);
    st.wDayOfWeek = static_cast<WORD>(day);
    wchar_t buf[128];
    int n = GetDateFormatW(LOCALE_USER_DEFAULT, 0, &st, L"dddd", buf, 128);
    return n > 1 ? Narrow(buf, static_cast<size_t>(n - 1)) : std::string();
}

std::vector<std::string> Win32System::LogicalDriveRoots() {
    std::vector<wchar_t> buf(128);
    DWORD n = GetLogicalDriveStringsW(static_cast<DWORD>(buf.size()), buf.data());
    if (n >= buf.size()) {
        buf.resize(n + 1);
        n = GetLogicalDriveStringsW(static_cast<DWORD>(buf.size()), buf.data());
    }
    // NUL-separated roots, ended by an empty one.
    std::vector<std::string> roots;
    for (DWORD i = 0; i < n && i < buf.size() && buf[i];) {
        std::wstring root(&buf[i]);
        roots.push_back(Narrow(root));
        i += static_cast<DWORD>(root.size()) + 1;
    }
    return roots;
}

DriveKind Win32System::KindOfDrive(const std::string& root) {
    return static_cast<DriveKind>(GetDriveTypeW(Widen(root).c_str()));
}

std::string Win32System::ShellFolder(ShellFolderId folder) {
    int csidl = 0;
    switch (folder) {
    case ShellFolderId::InternetCache: csidl = CSIDL_INTERNET_CACHE; break;
    case ShellFolderId::LocalAppData: csidl = CSIDL_LOCAL_APPDATA; break;
    }
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    std::string s = Narrow(path);
    if (s.size() > 3 && s.back() == '\\') s.pop_back();
    return s;
}

LocalTime Win32Clock::Now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wDayOfWeek, st.wHour, st.wMinute, st.wSecond};
}

std::string Win32Clock::GeneralDate(const LocalTime& t) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wDayOfWeek = static_cast<WORD>(t.dayOfWeek);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    wchar_t date[128], time[128];
    int d = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, 128);
    int h = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, 128);
    std::string out = d > 1 ? Narrow(date, static_cast<size_t>(d - 1)) : std::string();
    if (h > 1) out += " " + Narrow(time, static_cast<size_t>(h - 1));
    return out;
}

// "C:" alone goes to that drive's own current folder, as the system keeps it.
bool Win32System::ChangeDirectory(const std::string& path) {
    return ::SetCurrentDirectoryW(Widen(path).c_str()) != FALSE;
}

std::string Win32System::ErrorMessage(int code) {
    wchar_t* text = nullptr;
    DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string out = n ? Narrow(text, n) : std::string();
    if (text) ::LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
    return out.empty() ? "Error " + std::to_string(code) : out;
}

// The folders CreateProcess searches, but for the current one, which
// anyone may have filled: this program's own, the system's, Windows', the PATH.
std::optional<std::string> Win32System::FindOnSearchPath(const std::string& name) {
    std::wstring w = Widen(name);
    if (w.empty() || w.find_first_of(L"\\/:") != std::wstring::npos) return std::nullopt;
    wchar_t module[MAX_PATH];
    DWORD m = GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring folders(module, m && m < MAX_PATH ? m : 0);
    folders.erase(std::min(folders.size(), folders.find_last_of(L'\\')));
    folders += L";" + Widen(SystemDirectory()) + L";" + Widen(WindowsDirectory());
    // Only full paths: a "." or relative entry would bring the current folder back.
    if (auto path = Environment("PATH")) {
        std::wstring all = Widen(*path);
        for (size_t at = 0; at <= all.size();) {
            size_t end = std::min(all.find(L';', at), all.size());
            std::wstring entry = all.substr(at, end - at);
            if (entry.size() >= 2 && entry.front() == L'"' && entry.back() == L'"') entry = entry.substr(1, entry.size() - 2);
            bool full = (entry.size() >= 3 && entry[1] == L':' && entry[2] == L'\\') || entry.rfind(L"\\\\", 0) == 0;
            if (full) folders += L";" + entry;
            at = end + 1;
        }
    }
    std::vector<wchar_t> buf(MAX_PATH + 1);
    DWORD n = SearchPathW(folders.c_str(), w.c_str(), L".exe", static_cast<DWORD>(buf.size()), buf.data(), nullptr);
    if (n >= buf.size()) {
        buf.resize(n + 1);
        n = SearchPathW(folders.c_str(), w.c_str(), L".exe", static_cast<DWORD>(buf.size()), buf.data(), nullptr);
    }
    if (n == 0 || n >= buf.size()) return std::nullopt;
    DWORD attributes = GetFileAttributesW(buf.data());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    return Narrow(buf.data(), n);
}

// With UAC the administrators' group of a token that was not elevated is
// for denying only, and the membership test says no.
bool Win32System::RunsAsAdministrator() {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  &administrators))
        return false;
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
    FreeSid(administrators);
    return member != FALSE;
}

std::uint64_t Win32Clock::Milliseconds() { return TickCount64(); }

void Win32Clock::Pause(unsigned ms) { (void)WaitAnswering(nullptr, ms); }

}  // namespace platform::win32
