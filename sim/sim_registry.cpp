// The simulated registry: a tree of keys held by shared pointers, so that a handle keeps its
// key alive after a delete and can tell that it was deleted.
#include "sim/sim_registry.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "sim/reg_file.h"
#include "text/text.h"

namespace korvanel::sim {

namespace detail {

struct RegNode {
  Text name;
  std::weak_ptr<RegNode> parent;
  bool deleted = false;
  bool root = false;
  // Keyed by the name as created; the ordering makes lookups case-blind and enumeration
  // sorted the way Windows sorts.
  std::map<Text, std::shared_ptr<RegNode>, text::NoCaseLess> subkeys;
  std::map<Text, RegValue, text::NoCaseLess> values;
};

}  // namespace detail

using platform::kRegAccessDenied;
using platform::kRegFileNotFound;
using platform::kRegInvalidHandle;
using platform::kRegInvalidParameter;
using platform::kRegNoMoreItems;
using platform::kRegSuccess;

namespace {

using Node = detail::RegNode;

constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr std::size_t kMaxKeyName = 255;
constexpr std::size_t kMaxValueName = 16383;

// The specific rights a requested access amounts to (generic rights mapped as for keys).
std::uint32_t effectiveAccess(std::uint32_t access) {
  constexpr std::uint32_t kGenericAll = 0x10000000, kGenericExecute = 0x20000000,
                          kGenericWrite = 0x40000000, kGenericRead = 0x80000000,
                          kMaximumAllowed = 0x02000000;
  if (access & (kGenericAll | kMaximumAllowed)) return platform::kKeyAllAccess;
  std::uint32_t rights = access & 0xFFFF;
  if (access & (kGenericRead | kGenericExecute)) rights |= platform::kKeyRead & 0xFFFF;
  if (access & kGenericWrite) rights |= 0x0006;  // KEY_SET_VALUE | KEY_CREATE_SUB_KEY
  return rights;
}

std::shared_ptr<Node> makeRoot(const char16_t* name) {
  auto node = std::make_shared<Node>();
  node->name = name;
  node->root = true;
  return node;
}

void markDeleted(Node& node) {
  node.deleted = true;
  for (auto& [name, child] : node.subkeys) markDeleted(*child);
}

// The components of a subkey path as the wide API sees it (up to a NUL); an empty path
// names the key itself. One trailing backslash is allowed.
RegStatus splitPath(TextView path, std::vector<TextView>* parts) {
  path = text::trimNull(path);
  if (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
  if (path.empty()) return kRegSuccess;
  std::size_t start = 0;
  while (true) {
    const std::size_t at = path.find(u'\\', start);
    const TextView part = path.substr(start, at == TextView::npos ? TextView::npos : at - start);
    if (part.empty()) return kRegBadPathname;
    if (part.size() > kMaxKeyName) return kRegInvalidParameter;
    parts->push_back(part);
    if (at == TextView::npos) return kRegSuccess;
    start = at + 1;
  }
}

std::shared_ptr<Node> findChild(const Node& node, TextView name) {
  auto it = node.subkeys.find(name);
  return it == node.subkeys.end() ? nullptr : it->second;
}

std::shared_ptr<Node> addChild(const std::shared_ptr<Node>& parent, TextView name) {
  auto child = std::make_shared<Node>();
  child->name = Text(name);
  child->parent = parent;
  parent->subkeys.emplace(child->name, child);
  return child;
}

// The tree under a root as .reg keys, parents before children.
void collect(const Node& node, const Text& path, std::vector<RegFileKey>* keys) {
  if (!node.root || !node.values.empty()) {
    RegFileKey key;
    key.path = path;
    for (const auto& [name, value] : node.values) key.values.push_back({name, false, value});
    keys->push_back(std::move(key));
  }
  for (const auto& [name, child] : node.subkeys) collect(*child, path + u'\\' + name, keys);
}

}  // namespace

SimRegistry::SimRegistry(FaultPlan* faults) : faults_(faults) { clear(); }

SimRegistry::~SimRegistry() = default;

bool SimRegistry::injectFault(const char* op) {
  return faults_ != nullptr && faults_->shouldFail(std::string("Registry.") + op);
}

SimRegistry::Resolved SimRegistry::resolve(RegHandle handle) const {
  switch (handle) {
    case platform::kHkeyClassesRoot:
      return {kRegSuccess, classesRoot_, platform::kKeyAllAccess};
    case platform::kHkeyCurrentUser:
      return {kRegSuccess, currentUser_, platform::kKeyAllAccess};
    case platform::kHkeyLocalMachine:
      return {kRegSuccess, localMachine_, platform::kKeyAllAccess};
    default:
      break;
  }
  auto it = handles_.find(handle);
  if (it == handles_.end()) return {kRegInvalidHandle, nullptr, 0};
  if (it->second.node->deleted) return {kRegKeyDeleted, nullptr, 0};
  return {kRegSuccess, it->second.node, it->second.access};
}

RegHandle SimRegistry::newHandle(const std::shared_ptr<Node>& node, std::uint32_t access) {
  const RegHandle handle = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(handle, Handle{node, effectiveAccess(access)});
  return handle;
}

RegStatus SimRegistry::openKey(RegHandle parent, TextView subkey, std::uint32_t access,
                               RegHandle* out) {
  if (out == nullptr) return kRegInvalidParameter;
  *out = 0;
  if (injectFault("openKey")) return faultStatus_;
  const Resolved from = resolve(parent);
  if (from.status != kRegSuccess) return from.status;
  std::vector<TextView> parts;
  if (RegStatus status = splitPath(subkey, &parts); status != kRegSuccess) return status;
  std::shared_ptr<Node> node = from.node;
  for (TextView part : parts) {
    node = findChild(*node, part);
    if (node == nullptr) return kRegFileNotFound;
  }
  *out = newHandle(node, access);
  return kRegSuccess;
}

RegStatus SimRegistry::createKey(RegHandle parent, TextView subkey, std::uint32_t access,
                                 RegHandle* out, bool* created) {
  if (out == nullptr) return kRegInvalidParameter;
  *out = 0;
  if (created != nullptr) *created = false;
  if (injectFault("createKey")) return faultStatus_;
  const Resolved from = resolve(parent);
  if (from.status != kRegSuccess) return from.status;
  std::vector<TextView> parts;
  if (RegStatus status = splitPath(subkey, &parts); status != kRegSuccess) return status;
  std::shared_ptr<Node> node = from.node;
  bool made = false;
  for (TextView part : parts) {
    std::shared_ptr<Node> child = findChild(*node, part);
    made = child == nullptr;
    node = made ? addChild(node, part) : child;
  }
  *out = newHandle(node, access);
  if (created != nullptr) *created = made;
  return kRegSuccess;
}

RegStatus SimRegistry::closeKey(RegHandle key) {
  if (key == 0 || key == platform::kHkeyClassesRoot || key == platform::kHkeyCurrentUser ||
      key == platform::kHkeyLocalMachine) {
    return kRegSuccess;
  }
  if (injectFault("closeKey")) return faultStatus_;
  return handles_.erase(key) == 1 ? kRegSuccess : kRegInvalidHandle;
}

RegStatus SimRegistry::queryValue(RegHandle key, TextView name, RegValue* out) {
  if (out != nullptr) *out = RegValue{};
  if (injectFault("queryValue")) return faultStatus_;
  const Resolved at = resolve(key);
  if (at.status != kRegSuccess) return at.status;
  if ((at.access & platform::kKeyQueryValue) == 0) return kRegAccessDenied;
  auto it = at.node->values.find(text::trimNull(name));
  if (it == at.node->values.end()) return kRegFileNotFound;
  if (out != nullptr) *out = it->second;
  return kRegSuccess;
}

RegStatus SimRegistry::setValue(RegHandle key, TextView name, std::uint32_t type,
                                const std::uint8_t* data, std::size_t size) {
  if (injectFault("setValue")) return faultStatus_;
  const Resolved at = resolve(key);
  if (at.status != kRegSuccess) return at.status;
  if ((at.access & kKeySetValue) == 0) return kRegAccessDenied;
  name = text::trimNull(name);
  if (name.size() > kMaxValueName || (data == nullptr && size != 0)) return kRegInvalidParameter;
  RegValue value{type, std::vector<std::uint8_t>(data, data + size)};
  auto it = at.node->values.find(name);
  if (it != at.node->values.end()) {
    it->second = std::move(value);  // the name keeps the case it was created with
  } else {
    at.node->values.emplace(Text(name), std::move(value));
  }
  return kRegSuccess;
}

RegStatus SimRegistry::deleteValue(RegHandle key, TextView name) {
  if (injectFault("deleteValue")) return faultStatus_;
  const Resolved at = resolve(key);
  if (at.status != kRegSuccess) return at.status;
  if ((at.access & kKeySetValue) == 0) return kRegAccessDenied;
  auto it = at.node->values.find(text::trimNull(name));
  if (it == at.node->values.end()) return kRegFileNotFound;
  at.node->values.erase(it);
  return kRegSuccess;
}

RegStatus SimRegistry::deleteKey(RegHandle parent, TextView subkey) {
  if (injectFault("deleteKey")) return faultStatus_;
  const Resolved from = resolve(parent);
  if (from.status != kRegSuccess) return from.status;
  std::vector<TextView> parts;
  if (RegStatus status = splitPath(subkey, &parts); status != kRegSuccess) return status;
  Node* node = from.node.get();
  for (TextView part : parts) {
    Node* child = findChild(*node, part).get();
    if (child == nullptr) return kRegFileNotFound;
    node = child;
  }
  if (node->root || !node->subkeys.empty()) return kRegAccessDenied;
  std::shared_ptr<Node> owner = node->parent.lock();
  if (owner == nullptr) return kRegKeyDeleted;
  node->deleted = true;
  owner->subkeys.erase(node->name);
  return kRegSuccess;
}

RegStatus SimRegistry::enumKey(RegHandle key, std::uint32_t index, Text* name) {
  if (name != nullptr) name->clear();
  if (injectFault("enumKey")) return faultStatus_;
  const Resolved at = resolve(key);
  if (at.status != kRegSuccess) return at.status;
  if ((at.access & kKeyEnumerateSubKeys) == 0) return kRegAccessDenied;
  if (index >= at.node->subkeys.size()) return kRegNoMoreItems;
  auto it = std::next(at.node->subkeys.begin(), index);
  if (name != nullptr) *name = it->first;
  return kRegSuccess;
}

RegStatus SimRegistry::enumValue(RegHandle key, std::uint32_t index, Text* name, RegValue* value) {
  if (name != nullptr) name->clear();
  if (value != nullptr) *value = RegValue{};
  if (injectFault("enumValue")) return faultStatus_;
  const Resolved at = resolve(key);
  if (at.status != kRegSuccess) return at.status;
  if ((at.access & platform::kKeyQueryValue) == 0) return kRegAccessDenied;
  if (index >= at.node->values.size()) return kRegNoMoreItems;
  auto it = std::next(at.node->values.begin(), index);
  if (name != nullptr) *name = it->first;
  if (value != nullptr) *value = it->second;
  return kRegSuccess;
}

void SimRegistry::clear() {
  for (auto* root : {&classesRoot_, &currentUser_, &localMachine_}) {
    if (*root != nullptr) markDeleted(**root);
  }
  classesRoot_ = makeRoot(u"HKEY_CLASSES_ROOT");
  currentUser_ = makeRoot(u"HKEY_CURRENT_USER");
  localMachine_ = makeRoot(u"HKEY_LOCAL_MACHINE");
}

Text SimRegistry::exportReg() const {
  std::vector<RegFileKey> keys;
  for (const auto* root : {&classesRoot_, &currentUser_, &localMachine_}) {
    collect(**root, (*root)->name, &keys);
  }
  return formatRegFile(keys);
}

bool SimRegistry::importReg(TextView text, std::string* error) {
  auto keys = parseRegFile(text, error);
  if (!keys) return false;
  // Built aside and swapped in only when every entry is sound.
  std::shared_ptr<Node> roots[] = {makeRoot(u"HKEY_CLASSES_ROOT"), makeRoot(u"HKEY_CURRENT_USER"),
                                   makeRoot(u"HKEY_LOCAL_MACHINE")};
  for (const RegFileKey& key : *keys) {
    auto fail = [&](const std::string& why) {
      if (error != nullptr) *error = why + ": " + text::toUtf8(key.path);
      return false;
    };
    const std::size_t slash = key.path.find(u'\\');
    const TextView rootName = TextView(key.path).substr(0, slash);
    std::shared_ptr<Node> node;
    if (text::equalsNoCase(rootName, u"HKEY_CLASSES_ROOT") ||
        text::equalsNoCase(rootName, u"HKCR")) {
      node = roots[0];
    } else if (text::equalsNoCase(rootName, u"HKEY_CURRENT_USER") ||
               text::equalsNoCase(rootName, u"HKCU")) {
      node = roots[1];
    } else if (text::equalsNoCase(rootName, u"HKEY_LOCAL_MACHINE") ||
               text::equalsNoCase(rootName, u"HKLM")) {
      node = roots[2];
    } else {
      return fail("unknown root key");
    }
    std::vector<TextView> parts;
    if (slash != Text::npos) {
      const TextView rest = TextView(key.path).substr(slash + 1);
      if (rest.empty() || rest.back() == u'\\' || rest.find(u'\0') != TextView::npos ||
          splitPath(rest, &parts) != kRegSuccess) {
        return fail("bad key path");
      }
    }
    if (key.remove) {
      if (parts.empty()) return fail("a root key cannot be removed");
      std::shared_ptr<Node> parent = node;
      for (std::size_t i = 0; parent != nullptr && i + 1 < parts.size(); ++i) {
        parent = findChild(*parent, parts[i]);
      }
      if (parent != nullptr) parent->subkeys.erase(Text(parts.back()));
      continue;
    }
    for (TextView part : parts) {
      std::shared_ptr<Node> child = findChild(*node, part);
      node = child != nullptr ? child : addChild(node, part);
    }
    for (const RegFileValue& v : key.values) {
      if (v.name.size() > kMaxValueName || v.name.find(u'\0') != Text::npos) {
        return fail("bad value name");
      }
      auto it = node->values.find(v.name);
      if (v.remove) {
        if (it != node->values.end()) node->values.erase(it);
      } else if (it != node->values.end()) {
        it->second = v.value;
      } else {
        node->values.emplace(v.name, v.value);
      }
    }
  }
  clear();
  classesRoot_ = roots[0];
  currentUser_ = roots[1];
  localMachine_ = roots[2];
  return true;
}

bool SimRegistry::saveFile(const std::string& path, std::string* error) const {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  const std::string bytes = encodeRegFileBytes(exportReg());
  if (file) file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (file) file.close();
  if (!file) {
    if (error != nullptr) *error = "cannot write " + path;
    return false;
  }
  return true;
}

bool SimRegistry::loadFile(const std::string& path, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    if (error != nullptr) *error = "cannot read " + path;
    return false;
  }
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return importReg(decodeRegFileBytes(bytes.str()), error);
}

}  // namespace korvanel::sim
