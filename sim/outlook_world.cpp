#include "sim/outlook_world.h"

#include "sim/outlook_app.h"
#include "sim/outlook_headers.h"
#include "sim/outlook_profile_reader.h"
#include "sim/outlook_recipients.h"

namespace korvanel::sim {

World::World(platform::Registry& registry) : registry_(registry) {}

World::~World() {
  // An Outlook still running goes with its world; whatever it held for others (an Options
  // page holding its Application) must not keep it alive afterwards.
  if (current_) current_->terminateProcess();
}

ModelStorePtr World::personalFolders(TextView path, TextView displayName) {
  const Text key = text::fold(path);
  auto it = personalFolders_.find(key);
  if (it != personalFolders_.end()) return it->second;
  auto store = makePersonalFoldersStore(displayName.empty() ? TextView(u"Personal Folders") : displayName,
                                        path, nextSerial());
  personalFolders_[key] = store;
  return store;
}

ModelStorePtr World::publicFolders() {
  if (!publicFolders_) publicFolders_ = makePublicFoldersStore(nextSerial());
  return publicFolders_;
}

std::shared_ptr<Outlook> World::startOutlook(const OutlookOptions& options) {
  if (current_ && !current_->ended()) return nullptr;
  current_.reset();
  Text profile = options.profile.empty() ? defaultProfileName(registry_) : options.profile;
  if (profile.empty() || !profileExists(registry_, profile)) return nullptr;
  auto outlook = std::make_shared<Outlook>(*this, options, profile);
  current_ = outlook;
  outlook->start();
  return outlook;
}

std::shared_ptr<Outlook> World::current() const {
  return current_ && !current_->ended() ? current_ : nullptr;
}

void World::outlookEnded(const Outlook& outlook) {
  if (current_.get() == &outlook) current_.reset();
}

ModelItemPtr World::deliver(const ModelFolderPtr& folder, const IncomingMessage& message) {
  if (!folder) return nullptr;
  auto store = folder->storeOf();
  if (!store) return nullptr;
  auto item = std::make_shared<ModelItem>(message.itemClass);
  item->sent = message.sent;
  item->saved = true;
  item->label = message.label;
  item->props.setText(PropKey::tag(prop::kSubject), message.subject);
  if (!message.body.empty()) item->props.setText(PropKey::tag(prop::kBody), message.body);
  splitNameAddress(message.from, item->senderName, item->senderAddress);
  if (item->senderName.empty()) item->senderName = item->senderAddress;
  item->props.setText(PropKey::tag(prop::kSenderName), item->senderName);
  item->props.setText(PropKey::tag(prop::kSenderEmail), item->senderAddress);
  auto addRecipients = [&](const std::vector<Text>& texts, long type) {
    for (const Text& t : texts) {
      RecipientRecord r;
      r.text = t;
      r.name = t;
      r.type = type;
      resolveRecord(organisation_, r);
      item->recipients.push_back(std::move(r));
    }
  };
  addRecipients(message.to, platform::kOlTo);
  addRecipients(message.cc, platform::kOlCC);
  Text headers = message.headers;
  if (headers.empty() && message.buildHeaders) {
    headers = buildTransportHeaders(message.from, message.to, message.cc, message.subject,
                                    message.xRecipientList);
  }
  if (!headers.empty()) item->props.setText(PropKey::tag(prop::kTransportHeaders), headers);
  if (!message.xRecipientList.empty()) {
    item->props.setText(PropKey::named(kPsInternetHeaders, prop::kRecipientList),
                        message.xRecipientList);
  }
  if (message.readReceipt) {
    item->props.set(PropKey::tag(prop::kReadReceiptRequested), kPtBoolean, Variant(true));
  }
  if (!message.billing.empty()) {
    item->props.setText(PropKey::named(kPsetidCommon, prop::kBilling), message.billing);
  }
  item->props.set(PropKey::tag(prop::kConversationIndex), kPtBinary,
                  Variant(message.conversationIndex.empty()
                              ? freshConversationIndex(nextSerial())
                              : bytesOfHex(message.conversationIndex)));
  item->arrivalAccount = message.account;
  placeItem(folder, item);
  if (auto outlook = current()) outlook->announceArrival(folder, item);
  return item;
}

}  // namespace korvanel::sim
