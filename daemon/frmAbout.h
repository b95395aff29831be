#pragma once
#include <string>

#include "common/SharedState.h"
#include "platform/platform.h"
#include "ui/controls.h"

namespace halcyrad {

// "Version 3.5 (Build 548)": the major number, the first character of the
// minor one, and the build number, after a prefix in the user's language.
std::string BuildVersionText(std::uint16_t countryCode, unsigned major, unsigned minor, unsigned revision);

// The daemon's About window.
class frmAbout {
public:
    static constexpr const char* kMailAddress = "support@halcyra.example";
    static constexpr const char* kWebAddress = "https://www.halcyra.example/";

    frmAbout(ui::Ui& ui, ui::Form& form, platform::Platform& sys, const common::SharedState& state,
             std::string versionText);

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void lblMailTo_Click();
    void WebLink_Click(int index);
    void StartSysInfo();

    ui::Form& form;
    ui::Label& lblTitle;
    ui::Label& lblVersion;
    ui::Label& lblAuthor;
    ui::Label& lblDescription;
    ui::Label& lblMailTo;
    ui::Label& WebLink0;
    ui::Button& cmdSysInfo;
    ui::Button& cmdOK;
    ui::Picture& picIcon;
    ui::Picture& img16;

private:
    ui::Ui& ui_;
    platform::Platform& sys_;
    const common::SharedState& state_;
    std::string version_;
};

// One registry value as text: REG_SZ as it is, REG_DWORD as "&h" and the
// hexadecimal bytes, last first. False when the key or value cannot be read.
bool GetKeyValue(platform::Registry& reg, platform::RootKey root, const std::string& key, const std::string& name,
                 std::string& out);

}  // namespace halcyrad
