// The simulated Outlook object model served through COM under Outlook's interface and
// member names: each class wraps one platform object of the simulation and answers the
// members of the real Outlook, Office and Word object models that stand for it. A served
// object is made anew for every call that returns one, as Outlook does; compare EntryIDs.
#pragma once

#include "platform/outlook.h"
#include "win/served/served_object.h"

namespace korvanel::win::served {

// A served class over one platform object.
template <class P>
class Served : public ServedObject {
 public:
  explicit Served(P platformObject) : object(std::move(platformObject)) {}
  P object;
};

#define KORVANEL_SERVED(Name, Ptr)             \
  class Name final : public Served<Ptr> {      \
   public:                                     \
    using Served::Served;                      \
    const MemberTable& table() const override; \
  }

KORVANEL_SERVED(ServedApplication, platform::ApplicationPtr);
KORVANEL_SERVED(ServedLanguageSettings, platform::ApplicationPtr);
KORVANEL_SERVED(ServedNameSpace, platform::NameSpacePtr);
KORVANEL_SERVED(ServedExplorers, platform::ExplorersPtr);
KORVANEL_SERVED(ServedExplorer, platform::ExplorerPtr);
KORVANEL_SERVED(ServedSelection, platform::SelectionPtr);
KORVANEL_SERVED(ServedInspectors, platform::InspectorsPtr);
KORVANEL_SERVED(ServedInspector, platform::InspectorPtr);
KORVANEL_SERVED(ServedFolders, platform::FoldersPtr);
KORVANEL_SERVED(ServedFolder, platform::FolderPtr);
KORVANEL_SERVED(ServedStore, platform::StorePtr);
KORVANEL_SERVED(ServedItems, platform::ItemsPtr);
KORVANEL_SERVED(ServedRecipients, platform::RecipientsPtr);
KORVANEL_SERVED(ServedRecipient, platform::RecipientPtr);
KORVANEL_SERVED(ServedAddressEntry, platform::AddressEntryPtr);
KORVANEL_SERVED(ServedUserProperties, platform::UserPropertiesPtr);
KORVANEL_SERVED(ServedUserProperty, platform::UserPropertyPtr);
KORVANEL_SERVED(ServedAttachments, platform::AttachmentsPtr);
KORVANEL_SERVED(ServedPropertyAccessor, platform::PropertyAccessorPtr);
KORVANEL_SERVED(ServedAccounts, platform::AccountsPtr);
KORVANEL_SERVED(ServedAccount, platform::AccountPtr);
KORVANEL_SERVED(ServedComAddIns, platform::COMAddInsPtr);
KORVANEL_SERVED(ServedComAddIn, platform::COMAddInPtr);
KORVANEL_SERVED(ServedPropertyPages, platform::PropertyPagesPtr);
KORVANEL_SERVED(ServedCommandBars, platform::CommandBarsPtr);
KORVANEL_SERVED(ServedCommandBar, platform::CommandBarPtr);
KORVANEL_SERVED(ServedCommandBarControl, platform::CommandBarControlPtr);
KORVANEL_SERVED(ServedCommandBarControls, platform::CommandBarControlsPtr);
KORVANEL_SERVED(ServedWordDocument, platform::WordDocumentPtr);
KORVANEL_SERVED(ServedWordApplication, platform::WordApplicationPtr);
KORVANEL_SERVED(ServedWordTemplate, platform::WordApplicationPtr);
KORVANEL_SERVED(ServedWordWindows, platform::WordApplicationPtr);

#undef KORVANEL_SERVED

// Every item type is one class: its interface is named after the item's type ("_MailItem",
// "_MeetingItem", "_TaskRequestItem"), read once when it is served.
class ServedItem final : public Served<platform::ItemPtr> {
 public:
  explicit ServedItem(platform::ItemPtr item);
  const MemberTable& table() const override { return table_; }

 private:
  const MemberTable& table_;
};

// The served objects of platform objects (nothing for nullptr).
ComPtr<IDispatch> serveItem(platform::ItemPtr item);

}  // namespace korvanel::win::served
