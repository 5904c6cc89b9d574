// The registry a served run works in: HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE of this
// process are pointed (RegOverridePredefKey) at two fresh, empty keys, so the simulated
// machine and the real DLLs loaded into the process share one registry that starts empty
// and is thrown away afterwards. HKEY_CLASSES_ROOT, where COM finds its classes, stays the
// machine's own.
#pragma once

#include <windows.h>

#include "win/system/advapi_registry.h"

namespace korvanel::win::served {

class ScratchRegistry {
 public:
  ScratchRegistry();
  // Points the roots back at the real keys and deletes the scratch keys.
  ~ScratchRegistry();
  ScratchRegistry(const ScratchRegistry&) = delete;
  ScratchRegistry& operator=(const ScratchRegistry&) = delete;

  // False when the keys could not be made or the roots not pointed at them.
  bool ready() const { return ready_; }
  platform::Registry& registry() { return registry_; }

 private:
  AdvapiRegistry registry_;
  std::wstring path_;  // under the real HKEY_CURRENT_USER
  HKEY currentUser_ = nullptr;
  HKEY localMachine_ = nullptr;
  bool ready_ = false;
};

}  // namespace korvanel::win::served
