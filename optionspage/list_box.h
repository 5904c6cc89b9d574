// A single-selection list box of the Options page: its rows with their ItemData, the
// selection (ListIndex, SelCount) and the horizontal extent that gives it a scroll bar.
// Members keep the names the page's code has always used for them (AddItem, ListIndex,
// ItemData...); an index outside the rows changes nothing and reads as empty.
#pragma once

#include <cstdint>
#include <vector>

#include "optionspage/control.h"
#include "platform/shell.h"

namespace korvanel::page {

struct ListRow {
  Text text;
  std::int32_t itemData = 0;
  bool operator==(const ListRow&) const = default;
};

class ListBox {
 public:
  ListBox() = default;
  explicit ListBox(Control control) : control(std::move(control)) {}

  Control control;
  // The list's window, set by a renderer; 0 while the page is headless.
  platform::WindowHandle hWnd = 0;
  // Pixels the list scrolls sideways (LB_SETHORIZONTALEXTENT); 0 shows no scroll bar.
  long horizontalExtent = 0;

  long ListCount() const { return static_cast<long>(rows_.size()); }
  const std::vector<ListRow>& rows() const { return rows_; }
  std::vector<Text> texts() const;
  // True when some row reads as value without regard to case.
  bool hasTextNoCase(TextView value) const;

  // The row's text; empty outside the rows.
  Text List(long index) const;
  bool setList(long index, TextView value);
  std::int32_t ItemData(long index) const;
  bool setItemData(long index, std::int32_t value);

  // Appends a row with ItemData 0; NewIndex() is its index.
  void AddItem(TextView value);
  long NewIndex() const { return newIndex_; }
  // Removes a row; the selection follows its row, and is lost with it.
  bool RemoveItem(long index);
  void Clear();

  // The selected row; -1 when none.
  long ListIndex() const { return listIndex_; }
  // Selects one row (-1 clears the selection); false outside the rows.
  bool setListIndex(long index);
  bool Selected(long index) const { return index >= 0 && index == listIndex_; }
  long SelCount() const { return listIndex_ >= 0 ? 1 : 0; }
  // The selected row's text; empty when none.
  Text selectedText() const { return List(listIndex_); }

 private:
  bool inRange(long index) const { return index >= 0 && index < ListCount(); }

  std::vector<ListRow> rows_;
  long listIndex_ = -1;
  long newIndex_ = -1;
};

}  // namespace korvanel::page
