// Office command bars of the Explorer (Tools > Options, control 522) and of item windows
// (the accounts drop-down, control 31224, and the "Standard" bar).
#include "sim/outlook_objects.h"

namespace korvanel::sim {

using namespace platform;

namespace {

enum class ControlKind { kOptions, kAccounts, kAccountEntry };

class SimControl;

class SimAccountEntries final : public CommandBarControls {
 public:
  SimAccountEntries(OutlookPtr outlook, InspectorHandle inspector)
      : outlook_(std::move(outlook)), inspector_(std::move(inspector)) {}
  long count() override {
    if (bad(u"Count")) return 0;
    return outlook_->accountEntryCount();
  }
  CommandBarControlPtr item(long index) override {
    if (bad(u"Item") || index < 1 || index > outlook_->accountEntryCount()) return nullptr;
    return makeAccountEntryControl(outlook_, inspector_, index);
  }

 private:
  bool bad(TextView member) { return !inspector_->isOpen || outlook_->fails(u"CommandBarControls", member); }
  OutlookRef outlook_;
  InspectorHandle inspector_;
};

class SimControl final : public CommandBarControl {
 public:
  SimControl(OutlookPtr outlook, ControlKind kind, InspectorHandle inspector, long entry)
      : outlook_(std::move(outlook)), kind_(kind), inspector_(std::move(inspector)), entry_(entry) {}

  long id() override {
    if (outlook_->fails(u"CommandBarControl", u"Id")) return 0;
    return rawId();
  }
  Text caption() override {
    if (bad(u"Caption")) return Text();
    switch (kind_) {
      case ControlKind::kOptions: return u"&Options...";
      case ControlKind::kAccounts: return u"Accoun&ts";
      case ControlKind::kAccountEntry: return outlook_->accountEntryCaption(entry_);
    }
    return Text();
  }
  bool execute() override {
    if (bad(u"Execute")) return false;
    switch (kind_) {
      case ControlKind::kOptions: return outlook_->showOptionsDialog();
      case ControlKind::kAccounts: return true;  // drops the list down
      case ControlKind::kAccountEntry: return outlook_->executeAccountEntry(inspector_, entry_);
    }
    return false;
  }
  CommandBarControlsPtr controls() override {
    if (bad(u"Controls") || kind_ != ControlKind::kAccounts) return nullptr;
    return std::make_shared<SimAccountEntries>(outlook_, inspector_);
  }
  Connection onClick(ClickHandler handler) override {
    if (outlook_->fails(u"CommandBarControl", u"Click")) return Connection();
    return outlook_->clickEvent(rawId()).connect(std::move(handler));
  }

 private:
  long rawId() const {
    switch (kind_) {
      case ControlKind::kOptions: return kOptionsCommandId;
      case ControlKind::kAccounts: return kAccountsControlId;
      case ControlKind::kAccountEntry: return kAccountEntryControlId;
    }
    return 0;
  }
  // A control of a closed window fails, as its window's bars are gone.
  bool bad(TextView member) {
    if (inspector_ && !inspector_->isOpen) return true;
    return outlook_->fails(u"CommandBarControl", member);
  }

  OutlookRef outlook_;
  ControlKind kind_;
  InspectorHandle inspector_;
  long entry_;
};

class SimCommandBar final : public CommandBar {
 public:
  SimCommandBar(OutlookPtr outlook, Text name) : outlook_(std::move(outlook)), name_(std::move(name)) {}
  Text name() override { return outlook_->fails(u"CommandBar", u"Name") ? Text() : name_; }
  bool reset() override {
    if (outlook_->fails(u"CommandBar", u"Reset")) return false;
    if (text::equalsNoCase(name_, u"Standard")) ++outlook_->standardBarResets;
    return true;
  }

 private:
  OutlookRef outlook_;
  Text name_;
};

class SimCommandBars final : public CommandBars {
 public:
  SimCommandBars(OutlookPtr outlook, InspectorHandle inspector)
      : outlook_(std::move(outlook)), inspector_(std::move(inspector)) {}
  CommandBarControlPtr findControl(long id) override {
    if (bad(u"FindControl")) return nullptr;
    if (!inspector_) {
      if (id == kOptionsCommandId) {
        return std::make_shared<SimControl>(outlook_, ControlKind::kOptions, nullptr, 0);
      }
      return nullptr;
    }
    if (id == kAccountsControlId && outlook_->hasAccountsControl(*inspector_)) {
      return std::make_shared<SimControl>(outlook_, ControlKind::kAccounts, inspector_, 0);
    }
    return nullptr;
  }
  CommandBarPtr item(TextView name) override {
    if (bad(u"Item")) return nullptr;
    if (text::equalsNoCase(name, u"Standard") || text::equalsNoCase(name, u"Menu Bar") ||
        text::equalsNoCase(name, u"Formatting")) {
      return std::make_shared<SimCommandBar>(outlook_, Text(name));
    }
    return nullptr;
  }

 private:
  bool bad(TextView member) {
    if (inspector_ && !inspector_->isOpen) return true;
    if (!inspector_ && !outlook_->hasExplorer()) return true;
    return outlook_->fails(u"CommandBars", member);
  }
  OutlookRef outlook_;
  InspectorHandle inspector_;
};

}  // namespace

CommandBarsPtr makeExplorerCommandBars(const OutlookPtr& outlook) {
  return std::make_shared<SimCommandBars>(outlook, nullptr);
}

CommandBarsPtr makeInspectorCommandBars(const OutlookPtr& outlook, const InspectorHandle& inspector) {
  return std::make_shared<SimCommandBars>(outlook, inspector);
}

CommandBarControlPtr makeAccountEntryControl(const OutlookPtr& outlook, const InspectorHandle& inspector,
                                             long entry) {
  return std::make_shared<SimControl>(outlook, ControlKind::kAccountEntry, inspector, entry);
}

}  // namespace korvanel::sim
