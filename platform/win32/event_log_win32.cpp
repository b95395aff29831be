#include "platform/win32/event_log_win32.h"

#include <windows.h>

#include "platform/win32/text.h"

namespace platform::win32 {

namespace {

std::error_code LastError() { return {static_cast<int>(GetLastError()), std::system_category()}; }

}  // namespace

std::error_code Win32EventLog::Report(const std::string& source, const EventRecord& record) {
    HANDLE log = RegisterEventSourceW(nullptr, Widen(source).c_str());
    if (!log) return LastError();
    std::wstring insertion = Widen(record.insertion);
    LPCWSTR strings[] = {insertion.c_str()};
    std::error_code status;
    if (!ReportEventW(log, record.type, record.category, record.id, nullptr, 1,
                      static_cast<DWORD>(record.data.size()), strings,
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

}  // namespace platform::win32
