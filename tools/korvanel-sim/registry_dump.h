// The simulated registry as the trace shows it: every key of HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE that holds a value (or has no subkeys), in enumeration order, each value
// with its type, its bytes in hexadecimal and, when the bytes are text, the decoded text.
#pragma once

#include <nlohmann/json.hpp>

#include "platform/registry.h"

namespace korvanel::tool {

// {"HKEY_CURRENT_USER\\Software\\...": {"Account Name": {"type": "REG_BINARY", "hex": "45 00 ...",
//  "text": "EX [...]"}}}; a REG_DWORD also gets "value", the number.
nlohmann::ordered_json dumpRegistry(platform::Registry& registry);

// The text a value's bytes hold, if they hold one: REG_SZ and REG_EXPAND_SZ as UTF-16LE;
// binary values that are UTF-16LE text with its U+0000 (the product's own settings and
// Outlook's account values), or single-byte text with its NUL (Windows-1252, the profile
// sections' ANSI properties). False when the bytes are no such text.
bool valueText(const platform::RegValue& value, std::string* text);

}  // namespace korvanel::tool
