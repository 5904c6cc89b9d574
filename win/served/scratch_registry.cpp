#include "win/served/scratch_registry.h"

#include <string>

#include "win/com/com_registration.h"
#include "win/com/wide.h"

namespace korvanel::win::served {

namespace {

HKEY createKey(const std::wstring& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

}  // namespace

ScratchRegistry::ScratchRegistry()
    : path_(L"Software\\Korvanel served runs\\" + std::to_wstring(GetCurrentProcessId())) {
  // What a run with the same process id left behind is not this run's.
  deleteKeyTree(registry_, platform::kHkeyCurrentUser, fromWide(path_.c_str()));
  currentUser_ = createKey(path_ + L"\\HKEY_CURRENT_USER");
  localMachine_ = createKey(path_ + L"\\HKEY_LOCAL_MACHINE");
  ready_ = currentUser_ != nullptr && localMachine_ != nullptr &&
           RegOverridePredefKey(HKEY_CURRENT_USER, currentUser_) == ERROR_SUCCESS &&
           RegOverridePredefKey(HKEY_LOCAL_MACHINE, localMachine_) == ERROR_SUCCESS;
}

ScratchRegistry::~ScratchRegistry() {
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  if (currentUser_ != nullptr) RegCloseKey(currentUser_);
  if (localMachine_ != nullptr) RegCloseKey(localMachine_);
  deleteKeyTree(registry_, platform::kHkeyCurrentUser, fromWide(path_.c_str()));
}

}  // namespace korvanel::win::served
