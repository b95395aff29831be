#pragma once
#include <string>

namespace wizard {

// The run list of the window that opened the wizard; the wizard adds its
// rows there and that window saves the list as it always does.
class WizardRunList {
public:
    virtual ~WizardRunList() = default;
    virtual int RowCount() const = 0;
    // The first-column text of a row, the entry's name.
    virtual std::string RowText(int row) const = 0;
    // Appends a row named `name` at the end and returns its index; the
    // owner fills its other columns.
    virtual int AppendRow(const std::string& name) = 0;
    // Ticks the row's check box.
    virtual void TickRow(int row) = 0;
};

}  // namespace wizard
