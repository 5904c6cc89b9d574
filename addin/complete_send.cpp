#include "addin/complete_send.h"

#include <iterator>
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

// Leaves the identity as the only reply-to recipient. False when that could not be done: a
// reply-to left over beside the identity's would mix two addresses.
bool replaceReplyRecipients(const AddinContext& ctx, platform::Item& item,
                            const DecodedStamp& stamp) {
  const platform::RecipientsPtr replyTo = item.replyRecipients();
  if (!replyTo) return false;
  for (long i = replyTo->count(); i >= 1; --i) replyTo->remove(i);
  if (replyTo->count() != 0) return false;
  if (!replyTo->add(ReplyToEntry(stamp.name, stamp.address, ctx.state.ReplyAddressFormat))) {
    return false;
  }
  replyTo->resolveAll();
  return replyTo->count() == 1;
}

// The account properties of an item as they were before a send changed them. Put back when
// the send cannot be completed, they leave the next Send the message the first one had.
class AccountProperties {
 public:
  explicit AccountProperties(platform::PropertyAccessor& accessor) {
    for (std::size_t k = 0; k < std::size(kNames); ++k)
      values_[k] = accessor.getProperty(kNames[k]);
  }

  // A property that had no value is deleted again.
  void restore(platform::PropertyAccessor& accessor) const {
    for (std::size_t k = 0; k < std::size(kNames); ++k) {
      if (values_[k].isEmpty()) {
        accessor.deleteProperty(kNames[k]);
      } else {
        accessor.setProperty(kNames[k], values_[k]);
      }
    }
  }

 private:
  static constexpr const char16_t* kNames[] = {schema::kAccountName, schema::kAccountStamp,
                                               schema::kPrimarySendAccount,
                                               schema::kNextSendAccount};
  Variant values_[std::size(kNames)];
};

void dropReceivedAsCategories(platform::Item& item) {
  const Text categories = item.categories();
  if (categories.empty()) return;
  if (std::optional<Text> kept = withoutReceivedAsCategories(categories)) {
    item.setCategories(*kept);
  }
}

// Parks the item for the add-in to send again from Deleted Items: saved with the marker,
// closed, deleted. The item is closed with its changes discarded only once they are saved,
// so a failing save never costs the user the message. False when it could not be saved
// marked: its sender and marker are then as they were, and it stays open, unsent.
bool parkForResend(AddinContext& ctx, const ItemPtr& item, TextView onBehalfOf) {
  const Text billing = item->billingInformation();
  const Text sender = item->sentOnBehalfOfName();
  const bool marked =
      item->setSentOnBehalfOfName(onBehalfOf) && item->setBillingInformation(kSendItNow);
  if (!marked || !item->save()) {
    item->setSentOnBehalfOfName(sender);
    item->setBillingInformation(billing);
    return false;
  }
  item->close(platform::kOlDiscard);
  ctx.services.shell.doEvents();
  if (!item->deleteItem()) keepUnsentMessage(ctx, item);
  return true;
}

// The CDO path's completion of an item whose stamp names identity row k; false when the
// changes did not reach the store. The stamp goes only together with everything the re-send
// needs, in one Update: a message that cannot be completed keeps its stamp in the store, for
// the user's next Send.
bool rewriteCdoMessage(AddinContext& ctx, platform::Item& item, platform::CdoMessage& message,
                       platform::CdoFields& fields, int k, const DecodedStamp& stamp) {
  const IdentityTable& table = ctx.state.IdentityTable;
  const bool mailbox = isMailboxAccountName(table.AccountName(k));

  // Every write the re-send depends on must reach the store, or the item is not parked.
  bool complete = true;
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
      deleteCdoField(fields, tag::kReplyRecipientEntries);
      deleteCdoField(fields, tag::kReplyRecipientNames);
      const Text replyTo = ReplyToEntry(text::trim(table.DisplayName(k)), stamp.address,
                                        ctx.state.ReplyAddressFormat);
      complete = fields.addTag(tag::kReplyRecipientNames, Variant(replyTo)) != nullptr && complete;
    }
  } else if (mailbox) {
    sendOnBehalfOfMailbox();
  }
  if (!complete) return false;

  // The stamp must go: it would send the message through the identity account.
  deleteCdoField(fields, cdo::kBilling);
  deleteCdoField(fields, cdo::kAccountName);
  deleteCdoField(fields, cdo::kAccountStamp);
  if (fields.itemByName(cdo::kAccountStamp) || fields.itemByName(cdo::kAccountName)) return false;
  // Only a message ready to go is marked for the re-send.
  if (!addCommonTextField(fields, cdo::kBillingId, kSendItNow)) return false;
  deleteCdoField(fields, tag::kNextSendAccount);
  deleteCdoField(fields, tag::kNextSendAccountUnicode);
  return message.update();
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
  // Half re-pointed, the name would say one account and the stamp another.
  const AccountProperties before(accessor);
  bool written = accessor.setProperty(schema::kAccountName, Variant(state.ExchangeAccountName));
  written = written && accessor.setProperty(schema::kAccountStamp, Variant(state.ExchangeStamp));
  written = written && accessor.setProperty(schema::kPrimarySendAccount, Variant(sendAccount));
  written = written && accessor.setProperty(schema::kNextSendAccount, Variant(sendAccount));
  if (!written) before.restore(accessor);
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

    // A step that fails leaves the message as it was and open, so that the user's next Send
    // completes it from the same identity.
    bool park = false;
    bool stamped = false;
    Text onBehalfOf;
    const platform::PropertyAccessorPtr accessor = item->propertyAccessor();
    std::optional<AccountProperties> original;
    if (accessor) {
      const Text name = text::trim(accessor->getProperty(schema::kAccountName).toText());
      const Text stamp = accessor->getProperty(schema::kAccountStamp).toText();
      if (isIdentityAccountName(name) && !isExchangeAccount(ctx.state, name, stamp)) {
        stamped = true;
        std::optional<DecodedStamp> decoded = decodeStamp(stamp, name);
        if (!decoded) {
          // The stamp could not be read: the account name still names the identity.
          const int row = stampedIdentity(ctx.state.IdentityTable, name, u"");
          if (row >= 0) decoded = decodeStamp(AccountStamp(ctx.state.IdentityTable, row), name);
        }
        if (decoded) {
          if (sentByTheUser(ctx, *item)) {
            if (text::startsWithNoCase(decoded->name, u"EX MBX [")) {
              park = type == u"mailitem";
            } else if (!replaceReplyRecipients(ctx, *item, *decoded)) {
              reportMessageKeptOpen(ctx, item);
              return true;
            }
          } else if (isMailboxAccountName(decoded->name)) {
            park = type == u"mailitem";
          }
          onBehalfOf = decoded->address;
        }
        original.emplace(*accessor);
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
    if (!parkForResend(ctx, item, onBehalfOf)) {
      if (original) original->restore(*accessor);
      reportMessageKeptOpen(ctx, item);
    }
    return true;
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
