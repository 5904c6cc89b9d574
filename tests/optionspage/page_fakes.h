// Small stand-ins for the Outlook objects and the shell the page talks to, so the page's
// handlers can be driven one by one: a scripted shell that records what it was asked, an
// Outlook with a folder tree, a folder picker, COMAddIns and the add-in's published object.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/addin_host.h"
#include "platform/services.h"
#include "text/text.h"

namespace korvanel::page::testing {

using namespace platform;
using text::Text;
using text::TextView;

struct Box {
  Text text;
  Text title;
  long style = 0;
};

class FakeShell final : public Shell {
 public:
  std::deque<int> messageAnswers;                // default: No
  std::deque<std::optional<Text>> inputAnswers;  // default: cancel
  std::vector<Box> messages;
  std::vector<Text> prompts;
  std::vector<Text> offered;
  std::vector<Text> keys;
  std::vector<Text> executed;
  std::map<WindowHandle, long> extents;
  int doEventsCalls = 0;
  static constexpr int kCharWidth = 6;

  int messageBox(TextView text, TextView title, long style) override {
    messages.push_back(Box{Text(text), Text(title), style});
    if (messageAnswers.empty()) return kIdNo;
    const int answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
  }
  std::optional<Text> inputBox(TextView prompt, TextView, TextView defaultText) override {
    prompts.emplace_back(prompt);
    offered.emplace_back(defaultText);
    if (inputAnswers.empty()) return std::nullopt;
    std::optional<Text> answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
  }
  void sendKeys(TextView k, bool) override { keys.emplace_back(k); }
  std::intptr_t shellExecute(WindowHandle, TextView, TextView file, TextView, TextView,
                             int) override {
    executed.emplace_back(file);
    return 42;
  }
  Text environmentVariable(TextView) override { return {}; }
  bool startProcess(TextView, int) override { return false; }
  std::vector<Text> listFiles(TextView) override { return {}; }
  bool deleteFile(TextView) override { return false; }
  void doEvents() override { ++doEventsCalls; }
  void sleep(unsigned long) override {}
  unsigned ansiCodePage() override { return 1252; }
  int getSystemMetrics(int index) override { return index == kSmCxVScroll ? 17 : 0; }
  int drawText(const FontSpec&, TextView text, int, TextRect* rect, std::uint32_t) override {
    rect->right = static_cast<long>(text.size()) * kCharWidth;
    rect->bottom = 13;
    return 13;
  }
  std::intptr_t sendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t) override {
    if (message == kLbSetHorizontalExtent) extents[window] = static_cast<long>(wParam);
    return 0;
  }
};

class NoObjects final : public ObjectFactory {
 public:
  CdoSessionPtr createCdoSession() override { return nullptr; }
  ProfManProfilesPtr createProfManProfiles() override { return nullptr; }
  ProfManPropertyBagPtr createProfManPropertyBag() override { return nullptr; }
  ApplicationPtr createOutlookApplication() override { return nullptr; }
};

class NoMapi final : public Mapi {
 public:
  HResult hrGetOneProp(MapiObject*, std::uint32_t, SPropValue**) override { return -1; }
  HResult mapiFreeBuffer(void*) override { return 0; }
};

class FakeFolder final : public Folder, public std::enable_shared_from_this<FakeFolder> {
 public:
  FakeFolder(Text name, Text entryId, Text storeId)
      : name_(std::move(name)), entryId_(std::move(entryId)), storeId_(std::move(storeId)) {}
  std::shared_ptr<FakeFolder> add(Text name, Text entryId) {
    auto child = std::make_shared<FakeFolder>(std::move(name), std::move(entryId), storeId_);
    child->parent_ = shared_from_this();
    children_.push_back(child);
    return child;
  }
  Text name() override { return name_; }
  Text entryId() override { return entryId_; }
  Text storeId() override { return storeId_; }
  FolderPtr parent() override { return parent_.lock(); }
  ItemsPtr items() override { return nullptr; }

 private:
  Text name_, entryId_, storeId_;
  std::weak_ptr<FakeFolder> parent_;
  std::vector<std::shared_ptr<FakeFolder>> children_;
};
using FakeFolderPtr = std::shared_ptr<FakeFolder>;

class FakeNameSpace final : public NameSpace {
 public:
  std::map<long, FolderPtr> defaults;
  std::vector<FakeFolderPtr> known;  // found by getFolderFromID
  std::deque<FolderPtr> picks;       // answers of the picker; then Cancel
  int pickerShown = 0;

  Text currentProfileName() override { return {}; }
  RecipientPtr currentUser() override { return nullptr; }
  FolderPtr getDefaultFolder(long type) override {
    auto it = defaults.find(type);
    return it == defaults.end() ? nullptr : it->second;
  }
  FolderPtr getFolderFromID(TextView entryId, TextView) override {
    for (const auto& f : known) {
      if (f->entryId() == entryId) return f;
    }
    return nullptr;
  }
  ItemPtr getItemFromID(TextView, TextView) override { return nullptr; }
  StorePtr getStoreFromID(TextView) override { return nullptr; }
  FoldersPtr folders() override { return nullptr; }
  FolderPtr pickFolder() override {
    ++pickerShown;
    if (picks.empty()) return nullptr;
    FolderPtr f = picks.front();
    picks.pop_front();
    return f;
  }
  AccountsPtr accounts() override { return nullptr; }
};

// The add-in's published object: sUN, sPN, sSMBXs to read, IsRestart to write.
class FakeConnect final : public Dispatch {
 public:
  Text sUN = u"Pat Doe";
  Text sPN = u"Outlook";
  Text sSMBXs;
  std::vector<Text> reads;
  std::optional<long> isRestart;

  Variant get(TextView member) override {
    reads.emplace_back(member);
    if (member == u"sUN") return sUN;
    if (member == u"sPN") return sPN;
    if (member == u"sSMBXs") return sSMBXs;
    return {};
  }
  bool put(TextView member, const Variant& value) override {
    if (member != u"IsRestart") return false;
    isRestart = value.toLong();
    return true;
  }
  Variant call(TextView, const std::vector<Variant>&) override { return {}; }
};

class FakeComAddIn final : public COMAddIn {
 public:
  DispatchPtr published;
  Text progId() override { return u"Korvanel.Connect"; }
  DispatchPtr object() override { return published; }
  bool setObject(const DispatchPtr& o) override {
    published = o;
    return true;
  }
  bool connect() override { return true; }
  bool setConnect(bool) override { return true; }
};

class FakeComAddIns final : public COMAddIns {
 public:
  std::shared_ptr<FakeComAddIn> connect;  // nullptr: the add-in is not registered
  long count() override { return connect ? 1 : 0; }
  COMAddInPtr item(TextView progId) override {
    return connect && text::equalsNoCase(progId, u"Korvanel.Connect") ? connect : nullptr;
  }
};

class FakeApplication final : public Application {
 public:
  Text versionText = u"11.0.8169.0";
  long uiLanguage = 1033;
  std::shared_ptr<FakeNameSpace> ns = std::make_shared<FakeNameSpace>();
  std::shared_ptr<FakeComAddIns> addIns = std::make_shared<FakeComAddIns>();
  int quitCalls = 0;

  Text version() override { return versionText; }
  NameSpacePtr getNamespace(TextView type) override { return type == u"MAPI" ? ns : nullptr; }
  ExplorersPtr explorers() override { return nullptr; }
  InspectorsPtr inspectors() override { return nullptr; }
  ExplorerPtr activeExplorer() override { return nullptr; }
  InspectorPtr activeInspector() override { return nullptr; }
  ItemPtr createItem(long) override { return nullptr; }
  long languageId(long id) override { return id == kMsoLanguageIdUi ? uiLanguage : 0; }
  COMAddInsPtr comAddIns() override { return addIns; }
  void quit() override { ++quitCalls; }
  Connection onItemSend(ItemSendHandler) override { return {}; }
  Connection onNewMailEx(NewMailExHandler) override { return {}; }
  Connection onOptionsPagesAdd(OptionsPagesAddHandler) override { return {}; }
};

class FakeSite final : public PropertyPageSite {
 public:
  std::shared_ptr<FakeApplication> app;
  int statusChanges = 0;
  ApplicationPtr application() override { return app; }
  void onStatusChange() override { ++statusChanges; }
};

}  // namespace korvanel::page::testing
