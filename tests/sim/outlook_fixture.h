// A simulated machine with a Contoso organisation (Pat Doe with two addresses, a Help Desk
// shared mailbox) and Pat's Exchange profile opening both mailboxes.
#pragma once

#include <gtest/gtest.h>

#include "platform/outlook.h"
#include "sim/outlook_app.h"
#include "sim/outlook_objects.h"
#include "sim/outlook_profile_seed.h"
#include "sim/sim_registry.h"

namespace korvanel::sim::testing {

using namespace platform;

class OutlookFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    pat = world.organisation().addMailbox(u"Pat Doe", u"pat",
                                          {u"SMTP:pat@contoso.com", u"smtp:sales@contoso.com"});
    help = world.organisation().addMailbox(u"Help Desk", u"helpdesk", {u"SMTP:help@contoso.com"});
    seed.additionalMailboxes = {{u"Mailbox - Help Desk", help->dn}};
  }

  // Writes the profile (once) and starts Outlook on it.
  std::shared_ptr<Outlook> start(int version, bool wordMail = true) {
    if (!seeded) {
      EXPECT_TRUE(seedOutlookProfile(registry, seed));
      seeded = true;
    }
    OutlookOptions options;
    options.version = version;
    options.wordMail = wordMail;
    auto outlook = world.startOutlook(options);
    EXPECT_NE(outlook, nullptr);
    return outlook;
  }

  // An identity account as the Options page writes one: POP3 with servers "none".
  std::uint32_t addIdentityAccount(TextView name, TextView email) {
    if (!seeded) {
      EXPECT_TRUE(seedOutlookProfile(registry, seed));
      seeded = true;
    }
    MailAccountSeed account;
    account.accountName = Text(name);
    account.displayName = Text(name);
    account.email = Text(email);
    account.pop3Server = u"none";
    account.smtpServer = u"none";
    return seedMailAccount(registry, seed.profileName, account);
  }

  static IncomingMessage mailTo(TextView to, TextView subject) {
    IncomingMessage m;
    m.to = {Text(to)};
    m.subject = Text(subject);
    return m;
  }

  SimRegistry registry;
  World world{registry};
  MailboxPtr pat;
  MailboxPtr help;
  OutlookProfileSeed seed;
  bool seeded = false;
};

}  // namespace korvanel::sim::testing
