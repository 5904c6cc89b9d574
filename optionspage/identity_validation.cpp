#include "optionspage/identity_validation.h"

#include <algorithm>

namespace korvanel::page {

bool hasControlCharacter(TextView s) {
  return std::any_of(s.begin(), s.end(), [](char16_t c) { return c < 0x20; });
}

bool ValidateSMTPEmail(Text& sEmail) {
  sEmail = text::trim(sEmail);
  const std::size_t length = sEmail.size();
  const std::size_t at = sEmail.find(u'@');
  const std::size_t dot = sEmail.find(u'.');
  if (length < 5 || at == Text::npos || dot == Text::npos) return false;
  // Positions counted from 1: each must be at least 2 and below the length.
  const std::size_t a = at + 1;
  const std::size_t d = dot + 1;
  return a >= 2 && a < length && d >= 2 && d < length;
}

bool ValidateDN(const Text& sDN) { return sDN.find_first_of(u"/\\@<>") == Text::npos; }

short ValidateInput(std::optional<Text>& s) {
  if (!s) return kInputCancelled;
  if (s->empty()) return kInputInvalid;
  const Text t = text::trim(*s);
  if (hasControlCharacter(t)) return kInputInvalid;
  const std::size_t blank = t.rfind(u' ');
  if (blank == Text::npos) return kInputInvalid;
  const Text name = text::trim(TextView(t).substr(0, blank));
  Text addr = t.substr(blank + 1);
  std::erase(addr, u'<');
  std::erase(addr, u'>');
  if (!ValidateSMTPEmail(addr)) return kInputInvalid;
  if (!ValidateDN(name)) return kInputInvalid;
  *s = name + u" <" + addr + u">";
  return kInputValid;
}

}  // namespace korvanel::page
