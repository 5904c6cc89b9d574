#include "profile/account_order.h"

#include <algorithm>

#include "profile/profile_key.h"

namespace korvanel::profile {
namespace {

std::uint32_t groupAt(const Bytes& list, std::size_t group) {
  const std::size_t at = group * 4;
  return static_cast<std::uint32_t>(list[at]) | static_cast<std::uint32_t>(list[at + 1]) << 8 |
         static_cast<std::uint32_t>(list[at + 2]) << 16 |
         static_cast<std::uint32_t>(list[at + 3]) << 24;
}

}  // namespace

std::vector<std::uint32_t> decodeAccountOrder(const Bytes& list) {
  std::vector<std::uint32_t> ids;
  const std::size_t groups = list.size() / 4;
  ids.reserve(groups);
  for (std::size_t g = 0; g < groups; ++g) ids.push_back(groupAt(list, g));
  return ids;
}

int accountPosition(const std::vector<std::uint32_t>& order, TextView keyName) {
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (text::equalsNoCase(AccountKeyName(order[i]), keyName)) return static_cast<int>(i) + 1;
  }
  return 1;
}

Bytes appendToAccountOrder(const Bytes& list, std::uint32_t id) {
  Bytes result(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(list.size() / 4 * 4));
  for (int shift = 0; shift < 32; shift += 8)
    result.push_back(static_cast<std::uint8_t>(id >> shift));
  return result;
}

bool removeFromAccountOrder(Bytes& list, std::uint32_t id) {
  std::size_t groups = list.size() / 4;
  bool changed = false;
  // Walking from the end, the id moved into a freed slot has already been looked at.
  for (std::size_t g = groups; g-- > 0;) {
    if (groupAt(list, g) != id) continue;
    const std::size_t last = groups - 1;
    if (g != last)
      std::copy_n(list.begin() + static_cast<std::ptrdiff_t>(last * 4), 4,
                  list.begin() + static_cast<std::ptrdiff_t>(g * 4));
    --groups;
    changed = true;
  }
  if (changed) list.resize(groups * 4);
  return changed;
}

bool placeInAccountOrder(Bytes& list, const std::vector<std::uint32_t>& ids) {
  std::vector<std::size_t> slots;
  for (std::size_t g = 0; g < list.size() / 4; ++g) {
    if (std::find(ids.begin(), ids.end(), groupAt(list, g)) != ids.end()) slots.push_back(g);
  }
  if (slots.size() != ids.size()) return false;  // not each id once: leave the list alone
  bool moved = false;
  for (std::size_t k = 0; k < slots.size(); ++k) {
    if (groupAt(list, slots[k]) == ids[k]) continue;
    const std::uint32_t id = ids[k];
    for (std::size_t b = 0; b < 4; ++b)
      list[slots[k] * 4 + b] = static_cast<std::uint8_t>(id >> (8 * b));
    moved = true;
  }
  return moved;
}

}  // namespace korvanel::profile
