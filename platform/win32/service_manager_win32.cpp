#include "platform/win32/service_manager_win32.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/win32/text.h"

namespace platform::win32 {

namespace {

std::atomic<long> liveHandles{0};

SC_HANDLE Sc(const ScHandle& h) { return static_cast<SC_HANDLE>(h.get()); }

std::error_code LastError() { return svc::Error(static_cast<int>(::GetLastError())); }

std::string Text(const wchar_t* s) { return s ? Narrow(s, wcslen(s)) : std::string(); }

ServiceStatus From(const SERVICE_STATUS& s) {
    return {s.dwServiceType,   s.dwCurrentState,           s.dwControlsAccepted, s.dwWin32ExitCode,
            s.dwServiceSpecificExitCode, s.dwCheckPoint, s.dwWaitHint};
}

// Storage for a variable-length record of type T: whole records, so the
// start is aligned for T, with room for at least `bytes`.
template <class T>
void SizeFor(std::vector<T>& buf, std::size_t bytes) {
    buf.resize((bytes + sizeof(T) - 1) / sizeof(T));
}

class Win32Service : public ServiceHandle {
public:
    explicit Win32Service(ScHandle h) : handle_(std::move(h)) {}

    std::error_code QueryStatus(ServiceStatus& status) override {
        SERVICE_STATUS s{};
        if (!::QueryServiceStatus(Sc(handle_), &s)) return LastError();
        status = From(s);
        return {};
    }

    std::error_code QueryConfig(ServiceConfig& config) override {
        // Sized from what the system asks; asked again if the configuration
        // grew in between.
        std::vector<QUERY_SERVICE_CONFIGW> buf;
        DWORD needed = 0;
        for (int attempt = 0; attempt < 4; ++attempt) {
            DWORD size = static_cast<DWORD>(buf.size() * sizeof(QUERY_SERVICE_CONFIGW));
            if (::QueryServiceConfigW(Sc(handle_), buf.empty() ? nullptr : buf.data(), size, &needed)) {
                const QUERY_SERVICE_CONFIGW& c = buf.front();
                config.serviceType = c.dwServiceType;
                config.startType = c.dwStartType;
                config.errorControl = c.dwErrorControl;
                config.binaryPath = Text(c.lpBinaryPathName);
                config.startName = Text(c.lpServiceStartName);
                config.displayName = Text(c.lpDisplayName);
                return {};
            }
            DWORD err = ::GetLastError();
            if (err != ERROR_INSUFFICIENT_BUFFER || needed <= size) return svc::Error(static_cast<int>(err));
            SizeFor(buf, needed);
        }
        return svc::Error(ERROR_INSUFFICIENT_BUFFER);
    }

    std::error_code Control(std::uint32_t control, ServiceStatus& status) override {
        SERVICE_STATUS s{};
        if (::ControlService(Sc(handle_), control, &s)) {
            status = From(s);
            return {};
        }
        DWORD err = ::GetLastError();
        // With these the manager still reports the service's latest status.
        if (err == ERROR_INVALID_SERVICE_CONTROL || err == ERROR_SERVICE_CANNOT_ACCEPT_CTRL ||
            err == ERROR_SERVICE_NOT_ACTIVE)
            status = From(s);
        return svc::Error(static_cast<int>(err));
    }

private:
    ScHandle handle_;
};

class Win32Manager : public ServiceManagerHandle {
public:
    Win32Manager(ScHandle h, std::size_t firstBytes) : handle_(std::move(h)), firstBytes_(firstBytes) {}

    std::error_code Enumerate(std::uint32_t types, std::uint32_t states, std::vector<ServiceEntry>& out) override {
        // The buffer is sized from what the system asks for, and the call
        // repeated while it reports more data. Windows continues from the
        // resume handle (and bounds one call's buffer to 256 KB); Wine does
        // not move the handle and starts over each time: a call that did
        // not move it gained nothing, and is repeated with a larger buffer.
        constexpr std::size_t kMaxBytesPerCall = 256 * 1024;
        std::vector<ENUM_SERVICE_STATUSW> buf;
        SizeFor(buf, firstBytes_);
        std::vector<ServiceEntry> found;
        DWORD resume = 0;
        for (int stalls = 0; stalls < 16;) {
            DWORD size = static_cast<DWORD>(buf.size() * sizeof(ENUM_SERVICE_STATUSW));
            DWORD needed = 0, count = 0, before = resume;
            BOOL ok = ::EnumServicesStatusW(Sc(handle_), types, states, buf.empty() ? nullptr : buf.data(), size,
                                            &needed, &count, &resume);
            DWORD err = ok ? ERROR_SUCCESS : ::GetLastError();
            if (!ok && err != ERROR_MORE_DATA) return svc::Error(static_cast<int>(err));
            bool progressed = ok || resume != before;
            if (progressed) {
                for (DWORD i = 0; i < count; ++i)
                    found.push_back({Text(buf[i].lpServiceName), Text(buf[i].lpDisplayName), From(buf[i].ServiceStatus)});
                if (ok) {
                    out = std::move(found);
                    return {};
                }
                stalls = 0;
                SizeFor(buf, std::max<std::size_t>(size, std::min<std::size_t>(needed, kMaxBytesPerCall)));
            } else {
                ++stalls;
                std::size_t next = std::max<std::size_t>(needed, std::size_t(size) * 2 + 1024);
                if (size < kMaxBytesPerCall) next = std::min(next, kMaxBytesPerCall);
                SizeFor(buf, next);
            }
        }
        return svc::Error(ERROR_MORE_DATA);
    }

    std::unique_ptr<ServiceHandle> OpenByName(const std::string& name, std::uint32_t access,
                                               std::error_code& error) override {
        ScHandle h(::OpenServiceW(Sc(handle_), Widen(name).c_str(), access));
        if (!h) {
            error = LastError();
            return nullptr;
        }
        error.clear();
        return std::make_unique<Win32Service>(std::move(h));
    }

private:
    ScHandle handle_;
    std::size_t firstBytes_;
};

}  // namespace

ScHandle::ScHandle(void* handle) : handle_(handle) {
    if (handle_) ++liveHandles;
}

ScHandle& ScHandle::operator=(ScHandle&& other) noexcept {
    if (this != &other) {
        reset();
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

void ScHandle::reset() {
    if (!handle_) return;
    ::CloseServiceHandle(static_cast<SC_HANDLE>(handle_));
    handle_ = nullptr;
    --liveHandles;
}

long ScHandle::Live() { return liveHandles.load(); }

std::unique_ptr<ServiceManagerHandle> Win32ServiceManager::Open(const std::string& machine, std::uint32_t access,
                                                                std::error_code& error) {
    std::wstring m = Widen(machine);
    ScHandle h(::OpenSCManagerW(machine.empty() ? nullptr : m.c_str(), SERVICES_ACTIVE_DATABASEW, access));
    if (!h) {
        error = LastError();
        return nullptr;
    }
    error.clear();
    return std::make_unique<Win32Manager>(std::move(h), firstEnumerationBytes_);
}

}  // namespace platform::win32
