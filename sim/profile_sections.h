// MAPI profiles as the registry holds them, for the parts of the simulation that act as
// MAPI's profile provider (the profile-management library, Outlook's first start): the
// profile keys, their sections (32-hex-digit subkeys) and the section values named by
// property type and id ("001e6608", "001f3001", "101f6637", "01023d0c").
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/registry.h"
#include "text/text.h"

namespace korvanel::sim {

using text::Bytes;
using text::Text;
using text::TextView;

// Reads and writes of MAPI profiles and their sections under HKEY_CURRENT_USER.
class ProfileSections {
 public:
  static constexpr char16_t kProfilesPath[] =
      u"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";
  static constexpr char16_t kGlobalSection[] = u"13dbb0c8aa05101a9bb000aa002fc45a";
  static constexpr char16_t kAccountManager[] = u"9375CFF0413111d3B88A00104B2A6676";
  // Section values by meaning: service name, service uid (in a provider's section), the
  // Exchange service's section (in the global section).
  static constexpr char16_t kServiceNameA[] = u"001e3d09";
  static constexpr char16_t kServiceNameW[] = u"001f3d09";
  static constexpr char16_t kServiceUid[] = u"01023d0c";
  static constexpr char16_t kEmsmdbSectionUid[] = u"01023d15";

  explicit ProfileSections(platform::Registry& registry) : registry_(registry) {}
  platform::Registry& registry() { return registry_; }

  static Text profilePath(TextView profileName);
  static Text sectionPath(TextView profileName, TextView section);

  // The subkey names of a key under HKEY_CURRENT_USER, in enumeration order; empty when it
  // cannot be opened.
  std::vector<Text> subkeys(TextView path);
  bool keyExists(TextView path);
  // The raw bytes of a value; nullopt when the key or the value is missing.
  std::optional<Bytes> readValue(TextView path, TextView name);
  // Creates the key as needed. False when any step failed.
  bool writeValue(TextView path, TextView name, std::uint32_t type, const Bytes& data);
  bool writeBinary(TextView path, TextView name, const Bytes& data);
  bool deleteValue(TextView path, TextView name);
  // Deletes the key under HKEY_CURRENT_USER and everything below it.
  bool deleteTree(TextView path);

  // A string property of a section: the Unicode value ("001f" + id) if present, else the
  // ANSI one ("001e" + id), read up to its NUL; empty when neither exists.
  Text readString(TextView sectionPath, TextView id);
  // Writes "001f" + id (UTF-16LE) or "001e" + id (Windows-1252), each with its NUL.
  bool writeString(TextView sectionPath, TextView id, TextView value, bool unicode);
  // A section id not yet used in the profile; deterministic for a given profile content.
  Text newSectionId(TextView profileName);

  static Bytes ansiZ(TextView s);
  static Bytes unicodeZ(TextView s);
  static Bytes le32(std::uint32_t v);
  // "13dbb0c8..." as its 16 bytes; empty when not 32 hexadecimal digits.
  static Bytes sectionIdBytes(TextView id);

 private:
  platform::Registry& registry_;
};

}  // namespace korvanel::sim
