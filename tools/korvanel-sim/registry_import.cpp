#include "tools/korvanel-sim/registry_import.h"

#include <fstream>
#include <optional>
#include <sstream>

#include "profile/registry_primitives.h"
#include "tools/korvanel-sim/input_error.h"

namespace korvanel::tool {

namespace {

using platform::RegHandle;
using text::Text;
using text::TextView;

struct SplitPath {
  RegHandle root = 0;
  Text rest;  // below the root; empty for the root itself
};

std::optional<SplitPath> splitRoot(TextView path) {
  const std::size_t slash = path.find(u'\\');
  const TextView root = path.substr(0, slash);
  SplitPath out;
  if (text::equalsNoCase(root, u"HKEY_CURRENT_USER") || text::equalsNoCase(root, u"HKCU")) {
    out.root = platform::kHkeyCurrentUser;
  } else if (text::equalsNoCase(root, u"HKEY_LOCAL_MACHINE") || text::equalsNoCase(root, u"HKLM")) {
    out.root = platform::kHkeyLocalMachine;
  } else if (text::equalsNoCase(root, u"HKEY_CLASSES_ROOT") || text::equalsNoCase(root, u"HKCR")) {
    out.root = platform::kHkeyClassesRoot;
  } else {
    return std::nullopt;
  }
  if (slash != TextView::npos) out.rest = Text(path.substr(slash + 1));
  return out;
}

}  // namespace

std::vector<sim::RegFileKey> readRegistryFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string expected = "expected a registry file (Windows Registry Editor Version 5.00)";
  if (!in) failInput(path, "", "cannot be read; " + expected);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) failInput(path, "", "cannot be read; " + expected);
  std::string error;
  auto keys = sim::parseRegFile(sim::decodeRegFileBytes(bytes.str()), &error);
  if (!keys) failInput(path, "", error.empty() ? expected : error + "; " + expected);
  for (const sim::RegFileKey& key : *keys) {
    auto split = splitRoot(key.path);
    if (!split) {
      failInput(path, "[" + text::toUtf8(key.path) + "]",
                "unknown root key; expected HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE or "
                "HKEY_CLASSES_ROOT");
    }
    if (key.remove && split->rest.empty()) {
      failInput(path, "[-" + text::toUtf8(key.path) + "]", "a root key cannot be removed");
    }
  }
  return *keys;
}

bool mergeRegistry(platform::Registry& registry, const std::vector<sim::RegFileKey>& keys) {
  profile::RegistryPrimitives primitives(registry);
  bool ok = true;
  for (const sim::RegFileKey& key : keys) {
    const auto split = splitRoot(key.path);
    if (!split) {
      ok = false;
      continue;
    }
    if (key.remove) {
      ok = primitives.DeleteKeyTree(split->root, split->rest) && ok;
      continue;
    }
    platform::RegKey handle =
        split->rest.empty()
            ? platform::RegKey()
            : platform::RegKey::create(registry, split->root, split->rest, platform::kKeyAllAccess);
    const RegHandle target = split->rest.empty() ? split->root : handle.get();
    if (target == 0) {
      ok = false;
      continue;
    }
    for (const sim::RegFileValue& v : key.values) {
      if (v.remove) {
        registry.deleteValue(target, v.name);  // an absent value is no failure
        continue;
      }
      ok = registry.setValue(target, v.name, v.value.type, v.value.data.data(),
                             v.value.data.size()) == platform::kRegSuccess &&
           ok;
    }
  }
  return ok;
}

}  // namespace korvanel::tool
