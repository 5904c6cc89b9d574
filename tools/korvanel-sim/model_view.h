// Reading the simulated machine the way the story and the trace show it: the stores and
// their items, an item's account properties, the accounts, the connected add-in's identities.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "addin/connect.h"
#include "sim/machine.h"
#include "sim/outlook_app.h"

namespace korvanel::tool {

using text::Text;
using text::TextView;

// Every store of the organisation's mailboxes, then the other stores the running Outlook
// has open; each once, in that stable order.
std::vector<sim::ModelStorePtr> allStores(sim::Machine& machine);
// The items of a store, folder by folder (depth first), each folder's items in order.
std::vector<std::pair<sim::ModelFolderPtr, sim::ModelItemPtr>> itemsOf(
    const sim::ModelStorePtr& store);

// "Mailbox - Pat Doe/Inbox".
std::string folderPlace(const sim::ModelFolderPtr& folder);

// Named properties 0x8580 and 0x8581, BillingInformation; empty text when absent.
Text accountNameOf(const sim::ModelItem& item);
Text accountStampOf(const sim::ModelItem& item);
Text billingOf(const sim::ModelItem& item);
Text subjectOf(const sim::ModelItem& item);
bool readReceiptOf(const sim::ModelItem& item);
// (display name, address) of the item's recipients, as the add-in reads them.
std::vector<std::pair<Text, Text>> recipientPairs(const sim::ModelItem& item);
// The recipients of a type (kOlTo, kOlCC) as Outlook shows them: "Ann <ann@fabrikam.com>".
std::vector<std::string> recipientsShown(sim::Machine& machine, const sim::ModelItem& item,
                                         long type);

// What the Korvanel add-in connected to the running Outlook loaded; nullptr when none is
// connected. Over COM, what it read from the registry as it connected (ObservedAddIn).
const addin::SharedState* connectedKorvanel(sim::Machine& machine);

// The running Outlook's account of that key and its 1-based position; nullptr when none.
const sim::Outlook::Account* accountOfKey(const sim::Outlook& outlook, TextView key,
                                          int* position = nullptr);
// "\"EX [Sales <sales@contoso.com>]\" (position 3)".
std::string accountShown(const sim::Outlook& outlook, const sim::Outlook::Account& account);

// The profile's account of that key, read from the registry ("" when there is none).
Text accountNameInRegistry(sim::Machine& machine, TextView profileName, TextView key);

}  // namespace korvanel::tool
