#include "optionspage/list_box.h"

namespace korvanel::page {

std::vector<Text> ListBox::texts() const {
  std::vector<Text> out;
  out.reserve(rows_.size());
  for (const ListRow& row : rows_) out.push_back(row.text);
  return out;
}

bool ListBox::hasTextNoCase(TextView value) const {
  for (const ListRow& row : rows_) {
    if (text::equalsNoCase(row.text, value)) return true;
  }
  return false;
}

Text ListBox::List(long index) const {
  return inRange(index) ? rows_[static_cast<std::size_t>(index)].text : Text();
}

bool ListBox::setList(long index, TextView value) {
  if (!inRange(index)) return false;
  rows_[static_cast<std::size_t>(index)].text = Text(value);
  return true;
}

std::int32_t ListBox::ItemData(long index) const {
  return inRange(index) ? rows_[static_cast<std::size_t>(index)].itemData : 0;
}

bool ListBox::setItemData(long index, std::int32_t value) {
  if (!inRange(index)) return false;
  rows_[static_cast<std::size_t>(index)].itemData = value;
  return true;
}

void ListBox::AddItem(TextView value) {
  rows_.push_back(ListRow{Text(value), 0});
  newIndex_ = ListCount() - 1;
}

bool ListBox::RemoveItem(long index) {
  if (!inRange(index)) return false;
  rows_.erase(rows_.begin() + index);
  if (listIndex_ == index) {
    listIndex_ = -1;
  } else if (listIndex_ > index) {
    --listIndex_;
  }
  newIndex_ = -1;
  return true;
}

void ListBox::Clear() {
  rows_.clear();
  listIndex_ = -1;
  newIndex_ = -1;
}

bool ListBox::setListIndex(long index) {
  if (index == -1) {
    listIndex_ = -1;
    return true;
  }
  if (!inRange(index)) return false;
  listIndex_ = index;
  return true;
}

}  // namespace korvanel::page
