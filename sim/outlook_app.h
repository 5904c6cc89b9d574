// One running simulated Outlook: the profile it started on, the stores it opened, the
// accounts it read at start-up, its windows (Explorer, Inspectors, the Options dialog), the
// message queue of its user-interface thread, and the user's actions. application() is the
// platform::Application the product receives. Outlook 2003 and 2007 are its two modes.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "sim/outlook_world.h"

namespace korvanel::sim {

class SimComAddIn;

// The id the simulation gives the entries of the accounts drop-down (all share it, so a
// Click handler on one entry hears clicks on every entry).
inline constexpr long kAccountEntryControlId = 31226;

// An item window.
struct ModelInspector {
  ModelItemPtr item;
  bool isOpen = true;
  bool wordMail = false;
  // The accounts drop-down's selected entry (the account key), for the trace.
  Text selectedAccountKey;
  platform::Signal<> activate;
  platform::Signal<> deactivate;
  platform::Signal<> close;
};
using InspectorHandle = std::shared_ptr<ModelInspector>;

// Tools > Options. Opened by control 522; OptionsPagesAdd adds add-in tabs after Outlook's
// own; showing an add-in tab creates its control (the ProgID from ClassRegistry) anew.
class OptionsDialog {
 public:
  bool isOpen() const { return open_; }
  // Outlook's own tab titles, then the added pages' titles.
  std::vector<Text> tabs() const;
  int selectedTab() const { return selected_; }
  bool selectTab(int index);
  bool selectTab(TextView title);
  bool selectLastTab() { return selectTab(static_cast<int>(tabs().size()) - 1); }
  // The live control of the add-in tab shown; nullptr on Outlook's own tabs.
  std::shared_ptr<platform::PropertyPage> page() const { return page_; }
  // The page reported a change (its site's OnStatusChange) since it was shown or applied.
  bool applyEnabled() const { return applyEnabled_; }
  // OK: Apply when the page is dirty, then close. Apply: Apply when dirty. Cancel/Esc: close.
  void pressOk();
  void pressApply();
  void pressCancel();
  int timesOpened() const { return timesOpened_; }
  // The page's site reported a change (OnStatusChange).
  void statusChanged() { applyEnabled_ = true; }

 private:
  friend class Outlook;
  struct AddedPage {
    Text progId;
    Text title;
  };
  void close();
  void release();

  Outlook* outlook_ = nullptr;
  int pageTab_ = -1;
  bool open_ = false;
  bool focusOnTabs_ = false;
  int selected_ = 0;
  bool applyEnabled_ = false;
  int timesOpened_ = 0;
  std::vector<AddedPage> pages_;
  std::shared_ptr<platform::PropertyPage> page_;
};

class Outlook : public std::enable_shared_from_this<Outlook> {
 public:
  // Use World::startOutlook.
  Outlook(World& world, OutlookOptions options, Text profileName);
  ~Outlook();
  // Reads the profile and opens its stores (World::startOutlook calls it).
  void start();
  Outlook(const Outlook&) = delete;
  Outlook& operator=(const Outlook&) = delete;

  World& world() { return world_; }
  const OutlookOptions& options() const { return options_; }
  int version() const { return options_.version; }
  const Text& profileName() const { return profileName_; }
  // "11.0.8169.0" or "12.0.6423.1000".
  Text versionText() const;
  // The Application object handed to add-ins.
  platform::ApplicationPtr application();

  // Stores open in the profile: the user's mailbox first, then additional mailboxes, public
  // folders, personal folders files.
  const std::vector<ModelStorePtr>& stores() const { return stores_; }
  ModelStorePtr defaultStore() const;
  ModelFolderPtr defaultFolder(long type) const;
  // "Inbox/Projects" in the default store, or "Mailbox - Help Desk/Inbox" (a store's name
  // first); nullptr when absent.
  ModelFolderPtr folderByPath(TextView path) const;
  ModelItemPtr findItem(TextView entryId, TextView storeId = {}) const;
  ModelFolderPtr findFolder(TextView entryId, TextView storeId = {}) const;
  ModelStorePtr findStore(TextView storeId) const;
  // The profile's user (the default mailbox's owner); nullptr without one.
  MailboxPtr user() const { return user_; }

  // The accounts as read from the profile at start-up, in the order list's order.
  struct Account {
    Text key;          // eight hexadecimal digits, the account's registry subkey
    Text name;         // "Account Name"
    Text email;        // the Exchange account: the user's primary SMTP address
    Text serviceName;  // "MSEMS" for the Exchange account
    bool exchange = false;
    bool canTransmit = true;  // false when its servers are "none"
  };
  const std::vector<Account>& accounts() const { return accounts_; }
  const Account* accountByKey(TextView key) const;
  const Account* accountByName(TextView name) const;
  const Account* exchangeAccount() const;
  // The account the item's account properties name (0x8581's key, else 0x8580's name, else
  // 0x0E28001E's key); nullptr when they name none.
  const Account* accountNamedBy(const ModelItem& item) const;
  // The account an item is sent through: the one its account properties name (0x8581's
  // key, else 0x8580's name, else 0x0E28001E's key), else the default (first) account.
  const Account* sendingAccount(const ModelItem& item) const;
  // Writes the item's account properties for the account (0x8580, 0x8581; on Outlook 2007
  // also 0x0E28001E and 0x0E29001E).
  void chooseAccountFor(ModelItem& item, const Account& account);

  // The user-interface thread's queue; pump() processes pending messages (DoEvents).
  MessageQueue& queue() { return queue_; }
  void pump();

  // ---- The user's actions. Each ends by processing the queued events to completion, as
  // Outlook's message loop does before the user acts again.
  ModelItemPtr receive(const IncomingMessage& message, TextView folderPath = u"Inbox");
  // Selects items in the Explorer; their folder becomes the current folder.
  void select(const std::vector<ModelItemPtr>& items);
  void showFolder(const ModelFolderPtr& folder);
  InspectorHandle open(const ModelItemPtr& item);
  InspectorHandle reply(const ModelItemPtr& item);
  InspectorHandle replyAll(const ModelItemPtr& item);
  InspectorHandle forward(const ModelItemPtr& item);
  // kOlMail, kOlTask, kOlAppointment, kOlMeetingRequest (a meeting), kOlTaskRequest.
  InspectorHandle newItem(long itemClass);
  void activate(const InspectorHandle& inspector);
  // What the user's click into a window does before the click itself: the window becomes
  // the active one (its Activate is delivered) unless it is already.
  void focus(const InspectorHandle& inspector);
  void activateExplorer();
  // Picks the account of this name in the window's accounts drop-down: Click (whose
  // handler may cancel), then the selection. False when there is no such entry.
  bool chooseAccount(const InspectorHandle& inspector, TextView accountName);
  bool pressSend(const InspectorHandle& inspector);
  // Closes the window as the user does; a changed item asks Outlook's save question.
  bool closeWindow(const InspectorHandle& inspector);
  // Tools > Options from the Explorer (control 522).
  bool openOptions();
  OptionsDialog& optionsDialog() { return optionsDialog_; }
  // Answers for NameSpace.PickFolder, in order; nullptr answers Cancel (also when none left).
  void answerPickFolder(const ModelFolderPtr& folder) { pickAnswers_.push_back(folder); }
  // Keystrokes from the shell's SendKeys: queued, interpreted when messages are processed
  // by the window that has the focus (the Options dialog, else the active compose window).
  void postKeys(TextView keys);

  // ---- Windows.
  bool hasExplorer() const { return hasExplorer_; }
  ModelFolderPtr currentFolder() const { return currentFolder_; }
  const std::vector<ModelItemPtr>& selection() const { return selection_; }
  const std::vector<InspectorHandle>& inspectors() const { return inspectors_; }
  InspectorHandle activeInspector() const;
  InspectorHandle inspectorOf(const ModelItem& item) const;

  // ---- COM add-ins: the host lists each add-in it loads.
  std::shared_ptr<SimComAddIn> addComAddIn(TextView progId);
  std::shared_ptr<SimComAddIn> comAddIn(TextView progId) const;
  const std::vector<std::shared_ptr<SimComAddIn>>& comAddIns() const { return comAddIns_; }

  // ---- Object-model plumbing, used by the simulated Outlook objects (and CDO / MAPI).
  platform::Signal<const platform::ItemPtr&, bool&> itemSendEvent;
  platform::Signal<const Text&> newMailExEvent;
  platform::Signal<const platform::PropertyPagesPtr&> optionsPagesAddEvent;
  platform::Signal<const platform::InspectorPtr&> newInspectorEvent;
  // Click of command-bar controls, by control id (Office raises it for every control that
  // shares the id).
  platform::Signal<const platform::CommandBarControlPtr&, bool&>& clickEvent(long controlId);
  // True when a call of object.member must fail: this Outlook has ended, or the fault plan
  // says so for "object.member" (e.g. "MailItem.Save", "Recipients.Add").
  bool fails(TextView object, TextView member);
  // A new, unsaved item of that class with a fresh conversation index.
  ModelItemPtr createItem(long itemClass);
  bool saveItem(const ModelItemPtr& item);
  bool closeItem(const ModelItemPtr& item, long saveMode);
  bool deleteItem(const ModelItemPtr& item);
  // Item.Move: the item (same object, new entry id) in the destination; false on failure.
  bool moveItem(const ModelItemPtr& item, const ModelFolderPtr& destination);
  bool sendItem(const ModelItemPtr& item);
  InspectorHandle displayItem(const ModelItemPtr& item);
  // Inspector.Close: the item's Close event (cancellable), the save mode, the window's Close.
  bool closeInspector(const InspectorHandle& inspector, long saveMode);
  // A member changed through the object model: the item is unsaved, PropertyChange is raised.
  void memberChanged(ModelItem& item, TextView member);
  // Whether the window has the accounts drop-down (control 31224).
  bool hasAccountsControl(const ModelInspector& inspector) const;
  // The drop-down's entries: on Outlook 2003 one leading entry, then the accounts.
  long accountEntryCount() const;
  Text accountEntryCaption(long entry) const;
  // Execute of entry n (1-based) for the window's item.
  bool executeAccountEntry(const InspectorHandle& inspector, long entry);
  // Control 522's Execute: opens the Options dialog (raising OptionsPagesAdd) and returns
  // once it has closed; meanwhile the messages are processed and World::whileModal acts.
  bool showOptionsDialog();
  // PropertyPages.Add while the dialog opens.
  void addOptionsPage(TextView progId, TextView title);
  int standardBarResets = 0;
  int pickFolderCalls = 0;
  ModelFolderPtr nextPickAnswer();
  void postItemAdd(const ModelFolderPtr& folder, const ModelItemPtr& item);
  void postItemChange(const ModelFolderPtr& folder, const ModelItemPtr& item);
  // Called by World::deliver: raises NewMailEx and ItemAdd for the default Inbox.
  void announceArrival(const ModelFolderPtr& folder, const ModelItemPtr& item);
  void closeAllWindows();

  // ---- Life. Application.Quit sets quitRequested (and raises quitRequestedSignal); the host
  // then disconnects the add-ins and calls shutDown, which closes the windows and ends this
  // Outlook (its objects fail from then on).
  bool quitRequested() const { return quitRequested_; }
  void requestQuit();
  platform::Signal<> quitRequestedSignal;
  void shutDown();
  // The process ends at once, as when the machine goes away under it: nothing is raised or
  // asked, and what Outlook held for others goes with it (see letGo), so that an Options
  // page or a published object holding the Application keeps nothing alive.
  void terminateProcess();
  bool ended() const { return ended_; }
  // How many object-model objects of this Outlook are alive: handed out and still held.
  int heldObjects() const { return heldObjects_; }

 private:
  friend class OptionsDialog;
  friend class OutlookRef;
  int heldObjects_ = 0;
  World& world_;
  OutlookOptions options_;
  Text profileName_;
  std::vector<ModelStorePtr> stores_;
  MailboxPtr user_;
  std::vector<Account> accounts_;
  MessageQueue queue_;
  bool hasExplorer_ = true;
  ModelFolderPtr currentFolder_;
  std::vector<ModelItemPtr> selection_;
  std::vector<InspectorHandle> inspectors_;
  OptionsDialog optionsDialog_;
  std::deque<ModelFolderPtr> pickAnswers_;
  std::vector<std::shared_ptr<SimComAddIn>> comAddIns_;
  bool quitRequested_ = false;
  bool ended_ = false;
  bool explorerFocused_ = true;
  bool accountsShortcutPending_ = false;
  std::vector<InspectorHandle> zOrder_;  // open windows, topmost last
  std::map<long, std::unique_ptr<platform::Signal<const platform::CommandBarControlPtr&, bool&>>>
      clickEvents_;

  // Opens the Options dialog (raising OptionsPagesAdd); true when it is open.
  bool openOptionsDialog();
  void readProfile();
  void readAccounts();
  void letGo();
  void interpretKeys(TextView keys);
  void activateInternal(const InspectorHandle& inspector);
  void removeInspector(const InspectorHandle& inspector);
  void transmit(const ModelItemPtr& item, const Account& account);
  InspectorHandle respond(const ModelItemPtr& original, int kind);  // 0 reply, 1 all, 2 forward
  int askSaveChanges();
};

// A COM add-in as Outlook lists it, and the AddInInst passed at connection.
class SimComAddIn : public platform::COMAddIn {
 public:
  explicit SimComAddIn(Text progId) : progId_(std::move(progId)) {}
  Text progId() override { return progId_; }
  platform::DispatchPtr object() override { return object_; }
  bool setObject(const platform::DispatchPtr& object) override;
  bool connect() override { return connected_; }
  bool setConnect(bool value) override;
  // Raised when the add-in sets Connect (false: the host must disconnect it).
  platform::Signal<bool> connectChanged;
  void setConnected(bool value) { connected_ = value; }
  // Office lets go of the published Object (at disconnection, or when Outlook ends); no
  // fault applies.
  void dropObject() { object_.reset(); }
  FaultPlan* faults = nullptr;  // "COMAddIn.Object", "COMAddIn.Connect"

 private:
  Text progId_;
  platform::DispatchPtr object_;
  bool connected_ = true;
};

}  // namespace korvanel::sim
