// The program entry editor: what it opens with, when OK may be pressed,
// Browse, and the names it refuses.
#include "support/applet_fixture.h"

#include "applet/frmProgramSelection.h"

using ui::memory::MemoryForm;

namespace {

class ProgramEditor : public testing_support::AppletFixture {
protected:
    // Shows the editor over no owner with `entry` shared; `user` acts.
    void Edit(halcfg::ProgramEntry entry, std::function<void(MemoryForm&)> user) {
        state.Entry = std::move(entry);
        ui.OnModal("frmProgramSelection", [&](MemoryForm& f) {
            editor = &f;
            user(f);
        });
        halcfg::frmProgramSelection dialog(ui, nullptr, plat, state);
        dialog.Show();
    }
    static std::string Days(MemoryForm& f) {
        std::string out;
        for (int d = 1; d <= 7; ++d) out += f.GetCheckBox("chkDOW(" + std::to_string(d) + ")").Value() ? '1' : '0';
        return out;
    }
    MemoryForm* editor = nullptr;
};

TEST_F(ProgramEditor, AddingOpensAsCreatedAndReturnsTheTickedDaysInOrder) {
    sys.dayNames[4] = "Donnerstag";
    Edit({"", "", "27", true}, [](MemoryForm& f) {
        EXPECT_EQ(f.Caption(), "Application Selection");
        EXPECT_EQ(f.GetTextBox("txtDisplayName").Text(), "");
        EXPECT_EQ(Days(f), "1111111");
        EXPECT_EQ(f.GetCheckBox("chkDOW(5)").Caption(), "Donnerstag");
        EXPECT_TRUE(f.GetOption("optHowOften(0)").Value());
        EXPECT_FALSE(f.GetButton("cmdOK").Enabled());
        f.Focus("txtProgram");
        EXPECT_TRUE(static_cast<ui::memory::MemTextBox&>(f.GetTextBox("txtProgram")).allSelected);
        f.Type("txtDisplayName", " Clean up ");
        f.Type("txtProgram", "cleanup.bat");
        for (int d : {1, 2, 4, 7}) f.Click("chkDOW(" + std::to_string(d) + ")");
        f.Click("cmdOK");
        EXPECT_TRUE(f.closed);
    });
    EXPECT_EQ(state.Entry.DisplayName, " Clean up ");  // as typed
    EXPECT_EQ(state.Entry.Program, "cleanup.bat");
    EXPECT_EQ(state.Entry.Days, "356");
    EXPECT_FALSE(state.Entry.OncePerDay);

    Edit({}, [](MemoryForm& f) {
        f.Type("txtDisplayName", "x");
        f.Type("txtProgram", "y");
        for (int d = 1; d <= 7; ++d) f.Click("chkDOW(" + std::to_string(d) + ")");
        f.Click("cmdOK");
    });
    EXPECT_EQ(state.Entry.Days, "");  // no days at all
}

TEST_F(ProgramEditor, EditingShowsTheEntryAndCancelEmptiesTheName) {
    Edit({"Scan", "scan.exe", "531", true}, [](MemoryForm& f) {
        EXPECT_EQ(Days(f), "1010100");
        EXPECT_TRUE(f.GetOption("optHowOften(1)").Value());
        EXPECT_TRUE(f.GetButton("cmdOK").Enabled());
        f.Type("txtDisplayName", "Other");
        f.Click("cmdCancel");
    });
    EXPECT_EQ(state.Entry.DisplayName, "");
    EXPECT_EQ(state.Entry.Program, "");
    EXPECT_EQ(state.Entry.Days, "531");
}

TEST_F(ProgramEditor, OkNeedsANameAndAProgramBeyondBlanks) {
    struct Case {
        const char *name, *program;
        bool enabled;
    } cases[] = {{"", "", false}, {"   ", "a.exe", false}, {"A", "  ", false}, {" A", "a.exe ", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "|" + c.program);
        Edit({}, [&](MemoryForm& f) {
            f.Type("txtDisplayName", c.name);
            f.Type("txtProgram", c.program);
            EXPECT_EQ(f.GetButton("cmdOK").Enabled(), c.enabled);
            f.Click("cmdOK");  // a disabled OK does nothing
            EXPECT_EQ(f.closed, c.enabled);
        });
    }
}

TEST_F(ProgramEditor, BrowseTakesThePathAndTheNameFromTheFileTitle) {
    struct Case {
        const char *path, *title, *name, *program;
    } cases[] = {
        {"C:\\TOOLS\\CLEANUP.BAT", "CLEANUP.BAT", "CLEANUP", "C:\\TOOLS\\CLEANUP.BAT"},
        {"C:\\TOOLS\\README", "README", "RE", "C:\\TOOLS\\README"},    // four characters go, extension or not
        {"C:\\TOOLS\\ab\xC3\xA9", "ab\xC3\xA9", "typed", "C:\\TOOLS\\ab\xC3\xA9"},  // too short: the name stays
        // Quoted, or the runner would take "C:\Program.exe" for it.
        {"C:\\Program Files\\My Tool\\scan.exe", "scan.exe", "scan", "\"C:\\Program Files\\My Tool\\scan.exe\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        shell.chosen = platform::ChosenFile{c.path, c.title};
        Edit({}, [](MemoryForm& f) {
            f.Type("txtDisplayName", "typed");
            f.Click("cmdBrowse");
            f.Click("cmdOK");
        });
        EXPECT_EQ(state.Entry.Program, c.program);
        EXPECT_EQ(state.Entry.DisplayName, c.name);
    }
    const platform::FileChoiceRequest& asked = shell.fileRequests.back();
    EXPECT_EQ(asked.title, "Select an application to run");
    EXPECT_EQ(asked.initialFolder, "C:\\");
    EXPECT_EQ(asked.filterIndex, 1);
    ASSERT_EQ(asked.filters.size(), 4u);
    EXPECT_EQ(asked.filters[0], (std::pair<std::string, std::string>{"Programs (*.exe)", "*.exe"}));
    EXPECT_EQ(asked.filters[3], (std::pair<std::string, std::string>{"All files (*.*)", "*.*"}));

    shell.chosen.reset();  // the user cancels the open-file dialog
    Edit({"Keep", "keep.exe", "1", false}, [](MemoryForm& f) {
        f.Click("cmdBrowse");
        f.Click("cmdOK");
    });
    EXPECT_EQ(state.Entry.Program, "keep.exe");
    EXPECT_EQ(state.Entry.DisplayName, "Keep");
}

TEST_F(ProgramEditor, NamesThatWouldCorruptTheSettingsAreRefusedAndTheDialogStays) {
    struct Case {
        const char* name;
        std::uint16_t language;
        const char* message;
    } cases[] = {
        {"Scan,Defrag", 1033, "A display name cannot contain a comma (,)."},
        {"admin", 1033, "Halcyra keeps a setting of its own under this name. Please choose another display name."},
        {"RUNLIST", 1031, "Halcyra speichert unter diesem Namen eine eigene Einstellung. Bitte wählen Sie einen "
                          "anderen Namen."},
        // "lr" and a listed name: the other entry's last run would be this one's command line.
        {"LRscan", 1033, "This name and the name of another program in the list would share settings. Please "
                         "choose another display name."},
        // Another row's name, in any letter case, is that entry's values.
        {"Scan", 1033, "Another program in the list already has this name. Please choose another display name."},
        {"sCAN", 3082, "Otro programa de la lista ya tiene este nombre. Escoja otro nombre."},
        {"SCAN", 1036, "Un autre programme de la liste porte déjà ce nom. Choisissez un autre nom d'affichage."},
    };
    state.OtherNames = {"Scan"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetWindowsLanguage(c.language);
        state.CountryCode = c.language;
        ui.messageBoxes.clear();
        Edit({}, [&](MemoryForm& f) {
            f.Type("txtDisplayName", c.name);
            f.Type("txtProgram", "x.exe");
            f.Click("cmdOK");
            EXPECT_FALSE(f.closed);
            f.Type("txtDisplayName", "Fine");
            f.Click("cmdOK");
            EXPECT_TRUE(f.closed);
        });
        ASSERT_EQ(ui.messageBoxes.size(), 1u);
        EXPECT_EQ(ui.messageBoxes[0].text, c.message);
        EXPECT_EQ(ui.messageBoxes[0].title, "Halcyra");
        EXPECT_EQ(state.Entry.DisplayName, "Fine");
    }
}

// An entry edited keeps its own name, in any letter case, even where an
// older row shares it; another row's name is refused.
TEST_F(ProgramEditor, EditingKeepsItsOwnNameButTakesNoOtherRowsName) {
    state.OtherNames = {"Backup", "scan"};
    struct Case {
        const char* typed;
        bool accepted;
    } cases[] = {{"Scan", true}, {"SCAN", true}, {"backup", false}, {"Backup2", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ui.messageBoxes.clear();
        Edit({"Scan", "scan.exe", "1", false}, [&](MemoryForm& f) {
            f.Type("txtDisplayName", c.typed);
            f.Click("cmdOK");
            EXPECT_EQ(f.closed, c.accepted);
            if (!f.closed) f.Click("cmdCancel");
        });
        EXPECT_EQ(ui.messageBoxes.size(), c.accepted ? 0u : 1u);
        EXPECT_EQ(state.Entry.DisplayName, c.accepted ? c.typed : "");
    }
}

}  // namespace
