// Records the order in which the add-in subscribes to Outlook's events: the Application
// handed to the add-in is wrapped, and so is everything reached from it on the way to an
// event source (namespace, folders, Items, Inspectors). Every call is forwarded unchanged.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/addin_host.h"
#include "platform/outlook.h"
#include "text/text.h"

namespace korvanel::scenarios {

using platform::Connection;
using text::Text;
using text::TextView;

using HookLog = std::shared_ptr<std::vector<Text>>;

class RecordingItems final : public platform::Items {
 public:
  RecordingItems(platform::ItemsPtr inner, Text folder, HookLog log)
      : inner_(std::move(inner)), folder_(std::move(folder)), log_(std::move(log)) {}
  Connection onItemAdd(ItemHandler handler) override {
    log_->push_back(u"ItemAdd " + folder_);
    return inner_->onItemAdd(std::move(handler));
  }
  Connection onItemChange(ItemHandler handler) override {
    log_->push_back(u"ItemChange " + folder_);
    return inner_->onItemChange(std::move(handler));
  }

 private:
  platform::ItemsPtr inner_;
  Text folder_;
  HookLog log_;
};

class RecordingFolder final : public platform::Folder {
 public:
  RecordingFolder(platform::FolderPtr inner, HookLog log)
      : inner_(std::move(inner)), log_(std::move(log)) {}
  Text name() override { return inner_->name(); }
  Text entryId() override { return inner_->entryId(); }
  Text storeId() override { return inner_->storeId(); }
  platform::FolderPtr parent() override { return inner_->parent(); }
  platform::ItemsPtr items() override {
    platform::ItemsPtr items = inner_->items();
    return items ? std::make_shared<RecordingItems>(items, inner_->name(), log_) : nullptr;
  }

 private:
  platform::FolderPtr inner_;
  HookLog log_;
};

inline platform::FolderPtr recordFolder(platform::FolderPtr folder, const HookLog& log) {
  return folder ? std::make_shared<RecordingFolder>(std::move(folder), log) : nullptr;
}

class RecordingNameSpace final : public platform::NameSpace {
 public:
  RecordingNameSpace(platform::NameSpacePtr inner, HookLog log)
      : inner_(std::move(inner)), log_(std::move(log)) {}
  Text currentProfileName() override { return inner_->currentProfileName(); }
  platform::RecipientPtr currentUser() override { return inner_->currentUser(); }
  platform::FolderPtr getDefaultFolder(long type) override {
    return recordFolder(inner_->getDefaultFolder(type), log_);
  }
  platform::FolderPtr getFolderFromID(TextView entryId, TextView storeId) override {
    return recordFolder(inner_->getFolderFromID(entryId, storeId), log_);
  }
  platform::ItemPtr getItemFromID(TextView entryId, TextView storeId) override {
    return inner_->getItemFromID(entryId, storeId);
  }
  platform::StorePtr getStoreFromID(TextView storeId) override {
    return inner_->getStoreFromID(storeId);
  }
  platform::FoldersPtr folders() override { return inner_->folders(); }
  platform::FolderPtr pickFolder() override { return inner_->pickFolder(); }
  platform::AccountsPtr accounts() override { return inner_->accounts(); }

 private:
  platform::NameSpacePtr inner_;
  HookLog log_;
};

class RecordingInspectors final : public platform::Inspectors {
 public:
  RecordingInspectors(platform::InspectorsPtr inner, HookLog log)
      : inner_(std::move(inner)), log_(std::move(log)) {}
  long count() override { return inner_->count(); }
  platform::InspectorPtr item(long index) override { return inner_->item(index); }
  Connection onNewInspector(NewInspectorHandler handler) override {
    log_->push_back(u"NewInspector");
    return inner_->onNewInspector(std::move(handler));
  }

 private:
  platform::InspectorsPtr inner_;
  HookLog log_;
};

class RecordingApplication final : public platform::Application {
 public:
  RecordingApplication(platform::ApplicationPtr inner, HookLog log)
      : inner_(std::move(inner)), log_(std::move(log)) {}
  Text version() override { return inner_->version(); }
  platform::NameSpacePtr getNamespace(TextView type) override {
    platform::NameSpacePtr ns = inner_->getNamespace(type);
    return ns ? std::make_shared<RecordingNameSpace>(ns, log_) : nullptr;
  }
  platform::ExplorersPtr explorers() override { return inner_->explorers(); }
  platform::InspectorsPtr inspectors() override {
    platform::InspectorsPtr inspectors = inner_->inspectors();
    return inspectors ? std::make_shared<RecordingInspectors>(inspectors, log_) : nullptr;
  }
  platform::ExplorerPtr activeExplorer() override { return inner_->activeExplorer(); }
  platform::InspectorPtr activeInspector() override { return inner_->activeInspector(); }
  platform::ItemPtr createItem(long itemType) override { return inner_->createItem(itemType); }
  long languageId(long id) override { return inner_->languageId(id); }
  platform::COMAddInsPtr comAddIns() override { return inner_->comAddIns(); }
  void quit() override { inner_->quit(); }
  Connection onItemSend(ItemSendHandler handler) override {
    log_->push_back(u"ItemSend");
    return inner_->onItemSend(std::move(handler));
  }
  Connection onNewMailEx(NewMailExHandler handler) override {
    log_->push_back(u"NewMailEx");
    return inner_->onNewMailEx(std::move(handler));
  }
  Connection onOptionsPagesAdd(OptionsPagesAddHandler handler) override {
    log_->push_back(u"OptionsPagesAdd");
    return inner_->onOptionsPagesAdd(std::move(handler));
  }

 private:
  platform::ApplicationPtr inner_;
  HookLog log_;
};

// An add-in that hands the wrapped Application to the real one; everything else passes.
class RecordingAddIn final : public platform::AddIn {
 public:
  RecordingAddIn(std::unique_ptr<platform::AddIn> inner, HookLog log)
      : inner_(std::move(inner)), log_(std::move(log)) {}
  void onConnection(const platform::ApplicationPtr& application, long mode,
                    const platform::COMAddInPtr& addInInst) override {
    inner_->onConnection(
        application ? std::make_shared<RecordingApplication>(application, log_) : nullptr, mode,
        addInInst);
  }
  void onDisconnection(long mode) override { inner_->onDisconnection(mode); }
  void onAddInsUpdate() override { inner_->onAddInsUpdate(); }
  void onStartupComplete() override { inner_->onStartupComplete(); }
  void onBeginShutdown() override { inner_->onBeginShutdown(); }
  void onTerminate() override { inner_->onTerminate(); }
  platform::AddIn& inner() { return *inner_; }

 private:
  std::unique_ptr<platform::AddIn> inner_;
  HookLog log_;
};

}  // namespace korvanel::scenarios
