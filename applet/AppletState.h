#pragma once
#include <string>
#include <vector>

#include "common/SharedState.h"

namespace halcfg {

// One run-list entry as the programs page and the entry editor hand it to
// each other. An empty display name after the editor closed: cancelled.
struct ProgramEntry {
    std::string DisplayName;
    std::string Program;
    std::string Days;  // digits 1 (Sunday) to 7
    bool OncePerDay = false;
};

// The applet's state: created by the entry for each showing of the dialog,
// filled while it opens, handed to the dialogs.
struct AppletState : common::SharedState {
    // The daemon's folder as it stored it ("" when it never ran); the log
    // lies there when the daemon can write there (basLogFile).
    std::string AppPath;
    // The applet's own folder, ending in "\"; its help page lies there.
    std::string LibraryFolder;
    std::string HelpFile;
    // The entry the programs page and the entry editor share.
    ProgramEntry Entry;
    // The names of the run list's other rows, for the editor to refuse a
    // name whose values would be kept under the same names as theirs.
    std::vector<std::string> OtherNames;
};

}  // namespace halcfg
