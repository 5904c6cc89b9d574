// The in-memory image of one account key under the account manager key.
#pragma once

#include <cstdint>

#include "text/text.h"

namespace korvanel::profile {

struct AccountRecord {
  text::Text AccountName;
  text::Text DisplayName;
  text::Text Email;
  text::Text NewSignature;
  text::Text Organization;
  text::Text Pop3Server;
  text::Text Pop3User;
  text::Text ReplyEmail;
  text::Text ReplyForwardSignature;
  text::Text SmtpServer;
  std::uint32_t SmtpUseAuth = 0;
  // The account key's name, such as "00000002".
  text::Text Subkey;
  text::Text Clsid;
  // The default value of HKEY_CLASSES_ROOT\CLSID\<Clsid>.
  text::Text ClassDescription;
  // "MSEMS" marks the Exchange account.
  text::Text ServiceName;
};

}  // namespace korvanel::profile
