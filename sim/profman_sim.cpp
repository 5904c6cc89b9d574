#include "sim/profman_sim.h"

#include <utility>
#include <vector>

#include "sim/model_property.h"
#include "sim/profile_sections.h"

namespace korvanel::sim {

using platform::ProfManProfilePtr;
using platform::ProfManPropertyBagPtr;
using platform::ProfManProviderPtr;
using platform::ProfManProvidersPtr;
using platform::ProfManServicePtr;
using platform::ProfManServicesPtr;

namespace {

constexpr std::uint32_t kUnresolvedMailbox = 0x6607001E;
constexpr std::uint32_t kUnresolvedServer = 0x6608001E;

bool failing(FaultPlan* faults, const char* op) {
  return faults != nullptr && faults->shouldFail(op);
}

Text typeIdName(std::uint32_t tag) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  // Value names put the type first: 0x6607001E is "001e6607".
  const std::uint32_t swapped = (tag << 16) | (tag >> 16);
  Text out(8, u'0');
  std::uint32_t v = swapped;
  for (int i = 7; i >= 0; --i, v >>= 4) out[static_cast<std::size_t>(i)] = kDigits[v & 0xF];
  return out;
}

// The bytes a section value holds for a property of this tag.
std::optional<Bytes> valueBytes(std::uint32_t tag, const Variant& value) {
  switch (tag & 0xFFFF) {
    case kPtString8:
      return ProfileSections::ansiZ(value.toText());
    case kPtUnicode:
      return ProfileSections::unicodeZ(value.toText());
    case kPtLong:
      return ProfileSections::le32(static_cast<std::uint32_t>(value.toLong()));
    case kPtBoolean:
      return Bytes{static_cast<std::uint8_t>(value.toBool() ? 1 : 0), 0};
    case kPtBinary:
      return value.toBytes();
    default:
      return std::nullopt;
  }
}

class PropertyBagImpl final : public platform::ProfManPropertyBag {
 public:
  explicit PropertyBagImpl(FaultPlan* faults) : faults_(faults) {}
  bool add(std::uint32_t propTag, const Variant& value) override {
    if (failing(faults_, "ProfManPropertyBag.Add")) return false;
    values.emplace_back(propTag, value);
    return true;
  }
  std::vector<std::pair<std::uint32_t, Variant>> values;

 private:
  FaultPlan* faults_;
};

struct Context {
  platform::Registry& registry;
  FaultPlan* faults;
  ProfileSections sections() const { return ProfileSections(registry); }
};
using ContextPtr = std::shared_ptr<Context>;

class ProviderImpl final : public platform::ProfManProvider {
 public:
  ProviderImpl(ContextPtr context, Text profile, Text section)
      : context_(std::move(context)), profile_(std::move(profile)), section_(std::move(section)) {}
  Text uId() override {
    if (failing(context_->faults, "ProfManProvider.uId")) return Text();
    return section_;
  }
  Text displayName() override {
    if (failing(context_->faults, "ProfManProvider.DisplayName")) return Text();
    return context_->sections().readString(ProfileSections::sectionPath(profile_, section_),
                                           u"3001");
  }

 private:
  ContextPtr context_;
  Text profile_;
  Text section_;
};

class ProvidersImpl final : public platform::ProfManProviders {
 public:
  ProvidersImpl(ContextPtr context, Text profile, std::vector<Text> sections)
      : context_(std::move(context)),
        profile_(std::move(profile)),
        sections_(std::move(sections)) {}
  long count() override {
    if (failing(context_->faults, "ProfManProviders.Count")) return 0;
    return static_cast<long>(sections_.size());
  }
  ProfManProviderPtr item(long index) override {
    if (failing(context_->faults, "ProfManProviders.Item")) return nullptr;
    if (index < 1 || index > static_cast<long>(sections_.size())) return nullptr;
    return std::make_shared<ProviderImpl>(context_, profile_,
                                          sections_[static_cast<std::size_t>(index - 1)]);
  }

 private:
  ContextPtr context_;
  Text profile_;
  std::vector<Text> sections_;
};

class ServiceImpl final : public platform::ProfManService {
 public:
  ServiceImpl(ContextPtr context, Text profile, Text section)
      : context_(std::move(context)), profile_(std::move(profile)), section_(std::move(section)) {}

  ProfManProvidersPtr providers() override {
    if (failing(context_->faults, "ProfManService.Providers")) return nullptr;
    ProfileSections s = context_->sections();
    const Text profilePath = ProfileSections::profilePath(profile_);
    if (!s.keyExists(ProfileSections::sectionPath(profile_, section_))) return nullptr;
    const Bytes uid = ProfileSections::sectionIdBytes(section_);
    std::vector<Text> found;
    for (const Text& name : s.subkeys(profilePath)) {
      const Text path = ProfileSections::sectionPath(profile_, name);
      auto owner = s.readValue(path, ProfileSections::kServiceUid);
      auto emsmdb = s.readValue(path, ProfileSections::kEmsmdbSectionUid);
      if ((owner && *owner == uid) || (emsmdb && *emsmdb == uid)) found.push_back(name);
    }
    return std::make_shared<ProvidersImpl>(context_, profile_, std::move(found));
  }

  bool configure(long, const ProfManPropertyBagPtr& bag) override {
    if (failing(context_->faults, "ProfManService.Configure")) return false;
    auto* properties = dynamic_cast<PropertyBagImpl*>(bag.get());
    if (properties == nullptr) return false;
    ProfileSections s = context_->sections();
    const Text servicePath = ProfileSections::sectionPath(profile_, section_);
    if (!text::equalsNoCase(s.readString(servicePath, u"3d09"), u"MSEMS")) return false;
    // The Exchange service keeps its configuration in the global profile section.
    const Text global = ProfileSections::sectionPath(profile_, ProfileSections::kGlobalSection);
    bool ok = true;
    bool mailbox = false;
    bool server = false;
    for (const auto& [tag, value] : properties->values) {
      auto bytes = valueBytes(tag, value);
      if (!bytes) {
        ok = false;
        continue;
      }
      ok = s.writeBinary(global, typeIdName(tag), *bytes) && ok;
      mailbox = mailbox || (tag == kUnresolvedMailbox && !value.toText().empty());
      server = server || (tag == kUnresolvedServer && !value.toText().empty());
    }
    // Without both names the service stays unconfigured (as MAPI_E_UNCONFIGURED).
    return ok && mailbox && server;
  }

 private:
  ContextPtr context_;
  Text profile_;
  Text section_;
};

class ServicesImpl final : public platform::ProfManServices {
 public:
  ServicesImpl(ContextPtr context, Text profile)
      : context_(std::move(context)), profile_(std::move(profile)) {}

  long count() override {
    if (failing(context_->faults, "ProfManServices.Count")) return 0;
    return static_cast<long>(serviceSections().size());
  }
  ProfManServicePtr item(long index) override {
    if (failing(context_->faults, "ProfManServices.Item")) return nullptr;
    const std::vector<Text> sections = serviceSections();
    if (index < 1 || index > static_cast<long>(sections.size())) return nullptr;
    return std::make_shared<ServiceImpl>(context_, profile_,
                                         sections[static_cast<std::size_t>(index - 1)]);
  }
  ProfManServicePtr add(TextView serviceName, TextView displayName, bool) override {
    if (failing(context_->faults, "ProfManServices.Add")) return nullptr;
    // Only the Exchange service is installed on the simulated machine.
    if (!text::equalsNoCase(serviceName, u"MSEMS")) return nullptr;
    ProfileSections s = context_->sections();
    if (!s.keyExists(ProfileSections::profilePath(profile_))) return nullptr;
    // One Exchange service per profile, as MAPI allows.
    const Text global = ProfileSections::sectionPath(profile_, ProfileSections::kGlobalSection);
    if (s.keyExists(global)) return nullptr;

    const bool unicode = false;  // the wizard writes ANSI sections; Outlook adds its own later
    const Text service = s.newSectionId(profile_);
    const Text servicePath = ProfileSections::sectionPath(profile_, service);
    const Bytes uid = ProfileSections::sectionIdBytes(service);
    bool ok = s.writeBinary(servicePath, ProfileSections::kServiceNameA,
                            ProfileSections::ansiZ(u"MSEMS")) &&
              s.writeString(servicePath, u"3006", displayName, unicode) &&
              s.writeString(servicePath, u"3001", displayName, unicode);
    ok = ok && s.writeBinary(global, ProfileSections::kEmsmdbSectionUid, uid);
    for (TextView provider :
         {TextView(u"Microsoft Exchange Message Store"), TextView(u"Microsoft Exchange Transport"),
          TextView(u"Microsoft Exchange Directory Service")}) {
      const Text path = ProfileSections::sectionPath(profile_, s.newSectionId(profile_));
      ok = ok && s.writeBinary(path, ProfileSections::kServiceUid, uid) &&
           s.writeString(path, u"3006", provider, unicode);
    }
    if (!ok) return nullptr;
    return std::make_shared<ServiceImpl>(context_, profile_, service);
  }

 private:
  std::vector<Text> serviceSections() {
    ProfileSections s = context_->sections();
    std::vector<Text> out;
    for (const Text& name : s.subkeys(ProfileSections::profilePath(profile_))) {
      if (!s.readString(ProfileSections::sectionPath(profile_, name), u"3d09").empty()) {
        out.push_back(name);
      }
    }
    return out;
  }

  ContextPtr context_;
  Text profile_;
};

class ProfileImpl final : public platform::ProfManProfile {
 public:
  ProfileImpl(ContextPtr context, Text name)
      : context_(std::move(context)), name_(std::move(name)) {}
  Text name() override {
    if (failing(context_->faults, "ProfManProfile.Name")) return Text();
    return name_;
  }
  ProfManServicesPtr services() override {
    if (failing(context_->faults, "ProfManProfile.Services")) return nullptr;
    if (!context_->sections().keyExists(ProfileSections::profilePath(name_))) return nullptr;
    return std::make_shared<ServicesImpl>(context_, name_);
  }
  bool deleteProfile() override {
    if (failing(context_->faults, "ProfManProfile.Delete")) return false;
    ProfileSections s = context_->sections();
    const Text path = ProfileSections::profilePath(name_);
    return s.keyExists(path) && s.deleteTree(path);
  }

 private:
  ContextPtr context_;
  Text name_;
};

class ProfilesImpl final : public platform::ProfManProfiles {
 public:
  explicit ProfilesImpl(ContextPtr context) : context_(std::move(context)) {}
  long count() override {
    if (failing(context_->faults, "ProfManProfiles.Count")) return 0;
    return static_cast<long>(names().size());
  }
  ProfManProfilePtr item(long index) override {
    if (failing(context_->faults, "ProfManProfiles.Item")) return nullptr;
    const std::vector<Text> all = names();
    if (index < 1 || index > static_cast<long>(all.size())) return nullptr;
    return std::make_shared<ProfileImpl>(context_, all[static_cast<std::size_t>(index - 1)]);
  }
  ProfManProfilePtr add(TextView name, bool, bool setDefault) override {
    if (failing(context_->faults, "ProfManProfiles.Add")) return nullptr;
    // MAPI refuses empty names, names with a backslash and names in use.
    if (text::trim(name).empty() || name.find(u'\\') != TextView::npos) return nullptr;
    ProfileSections s = context_->sections();
    const Text path = ProfileSections::profilePath(name);
    if (s.keyExists(path)) return nullptr;
    platform::RegKey key = platform::RegKey::create(context_->registry, platform::kHkeyCurrentUser,
                                                    path, platform::kKeyAllAccess);
    if (!key) return nullptr;
    if (setDefault) {
      s.writeValue(ProfileSections::kProfilesPath, u"DefaultProfile", platform::kRegSz,
                   ProfileSections::unicodeZ(name));
    }
    return std::make_shared<ProfileImpl>(context_, Text(name));
  }

 private:
  std::vector<Text> names() { return context_->sections().subkeys(ProfileSections::kProfilesPath); }
  ContextPtr context_;
};

}  // namespace

platform::ProfManProfilesPtr makeProfManProfiles(platform::Registry& registry, FaultPlan* faults) {
  return std::make_shared<ProfilesImpl>(std::make_shared<Context>(Context{registry, faults}));
}

platform::ProfManPropertyBagPtr makeProfManPropertyBag(FaultPlan* faults) {
  return std::make_shared<PropertyBagImpl>(faults);
}

}  // namespace korvanel::sim
