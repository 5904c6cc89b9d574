// The simulated Outlook's data: stores, folders and items held as MAPI property bags plus
// the tables MAPI keeps beside them (recipients, reply recipients, user properties), the
// Exchange organisation whose mailboxes hold the stores, the transport's record, the message
// queue of the user-interface thread, and the creatable classes. The object model
// (sim/outlook_*), CDO and Extended MAPI are views over these same objects, so a property
// written through one is read through the others.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/addin_host.h"
#include "platform/event.h"
#include "platform/mapi.h"
#include "platform/outlook.h"
#include "sim/model_property.h"

namespace korvanel::sim {

class ModelItem;
class ModelFolder;
class ModelStore;
struct Mailbox;
using ModelItemPtr = std::shared_ptr<ModelItem>;
using ModelFolderPtr = std::shared_ptr<ModelFolder>;
using ModelStorePtr = std::shared_ptr<ModelStore>;
using MailboxPtr = std::shared_ptr<Mailbox>;

// One row of an item's recipient table, or of its reply recipients.
struct RecipientRecord {
  Text text;         // as added
  Text name;         // the display name once resolved; the text while unresolved
  Text address;      // SMTP address or distinguished name once resolved
  Text addressType;  // "SMTP" or "EX" once resolved
  long type = platform::kOlTo;
  bool resolved = false;
};

struct UserPropertyRecord {
  Text name;
  long type = platform::kOlText;
  Variant value;
};

// Run-time type name of an item class ("MailItem", "MeetingItem", "TaskRequestItem", ...).
Text typeNameOfClass(long itemClass);

class ModelItem {
 public:
  explicit ModelItem(long itemClass) : itemClass(itemClass) {}

  long itemClass;
  // Empty until saved or delivered. Given by placeItem and left alone while the item is in
  // a folder: the store finds its items by it.
  Text entryId;
  bool sent = false;
  bool removed = false;  // sent away or deleted for good: its objects fail
  bool saved = false;    // false once changed after the last save
  bool transmitted = false;  // the transport sent it (it may have left every folder)
  PropertyBag props;
  std::vector<RecipientRecord> recipients;
  std::vector<RecipientRecord> replyRecipients;
  std::vector<UserPropertyRecord> userProperties;
  long attachmentCount = 0;
  long meetingStatus = platform::kOlNonMeeting;
  bool assigned = false;  // a task being assigned: it leaves as a TaskRequestItem
  // The account a received message came through, by name; empty for mail composed here.
  Text arrivalAccount;
  // The sending account chosen explicitly (SendUsingAccount, the accounts drop-down), by
  // account key; empty when none was chosen.
  Text chosenAccountKey;
  Text senderName;
  Text senderAddress;
  // A label for tests and the trace (a scenario's message id or window name).
  Text label;
  std::weak_ptr<ModelFolder> folder;

  // Events that Outlook raises on the item, whichever object the product holds for it.
  platform::Signal<> read;
  platform::Signal<bool&> close;
  platform::Signal<const Text&> customPropertyChange;
  platform::Signal<const Text&> propertyChange;
  platform::Signal<bool&> open;

  // Property access shared by PropertyAccessor, CDO and Extended MAPI. Besides the bag it
  // answers the reply recipients: 0x0050001E reads their names joined by ";", 0x004F0102 a
  // flat entry list; deleting either clears them; writing 0x0050001E leaves one unresolved,
  // name-only reply recipient per ";"-separated name (resolved when the item is sent).
  std::optional<PropValue> getProperty(const PropKey& key) const;
  void setProperty(const PropKey& key, std::uint16_t type, const Variant& value);
  bool deleteProperty(const PropKey& key);

  // Members kept in properties.
  Text text(std::uint32_t propTag) const { return props.getText(PropKey::tag(propTag)); }
  Text namedText(std::uint16_t id) const {
    return props.getText(PropKey::named(kPsetidCommon, id));
  }
  std::vector<Text> categories() const;
  void setCategories(const std::vector<Text>& categories);

  ModelFolderPtr parentFolder() const { return folder.lock(); }
};

class ModelFolder {
 public:
  Text name;
  Text entryId;
  long defaultType = 0;  // the OlDefaultFolders value, 0 for other folders
  long defaultItemClass = platform::kOlMail;
  std::weak_ptr<ModelStore> store;
  std::weak_ptr<ModelFolder> parent;
  std::vector<ModelFolderPtr> children;
  // Read freely; changed only through placeItem and takeOutItem, which keep the store's
  // index of entry ids.
  std::vector<ModelItemPtr> items;

  platform::Signal<const ModelItemPtr&> itemAdd;
  platform::Signal<const ModelItemPtr&> itemChange;

  ModelFolderPtr child(TextView childName) const;  // without regard to case
  ModelStorePtr storeOf() const { return store.lock(); }
  // Folder names from the store's top folder down, joined by "/", the top folder excluded.
  Text path() const;
};

enum class StoreKind { kExchangeMailbox, kPublicFolders, kPersonalFolders };

class ModelStore {
 public:
  StoreKind kind = StoreKind::kExchangeMailbox;
  Text displayName;  // also the top folder's name
  Text storeId;
  ModelFolderPtr root;
  PropertyBag props;               // store properties (0x661C001E mailbox owner's name)
  std::weak_ptr<Mailbox> mailbox;  // the Exchange mailbox behind it
  Text providerUid;                // 32 hexadecimal digits, part of every entry id of the store
  std::uint32_t nextId = 0;        // counter behind new entry ids

  ModelFolderPtr defaultFolder(long type) const;
  // By entry id, compared without regard to case; nullptr when absent.
  ModelFolderPtr findFolder(TextView entryId) const;
  ModelItemPtr findItem(TextView entryId) const;
  // "Inbox", "Inbox/Projects"; nullptr when absent.
  ModelFolderPtr folderByPath(TextView path) const;
  std::vector<ModelFolderPtr> allFolders() const;

 private:
  friend bool placeItem(const ModelFolderPtr& folder, const ModelItemPtr& item);
  friend void takeOutItem(const ModelItemPtr& item);

  // The items of every folder of the store, by a hash of the folded entry id (the id itself
  // is compared on lookup), so that finding one does not walk a mailbox of thousands.
  std::unordered_multimap<std::size_t, std::weak_ptr<ModelItem>> itemsById_;
};

// Stores with their default folders. Entry ids follow the stores' forms: an Exchange private
// mailbox folder has 92 hexadecimal digits with "0100" at characters 41 to 44 (public
// folders "0300"), its messages 140; a personal folders file uses 48 for both.
ModelStorePtr makeExchangeMailboxStore(TextView displayName, TextView dn, std::uint32_t serial);
ModelStorePtr makePublicFoldersStore(std::uint32_t serial);
ModelStorePtr makePersonalFoldersStore(TextView displayName, TextView path, std::uint32_t serial);
// Adds a folder under parent with a new entry id.
ModelFolderPtr addFolder(const ModelFolderPtr& parent, TextView name, long defaultType = 0,
                         long defaultItemClass = platform::kOlMail);
// A new entry id for an item placed in the store.
Text newItemEntryId(ModelStore& store);
// Puts an item that is in no folder into the folder, with a new entry id of the folder's
// store (an item moved or deleted gets a new one). False, with nothing done, for a folder
// that belongs to no store.
bool placeItem(const ModelFolderPtr& folder, const ModelItemPtr& item);
// Takes the item out of its folder; it then has none and no store finds it.
void takeOutItem(const ModelItemPtr& item);

// A mailbox of the simulated Exchange organisation.
struct Mailbox {
  Text displayName;
  Text alias;
  Text dn;                           // "/o=Contoso/ou=Exchange/cn=Recipients/cn=alias"
  std::vector<Text> proxyAddresses;  // "SMTP:primary@...", "smtp:other@..."
  ModelStorePtr store;

  Text primarySmtp() const;
  bool hasSmtp(TextView address) const;  // any proxy, without regard to case
  Text senderText() const;               // "Display Name <primary@...>"
};

// The Exchange organisation: its directory and its mailboxes, which outlive any Outlook.
class Organisation {
 public:
  Text name = u"Contoso";
  Text server = u"EXCH01";

  // Creates the mailbox and its store (with the default folders). An empty dn gives
  // "/o=" + name + "/ou=Exchange/cn=Recipients/cn=" + alias.
  MailboxPtr addMailbox(TextView displayName, TextView alias, std::vector<Text> proxyAddresses,
                        TextView dn = {});
  MailboxPtr findBySmtp(TextView address) const;
  MailboxPtr findByDn(TextView dn) const;
  // Display name, alias or distinguished name, without regard to case.
  MailboxPtr find(TextView nameOrDn) const;
  const std::vector<MailboxPtr>& mailboxes() const { return mailboxes_; }

 private:
  std::vector<MailboxPtr> mailboxes_;
  std::uint32_t serial_ = 0;
};

// One message as it left through the transport, as a recipient sees it.
struct Transmission {
  Text account;               // the sending account's name
  Text sender;                // "Pat Doe <pat@contoso.com>"
  Text sentRepresenting;      // empty unless sent on behalf of another mailbox
  std::vector<Text> replyTo;  // reply recipients as entered ("Sales [smtp:<sales@...>]")
  std::vector<Text> to;
  std::vector<Text> cc;
  Text subject;
};

// The user-interface thread's queue of messages that Outlook handles later (events raised
// "afterwards", keystrokes). pump() runs them in order, including those posted while it
// runs, until none is left; a handler may pump again (re-entrancy, as DoEvents gives it).
class MessageQueue {
 public:
  // Called after each post (a served Outlook posts itself a window message then).
  std::function<void()> posted;

  void post(std::function<void()> message);
  void pump();
  bool pending() const { return !messages_.empty(); }
  std::size_t size() const { return messages_.size(); }

 private:
  std::deque<std::function<void()>> messages_;
};

// The creatable COM classes the simulated machine knows, by ProgID: the product's test and
// tool code registers "Korvanel.Connect" and "Korvanel.KorvanelPage" here (each factory
// captures the platform::Services it hands on). Objects come back wrapped so that their
// last release runs onTerminate().
class ClassRegistry {
 public:
  using AddInFactory = std::function<std::unique_ptr<platform::AddIn>()>;
  using PageFactory = std::function<std::unique_ptr<platform::PropertyPage>()>;

  void registerAddIn(TextView progId, AddInFactory factory);
  void registerPage(TextView progId, PageFactory factory);
  std::shared_ptr<platform::AddIn> createAddIn(TextView progId) const;
  std::shared_ptr<platform::PropertyPage> createPage(TextView progId) const;
  bool hasAddIn(TextView progId) const;
  bool hasPage(TextView progId) const;

 private:
  std::map<Text, AddInFactory> addIns_;  // keys folded
  std::map<Text, PageFactory> pages_;
};

// An item's MAPIOBJECT in the simulation: Extended MAPI reads the item's properties.
class ModelMapiObject : public platform::MapiObject {
 public:
  explicit ModelMapiObject(ModelItemPtr item) : item(std::move(item)) {}
  ModelItemPtr item;
};

}  // namespace korvanel::sim
