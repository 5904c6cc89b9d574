#include "tools/korvanel-sim/model_view.h"

#include <algorithm>

#include "profile/account_store.h"
#include "profile/profile_key.h"
#include "sim/outlook_recipients.h"
#include "tools/korvanel-sim/observed_addin.h"

namespace korvanel::tool {

namespace {

void collect(const sim::ModelFolderPtr& folder,
             std::vector<std::pair<sim::ModelFolderPtr, sim::ModelItemPtr>>& out) {
  for (const sim::ModelItemPtr& item : folder->items) out.emplace_back(folder, item);
  for (const sim::ModelFolderPtr& child : folder->children) collect(child, out);
}

}  // namespace

std::vector<sim::ModelStorePtr> allStores(sim::Machine& machine) {
  std::vector<sim::ModelStorePtr> out;
  for (const sim::MailboxPtr& m : machine.organisation().mailboxes()) {
    if (m->store) out.push_back(m->store);
  }
  if (auto outlook = machine.outlook()) {
    for (const sim::ModelStorePtr& s : outlook->stores()) {
      if (std::find(out.begin(), out.end(), s) == out.end()) out.push_back(s);
    }
  }
  return out;
}

std::vector<std::pair<sim::ModelFolderPtr, sim::ModelItemPtr>> itemsOf(
    const sim::ModelStorePtr& store) {
  std::vector<std::pair<sim::ModelFolderPtr, sim::ModelItemPtr>> out;
  if (store && store->root) collect(store->root, out);
  return out;
}

std::string folderPlace(const sim::ModelFolderPtr& folder) {
  if (!folder) return "no folder";
  const sim::ModelStorePtr store = folder->storeOf();
  const Text path = folder->path();
  return text::toUtf8((store ? store->displayName : Text()) +
                      (path.empty() ? Text() : u"/" + path));
}

Text accountNameOf(const sim::ModelItem& item) { return item.namedText(sim::prop::kAccountName); }
Text accountStampOf(const sim::ModelItem& item) { return item.namedText(sim::prop::kAccountStamp); }
Text billingOf(const sim::ModelItem& item) { return item.namedText(sim::prop::kBilling); }
Text subjectOf(const sim::ModelItem& item) { return item.text(sim::prop::kSubject); }

bool readReceiptOf(const sim::ModelItem& item) {
  return item.props.get(sim::PropKey::tag(sim::prop::kReadReceiptRequested)).toBool();
}

std::vector<std::pair<Text, Text>> recipientPairs(const sim::ModelItem& item) {
  std::vector<std::pair<Text, Text>> out;
  for (const sim::RecipientRecord& r : item.recipients) out.emplace_back(r.name, r.address);
  return out;
}

std::vector<std::string> recipientsShown(sim::Machine& machine, const sim::ModelItem& item,
                                         long type) {
  std::vector<std::string> out;
  for (const sim::RecipientRecord& r : item.recipients) {
    if (r.type == type) out.push_back(text::toUtf8(sim::displayOf(machine.organisation(), r)));
  }
  return out;
}

const addin::SharedState* connectedKorvanel(sim::Machine& machine) {
  const platform::AddIn* addIn = machine.addIn(u"Korvanel.Connect");
  if (const auto* korvanel = dynamic_cast<const addin::Connect*>(addIn)) return &korvanel->state();
  if (const auto* observed = dynamic_cast<const ObservedAddIn*>(addIn)) return &observed->state();
  return nullptr;
}

const sim::Outlook::Account* accountOfKey(const sim::Outlook& outlook, TextView key,
                                          int* position) {
  const auto& accounts = outlook.accounts();
  for (std::size_t i = 0; i < accounts.size(); ++i) {
    if (!key.empty() && text::equalsNoCase(accounts[i].key, key)) {
      if (position != nullptr) *position = static_cast<int>(i) + 1;
      return &accounts[i];
    }
  }
  return nullptr;
}

std::string accountShown(const sim::Outlook& outlook, const sim::Outlook::Account& account) {
  int position = 0;
  accountOfKey(outlook, account.key, &position);
  return "\"" + text::toUtf8(account.name) + "\" (position " + std::to_string(position) + ")";
}

Text accountNameInRegistry(sim::Machine& machine, TextView profileName, TextView key) {
  if (key.empty() || profileName.empty()) return Text();
  profile::AccountStore store(machine.registry());
  return store.ReadAccountRecord(profile::AccountManagerKey(profileName), key).AccountName;
}

}  // namespace korvanel::tool
