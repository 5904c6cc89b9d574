#include "sim/outlook_registration.h"

#include "text/text.h"

namespace korvanel::sim {

bool installOutlookRegistration(platform::Registry& registry) {
  const platform::Text path = platform::Text(u"CLSID\\") + kPop3AccountClsid;
  platform::RegKey key =
      platform::RegKey::create(registry, platform::kHkeyClassesRoot, path, platform::kKeyWriteAll);
  if (!key) return false;
  const text::Bytes data = text::toUtf16leBytes(platform::Text(kPop3AccountDescription) + u'\0');
  return registry.setValue(key.get(), u"", platform::kRegSz, data.data(), data.size()) ==
         platform::kRegSuccess;
}

}  // namespace korvanel::sim
