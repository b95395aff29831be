#pragma once

// Ties a control's name to its item ID in a dialog template, or a menu
// entry's name to its command ID.
namespace ui {

struct Binding {
    const char* name;
    int id;
};

}  // namespace ui
