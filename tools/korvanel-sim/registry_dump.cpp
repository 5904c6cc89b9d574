#include "tools/korvanel-sim/registry_dump.h"

#include <string>

#include "text/text.h"

namespace korvanel::tool {

namespace {

using platform::RegHandle;
using platform::RegValue;
using text::Text;

std::string typeName(std::uint32_t type) {
  switch (type) {
    case platform::kRegNone:
      return "REG_NONE";
    case platform::kRegSz:
      return "REG_SZ";
    case platform::kRegExpandSz:
      return "REG_EXPAND_SZ";
    case platform::kRegBinary:
      return "REG_BINARY";
    case platform::kRegDword:
      return "REG_DWORD";
    case platform::kRegMultiSz:
      return "REG_MULTI_SZ";
    default:
      return "REG_TYPE_" + std::to_string(type);
  }
}

std::string hexOf(const std::vector<std::uint8_t>& bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (std::uint8_t b : bytes) {
    if (!out.empty()) out += ' ';
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
  }
  return out;
}

// Text a person can read: no control characters but tab, line breaks and U+0001 (the
// separator inside account stamps).
bool readable(const Text& s) {
  bool printable = false;
  for (char16_t c : s) {
    if (c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n' && c != u'\x0001') return false;
    printable = printable || c >= 0x20;
  }
  return printable;
}

void dumpKey(platform::Registry& registry, RegHandle key, const Text& path,
             nlohmann::ordered_json& out) {
  nlohmann::ordered_json values = nlohmann::ordered_json::object();
  Text name;
  RegValue value;
  for (std::uint32_t i = 0; registry.enumValue(key, i, &name, &value) == platform::kRegSuccess;
       ++i) {
    nlohmann::ordered_json v;
    v["type"] = typeName(value.type);
    v["hex"] = hexOf(value.data);
    std::string decoded;
    if (valueText(value, &decoded)) v["text"] = decoded;
    if (value.type == platform::kRegDword && value.data.size() == 4) {
      v["value"] = static_cast<std::uint32_t>(value.data[0]) |
                   static_cast<std::uint32_t>(value.data[1]) << 8 |
                   static_cast<std::uint32_t>(value.data[2]) << 16 |
                   static_cast<std::uint32_t>(value.data[3]) << 24;
    }
    values[text::toUtf8(name.empty() ? Text(u"@") : name)] = std::move(v);
  }
  std::vector<Text> subkeys;
  for (std::uint32_t i = 0; registry.enumKey(key, i, &name) == platform::kRegSuccess; ++i)
    subkeys.push_back(name);
  if (!values.empty() || subkeys.empty()) out[text::toUtf8(path)] = std::move(values);
  for (const Text& subkey : subkeys) {
    platform::RegKey child = platform::RegKey::open(registry, key, subkey, platform::kKeyRead);
    if (child) dumpKey(registry, child.get(), path + u"\\" + subkey, out);
  }
}

}  // namespace

bool valueText(const RegValue& value, std::string* out) {
  const auto& d = value.data;
  Text decoded;
  if (value.type == platform::kRegSz || value.type == platform::kRegExpandSz) {
    decoded = text::fromUtf16leBytes(d);
    if (!decoded.empty() && decoded.back() == u'\0') decoded.pop_back();
  } else if (value.type == platform::kRegBinary && d.size() >= 4 && d.size() % 2 == 0 &&
             d[d.size() - 1] == 0 && d[d.size() - 2] == 0) {
    decoded = text::fromUtf16leBytes(d.data(), d.size() - 2);
    if (decoded.empty() || decoded.find(u'\0') != Text::npos) {
      decoded.clear();
      // Not UTF-16: maybe single-byte text.
      if (d.size() >= 2 && d[d.size() - 2] != 0) {
        decoded = text::fromWindows1252(std::string(d.begin(), d.end() - 1));
      }
    }
  } else if (value.type == platform::kRegBinary && d.size() >= 2 && d.back() == 0) {
    decoded = text::fromWindows1252(std::string(d.begin(), d.end() - 1));
  } else {
    return false;
  }
  if (value.type == platform::kRegBinary && (decoded.empty() || !readable(decoded))) return false;
  if (decoded.find(u'\0') != Text::npos) return false;
  if (out != nullptr) *out = text::toUtf8(decoded);
  return true;
}

nlohmann::ordered_json dumpRegistry(platform::Registry& registry) {
  nlohmann::ordered_json out = nlohmann::ordered_json::object();
  dumpKey(registry, platform::kHkeyCurrentUser, u"HKEY_CURRENT_USER", out);
  dumpKey(registry, platform::kHkeyLocalMachine, u"HKEY_LOCAL_MACHINE", out);
  return out;
}

}  // namespace korvanel::tool
