// Where a MAPI profile lives under HKEY_CURRENT_USER, the keys of it that the product
// reads and writes, and the byte layout of the texts the product stores there.
#pragma once

#include <cstdint>
#include <optional>

#include "text/text.h"

namespace korvanel::profile {

using text::Bytes;
using text::Text;
using text::TextView;

inline constexpr char16_t kProfilesPath[] =
    u"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";
// Outlook's account manager section and the Exchange global profile section.
inline constexpr char16_t kAccountManagerSection[] = u"9375CFF0413111d3B88A00104B2A6676";
inline constexpr char16_t kGlobalProfileSection[] = u"13dbb0c8aa05101a9bb000aa002fc45a";

// The profile's key; for an empty name the "Profiles" key itself.
Text ProfileKeyPath(TextView profileName);
Text AccountManagerKey(TextView profileName);
Text GlobalProfileSection(TextView profileName);

// The key name of an account id: eight lower-case hex digits (10 gives "0000000a").
Text AccountKeyName(std::uint32_t id);
// The id of a key name made of exactly eight hex digits; nullopt for any other name, so a
// stray subkey never stands for some other account's id.
std::optional<std::uint32_t> AccountIdOf(TextView keyName);
Text AccountKeyPath(TextView profileName, std::uint32_t id);

// The text as UTF-16LE with one terminating U+0000: the layout of every text the product
// writes into a REG_BINARY value.
Bytes TextValue(TextView s);
// The product's own text settings: the trimmed text as TextValue.
Bytes ProfileText(TextView s);

}  // namespace korvanel::profile
