// The .reg export format ("Windows Registry Editor Version 5.00"), so the simulated registry
// can be inspected by a user and read by a real regedit. Plain data in, plain data out.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace korvanel::sim {

struct RegFileValue {
  platform::Text name;  // empty: the key's default value, written @
  bool remove = false;  // "name"=-
  platform::RegValue value;
};

struct RegFileKey {
  platform::Text path;  // from the root name on: HKEY_CURRENT_USER\Software\...
  bool remove = false;  // [-path]
  std::vector<RegFileValue> values;
};

// The file text: header, then each key as a [path] line, its values and a blank line. REG_SZ
// is written quoted when it is text ending with its one NUL; any other REG_SZ (no NUL, odd
// size, an inner NUL, a control character, a lone surrogate) as hex(1):, REG_DWORD of 4 bytes
// as dword:, REG_BINARY as hex:, every other type as hex(N):. Long hex lines are continued
// with a backslash, as regedit does.
platform::Text formatRegFile(const std::vector<RegFileKey>& keys);

// Reads a file text (a leading byte-order mark is skipped). nullopt on anything malformed;
// *error (if given) names the line and the fault. Names and paths are taken as written;
// checking the root names is the caller's job.
std::optional<std::vector<RegFileKey>> parseRegFile(platform::TextView text,
                                                    std::string* error = nullptr);

// File bytes: written as UTF-16LE with a byte-order mark; read as UTF-16LE or UTF-16BE by
// their marks, otherwise as UTF-8 (a UTF-8 mark is dropped).
std::string encodeRegFileBytes(platform::TextView text);
platform::Text decodeRegFileBytes(std::string_view bytes);

}  // namespace korvanel::sim
