#pragma once
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "platform/callback_guard.h"
#include "platform/process.h"
#include "platform/window_manager.h"

namespace platform::fake {

class FakeWindowManager : public WindowManager {
public:
    struct Window {
        std::string className, title;
        std::uint32_t process = 0;
    };
    std::map<Handle, Window> windows;
    std::vector<Handle> closePosted, closeSent, broughtToFront;
    // How a window answers WM_CLOSE: listed here, with that value, staying;
    // among `hung`, not at all; otherwise 0, and it goes with its process.
    std::map<Handle, std::intptr_t> closeAnswers;
    std::set<Handle> hung;
    std::vector<std::uint32_t> closeTimeouts;  // the limit of every send
    std::function<void(std::uint32_t process)> onProcessEnds;

    Handle Add(const std::string& className, const std::string& title, std::uint32_t process = 0) {
        Handle h{next++};
        windows[h] = {className, title, process};
        return h;
    }
    Handle Find(const std::string& className, const std::string& title) override {
        for (auto& [h, w] : windows)
            if ((className.empty() || className == w.className) && (title.empty() || title == w.title)) return h;
        return {};
    }
    bool PostClose(Handle window) override {
        if (failClose) failClose(window);  // a test's way to make the adapter throw
        if (!windows.count(window)) return false;
        closePosted.push_back(window);
        return true;
    }
    std::optional<std::intptr_t> SendClose(Handle window, std::uint32_t milliseconds) override {
        closeSent.push_back(window);
        closeTimeouts.push_back(milliseconds);
        auto it = windows.find(window);
        if (it == windows.end() || hung.count(window)) return std::nullopt;
        auto answer = closeAnswers.find(window);
        if (answer != closeAnswers.end()) return answer->second;
        std::uint32_t process = it->second.process;
        windows.erase(it);
        if (onProcessEnds) onProcessEnds(process);
        return 0;
    }
    std::string Text(Handle window) override {
        auto it = windows.find(window);
        return it == windows.end() ? std::string() : it->second.title.substr(0, 62);
    }
    std::string ClassName(Handle window) override {
        auto it = windows.find(window);
        return it == windows.end() ? std::string() : it->second.className;
    }
    std::uint32_t ProcessOf(Handle window) override {
        auto it = windows.find(window);
        return it == windows.end() ? 0 : it->second.process;
    }
    void BringToFront(Handle window) override { broughtToFront.push_back(window); }
    bool Exists(Handle window) override { return windows.count(window) > 0; }

    std::uintptr_t next = 0x100;
    std::function<void(Handle)> failClose;
};

class FakeShellHook : public ShellHook {
public:
    bool Arm(std::uint32_t processId, std::function<void(Handle)> onWindow,
             std::function<void(Handle)> onDeferred) override {
        armedFor = processId;
        window = std::move(onWindow);
        deferred = std::move(onDeferred);
        enabled = true;
        return true;
    }
    void SetEnabled(bool e) override {
        if (!e) pending.clear();  // a disabled hook drops what it had deferred
        enabled = e;
    }
    bool Enabled() const override { return enabled; }
    void RequestDeferred(Handle w) override { pending.push_back(w); }

    // The shell's process shows or renames a window.
    void Report(Handle w) {
        if (enabled && window) Guarded([&] { window(w); });
    }
    // The message loop gets round to the deferred events.
    void RunDeferred() {
        auto batch = pending;
        pending.clear();
        for (Handle w : batch)
            if (enabled && deferred) Guarded([&] { deferred(w); });
    }

    std::uint32_t armedFor = 0;
    bool enabled = false;
    std::function<void(Handle)> window, deferred;
    std::vector<Handle> pending;
};

class FakeProcesses : public Processes {
public:
    // How a launched command line behaves.
    struct Outcome {
        bool starts = true;
        int error = 2;                              // the status when it does not start
        std::optional<std::uint32_t> exitCode = 0;  // nothing: still running after any wait
    };

    bool Start(const std::string& commandLine) override {
        started.push_back(commandLine);
        if (onStart) onStart(commandLine);
        return succeed;
    }
    // A folder that is not there is refused, as the system refuses it.
    bool StartIn(const std::string& commandLine, const std::string& folder) override {
        startedIn.push_back({commandLine, folder});
        return succeed && !missingFolders.count(folder);
    }
    std::error_code StartShown(const std::string& commandLine, std::uint16_t showCode) override {
        shown.push_back({commandLine, showCode});
        auto it = outcomes.find(commandLine);
        if (it != outcomes.end() && !it->second.starts) return {it->second.error, std::system_category()};
        return {};
    }
    std::unique_ptr<Process> Launch(const std::string& commandLine, std::error_code& error) override {
        launched.push_back(commandLine);
        if (onLaunch) onLaunch(commandLine);
        auto it = outcomes.find(commandLine);
        Outcome o = it == outcomes.end() ? otherwise : it->second;
        error.clear();
        if (!o.starts) {
            error.assign(o.error, std::system_category());
            return nullptr;
        }
        return std::make_unique<Running>(o, waits);
    }
    // Only a program listed in `running` opens; one in `unopenable` is
    // refused as Windows refuses another user's.
    std::unique_ptr<Process> Open(std::uint32_t processId, std::error_code& error) override {
        opened.push_back(processId);
        error.clear();
        constexpr int kAccessDenied = 5, kInvalidParameter = 87;
        if (unopenable.count(processId)) {
            error.assign(kAccessDenied, std::system_category());
            return nullptr;
        }
        if (!running.count(processId)) {
            error.assign(kInvalidParameter, std::system_category());
            return nullptr;
        }
        return std::make_unique<Opened>(processId, running, waits);
    }

    std::vector<std::string> started;
    std::function<void(const std::string&)> onStart;
    bool succeed = true;
    std::vector<std::pair<std::string, std::string>> startedIn;  // StartIn: command line and folder
    std::set<std::string> missingFolders;
    std::vector<std::pair<std::string, std::uint16_t>> shown;  // StartShown: command line and show code
    std::function<void(const std::string&)> onLaunch;
    std::map<std::string, Outcome> outcomes;  // by exact command line
    Outcome otherwise;
    std::vector<std::string> launched;
    std::vector<std::uint32_t> waits;  // the limit of every wait
    std::set<std::uint32_t> running, unopenable;  // programs by id, for Open
    std::vector<std::uint32_t> opened;

private:
    // Ends when its id leaves `running`; a wait on one still there times out.
    class Opened : public Process {
    public:
        Opened(std::uint32_t id, const std::set<std::uint32_t>& running, std::vector<std::uint32_t>& waits)
            : id_(id), running_(running), waits_(waits) {}
        std::uint32_t Wait(std::uint32_t ms) override {
            waits_.push_back(ms);
            return running_.count(id_) ? kTimedOut : kEnded;
        }
        std::optional<std::uint32_t> ExitCode() override { return std::nullopt; }

    private:
        std::uint32_t id_;
        const std::set<std::uint32_t>& running_;
        std::vector<std::uint32_t>& waits_;
    };

    class Running : public Process {
    public:
        Running(Outcome o, std::vector<std::uint32_t>& waits) : o_(o), waits_(waits) {}
        std::uint32_t Wait(std::uint32_t ms) override {
            waits_.push_back(ms);
            return o_.exitCode ? kEnded : kTimedOut;
        }
        std::optional<std::uint32_t> ExitCode() override { return o_.exitCode.value_or(kStillActive); }

    private:
        Outcome o_;
        std::vector<std::uint32_t>& waits_;
    };
};

}  // namespace platform::fake
