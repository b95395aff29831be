#include "daemon/frmAbout.h"

#include <cstdio>

#include "common/basCountry.h"
#include "common/basRegistry.h"
#include "daemon/basDaemon.h"

namespace halcyrad {

namespace {

const basText::Entry kTexts[] = {
    {.key = "lblVersion", .en = "Version ", .es = "Vercion ", .it = "Versione "},
    {.key = "caption", .en = "About ", .es = "Acerca de ", .de = "Über ", .it = "Circa ", .fr = "Circa "},
    // The other languages keep the template's caption.
    {.key = "cmdSysInfo", .en = nullptr, .es = "Info de sistema"},
    {.key = "lblAuthor",
     .en = "Warning: this computer program is protected by copyright law and international treaties. Unauthorized "
           "reproduction or distribution of this program, or any portion of it, is prohibited.",
     .es = "Advertencia: este programa está protegido por las leyes de derechos de autor y los tratados "
           "internacionales. La reproducción o distribución no autorizada de este programa, o de cualquier parte "
           "de él, está prohibida.",
     .de = "Warnung: Dieses Programm ist durch Urheberrechtsgesetze und internationale Verträge geschützt. "
           "Unbefugte Vervielfältigung oder Verbreitung dieses Programms oder eines Teils davon ist verboten.",
     .it = "Avviso: questo programma è tutelato dalle leggi sul diritto d'autore e dai trattati internazionali. La "
           "riproduzione o la distribuzione non autorizzata di questo programma, o di parte di esso, è vietata.",
     .fr = "Avertissement : ce programme est protégé par les lois sur le droit d'auteur et les traités "
           "internationaux. Toute reproduction ou distribution non autorisée de ce programme, ou d'une partie de "
           "celui-ci, est interdite."},
    {.key = "unavailable",
     .en = "System Information is unavailable at this time.",
     .es = "La información del sistema es inasequible en este tiempo.",
     .de = "Systeminformationen sind diesmal nicht erreichbar.",
     .it = "Le informazioni del sistema sono non disponibili attualmente.",
     .fr = "L 'information de système est indisponible à ce moment."},
};

std::string Text(const char* key, std::uint16_t countryCode) {
    return basText::Get(kTexts, key, basText::LanguageOf(countryCode));
}

}  // namespace

std::string BuildVersionText(std::uint16_t countryCode, unsigned major, unsigned minor, unsigned revision) {
    std::string minorText = std::to_string(minor);
    return Text("lblVersion", countryCode) + std::to_string(major) + "." + minorText.substr(0, 1) + " (Build " +
           std::to_string(revision) + ")";
}

frmAbout::frmAbout(ui::Ui& ui, ui::Form& f, platform::Platform& sys, const common::SharedState& state,
                   std::string versionText)
    : form(f),
      lblTitle(f.GetLabel("lblTitle")),
      lblVersion(f.GetLabel("lblVersion")),
      lblAuthor(f.GetLabel("lblAuthor")),
      lblDescription(f.GetLabel("lblDescription")),
      lblMailTo(f.GetLabel("lblMailTo")),
      WebLink0(f.GetLabel("WebLink0")),
      cmdSysInfo(f.GetButton("cmdSysInfo")),
      cmdOK(f.GetButton("cmdOK")),
      picIcon(f.GetPicture("picIcon")),
      img16(f.GetPicture("img16")),
      ui_(ui),
      sys_(sys),
      state_(state),
      version_(std::move(versionText)) {
    form.OnClick("cmdOK", [this] { cmdOK_Click(); });
    form.OnClick("cmdSysInfo", [this] { cmdSysInfo_Click(); });
    form.OnClick("lblMailTo", [this] { lblMailTo_Click(); });
    form.OnClick("WebLink0", [this] { WebLink_Click(0); });
}

void frmAbout::Form_Load() {
    std::uint16_t code = state_.CountryCode;
    form.SetCaption(Text("caption", code) + basDaemon::kAppTitle);
    if (auto own = basText::Own(kTexts, "cmdSysInfo", basText::LanguageOf(code))) cmdSysInfo.SetCaption(*own);
    lblAuthor.SetCaption(Text("lblAuthor", code));
    lblTitle.SetCaption(basDaemon::kAppTitle);
    lblVersion.SetCaption(version_);
    lblDescription.SetCaption("Runs your maintenance programs and stops services before Windows ends a session.");
    lblMailTo.SetCaption(kMailAddress);
    WebLink0.SetCaption(kWebAddress);
    form.CenterOnScreen();
    // A 16-colour display gets the 16-colour picture.
    if (sys_.system.DisplayBitsPerPixel() == 4) picIcon.SetIconHandle(img16.IconHandle());
}

void frmAbout::cmdOK_Click() { form.Close(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::lblMailTo_Click() { sys_.shell.Open(std::string("mailto:") + kMailAddress); }

void frmAbout::WebLink_Click(int index) {
    if (index == 0) sys_.shell.Open(WebLink0.Caption());
}

bool GetKeyValue(platform::Registry& reg, platform::RootKey root, const std::string& key, const std::string& name,
                 std::string& out) {
    auto v = reg.QueryValue(reg.OpenKey(root, key), name);
    if (!v) return false;
    if (v->type == platform::kRegSz) {
        out = basRegistry::StripTerminator(v->data);
    } else if (v->type == platform::kRegDword) {
        out = "&h";
        for (auto it = v->data.rbegin(); it != v->data.rend(); ++it) {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned char>(*it));
            out += buf;
        }
    }
    return true;
}

void frmAbout::StartSysInfo() {
    // The tool registers itself for the machine; older set-ups wrote the
    // same keys for the user.
    for (platform::RootKey root : {platform::RootKey::LocalMachine, state_.SettingsRoot}) {
        std::string path;
        if (GetKeyValue(sys_.registry, root, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", path) &&
            !path.empty()) {
            if (sys_.processes.Start("\"" + path + "\"")) return;
        }
        std::string folder;
        if (GetKeyValue(sys_.registry, root, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", folder)) {
            std::string exe = folder + "\\MSINFO32.EXE";
            if (basDaemon::FileExists(sys_.system, exe) && sys_.processes.Start("\"" + exe + "\"")) return;
        }
    }
    ui_.MsgBox(Text("unavailable", state_.CountryCode), basDaemon::kAppTitle, ui::kMbInformation);
}

}  // namespace halcyrad
