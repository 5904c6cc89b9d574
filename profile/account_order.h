// Outlook's account order list: the ids of the profile's accounts in Outlook's order, each
// as 4 little-endian bytes. Only whole 4-byte groups are ids; stray bytes after the last
// whole group are not, and are dropped when the list is rewritten.
#pragma once

#include <cstdint>
#include <vector>

#include "text/text.h"

namespace korvanel::profile {

using text::Bytes;
using text::TextView;

// The order list's value under the account manager key.
inline constexpr char16_t kAccountOrderValue[] = u"{ED475418-B0D6-11D2-8C3B-00104B2A6676}";

std::vector<std::uint32_t> decodeAccountOrder(const Bytes& list);

// 1-based position of the first id whose key name equals keyName without regard to case;
// 1 when none does (a key name that is not eight hex digits is in no position).
int accountPosition(const std::vector<std::uint32_t>& order, TextView keyName);

// The list with id appended after its last whole group.
Bytes appendToAccountOrder(const Bytes& list, std::uint32_t id);

// Removes every occurrence of id: each match takes the list's last id and the list gets
// one id shorter; the only id removed leaves the empty list. False when id was not there
// (the list is then untouched).
bool removeFromAccountOrder(Bytes& list, std::uint32_t id);

// The slots that hold any of ids, taken from the first to the last, get ids in the order
// given; every other id keeps its slot. False when nothing moved.
bool placeInAccountOrder(Bytes& list, const std::vector<std::uint32_t>& ids);

}  // namespace korvanel::profile
