// The settings dialog's programs and services pages: loading, editing and
// saving the run list and the stop list, and the dependency warning.
#include "support/applet_fixture.h"

using testing_support::AppletFixture;
using ui::memory::MemListView;
using ui::memory::MemoryForm;
using Names = std::vector<std::string>;

namespace {

namespace svc = platform::svc;

Names Rows(ui::ListView& list, int column = 0) {
    Names out;
    for (int r = 0; r < list.RowCount(); ++r) out.push_back(list.GetItemText(r, column));
    return out;
}

std::vector<int> Checked(ui::ListView& list) {
    std::vector<int> out;
    for (int r = 0; r < list.RowCount(); ++r)
        if (list.IsItemChecked(r)) out.push_back(r);
    return out;
}

class ProgramsPage : public AppletFixture {
protected:
    // The entry editor answers with these, or is cancelled when the name is empty.
    void EditorAnswers(const std::string& name, const std::string& program, const Names& untickDays = {},
                       bool oncePerDay = false) {
        ui.OnModal("frmProgramSelection", [=, this](MemoryForm& f) {
            shownName = f.GetTextBox("txtDisplayName").Text();
            if (name.empty()) return f.Click("cmdCancel");
            f.Type("txtDisplayName", name);
            f.Type("txtProgram", program);
            for (const auto& d : untickDays) f.Click("chkDOW(" + d + ")");
            if (oncePerDay) f.Click("optHowOften(1)");
            f.Click("cmdOK");
        });
    }
    std::string shownName;
};

TEST_F(ProgramsPage, LoadShowsTheDayLettersInSundayOrderAndChecksTheSelectedRows) {
    Put("RunList", "Odd,Once,Weekdays,Plain,");
    Put("dowOdd", "7531");
    Put("dowOnce", "");
    Put("roOnce", "True");
    Put("dowWeekdays", "23456");
    Put("roWeekdays", "True");
    Put("SelectedList", "0,2,9,");
    Open();
    auto& run = form->GetListView("lsvRun");
    EXPECT_EQ(Rows(run), (Names{"Odd", "Once", "Weekdays", "Plain"}));
    EXPECT_EQ(Rows(run, 1), (Names{"STHS", "(1)", "MTWHF(1)", "SMTWHFS"}));
    EXPECT_EQ(Checked(run), (std::vector<int>{0, 2}));
}

TEST_F(ProgramsPage, AddAppendsChecksSelectsAndStoresTheEntryAtOnce) {
    Put("RunList", "Backup,");
    Put("Backup", "C:\\mine\\backup.exe");
    Open([this](MemoryForm& f) {
        // A listed name in other letters is refused: its values stay.
        EditorAnswers("BACKUP", "C:\\bin\\copy.exe");
        f.Click("cmdAdd");
        EditorAnswers("Copy", "C:\\bin\\copy.exe", {"1", "7"}, true);
        f.Click("cmdAdd");
        EXPECT_EQ(shownName, "");  // adding starts empty
        f.Click("cmdCancel");      // the values stay, the list is not saved
    });
    auto& run = form->GetListView("lsvRun");
    EXPECT_EQ(Rows(run), (Names{"Backup", "Copy"}));
    EXPECT_EQ(run.GetItemText(1, 1), "MTWHF(1)");
    EXPECT_EQ(Checked(run), (std::vector<int>{1}));
    EXPECT_EQ(run.SelectedRow(), 1);
    EXPECT_TRUE(form->GetButton("cmdApply").Enabled());
    EXPECT_EQ(static_cast<MemListView&>(run).autoSize, MemListView::AutoSize::ContentsAndHeaders);
    EXPECT_EQ(Stored("Backup"), "C:\\mine\\backup.exe");
    EXPECT_EQ(Stored("dowBackup"), "<missing>");
    EXPECT_EQ(Stored("Copy"), "C:\\bin\\copy.exe");
    EXPECT_EQ(Stored("dowCopy"), "23456");
    EXPECT_EQ(Stored("roCopy"), "True");
    EXPECT_EQ(Stored("RunList"), "Backup,");
}

TEST_F(ProgramsPage, EditRenamesDeletingOnlyTheOldCommandLineAndKeepsTheCheck) {
    Put("RunList", "First,Old,");
    Put("SelectedList", "1,");
    Put("Old", "old.exe");
    Put("dowOld", "135");
    Put("roOld", "True");
    EditorAnswers("New", "new.exe");
    Open([this](MemoryForm& f) {
        f.GetListView("lsvRun").SelectItem(1);
        f.DblClick("lsvRun");
        EXPECT_EQ(shownName, "Old");
        f.Click("cmdOK");
    });
    auto& run = form->GetListView("lsvRun");
    EXPECT_EQ(Rows(run), (Names{"First", "New"}));
    EXPECT_EQ(run.GetItemText(1, 1), "STH(1)");  // the editor kept the days it was given
    EXPECT_EQ(Checked(run), (std::vector<int>{1}));
    EXPECT_EQ(Stored("Old"), "<missing>");
    EXPECT_EQ(Stored("dowOld"), "135");
    EXPECT_EQ(Stored("roOld"), "True");
    EXPECT_EQ(Stored("New"), "new.exe");
    EXPECT_EQ(Stored("dowNew"), "135");
    EXPECT_EQ(Stored("RunList"), "First,New,");
    EXPECT_EQ(Stored("SelectedList"), "1,");

    // Cancelled in the editor: nothing changes.
    EditorAnswers("", "");
    Open([](MemoryForm& f) {
        f.GetListView("lsvRun").SelectItem(0);
        f.Click("cmdEdit");
    });
    EXPECT_EQ(Rows(form->GetListView("lsvRun")), (Names{"First", "New"}));
    EXPECT_EQ(Stored("First"), "<missing>");
    EXPECT_FALSE(form->GetButton("cmdApply").Enabled());
}

TEST_F(ProgramsPage, EditRefusesANameMixingWithAnotherRowAndKeepsACommandLineStillListed) {
    Put("RunList", "Tool,tool,");
    Put("Tool", "tool.exe");
    bool refused = false;
    ui.OnModal("frmProgramSelection", [&refused](MemoryForm& f) {
        f.Type("txtDisplayName", "dowTool");  // the other row's days
        f.Click("cmdOK");
        refused = !f.closed;
        f.Type("txtDisplayName", "Renamed");
        f.Click("cmdOK");
    });
    Open([](MemoryForm& f) {
        f.GetListView("lsvRun").SelectItem(0);
        f.Click("cmdEdit");
    });
    EXPECT_TRUE(refused);
    EXPECT_EQ(Rows(form->GetListView("lsvRun")), (Names{"Renamed", "tool"}));
    EXPECT_EQ(Stored("Renamed"), "tool.exe");
    EXPECT_EQ(Stored("tool"), "tool.exe");  // the other row still runs it
}

TEST_F(ProgramsPage, RemovingTheLastRowSavesAnEmptyRunList) {
    Put("RunList", "Only,");
    Put("SelectedList", "0,");
    Put("Only", "only.exe");
    Open([](MemoryForm& f) {
        f.GetListView("lsvRun").SelectItem(0);
        f.Click("cmdRemove");
        EXPECT_TRUE(f.GetButton("cmdApply").Enabled());
        f.Click("cmdApply");
    });
    EXPECT_EQ(Stored("RunList"), "");
    EXPECT_EQ(Stored("SelectedList"), "");
    EXPECT_EQ(Stored("Only"), "only.exe");  // its values stay
}

TEST_F(ProgramsPage, UpAndDownMoveRowsWithTheirCheckAndOnlyReselectAtTheEnds) {
    Put("RunList", "A,B,C,");
    Put("SelectedList", "0,");
    Open([](MemoryForm& f) {
        auto& run = f.GetListView("lsvRun");
        run.SelectItem(0);
        f.Click("cmdUp");
        run.SelectItem(2);
        f.Click("cmdDown");
        EXPECT_EQ(Rows(run), (Names{"A", "B", "C"}));
        EXPECT_EQ(run.SelectedRow(), 2);
        EXPECT_FALSE(f.GetButton("cmdApply").Enabled());
        run.SelectItem(0);
        f.Click("cmdDown");
        EXPECT_EQ(run.SelectedRow(), 1);
        run.SelectItem(2);
        f.Click("cmdUp");
        EXPECT_EQ(run.SelectedRow(), 1);
        f.Click("cmdOK");
    });
    auto& run = form->GetListView("lsvRun");
    EXPECT_EQ(Rows(run), (Names{"B", "C", "A"}));
    EXPECT_EQ(Rows(run, 1), (Names{"SMTWHFS", "SMTWHFS", "SMTWHFS"}));
    EXPECT_EQ(Stored("RunList"), "B,C,A,");
    EXPECT_EQ(Stored("SelectedList"), "2,");
}

TEST_F(ProgramsPage, TheWizardButtonRunsTheWizardOverThePage) {
    Open([](MemoryForm& f) { f.Click("cmdWizard"); });
    EXPECT_EQ(ui.modalShown.back(), "frmWizardEmail");
    EXPECT_TRUE(form->GetButton("cmdApply").Enabled());
}

// A list whose read failed while the dialog opened showed nothing of it:
// saved from there, every stored entry would go.
class BothLists : public ProgramsPage {};

TEST_F(BothLists, AListThatFailedToReadWhileOpeningStaysAsStored) {
    struct Case {
        const char* list;
        std::function<void(MemoryForm&)> change;
    };
    services.Add("gamma", "Gamma");
    const Case cases[] = {
        {"RunList",
         [this](MemoryForm& f) {
             EditorAnswers("New", "new.exe");
             f.Click("cmdAdd");
         }},
        {"StopList",
         [](MemoryForm& f) {
             Page(f, 1);
             f.GetListView("lsvStop").CheckItem(0);  // the running service, shown alone
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        reg.DeleteKey(platform::RootKey::CurrentUser, basSettings::kSettingsKey);
        ui.messageBoxes.clear();
        Put("RunList", "A,B,");
        Put("StopList", "Alpha,Beta,");
        Put("StopServices", "1");
        std::string list = c.list;
        reg.InjectFaults([list, failures = 1](platform::fake::FakeRegistry::Call call, const std::string&,
                                              const std::string& name) mutable {
            return call == platform::fake::FakeRegistry::Call::Query && name == list && failures-- > 0 ? 5 : 0;
        });
        Open([&c](MemoryForm& f) {
            c.change(f);
            f.Click("cmdOK");
        });
        reg.InjectFaults(nullptr);
        EXPECT_EQ(Stored("RunList"), "A,B,");
        EXPECT_EQ(Stored("StopList"), "Alpha,Beta,");
        EXPECT_EQ(ui.messageBoxes.empty() ? "" : ui.messageBoxes.back().text,
                  std::string("These settings could not be saved and stay as they were stored: ") + c.list);
    }
}

class ServicesPage : public AppletFixture {
protected:
    // A click on row `row`'s check box as the list reports it: the box
    // toggles, then the button comes up over it.
    static void ClickBox(MemoryForm& f, int row) {
        auto& list = static_cast<MemListView&>(f.GetListView("lsvStop"));
        if (list.IsItemChecked(row)) list.UncheckItem(row);
        else list.CheckItem(row);
        f.MouseUp("lsvStop", {1, 0, MemListView::kBoxLeft + 2, MemListView::kHeader + row * MemListView::kRowHeight + 4});
    }
    void DependsOn(const std::string& key, const std::string& multiString) {
        reg.Plant(platform::RootKey::LocalMachine, std::string(basSettings::kServicesKey) + key, "DependOnService",
                  {platform::kRegMultiSz, multiString});
    }
};

TEST_F(ServicesPage, LoadAppendsRunningServicesNotListedAndChecksIgnoringCase) {
    Put("StopList", "Spooler,Alpha,");
    Put("SelectedStopList", "SPOOLER,gamma,");
    Put("SecondsToWaitForService", "45");
    services.Add("alpha", "Alpha");
    services.Add("spool", "spooler");
    services.Add("gamma", "Gamma");
    services.Add("delta", "Delta", svc::kStopped);
    services.Add("comma", "Comma, Inc. Updater");  // no stored form: not listed
    Open([](MemoryForm& f) { f.Click("cmdOK"); });
    auto& stop = form->GetListView("lsvStop");
    EXPECT_EQ(Rows(stop), (Names{"Spooler", "Alpha", "spooler", "Gamma"}));
    EXPECT_EQ(Checked(stop), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(form->GetTextBox("txtServiceSeconds").Text(), "45");
    // Nothing changed: both lists stay as stored.
    EXPECT_EQ(Stored("StopList"), "Spooler,Alpha,");
    EXPECT_EQ(Stored("SelectedStopList"), "SPOOLER,gamma,");
}

TEST_F(ServicesPage, ServicesThisUserMayNotStopAreMarkedAndTheStoredNamesStayBare) {
    struct Case {
        std::uint16_t language;
        const char* header;
        const char* denied;
        const char* missing;
    };
    const Case cases[] = {{1033, "Stop", "Not allowed", "Not installed"},
                          {1031, "Beenden", "Nicht erlaubt", "Nicht installiert"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        SetWindowsLanguage(c.language);
        Put("StopList", "Print Spooler,Gone,");
        Put("SelectedStopList", "Print Spooler,");
        services = platform::fake::FakeServiceManager{&clock};
        services.AsStandardUser();
        services.Add("Spooler", "Print Spooler");
        services.Add("UserSvc", "User Service").grantedAccess |= svc::kStop;  // users may stop this one
        Put("StopServices", "1");
        Open([](MemoryForm& f) {
            // The mark moves with its row.
            Page(f, 1);
            f.GetListView("lsvStop").SelectItem(0);
            f.Click("cmdDownServices");
            f.Click("cmdOK");
        });
        auto& stop = form->GetListView("lsvStop");
        EXPECT_EQ(stop.ColumnHeader(1), c.header);
        EXPECT_EQ(Rows(stop), (Names{"Gone", "Print Spooler", "User Service"}));
        EXPECT_EQ(stop.GetItemText(0, 1), c.missing);
        EXPECT_EQ(stop.GetItemText(1, 1), c.denied);
        EXPECT_EQ(stop.GetItemText(2, 1), "");
        EXPECT_EQ(Stored("StopList"), "Gone,Print Spooler,User Service,");
        EXPECT_EQ(Stored("SelectedStopList"), "Print Spooler,");
    }
}

TEST_F(ServicesPage, CheckingAServiceNamesItsListedDependentsInOneEnumeration) {
    Put("StopServices", "1");  // the list takes input only when its box is ticked
    services.Add("Dhcp", "DHCP Client");
    services.Add("Tcpip", "TCP/IP Protocol Driver");
    services.Add("LanmanServer", "Server");
    DependsOn("Dhcp", std::string("Afd\0Tcpip\0\0", 11));
    DependsOn("LanmanServer", std::string("Tcpip\0\0", 7));
    int enumerations = 0;
    Open([&](MemoryForm& f) {
        Page(f, 1);
        enumerations = services.enumerations;
        ClickBox(f, 1);
    });
    EXPECT_EQ(services.enumerations - enumerations, 1);
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    EXPECT_EQ(ui.messageBoxes[0].text,
              "The following services are dependent on the TCP/IP Protocol Driver service:  DHCP Client, Server.  You "
              "must move these above the TCP/IP Protocol Driver service so they stop before the TCP/IP Protocol "
              "Driver service and then select them.");
    EXPECT_EQ(ui.messageBoxes[0].title, "Stopping Service");
    EXPECT_EQ(ui.messageBoxes[0].flags, ui::kMbInformation);
    EXPECT_EQ(Checked(form->GetListView("lsvStop")), (std::vector<int>{1}));  // nothing moved or unchecked
    EXPECT_EQ(ui.pointer, ui::Pointer::Default);
}

TEST_F(ServicesPage, OnlyACheckOnABoxOrBySpaceRunsTheCheck) {
    Put("StopServices", "1");  // the list takes input only when its box is ticked
    services.Add("Tcpip", "TCP/IP Protocol Driver");
    services.Add("Dhcp", "DHCP Client");
    DependsOn("Dhcp", std::string("Tcpip\0\0", 7));
    Open([this](MemoryForm& f) {
        Page(f, 1);
        auto& stop = f.GetListView("lsvStop");
        stop.CheckItem(0);
        // A release over the row's text: Apply, no check.
        f.MouseUp("lsvStop", {1, 0, 100, MemListView::kHeader + 4});
        EXPECT_TRUE(f.GetButton("cmdApply").Enabled());
        EXPECT_TRUE(ui.messageBoxes.empty());
        f.KeyUp("lsvStop", 'A');
        EXPECT_TRUE(ui.messageBoxes.empty());
        stop.SelectItem(0);
        f.KeyUp("lsvStop", 32);
        EXPECT_EQ(ui.messageBoxes.size(), 1u);
        ClickBox(f, 0);  // unchecking only enables Apply
        EXPECT_EQ(ui.messageBoxes.size(), 1u);
        // The dependent itself has none.
        ClickBox(f, 1);
        EXPECT_EQ(ui.messageBoxes.size(), 1u);
    });
}

TEST_F(ServicesPage, AServiceTheSystemDoesNotKnowHasNoDependents) {
    Put("StopServices", "1");  // the list takes input only when its box is ticked
    Put("StopList", "Gone Service,");
    services.Add("Dhcp", "DHCP Client");
    DependsOn("Dhcp", std::string("Tcpip\0\0", 7));
    Open([](MemoryForm& f) {
        Page(f, 1);
        ClickBox(f, 0);
    });
    EXPECT_TRUE(ui.messageBoxes.empty());
}

TEST_F(ServicesPage, TheSecondsFieldTakesDigitsAndBackspaceOnly) {
    Open([](MemoryForm& f) {
        Page(f, 1);
        auto& seconds = static_cast<ui::memory::MemTextBox&>(f.GetTextBox("txtServiceSeconds"));
        f.Focus("txtServiceSeconds");
        EXPECT_TRUE(seconds.allSelected);
        f.TypeChar("txtServiceSeconds", 'x');
        EXPECT_EQ(seconds.Text(), "20");
        EXPECT_FALSE(f.GetButton("cmdApply").Enabled());
        f.TypeChar("txtServiceSeconds", '9');
        f.TypeChar("txtServiceSeconds", '-');
        f.TypeChar("txtServiceSeconds", '5');
        EXPECT_EQ(seconds.Text(), "95");
        EXPECT_TRUE(f.GetButton("cmdApply").Enabled());
        // Three digits at most, typed or pasted: the daemon waits 600 seconds at most.
        f.TypeChar("txtServiceSeconds", '1');
        f.TypeChar("txtServiceSeconds", '2');
        EXPECT_EQ(seconds.Text(), "951");
        f.Type("txtServiceSeconds", "12345");
        EXPECT_EQ(seconds.Text(), "123");
        f.TypeChar("txtServiceSeconds", 8);
        f.TypeChar("txtServiceSeconds", 8);
        f.TypeChar("txtServiceSeconds", 8);
        f.Click("cmdOK");
    });
    EXPECT_EQ(Stored("SecondsToWaitForService"), "");
}

}  // namespace
