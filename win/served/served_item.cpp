// Outlook's items and what hangs off them (recipients, user properties, attachments, the
// PropertyAccessor, accounts), served.
#include <map>
#include <optional>
#include <vector>

#include "win/com/variant_conversion.h"
#include "win/outlook/event_ids.h"
#include "win/served/served_mapi_prop.h"
#include "win/served/served_outlook.h"

namespace korvanel::win::served {

namespace {

using S = ServedItem;

HRESULT done(Call& c, bool ok) { return ok ? c.returnsNothing() : Call::failed(); }

// The schema names of an array argument, each as text.
std::vector<Text> namesIn(const Call& c, std::size_t i) {
  const VARIANT* given = c.arg(i);
  std::vector<Text> names;
  if (given == nullptr) return names;
  for (const platform::Variant& name :
       fromVariantArray(*given).value_or(std::vector<platform::Variant>{})) {
    names.push_back(name.toText());
  }
  return names;
}

// A text property with its setter.
#define KORVANEL_TEXT(name, getter, setter)                              \
  getPut(                                                                \
      name, [](S& s, Call& c) { return c.returns(s.object->getter()); }, \
      [](S& s, Call& c) { return done(c, s.object->setter(c.valueAsVariant().toText())); })

MemberTable itemTable(const Text& typeName) {
  return Members<S>(u"_" + typeName)
      .get(u"Class", [](S& s, Call& c) { return c.returns(s.object->itemClass()); })
      .get(u"EntryID", [](S& s, Call& c) { return c.returns(s.object->entryId()); })
      .get(u"Sent", [](S& s, Call& c) { return c.returnsBool(s.object->sent()); })
      .get(u"Saved", [](S& s, Call& c) { return c.returnsBool(s.object->saved()); })
      .KORVANEL_TEXT(u"Subject", subject, setSubject)
      .KORVANEL_TEXT(u"Body", body, setBody)
      .KORVANEL_TEXT(u"BillingInformation", billingInformation, setBillingInformation)
      .KORVANEL_TEXT(u"Categories", categories, setCategories)
      .KORVANEL_TEXT(u"SentOnBehalfOfName", sentOnBehalfOfName, setSentOnBehalfOfName)
      .get(u"ConversationIndex",
           [](S& s, Call& c) { return c.returns(s.object->conversationIndex()); })
      .getPut(
          u"ReadReceiptRequested",
          [](S& s, Call& c) { return c.returnsBool(s.object->readReceiptRequested()); },
          [](S& s, Call& c) {
            return done(c, s.object->setReadReceiptRequested(c.valueAsVariant().toBool()));
          })
      .getPut(
          u"SendUsingAccount",
          [](S& s, Call& c) {
            return c.returns(serve<ServedAccount>(s.object->sendUsingAccount()));
          },
          [](S& s, Call& c) {
            ServedAccount* account = servedAs<ServedAccount>(c.valueAsObject().get());
            return done(c, s.object->setSendUsingAccount(account ? account->object : nullptr));
          })
      .getPut(
          u"MeetingStatus", [](S& s, Call& c) { return c.returns(s.object->meetingStatus()); },
          [](S& s, Call& c) {
            return done(c, s.object->setMeetingStatus(c.valueAsVariant().toLong()));
          })
      .get(u"PropertyAccessor",
           [](S& s, Call& c) {
             return c.returns(serve<ServedPropertyAccessor>(s.object->propertyAccessor()));
           })
      .get(u"Recipients",
           [](S& s, Call& c) { return c.returns(serve<ServedRecipients>(s.object->recipients())); })
      .get(u"ReplyRecipients",
           [](S& s, Call& c) {
             return c.returns(serve<ServedRecipients>(s.object->replyRecipients()));
           })
      .get(u"UserProperties",
           [](S& s, Call& c) {
             return c.returns(serve<ServedUserProperties>(s.object->userProperties()));
           })
      .get(u"Attachments",
           [](S& s, Call& c) {
             return c.returns(serve<ServedAttachments>(s.object->attachments()));
           })
      .get(u"Parent",
           [](S& s, Call& c) { return c.returns(serve<ServedFolder>(s.object->parent())); })
      .get(u"MAPIOBJECT",
           [](S& s, Call& c) { return c.returnsUnknown(serveMapiObject(s.object->mapiObject())); })
      .method(u"Save", {}, [](S& s, Call& c) { return done(c, s.object->save()); })
      .method(u"Close", {u"SaveMode"},
              [](S& s, Call& c) { return done(c, s.object->close(c.longArg(0))); })
      .method(u"Delete", {}, [](S& s, Call& c) { return done(c, s.object->deleteItem()); })
      .method(u"Move", {u"DestFldr"},
              [](S& s, Call& c) {
                ServedFolder* folder = servedAs<ServedFolder>(c.objectArg(0).get());
                if (folder == nullptr) return DISP_E_TYPEMISMATCH;
                ComPtr<IDispatch> moved = serveItem(s.object->move(folder->object));
                return moved ? c.returns(moved) : Call::failed();
              })
      .method(u"Send", {}, [](S& s, Call& c) { return done(c, s.object->send()); })
      .method(u"Display", {u"Modal"}, [](S& s, Call& c) { return done(c, s.object->display()); })
      .method(
          u"GetInspector", {},
          [](S& s, Call& c) { return c.returns(serve<ServedInspector>(s.object->getInspector())); })
      .events(events::kItemEvents10,
              [](S& s, EventPoint& point) {
                std::vector<platform::Connection> c;
                platform::Item& item = *s.object;
                c.push_back(item.onRead([&point] {
                  EventArgs args;
                  args.fire(point, events::kItemRead);
                }));
                c.push_back(item.onOpen([&point](bool& cancel) {
                  EventArgs args;
                  args.inOutBool(cancel).fire(point, events::kItemOpen);
                  cancel = args.flag(0);
                }));
                c.push_back(item.onClose([&point](bool& cancel) {
                  EventArgs args;
                  args.inOutBool(cancel).fire(point, events::kItemClose);
                  cancel = args.flag(0);
                }));
                c.push_back(item.onCustomPropertyChange([&point](const Text& name) {
                  EventArgs args;
                  args.text(name).fire(point, events::kItemCustomPropertyChange);
                }));
                c.push_back(item.onPropertyChange([&point](const Text& name) {
                  EventArgs args;
                  args.text(name).fire(point, events::kItemPropertyChange);
                }));
                return c;
              })
      .build();
}

#undef KORVANEL_TEXT

const MemberTable& itemTableFor(const Text& typeName) {
  static std::map<Text, std::unique_ptr<MemberTable>> tables;
  std::unique_ptr<MemberTable>& t = tables[typeName];
  // Built in place: a table cannot move.
  if (!t) t.reset(new MemberTable(itemTable(typeName)));
  return *t;
}

}  // namespace

ServedItem::ServedItem(platform::ItemPtr item)
    : Served(std::move(item)), table_(itemTableFor(object->typeName())) {}

ComPtr<IDispatch> serveItem(platform::ItemPtr item) { return serve<ServedItem>(std::move(item)); }

const MemberTable& ServedRecipients::table() const {
  using R = ServedRecipients;
  static const MemberTable t =
      Members<R>(u"Recipients")
          .get(u"Count", [](R& s, Call& c) { return c.returns(s.object->count()); })
          .method(
              u"Item", {u"Index"},
              [](R& s, Call& c) {
                return c.returns(serve<ServedRecipient>(s.object->item(c.longArg(0))));
              },
              DISPID_VALUE)
          .method(u"Add", {u"Name"},
                  [](R& s, Call& c) {
                    ComPtr<IDispatch> added = serve<ServedRecipient>(s.object->add(c.textArg(0)));
                    return added ? c.returns(added) : Call::failed();
                  })
          .method(u"Remove", {u"Index"},
                  [](R& s, Call& c) { return done(c, s.object->remove(c.longArg(0))); })
          .method(u"ResolveAll", {},
                  [](R& s, Call& c) { return c.returnsBool(s.object->resolveAll()); })
          .build();
  return t;
}

const MemberTable& ServedRecipient::table() const {
  using R = ServedRecipient;
  static const MemberTable t =
      Members<R>(u"Recipient")
          .get(u"Name", [](R& s, Call& c) { return c.returns(s.object->name()); })
          .get(u"Address", [](R& s, Call& c) { return c.returns(s.object->address()); })
          .getPut(
              u"Type", [](R& s, Call& c) { return c.returns(s.object->type()); },
              [](R& s, Call& c) { return done(c, s.object->setType(c.valueAsVariant().toLong())); })
          .get(u"Resolved", [](R& s, Call& c) { return c.returnsBool(s.object->resolved()); })
          .get(u"AddressEntry",
               [](R& s, Call& c) {
                 return c.returns(serve<ServedAddressEntry>(s.object->addressEntry()));
               })
          .build();
  return t;
}

const MemberTable& ServedAddressEntry::table() const {
  using A = ServedAddressEntry;
  static const MemberTable t =
      Members<A>(u"AddressEntry")
          .get(u"Type", [](A& s, Call& c) { return c.returns(s.object->type()); })
          .get(u"AddressEntryUserType",
               [](A& s, Call& c) { return c.returns(s.object->addressEntryUserType()); })
          .build();
  return t;
}

const MemberTable& ServedUserProperties::table() const {
  using U = ServedUserProperties;
  static const MemberTable t =
      Members<U>(u"UserProperties")
          .get(u"Count", [](U& s, Call& c) { return c.returns(s.object->count()); })
          .method(
              u"Item", {u"Index"},
              [](U& s, Call& c) {
                return c.returns(serve<ServedUserProperty>(s.object->item(c.longArg(0))));
              },
              DISPID_VALUE)
          .method(u"Add", {u"Name", u"Type", u"AddToFolderFields", u"DisplayFormat"},
                  [](U& s, Call& c) {
                    ComPtr<IDispatch> added =
                        serve<ServedUserProperty>(s.object->add(c.textArg(0), c.longArg(1)));
                    return added ? c.returns(added) : Call::failed();
                  })
          .method(u"Remove", {u"Index"},
                  [](U& s, Call& c) { return done(c, s.object->remove(c.longArg(0))); })
          .build();
  return t;
}

const MemberTable& ServedUserProperty::table() const {
  using U = ServedUserProperty;
  static const MemberTable t =
      Members<U>(u"UserProperty")
          .get(u"Name", [](U& s, Call& c) { return c.returns(s.object->name()); })
          .getPut(
              u"Value", [](U& s, Call& c) { return c.returnsVariant(s.object->value()); },
              [](U& s, Call& c) { return done(c, s.object->setValue(c.valueAsVariant())); },
              DISPID_VALUE)
          .method(u"Delete", {}, [](U& s, Call& c) { return done(c, s.object->deleteProperty()); })
          .build();
  return t;
}

const MemberTable& ServedAttachments::table() const {
  using A = ServedAttachments;
  static const MemberTable t =
      Members<A>(u"Attachments")
          .get(u"Count", [](A& s, Call& c) { return c.returns(s.object->count()); })
          .build();
  return t;
}

const MemberTable& ServedPropertyAccessor::table() const {
  using P = ServedPropertyAccessor;
  static const MemberTable t =
      Members<P>(u"_PropertyAccessor")
          .method(u"GetProperty", {u"SchemaName"},
                  [](P& s, Call& c) {
                    const platform::Variant v = s.object->getProperty(c.textArg(0));
                    // Outlook raises an error for a property the item lacks.
                    return v.isEmpty() ? static_cast<HRESULT>(0x8004010F) : c.returnsVariant(v);
                  })
          .method(u"SetProperty", {u"SchemaName", u"Value"},
                  [](P& s, Call& c) {
                    return done(c, s.object->setProperty(c.textArg(0), c.variantArg(1)));
                  })
          .method(u"DeleteProperty", {u"SchemaName"},
                  [](P& s, Call& c) { return done(c, s.object->deleteProperty(c.textArg(0))); })
          // One value per name, an error value where the item lacks it.
          .method(u"GetProperties", {u"SchemaNames"},
                  [](P& s, Call& c) {
                    const std::vector<Text> names = namesIn(c, 0);
                    const std::vector<platform::Variant> values = s.object->getProperties(names);
                    if (values.size() != names.size()) return Call::failed();
                    return c.returnsArray(values, static_cast<SCODE>(0x8004010F));
                  })
          // Null when every value was written, an error value when not.
          .method(u"SetProperties", {u"SchemaNames", u"Values"},
                  [](P& s, Call& c) {
                    const VARIANT* given = c.arg(1);
                    const std::optional<std::vector<platform::Variant>> values =
                        given != nullptr ? fromVariantArray(*given) : std::nullopt;
                    if (!values) return c.returnsError(E_INVALIDARG);
                    return s.object->setProperties(namesIn(c, 0), *values) ? c.returnsNull()
                                                                           : c.returnsError(E_FAIL);
                  })
          .build();
  return t;
}

const MemberTable& ServedAccounts::table() const {
  using A = ServedAccounts;
  static const MemberTable t =
      Members<A>(u"_Accounts")
          .get(u"Count", [](A& s, Call& c) { return c.returns(s.object->count()); })
          .method(
              u"Item", {u"Index"},
              [](A& s, Call& c) {
                return c.returns(serve<ServedAccount>(s.object->item(c.longArg(0))));
              },
              DISPID_VALUE)
          .build();
  return t;
}

const MemberTable& ServedAccount::table() const {
  using A = ServedAccount;
  static const MemberTable t =
      Members<A>(u"_Account")
          .get(u"DisplayName", [](A& s, Call& c) { return c.returns(s.object->displayName()); })
          .build();
  return t;
}

}  // namespace korvanel::win::served
