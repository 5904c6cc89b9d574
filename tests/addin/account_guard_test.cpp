#include "addin/account_guard.h"

#include <gtest/gtest.h>

#include "addin/exchange_account.h"
#include "addin/sender_resolution.h"
#include "profile/ui_language.h"

namespace korvanel::addin {
namespace {

using text::Text;

SharedState composing(std::int16_t version, bool task, bool appointment) {
  SharedState state;
  state.OutlookVersion = version;
  state.ComposeIsMail = !task && !appointment;
  state.ComposeIsTask = task;
  state.ComposeIsAppointment = appointment;
  return state;
}

TEST(AccountGuard, CaptionLosesItsEntryNumber) {
  EXPECT_EQ(accountNameOfCaption(u"&3 EX [Sales <sales@contoso.com>]"),
            u"EX [Sales <sales@contoso.com>]");
  // Everything from the first space on, trimmed; a caption without a space is taken whole.
  EXPECT_EQ(accountNameOfCaption(u"&2   EX MBX [Help Desk]  "), u"EX MBX [Help Desk]");
  EXPECT_EQ(accountNameOfCaption(u"EX[Sales]"), u"EX[Sales]");
  EXPECT_EQ(accountNameOfCaption(u""), u"");
}

TEST(AccountGuard, Outlook2007AllowsAddressIdentitiesForAppointmentsOnly) {
  const SharedState appointment = composing(12, false, true);
  EXPECT_FALSE(refusesAccount(appointment, u"EX [Sales <sales@contoso.com>]"));
  EXPECT_TRUE(refusesAccount(appointment, u"ex mbx [Help Desk]"));
  EXPECT_FALSE(refusesAccount(appointment, u"Microsoft Exchange Server"));

  const SharedState task = composing(12, true, false);
  EXPECT_TRUE(refusesAccount(task, u"ex [Sales <sales@contoso.com>]"));
  EXPECT_TRUE(refusesAccount(task, u"EX MBX [Help Desk]"));
  EXPECT_FALSE(refusesAccount(task, u"Pat (POP3)"));
  // "EX " alone is neither form.
  EXPECT_FALSE(refusesAccount(task, u"EX Sales"));
}

TEST(AccountGuard, Outlook2003RefusesEveryIdentityOutsideMail) {
  for (const SharedState& state : {composing(11, true, false), composing(11, false, true)}) {
    EXPECT_TRUE(refusesAccount(state, u"EX [Sales <sales@contoso.com>]"));
    EXPECT_TRUE(refusesAccount(state, u"EX MBX [Help Desk]"));
    EXPECT_FALSE(refusesAccount(state, u"Microsoft Exchange Server"));
  }
}

TEST(AccountGuard, TheExchangeAccountNamedLikeAnIdentityIsNeverRefused) {
  for (const std::int16_t version : {11, 12}) {
    SharedState task = composing(version, true, false);
    task.ExchangeAccountKey = u"00000002";
    task.ExchangeAccountName = u"EX [Pat Doe <pat@contoso.com>]";
    EXPECT_FALSE(refusesAccount(task, u"ex [Pat Doe <PAT@contoso.com>]"));
    EXPECT_TRUE(refusesAccount(task, u"EX [Sales <sales@contoso.com>]"));
  }
}

TEST(ExchangeAccount, KnownByTheStampsKeyElseByName) {
  SharedState state;
  state.ExchangeAccountKey = u"00000002";
  state.ExchangeAccountName = u"EX [Pat Doe <pat@contoso.com>]";
  EXPECT_TRUE(isExchangeAccount(state, u"Anything", u"00000002\x0001pat@contoso.com"));
  // Another account's key, whatever the name says.
  EXPECT_FALSE(isExchangeAccount(state, u"EX [Pat Doe <pat@contoso.com>]",
                                 u"00000007\x0001pat@contoso.com"));
  EXPECT_TRUE(isExchangeAccount(state, u" EX [Pat Doe <pat@contoso.com>] "));
  EXPECT_FALSE(isExchangeAccount(state, u"EX [Sales <sales@contoso.com>]"));
  EXPECT_FALSE(isExchangeAccount(SharedState(), u""));
}

TEST(AccountsShortcut, KeysFollowTheInterfaceLanguage) {
  struct Case {
    std::int32_t lcid;
    const char16_t* keys;
  };
  const Case cases[] = {
      {0x0409, u"%n"},
      {0x081D, u"%n"},
      {0x0C0A, u"%u"},
      {0x0410, u"%u"},
      {0x0813, u"%u"},
      {0x0407, u"%o"},
      {0x0462, u"%m"},
      {0x0423, u"%x"},
      {0x0422, u"%b"},
      {0x0402, u"%d"},
      {0x040B, u"%l"},
      {0x0816, u"%a"},
      {0x0416, u"%t"},
      {0x0405, u"%t"},
      {0x0414, u"%o"},
      {0x0406, u"%o"},
      // Unlisted languages type nothing.
      {0x0411, u""},
      {0x0814, u""},
      {0, u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(accountsShortcutKeys(profile::languageFlagsFor(c.lcid)), Text(c.keys))
        << std::hex << c.lcid;
  }
}

}  // namespace
}  // namespace korvanel::addin
