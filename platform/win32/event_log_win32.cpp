#include "platform/win32/event_log_win32.h"

#include <windows.h>

#include <vector>

#include "platform/win32/text.h"

namespace platform::win32 {

namespace {

std::error_code LastError() { return {static_cast<int>(GetLastError()), std::system_category()}; }

}  // namespace

std::error_code Win32EventLog::Report(const std::string& source, const EventRecord& record) {
    std::vector<std::wstring> insertions;
    insertions.reserve(record.insertions.size());
    for (const std::string& s : record.insertions) {
        // Windows refuses the whole entry for one string over its limit: a
        // very long command line is cut, never the entry lost (the log file
        // keeps it whole). A surrogate pair is not split.
        constexpr size_t kMaxInsertion = 31839;
        std::wstring w = Widen(s);
        if (w.size() > kMaxInsertion) w.resize(kMaxInsertion - (IS_HIGH_SURROGATE(w[kMaxInsertion - 1]) ? 1 : 0));
        insertions.push_back(std::move(w));
    }
    std::vector<LPCWSTR> strings;
    for (const std::wstring& s : insertions) strings.push_back(s.c_str());
    HANDLE log = RegisterEventSourceW(nullptr, Widen(source).c_str());
    if (!log) return LastError();
    std::error_code status;
    if (!ReportEventW(log, record.type, record.category, record.id, nullptr, static_cast<WORD>(strings.size()),
                      static_cast<DWORD>(record.data.size()), strings.empty() ? nullptr : strings.data(),
                      record.data.empty() ? nullptr : const_cast<char*>(record.data.data())))
        status = LastError();
    DeregisterEventSource(log);
    return status;
}

std::error_code Win32Files::Append(const std::string& path, std::string_view bytes) {
    HANDLE file = CreateFileW(Widen(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastError();
    std::error_code status;
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        status = LastError();
    else if (written != bytes.size())
        status.assign(ERROR_WRITE_FAULT, std::system_category());
    if (!CloseHandle(file) && !status) status = LastError();
    return status;
}

std::error_code Win32Files::Remove(const std::string& path) {
    if (!DeleteFileW(Widen(path).c_str())) return LastError();
    return {};
}

// A real open, not a reading of the folder's security: only the open knows
// every rule that applies (inherited entries, UAC, a read-only file).
std::error_code Win32Files::ProbeAppend(const std::string& path) {
    std::wstring w = Widen(path);
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE file =
        CreateFileW(w.c_str(), FILE_APPEND_DATA, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) return {static_cast<int>(error), std::system_category()};
        // Not there: made as Append would make it, and deleted as the handle closes.
        file = CreateFileW(w.c_str(), FILE_APPEND_DATA | DELETE, share, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file == INVALID_HANDLE_VALUE) return LastError();
    }
    CloseHandle(file);
    return {};
}

std::error_code Win32Files::MakeFolder(const std::string& path) {
    if (CreateDirectoryW(Widen(path).c_str(), nullptr)) return {};
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        DWORD attributes = GetFileAttributesW(Widen(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    }
    return {static_cast<int>(error), std::system_category()};
}

}  // namespace platform::win32
