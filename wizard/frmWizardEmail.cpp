#include "wizard/frmWizardEmail.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <optional>
#include <utility>

#include "common/basRegistry.h"
#include "common/basSettings.h"
#include "common/basText.h"

namespace wizard {

namespace {

namespace S = basSettings;
namespace U = basUtilityWizard;

constexpr const char* kTempName = "Delete temporary files";
constexpr const char* kCacheName = "Delete temporary Internet files";
constexpr const char* kFinish = "&Finish";
constexpr const char* kNext = "&Next >";

// The controls of each page; showing a page hides the others'.
const std::initializer_list<const char*> kPageControls[frmWizardEmail::kPages] = {
    {"Frame1(0)", "lblSetup", "Label2(0)", "Label2(1)", "lblClickNext(0)"},
    {"Frame1(1)", "lblUtilities", "lblUtilitiesExplanation", "lstUtilities", "lblClickNext(1)"},
    {"Frame1(2)", "Label1(0)", "Label2(12)", "lstDrivesScan", "lblClickNext(2)"},
    {"Frame1(3)", "lblDefragment", "lblDefragmentExplanation", "lstDrivesDefrag", "lblClickNext(3)"},
    {"Frame1(4)", "Label1(1)", "lblAntivirusExplanation", "lstDrivesAntiVirus", "lblClickNext(4)"},
    {"Frame1(5)", "lblFinished", "lblFinishedExplanation", "lblKeptEntries", "lblSaveSettings"},
};

// The page headings, the utilities' names and the Finish and Next captions
// set while moving between pages stay English in every language.
const basText::Entry kTexts[] = {
    {.key = "caption",
     .en = "Halcyra Configuration Wizard",
     .es = "Halcyra Configuración Mágico",
     .de = "Halcyra Konfiguration Wizard",
     .it = "Wizard Di Configurazione Di Halcyra",
     .fr = "Magicien De Configuration De Halcyra"},
    {.key = "lblSetup",
     .en = "Setup utilities",
     .es = "Utilidades Setup",
     .de = "Installation Hilfsprogramme",
     .it = "Programmi di utilità di messa a punto",
     .fr = "Utilitaires d'installation"},
    {.key = "Label2(0)",
     .en = "Welcome to the Halcyra Configuration Wizard, the easy way to setup default utilities your system already has to use!",
     .es = "Bienvenidos a Halcyra Configuración Mágico, la nanera fácil que uno puede disponer utilidades deficiencias que se sistema tienes a usar!",
     .de = "Willkommen zum Halcyra-Konfiguration Wizard, die einfache Weise, Rückstellung Hilfsprogramme zu gründen, die Ihr System bereits verwenden muß!",
     .it = "Benvenuto al wizard di configurazione di Halcyra, il modo facile installare i programmi di utilità che di difetto il vostro sistema già deve usare!",
     .fr = "Bienvenue au magicien de configuration de Halcyra, la voie facile d'installer des utilitaires de défaut que votre système déjà doit utiliser!"},
    {.key = "Label2(1)",
     .en = "Common utilities that come with Windows are ScanDisk and Defragmenter.  You may also have third party virus scanners.  This wizard will now determine which are in your system.",
     .es = "Utilidades general que vienes con Windows son ScanDisk y Defragmenter.  Usted puedes tener otro virus scanners.  Este mágico ahora puede desculrir cuales estan en su sistema.",
     .de = "Allgemeine Hilfsprogramme, die mit Windows kommen, sind ScanDisk und Defragmenter. Sie können Virusscanner des dritten Beteiligten auch haben. Dieser Wizard stellt jetzt fest, welche in Ihrem System sind.",
     .it = "I programmi di utilità comuni che vengono con i Window sono ScanDisk e Defragmenter. Potete anche avere dispositivi d'esplorazione del virus dei terzi. Questo wizard ora determinerà quale sono nel vostro sistema.",
     .fr = "Les utilitaires communs qui viennent avec des Windows sont ScanDisk et Defragmenter. Vous pouvez également avoir des modules de balayage de virus de tiers. Ce magicien déterminera maintenant ce qui sont dans votre système."},
    {.key = "cmdNext",
     .en = "&Next >",
     .es = "Próximo >",
     .de = "Zunächst >",
     .it = "Avanti >",
     .fr = "Ensuite >"},
    {.key = "cmdCancel",
     .en = "Cancel",
     .es = "Cancele",
     .de = "Beenden",
     .it = "Annulla",
     .fr = "Annulent"},
    {.key = "cmdBack",
     .en = "< &Back",
     .es = "< Anterior",
     .de = "< Rückwärts",
     .it = "< Indietro",
     .fr = "< Dos"},
    {.key = "lblClickNext",
     .en = "Click Next to continue.",
     .es = "Apunte próximo para continuar",
     .de = "Klicken nahe bei fährt fort. ",
     .it = "Lo scatto vicino a continua.",
     .fr = "Le déclic à côté de continuent."},
    {.key = "lblUtilities",
     .en = "Utilities",
     .es = "Utilidades",
     .de = "Hilfsprogramme",
     .it = "Programmi di utilità",
     .fr = "Utilitaires"},
    {.key = "lblUtilitiesExplanation",
     .en = "The wizard found the following utilities!  If you would like to run these before Windows closes, place a checkmark in front of the utility.",
     .es = "El mágico encontro los siguiente utilidades.  Si ud quieres que se encuentres los utilidades antes que Windows cierres, pongas una flecha delante de la utilidad.",
     .de = "Der Wizard fand die folgenden Hilfsprogramme! Wenn Sie diese laufen lassen möchten, bevor Windows schließt, plazieren Sie ein Prüfzeichen vor dem Hilfsprogramm.",
     .it = "Il wizard ha trovato i seguenti programmi di utilità! Se voleste fare funzionare questi prima che i Window si chiuda, disporre un segno convenzionale davanti il programma di utilità.",
     .fr = "Le magicien a trouvé les utilitaires suivants! Si vous voudriez exécuter ces derniers avant que les Windows se ferme, placez un trait de repère devant l'utilitaire."},
    {.key = "lblDefragmentExplanation",
     .en = "Select which drive letters you would like to defragment.",
     .es = "Escoga el drive que quieros para defragment.",
     .de = "Wählen Sie aus, die Zeichen antreiben, die, Sie zum defragment möchten.",
     .it = "Selezionare che guidano le lettere che gradireste al defragment.",
     .fr = "Choisissez qui pilotent des lettres que vous voudriez au defragment."},
    {.key = "Label2(12)",
     .en = "Select which drive letters you would like to scan.",
     .es = "escoga la letras del drive que uno quieres a examinar",
     .de = "Wählen Sie aus, die Zeichen antreiben, die, Sie absuchen möchten.",
     .it = "Selezionare che guidano le lettere che vorreste esplorare.",
     .fr = "Choisissez qui pilotent des lettres que vous voudriez balayer."},
    {.key = "lblAntivirusExplanation",
     .en = "Select which drive letters you would like to scan.",
     .es = "escoga la letras del drive que uno quieres a examinar",
     .de = "Wählen Sie aus, die Zeichen antreiben, die, Sie absuchen möchten. ",
     .it = "Selezionare che guidano le lettere che vorreste esplorare."},
    {.key = "lblFinished",
     .en = "Finished!",
     .es = "Acabado!",
     .de = "Beendet!",
     .it = "Rifinito!",
     .fr = "Terminé!"},
    {.key = "lblFinishedExplanation",
     .en = "You can review the settings you've made from within Halcyra.",
     .es = "Ud puede revisar los puestos que tienes dentro Halcyra.",
     .de = "Sie können die Einstellungen wiederholen, die Sie von innerhalb Halcyra gebildet haben.",
     .it = "Potete rivedere le regolazioni che avete fatto da parte di Halcyra."},
    {.key = "lblKeptEntries",
     .en = "Programs already in your list keep their settings; only new ones are added.",
     .es = "Los programas que ya están en su lista guardan su configuración; solo se añaden los nuevos.",
     .de = "Programme, die schon in Ihrer Liste stehen, behalten ihre Einstellungen; nur neue werden hinzugefügt.",
     .it = "I programmi già presenti nell'elenco mantengono le loro regolazioni; si aggiungono solo quelli nuovi.",
     .fr = "Les programmes déjà dans votre liste gardent leurs réglages ; seuls les nouveaux sont ajoutés."},
    {.key = "lblSaveSettings",
     .en = "To save all of the settings, click Finish.",
     .es = "Para guardar todos los puestros click Acabado.",
     .de = "Alle Einstellungen sichern, Klickenende Beendet.",
     .it = "Per salvare tutte le regolazioni, rivestimento di scatto.",
     .fr = "Pour sauvegarder toutes les configurations, finition de déclic."},
};

// The labels each text of the table goes to.
struct TextTarget {
    const char* key;
    std::initializer_list<const char*> labels;
};
const TextTarget kTextTargets[] = {
    {"lblSetup", {"lblSetup"}},
    {"Label2(0)", {"Label2(0)"}},
    {"Label2(1)", {"Label2(1)"}},
    {"cmdNext", {"cmdNext"}},
    {"cmdCancel", {"cmdCancel"}},
    {"cmdBack", {"cmdBack"}},
    {"lblClickNext", {"lblClickNext(0)", "lblClickNext(1)", "lblClickNext(2)", "lblClickNext(3)", "lblClickNext(4)"}},
    {"lblUtilities", {"lblUtilities"}},
    {"lblUtilitiesExplanation", {"lblUtilitiesExplanation"}},
    {"lblDefragmentExplanation", {"lblDefragmentExplanation"}},
    {"Label2(12)", {"Label2(12)"}},
    {"lblAntivirusExplanation", {"lblAntivirusExplanation"}},
    {"lblFinished", {"lblFinished"}},
    {"lblFinishedExplanation", {"lblFinishedExplanation"}},
    {"lblKeptEntries", {"lblKeptEntries"}},
    {"lblSaveSettings", {"lblSaveSettings"}},
};

bool StartsWithNoCase(const std::string& text, size_t at, const std::string& prefix) {
    if (text.size() < at + prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        auto a = static_cast<unsigned char>(text[at + i]), b = static_cast<unsigned char>(prefix[i]);
        if (a < 0x80 && b < 0x80 ? std::tolower(a) != std::tolower(b) : a != b) return false;
    }
    return true;
}

bool ContainsNoCase(const std::string& text, const std::string& part) {
    for (size_t i = 0; i + part.size() <= text.size(); ++i)
        if (StartsWithNoCase(text, i, part)) return true;
    return false;
}

// The first entry that begins with `text`, letter case ignored, as a list
// box's own search finds it; -1 when none.
int FindEntry(const ui::ListBox& list, const std::string& text) {
    for (int i = 0; i < list.ListCount(); ++i)
        if (StartsWithNoCase(list.List(i), 0, text)) return i;
    return -1;
}

std::string QuoteIfBlank(const std::string& path) {
    return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

// The folder a deleting command may name: without its trailing "\", never a
// root ("C:", "\\server\share", "\"), never relative. Quoted, "&", "^", "("
// and ")" are letters to the command interpreter, but it still expands "%"
// (and "!" where delayed expansion is on), and a quote would end the
// quoting: such a folder is refused, as is one with a "." or ".." part.
std::optional<std::string> DeletableFolder(std::string folder) {
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    if (folder.find_first_of("\"%!") != std::string::npos) return std::nullopt;
    // The parts below a drive ("C:\"), or a share's from its server on.
    std::string below;
    size_t atLeast;
    if (folder.size() >= 3 && std::isalpha(static_cast<unsigned char>(folder[0])) && folder[1] == ':' &&
        folder[2] == '\\')
        below = folder.substr(3), atLeast = 1;
    else if (folder.rfind("\\\\", 0) == 0)
        below = folder.substr(2), atLeast = 3;  // server, share and a folder in it
    else
        return std::nullopt;
    size_t parts = 0;
    for (size_t at = 0; at <= below.size(); ++parts) {
        size_t next = std::min(below.find('\\', at), below.size());
        std::string part = below.substr(at, next - at);
        if (part.empty() || part == "." || part == "..") return std::nullopt;
        at = next + 1;
    }
    if (parts < atLeast) return std::nullopt;
    return folder;
}

// The wizard's names are ASCII; the registry matches their letters in any case.
bool SameNameNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && StartsWithNoCase(a, 0, b);
}

// A command whose program path holds a blank lets Windows try each shorter
// prefix first ("C:\Program.exe" for "C:\Program Files\..."), and a file
// planted there would run instead. The program (the whole path when it
// names a file, else up to its ".exe" when arguments follow) is quoted.
std::string QuoteProgram(platform::System& sys, const std::string& command) {
    if (command.empty() || command[0] == '"') return command;
    if (U::FileExists(sys, command)) return QuoteIfBlank(command);
    size_t end = command.size();
    for (size_t i = 0; i + 4 <= command.size(); ++i) {
        if (StartsWithNoCase(command, i, ".exe") && (i + 4 == command.size() || command[i + 4] == ' ')) {
            end = i + 4;
            break;
        }
    }
    return QuoteIfBlank(command.substr(0, end)) + command.substr(end);
}

}  // namespace

frmWizardEmail::frmWizardEmail(ui::Ui& ui, ui::Form* owner, const U::WizardContext& ctx, WizardRunList& runList)
    : ui_(ui),
      ctx_(ctx),
      runList_(runList),
      formPtr_(ui.CreateForm("frmWizardEmail", owner)),
      form_(*formPtr_),
      cmdBack(form_.GetButton("cmdBack")),
      cmdNext(form_.GetButton("cmdNext")),
      cmdCancel(form_.GetButton("cmdCancel")),
      imgMain(form_.GetPicture("imgMain")),
      imgFinished(form_.GetPicture("imgFinished")),
      imgProcess(form_.GetPicture("imgProcess")),
      lstUtilities(form_.GetListBox("lstUtilities")),
      lstDrivesScan(form_.GetListBox("lstDrivesScan")),
      lstDrivesDefrag(form_.GetListBox("lstDrivesDefrag")),
      lstDrivesAntiVirus(form_.GetListBox("lstDrivesAntiVirus")) {
    form_.OnClick("cmdNext", [this] { cmdNext_Click(); });
    form_.OnClick("cmdBack", [this] { cmdBack_Click(); });
    form_.OnClick("cmdCancel", [this] { cmdCancel_Click(); });
}

bool frmWizardEmail::Show(bool ownButton) {
    Form_Load();
    if (ownButton) form_.ShowInTaskbar();
    form_.ShowModal();
    return finished_;
}

void frmWizardEmail::Form_Load() {
    cmdBack.SetEnabled(false);
    CurrentPage = 0;
    lstDrivesDefrag.Clear();
    lstDrivesScan.Clear();
    lstUtilities.Clear();
    lstDrivesAntiVirus.Clear();
    FillDriveLists();
    const std::pair<const char*, std::string> utilities[] = {
        {U::kScanName, U::FindScanDisk(ctx_)},
        {U::kDefragName, U::FindRunnableDefragmenter(ctx_)},
        {U::kVirusName, U::FindVirusScanner(ctx_)},
        {U::kBackupName, U::FindBackup(ctx_)},
    };
    for (const auto& [name, path] : utilities) {
        if (path.empty()) continue;
        lstUtilities.AddItem(name);
        lstUtilities.SetSelected(lstUtilities.ListCount() - 1, true);
    }
    // A little above the centre of the screen.
    form_.MoveTwips((ui_.ScreenWidthTwips() - form_.WidthTwips()) / 2,
                    static_cast<int>((ui_.ScreenHeightTwips() - form_.HeightTwips()) * 0.85 / 2));
    SetTexts();
    ShowPage(0);
}

void frmWizardEmail::SetTexts() {
    basText::Language language = basText::LanguageOf(ctx_.countryCode);
    form_.SetCaption(basText::Get(kTexts, "caption", language));
    for (const TextTarget& target : kTextTargets) {
        std::string text = basText::Get(kTexts, target.key, language);
        for (const char* name : target.labels) form_.GetLabel(name).SetCaption(text);
    }
}

void frmWizardEmail::FillDriveLists() {
    for (std::string root : ctx_.system.LogicalDriveRoots()) {
        for (char& c : root)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (root == "A:\\" || root == "B:\\") continue;
        platform::DriveKind kind = ctx_.system.KindOfDrive(root);
        if (kind != platform::DriveKind::Fixed && kind != platform::DriveKind::Removable) continue;
        for (ui::ListBox* list : {&lstDrivesDefrag, &lstDrivesScan, &lstDrivesAntiVirus}) {
            list->AddItem(root);
            list->SetSelected(list->ListCount() - 1, true);
        }
    }
}

void frmWizardEmail::ShowPage(int page) {
    // A page holds labels and at most one list, named "lst...".
    auto control = [this](const std::string& name) -> ui::Control& {
        if (name.rfind("lst", 0) == 0) return form_.GetListBox(name);
        return form_.GetLabel(name);
    };
    for (int p = 0; p < kPages; ++p)
        if (p != page)
            for (const char* name : kPageControls[p]) control(name).SetVisible(false);
    for (const char* name : kPageControls[page]) control(name).SetVisible(true);
}

void frmWizardEmail::cmdNext_Click() {
    if (cmdNext.Caption() == kFinish) return Finish();
    cmdBack.SetEnabled(true);
    if (CurrentPage == 1) {
        for (auto [name, flag] : {std::pair{U::kScanName, &DoScan}, std::pair{U::kDefragName, &DoDefrag},
                                  std::pair{U::kVirusName, &DoVirusScan}}) {
            int index = FindEntry(lstUtilities, name);
            if (index >= 0) *flag = lstUtilities.Selected(index);
        }
    }
    switch (CurrentPage) {
        case 0: CurrentPage = 1; break;
        case 1: CurrentPage = DoScan ? 2 : DoDefrag ? 3 : DoVirusScan ? 4 : 5; break;
        case 2: CurrentPage = DoDefrag ? 3 : DoVirusScan ? 4 : 5; break;
        case 3: CurrentPage = DoVirusScan ? 4 : 5; break;
        default: CurrentPage = 5; break;
    }
    ShowPage(CurrentPage);
    if (CurrentPage == 5) {
        cmdNext.SetCaption(kFinish);
        imgMain.SetIconHandle(imgFinished.IconHandle());
    }
}

void frmWizardEmail::cmdBack_Click() {
    switch (CurrentPage) {
        case 5: CurrentPage = DoVirusScan ? 4 : DoDefrag ? 3 : DoScan ? 2 : 1; break;
        case 4: CurrentPage = DoDefrag ? 3 : DoScan ? 2 : 1; break;
        case 3: CurrentPage = DoScan ? 2 : 1; break;
        case 2: CurrentPage = 1; break;
        default:
            CurrentPage = 0;
            cmdBack.SetEnabled(false);
            break;
    }
    if (cmdNext.Caption() == kFinish) {
        cmdNext.SetCaption(kNext);
        imgMain.SetIconHandle(imgProcess.IconHandle());
    }
    ShowPage(CurrentPage);
}

void frmWizardEmail::cmdCancel_Click() { form_.Close(); }

bool frmWizardEmail::FindRunListEntry(int startRow, const std::string& name) const {
    for (int row = startRow; row < runList_.RowCount(); ++row)
        if (SameNameNoCase(runList_.RowText(row), name)) return true;
    return false;
}

void frmWizardEmail::AddRow(const std::string& name) {
    if (FindRunListEntry(0, name)) return;
    runList_.TickRow(runList_.AppendRow(name));
}

void frmWizardEmail::WriteValue(const std::string& name, const std::string& value) const {
    basRegistry::SaveString(ctx_.registry, ctx_.settingsRoot, S::kSettingsKey, name, value);
}

// The command and the every-day schedule of an entry.
void frmWizardEmail::WriteEntry(const std::string& name, const std::string& command) const {
    WriteValue(name, command);
    WriteValue(S::DowName(name), S::kAllDays);
}

std::string frmWizardEmail::DriveText(ui::ListBox& list) const {
    std::string text;
    for (int i = 0; i < list.ListCount(); ++i)
        if (list.Selected(i)) text += list.List(i).substr(0, 2) + " ";
    return text;
}

std::string frmWizardEmail::InternetCacheFolder() const {
    std::string folder = ctx_.system.ShellFolder(platform::ShellFolderId::InternetCache);
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

std::string frmWizardEmail::DefragCommand(const std::string& program) const {
    std::string drives = DriveText(lstDrivesDefrag), quoted = QuoteProgram(ctx_.system, program);
    if (ctx_.winPlatform == 1) return quoted + " " + drives + " /all /f /noprompt";
    if (ctx_.winPlatform != 2) return {};
    if (ContainsNoCase(program, "sd32.exe")) return quoted + " " + drives + " /both /auto";
    // The system's defrag.exe: a volume or several, as Windows 7 and later
    // take them; XP and Vista take one a run, so several are chained.
    std::vector<std::string> volumes;
    for (int i = 0; i < lstDrivesDefrag.ListCount(); ++i)
        if (lstDrivesDefrag.Selected(i)) volumes.push_back(lstDrivesDefrag.List(i).substr(0, 2));
    if (volumes.empty()) return {};
    platform::OsVersion v = ctx_.system.Version();
    bool severalAtOnce = v.major > 6 || (v.major == 6 && v.minor >= 1);
    if (severalAtOnce || volumes.size() == 1) {
        std::string command = quoted;
        for (const std::string& volume : volumes) command += " " + volume;
        return command;
    }
    std::string shell = U::SystemFolder(ctx_.system) + "cmd.exe";
    if (program.find_first_of("\"%") != std::string::npos || shell.find_first_of("\"%") != std::string::npos ||
        !U::FileExists(ctx_.system, shell))
        return {};
    // The interpreter drops the outer quotes of "/c "..."". The chain stops
    // at the first failure, whose code the log then shows.
    std::string chain;
    for (const std::string& volume : volumes) chain += (chain.empty() ? "" : " && ") + ("\"" + program + "\" " + volume);
    return "\"" + shell + "\" /c \"" + chain + "\"";
}

void frmWizardEmail::Finish() {
    platform::System& sys = ctx_.system;
    bool win9x = ctx_.winPlatform == 1, nt = ctx_.winPlatform == 2;
    WriteValue(S::RanQuickStart.name, S::FromBool(true));

    // The deleting commands quote what they delete, always: unquoted, a
    // folder with blanks falls apart into several names, and "&", "^", "("
    // and ")" split the command, each part deleting without a question. A
    // folder that cannot be named safely gets no entry.
    std::string shell = win9x ? QuoteIfBlank(U::WindowsFolder(sys) + "command.com")
                        : nt  ? QuoteIfBlank(U::SystemFolder(sys) + "cmd.exe")
                              : std::string();
    struct Cleanup {
        const char* name;
        std::string folder, pattern, tail;
    } cleanups[] = {{kTempName, sys.TempDirectory(), "*.tmp", ""}, {kCacheName, InternetCacheFolder(), "*.*", " /q"}};
    for (const Cleanup& c : cleanups) {
        auto folder = DeletableFolder(c.folder);
        if (shell.empty() || !folder || FindRunListEntry(0, c.name)) continue;
        WriteEntry(c.name, shell + " /c del \"" + *folder + "\\" + c.pattern + "\"" + c.tail);
        AddRow(c.name);
    }

    // Found again: the machine may have changed while the wizard was open.
    std::string defrag = U::FindRunnableDefragmenter(ctx_);
    std::string scan = QuoteProgram(sys, U::FindScanDisk(ctx_));
    std::string virus = QuoteProgram(sys, U::FindVirusScanner(ctx_));
    std::string backup = QuoteProgram(sys, U::FindBackup(ctx_));
    // A utility no longer found has no program to write, and one already
    // listed keeps the command and days its user may have given it: neither
    // is written nor added.
    auto wanted = [this](const char* name, const std::string& program) {
        int index = FindEntry(lstUtilities, name);
        return index >= 0 && lstUtilities.Selected(index) && !program.empty() && !FindRunListEntry(0, name);
    };

    if (wanted(U::kScanName, scan) && win9x) {
        WriteEntry(U::kScanName, scan + " " + DriveText(lstDrivesScan) + " /silent /n");
        AddRow(U::kScanName);
    }
    if (wanted(U::kDefragName, defrag)) {
        // Without a command that runs, no row: it would fail at every shutdown.
        std::string command = DefragCommand(defrag);
        if (!command.empty()) {
            WriteEntry(U::kDefragName, command);
            AddRow(U::kDefragName);
        }
    }
    if (wanted(U::kVirusName, virus)) {
        std::string command = virus + " " + DriveText(lstDrivesAntiVirus);
        if ((win9x && ContainsNoCase(virus, "VirusScan")) || (nt && ContainsNoCase(virus, "NetShield")))
            command += "/autoscan /nosplash";
        WriteEntry(U::kVirusName, command);
        AddRow(U::kVirusName);
    }
    if (wanted(U::kBackupName, backup) && win9x) {
        WriteEntry(U::kBackupName, backup);
        AddRow(U::kBackupName);
    }
    finished_ = true;
    form_.Close();
}

}  // namespace wizard
