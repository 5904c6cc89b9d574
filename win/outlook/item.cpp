#include "win/outlook/item.h"

#include "win/com/event_sink.h"
#include "win/com/late_bound_object.h"
#include "win/messaging/win_mapi.h"
#include "win/outlook/account.h"
#include "win/outlook/event_ids.h"
#include "win/outlook/folder.h"
#include "win/outlook/insp_window.h"
#include "win/outlook/property_accessor.h"
#include "win/outlook/recipient.h"
#include "win/outlook/user_property.h"

namespace korvanel::win {

using platform::Connection;
using platform::Text;
using platform::TextView;

namespace {

class ItemAdapter final : public platform::Item, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;

  // The interface's name as its type information gives it ("_MailItem"), without the
  // underscore of Outlook's dual interfaces.
  Text typeName() override {
    try {
      Text name = dispatchInterfaceName(comObject());
      if (!name.empty() && name.front() == u'_') name.erase(0, 1);
      return name;
    } catch (...) {
      return {};
    }
  }
  long itemClass() override { return number(u"Class"); }

  Text entryId() override { return text(u"EntryID"); }
  bool sent() override { return flag(u"Sent"); }
  bool saved() override { return flag(u"Saved"); }
  Text subject() override { return text(u"Subject"); }
  bool setSubject(TextView value) override { return set(u"Subject", value); }
  Text body() override { return text(u"Body"); }
  bool setBody(TextView value) override { return set(u"Body", value); }
  Text billingInformation() override { return text(u"BillingInformation"); }
  bool setBillingInformation(TextView value) override { return set(u"BillingInformation", value); }
  Text categories() override { return text(u"Categories"); }
  bool setCategories(TextView value) override { return set(u"Categories", value); }
  Text conversationIndex() override { return text(u"ConversationIndex"); }
  bool readReceiptRequested() override { return flag(u"ReadReceiptRequested"); }
  bool setReadReceiptRequested(bool value) override { return set(u"ReadReceiptRequested", value); }
  Text sentOnBehalfOfName() override { return text(u"SentOnBehalfOfName"); }
  bool setSentOnBehalfOfName(TextView value) override { return set(u"SentOnBehalfOfName", value); }
  platform::AccountPtr sendUsingAccount() override {
    return makeAccount(object(u"SendUsingAccount"));
  }
  // The property holds an object: it is set by reference. An account that is no COM
  // object of Outlook's cannot be set.
  bool setSendUsingAccount(const platform::AccountPtr& account) override {
    IDispatch* com = comObjectOf(account);
    if (account != nullptr && com == nullptr) return false;
    return setObject(u"SendUsingAccount", com);
  }
  long meetingStatus() override { return number(u"MeetingStatus"); }
  bool setMeetingStatus(long value) override { return set(u"MeetingStatus", value); }

  platform::PropertyAccessorPtr propertyAccessor() override {
    return makePropertyAccessor(object(u"PropertyAccessor"));
  }
  platform::RecipientsPtr recipients() override { return makeRecipients(object(u"Recipients")); }
  platform::RecipientsPtr replyRecipients() override {
    return makeRecipients(object(u"ReplyRecipients"));
  }
  platform::UserPropertiesPtr userProperties() override {
    return makeUserProperties(object(u"UserProperties"));
  }
  platform::AttachmentsPtr attachments() override {
    return makeAttachments(object(u"Attachments"));
  }
  platform::FolderPtr parent() override { return folderOrNothing(object(u"Parent")); }
  platform::MapiObjectPtr mapiObject() override {
    try {
      ComPtr<IUnknown> mapi = unknown(u"MAPIOBJECT");
      return mapi ? std::make_shared<MapiComObject>(std::move(mapi)) : nullptr;
    } catch (...) {
      return nullptr;
    }
  }

  bool save() override { return run(u"Save"); }
  bool close(long saveMode) override { return run(u"Close", {saveMode}); }
  bool deleteItem() override { return run(u"Delete"); }
  platform::ItemPtr move(const platform::FolderPtr& destination) override {
    IDispatch* folder = comObjectOf(destination);
    if (folder == nullptr) return nullptr;
    CallArguments args;
    args.addObject(folder);
    return makeItem(callObject(u"Move", args));
  }
  bool send() override { return run(u"Send"); }
  bool display() override { return run(u"Display"); }
  platform::InspectorPtr getInspector() override { return makeInspector(object(u"GetInspector")); }

  Connection onRead(std::function<void()> handler) override {
    return adviseEvent(comObject(), {events::kItemEvents10}, events::kItemRead, 0,
                       [handler = std::move(handler)](const EventArguments&) { handler(); });
  }
  Connection onClose(std::function<void(bool& cancel)> handler) override {
    return adviseEvent(comObject(), {events::kItemEvents10}, events::kItemClose, 1,
                       [handler = std::move(handler)](const EventArguments& args) {
                         args.inOutBoolean(0, handler);
                       });
  }
  Connection onCustomPropertyChange(std::function<void(const Text& name)> handler) override {
    return adviseEvent(
        comObject(), {events::kItemEvents10}, events::kItemCustomPropertyChange, 1,
        [handler = std::move(handler)](const EventArguments& args) { handler(args.text(0)); });
  }
  Connection onPropertyChange(std::function<void(const Text& name)> handler) override {
    return adviseEvent(
        comObject(), {events::kItemEvents10}, events::kItemPropertyChange, 1,
        [handler = std::move(handler)](const EventArguments& args) { handler(args.text(0)); });
  }
  Connection onOpen(std::function<void(bool& cancel)> handler) override {
    return adviseEvent(comObject(), {events::kItemEvents10}, events::kItemOpen, 1,
                       [handler = std::move(handler)](const EventArguments& args) {
                         args.inOutBoolean(0, handler);
                       });
  }
};

}  // namespace

platform::ItemPtr makeItem(ComPtr<IDispatch> item) { return adapt<ItemAdapter>(std::move(item)); }

}  // namespace korvanel::win
