// Application, NameSpace, windows, folders, stores, accounts, COM add-ins, property pages.
#include "sim/outlook_objects.h"

namespace korvanel::sim {

using namespace platform;

namespace {

class SimStore final : public Store {
 public:
  SimStore(OutlookPtr outlook, ModelStorePtr store) : outlook_(std::move(outlook)), store_(std::move(store)) {}
  Text displayName() override { return outlook_->fails(u"Store", u"DisplayName") ? Text() : store_->displayName; }
  Text storeId() override { return outlook_->fails(u"Store", u"StoreID") ? Text() : store_->storeId; }

 private:
  OutlookRef outlook_;
  ModelStorePtr store_;
};

class SimItems final : public Items {
 public:
  SimItems(OutlookPtr outlook, ModelFolderPtr folder) : outlook_(std::move(outlook)), folder_(std::move(folder)) {}
  Connection onItemAdd(ItemHandler handler) override { return connect(u"ItemAdd", folder_->itemAdd, std::move(handler)); }
  Connection onItemChange(ItemHandler handler) override {
    return connect(u"ItemChange", folder_->itemChange, std::move(handler));
  }

 private:
  Connection connect(TextView event, Signal<const ModelItemPtr&>& signal, ItemHandler handler) {
    if (!handler || outlook_->fails(u"Items", event)) return Connection();
    std::weak_ptr<Outlook> weak = outlook_.ptr();
    return signal.connect([weak, handler = std::move(handler)](const ModelItemPtr& item) {
      auto outlook = weak.lock();
      if (outlook && !outlook->ended()) handler(makeItem(outlook, item));
    });
  }
  OutlookRef outlook_;
  ModelFolderPtr folder_;
};

class SimFolder final : public Folder {
 public:
  SimFolder(OutlookPtr outlook, ModelFolderPtr folder) : outlook_(std::move(outlook)), folder_(std::move(folder)) {}
  const ModelFolderPtr& model() const { return folder_; }
  Text name() override { return outlook_->fails(u"Folder", u"Name") ? Text() : folder_->name; }
  Text entryId() override { return outlook_->fails(u"Folder", u"EntryID") ? Text() : folder_->entryId; }
  Text storeId() override {
    if (outlook_->fails(u"Folder", u"StoreID")) return Text();
    auto store = folder_->storeOf();
    return store ? store->storeId : Text();
  }
  FolderPtr parent() override {
    if (outlook_->fails(u"Folder", u"Parent")) return nullptr;
    auto parent = folder_->parent.lock();
    return parent ? makeFolder(outlook_, parent) : nullptr;
  }
  ItemsPtr items() override {
    if (outlook_->fails(u"Folder", u"Items")) return nullptr;
    return std::make_shared<SimItems>(outlook_, folder_);
  }

 private:
  OutlookRef outlook_;
  ModelFolderPtr folder_;
};

class SimFolders final : public Folders {
 public:
  explicit SimFolders(OutlookPtr outlook) : outlook_(std::move(outlook)) {}
  long count() override {
    return outlook_->fails(u"Folders", u"Count") ? 0 : static_cast<long>(outlook_->stores().size());
  }
  FolderPtr item(long index) override {
    const auto& stores = outlook_->stores();
    if (outlook_->fails(u"Folders", u"Item") || index < 1 || index > static_cast<long>(stores.size())) return nullptr;
    return makeFolder(outlook_, stores[static_cast<std::size_t>(index - 1)]->root);
  }

 private:
  OutlookRef outlook_;
};

class SimAccounts final : public Accounts {
 public:
  explicit SimAccounts(OutlookPtr outlook) : outlook_(std::move(outlook)) {}
  long count() override {
    return outlook_->fails(u"Accounts", u"Count") ? 0 : static_cast<long>(outlook_->accounts().size());
  }
  AccountPtr item(long index) override {
    const auto& accounts = outlook_->accounts();
    if (outlook_->fails(u"Accounts", u"Item") || index < 1 || index > static_cast<long>(accounts.size())) return nullptr;
    return makeAccount(outlook_, accounts[static_cast<std::size_t>(index - 1)].key);
  }

 private:
  OutlookRef outlook_;
};

class SimNameSpace final : public NameSpace {
 public:
  explicit SimNameSpace(OutlookPtr outlook) : outlook_(std::move(outlook)) {}
  Text currentProfileName() override {
    if (outlook_->version() < 12 || bad(u"CurrentProfileName")) return Text();
    return outlook_->profileName();
  }
  RecipientPtr currentUser() override {
    auto user = outlook_->user();
    if (bad(u"CurrentUser") || !user) return nullptr;
    RecipientRecord r;
    r.text = user->displayName;
    r.name = user->displayName;
    r.address = user->dn;
    r.addressType = u"EX";
    r.resolved = true;
    return makeStandaloneRecipient(outlook_, std::move(r));
  }
  FolderPtr getDefaultFolder(long folderType) override {
    if (bad(u"GetDefaultFolder")) return nullptr;
    auto folder = outlook_->defaultFolder(folderType);
    return folder ? makeFolder(outlook_, folder) : nullptr;
  }
  FolderPtr getFolderFromID(TextView entryId, TextView storeId) override {
    if (bad(u"GetFolderFromID")) return nullptr;
    auto folder = outlook_->findFolder(entryId, storeId);
    return folder ? makeFolder(outlook_, folder) : nullptr;
  }
  ItemPtr getItemFromID(TextView entryId, TextView storeId) override {
    if (bad(u"GetItemFromID")) return nullptr;
    auto item = outlook_->findItem(entryId, storeId);
    return item ? makeItem(outlook_, item) : nullptr;
  }
  StorePtr getStoreFromID(TextView storeId) override {
    if (outlook_->version() < 12 || bad(u"GetStoreFromID")) return nullptr;
    auto store = outlook_->findStore(storeId);
    return store ? std::make_shared<SimStore>(outlook_, store) : nullptr;
  }
  FoldersPtr folders() override {
    if (bad(u"Folders")) return nullptr;
    return std::make_shared<SimFolders>(outlook_);
  }
  FolderPtr pickFolder() override {
    if (bad(u"PickFolder")) return nullptr;
    auto folder = outlook_->nextPickAnswer();
    return folder ? makeFolder(outlook_, folder) : nullptr;
  }
  AccountsPtr accounts() override {
    if (outlook_->version() < 12 || bad(u"Accounts")) return nullptr;
    return std::make_shared<SimAccounts>(outlook_);
  }

 private:
  bool bad(TextView member) { return outlook_->fails(u"NameSpace", member); }
  OutlookRef outlook_;
};

class SimSelection final : public Selection {
 public:
  explicit SimSelection(OutlookPtr outlook) : outlook_(std::move(outlook)) {}
  long count() override {
    return outlook_->fails(u"Selection", u"Count") ? 0 : static_cast<long>(live().size());
  }
  ItemPtr item(long index) override {
    const auto items = live();
    if (outlook_->fails(u"Selection", u"Item") || index < 1 || index > static_cast<long>(items.size())) return nullptr;
    return makeItem(outlook_, items[static_cast<std::size_t>(index - 1)]);
  }

 private:
  // Items that left the folder are no longer selected.
  std::vector<ModelItemPtr> live() const {
    std::vector<ModelItemPtr> items;
    for (const auto& i : outlook_->selection()) {
      if (!i->removed && i->parentFolder() == outlook_->currentFolder()) items.push_back(i);
    }
    return items;
  }
  OutlookRef outlook_;
};

class SimExplorer final : public Explorer {
 public:
  explicit SimExplorer(OutlookPtr outlook) : outlook_(std::move(outlook)) {}
  FolderPtr currentFolder() override {
    if (bad(u"CurrentFolder")) return nullptr;
    auto folder = outlook_->currentFolder();
    return folder ? makeFolder(outlook_, folder) : nullptr;
  }
  SelectionPtr selection() override {
    if (bad(u"Selection")) return nullptr;
    return std::make_shared<SimSelection>(outlook_);
  }
  CommandBarsPtr commandBars() override {
    if (bad(u"CommandBars")) return nullptr;
    return makeExplorerCommandBars(outlook_);
  }

 private:
  bool bad(TextView member) { return !outlook_->hasExplorer() || outlook_->fails(u"Explorer", member); }
  OutlookRef outlook_;
};

class SimExplorers final : public Explorers {
 public:
  explicit SimExplorers(OutlookPtr outlook) : outlook_(std::move(outlook)) {}
  long count() override {
    if (outlook_->fails(u"Explorers", u"Count")) return 0;
    return outlook_->hasExplorer() ? 1 : 0;
  }
  ExplorerPtr item(long index) override {
    if (outlook_->fails(u"Explorers", u"Item") || index != 1 || !outlook_->hasExplorer()) return nullptr;
    return std::make_shared<SimExplorer>(outlook_);
  }

 private:
  OutlookRef outlook_;
};

class SimInspector final : public Inspector {
 public:
  SimInspector(OutlookPtr outlook, InspectorHandle inspector)
      : outlook_(std::move(outlook)), inspector_(std::move(inspector)) {}
  const InspectorHandle& model() const { return inspector_; }

  ItemPtr currentItem() override {
    if (bad(u"CurrentItem")) return nullptr;
    return makeItem(outlook_, inspector_->item);
  }
  Text caption() override {
    if (bad(u"Caption")) return Text();
    const ModelItem& item = *inspector_->item;
    Text subject = item.text(prop::kSubject);
    if (subject.empty()) subject = u"Untitled";
    Text kind;
    switch (item.itemClass) {
      case kOlMail: kind = u"Message (HTML)"; break;
      case kOlAppointment: kind = item.meetingStatus == kOlMeeting ? u"Meeting" : u"Appointment"; break;
      case kOlContact: kind = u"Contact"; break;
      case kOlTask:
      case kOlTaskRequest:
      case kOlTaskRequestUpdate:
      case kOlTaskRequestAccept:
      case kOlTaskRequestDecline: kind = u"Task"; break;
      case kOlPost: kind = u"Discussion"; break;
      case kOlReport: kind = u"Report"; break;
      default: kind = u"Meeting"; break;
    }
    return subject + u" - " + kind;
  }
  bool isWordMail() override { return !bad(u"IsWordMail") && inspector_->wordMail; }
  WordDocumentPtr wordEditor() override {
    if (bad(u"WordEditor") || !inspector_->wordMail) return nullptr;
    auto& factory = outlook_->world().wordEditorFactory;
    return factory ? factory(*outlook_, inspector_->item) : nullptr;
  }
  bool close(long saveMode) override {
    return !bad(u"Close") && outlook_->closeInspector(inspector_, saveMode);
  }
  CommandBarsPtr commandBars() override {
    if (bad(u"CommandBars")) return nullptr;
    return makeInspectorCommandBars(outlook_, inspector_);
  }
  Connection onActivate(std::function<void()> handler) override {
    return connect(u"Activate", inspector_->activate, std::move(handler));
  }
  Connection onDeactivate(std::function<void()> handler) override {
    return connect(u"Deactivate", inspector_->deactivate, std::move(handler));
  }
  Connection onClose(std::function<void()> handler) override {
    return connect(u"Close", inspector_->close, std::move(handler));
  }

 private:
  bool bad(TextView member) { return !inspector_->isOpen || outlook_->fails(u"Inspector", member); }
  Connection connect(TextView event, Signal<>& signal, std::function<void()> handler) {
    if (outlook_->fails(u"Inspector", event)) return Connection();
    return signal.connect(std::move(handler));
  }
  OutlookRef outlook_;
  InspectorHandle inspector_;
};

class SimInspectors final : public Inspectors {
 public:
  explicit SimInspectors(OutlookPtr outlook) : outlook_(std::move(outlook)) {}
  long count() override {
    return outlook_->fails(u"Inspectors", u"Count") ? 0 : static_cast<long>(outlook_->inspectors().size());
  }
  InspectorPtr item(long index) override {
    const auto& list = outlook_->inspectors();
    if (outlook_->fails(u"Inspectors", u"Item") || index < 1 || index > static_cast<long>(list.size())) return nullptr;
    return makeInspector(outlook_, list[static_cast<std::size_t>(index - 1)]);
  }
  Connection onNewInspector(NewInspectorHandler handler) override {
    if (outlook_->fails(u"Inspectors", u"NewInspector")) return Connection();
    return outlook_->newInspectorEvent.connect(std::move(handler));
  }

 private:
  OutlookRef outlook_;
};

class SimComAddIns final : public COMAddIns {
 public:
  explicit SimComAddIns(OutlookPtr outlook) : outlook_(std::move(outlook)) {}
  long count() override {
    return outlook_->fails(u"COMAddIns", u"Count") ? 0 : static_cast<long>(outlook_->comAddIns().size());
  }
  COMAddInPtr item(TextView progId) override {
    if (outlook_->fails(u"COMAddIns", u"Item")) return nullptr;
    return outlook_->comAddIn(progId);
  }

 private:
  OutlookRef outlook_;
};

class SimPropertyPages final : public PropertyPages {
 public:
  explicit SimPropertyPages(OutlookPtr outlook) : outlook_(std::move(outlook)) {}
  bool add(TextView progId, TextView title) override {
    if (outlook_->fails(u"PropertyPages", u"Add") || !outlook_->optionsDialog().isOpen()) return false;
    outlook_->addOptionsPage(progId, title);
    return true;
  }

 private:
  OutlookRef outlook_;
};

class SimPropertyPageSite final : public PropertyPageSite {
 public:
  explicit SimPropertyPageSite(std::weak_ptr<Outlook> outlook) : outlook_(std::move(outlook)) {}
  ApplicationPtr application() override {
    auto outlook = outlook_.lock();
    if (!outlook || outlook->fails(u"PropertyPageSite", u"Application")) return nullptr;
    return outlook->application();
  }
  void onStatusChange() override {
    if (auto outlook = outlook_.lock(); outlook && !outlook->fails(u"PropertyPageSite", u"OnStatusChange")) {
      outlook->optionsDialog().statusChanged();
    }
  }

 private:
  std::weak_ptr<Outlook> outlook_;
};

class SimApplication final : public Application {
 public:
  explicit SimApplication(OutlookPtr outlook) : outlook_(std::move(outlook)) {}
  Text version() override { return bad(u"Version") ? Text() : outlook_->versionText(); }
  NameSpacePtr getNamespace(TextView type) override {
    if (bad(u"GetNamespace") || !text::equalsNoCase(type, u"MAPI")) return nullptr;
    return std::make_shared<SimNameSpace>(outlook_);
  }
  ExplorersPtr explorers() override {
    return bad(u"Explorers") ? nullptr : std::make_shared<SimExplorers>(outlook_);
  }
  InspectorsPtr inspectors() override {
    return bad(u"Inspectors") ? nullptr : std::make_shared<SimInspectors>(outlook_);
  }
  ExplorerPtr activeExplorer() override {
    if (bad(u"ActiveExplorer") || !outlook_->hasExplorer()) return nullptr;
    return std::make_shared<SimExplorer>(outlook_);
  }
  InspectorPtr activeInspector() override {
    if (bad(u"ActiveInspector")) return nullptr;
    auto inspector = outlook_->activeInspector();
    return inspector ? makeInspector(outlook_, inspector) : nullptr;
  }
  ItemPtr createItem(long itemType) override {
    if (bad(u"CreateItem")) return nullptr;
    if (itemType == kOlMailItem) return makeItem(outlook_, outlook_->createItem(kOlMail));
    if (itemType == kOlAppointmentItem) return makeItem(outlook_, outlook_->createItem(kOlAppointment));
    return nullptr;
  }
  long languageId(long msoLanguageId) override {
    if (bad(u"LanguageSettings") || msoLanguageId < 1 || msoLanguageId > 5) return 0;
    return outlook_->options().uiLanguage;
  }
  COMAddInsPtr comAddIns() override {
    return bad(u"COMAddIns") ? nullptr : std::make_shared<SimComAddIns>(outlook_);
  }
  void quit() override {
    if (!bad(u"Quit")) outlook_->requestQuit();
  }
  Connection onItemSend(ItemSendHandler handler) override {
    return bad(u"ItemSend") ? Connection() : outlook_->itemSendEvent.connect(std::move(handler));
  }
  Connection onNewMailEx(NewMailExHandler handler) override {
    return bad(u"NewMailEx") ? Connection() : outlook_->newMailExEvent.connect(std::move(handler));
  }
  Connection onOptionsPagesAdd(OptionsPagesAddHandler handler) override {
    return bad(u"OptionsPagesAdd") ? Connection() : outlook_->optionsPagesAddEvent.connect(std::move(handler));
  }

 private:
  bool bad(TextView member) { return outlook_->fails(u"Application", member); }
  OutlookRef outlook_;
};

}  // namespace

ApplicationPtr makeApplication(const OutlookPtr& outlook) {
  return outlook ? std::make_shared<SimApplication>(outlook) : nullptr;
}

FolderPtr makeFolder(const OutlookPtr& outlook, const ModelFolderPtr& folder) {
  if (!outlook || !folder) return nullptr;
  return std::make_shared<SimFolder>(outlook, folder);
}

InspectorPtr makeInspector(const OutlookPtr& outlook, const InspectorHandle& inspector) {
  if (!outlook || !inspector) return nullptr;
  return std::make_shared<SimInspector>(outlook, inspector);
}

PropertyPagesPtr makePropertyPages(const OutlookPtr& outlook) {
  return std::make_shared<SimPropertyPages>(outlook);
}

PropertyPageSitePtr makePropertyPageSite(const OutlookPtr& outlook) {
  return std::make_shared<SimPropertyPageSite>(outlook);
}

ModelFolderPtr modelFolderOf(const FolderPtr& folder) {
  auto sim = std::dynamic_pointer_cast<SimFolder>(folder);
  return sim ? sim->model() : nullptr;
}

InspectorHandle modelInspectorOf(const InspectorPtr& inspector) {
  auto sim = std::dynamic_pointer_cast<SimInspector>(inspector);
  return sim ? sim->model() : nullptr;
}

}  // namespace korvanel::sim
