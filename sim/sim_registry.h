// The simulated Windows registry: an in-memory tree under HKEY_CLASSES_ROOT,
// HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE that behaves as advapi32 does where the product
// can tell the difference, and that saves to and loads from the .reg export format.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/registry.h"
#include "sim/faults.h"

namespace korvanel::sim {

using platform::RegHandle;
using platform::RegStatus;
using platform::RegValue;
using platform::Text;
using platform::TextView;

// Windows status codes that only the simulation needs to name.
inline constexpr RegStatus kRegBadPathname = 161;  // a path with an empty component
inline constexpr RegStatus kRegKeyDeleted = 1018;  // the handle's key has been deleted

namespace detail {
struct RegNode;
}

// Behaviour, as Windows has it:
// - Key and value names are compared without regard to case and keep the case in which they
//   were created; names are read up to a U+0000, as the wide-character API sees them. A path
//   may end with one backslash; a leading or doubled one gives kRegBadPathname.
// - Every open or create returns a new handle, even to the same key. A handle stays valid
//   until closed; when its key is deleted (or the registry is reloaded), calls through it
//   give kRegKeyDeleted and closing it still works.
// - Values need the access they would need on Windows: queries and value enumeration
//   KEY_QUERY_VALUE, writes and deletes of values KEY_SET_VALUE, subkey enumeration
//   KEY_ENUMERATE_SUB_KEYS; otherwise kRegAccessDenied. The predefined roots allow all.
// - deleteKey refuses a key with subkeys (kRegAccessDenied) and never deletes a root; an
//   empty subkey names the handle's own key.
// - HKEY_CLASSES_ROOT is a root of its own (not a merged view of the other two).
// - Subkeys and values are enumerated sorted without regard to case (text::compareNoCase).
// Failure injection: each call first asks the fault plan about "Registry." + its name
// ("Registry.openKey", "Registry.createKey", "Registry.closeKey", "Registry.queryValue",
// "Registry.setValue", "Registry.deleteValue", "Registry.deleteKey", "Registry.enumKey",
// "Registry.enumValue"); a failing call returns faultStatus() and changes nothing (a failed
// close leaves the handle open).
class SimRegistry final : public platform::Registry {
 public:
  // The fault plan, when given, must outlive the registry.
  explicit SimRegistry(FaultPlan* faults = nullptr);
  ~SimRegistry() override;
  SimRegistry(const SimRegistry&) = delete;
  SimRegistry& operator=(const SimRegistry&) = delete;

  RegStatus openKey(RegHandle parent, TextView subkey, std::uint32_t access,
                    RegHandle* out) override;
  RegStatus createKey(RegHandle parent, TextView subkey, std::uint32_t access, RegHandle* out,
                      bool* created) override;
  RegStatus closeKey(RegHandle key) override;
  RegStatus queryValue(RegHandle key, TextView name, RegValue* out) override;
  RegStatus setValue(RegHandle key, TextView name, std::uint32_t type, const std::uint8_t* data,
                     std::size_t size) override;
  RegStatus deleteValue(RegHandle key, TextView name) override;
  RegStatus deleteKey(RegHandle parent, TextView subkey) override;
  RegStatus enumKey(RegHandle key, std::uint32_t index, Text* name) override;
  RegStatus enumValue(RegHandle key, std::uint32_t index, Text* name, RegValue* value) override;

  void setFaultPlan(FaultPlan* faults) { faults_ = faults; }
  // The status an injected failure returns; kRegAccessDenied unless changed.
  void setFaultStatus(RegStatus status) { faultStatus_ = status; }
  RegStatus faultStatus() const { return faultStatus_; }

  // Handles opened and not yet closed (a leak shows here).
  std::size_t openHandleCount() const { return handles_.size(); }

  // Empties all three roots. Open handles turn into handles to deleted keys.
  void clear();

  // The whole registry in the .reg export format (header "Windows Registry Editor Version
  // 5.00", CRLF line ends), keys and values in enumeration order. Loading it back gives
  // the same keys, names, types and bytes; the one exception is a key name holding a line
  // break, which a [key] line cannot carry (regedit has no form for it either).
  Text exportReg() const;
  // Replaces the whole content by the keys of a .reg text (removal entries "[-path]" and
  // "name"=- included). A malformed text changes nothing: false, and *error (if given) says
  // which line and why.
  bool importReg(TextView text, std::string* error = nullptr);
  // The same through a file: written as UTF-16LE with a byte-order mark, as regedit writes
  // it; read as UTF-16LE with its mark, or else UTF-8.
  bool saveFile(const std::string& path, std::string* error = nullptr) const;
  bool loadFile(const std::string& path, std::string* error = nullptr);

 private:
  using Node = detail::RegNode;
  struct Handle {
    std::shared_ptr<Node> node;
    std::uint32_t access;
  };
  struct Resolved {
    RegStatus status;
    std::shared_ptr<Node> node;
    std::uint32_t access;
  };

  bool injectFault(const char* op);
  Resolved resolve(RegHandle handle) const;
  RegHandle newHandle(const std::shared_ptr<Node>& node, std::uint32_t access);

  FaultPlan* faults_;
  RegStatus faultStatus_ = platform::kRegAccessDenied;
  std::shared_ptr<Node> classesRoot_, currentUser_, localMachine_;
  std::map<RegHandle, Handle> handles_;
  RegHandle nextHandle_ = 0x1000;
};

}  // namespace korvanel::sim
