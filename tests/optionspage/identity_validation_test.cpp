#include "optionspage/identity_validation.h"

#include <gtest/gtest.h>

namespace korvanel::page {
namespace {

std::optional<Text> entry(const char16_t* s) { return Text(s); }

TEST(ValidateSMTPEmailTest, LengthAndThePositionsOfAtAndDot) {
  const struct {
    const char16_t* address;
    bool valid;
  } cases[] = {
      {u"a@b.c", true},      // five characters, "@" second, "." fourth
      {u"  a@b.c  ", true},  // trimmed first
      {u"a@bc", false},      // four characters
      {u"@ab.c", false},     // "@" first
      {u"ab.c@", false},     // "@" last
      {u".a@bc", false},     // first "." first
      {u"a@bc.", false},     // first "." last
      {u"a.b@c", true},      // the "." may stand before the "@"
      {u"ab@cd", false},     // no "."
      {u"abc.de", false},    // no "@"
      {u"a@b@c.d", true},    // no other rule
  };
  for (const auto& c : cases) {
    Text address = c.address;
    EXPECT_EQ(ValidateSMTPEmail(address), c.valid) << text::toUtf8(c.address);
  }
  Text padded = u"  pat@contoso.com ";
  ValidateSMTPEmail(padded);
  EXPECT_EQ(padded, u"pat@contoso.com");
}

TEST(ValidateDNTest, RefusesAddressAndPathCharacters) {
  EXPECT_TRUE(ValidateDN(u"Pat Doe"));
  EXPECT_TRUE(ValidateDN(u""));
  for (const char16_t* bad : {u"Pat/Doe", u"Pat\\Doe", u"pat@home", u"<Pat", u"Pat>"}) {
    EXPECT_FALSE(ValidateDN(bad)) << text::toUtf8(bad);
  }
}

TEST(ValidateInputTest, RebuildsTheSmtpFormFromEveryAcceptedEntry) {
  const struct {
    const char16_t* typed;
    const char16_t* row;
  } cases[] = {
      {u"Sales sales@contoso.com", u"Sales <sales@contoso.com>"},
      {u"Sales <sales@contoso.com>", u"Sales <sales@contoso.com>"},
      {u"  Sales   Team   <sales@contoso.com>  ", u"Sales   Team <sales@contoso.com>"},
      {u"Pat van Doe pat@contoso.com", u"Pat van Doe <pat@contoso.com>"},
      {u"Sales <<sales@contoso.com>>", u"Sales <sales@contoso.com>"},
  };
  for (const auto& c : cases) {
    std::optional<Text> s = entry(c.typed);
    EXPECT_EQ(ValidateInput(s), kInputValid) << text::toUtf8(c.typed);
    EXPECT_EQ(s, Text(c.row));
  }
}

TEST(ValidateInputTest, CancelEmptyAndInvalidEntriesLeaveTheTextAsTyped) {
  std::optional<Text> cancelled;
  EXPECT_EQ(ValidateInput(cancelled), kInputCancelled);

  for (const char16_t* typed :
       {u"", u"   ", u"sales@contoso.com", u"Sales sales@contoso", u"Sa/les sales@contoso.com",
        u"Sales@home sales@contoso.com", u"Help Desk /o=Contoso/ou=Exchange/cn=helpdesk",
        u"Sales\tTeam sales@contoso.com", u"Sales sales@con\ttoso.com"}) {
    std::optional<Text> s = entry(typed);
    EXPECT_EQ(ValidateInput(s), kInputInvalid) << text::toUtf8(typed);
    EXPECT_EQ(s, Text(typed));
  }
}

}  // namespace
}  // namespace korvanel::page
