#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "common/basText.h"
#include "daemon/DaemonState.h"
#include "platform/system.h"
#include "ui/controls.h"

// The wording of the system's own shutdown dialog, per language and Windows
// version: the daemon's dialog copies it, and the hook recognises the
// system's dialogs by their titles.
namespace basCountry {

using TextSet = basText::Language;

// The set a language code picks; anything unknown is English.
TextSet TextSetFor(std::uint16_t countryCode);

// Copies one set into InterceptTitles and DialogTexts; slots the set leaves
// open become "".
void FillTextTables(TextSet set, const std::string& userName, halcyrad::DaemonState& state);

// Once per load of the main dialog: applies a "/country=" override from the
// command line, fills the tables, puts the texts that fit the running Windows
// on the dialog's controls and builds the day initials.
void LoadDialogTexts(ui::Ui& ui, ui::Form& frmMain, platform::System& sys, halcyrad::DaemonState& state);

}  // namespace basCountry
