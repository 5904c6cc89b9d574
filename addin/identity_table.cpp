#include "addin/identity_table.h"

#include <utility>

namespace korvanel::addin {
namespace {

const IdentityRow kEmptyRow;
const std::vector<int> kNoRows;

// Entry k of a TAB-separated list, or empty when the list is shorter.
Text entryOf(const std::vector<Text>& pieces, std::size_t k) {
  return k < pieces.size() ? pieces[k] : Text();
}

}  // namespace

std::size_t IdentityTable::NoCaseHash::operator()(TextView s) const noexcept {
  // FNV-1a over the folded code units, so texts equal without regard to case hash alike.
  std::size_t h = static_cast<std::size_t>(14695981039346656037ull);
  for (char16_t c : s) {
    // Addresses are nearly always ASCII; fold those here without a call.
    const char16_t folded = c < 0x80 ? (c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c)
                                     : text::foldCase(c);
    h ^= static_cast<std::size_t>(folded);
    h *= static_cast<std::size_t>(1099511628211ull);
  }
  return h;
}

bool IdentityTable::NoCaseEqual::operator()(TextView a, TextView b) const noexcept {
  return text::equalsNoCase(a, b);
}

IdentityTable IdentityTable::fromAccountLists(TextView combined, TextView accountKeys,
                                              TextView emails, TextView displayNames,
                                              TextView accountNames,
                                              TextView accountIndexes) {
  const Text tab(1, u'\t');
  const std::size_t count = text::split(combined, tab).size();
  const std::vector<Text> keys = text::split(accountKeys, tab);
  const std::vector<Text> mails = text::split(emails, tab);
  const std::vector<Text> names = text::split(displayNames, tab);
  const std::vector<Text> accounts = text::split(accountNames, tab);
  const std::vector<Text> indexes = text::split(accountIndexes, tab);

  IdentityTable table;
  for (std::size_t k = 0; k < count && k < kMaxRows; ++k) {
    table.addRow(IdentityRow{entryOf(keys, k), entryOf(mails, k), entryOf(names, k),
                             entryOf(accounts, k), entryOf(indexes, k)});
  }
  return table;
}

IdentityTable IdentityTable::fromAccountLists(const profile::IdentityAccountLists& lists) {
  return fromAccountLists(lists.Combined, lists.Subkeys, lists.Emails, lists.DisplayNames,
                          lists.AccountNames, lists.Positions);
}

void IdentityTable::addRow(IdentityRow row) {
  if (rows_.size() >= kMaxRows) return;
  const int index = static_cast<int>(rows_.size());
  if (!row.Email.empty()) byEmail_[row.Email].push_back(index);
  rows_.push_back(std::move(row));
}

const std::vector<int>& IdentityTable::rowsWithEmail(TextView email) const {
  if (email.empty()) return kNoRows;
  const auto found = byEmail_.find(email);
  return found == byEmail_.end() ? kNoRows : found->second;
}

const IdentityRow& IdentityTable::row(int i) const {
  if (i < 0 || static_cast<std::size_t>(i) >= rows_.size()) return kEmptyRow;
  return rows_[static_cast<std::size_t>(i)];
}

}  // namespace korvanel::addin
