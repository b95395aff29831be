#include "common/basListView.h"

namespace basListView {

bool FindItemText(int startRow, const std::string& text, ui::ListView& lv) {
    for (int row = startRow < 0 ? 0 : startRow; row < lv.RowCount(); ++row)
        if (lv.GetItemText(row, 0) == text) return true;
    return false;
}

}  // namespace basListView
