#include "sim/model_property.h"

namespace korvanel::sim {

namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

void appendHex(Text& out, std::uint32_t value, int digits) {
  for (int i = digits - 1; i >= 0; --i) out += kHexDigits[(value >> (4 * i)) & 0xF];
}

std::optional<std::uint32_t> hexField(TextView s, std::size_t pos, std::size_t len) {
  if (pos + len > s.size()) return std::nullopt;
  return text::readHex(s.substr(pos, len));
}

// "0x8580" or "8580": a named id.
std::optional<std::uint16_t> readNamedId(TextView s) {
  if (s.size() > 2 && s[0] == u'0' && (s[1] == u'x' || s[1] == u'X')) s.remove_prefix(2);
  if (s.empty() || s.size() > 4) return std::nullopt;
  auto v = text::readHex(s);
  if (!v) return std::nullopt;
  return static_cast<std::uint16_t>(*v);
}

std::uint16_t typeOfCdo(long cdoType) {
  switch (cdoType) {
    case 2:
    case 3: return kPtLong;
    case 11: return kPtBoolean;
    case 8192:
    case 8200: return kPtMvString8;
    default: return kPtString8;
  }
}

}  // namespace

std::optional<Guid> Guid::parse(TextView t) {
  if (t.size() == 38 && t.front() == u'{' && t.back() == u'}') t = t.substr(1, 36);
  if (t.size() != 36 || t[8] != u'-' || t[13] != u'-' || t[18] != u'-' || t[23] != u'-') {
    return std::nullopt;
  }
  Guid g;
  auto d1 = hexField(t, 0, 8);
  auto d2 = hexField(t, 9, 4);
  auto d3 = hexField(t, 14, 4);
  if (!d1 || !d2 || !d3) return std::nullopt;
  g.data1 = *d1;
  g.data2 = static_cast<std::uint16_t>(*d2);
  g.data3 = static_cast<std::uint16_t>(*d3);
  static constexpr std::size_t kPos[8] = {19, 21, 24, 26, 28, 30, 32, 34};
  for (std::size_t i = 0; i < 8; ++i) {
    auto b = hexField(t, kPos[i], 2);
    if (!b) return std::nullopt;
    g.data4[i] = static_cast<std::uint8_t>(*b);
  }
  return g;
}

std::optional<Guid> Guid::parseCdo(TextView hex) {
  if (hex.size() != 32) return std::nullopt;
  std::uint8_t b[16];
  for (std::size_t i = 0; i < 16; ++i) {
    auto v = hexField(hex, 2 * i, 2);
    if (!v) return std::nullopt;
    b[i] = static_cast<std::uint8_t>(*v);
  }
  Guid g;
  g.data1 = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
            static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
  g.data2 = static_cast<std::uint16_t>(b[4] | b[5] << 8);
  g.data3 = static_cast<std::uint16_t>(b[6] | b[7] << 8);
  for (std::size_t i = 0; i < 8; ++i) g.data4[i] = b[8 + i];
  return g;
}

Text Guid::toText() const {
  Text out = u"{";
  appendHex(out, data1, 8);
  out += u'-';
  appendHex(out, data2, 4);
  out += u'-';
  appendHex(out, data3, 4);
  out += u'-';
  for (std::size_t i = 0; i < 8; ++i) {
    if (i == 2) out += u'-';
    appendHex(out, data4[i], 2);
  }
  out += u'}';
  return out;
}

Text Guid::toCdoText() const {
  Text out;
  for (int i = 0; i < 4; ++i) appendHex(out, (data1 >> (8 * i)) & 0xFF, 2);
  for (int i = 0; i < 2; ++i) appendHex(out, (data2 >> (8 * i)) & 0xFF, 2);
  for (int i = 0; i < 2; ++i) appendHex(out, (data3 >> (8 * i)) & 0xFF, 2);
  for (std::uint8_t b : data4) appendHex(out, b, 2);
  return out;
}

std::optional<TypedKey> parseSchemaName(TextView s) {
  static constexpr TextView kId = u"http://schemas.microsoft.com/mapi/id/";
  static constexpr TextView kString = u"http://schemas.microsoft.com/mapi/string/";
  static constexpr TextView kTag = u"http://schemas.microsoft.com/mapi/proptag/0x";
  if (text::startsWithNoCase(s, kTag)) {
    TextView hex = s.substr(kTag.size());
    if (hex.size() != 8) return std::nullopt;
    auto tag = text::readHex(hex);
    if (!tag) return std::nullopt;
    return TypedKey{PropKey::tag(*tag), static_cast<std::uint16_t>(*tag & 0xFFFF)};
  }
  const bool byId = text::startsWithNoCase(s, kId);
  if (!byId && !text::startsWithNoCase(s, kString)) return std::nullopt;
  TextView rest = s.substr(byId ? kId.size() : kString.size());
  if (rest.size() < 39 || rest[38] != u'/') return std::nullopt;
  auto set = Guid::parse(rest.substr(0, 38));
  if (!set) return std::nullopt;
  rest.remove_prefix(39);
  if (byId) {
    if (rest.size() != 8) return std::nullopt;
    auto idType = text::readHex(rest);
    if (!idType) return std::nullopt;
    return TypedKey{PropKey::named(*set, static_cast<std::uint16_t>(*idType >> 16)),
                    static_cast<std::uint16_t>(*idType & 0xFFFF)};
  }
  // A string name, optionally followed by "/0x0000001F"-style type.
  std::uint16_t type = kPtString8;
  const std::size_t slash = rest.rfind(u'/');
  if (slash != TextView::npos && rest.size() - slash > 3 && rest[slash + 1] == u'0' &&
      (rest[slash + 2] == u'x' || rest[slash + 2] == u'X')) {
    if (auto t = text::readHex(rest.substr(slash + 3))) {
      type = static_cast<std::uint16_t>(*t & 0xFFFF);
      rest = rest.substr(0, slash);
    }
  }
  if (rest.empty()) return std::nullopt;
  return TypedKey{PropKey::named(*set, rest), type};
}

std::optional<TypedKey> parseCdoFieldName(TextView s) {
  if (s.size() < 35 || s[0] != u'{' || s[33] != u'}') return std::nullopt;
  auto set = Guid::parseCdo(s.substr(1, 32));
  if (!set) return std::nullopt;
  TextView name = s.substr(34);
  if (name.size() > 2 && name[0] == u'0' && (name[1] == u'x' || name[1] == u'X')) {
    auto id = readNamedId(name);
    if (!id) return std::nullopt;
    return TypedKey{PropKey::named(*set, *id), kPtString8};
  }
  return TypedKey{PropKey::named(*set, name), kPtString8};
}

std::optional<TypedKey> parseCdoAdd(TextView name, long cdoType, TextView propsetId) {
  if (name.empty()) return std::nullopt;
  Guid set = kPsPublicStrings;
  if (!propsetId.empty()) {
    TextView id = propsetId;
    if (id.size() == 34 && id.front() == u'{' && id.back() == u'}') id = id.substr(1, 32);
    auto parsed = Guid::parseCdo(id);
    if (!parsed) return std::nullopt;
    set = *parsed;
  }
  const std::uint16_t type = typeOfCdo(cdoType);
  if (name.size() > 2 && name[0] == u'0' && (name[1] == u'x' || name[1] == u'X')) {
    auto id = readNamedId(name);
    if (!id) return std::nullopt;
    return TypedKey{PropKey::named(set, *id), type};
  }
  return TypedKey{PropKey::named(set, name), type};
}

const PropValue* PropertyBag::find(const PropKey& key) const {
  auto it = values_.find(key);
  return it == values_.end() ? nullptr : &it->second;
}

Variant PropertyBag::get(const PropKey& key) const {
  const PropValue* v = find(key);
  return v == nullptr ? Variant() : v->value;
}

void PropertyBag::set(const PropKey& key, std::uint16_t type, Variant value) {
  values_[key] = PropValue{type, std::move(value)};
}

bool PropertyBag::remove(const PropKey& key) { return values_.erase(key) > 0; }

}  // namespace korvanel::sim
