#include "addin/stamped_identity.h"

#include "addin/complete_send.h"
#include "addin/identity_text_forms.h"

namespace korvanel::addin {

int stampedIdentity(const IdentityTable& table, TextView accountName, TextView stamp) {
  const std::size_t separator = stamp.find(kStampSeparator);
  const Text key = separator == TextView::npos ? Text() : text::trim(stamp.substr(0, separator));
  const Text address =
      separator == TextView::npos ? Text() : text::trim(stamp.substr(separator + 1));
  const Text name = text::trim(accountName);

  auto fits = [&](int row) {
    return address.empty() || text::equalsNoCase(table.Email(row), address);
  };
  if (!key.empty()) {
    for (int row = table.IdFirst(); row <= table.IdLast(); ++row) {
      if (text::equalsNoCase(text::trim(table.AccountKey(row)), key) && fits(row)) return row;
    }
  }
  if (!name.empty()) {
    for (int row = table.IdFirst(); row <= table.IdLast(); ++row) {
      if (text::equalsNoCase(text::trim(table.AccountName(row)), name) && fits(row)) return row;
    }
  }
  const std::vector<int>& rows = table.rowsWithEmail(address);
  if (rows.empty()) return -1;
  if (const std::optional<DecodedStamp> decoded = decodeStamp(stamp, name)) {
    for (int row : rows) {
      if (text::equalsNoCase(text::trim(table.DisplayName(row)), decoded->name)) return row;
    }
  }
  return rows.front();
}

}  // namespace korvanel::addin
