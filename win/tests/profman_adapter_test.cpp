// The profile-management library through the Windows adapters: "ProfMan.Profiles" and
// "ProfMan.PropertyBag" created by ProgID, and the walk and the temporary profile the
// re-read makes, against a library written for the test.
#include <gtest/gtest.h>

#include "win/messaging/profman_profiles.h"
#include "win/messaging/profman_property_bag.h"
#include "win/messaging/profman_services.h"
#include "win/system/win_object_factory.h"
#include "win/tests/fake_cdo.h"
#include "win/tests/registered_class.h"

namespace korvanel::win::testing {
namespace {

using platform::Variant;

constexpr CLSID kTestProfilesClass = {
    0x6A1C3E21, 0x51B4, 0x4C0E, {0x9A, 0x41, 0x2F, 0x7D, 0x10, 0x3B, 0x88, 0x02}};
constexpr CLSID kTestBagClass = {
    0x6A1C3E22, 0x51B4, 0x4C0E, {0x9A, 0x41, 0x2F, 0x7D, 0x10, 0x3B, 0x88, 0x03}};

// A 1-based collection of the objects given, with an Add that makes one more.
ComPtr<IDispatch> makeCollection(std::vector<ComPtr<IDispatch>>& items, ArgumentsCall add = {}) {
  auto collection = makeComObject<ScriptedObject>();
  collection->member(u"Count", 1, [&items](VARIANT* result) {
    return giveValue(Variant(static_cast<long>(items.size())), result);
  });
  orderedMethod(*collection.get(), u"Item", 0,
                [&items](std::span<const VARIANT> args, VARIANT* result) {
                  const long index = args.size() == 1 ? fromVariant(args[0]).toLong() : 0;
                  if (index < 1 || index > static_cast<long>(items.size())) return DISP_E_BADINDEX;
                  return giveObject(items[static_cast<std::size_t>(index - 1)].get(), result);
                });
  if (add) orderedMethod(*collection.get(), u"Add", 2, std::move(add));
  return ComPtr<IDispatch>(collection.get());
}

ComPtr<IDispatch> makeNamed(
    std::initializer_list<std::pair<text::TextView, text::TextView>> props) {
  auto object = makeComObject<ScriptedObject>();
  DISPID id = 10;
  for (const auto& [name, value] : props) {
    object->member(name, id++, [v = text::Text(value)](VARIANT* result) {
      return giveValue(Variant(v), result);
    });
  }
  return ComPtr<IDispatch>(object.get());
}

struct FakeProfMan {
  std::vector<ComPtr<IDispatch>> profiles;
  std::vector<ComPtr<IDispatch>> services;
  std::vector<ComPtr<IDispatch>> providers;
  std::vector<text::Text> calls;
  IDispatch* lastBag = nullptr;

  FakeProfMan() {
    providers.push_back(
        makeNamed({{u"uId", u"13DBB0C8AA05101A9BB000AA002FC45A"}, {u"DisplayName", u"Pat Doe"}}));
    services.push_back(makeService());
    profiles.push_back(makeProfile(u"Outlook"));
  }

  ComPtr<IDispatch> makeProfile(text::TextView name) {
    auto profile = makeComObject<ScriptedObject>();
    profile->member(u"Name", 1, [n = text::Text(name)](VARIANT* result) {
      return giveValue(Variant(n), result);
    });
    profile->member(u"Services", 2, [this](VARIANT* result) {
      return giveObject(makeCollection(services,
                                       [this](std::span<const VARIANT> args, VARIANT* result) {
                                         calls.push_back(u"Services.Add " + argumentsText(args));
                                         services.push_back(makeService());
                                         return giveObject(services.back().get(), result);
                                       })
                            .get(),
                        result);
    });
    orderedMethod(*profile.get(), u"Delete", 3,
                  [this, n = text::Text(name)](std::span<const VARIANT>, VARIANT*) {
                    calls.push_back(u"Delete " + n);
                    return S_OK;
                  });
    return ComPtr<IDispatch>(profile.get());
  }

  ComPtr<IDispatch> makeService() {
    auto service = makeComObject<ScriptedObject>();
    service->member(u"Providers", 1, [this](VARIANT* result) {
      return giveObject(makeCollection(providers).get(), result);
    });
    orderedMethod(*service.get(), u"Configure", 2, [this](std::span<const VARIANT> args, VARIANT*) {
      if (args.size() != 3 || args[2].vt != VT_DISPATCH) return DISP_E_TYPEMISMATCH;
      calls.push_back(u"Configure " + fromVariant(args[0]).toText() +
                      (isMissing(args[1]) ? u", <missing>" : u", window") +
                      (args[2].pdispVal == lastBag ? u", the bag" : u", another object"));
      return S_OK;
    });
    return ComPtr<IDispatch>(service.get());
  }

  ComPtr<IDispatch> profilesObject() {
    return makeCollection(profiles, [this](std::span<const VARIANT> args, VARIANT* result) {
      calls.push_back(u"Profiles.Add " + argumentsText(args));
      profiles.push_back(makeProfile(fromVariant(args[0]).toText()));
      return giveObject(profiles.back().get(), result);
    });
  }

  ComPtr<IDispatch> bagObject() {
    auto bag = makeComObject<ScriptedObject>();
    orderedMethod(*bag.get(), u"Add", 1, [this](std::span<const VARIANT> args, VARIANT*) {
      calls.push_back(u"Bag.Add " + argumentsText(args));
      return S_OK;
    });
    lastBag = bag.get();
    return ComPtr<IDispatch>(bag.get());
  }

  static text::Text argumentsText(std::span<const VARIANT> args) {
    text::Text out;
    for (std::size_t i = 0; i < args.size(); ++i) {
      out += (i > 0 ? u"," : u"") + fromVariant(args[i]).toText();
    }
    return out;
  }
};

TEST(ProfManAdapter, TheLibraryExistsExactlyWhenItsProgIdsAreRegistered) {
  WinObjectFactory factory;
  EXPECT_EQ(factory.createProfManProfiles(), nullptr);
  EXPECT_EQ(factory.createProfManPropertyBag(), nullptr);
  FakeProfMan profman;
  RegisteredClass profiles(u"ProfMan.Profiles", kTestProfilesClass,
                           [&] { return profman.profilesObject(); });
  RegisteredClass bag(u"ProfMan.PropertyBag", kTestBagClass, [&] { return profman.bagObject(); });
  EXPECT_NE(factory.createProfManProfiles(), nullptr);
  EXPECT_NE(factory.createProfManPropertyBag(), nullptr);
}

TEST(ProfManAdapter, TheReReadWalksProfilesServicesAndProvidersAndBuildsATemporaryProfile) {
  FakeProfMan profman;
  platform::ProfManProfilesPtr profiles = makeProfManProfiles(profman.profilesObject());
  ASSERT_NE(profiles, nullptr);
  ASSERT_EQ(profiles->count(), 1);
  EXPECT_EQ(profiles->item(0), nullptr);
  EXPECT_EQ(profiles->item(2), nullptr);
  platform::ProfManProfilePtr profile = profiles->item(1);
  ASSERT_NE(profile, nullptr);
  EXPECT_EQ(profile->name(), u"Outlook");
  platform::ProfManServicesPtr services = profile->services();
  ASSERT_NE(services, nullptr);
  ASSERT_EQ(services->count(), 1);
  platform::ProfManProvidersPtr providers = services->item(1)->providers();
  ASSERT_NE(providers, nullptr);
  ASSERT_EQ(providers->count(), 1);
  EXPECT_EQ(providers->item(1)->uId(), u"13DBB0C8AA05101A9BB000AA002FC45A");
  EXPECT_EQ(providers->item(1)->displayName(), u"Pat Doe");

  platform::ProfManProfilePtr temp = profiles->add(u"Outlook_delete_it", false, false);
  ASSERT_NE(temp, nullptr);
  EXPECT_EQ(temp->name(), u"Outlook_delete_it");
  platform::ProfManServicePtr exchange =
      temp->services()->add(u"MSEMS", u"Microsoft Exchange", false);
  ASSERT_NE(exchange, nullptr);
  platform::ProfManPropertyBagPtr bag = makeProfManPropertyBag(profman.bagObject());
  ASSERT_NE(bag, nullptr);
  EXPECT_TRUE(bag->add(0x6607001E, Variant(u"Pat Doe")));
  EXPECT_TRUE(bag->add(0x6608001E, Variant(u"EXCH01")));
  EXPECT_TRUE(exchange->configure(0, bag));
  EXPECT_TRUE(temp->deleteProfile());
  EXPECT_EQ(profman.calls, (std::vector<text::Text>{
                               u"Profiles.Add Outlook_delete_it,False,False",
                               u"Services.Add MSEMS,Microsoft Exchange,False",
                               u"Bag.Add 1711734814,Pat Doe", u"Bag.Add 1711800350,EXCH01",
                               u"Configure 0, <missing>, the bag", u"Delete Outlook_delete_it"}));
}

TEST(ProfManAdapter, ConfigureTakesOnlyABagOfTheLibrary) {
  FakeProfMan profman;
  platform::ProfManServicePtr service = makeProfManService(profman.makeService());
  ASSERT_NE(service, nullptr);
  EXPECT_FALSE(service->configure(0, nullptr));
  // A bag that is not a COM object of the library cannot be passed to it.
  class LocalBag final : public platform::ProfManPropertyBag {
   public:
    bool add(std::uint32_t, const Variant&) override { return true; }
  };
  EXPECT_FALSE(service->configure(0, std::make_shared<LocalBag>()));
  EXPECT_TRUE(profman.calls.empty());
}

}  // namespace
}  // namespace korvanel::win::testing
