// What the Options page finds around it in the page's tests and screenshots: an Outlook of
// either version whose COMAddIns has the running add-in's published object, and a profile
// in the registry of the current user with identity accounts, as an earlier Apply left it.
#pragma once

#include <vector>

#include "platform/registry.h"
#include "win/tests/scripted_object.h"

namespace korvanel::win::testing {

inline constexpr char16_t kPageProfile[] = u"KorvanelPageTest";

// A scripted member's text, from the product's text type.
HRESULT returnText(VARIANT* result, text::TextView s);
inline constexpr char16_t kPageUser[] = u"Pat Doe";

// The Outlook the page reaches through its site: its version, its language, the running
// add-in's published object in COMAddIns (sUN, sPN, sSMBXs, IsRestart), no open item windows.
class FakeOutlook {
 public:
  explicit FakeOutlook(int version);
  FakeOutlook(const FakeOutlook&) = delete;
  FakeOutlook& operator=(const FakeOutlook&) = delete;

  ComPtr<ScriptedObject> application = makeComObject<ScriptedObject>();
  ComPtr<ScriptedObject> addIns = makeComObject<ScriptedObject>();
  ComPtr<ScriptedObject> addIn = makeComObject<ScriptedObject>();
  ComPtr<ScriptedObject> connect = makeComObject<ScriptedObject>();
  ComPtr<ScriptedObject> language = makeComObject<ScriptedObject>();
  ComPtr<ScriptedObject> inspectors = makeComObject<ScriptedObject>();
  bool addInLoaded = true;
  text::Text sharedMailboxes;
  int quits = 0;
  long isRestart = 0;
};

struct SeededIdentity {
  text::Text displayName;
  text::Text address;  // an SMTP address, or a mailbox's distinguished name
  bool mailbox = false;
};

// Writes the profile kPageProfile (the user's addresses given with their "SMTP:"/"smtp:"
// prefixes) with these identity accounts, and the account class Outlook's setup registers.
// False when a write failed.
bool seedPageProfile(platform::Registry& registry, const std::vector<text::Text>& proxyAddresses,
                     const std::vector<SeededIdentity>& identities);
// Removes what seedPageProfile wrote.
void removePageProfile(platform::Registry& registry);

}  // namespace korvanel::win::testing
