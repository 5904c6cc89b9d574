// The Outlook 2003/2007 object model as Korvanel uses it.
//
// These interfaces are the product's only view of Outlook. They mirror the late-bound way the
// product talks to Outlook: one Item interface stands for every item type (MailItem,
// MeetingItem, TaskRequestItem, ...), told apart by typeName() and itemClass(); a member an
// item type lacks simply fails. sim/ implements them as a small, faithful Outlook; win/ will
// wrap the COM objects.
//
// Contract for every interface in this header:
//  - No call throws. A failing call returns its empty value: nullptr for an object, an empty
//    text, 0, false, an empty Variant, an empty Connection. A setter returns false when it
//    failed. Members that exist only in Outlook 2007 (PropertyAccessor, Accounts,
//    SendUsingAccount, CurrentProfileName, GetStoreFromID) fail on Outlook 2003.
//  - Objects are shared: holding a pointer keeps the object alive, as a COM reference does;
//    nullptr is "nothing". Two calls may return two different objects for the same Outlook
//    thing (compare EntryIDs, not pointers).
//  - Collections are 1-based, as in Outlook; item(i) outside 1..count() gives nullptr.
//  - Events: each on...() hands out a Connection; the handler is called exactly while the
//    Connection is held (see platform/event.h). Outlook raises some events later, not inside
//    the call that caused them (ItemAdd after a Delete, a window's Activate after it opens):
//    they are delivered when pending window messages are processed (Shell::doEvents) or when
//    the current event handler has returned to Outlook.
//  - Single-threaded: everything runs on Outlook's user-interface thread.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/dispatch.h"
#include "platform/event.h"
#include "platform/mapi.h"
#include "platform/office.h"
#include "platform/variant.h"
#include "platform/word.h"

namespace korvanel::platform {

class Application;
class NameSpace;
class Explorers;
class Explorer;
class Inspectors;
class Inspector;
class Selection;
class Folders;
class Folder;
class Store;
class Items;
class Item;
class Recipients;
class Recipient;
class AddressEntry;
class UserProperties;
class UserProperty;
class Attachments;
class PropertyAccessor;
class Accounts;
class Account;
class COMAddIns;
class COMAddIn;
class PropertyPages;

using ApplicationPtr = std::shared_ptr<Application>;
using NameSpacePtr = std::shared_ptr<NameSpace>;
using ExplorersPtr = std::shared_ptr<Explorers>;
using ExplorerPtr = std::shared_ptr<Explorer>;
using InspectorsPtr = std::shared_ptr<Inspectors>;
using InspectorPtr = std::shared_ptr<Inspector>;
using SelectionPtr = std::shared_ptr<Selection>;
using FoldersPtr = std::shared_ptr<Folders>;
using FolderPtr = std::shared_ptr<Folder>;
using StorePtr = std::shared_ptr<Store>;
using ItemsPtr = std::shared_ptr<Items>;
using ItemPtr = std::shared_ptr<Item>;
using RecipientsPtr = std::shared_ptr<Recipients>;
using RecipientPtr = std::shared_ptr<Recipient>;
using AddressEntryPtr = std::shared_ptr<AddressEntry>;
using UserPropertiesPtr = std::shared_ptr<UserProperties>;
using UserPropertyPtr = std::shared_ptr<UserProperty>;
using AttachmentsPtr = std::shared_ptr<Attachments>;
using PropertyAccessorPtr = std::shared_ptr<PropertyAccessor>;
using AccountsPtr = std::shared_ptr<Accounts>;
using AccountPtr = std::shared_ptr<Account>;
using COMAddInsPtr = std::shared_ptr<COMAddIns>;
using COMAddInPtr = std::shared_ptr<COMAddIn>;
using PropertyPagesPtr = std::shared_ptr<PropertyPages>;

// CreateItem types.
inline constexpr long kOlMailItem = 0;
inline constexpr long kOlAppointmentItem = 1;

// Item Class values (OlObjectClass).
inline constexpr long kOlAppointment = 26;
inline constexpr long kOlContact = 40;
inline constexpr long kOlMail = 43;
inline constexpr long kOlPost = 45;
inline constexpr long kOlReport = 46;
inline constexpr long kOlTask = 48;
inline constexpr long kOlTaskRequest = 49;
inline constexpr long kOlTaskRequestUpdate = 50;
inline constexpr long kOlTaskRequestAccept = 51;
inline constexpr long kOlTaskRequestDecline = 52;
inline constexpr long kOlMeetingRequest = 53;
inline constexpr long kOlMeetingCancellation = 54;
inline constexpr long kOlMeetingResponseNegative = 55;
inline constexpr long kOlMeetingResponsePositive = 56;
inline constexpr long kOlMeetingResponseTentative = 57;

// Default folders (OlDefaultFolders).
inline constexpr long kOlFolderDeletedItems = 3;
inline constexpr long kOlFolderOutbox = 4;
inline constexpr long kOlFolderSentMail = 5;
inline constexpr long kOlFolderInbox = 6;
inline constexpr long kOlFolderCalendar = 9;
inline constexpr long kOlFolderContacts = 10;
inline constexpr long kOlFolderJournal = 11;
inline constexpr long kOlFolderNotes = 12;
inline constexpr long kOlFolderTasks = 13;
inline constexpr long kOlFolderDrafts = 16;
inline constexpr long kOlPublicFoldersAllPublicFolders = 18;
inline constexpr long kOlFolderConflicts = 19;
inline constexpr long kOlFolderSyncIssues = 20;
inline constexpr long kOlFolderLocalFailures = 21;
inline constexpr long kOlFolderServerFailures = 22;
inline constexpr long kOlFolderJunk = 23;

// Close save modes (OlInspectorClose).
inline constexpr long kOlSave = 0;
inline constexpr long kOlDiscard = 1;
inline constexpr long kOlPromptForSave = 2;

// MeetingStatus.
inline constexpr long kOlNonMeeting = 0;
inline constexpr long kOlMeeting = 1;

// Recipient types.
inline constexpr long kOlTo = 1;
inline constexpr long kOlCC = 2;
inline constexpr long kOlBCC = 3;

// AddressEntryUserType of an SMTP address entry.
inline constexpr long kOlSmtpAddressEntry = 30;
inline constexpr long kOlExchangeUserAddressEntry = 0;

// UserProperties.Add type of a text property.
inline constexpr long kOlText = 1;

// LanguageSettings.LanguageID argument for the user-interface language.
inline constexpr long kMsoLanguageIdUi = 2;

class Application {
 public:
  virtual ~Application() = default;
  // "11.0.8169.0" (Outlook 2003) or "12.0.6423.1000" (Outlook 2007).
  virtual Text version() = 0;
  // "MAPI" gives the session's namespace; anything else fails.
  virtual NameSpacePtr getNamespace(TextView type) = 0;
  virtual ExplorersPtr explorers() = 0;
  virtual InspectorsPtr inspectors() = 0;
  virtual ExplorerPtr activeExplorer() = 0;
  // The topmost open item window; nullptr when none is open.
  virtual InspectorPtr activeInspector() = 0;
  // kOlMailItem or kOlAppointmentItem: a new, unsaved item, not shown.
  virtual ItemPtr createItem(long itemType) = 0;
  // LanguageSettings.LanguageID(id): an LCID; 0 on failure.
  virtual long languageId(long msoLanguageId) = 0;
  virtual COMAddInsPtr comAddIns() = 0;
  // Ends Outlook. Called from inside an add-in's connection, it takes effect once the
  // connection has completed.
  virtual void quit() = 0;

  // Raised by Send before the item leaves; setting cancel keeps it unsent, its window open.
  using ItemSendHandler = std::function<void(const ItemPtr& item, bool& cancel)>;
  virtual Connection onItemSend(ItemSendHandler handler) = 0;
  // New mail in the default store's Inbox: the entry ids, comma-separated.
  using NewMailExHandler = std::function<void(const Text& entryIdCollection)>;
  virtual Connection onNewMailEx(NewMailExHandler handler) = 0;
  // Raised while the Tools > Options dialog opens; pages added come after Outlook's tabs.
  using OptionsPagesAddHandler = std::function<void(const PropertyPagesPtr& pages)>;
  virtual Connection onOptionsPagesAdd(OptionsPagesAddHandler handler) = 0;
};

class NameSpace {
 public:
  virtual ~NameSpace() = default;
  // Outlook 2007 only.
  virtual Text currentProfileName() = 0;
  virtual RecipientPtr currentUser() = 0;
  // The default store's folder of that kind; nullptr when the profile has none.
  virtual FolderPtr getDefaultFolder(long folderType) = 0;
  // An empty storeId searches every open store; a given one only that store.
  virtual FolderPtr getFolderFromID(TextView entryId, TextView storeId = {}) = 0;
  virtual ItemPtr getItemFromID(TextView entryId, TextView storeId = {}) = 0;
  // Outlook 2007 only.
  virtual StorePtr getStoreFromID(TextView storeId) = 0;
  // The top folder of every open store.
  virtual FoldersPtr folders() = 0;
  // Outlook's folder picker; nullptr when the user cancels.
  virtual FolderPtr pickFolder() = 0;
  // Outlook 2007 only: the accounts in the profile's order, as read when Outlook started.
  virtual AccountsPtr accounts() = 0;
};

class Explorers {
 public:
  virtual ~Explorers() = default;
  virtual long count() = 0;
  virtual ExplorerPtr item(long index) = 0;
};

class Explorer {
 public:
  virtual ~Explorer() = default;
  virtual FolderPtr currentFolder() = 0;
  virtual SelectionPtr selection() = 0;
  virtual CommandBarsPtr commandBars() = 0;
};

class Selection {
 public:
  virtual ~Selection() = default;
  virtual long count() = 0;
  virtual ItemPtr item(long index) = 0;
};

class Inspectors {
 public:
  virtual ~Inspectors() = default;
  virtual long count() = 0;
  virtual InspectorPtr item(long index) = 0;
  using NewInspectorHandler = std::function<void(const InspectorPtr& inspector)>;
  virtual Connection onNewInspector(NewInspectorHandler handler) = 0;
};

class Inspector {
 public:
  virtual ~Inspector() = default;
  virtual ItemPtr currentItem() = 0;
  // Starts with the item's subject, e.g. "RE: Quote - Message (HTML)".
  virtual Text caption() = 0;
  virtual bool isWordMail() = 0;
  // The Word document of a Word-edited window; nullptr otherwise.
  virtual WordDocumentPtr wordEditor() = 0;
  virtual bool close(long saveMode) = 0;
  virtual CommandBarsPtr commandBars() = 0;

  virtual Connection onActivate(std::function<void()> handler) = 0;
  virtual Connection onDeactivate(std::function<void()> handler) = 0;
  virtual Connection onClose(std::function<void()> handler) = 0;
};

class Folders {
 public:
  virtual ~Folders() = default;
  virtual long count() = 0;
  virtual FolderPtr item(long index) = 0;
};

class Folder {
 public:
  virtual ~Folder() = default;
  virtual Text name() = 0;
  virtual Text entryId() = 0;
  virtual Text storeId() = 0;
  // The containing folder; nullptr for a store's top folder.
  virtual FolderPtr parent() = 0;
  virtual ItemsPtr items() = 0;
};

class Store {
 public:
  virtual ~Store() = default;
  virtual Text displayName() = 0;
  virtual Text storeId() = 0;
};

// A folder's Items, as an event source.
class Items {
 public:
  virtual ~Items() = default;
  using ItemHandler = std::function<void(const ItemPtr& item)>;
  virtual Connection onItemAdd(ItemHandler handler) = 0;
  virtual Connection onItemChange(ItemHandler handler) = 0;
};

class Item {
 public:
  virtual ~Item() = default;
  // Run-time type name: "MailItem", "MeetingItem", "TaskRequestItem", "AppointmentItem", ...
  virtual Text typeName() = 0;
  virtual long itemClass() = 0;

  // Empty until the item is saved or received.
  virtual Text entryId() = 0;
  virtual bool sent() = 0;
  virtual bool saved() = 0;
  virtual Text subject() = 0;
  virtual bool setSubject(TextView value) = 0;
  virtual Text body() = 0;
  virtual bool setBody(TextView value) = 0;
  virtual Text billingInformation() = 0;
  virtual bool setBillingInformation(TextView value) = 0;
  // Categories joined by ", ".
  virtual Text categories() = 0;
  virtual bool setCategories(TextView value) = 0;
  // Hexadecimal text, two characters per byte.
  virtual Text conversationIndex() = 0;
  virtual bool readReceiptRequested() = 0;
  virtual bool setReadReceiptRequested(bool value) = 0;
  virtual Text sentOnBehalfOfName() = 0;
  virtual bool setSentOnBehalfOfName(TextView value) = 0;
  // Outlook 2007 only.
  virtual AccountPtr sendUsingAccount() = 0;
  virtual bool setSendUsingAccount(const AccountPtr& account) = 0;
  virtual long meetingStatus() = 0;
  virtual bool setMeetingStatus(long value) = 0;

  // Outlook 2007 only.
  virtual PropertyAccessorPtr propertyAccessor() = 0;
  virtual RecipientsPtr recipients() = 0;
  virtual RecipientsPtr replyRecipients() = 0;
  virtual UserPropertiesPtr userProperties() = 0;
  virtual AttachmentsPtr attachments() = 0;
  // The folder the item lies in; nullptr for a new, unsaved item.
  virtual FolderPtr parent() = 0;
  // The item's Extended MAPI object (MAPIOBJECT).
  virtual MapiObjectPtr mapiObject() = 0;

  virtual bool save() = 0;
  // kOlSave, kOlDiscard or kOlPromptForSave; closes the item's window if it has one.
  virtual bool close(long saveMode) = 0;
  // Moves the item to Deleted Items (removes it when it lies there already).
  virtual bool deleteItem() = 0;
  // Moves the item into the folder; the item as it lies there, nullptr on failure.
  virtual ItemPtr move(const FolderPtr& destination) = 0;
  virtual bool send() = 0;
  virtual bool display() = 0;
  virtual InspectorPtr getInspector() = 0;

  // A received message opened for reading.
  virtual Connection onRead(std::function<void()> handler) = 0;
  // The item is closing; setting cancel keeps it open.
  virtual Connection onClose(std::function<void(bool& cancel)> handler) = 0;
  virtual Connection onCustomPropertyChange(std::function<void(const Text& name)> handler) = 0;
  virtual Connection onPropertyChange(std::function<void(const Text& name)> handler) = 0;
  virtual Connection onOpen(std::function<void(bool& cancel)> handler) = 0;
};

class Recipients {
 public:
  virtual ~Recipients() = default;
  virtual long count() = 0;
  virtual RecipientPtr item(long index) = 0;
  // Adds an unresolved recipient with this text (a name, an address, a one-off form, a
  // distinguished name).
  virtual RecipientPtr add(TextView text) = 0;
  virtual bool remove(long index) = 0;
  // True when every recipient resolved.
  virtual bool resolveAll() = 0;
};

class Recipient {
 public:
  virtual ~Recipient() = default;
  virtual Text name() = 0;
  virtual Text address() = 0;
  virtual long type() = 0;
  virtual bool setType(long value) = 0;
  virtual bool resolved() = 0;
  // nullptr while unresolved.
  virtual AddressEntryPtr addressEntry() = 0;
};

class AddressEntry {
 public:
  virtual ~AddressEntry() = default;
  // "SMTP" or "EX".
  virtual Text type() = 0;
  // Outlook 2007 only: kOlSmtpAddressEntry (30), kOlExchangeUserAddressEntry (0), ...
  virtual long addressEntryUserType() = 0;
};

class UserProperties {
 public:
  virtual ~UserProperties() = default;
  virtual long count() = 0;
  virtual UserPropertyPtr item(long index) = 0;
  virtual UserPropertyPtr add(TextView name, long type) = 0;
  virtual bool remove(long index) = 0;
};

class UserProperty {
 public:
  virtual ~UserProperty() = default;
  virtual Text name() = 0;
  virtual Variant value() = 0;
  virtual bool setValue(const Variant& value) = 0;
  // Removes the property from its item.
  virtual bool deleteProperty() = 0;
};

class Attachments {
 public:
  virtual ~Attachments() = default;
  virtual long count() = 0;
};

// Outlook 2007's access to an item's MAPI properties by schema name:
//  "http://schemas.microsoft.com/mapi/id/{GUID}/8580001E"   (named property by id and type)
//  "http://schemas.microsoft.com/mapi/string/{GUID}/name"   (named property by name)
//  "http://schemas.microsoft.com/mapi/proptag/0x007D001E"   (property tag)
// A property the item lacks reads as an empty Variant.
class PropertyAccessor {
 public:
  virtual ~PropertyAccessor() = default;
  virtual Variant getProperty(TextView schemaName) = 0;
  virtual bool setProperty(TextView schemaName, const Variant& value) = 0;
  virtual bool deleteProperty(TextView schemaName) = 0;
  // Several properties in one call: one value per name, empty where the item lacks it; an
  // empty list when the call fails.
  virtual std::vector<Variant> getProperties(const std::vector<Text>& schemaNames) = 0;
  // Writes each name's value (as many values as names) in one call; false when the call
  // fails or any of them was not written.
  virtual bool setProperties(const std::vector<Text>& schemaNames,
                             const std::vector<Variant>& values) = 0;
};

class Accounts {
 public:
  virtual ~Accounts() = default;
  virtual long count() = 0;
  virtual AccountPtr item(long index) = 0;
};

class Account {
 public:
  virtual ~Account() = default;
  virtual Text displayName() = 0;
};

class COMAddIns {
 public:
  virtual ~COMAddIns() = default;
  virtual long count() = 0;
  // By ProgID ("Korvanel.Connect"); nullptr when no such add-in is registered.
  virtual COMAddInPtr item(TextView progId) = 0;
};

// A COM add-in as Office lists it; also the AddInInst that the host passes at connection.
class COMAddIn {
 public:
  virtual ~COMAddIn() = default;
  virtual Text progId() = 0;
  // The object the add-in published (nullptr when none).
  virtual DispatchPtr object() = 0;
  virtual bool setObject(const DispatchPtr& object) = 0;
  virtual bool connect() = 0;
  // Setting false has the host disconnect and unload the add-in.
  virtual bool setConnect(bool value) = 0;
};

class PropertyPages {
 public:
  virtual ~PropertyPages() = default;
  // Adds the property-page control of this ProgID as a tab with this title.
  virtual bool add(TextView progId, TextView title) = 0;
};

}  // namespace korvanel::platform
