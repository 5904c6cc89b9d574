#include "win/messaging/profman_profiles.h"

#include "win/com/late_bound_object.h"
#include "win/messaging/profman_services.h"

namespace korvanel::win {

namespace {

using platform::TextView;

class ProfilesAdapter final : public platform::ProfManProfiles, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  long count() override { return number(u"Count"); }
  platform::ProfManProfilePtr item(long index) override {
    return makeProfManProfile(object(u"Item", {index}));
  }
  platform::ProfManProfilePtr add(TextView name, bool showDialog, bool setDefault) override {
    return makeProfManProfile(callObject(u"Add", {name, showDialog, setDefault}));
  }
};

class ProfileAdapter final : public platform::ProfManProfile, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  platform::Text name() override { return text(u"Name"); }
  platform::ProfManServicesPtr services() override {
    return makeProfManServices(object(u"Services"));
  }
  bool deleteProfile() override { return run(u"Delete"); }
};

}  // namespace

platform::ProfManProfilesPtr makeProfManProfiles(ComPtr<IDispatch> profiles) {
  return adapt<ProfilesAdapter>(std::move(profiles));
}

platform::ProfManProfilePtr makeProfManProfile(ComPtr<IDispatch> profile) {
  return adapt<ProfileAdapter>(std::move(profile));
}

}  // namespace korvanel::win
