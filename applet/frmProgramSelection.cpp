#include "applet/frmProgramSelection.h"

#include "common/basProduct.h"
#include "common/basSettings.h"

namespace halcfg {

namespace {

const basText::Entry kTexts[] = {
    {.key = "caption",
     .en = "Application Selection",
     .es = "Selección de Applicación",
     .de = "Anwendung Auswahl ",
     .it = "Selezione Di Applicazione",
     .fr = "Sélection D'Application"},
    {.key = "lblDisplayName", .en = "&Display name:", .es = "Nombre:", .de = "Name:", .it = "Nome:", .fr = "Nom d'affichage:"},
    {.key = "lblProgram",
     .en = "&Application:",
     .es = "Aplicación:",
     .de = "Anwendung:",
     .it = "Applicazione:",
     .fr = "Programme:"},
    {.key = "FrameDays",
     .en = "Days application should run",
     .es = "Applicación ejecutas en los dias",
     .de = "Tagesanwendung sollte laufen",
     .it = "Giorni funzionato",
     .fr = "L'application de jours devrait fonctionner"},
    {.key = "FrameHowOften",
     .en = "How often to run",
     .es = "Cuantas veces ejecutas",
     .de = "Wie man häufig läuft",
     .it = "Quando funzionare",
     .fr = "Combien de fois exécuter"},
    {.key = "optHowOften(0)",
     .en = "At each shutdown",
     .es = "En cada shutdown",
     .de = "An jeder Abschaltung",
     .it = "Ad ogni arresto",
     .fr = "À chaque arrêt"},
    {.key = "optHowOften(1)",
     .en = "Only once per day",
     .es = "Solamente una vez por dia",
     .de = "einmal täglich",
     .it = "Una volta al giorno",
     .fr = "Seulement une fois par jour"},
    {.key = "cmdCancel", .en = "Cancel", .es = "Cancelar", .de = "Abbrechen", .it = "Annulla", .fr = "Annulent"},
    {.key = "cmdOK", .en = "OK", .es = "Aceptar", .de = "OK", .it = "OK", .fr = "OK"},
    // Names that would corrupt the settings.
    {.key = "nameWithComma",
     .en = "A display name cannot contain a comma (,).",
     .es = "Un nombre no puede contener una coma (,).",
     .de = "Ein Name darf kein Komma (,) enthalten.",
     .it = "Un nome non può contenere una virgola (,).",
     .fr = "Un nom d'affichage ne peut pas contenir de virgule (,)."},
    {.key = "nameReserved",
     .en = "Halcyra keeps a setting of its own under this name. Please choose another display name.",
     .es = "Halcyra guarda una configuración propia con este nombre. Escoja otro nombre.",
     .de = "Halcyra speichert unter diesem Namen eine eigene Einstellung. Bitte wählen Sie einen anderen Namen.",
     .it = "Halcyra conserva una propria regolazione con questo nome. Scegliere un altro nome.",
     .fr = "Halcyra garde une configuration à lui sous ce nom. Choisissez un autre nom d'affichage."},
    {.key = "nameShared",
     .en = "This name and the name of another program in the list would share settings. Please choose another "
           "display name.",
     .es = "Este nombre y el de otro programa de la lista compartirían configuraciones. Escoja otro nombre.",
     .de = "Dieser Name und der Name eines anderen Programms der Liste würden Einstellungen teilen. Bitte wählen "
           "Sie einen anderen Namen.",
     .it = "Questo nome e quello di un altro programma dell'elenco condividerebbero le regolazioni. Scegliere un "
           "altro nome.",
     .fr = "Ce nom et celui d'un autre programme de la liste partageraient des configurations. Choisissez un autre "
           "nom d'affichage."},
    {.key = "nameListed",
     .en = "Another program in the list already has this name. Please choose another display name.",
     .es = "Otro programa de la lista ya tiene este nombre. Escoja otro nombre.",
     .de = "Ein anderes Programm der Liste hat bereits diesen Namen. Bitte wählen Sie einen anderen Namen.",
     .it = "Un altro programma dell'elenco ha già questo nome. Scegliere un altro nome.",
     .fr = "Un autre programme de la liste porte déjà ce nom. Choisissez un autre nom d'affichage."},
};

constexpr const char* kBrowseTitle = "Select an application to run";

// Blanks at either end do not count as a name or a program.
bool HasText(const std::string& s) { return s.find_first_not_of(' ') != std::string::npos; }

// `utf8` without its last `count` characters; nothing when it has fewer.
std::optional<std::string> DropLastCharacters(const std::string& utf8, size_t count) {
    size_t end = utf8.size();
    for (size_t n = 0; n < count; ++n) {
        if (end == 0) return std::nullopt;
        do --end;
        while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80);
    }
    return utf8.substr(0, end);
}

// Whether two entries keep some of their values under one name: "dow",
// "ro" or "lr" followed by one name is the other, in any letter case as the
// registry compares names.
bool ValuesOverlap(platform::Locale& locale, const std::string& a, const std::string& b) {
    for (const char* prefix : {basSettings::kDowPrefix, basSettings::kRunOncePrefix, basSettings::kLastRunPrefix})
        if (locale.EqualsIgnoreCase(a, prefix + b) || locale.EqualsIgnoreCase(b, prefix + a)) return true;
    return false;
}

}  // namespace

frmProgramSelection::frmProgramSelection(ui::Ui& ui, ui::Form* owner, platform::Platform& sys, AppletState& state)
    : ui_(ui),
      sys_(sys),
      state_(state),
      formPtr_(ui.CreateForm("frmProgramSelection", owner)),
      form(*formPtr_),
      lblDisplayName(form.GetLabel("lblDisplayName")),
      txtDisplayName(form.GetTextBox("txtDisplayName")),
      lblProgram(form.GetLabel("lblProgram")),
      txtProgram(form.GetTextBox("txtProgram")),
      cmdBrowse(form.GetButton("cmdBrowse")),
      FrameDays(form.GetLabel("FrameDays")),
      chkDOW{&form.GetCheckBox("chkDOW(1)"), &form.GetCheckBox("chkDOW(2)"), &form.GetCheckBox("chkDOW(3)"),
             &form.GetCheckBox("chkDOW(4)"), &form.GetCheckBox("chkDOW(5)"), &form.GetCheckBox("chkDOW(6)"),
             &form.GetCheckBox("chkDOW(7)")},
      FrameHowOften(form.GetLabel("FrameHowOften")),
      optHowOften{&form.GetOption("optHowOften(0)"), &form.GetOption("optHowOften(1)")},
      cmdOK(form.GetButton("cmdOK")),
      cmdCancel(form.GetButton("cmdCancel")) {
    // As created: every day, at each shutdown, nothing to accept yet.
    for (ui::CheckBox* box : chkDOW) box->SetValue(1);
    optHowOften[0]->SetValue(true);
    cmdOK.SetEnabled(false);

    form.OnChange("txtDisplayName", [this] { txtText_Change(); });
    form.OnChange("txtProgram", [this] { txtText_Change(); });
    form.OnGotFocus("txtDisplayName", [this] { txtDisplayName.SelectAll(); });
    form.OnGotFocus("txtProgram", [this] { txtProgram.SelectAll(); });
    form.OnClick("cmdBrowse", [this] { cmdBrowse_Click(); });
    form.OnClick("cmdOK", [this] { cmdOK_Click(); });
    form.OnClick("cmdCancel", [this] { cmdCancel_Click(); });
    // The close box cancels too: the programs page must not take what was
    // half typed for an answer.
    form.OnCloseRequest([this] {
        state_.Entry.DisplayName.clear();
        state_.Entry.Program.clear();
        return true;
    });
}

frmProgramSelection::~frmProgramSelection() = default;

std::string frmProgramSelection::Text(const char* key) const {
    return basText::Get(kTexts, key, basText::LanguageOf(state_.CountryCode));
}

void frmProgramSelection::Show() {
    Form_Load();
    form.ShowModal();
}

void frmProgramSelection::Form_Load() {
    for (int d = 1; d <= 7; ++d) chkDOW[static_cast<size_t>(d - 1)]->SetCaption(sys_.system.LongDayName(d - 1));
    form.SetCaption(Text("caption"));
    struct Named {
        const char* key;
        ui::Label& control;
    };
    for (const Named& n : {Named{"lblDisplayName", lblDisplayName}, {"lblProgram", lblProgram},
                           {"FrameDays", FrameDays}, {"FrameHowOften", FrameHowOften},
                           {"optHowOften(0)", *optHowOften[0]}, {"optHowOften(1)", *optHowOften[1]},
                           {"cmdCancel", cmdCancel}, {"cmdOK", cmdOK}})
        n.control.SetCaption(Text(n.key));

    const ProgramEntry& entry = state_.Entry;
    openedName_ = entry.DisplayName;
    if (!entry.DisplayName.empty()) {
        txtDisplayName.SetText(entry.DisplayName);
        txtProgram.SetText(entry.Program);
        for (int d = 1; d <= 7; ++d)
            chkDOW[static_cast<size_t>(d - 1)]->SetValue(
                entry.Days.find(static_cast<char>('0' + d)) != std::string::npos ? 1 : 0);
        optHowOften[entry.OncePerDay ? 1 : 0]->SetValue(true);
        txtText_Change();
    }
    form.CenterOnScreen();
}

void frmProgramSelection::txtText_Change() {
    cmdOK.SetEnabled(HasText(txtDisplayName.Text()) && HasText(txtProgram.Text()));
}

void frmProgramSelection::cmdBrowse_Click() {
    platform::FileChoiceRequest request;
    request.owner = form.Handle();
    request.filters = {{"Programs (*.exe)", "*.exe"},
                       {"Command files (*.cmd)", "*.cmd"},
                       {"Batch files (*.bat)", "*.bat"},
                       {"All files (*.*)", "*.*"}};
    request.filterIndex = 1;
    request.initialFolder = "C:\\";
    request.title = kBrowseTitle;
    request.defaultExtension = "*.*";
    auto chosen = sys_.shell.ChooseFile(request);
    if (!chosen) return;
    // Quoted where it holds a blank: unquoted, Windows would try
    // "C:\Program.exe" for "C:\Program Files\...".
    txtProgram.SetText(chosen->path.find(' ') == std::string::npos ? chosen->path : "\"" + chosen->path + "\"");
    // The file's name without its extension; a name too short for one
    // leaves the display name as it was.
    if (auto name = DropLastCharacters(chosen->title, 4)) txtDisplayName.SetText(*name);
    txtText_Change();
}

void frmProgramSelection::cmdOK_Click() {
    // Enter reaches OK through the dialog manager even while it is disabled.
    if (!cmdOK.Enabled()) return;
    // A name is also a settings value name and an element of a comma list:
    // refuse what would break either, and let the user correct it.
    std::string name = txtDisplayName.Text();
    if (name.find(',') != std::string::npos) {
        ui_.MsgBox(Text("nameWithComma"), basProduct::kAppTitle, ui::kMbExclamation);
        return;
    }
    if (basSettings::IsMainValueName(name)) {
        ui_.MsgBox(Text("nameReserved"), basProduct::kAppTitle, ui::kMbExclamation);
        return;
    }
    // Another row's name in any letter case is that entry's values: taking
    // it would write over them. An entry keeps its own name, whatever rows
    // already share it.
    bool ownName = !openedName_.empty() && sys_.locale.EqualsIgnoreCase(name, openedName_);
    for (const std::string& other : state_.OtherNames) {
        if (!ownName && sys_.locale.EqualsIgnoreCase(name, other)) {
            ui_.MsgBox(Text("nameListed"), basProduct::kAppTitle, ui::kMbExclamation);
            return;
        }
        if (ValuesOverlap(sys_.locale, name, other)) {
            ui_.MsgBox(Text("nameShared"), basProduct::kAppTitle, ui::kMbExclamation);
            return;
        }
    }
    ProgramEntry& entry = state_.Entry;
    entry.DisplayName = name;
    entry.Program = txtProgram.Text();
    entry.Days.clear();
    for (int d = 1; d <= 7; ++d)
        if (chkDOW[static_cast<size_t>(d - 1)]->Value() == 1) entry.Days += static_cast<char>('0' + d);
    entry.OncePerDay = optHowOften[1]->Value();
    form.Close();
}

void frmProgramSelection::cmdCancel_Click() {
    state_.Entry.DisplayName.clear();
    state_.Entry.Program.clear();
    form.Close();
}

}  // namespace halcfg
