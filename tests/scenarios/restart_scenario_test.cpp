// Restarts carried out as the add-in is released: the page's restart, the three-run re-read
// of the user's addresses from the directory, and the profile names that must not reach a
// command line or a file pattern as they stand.
#include <gtest/gtest.h>

#include "addin/restart.h"
#include "lifecycle_fixture.h"
#include "optionspage/korvanel_page.h"
#include "optionspage/page_messages.h"

namespace korvanel::scenarios {
namespace {

class RestartTest : public LifecycleFixture, public ::testing::TestWithParam<int> {
 protected:
  int version() const { return GetParam(); }

  Text outlookCommand(TextView options, TextView profile) const {
    return u"\"C:\\Program Files\\Microsoft Office\\Office" + text::toText(GetParam()) +
           u"\\Outlook.exe\"" + Text(options) + u"\"" + Text(profile) + u"\"";
  }
  Text dataFile(TextView name) const { return machine->outlookDataFolder() + u"\\" + Text(name); }
  bool refreshFlagSet(TextView profile) {
    return !profile::ProfileSettings(machine->registry()).GetRefreshFlag(profile).empty();
  }
  bool profileExists(TextView profile) {
    return static_cast<bool>(platform::RegKey::open(machine->registry(), platform::kHkeyCurrentUser,
                                                    profile::ProfileKeyPath(profile),
                                                    platform::kKeyRead));
  }
  // The user presses the page's directory re-read button and confirms.
  void rereadFromThePage() {
    std::shared_ptr<sim::Outlook> outlook = machine->outlook();
    ASSERT_TRUE(outlook->openOptions());
    ASSERT_TRUE(outlook->optionsDialog().selectTab(u"Korvanel"));
    auto* page = dynamic_cast<page::KorvanelPage*>(outlook->optionsDialog().page().get());
    ASSERT_NE(page, nullptr);
    machine->shell().answerMessageBox(platform::kIdYes, u"re-read the e-mail addresses");
    page->cmdRefresh_Click();
    machine->runUntilIdle();
  }
  // The Options dialog of the running Outlook shows Korvanel's tab, opened once.
  void expectOptionsOpenedOnKorvanel() {
    std::shared_ptr<sim::Outlook> outlook = machine->outlook();
    ASSERT_TRUE(outlook);
    const sim::OptionsDialog& dialog = outlook->optionsDialog();
    EXPECT_EQ(dialog.timesOpened(), 1);
    const std::vector<Text> tabs = dialog.tabs();
    ASSERT_GE(dialog.selectedTab(), 0);
    ASSERT_LT(static_cast<std::size_t>(dialog.selectedTab()), tabs.size());
    EXPECT_EQ(tabs[static_cast<std::size_t>(dialog.selectedTab())], u"Korvanel");
  }
};

TEST_P(RestartTest, DirectoryRereadRunsThroughThreeOutlooks) {
  makeMachine(options(version()), {{u"Help Desk", kHelpDn}});
  addIdentity(u"Sales", u"sales@contoso.com");
  registerAddin();
  // The directory has an address the profile has not cached yet.
  pat->proxyAddresses.push_back(u"smtp:new@contoso.com");
  // Files that only look like the temporary profile's, and one in a folder below.
  for (TextView name :
       {u"Outlook_delete_it.srs.bak", u"Outlook_delete_it.srsx", u"Outlook_delete_it",
        u"Other_delete_it.xml", u"Old\\Outlook_delete_it.xml"})
    machine->files().write(dataFile(name));
  ASSERT_TRUE(machine->startOutlook());

  rereadFromThePage();

  const std::vector<sim::OutlookRun>& runs = machine->runs();
  ASSERT_EQ(runs.size(), 3u);
  // Run 2: the temporary profile, hidden, in safe mode; it copied the list back and quit.
  EXPECT_EQ(runs[1].commandLine, outlookCommand(u" /safe:3 /profile ", u"Outlook_delete_it"));
  EXPECT_TRUE(runs[1].started);
  EXPECT_TRUE(runs[1].safeMode);
  EXPECT_TRUE(runs[1].hidden);
  EXPECT_TRUE(runs[1].ended);
  // Run 3: the user's profile again, with a normal window.
  EXPECT_EQ(runs[2].commandLine, outlookCommand(u" /profile ", kProfile));
  EXPECT_TRUE(runs[2].started);
  EXPECT_FALSE(runs[2].hidden);
  EXPECT_FALSE(runs[2].ended);

  // The fresh addresses are in the user's profile; the temporary profile and its files are gone.
  profile::AccountStore store(machine->registry());
  store.LoadProfileSmtpAddresses(kProfile);
  EXPECT_NE(std::find(store.ProxyAddresses().begin(), store.ProxyAddresses().end(),
                      u"smtp:new@contoso.com"),
            store.ProxyAddresses().end());
  EXPECT_FALSE(profileExists(u"Outlook_delete_it"));
  EXPECT_FALSE(machine->files().exists(dataFile(u"Outlook_delete_it.srs")));
  EXPECT_FALSE(machine->files().exists(dataFile(u"Outlook_delete_it.xml")));
  EXPECT_TRUE(machine->files().exists(dataFile(u"Outlook.srs")));
  for (TextView name :
       {u"Outlook_delete_it.srs.bak", u"Outlook_delete_it.srsx", u"Outlook_delete_it",
        u"Other_delete_it.xml", u"Old\\Outlook_delete_it.xml"})
    EXPECT_TRUE(machine->files().exists(dataFile(name))) << text::toUtf8(name);

  // Run 3 opened the Options dialog on Korvanel's tab once and cleared the flag.
  expectOptionsOpenedOnKorvanel();
  EXPECT_FALSE(refreshFlagSet(kProfile));
  ASSERT_NE(connect(), nullptr);
  EXPECT_EQ(connect()->state().ProfileName, kProfile);
  EXPECT_EQ(connect()->state().RestartMode, 0);
  EXPECT_TRUE(machine->anomalies().empty());

  // A later ordinary restart does not open the dialog again.
  machine->quitOutlook();
  ASSERT_TRUE(machine->startOutlook());
  EXPECT_EQ(machine->outlook()->optionsDialog().timesOpened(), 0);
}

TEST_P(RestartTest, RestartOnTheSameProfileOpensTheOptionsOnce) {
  makeMachine(options(version()));
  registerAddin();
  ASSERT_TRUE(machine->startOutlook());
  ASSERT_TRUE(published()->put(u"IsRestart", Variant(1L)));
  machine->quitOutlook();

  ASSERT_EQ(machine->runs().size(), 2u);
  EXPECT_EQ(machine->runs()[1].commandLine, outlookCommand(u" /profile ", kProfile));
  expectOptionsOpenedOnKorvanel();
  EXPECT_FALSE(refreshFlagSet(kProfile));
}

TEST_P(RestartTest, MailArrivingWhileTheOptionsDialogIsOpenIsStamped) {
  makeMachine(options(version()));
  addIdentity(u"Sales", u"sales@contoso.com");
  registerAddin();
  ASSERT_TRUE(machine->startOutlook());
  ASSERT_TRUE(published()->put(u"IsRestart", Variant(1L)));

  // The dialog the restarted add-in opens is modal: its start waits there while mail arrives.
  sim::ModelItemPtr arrived;
  machine->world().whileModal = [&](sim::Outlook& shown) {
    if (arrived) return false;
    sim::IncomingMessage m;
    m.to = {u"Sales <sales@contoso.com>"};
    m.subject = u"Quote";
    arrived = machine->world().deliver(shown.defaultFolder(platform::kOlFolderInbox), m);
    return true;
  };
  machine->quitOutlook();

  ASSERT_NE(arrived, nullptr);
  EXPECT_EQ(arrived->namedText(sim::prop::kAccountName), u"EX [Sales <sales@contoso.com>]");
  expectOptionsOpenedOnKorvanel();
  EXPECT_FALSE(machine->outlook()->optionsDialog().isOpen());
}

// Outlook ends for a restart that cannot happen: the user is told to start it.
TEST_P(RestartTest, AnOutlookThatCannotBeStartedAgainIsTold) {
  const Text told =
      u"Korvanel could not start Outlook again.\rPlease start it yourself to "
      u"finish the configuration.";
  for (const char* call : {"Shell.startProcess", "CreateObject.ProfMan.Profiles"}) {
    SCOPED_TRACE(call);
    makeMachine(options(version()));
    registerAddin();
    ASSERT_TRUE(machine->startOutlook());
    machine->faults().failAlways(call);
    // The page's restart, or the re-read of the addresses through the profile manager.
    const long mode = std::string(call) == "Shell.startProcess" ? 1L : 2L;
    ASSERT_TRUE(published()->put(u"IsRestart", Variant(mode)));
    machine->quitOutlook();
    EXPECT_EQ(machine->runs().size(), 1u);
    ASSERT_EQ(machine->shell().dialogs().size(), 1u);
    EXPECT_EQ(machine->shell().dialogs()[0].text, told);
    EXPECT_EQ(machine->shell().dialogs()[0].style, 48);
  }
}

TEST_P(RestartTest, RestartModesOtherThanOneToThreeDoNothing) {
  makeMachine(options(version()));
  registerAddin();
  ASSERT_TRUE(machine->startOutlook());
  ASSERT_TRUE(published()->put(u"IsRestart", Variant(4L)));
  EXPECT_FALSE(published()->put(u"IsRestart", Variant(40000L)));  // not a 16-bit value
  machine->quitOutlook();
  EXPECT_EQ(machine->runs().size(), 1u);
  EXPECT_TRUE(machine->shell().processes().empty());
  EXPECT_FALSE(refreshFlagSet(kProfile));
}

TEST_P(RestartTest, AProfileNameWithAQuoteNeverReachesACommandLine) {
  const Text name = u"Pat \" /safe:3 /profile \"Other";
  seed.profileName = name;
  makeMachine(options(version()));
  registerAddin();
  ASSERT_TRUE(machine->startOutlook(name));
  ASSERT_EQ(connect()->state().ProfileName, name);

  // A restart: Outlook is not started again; the user starts it.
  ASSERT_TRUE(published()->put(u"IsRestart", Variant(1L)));
  machine->quitOutlook();
  EXPECT_TRUE(machine->shell().processes().empty());
  EXPECT_EQ(machine->runs().size(), 1u);
  // Nor is the profile left marked: the user's own start opens no Options dialog.
  EXPECT_FALSE(refreshFlagSet(name));

  // A re-read: no temporary profile is made and the user is told to re-create the profile.
  ASSERT_TRUE(machine->startOutlook(name));
  ASSERT_TRUE(published()->put(u"IsRestart", Variant(2L)));
  machine->quitOutlook();
  EXPECT_TRUE(machine->shell().processes().empty());
  EXPECT_FALSE(profileExists(name + u"_delete_it"));
  ASSERT_FALSE(machine->shell().dialogs().empty());
  EXPECT_NE(machine->shell().dialogs().back().text.find(u"re-create Outlook profile"), Text::npos);

  // The end of a re-read on such a profile's temporary copy starts nothing and marks nothing.
  seed.profileName = name + u"_delete_it";
  ASSERT_TRUE(sim::seedOutlookProfile(machine->registry(), seed));
  const std::size_t before = machine->runs().size();
  machine->startOutlook(name + u"_delete_it");
  EXPECT_EQ(machine->runs().size(), before + 1);
  EXPECT_TRUE(machine->shell().processes().empty());
  EXPECT_FALSE(refreshFlagSet(name));
}

TEST_P(RestartTest, WildcardsAndDotsInTheProfileNameMatchOnlyThemselves) {
  // A re-read of profile "*": the temporary profile's files begin with "*_delete_it"; the
  // files of another temporary profile stay.
  seed.profileName = u"*";
  makeMachine(options(version()));
  registerAddin();
  machine->files().write(dataFile(u"Work_delete_it.srs"));
  machine->files().write(dataFile(u"W_delete_it.xml"));
  ASSERT_TRUE(machine->startOutlook(u"*"));
  ASSERT_TRUE(published()->put(u"IsRestart", Variant(2L)));
  machine->quitOutlook();

  ASSERT_EQ(machine->runs().size(), 3u);
  EXPECT_EQ(machine->runs()[2].profile, u"*");
  EXPECT_FALSE(machine->files().exists(dataFile(u"*_delete_it.srs")));
  EXPECT_FALSE(machine->files().exists(dataFile(u"*_delete_it.xml")));
  EXPECT_TRUE(machine->files().exists(dataFile(u"Work_delete_it.srs")));
  EXPECT_TRUE(machine->files().exists(dataFile(u"W_delete_it.xml")));
  EXPECT_TRUE(machine->files().exists(dataFile(u"*.srs")));

  // Dots: Outlook names the files with blanks in their place.
  EXPECT_TRUE(addin::isTempProfileFile(u"Pat Doe_delete_it.srs", u"Pat.Doe_delete_it"));
  EXPECT_TRUE(addin::isTempProfileFile(u"PAT DOE_DELETE_IT1.XML", u"Pat.Doe_delete_it"));
  EXPECT_FALSE(addin::isTempProfileFile(u"Pat.Doe_delete_it.srs", u"Pat.Doe_delete_it"));
  EXPECT_FALSE(addin::isTempProfileFile(u"PatXDoe_delete_it.srs", u"Pat?Doe_delete_it"));
  EXPECT_FALSE(addin::isTempProfileFile(u"a.srs", u"a.srs"));  // prefix and extension both whole
  EXPECT_FALSE(addin::isTempProfileFile(u"x\\a_delete_it.srs", u"a_delete_it"));
}

TEST_P(RestartTest, TemporaryProfileCaseAndExactSuffix) {
  // The suffix in capitals is still the temporary profile.
  seed.profileName = u"Work_DELETE_IT";
  makeMachine(options(version()));
  seed.profileName = u"Work";
  ASSERT_TRUE(sim::seedOutlookProfile(machine->registry(), seed));
  registerAddin();
  machine->startOutlook(u"Work_DELETE_IT");
  ASSERT_GE(machine->runs().size(), 2u);
  EXPECT_FALSE(profileExists(u"Work_DELETE_IT"));
  EXPECT_EQ(machine->runs()[1].commandLine, outlookCommand(u" /profile ", u"Work"));
  expectOptionsOpenedOnKorvanel();

  // A profile named exactly "_delete_it" is an ordinary one.
  machine->quitOutlook();
  seed.profileName = u"_delete_it";
  ASSERT_TRUE(sim::seedOutlookProfile(machine->registry(), seed));
  const std::size_t before = machine->runs().size();
  ASSERT_TRUE(machine->startOutlook(u"_delete_it"));
  EXPECT_EQ(machine->runs().size(), before + 1);
  EXPECT_TRUE(profileExists(u"_delete_it"));
  EXPECT_EQ(connect()->state().ProfileName, u"_delete_it");
  EXPECT_EQ(connect()->state().RestartMode, 0);
}

INSTANTIATE_TEST_SUITE_P(Outlook, RestartTest, ::testing::Values(11, 12),
                         [](const auto& info) { return "Outlook" + std::to_string(info.param); });

}  // namespace
}  // namespace korvanel::scenarios
