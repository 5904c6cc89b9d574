#include "addin/exchange_account.h"

#include "addin/identity_text_forms.h"

namespace korvanel::addin {

bool isExchangeAccount(const SharedState& state, TextView accountName, TextView stamp) {
  const std::size_t separator = stamp.find(kStampSeparator);
  const Text key = separator == TextView::npos ? Text() : text::trim(stamp.substr(0, separator));
  if (!key.empty()) return text::equalsNoCase(key, text::trim(state.ExchangeAccountKey));
  const Text exchangeName = text::trim(state.ExchangeAccountName);
  return !exchangeName.empty() && text::equalsNoCase(text::trim(accountName), exchangeName);
}

}  // namespace korvanel::addin
