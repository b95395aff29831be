#pragma once
#include <string>

#include "ui/controls.h"

// Row helpers over a report list view; rows and columns count from 0.
namespace basListView {

inline std::string GetItemText(ui::ListView& lv, int row, int column) { return lv.GetItemText(row, column); }
inline void CheckItem(ui::ListView& lv, int row) { lv.CheckItem(row); }
inline bool IsItemChecked(ui::ListView& lv, int row) { return lv.IsItemChecked(row); }
inline void SelectItem(ui::ListView& lv, int row) { lv.SelectItem(row); }
inline void DeleteItem(ui::ListView& lv, int row) { lv.DeleteItem(row); }
inline void DeleteAllItems(ui::ListView& lv) { lv.DeleteAllItems(); }
inline void SetFullRowSelect(ui::ListView& lv) { lv.SetFullRowSelect(); }
inline void SetCheckBoxes(ui::ListView& lv) { lv.SetCheckBoxes(); }
inline void AutoSizeColumns(ui::ListView& lv, bool fitHeaders) { lv.AutoSizeColumns(fitHeaders); }
inline int HitTestCheckBox(ui::ListView& lv, int x, int y) { return lv.HitTestCheckBox(x, y); }

// True when a row from `startRow` on has exactly `text` (case-sensitive) in column 0.
bool FindItemText(int startRow, const std::string& text, ui::ListView& lv);

}  // namespace basListView
