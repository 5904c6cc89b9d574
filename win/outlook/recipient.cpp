#include "win/outlook/recipient.h"

#include "win/com/late_bound_object.h"

namespace korvanel::win {

using platform::Text;
using platform::TextView;

namespace {

class RecipientsAdapter final : public platform::Recipients, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  long count() override { return number(u"Count"); }
  platform::RecipientPtr item(long index) override {
    return makeRecipient(object(u"Item", {index}));
  }
  platform::RecipientPtr add(TextView text) override {
    return makeRecipient(callObject(u"Add", {text}));
  }
  bool remove(long index) override { return run(u"Remove", {index}); }
  bool resolveAll() override { return call(u"ResolveAll").toBool(); }
};

class AddressEntryAdapter final : public platform::AddressEntry, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  Text type() override { return text(u"Type"); }
  long addressEntryUserType() override { return number(u"AddressEntryUserType"); }
};

class RecipientAdapter final : public platform::Recipient, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  Text name() override { return text(u"Name"); }
  Text address() override { return text(u"Address"); }
  long type() override { return number(u"Type"); }
  bool setType(long value) override { return set(u"Type", value); }
  bool resolved() override { return flag(u"Resolved"); }
  platform::AddressEntryPtr addressEntry() override {
    return adapt<AddressEntryAdapter>(object(u"AddressEntry"));
  }
};

}  // namespace

platform::RecipientsPtr makeRecipients(ComPtr<IDispatch> recipients) {
  return adapt<RecipientsAdapter>(std::move(recipients));
}

platform::RecipientPtr makeRecipient(ComPtr<IDispatch> recipient) {
  return adapt<RecipientAdapter>(std::move(recipient));
}

}  // namespace korvanel::win
