#pragma once
#include <string>
#include <utility>

#include "ui/controls.h"
#include "wizard/WizardRunList.h"

namespace wizard {

// A run list shown in a report list view: a new row gets `daysText` in its
// second column (the applet shows the seven day initials there, the daemon
// leaves it empty and rebuilds it from the settings).
class ListViewRunList : public WizardRunList {
public:
    explicit ListViewRunList(ui::ListView& list, std::string daysText = "")
        : list_(list), days_(std::move(daysText)) {}

    int RowCount() const override { return list_.RowCount(); }
    std::string RowText(int row) const override { return list_.GetItemText(row, 0); }
    int AppendRow(const std::string& name) override {
        int row = list_.AddRow(name);
        list_.SetCellText(row, 1, days_);
        return row;
    }
    void TickRow(int row) override { list_.CheckItem(row); }

private:
    ui::ListView& list_;
    std::string days_;
};

}  // namespace wizard
