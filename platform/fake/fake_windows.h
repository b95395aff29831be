#pragma once
#include <map>
#include <vector>

#include "platform/windows.h"

namespace platform::fake {

class FakeWindowManager : public WindowManager {
public:
    // Windows that exist, by "class|title".
    std::map<std::string, Handle> windows;
    std::vector<Handle> closePosted;

    Handle Find(const std::string& className, const std::string& title) override {
        for (auto& [key, h] : windows) {
            auto bar = key.find('|');
            std::string c = key.substr(0, bar), t = key.substr(bar + 1);
            if ((className.empty() || className == c) && (title.empty() || title == t)) return h;
        }
        return 0;
    }
    bool PostClose(Handle window) override {
        if (!window) return false;
        closePosted.push_back(window);
        return true;
    }
};

}  // namespace platform::fake
