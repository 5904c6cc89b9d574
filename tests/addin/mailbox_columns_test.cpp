#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "addin/build_mailbox_columns.h"

namespace korvanel::addin {
namespace {

using text::Text;
using text::TextView;

// Recipients that resolve against a small directory of distinguished names, the way
// Outlook does: a resolved recipient shows the directory's name and its own spelling of the
// distinguished name; an unresolved one keeps the text it was added with.
class DirectoryRecipients : public platform::Recipients {
 public:
  struct Entry : platform::Recipient {
    Text text_;
    Text name_;
    Text address_;
    bool resolved_ = false;
    Text name() override { return name_; }
    Text address() override { return address_; }
    long type() override { return 1; }
    bool setType(long) override { return false; }
    bool resolved() override { return resolved_; }
    platform::AddressEntryPtr addressEntry() override { return nullptr; }
  };

  explicit DirectoryRecipients(std::map<Text, Text> directory) : directory_(std::move(directory)) {}

  long count() override { return static_cast<long>(entries_.size()); }
  platform::RecipientPtr item(long index) override {
    if (index < 1 || index > count()) return nullptr;
    return entries_[static_cast<std::size_t>(index - 1)];
  }
  platform::RecipientPtr add(TextView text) override {
    added.emplace_back(text);
    auto entry = std::make_shared<Entry>();
    entry->text_ = entry->name_ = entry->address_ = Text(text);
    entries_.push_back(entry);
    return entry;
  }
  bool remove(long) override { return false; }
  bool resolveAll() override {
    bool all = true;
    for (auto& entry : entries_) {
      bool found = false;
      for (const auto& [dn, name] : directory_) {
        if (text::equalsNoCase(dn, entry->text_)) {
          entry->name_ = name;
          entry->address_ = dn;
          entry->resolved_ = found = true;
        }
      }
      all = all && found;
    }
    return all;
  }

  std::vector<Text> added;

 private:
  std::map<Text, Text> directory_;
  std::vector<std::shared_ptr<Entry>> entries_;
};

TEST(MailboxColumns, ResolvedNamesComeFromTheDirectory) {
  EXPECT_EQ(MailboxColumns::fromLists(u"", u"").MbxLast(), -1);

  MailboxColumns columns = MailboxColumns::fromLists(
      u"Mailbox - Ann\tSales\tGone\tNo DN", u"/o=Org/cn=ann\t/o=org/cn=sales\t/o=Org/cn=gone");
  DirectoryRecipients recipients(
      {{u"/o=Org/cn=ann", u"Ann Doe"}, {u"/O=ORG/CN=SALES", u"Contoso Sales"}});
  resolveMailboxNames(recipients, columns);
  EXPECT_EQ(recipients.added,
            (std::vector<Text>{u"/o=Org/cn=ann", u"/o=org/cn=sales", u"/o=Org/cn=gone"}));
  EXPECT_EQ(columns.MailboxResolvedNames(0), u"Ann Doe");
  EXPECT_EQ(columns.MailboxResolvedNames(1), u"Contoso Sales");
  EXPECT_EQ(columns.MailboxResolvedNames(2), u"Gone");
  EXPECT_EQ(columns.MailboxResolvedNames(3), u"No DN");
  EXPECT_EQ(columns.MailboxDNs(3), u"");
  EXPECT_EQ(columns.MailboxNames(1), u"Sales");
  EXPECT_EQ(columns.MailboxNames(4), u"");
}

}  // namespace
}  // namespace korvanel::addin
