// The object-model objects of the simulated Outlook: thin views over the model that
// implement the platform interfaces. Each call checks that its Outlook still runs and asks
// the fault plan about "Object.Member" (for items the run-time type name: "MailItem.Save");
// a call told to fail returns its empty value and changes nothing.
#pragma once

#include "sim/outlook_app.h"

namespace korvanel::sim {

using OutlookPtr = std::shared_ptr<Outlook>;

// An object-model object's hold on its Outlook. Outlook counts them (heldObjects): it does
// not end while objects it handed out are still held.
class OutlookRef {
 public:
  OutlookRef(OutlookPtr outlook) : outlook_(std::move(outlook)) { add(1); }  // NOLINT
  OutlookRef(const OutlookRef& other) : outlook_(other.outlook_) { add(1); }
  OutlookRef& operator=(const OutlookRef& other) {
    OutlookRef copy(other);
    std::swap(outlook_, copy.outlook_);
    return *this;
  }
  ~OutlookRef() { add(-1); }

  Outlook* operator->() const { return outlook_.get(); }
  Outlook& operator*() const { return *outlook_; }
  operator const OutlookPtr&() const { return outlook_; }  // NOLINT
  const OutlookPtr& ptr() const { return outlook_; }

 private:
  void add(int n) {
    if (outlook_) outlook_->heldObjects_ += n;
  }
  OutlookPtr outlook_;
};

platform::ApplicationPtr makeApplication(const OutlookPtr& outlook);
platform::ItemPtr makeItem(const OutlookPtr& outlook, const ModelItemPtr& item);
platform::FolderPtr makeFolder(const OutlookPtr& outlook, const ModelFolderPtr& folder);
platform::InspectorPtr makeInspector(const OutlookPtr& outlook, const InspectorHandle& inspector);
platform::CommandBarsPtr makeExplorerCommandBars(const OutlookPtr& outlook);
platform::CommandBarsPtr makeInspectorCommandBars(const OutlookPtr& outlook,
                                                  const InspectorHandle& inspector);
platform::CommandBarControlPtr makeAccountEntryControl(const OutlookPtr& outlook,
                                                       const InspectorHandle& inspector,
                                                       long entry);
platform::AccountPtr makeAccount(const OutlookPtr& outlook, TextView key);
platform::RecipientPtr makeStandaloneRecipient(const OutlookPtr& outlook, RecipientRecord record);
platform::PropertyPagesPtr makePropertyPages(const OutlookPtr& outlook);
platform::PropertyPageSitePtr makePropertyPageSite(const OutlookPtr& outlook);

// The model behind an object of the simulation; nullptr for any other object.
ModelItemPtr modelItemOf(const platform::ItemPtr& item);
ModelFolderPtr modelFolderOf(const platform::FolderPtr& folder);
InspectorHandle modelInspectorOf(const platform::InspectorPtr& inspector);

}  // namespace korvanel::sim
