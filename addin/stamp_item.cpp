#include "addin/stamp_item.h"

#include "addin/cdo_fields.h"
#include "addin/identity_match.h"
#include "addin/identity_text_forms.h"
#include "addin/message_property_names.h"
#include "addin/raw_property.h"
#include "addin/stamped_identity.h"
#include "addin/transport_headers.h"

namespace korvanel::addin {
namespace {

using platform::ItemPtr;
using platform::Variant;
using text::Text;
using text::TextView;

// The item of an arriving entry id, when it is of one of the given lower-case type names.
ItemPtr arrivedItem(AddinContext& ctx, TextView entryId, bool withMeetings) {
  if (entryId.empty() || !ctx.state.MapiNamespace) return nullptr;
  ItemPtr item = ctx.state.MapiNamespace->getItemFromID(entryId);
  if (!item) return nullptr;
  const Text type = text::fold(item->typeName());
  if (type == u"mailitem" || (withMeetings && type == u"meetingitem")) return item;
  return nullptr;
}

// Whether the item lies in the default Deleted Items folder; true when that cannot be told.
bool mayLieInDeletedItems(AddinContext& ctx, platform::Item& item) {
  const platform::FolderPtr parent = item.parent();
  const platform::FolderPtr deleted =
      ctx.state.MapiNamespace->getDefaultFolder(platform::kOlFolderDeletedItems);
  if (!parent || !deleted) return true;
  const Text id = parent->entryId();
  return id.empty() || text::equalsNoCase(id, deleted->entryId());
}

// An unsent item that shows up among new mail carrying the re-send marker is handed on to
// Deleted Items, whose follow-up sends it; the tag tells a window still open on it. New mail
// is reported twice (NewMailEx and the Inbox's ItemAdd), and deleting an item that already
// lies in Deleted Items destroys it, so an item that may lie there is left alone.
void handOnUnsentItem(AddinContext& ctx, platform::Item& item) {
  if (!text::equalsNoCase(item.billingInformation(), kSendItNow)) return;
  if (mayLieInDeletedItems(ctx, item)) return;
  if (platform::UserPropertiesPtr properties = item.userProperties()) {
    if (platform::UserPropertyPtr tagProperty =
            properties->add(kResendTagProperty, platform::kOlText)) {
      tagProperty->setValue(Variant(u"1"));
    }
  }
  item.save();
  item.deleteItem();
}

// The identity row of an arriving message, or -1.
int arrivalIdentity(const AddinContext& ctx, TextView headers, Text xRecipientList,
                    platform::Item& item) {
  const Text list = arrivalRecipientList(headers, xRecipientList, item);
  if (list.empty()) return -1;
  return FindIdentity(ctx.state.IdentityTable, list, xRecipientList);
}

int readAccountPosition(TextView accountIndex) {
  const std::optional<long> position = text::readInteger(accountIndex);
  return position && *position > 0 && *position <= 0x7FFF ? static_cast<int>(*position) : 0;
}

}  // namespace

Text arrivalRecipientList(TextView headers, Text& xRecipientList, platform::Item& item) {
  Text list;
  if (!headers.empty()) {
    if (xRecipientList.empty()) xRecipientList = GetXRecipientList(headers);
    list = GetToCcList(headers);
  } else if (platform::RecipientsPtr recipients = item.recipients()) {
    const long count = recipients->count();
    for (long i = 1; i <= count; ++i) {
      const platform::RecipientPtr recipient = recipients->item(i);
      if (!recipient) continue;
      const Text entry = recipientEntry(recipient->name(), recipient->address());
      if (entry.empty()) continue;
      list += entry;
      list += kRecipientSeparator;
    }
  }
  xRecipientList = serverRecipientList(xRecipientList);
  if (list.empty()) list = xRecipientList;
  return list;
}

void StampItem(AddinContext& ctx, TextView entryId) {
  try {
    if (ctx.state.RecentArrivals.takeBack(entryId)) return;
    const ItemPtr item = arrivedItem(ctx, entryId, /*withMeetings=*/true);
    if (!item) return;
    if (!item->sent()) {
      handOnUnsentItem(ctx, *item);
      return;
    }
    // Only mail that came in through the Exchange account is answered from an identity.
    const platform::AccountPtr account = item->sendUsingAccount();
    if (!account) return;
    const Text accountName = account->displayName();
    if (!text::equalsNoCase(accountName, ctx.state.ExchangeAccountName)) {
      // A name that could not be read may be the Exchange account's: the twin report looks
      // again.
      if (!accountName.empty()) ctx.state.RecentArrivals.remember(entryId);
      return;
    }
    const platform::PropertyAccessorPtr accessor = item->propertyAccessor();
    if (!accessor) return;
    // Everything the stamp depends on in one call, as every call crosses into Outlook.
    const std::vector<Variant> read = accessor->getProperties(
        {schema::kXRecipientList, schema::kTransportHeaders, schema::kReadReceiptRequested});
    if (read.size() != 3) return;
    const Text headers = read[1].toText();
    const int i = arrivalIdentity(ctx, headers, read[0].toText(), *item);
    if (i < 0) {
      // Without headers the recipients were read instead, and a failed read of them cannot
      // be told from mail for nobody: then the twin report looks again.
      if (!headers.empty()) ctx.state.RecentArrivals.remember(entryId);
      return;
    }

    // Writing a property replaces what an earlier stamp left.
    const IdentityTable& table = ctx.state.IdentityTable;
    bool written = false;
    if (read[2].toBool()) {
      // With a read receipt pending the stamp is completed when the message is read.
      written = accessor->setProperty(schema::kAccountName, Variant(table.AccountName(i)));
      written = accessor->deleteProperty(schema::kAccountStamp) && written;
    } else {
      written =
          accessor->setProperties({schema::kAccountName, schema::kAccountStamp},
                                  {Variant(table.AccountName(i)), Variant(AccountStamp(table, i))});
    }
    if (item->save() && written) ctx.state.RecentArrivals.remember(entryId);
  } catch (...) {
  }
}

void StampItemCDO(AddinContext& ctx, TextView entryId) {
  try {
    if (ctx.state.RecentArrivals.takeBack(entryId)) return;
    const ItemPtr item = arrivedItem(ctx, entryId, /*withMeetings=*/false);
    if (!item) return;
    if (!item->sent()) {
      handOnUnsentItem(ctx, *item);
      return;
    }
    if (!ctx.state.CdoSession) return;
    const platform::CdoMessagePtr message = ctx.state.CdoSession->getMessage(entryId);
    if (!message) return;
    const platform::CdoFieldsPtr fields = message->fields();
    if (!fields) return;
    const Text xRecipientList = cdoFieldText(*fields, cdo::kXRecipientList);
    const Text headers = ReadRawStringProperty(ctx, *item, tag::kTransportHeaders);
    const int i = arrivalIdentity(ctx, headers, xRecipientList, *item);
    if (i < 0) return;

    const IdentityTable& table = ctx.state.IdentityTable;
    deleteCdoField(*fields, cdo::kAccountName);
    deleteCdoField(*fields, cdo::kAccountStamp);
    bool written = addCommonTextField(*fields, cdo::kAccountNameId, table.AccountName(i));
    if (!item->readReceiptRequested()) {
      written =
          addCommonTextField(*fields, cdo::kAccountStampId, AccountStamp(table, i)) && written;
    }
    if (message->update() && written) ctx.state.RecentArrivals.remember(entryId);
  } catch (...) {
  }
}

Text CompleteStamp(AddinContext& ctx, const ItemPtr& item, bool force) {
  Text result = u"1";
  try {
    if (!item || !item->sent()) return result;
    if (!force && !item->readReceiptRequested()) return result;
    const platform::PropertyAccessorPtr accessor = item->propertyAccessor();
    if (!accessor) return result;
    const Text name = text::trim(accessor->getProperty(schema::kAccountName).toText());
    const Text stamp = text::trim(accessor->getProperty(schema::kAccountStamp).toText());
    const IdentityTable& table = ctx.state.IdentityTable;
    const int i = stampedIdentity(table, name, stamp);
    if (i < 0) return result;
    result = table.AccountIndex(i);

    if (!name.empty() && stamp.empty()) {
      accessor->deleteProperty(schema::kAccountStamp);
      accessor->setProperty(schema::kAccountStamp, Variant(AccountStamp(table, i)));
      item->setReadReceiptRequested(false);
      const platform::NameSpacePtr& ns = ctx.state.MapiNamespace;
      const platform::AccountsPtr accounts = ns ? ns->accounts() : nullptr;
      const int position = readAccountPosition(table.AccountIndex(i));
      if (accounts && position > 0) {
        if (platform::AccountPtr account = accounts->item(position)) {
          item->setSendUsingAccount(account);
        }
      }
      item->save();
    }
  } catch (...) {
  }
  return result;
}

Text CompleteStampCDO(AddinContext& ctx, const ItemPtr& item, bool force) {
  Text result = u"1";
  try {
    if (!item || !item->sent()) return result;
    if (!force && !item->readReceiptRequested()) return result;
    const Text entryId = item->entryId();
    if (entryId.empty() || !ctx.state.CdoSession) return result;
    const platform::CdoMessagePtr message = ctx.state.CdoSession->getMessage(entryId);
    if (!message) return result;
    const platform::CdoFieldsPtr fields = message->fields();
    if (!fields) return result;
    const Text name = cdoFieldText(*fields, cdo::kAccountName);
    const Text stamp = cdoFieldText(*fields, cdo::kAccountStamp);
    const IdentityTable& table = ctx.state.IdentityTable;
    const int i = stampedIdentity(table, name, stamp);
    if (i < 0) return result;
    result = table.AccountIndex(i);

    if (!name.empty() && stamp.empty()) {
      deleteCdoField(*fields, cdo::kAccountStamp);
      addCommonTextField(*fields, cdo::kAccountStampId, AccountStamp(table, i));
      if (platform::CdoFieldPtr receipt = fields->itemByTag(tag::kReadReceiptRequested)) {
        receipt->setValue(Variant(false));
      }
      message->update();
      item->setReadReceiptRequested(false);
      item->save();
    }
  } catch (...) {
  }
  return result;
}

}  // namespace korvanel::addin
