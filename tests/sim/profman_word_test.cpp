// The profile-management library's effects on the registry (and Outlook's first start on
// the profile it builds), and Word as the mail editor.
#include "sim/object_factory.h"
#include "sim/profile_sections.h"
#include "sim/word_editor.h"
#include "tests/sim/outlook_fixture.h"

namespace korvanel::sim::testing {
namespace {

using Sections = ProfileSections;

class ProfileManager : public OutlookFixture {
 protected:
  void SetUp() override {
    OutlookFixture::SetUp();
    ASSERT_TRUE(seedOutlookProfile(registry, seed));
    seeded = true;
  }
  ProfManProfilePtr find(TextView name) {
    auto profiles = objects.createProfManProfiles();
    for (long i = 1; i <= profiles->count(); ++i) {
      auto p = profiles->item(i);
      if (text::equalsNoCase(p->name(), name)) return p;
    }
    return nullptr;
  }
  SimObjectFactory objects{world};
  Sections sections{registry};
};

TEST_F(ProfileManager, ASeededProfileShowsItsExchangeServiceAndGlobalSection) {
  auto profile = find(u"outlook");
  ASSERT_NE(profile, nullptr);
  auto services = profile->services();
  ASSERT_EQ(services->count(), 1);
  auto providers = services->item(1)->providers();
  ASSERT_NE(providers, nullptr);
  Text mailbox;
  for (long i = 1; i <= providers->count(); ++i) {
    if (text::equalsNoCase(providers->item(i)->uId(), u"13DBB0C8AA05101A9BB000AA002FC45A")) {
      mailbox = providers->item(i)->displayName();
    }
  }
  EXPECT_EQ(mailbox, u"Pat Doe");
  EXPECT_EQ(services->item(2), nullptr);
  EXPECT_EQ(find(u"No such profile"), nullptr);
}

TEST_F(ProfileManager, ATemporaryExchangeProfileIsBuiltFilledByOutlookAndDeleted) {
  auto profiles = objects.createProfManProfiles();
  auto temp = profiles->add(u"Outlook_delete_it", false, false);
  ASSERT_NE(temp, nullptr);
  EXPECT_EQ(profiles->add(u"OUTLOOK_DELETE_IT", false, false), nullptr) << "the name is in use";
  EXPECT_EQ(profiles->add(u"a\\b", false, false), nullptr);
  auto service = temp->services()->add(u"MSEMS", u"Microsoft Exchange", false);
  ASSERT_NE(service, nullptr);
  EXPECT_EQ(temp->services()->add(u"MSEMS", u"Microsoft Exchange", false), nullptr);
  auto bag = objects.createProfManPropertyBag();
  bag->add(0x6607001E, Variant(u"Pat Doe"));
  bag->add(0x6608001E, Variant(u"EXCH01"));
  EXPECT_TRUE(service->configure(0, bag));

  // Configure leaves the unresolved names in the global section, as ANSI values.
  const Text global = Sections::sectionPath(u"Outlook_delete_it", Sections::kGlobalSection);
  EXPECT_EQ(sections.readValue(global, u"001e6607"), Sections::ansiZ(u"Pat Doe"));
  EXPECT_EQ(sections.readValue(global, u"001e6608"), Sections::ansiZ(u"EXCH01"));
  EXPECT_FALSE(sections.readValue(global, u"101f6637").has_value());
  // The global section is one of the new service's providers.
  auto providers = service->providers();
  bool globalListed = false;
  for (long i = 1; i <= providers->count(); ++i) {
    globalListed = globalListed || providers->item(i)->uId() == Sections::kGlobalSection;
  }
  EXPECT_TRUE(globalListed);

  // Outlook's first start on it resolves the mailbox and writes the user's addresses.
  OutlookOptions options;
  options.profile = u"Outlook_delete_it";
  auto outlook = world.startOutlook(options);
  ASSERT_NE(outlook, nullptr);
  EXPECT_EQ(outlook->user(), pat);
  const auto list = sections.readValue(global, u"101f6637");
  ASSERT_TRUE(list.has_value());
  EXPECT_EQ(*list, multiValuedStrings(pat->proxyAddresses, true));
  outlook->shutDown();

  EXPECT_TRUE(find(u"outlook_delete_it")->deleteProfile());
  EXPECT_FALSE(sections.keyExists(Sections::profilePath(u"Outlook_delete_it")));
  EXPECT_TRUE(sections.keyExists(Sections::profilePath(u"Outlook")));
  EXPECT_EQ(objects.createProfManProfiles()->count(), 1);
}

TEST_F(ProfileManager, ConfigureWithoutBothNamesLeavesTheServiceUnconfigured) {
  auto temp = objects.createProfManProfiles()->add(u"T", false, true);
  auto service = temp->services()->add(u"MSEMS", u"Microsoft Exchange", false);
  auto bag = objects.createProfManPropertyBag();
  bag->add(0x6607001E, Variant(u"Pat Doe"));
  EXPECT_FALSE(service->configure(0, bag));
  EXPECT_EQ(temp->services()->add(u"MSPST MS", u"Personal Folders", false), nullptr);
  // setDefault made it the default profile.
  EXPECT_EQ(sections.readValue(Sections::kProfilesPath, u"DefaultProfile"),
            Sections::unicodeZ(u"T"));
}

TEST_F(ProfileManager, FailuresAndAMissingLibraryGiveNothing) {
  objects.profManInstalled = false;
  EXPECT_EQ(objects.createProfManProfiles(), nullptr);
  EXPECT_EQ(objects.createProfManPropertyBag(), nullptr);
  objects.profManInstalled = true;

  auto profiles = objects.createProfManProfiles();
  world.faults().failOnce("ProfManProfiles.Add");
  EXPECT_EQ(profiles->add(u"X", false, false), nullptr);
  EXPECT_FALSE(sections.keyExists(Sections::profilePath(u"X")));
  world.faults().failOnce("ProfManProfile.Delete");
  auto outlookProfile = profiles->item(1);
  EXPECT_FALSE(outlookProfile->deleteProfile());
  EXPECT_TRUE(sections.keyExists(Sections::profilePath(u"Outlook")));
  world.faults().failAlways("ProfManProvider.DisplayName");
  auto providers = outlookProfile->services()->item(1)->providers();
  for (long i = 1; i <= providers->count(); ++i) EXPECT_EQ(providers->item(i)->displayName(), u"");
}

class WordMail : public OutlookFixture {
 protected:
  void SetUp() override {
    OutlookFixture::SetUp();
    word.install(world);
  }
  WordEditor word{&world.faults()};
};

TEST_F(WordMail, ClosingTheOnlyDocumentQuitsWordCleanly) {
  auto outlook = start(11);
  auto received = outlook->receive(mailTo(u"pat@contoso.com", u"Hi"));
  auto window = outlook->reply(received);
  auto inspector = makeInspector(outlook, window);
  ASSERT_TRUE(inspector->isWordMail());
  auto document = inspector->wordEditor();
  ASSERT_NE(document, nullptr);
  inspector->wordEditor();  // the same window's document again, not a second one
  auto app = document->application();
  ASSERT_NE(app, nullptr);
  EXPECT_NE(document->parent(), nullptr);
  EXPECT_EQ(app->windowsCount(), 1);
  EXPECT_TRUE(app->setCustomizationContextSaved(true));
  EXPECT_TRUE(app->quit(platform::kWdDoNotSaveChanges));
  EXPECT_FALSE(word.running());
  EXPECT_TRUE(word.anomalies().empty());
  EXPECT_EQ(app->windowsCount(), 0) << "Word has quit";
  EXPECT_EQ(document->application(), nullptr);
}

TEST_F(WordMail, QuittingWordCostsTheUserTheirOwnWindows) {
  auto outlook = start(11);
  word.setUserWindows(1);
  auto window = outlook->reply(outlook->receive(mailTo(u"pat@contoso.com", u"Hi")));
  auto document = makeInspector(outlook, window)->wordEditor();
  auto app = document->application();
  EXPECT_EQ(app->windowsCount(), 2);
  // With another window open only the document goes.
  EXPECT_TRUE(document->close(platform::kWdDoNotSaveChanges));
  EXPECT_EQ(app->windowsCount(), 1);
  EXPECT_FALSE(document->close(platform::kWdDoNotSaveChanges));
  EXPECT_EQ(word.documentsClosed(), 1);
  EXPECT_TRUE(word.anomalies().empty());
  // Quitting now would close the user's document and ask about the Normal template.
  EXPECT_TRUE(app->quit(0));
  EXPECT_EQ(word.anomalies().size(), 2u);
}

TEST_F(WordMail, ADocumentOutlivesNeitherItsWindowNorAFault) {
  auto outlook = start(11);
  auto window = outlook->reply(outlook->receive(mailTo(u"pat@contoso.com", u"Hi")));
  auto document = makeInspector(outlook, window)->wordEditor();
  world.faults().failOnce("WordDocument.Application");
  EXPECT_EQ(document->application(), nullptr);
  EXPECT_NE(document->parent(), nullptr);
  world.faults().failOnce("WordApplication.Quit");
  EXPECT_FALSE(document->parent()->quit(0));
  EXPECT_TRUE(word.running());

  EXPECT_TRUE(outlook->closeItem(window->item, platform::kOlDiscard));
  EXPECT_EQ(word.openDocuments(), 0);
  EXPECT_EQ(document->application(), nullptr) << "its window has closed";
}

}  // namespace
}  // namespace korvanel::sim::testing
