// A page over a seeded profile in the simulated registry, fake Outlook objects and a
// scripted shell: the user "Pat Doe" with two secondary addresses, the default store's
// folders (Inbox with a subfolder, Sent Items, Calendar, Deleted Items, Junk E-mail,
// Projects) and an archive store.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "optionspage/korvanel_page.h"
#include "page_fakes.h"
#include "profile/account_store.h"
#include "profile/profile_key.h"
#include "sim/outlook_profile_seed.h"
#include "sim/outlook_registration.h"
#include "sim/sim_registry.h"

namespace korvanel::page::testing {

inline constexpr char16_t kProfile[] = u"Outlook";

class PageFixture : public ::testing::Test {
 protected:
  PageFixture() {
    sim::installOutlookRegistration(reg);
    seed.proxyAddresses = {u"SMTP:pat@contoso.com", u"smtp:sales@contoso.com",
                           u"smtp:help@contoso.com"};
    root = std::make_shared<FakeFolder>(u"Mailbox - Pat Doe", u"E-ROOT", u"S-DEFAULT");
    inbox = root->add(u"Inbox", u"E-INBOX");
    sub = inbox->add(u"Sub", u"E-SUB");
    sent = root->add(u"Sent Items", u"E-SENT");
    calendar = root->add(u"Calendar", u"E-CAL");
    deleted = root->add(u"Deleted Items", u"E-DEL");
    junk = root->add(u"Junk E-mail", u"E-JUNK");
    projects = root->add(u"Projects", u"E-PROJ");
    archive = std::make_shared<FakeFolder>(u"Archive", u"E-AROOT", u"S-ARCHIVE");
    archived = archive->add(u"Old", u"E-AOLD");
    app->ns->defaults = {{kOlFolderInbox, inbox},
                         {kOlFolderSentMail, sent},
                         {kOlFolderCalendar, calendar},
                         {kOlFolderDeletedItems, deleted},
                         {kOlFolderJunk, junk}};
    app->ns->known = {inbox, sub, sent, projects, junk, archived};
    addIn->published = connect;
    app->addIns->connect = addIn;
    site->app = app;
  }
  void TearDown() override { EXPECT_EQ(reg.openHandleCount(), 0u); }

  void seedProfile() { ASSERT_TRUE(sim::seedOutlookProfile(reg, seed)); }
  // An identity account as an earlier Apply wrote it; returns its id.
  std::uint32_t seedIdentity(TextView accountName, TextView name, TextView email,
                             TextView sig1 = {}, TextView sig2 = {}) {
    const std::uint32_t id = store.GetNextAccountID(kProfile);
    EXPECT_TRUE(store.CreateIdentityAccount(kProfile, id, accountName, name, email, sig1, sig2));
    return id;
  }
  void withoutAddIn() { app->addIns->connect = nullptr; }
  void onOutlook2007() { app->versionText = u"12.0.6423.1000"; }

  KorvanelPage& open() {
    page = std::make_unique<KorvanelPage>(services, module);
    page->initProperties(site);
    return *page;
  }
  void close() {
    if (page) page->onTerminate();
    page.reset();
  }
  PageLayout& ui() { return page->layout(); }

  // The identity accounts now in the profile, in enumeration order.
  std::vector<profile::AccountRecord> identities() {
    profile::AccountStore reader(reg);
    reader.EnumIdentityAccounts(kProfile);
    std::vector<profile::AccountRecord> out;
    for (const Text& key : text::split(reader.IdentityLists().Subkeys, u"\t")) {
      out.push_back(reader.ReadAccountRecord(profile::AccountManagerKey(kProfile), key));
    }
    return out;
  }
  Text accountName(std::uint32_t id) {
    return store
        .ReadAccountRecord(profile::AccountManagerKey(kProfile), profile::AccountKeyName(id))
        .AccountName;
  }

  sim::FaultPlan faults;
  sim::SimRegistry reg{&faults};
  FakeShell shell;
  NoObjects objects;
  NoMapi mapi;
  Services services{reg, shell, objects, mapi};
  std::shared_ptr<PageModule> module = std::make_shared<PageModule>(reg);
  profile::AccountStore store{reg};
  profile::ProfileSettings settings{reg};
  sim::OutlookProfileSeed seed;

  std::shared_ptr<FakeApplication> app = std::make_shared<FakeApplication>();
  std::shared_ptr<FakeSite> site = std::make_shared<FakeSite>();
  std::shared_ptr<FakeComAddIn> addIn = std::make_shared<FakeComAddIn>();
  std::shared_ptr<FakeConnect> connect = std::make_shared<FakeConnect>();
  FakeFolderPtr root, inbox, sub, sent, calendar, deleted, junk, projects, archive, archived;
  std::unique_ptr<KorvanelPage> page;
};

}  // namespace korvanel::page::testing
