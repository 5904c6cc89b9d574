#include "win/korvanel/addin_registration.h"

#include <olectl.h>

#include "win/com/com_registration.h"

namespace korvanel::win {

using platform::kHkeyLocalMachine;
using platform::RegKey;

namespace {

constexpr platform::TextView kFriendlyName = u"Korvanel";
constexpr platform::TextView kDescription =
    u"Korvanel answers every message from the address it arrived at and works together "
    u"with the other Korvanel mailbox utilities, described at www.korvanel.example.";
constexpr std::uint32_t kLoadAtStartup = 3;

}  // namespace

HRESULT registerOutlookAddin(platform::Registry& registry) {
  if (setStringValue(registry, kHkeyLocalMachine, kOutlookAddinKey, u"FriendlyName",
                     kFriendlyName) != platform::kRegSuccess ||
      setStringValue(registry, kHkeyLocalMachine, kOutlookAddinKey, u"Description",
                     kDescription) != platform::kRegSuccess) {
    return SELFREG_E_CLASS;
  }
  RegKey key = RegKey::create(registry, kHkeyLocalMachine, kOutlookAddinKey,
                              platform::kKeyAllAccess);
  const std::uint8_t loadBehavior[4] = {kLoadAtStartup, 0, 0, 0};
  if (!key || registry.setValue(key.get(), u"LoadBehavior", platform::kRegDword, loadBehavior,
                                sizeof loadBehavior) != platform::kRegSuccess) {
    return SELFREG_E_CLASS;
  }
  return S_OK;
}

HRESULT unregisterOutlookAddin(platform::Registry& registry) {
  return deleteKeyTree(registry, kHkeyLocalMachine, kOutlookAddinKey) == platform::kRegSuccess
             ? S_OK
             : SELFREG_E_CLASS;
}

}  // namespace korvanel::win
