#include "addin/sent_items.h"

#include <vector>

#include "addin/cdo_fields.h"
#include "addin/identity_text_forms.h"
#include "addin/message_property_names.h"
#include "addin/unsent_message.h"

namespace korvanel::addin {
namespace {

using platform::ItemPtr;
using platform::Variant;
using text::Text;
using text::TextView;

// SkipNextSend for exactly the duration of the add-in's own Send: the ItemSend it raises
// passes the item unchanged, and a Send that fails before raising it leaves no flag behind
// to swallow the user's next send.
class SkipNextSendScope {
 public:
  explicit SkipNextSendScope(SharedState& state) : state_(state) { state_.SkipNextSend = true; }
  ~SkipNextSendScope() { state_.SkipNextSend = false; }
  SkipNextSendScope(const SkipNextSendScope&) = delete;
  SkipNextSendScope& operator=(const SkipNextSendScope&) = delete;

 private:
  SharedState& state_;
};

bool resend(AddinContext& ctx, platform::Item& item) {
  SkipNextSendScope skip(ctx.state);
  return item.send();
}

// The single reply-to recipient of a sent copy, when there is exactly one.
platform::RecipientPtr singleReplyRecipient(platform::Item& item,
                                            platform::RecipientsPtr& replyTo) {
  replyTo = item.replyRecipients();
  if (!replyTo || replyTo->count() != 1) return nullptr;
  return replyTo->item(1);
}

// The identity's stamp on a sent copy, through the PropertyAccessor.
void writeStamp(platform::Item& item, platform::PropertyAccessor& accessor,
                const IdentityTable& table, int i) {
  accessor.deleteProperty(schema::kAccountName);
  accessor.deleteProperty(schema::kAccountStamp);
  accessor.setProperty(schema::kAccountName, Variant(table.AccountName(i)));
  accessor.setProperty(schema::kAccountStamp, Variant(AccountStamp(table, i)));
  item.save();
}

void restampOnBehalfCopy(AddinContext& ctx, platform::Item& item) {
  const IdentityTable& table = ctx.state.IdentityTable;
  const int i = onBehalfIdentity(table, item.sentOnBehalfOfName());
  if (i < 0) return;
  if (const platform::PropertyAccessorPtr accessor = item.propertyAccessor()) {
    writeStamp(item, *accessor, table, i);
  }
}

// The identity's stamp through CDO fields (written on the message's Update); nothing when
// the identity lacks an account name or key.
void writeCdoStamp(platform::CdoFields& fields, TextView accountName, TextView accountKey,
                   TextView address) {
  const Text name = text::trim(accountName);
  const Text key = text::trim(accountKey);
  if (name.empty() || key.empty()) return;
  deleteCdoField(fields, cdo::kAccountName);
  deleteCdoField(fields, cdo::kAccountStamp);
  addCommonTextField(fields, cdo::kAccountNameId, name);
  addCommonTextField(fields, cdo::kAccountStampId, AccountStamp(key, address));
}

}  // namespace

Text cleanReplyAddress(TextView address) {
  Text cleaned = text::replaceAll(address, u"smtp:", u"");
  if (!cleaned.empty() && cleaned.front() == u'<') cleaned.erase(0, 1);
  if (!cleaned.empty() && cleaned.back() == u'>') cleaned.pop_back();
  return cleaned;
}

int sentCopyIdentity(const IdentityTable& table, TextView name, TextView address) {
  const std::vector<int>& rows = table.rowsWithEmail(address);
  if (rows.empty()) return -1;
  for (int row : rows) {
    if (text::equalsNoCase(text::trim(table.DisplayName(row)), name)) return row;
  }
  return rows.front();
}

int onBehalfIdentity(const IdentityTable& table, TextView sentRepresenting) {
  const Text name = text::trim(sentRepresenting);
  if (name.empty()) return -1;
  for (int row = table.IdFirst(); row <= table.IdLast(); ++row) {
    if (!isMailboxAccountName(table.AccountName(row)) || table.Email(row).empty()) continue;
    const Text senderForm = table.DisplayName(row) + u" [EX:" + table.Email(row) + u"]";
    if (text::equalsNoCase(name, table.Email(row)) ||
        text::equalsNoCase(name, text::trim(table.DisplayName(row))) ||
        text::equalsNoCase(name, senderForm)) {
      return row;
    }
  }
  return -1;
}

void RestampSentItem(AddinContext& ctx, const ItemPtr& item) {
  try {
    if (!item) return;
    const platform::AccountPtr account = item->sendUsingAccount();
    if (!account || !text::equalsNoCase(account->displayName(), ctx.state.ExchangeAccountName)) {
      return;
    }
    const IdentityTable& table = ctx.state.IdentityTable;
    platform::RecipientsPtr replyTo;
    const platform::RecipientPtr recipient = singleReplyRecipient(*item, replyTo);
    if (!recipient) {
      if (replyTo && replyTo->count() == 0) restampOnBehalfCopy(ctx, *item);
      return;
    }
    const Text name = text::trim(recipient->name());
    const Text address = text::trim(recipient->address());
    const platform::AddressEntryPtr entry = recipient->addressEntry();
    if (!entry || entry->addressEntryUserType() != platform::kOlSmtpAddressEntry) return;
    const int i = sentCopyIdentity(table, name, cleanReplyAddress(address));
    if (i < 0) return;
    const platform::PropertyAccessorPtr accessor = item->propertyAccessor();
    if (!accessor) return;

    replyTo->remove(1);
    writeStamp(*item, *accessor, table, i);
  } catch (...) {
  }
}

void RestampSentItemCDO(AddinContext& ctx, const ItemPtr& item) {
  try {
    if (!item || text::fold(item->typeName()) != u"mailitem" || !item->sent()) return;
    const Text entryId = item->entryId();
    if (entryId.empty() || !ctx.state.CdoSession) return;
    const platform::CdoMessagePtr message = ctx.state.CdoSession->getMessage(entryId);
    if (!message) return;
    const platform::CdoFieldsPtr fields = message->fields();
    if (!fields) return;

    // A copy that already carries an identity's stamp is left as it is; the Exchange
    // account's stamp counts as none.
    const Text stamp = text::trim(cdoFieldText(*fields, cdo::kAccountStamp));
    const bool exchangeStamp =
        text::equalsNoCase(TextView(stamp).substr(0, 8), ctx.state.ExchangeAccountKey);
    if (!stamp.empty() && !exchangeStamp) return;

    const IdentityTable& table = ctx.state.IdentityTable;
    platform::RecipientsPtr replyTo;
    const platform::RecipientPtr recipient = singleReplyRecipient(*item, replyTo);
    if (!recipient) {
      if (replyTo && replyTo->count() == 0) {
        const int i = onBehalfIdentity(table, item->sentOnBehalfOfName());
        if (i < 0) return;
        writeCdoStamp(*fields, table.AccountName(i), table.AccountKey(i), table.Email(i));
        message->update();
      }
      return;
    }
    const Text name = text::trim(recipient->name());
    const Text address = cleanReplyAddress(text::trim(recipient->address()));
    const platform::AddressEntryPtr entry = recipient->addressEntry();
    if (!entry || !text::equalsNoCase(entry->type(), u"SMTP")) return;
    if (address.empty()) return;
    const int i = sentCopyIdentity(table, name, address);
    if (i < 0) return;

    deleteCdoField(*fields, tag::kReplyRecipientEntries);
    deleteCdoField(*fields, tag::kReplyRecipientNames);
    writeCdoStamp(*fields, table.AccountName(i), table.AccountKey(i), address);
    message->update();
  } catch (...) {
  }
}

void ResendParkedItem(AddinContext& ctx, const ItemPtr& item) {
  try {
    if (!item) return;
    const Text billing = item->billingInformation();
    const Text type = text::fold(item->typeName());
    if (text::equalsNoCase(billing, kSendItNow)) {
      bool resent = true;
      if (type == u"mailitem") {
        item->setBillingInformation(u"");
        resent = resend(ctx, *item);
      } else if (type == u"meetingitem") {
        item->setBillingInformation(u"");
        item->save();
        item->close(platform::kOlSave);
        resent = resend(ctx, *item);
      }
      // Left here with its marker gone, the message would be destroyed with the folder's
      // contents while the user believes it sent.
      if (!resent) keepUnsentMessage(ctx, item);
    }
    if (text::equalsNoCase(billing, kDeleteItNow)) item->deleteItem();
  } catch (...) {
  }
}

}  // namespace korvanel::addin
