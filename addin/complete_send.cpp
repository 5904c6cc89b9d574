#include "addin/complete_send.h"

#include <vector>

#include "addin/cdo_fields.h"
#include "addin/exchange_account.h"
#include "addin/identity_text_forms.h"
#include "addin/message_property_names.h"
#include "addin/stamped_identity.h"
#include "addin/unsent_message.h"

namespace korvanel::addin {
namespace {

using platform::ItemPtr;
using platform::Variant;
using text::Text;
using text::TextView;

constexpr char16_t kCategorySeparator[] = u", ";
constexpr unsigned long kWordEditorPause = 500;

Text lowerTypeName(platform::Item& item) { return text::fold(item.typeName()); }

// The account name of an identity account ("EX [..." or "EX MBX..."), which a message
// carries in 0x8580 once its reply origin or the sender selection has stamped it.
bool isIdentityAccountName(TextView name) {
  return name.size() > 6 && (isAddressAccountName(name) || isMailboxAccountName(name));
}

bool sentByTheUser(const AddinContext& ctx, platform::Item& item) {
  const Text onBehalf = item.sentOnBehalfOfName();
  return onBehalf.empty() || text::equalsNoCase(onBehalf, ctx.state.CurrentUserName);
}

// Leaves the identity as the only reply-to recipient.
void replaceReplyRecipients(const AddinContext& ctx, platform::Item& item,
                            const DecodedStamp& stamp) {
  const platform::RecipientsPtr replyTo = item.replyRecipients();
  if (!replyTo) return;
  for (long i = replyTo->count(); i >= 1; --i) replyTo->remove(i);
  replyTo->add(ReplyToEntry(stamp.name, stamp.address, ctx.state.ReplyAddressFormat));
  replyTo->resolveAll();
}

void dropReceivedAsCategories(platform::Item& item) {
  const Text categories = item.categories();
  if (categories.empty()) return;
  if (std::optional<Text> kept = withoutReceivedAsCategories(categories)) {
    item.setCategories(*kept);
  }
}

// Parks the item for the add-in to send again from Deleted Items: saved with the marker,
// closed, deleted. The item is closed with its changes discarded only once they are saved,
// so a failing save never costs the user the message: it stays open, unsent.
bool parkForResend(AddinContext& ctx, const ItemPtr& item, TextView onBehalfOf) {
  const Text billing = item->billingInformation();
  const bool marked =
      item->setSentOnBehalfOfName(onBehalfOf) && item->setBillingInformation(kSendItNow);
  if (!marked || !item->save()) {
    item->setBillingInformation(billing);
    reportMessageKeptOpen(ctx, item);
    return true;
  }
  item->close(platform::kOlDiscard);
  ctx.services.shell.doEvents();
  if (!item->deleteItem()) keepUnsentMessage(ctx, item);
  return true;
}

// The CDO path's completion of an item whose stamp names identity row k; false when the
// changes did not reach the store.
bool rewriteCdoMessage(AddinContext& ctx, platform::Item& item, platform::CdoMessage& message,
                       platform::CdoFields& fields, int k, const DecodedStamp& stamp) {
  const IdentityTable& table = ctx.state.IdentityTable;
  const bool mailbox = isMailboxAccountName(table.AccountName(k));
  deleteCdoField(fields, cdo::kBilling);
  deleteCdoField(fields, cdo::kAccountName);
  deleteCdoField(fields, cdo::kAccountStamp);

  // Every write the re-send depends on must reach the store, or the item is not parked. The
  // stamp must go: it would send the message through the identity account.
  bool complete = !fields.itemByName(cdo::kAccountStamp) && !fields.itemByName(cdo::kAccountName);
  const Text mailboxSender = table.DisplayName(k) + u" [EX:" + table.Email(k) + u"]";
  auto sendOnBehalfOfMailbox = [&] {
    deleteCdoField(fields, tag::kSentRepresentingEntryId);
    deleteCdoField(fields, tag::kSentRepresentingName);
    deleteCdoField(fields, tag::kSentRepresentingEmail);
    message.update();
    complete = fields.addTag(tag::kSentRepresentingName, Variant(mailboxSender)) != nullptr &&
               message.update() && complete;
  };

  if (sentByTheUser(ctx, item)) {
    if (mailbox) {
      sendOnBehalfOfMailbox();
    } else {
      const Text display = text::trim(table.DisplayName(k));
      deleteCdoField(fields, tag::kReplyRecipientEntries);
      deleteCdoField(fields, tag::kReplyRecipientNames);
      complete = fields.addTag(tag::kReplyRecipientNames,
                               Variant(ReplyToEntry(display, stamp.address,
                                                    ctx.state.ReplyAddressFormat))) != nullptr &&
                 complete;
    }
  } else if (mailbox) {
    sendOnBehalfOfMailbox();
  }

  // Only a message ready to go is marked for the re-send.
  if (complete) complete = addCommonTextField(fields, cdo::kBillingId, kSendItNow);
  deleteCdoField(fields, tag::kNextSendAccount);
  deleteCdoField(fields, tag::kNextSendAccountUnicode);
  return message.update() && complete;
}

}  // namespace

std::optional<DecodedStamp> decodeStamp(TextView stamp, TextView accountName) {
  const std::size_t separator = stamp.find(kStampSeparator);
  if (separator == TextView::npos || separator == 0) return std::nullopt;
  DecodedStamp decoded;
  decoded.address = text::trim(stamp.substr(separator + 1));
  if (decoded.address.empty()) return std::nullopt;

  Text name(accountName);
  const std::size_t at = text::findNoCase(name, decoded.address);
  if (at != Text::npos && at > 0) name = text::trim(TextView(name).substr(0, at));
  if (!name.empty() && name.back() == u'<') {
    name.pop_back();
    name = text::trim(name);
  }
  if (text::startsWithNoCase(name, u"EX [")) name = text::trim(TextView(name).substr(4));
  decoded.name = std::move(name);
  return decoded;
}

bool repointAtExchangeAccount(const AddinContext& ctx, platform::PropertyAccessor& accessor) {
  const SharedState& state = ctx.state;
  Text sendAccount = state.ExchangeStamp;
  sendAccount += kStampSeparator;
  sendAccount += state.ExchangeAccountName;
  bool written = accessor.setProperty(schema::kAccountName, Variant(state.ExchangeAccountName));
  written = accessor.setProperty(schema::kAccountStamp, Variant(state.ExchangeStamp)) && written;
  written = accessor.setProperty(schema::kPrimarySendAccount, Variant(sendAccount)) && written;
  written = accessor.setProperty(schema::kNextSendAccount, Variant(sendAccount)) && written;
  return written;
}

std::optional<Text> withoutReceivedAsCategories(TextView categories) {
  std::vector<Text> kept;
  bool dropped = false;
  for (Text& category : text::split(categories, kCategorySeparator)) {
    if (text::startsWithNoCase(category, kReceivedAsPrefix)) {
      dropped = true;
    } else {
      kept.push_back(std::move(category));
    }
  }
  if (!dropped) return std::nullopt;
  return text::join(kept, kCategorySeparator);
}

bool CompleteTaskSend(AddinContext& ctx, const ItemPtr& item) {
  try {
    if (!item) return false;
    const platform::PropertyAccessorPtr accessor = item->propertyAccessor();
    if (!accessor) return false;
    const Text name = text::trim(accessor->getProperty(schema::kAccountName).toText());
    const Text stamp = accessor->getProperty(schema::kAccountStamp).toText();
    if (isIdentityAccountName(name) && !isExchangeAccount(ctx.state, name, stamp)) {
      repointAtExchangeAccount(ctx, *accessor);
    }
  } catch (...) {
  }
  return false;
}

bool CompleteSend(AddinContext& ctx, const ItemPtr& item) {
  try {
    if (!item) return false;
    const Text type = lowerTypeName(*item);
    if (ctx.state.SkipNextSend) {
      ctx.state.SkipNextSend = false;
      return false;
    }
    dropReceivedAsCategories(*item);

    bool park = false;
    bool stamped = false;
    Text onBehalfOf;
    if (const platform::PropertyAccessorPtr accessor = item->propertyAccessor()) {
      const Text name = text::trim(accessor->getProperty(schema::kAccountName).toText());
      const Text stamp = accessor->getProperty(schema::kAccountStamp).toText();
      if (isIdentityAccountName(name) && !isExchangeAccount(ctx.state, name, stamp)) {
        stamped = true;
        if (std::optional<DecodedStamp> decoded = decodeStamp(stamp, name)) {
          if (sentByTheUser(ctx, *item)) {
            if (text::startsWithNoCase(decoded->name, u"EX MBX [")) {
              park = type == u"mailitem";
            } else {
              replaceReplyRecipients(ctx, *item, *decoded);
            }
          } else if (isMailboxAccountName(decoded->name)) {
            park = type == u"mailitem";
          }
          onBehalfOf = decoded->address;
        }
        if (!repointAtExchangeAccount(ctx, *accessor)) {
          reportMessageKeptOpen(ctx, item);
          return true;
        }
      }
    }
    if (!stamped) {
      // When the stamp cannot be read, the account the item would leave through still tells.
      const platform::AccountPtr account = item->sendUsingAccount();
      const Text accountName = account ? text::trim(account->displayName()) : Text();
      if (isIdentityAccountName(accountName) && !isExchangeAccount(ctx.state, accountName)) {
        reportMessageKeptOpen(ctx, item);
        return true;
      }
    }
    if (!park) return false;
    return parkForResend(ctx, item, onBehalfOf);
  } catch (...) {
    return false;
  }
}

bool CompleteSendCDO(AddinContext& ctx, const ItemPtr& item) {
  try {
    if (!item) return false;
    if (ctx.state.SkipNextSend) {
      ctx.state.SkipNextSend = false;
      return false;
    }
    // The follow-up in Deleted Items finds the parked item by its BillingInformation.
    const bool billingWritable = item->setBillingInformation(u"");
    item->save();
    const Text entryId = item->entryId();
    if (entryId.empty() || !ctx.state.CdoSession) return false;
    platform::CdoMessagePtr message = ctx.state.CdoSession->getMessage(entryId);
    if (!message) return false;
    const platform::CdoFieldsPtr fields = message->fields();
    if (!fields) return false;

    if (!item->categories().empty()) {
      const Variant keywords = cdoFieldValue(*fields, cdo::kKeywords);
      if (keywords.isTextArray()) {
        std::vector<Text> kept;
        bool dropped = false;
        for (Text& keyword : keywords.toTextArray()) {
          if (text::startsWithNoCase(keyword, kReceivedAsPrefix)) {
            dropped = true;
          } else {
            kept.push_back(std::move(keyword));
          }
        }
        if (dropped) {
          deleteCdoField(*fields, cdo::kKeywords);
          if (!kept.empty()) {
            fields->addNamed(cdo::kKeywords, platform::kCdoArray, Variant(std::move(kept)), u"");
          }
          message->update();
        }
      }
    }

    const Text stampText = cdoFieldText(*fields, cdo::kAccountStamp);
    if (!decodeStamp(stampText, u"")) return false;
    const Text accountName = cdoFieldText(*fields, cdo::kAccountName);
    // Sent through the user's own account: no identity to complete.
    if (isExchangeAccount(ctx.state, accountName, stampText)) return false;
    const std::optional<DecodedStamp> stamp = decodeStamp(stampText, accountName);
    if (!stamp) return false;
    // Identities may share an address: the row is the one the stamp names.
    const int k = stampedIdentity(ctx.state.IdentityTable, accountName, stampText);
    if (k < 0) return false;

    if (!billingWritable || !rewriteCdoMessage(ctx, *item, *message, *fields, k, *stamp)) {
      // Without the marker in the store the parked item would lie in Deleted Items never
      // to be sent; and as it is, it would leave through the identity account, which has
      // no servers. The user keeps it open and sends it again.
      reportMessageKeptOpen(ctx, item);
      return true;
    }
    message.reset();

    if (isMailboxAccountName(ctx.state.IdentityTable.AccountName(k))) {
      if (platform::RecipientsPtr recipients = item->recipients()) recipients->resolveAll();
    }
    platform::InspectorPtr inspector = item->getInspector();
    if (inspector && inspector->isWordMail()) CloseWordEditor(ctx, inspector);
    item->close(platform::kOlDiscard);
    inspector.reset();
    ctx.services.shell.doEvents();
    if (!item->deleteItem()) keepUnsentMessage(ctx, item);
    return true;
  } catch (...) {
    return false;
  }
}

void CloseWordEditor(AddinContext& ctx, const platform::InspectorPtr& inspector) {
  try {
    if (!inspector) return;
    ctx.services.shell.sleep(kWordEditorPause);
    const platform::WordDocumentPtr document = inspector->wordEditor();
    if (!document) return;
    platform::WordApplicationPtr word = document->application();
    if (!word) word = document->parent();
    if (!word) return;
    // The Normal template is not offered for saving when Word goes.
    word->setCustomizationContextSaved(true);
    if (word->windowsCount() < 2) {
      word->quit(platform::kWdDoNotSaveChanges);
    } else {
      document->close(platform::kWdDoNotSaveChanges);
    }
  } catch (...) {
  }
}

}  // namespace korvanel::addin
