#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "common/basText.h"
#include "platform/system.h"
#include "ui/controls.h"

// The wording of the system's own shutdown dialog, per language and Windows
// version: the daemon's dialog copies it, and the hook recognises the
// system's dialogs by their titles.
namespace basCountry {

// Titles of the system's dialogs: 0 shut down, 1 log off, 2 another shut-down
// title ("" when the language has none).
extern std::array<std::string, 3> InterceptTitles;
// The dialog's texts by slot: 0-6 Windows 2000, 7-13 NT 4, 14-21 Windows 95,
// 22-29 Windows 98, 30-32 the Windows 2000 descriptions (log off, restart,
// shut down); 33-35 unused.
extern std::array<std::string, 36> DialogTexts;

using TextSet = basText::Language;

// The set a language code picks; anything unknown is English.
TextSet TextSetFor(std::uint16_t countryCode);

// Copies one set into both tables; slots the set leaves open become "".
void FillTextTables(TextSet set, const std::string& userName);

// Once per load of the main dialog: applies a "/country=" override from the
// command line, fills the tables, puts the texts that fit the running Windows
// on the dialog's controls and builds the day initials.
void LoadDialogTexts(ui::Ui& ui, ui::Form& frmMain, platform::System& sys, const std::string& commandLine,
                     const std::string& userName, const std::string& appTitle);

}  // namespace basCountry
