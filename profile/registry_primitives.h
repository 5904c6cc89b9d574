// The registry primitives the product's profile code rests on. They reproduce the ANSI
// ("A") behaviour of advapi32 over the wide platform::Registry: string values read through
// them come back in the ANSI code page, strings are written through it without a NUL.
// Every handle they open is closed before they return. No call throws.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/registry.h"
#include "profile/ansi_code_page.h"
#include "text/text.h"

namespace korvanel::profile {

using platform::RegHandle;
using platform::RegKey;
using text::Bytes;
using text::Text;
using text::TextView;

// The text up to, not including, its first U+0000.
inline Text TrimNull(TextView s) { return Text(text::trimNull(s)); }

// How RegQueryProperty decodes a value.
enum class PropertyMode {
  kText,  // "": the text, ANSI or Unicode by the value's name
  kId,    // "ID": every byte as two upper-case hex digits
  kSmtp,  // "SMTP": the SMTP entries of a multi-valued text, last stored first, TAB-separated
};

class RegistryPrimitives {
 public:
  explicit RegistryPrimitives(platform::Registry& registry,
                              AnsiCodePage codePage = AnsiCodePage::windows1252());

  platform::Registry& registry() { return registry_; }
  const AnsiCodePage& codePage() const { return codePage_; }

  // Opens root\path for reading (KEY_READ); an empty RegKey when it cannot be opened.
  RegKey RegOpenRead(RegHandle root, TextView path);
  // A value as RegQueryValueExA returns it: string types converted to the ANSI code page
  // (their NUL included when stored), other types as stored. nullopt when the query fails.
  std::optional<Bytes> queryValueAnsi(RegHandle key, TextView name);

  // 0 when the handle is 0, the query fails or the data is longer than 4 bytes.
  std::uint32_t RegQueryDword(RegHandle key, TextView name);
  // The ANSI text of the value cut at its first NUL; empty when the handle is 0, the query
  // fails or the data is longer than 260 bytes.
  Text RegQueryString(RegHandle key, TextView name);
  // A value of HKEY_CURRENT_USER\path; empty when absent. Creates a missing key, as the
  // product always has.
  Bytes RegReadBinary(TextView path, TextView name);
  // Like RegReadBinary, but tells an absent value (nullopt) from one holding no bytes.
  std::optional<Bytes> readBinaryIfPresent(TextView path, TextView name);
  // Writers under HKEY_CURRENT_USER; each creates the key. True when the value was written.
  bool RegWriteBinary(TextView path, TextView name, const Bytes& data);
  bool RegWriteDword(TextView path, TextView name, std::uint32_t value);
  bool RegWriteString(TextView path, TextView name, TextView value);
  // REG_SZ: the ANSI form of the text without a NUL. False only for an empty path; the
  // result of the set itself is not reported. One leading backslash is dropped.
  bool RegSetKeyValue(RegHandle root, TextView path, TextView name, TextView value);
  // REG_DWORD.
  bool RegSetKeyValue(RegHandle root, TextView path, TextView name, std::uint32_t value);
  // Deletes a value of HKEY_CURRENT_USER\path; true when it is gone.
  bool deleteValue(TextView path, TextView name);

  // A profile value decoded as text (see PropertyMode). A value that exists but holds no
  // bytes gives kNotDefined; a missing one the empty text.
  Text RegQueryProperty(RegHandle key, TextView name, PropertyMode mode = PropertyMode::kText);

  // The names of the key's subkeys, in enumeration order, each cut at its first NUL. An
  // index that fails to enumerate is skipped.
  std::vector<Text> subkeyNames(RegHandle key);

  // Deletes root\path with everything below it. True when the key no longer exists.
  bool DeleteKeyTree(RegHandle root, TextView path);

 private:
  void DeleteSubKeys(RegHandle root, TextView path, int depth);

  platform::Registry& registry_;
  AnsiCodePage codePage_;
};

}  // namespace korvanel::profile
