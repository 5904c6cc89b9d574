// The stored MAPI properties of a simulated item or store: one bag keyed by property tag or
// named property, so that the object model (members and PropertyAccessor), CDO fields and
// Extended MAPI all read and write the same values. Also the parsers of the three ways the
// product names a property (PropertyAccessor schema names, CDO field names, CDO Add calls).
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <map>
#include <optional>

#include "platform/variant.h"
#include "text/text.h"

namespace korvanel::sim {

using platform::Variant;
using text::Bytes;
using text::Text;
using text::TextView;

// A property-set GUID, held in its textual field order.
struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};

  // "{00062008-0000-0000-C000-000000000046}" (braces optional); nullopt when malformed.
  static std::optional<Guid> parse(TextView text);
  // CDO's byte-order hexadecimal form "0820060000000000C000000000000046".
  static std::optional<Guid> parseCdo(TextView hex);
  // "{00062008-0000-0000-C000-000000000046}", upper case.
  Text toText() const;
  Text toCdoText() const;
  auto operator<=>(const Guid&) const = default;
};

// Property sets the product uses.
inline constexpr Guid kPsetidCommon{0x00062008, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr Guid kPsInternetHeaders{0x00020386, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr Guid kPsPublicStrings{0x00020329, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// MAPI property types.
inline constexpr std::uint16_t kPtLong = 0x0003;
inline constexpr std::uint16_t kPtBoolean = 0x000B;
inline constexpr std::uint16_t kPtString8 = 0x001E;
inline constexpr std::uint16_t kPtUnicode = 0x001F;
inline constexpr std::uint16_t kPtSysTime = 0x0040;
inline constexpr std::uint16_t kPtBinary = 0x0102;
inline constexpr std::uint16_t kPtMvString8 = 0x101E;
inline constexpr std::uint16_t kPtMvUnicode = 0x101F;

// Identity of a property. A tagged property is its id (the type is part of the value, so
// 0x0E29001E and 0x0E29001F are the same property); a named property is its set and its
// numeric id or its name (names compare without regard to case).
struct PropKey {
  enum class Kind { kTag, kId, kName };
  Kind kind = Kind::kTag;
  std::uint16_t id = 0;  // the property id of a tag, or the named id
  Guid set{};
  Text name;             // folded for comparison

  static PropKey tag(std::uint32_t propTag) {
    return PropKey{Kind::kTag, static_cast<std::uint16_t>(propTag >> 16), Guid{}, Text()};
  }
  static PropKey named(const Guid& set, std::uint16_t id) {
    return PropKey{Kind::kId, id, set, Text()};
  }
  static PropKey named(const Guid& set, TextView name) {
    return PropKey{Kind::kName, 0, set, text::fold(name)};
  }
  auto operator<=>(const PropKey&) const = default;
};

struct PropValue {
  std::uint16_t type = kPtString8;
  Variant value;
};

// A key and the type a caller names with it (the type a schema name or tag ends with).
struct TypedKey {
  PropKey key;
  std::uint16_t type = kPtString8;
};

// "http://schemas.microsoft.com/mapi/id/{GUID}/8580001E",
// "http://schemas.microsoft.com/mapi/string/{GUID}/name" (optionally followed by "/0x001E"
// style type), "http://schemas.microsoft.com/mapi/proptag/0x007D001E". nullopt otherwise.
std::optional<TypedKey> parseSchemaName(TextView schemaName);
// CDO field names "{CDOHEXGUID}0x8580" and "{CDOHEXGUID}name".
std::optional<TypedKey> parseCdoFieldName(TextView fieldName);
// CDO Fields.Add(name, type, value, propsetId) with name "0x8580" or "name" and the set in
// CDO hex (an empty set means PS_PUBLIC_STRINGS, as CDO takes it).
std::optional<TypedKey> parseCdoAdd(TextView name, long cdoType, TextView propsetId);

// Property ids and named ids the simulation knows by meaning.
namespace prop {
inline constexpr std::uint32_t kReadReceiptRequested = 0x0029000B;
inline constexpr std::uint32_t kSubject = 0x0037001E;
inline constexpr std::uint32_t kSentRepresentingEntryId = 0x00410102;
inline constexpr std::uint32_t kSentRepresentingName = 0x0042001E;
inline constexpr std::uint32_t kReplyRecipientEntries = 0x004F0102;
inline constexpr std::uint32_t kReplyRecipientNames = 0x0050001E;
inline constexpr std::uint32_t kSentRepresentingEmail = 0x0065001E;
inline constexpr std::uint32_t kConversationIndex = 0x00710102;
inline constexpr std::uint32_t kTransportHeaders = 0x007D001E;
inline constexpr std::uint32_t kSenderName = 0x0C1A001E;
inline constexpr std::uint32_t kSenderEmail = 0x0C1F001E;
inline constexpr std::uint32_t kPrimarySendAccount = 0x0E28001E;
inline constexpr std::uint32_t kNextSendAccount = 0x0E29001E;
inline constexpr std::uint32_t kBody = 0x1000001E;
inline constexpr std::uint32_t kMailboxOwnerName = 0x661C001E;
inline constexpr std::uint16_t kAccountName = 0x8580;   // in kPsetidCommon
inline constexpr std::uint16_t kAccountStamp = 0x8581;  // in kPsetidCommon
inline constexpr std::uint16_t kBilling = 0x8535;       // in kPsetidCommon
inline constexpr char16_t kKeywords[] = u"Keywords";        // in kPsPublicStrings
inline constexpr char16_t kRecipientList[] = u"x-recipientlist";  // in kPsInternetHeaders
}  // namespace prop

// The plain store of property values. Special properties that live elsewhere in the model
// (the reply recipients behind 0x004F/0x0050) are handled by ModelItem, not here.
class PropertyBag {
 public:
  const PropValue* find(const PropKey& key) const;
  // An empty Variant when absent.
  Variant get(const PropKey& key) const;
  Text getText(const PropKey& key) const { return get(key).toText(); }
  void set(const PropKey& key, std::uint16_t type, Variant value);
  void setText(const PropKey& key, TextView value) { set(key, kPtString8, Variant(Text(value))); }
  // True when the property was there.
  bool remove(const PropKey& key);
  bool has(const PropKey& key) const { return find(key) != nullptr; }
  const std::map<PropKey, PropValue>& all() const { return values_; }

 private:
  std::map<PropKey, PropValue> values_;
};

}  // namespace korvanel::sim
