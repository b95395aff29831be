#pragma once
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "applet/AppletState.h"
#include "common/basSettings.h"
#include "common/basText.h"
#include "platform/platform.h"
#include "ui/controls.h"

namespace halcfg {

// What the settings dialog's pages share: the dialog itself, its Apply
// button, its icon, and the texts of every page.
struct PageContext {
    ui::Ui& ui;
    platform::Platform& sys;
    AppletState& state;
    ui::Form& form;
    ui::Button& cmdApply;
    ui::Picture& imgMain;

    basSettings::Store Settings() const;
    basText::Language Language() const;
    std::string Text(const char* key) const;
    // Something on a page changed: Apply has something to write.
    void Changed() const { cmdApply.SetEnabled(true); }
    platform::WindowHandle FindDaemon() const;
    // The icon belongs to the daemon's window; the applet puts it there on
    // the daemon's behalf.
    void ShowDaemonIcon(platform::WindowHandle daemon) const;
    // One message naming the values that could not be written.
    void ReportNotSaved(const std::vector<std::string>& names) const;
    // Each control's text by its own name, in the user's language.
    struct Captioned {
        const char* key;
        ui::Label& control;
    };
    void SetCaptions(std::initializer_list<Captioned> controls) const;
};

// Values by name with the text Apply would write for their controls now.
using NamedValues = std::vector<std::pair<std::string, std::string>>;

// What a page's single values showed when they were read, and whether they
// could be read: only a readable value whose control changed is written.
class ShownRecord {
public:
    // Through the store the values were shown from: a read of it that failed
    // counts, even when the value reads now.
    void Record(const basSettings::Store& store, const NamedValues& now);
    // Writes what changed; names the values it could not write in
    // `notSaved`, and returns those it wrote.
    std::vector<std::string> Save(const basSettings::Store& store, const NamedValues& now,
                                  std::vector<std::string>& notSaved);
    // Set by a policy when it was read: shown, never written.
    bool Locked(const std::string& name) const;
    bool AnyLocked() const;

private:
    struct Shown {
        std::string text;  // what Apply would write for the control's state then
        bool readable = true;
        bool locked = false;
    };
    std::map<std::string, Shown> shown_;
};

// A list takes input only while its box is ticked and enabled.
void ApplyListRule(const ui::CheckBox& box, ui::ListView& list);
// Moves the selected row one place up (-1) or down (+1), with its texts and
// check; at the end of the list it only selects it again.
bool MoveSelectedRow(ui::ListView& list, int step);

// The up and down arrows of the Wingdings font on a pair of buttons; the
// design captions where the font has no arrows.
void ShowArrows(ui::Button& up, ui::Button& down);

}  // namespace halcfg
