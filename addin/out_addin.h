// OutAddIn: the one object through which Outlook's events reach the add-in. It binds the
// Application, opens the CDO session on Outlook 2003, loads the shared state, and holds the
// event sinks; each handler only filters by item type and Outlook version and hands the
// item on through the context's routes.
//
// Hook order at start-up: objOutlook (first step of InitAddIn), oFldItems1..9 (Outlook
// 2003, during LoadSettings), oDeletedItems, oInboxItems, oSentItems (end of
// LoadSettings), colInsp. After a re-read the Options dialog opens on the page after all
// of them: it is modal, and mail arriving while it is open must find everything in place.
// ReleaseAddIn lets go of everything the add-in holds of Outlook (the sinks, the item
// windows' wrappers, the namespace and the Application by class): Outlook does not end
// while an add-in holds its objects.
//
// Create it with std::make_shared: its handlers keep it alive while they run. No member
// lets an exception escape. Single-threaded.
#pragma once

#include <array>
#include <memory>

#include "addin/addin_context.h"
#include "addin/event_sink.h"
#include "platform/outlook.h"
#include "text/text.h"

namespace korvanel::addin {

// The Options page's tab, which OptionsPagesAdd adds.
inline constexpr char16_t kOptionsPageTitle[] = u"Korvanel";
// The user property that marks a re-sent item whose window may still be open.
inline constexpr char16_t kResentMarkerProperty[] = u"KorvanelTag1";
// At most this many monitored folders are watched (Outlook 2003 only).
inline constexpr int kMonitoredFolderSlots = 9;

class OutAddIn : public std::enable_shared_from_this<OutAddIn> {
 public:
  explicit OutAddIn(std::shared_ptr<AddinContext> context);
  ~OutAddIn();
  OutAddIn(const OutAddIn&) = delete;
  OutAddIn& operator=(const OutAddIn&) = delete;

  void InitAddIn(const platform::ApplicationPtr& application);
  void ReleaseAddIn();
  // Builds the shared state and hooks the folder sinks (load_settings.cpp).
  void LoadSettings();

  // Event handlers.
  void objOutlook_ItemSend(const platform::ItemPtr& item, bool& cancel);
  void objOutlook_NewMailEx(text::TextView entryIdCollection);
  void objOutlook_OptionsPagesAdd(const platform::PropertyPagesPtr& pages);
  void oInboxItems_ItemAdd(const platform::ItemPtr& item);
  void oInboxItems_ItemChange(const platform::ItemPtr& item);
  // oFldItems1_ItemAdd ... oFldItems9_ItemAdd: each does what oInboxItems_ItemAdd does.
  void oFldItems_ItemAdd(int slot, const platform::ItemPtr& item);
  void oSentItems_ItemAdd(const platform::ItemPtr& item);
  void oDeletedItems_ItemAdd(const platform::ItemPtr& item);
  void colInsp_NewInspector(const platform::InspectorPtr& inspector);

  AddinContext& context() { return *context_; }

 private:
  // A handler that calls the member on this object while the object lives.
  platform::Items::ItemHandler itemHandler(void (OutAddIn::*handler)(const platform::ItemPtr&));
  // Sets a folder sink to the folder's Items; it stays unset without a folder.
  void hookFolderItems(EventSink<platform::Items>& sink, const platform::FolderPtr& folder,
                       platform::Items::ItemHandler onItemAdd,
                       platform::Items::ItemHandler onItemChange = {});
  void hookMonitoredFolders();
  void hookDefaultFolders();
  // Opens Outlook's Options dialog on the page; returns when the user closes it.
  void showOptionsPage();

  std::shared_ptr<AddinContext> context_;

  // Sinks, in the order Outlook's events reach them.
  EventSink<platform::Application> objOutlook;
  EventSink<platform::Inspectors> colInsp;
  EventSink<platform::Items> oDeletedItems;
  EventSink<platform::Items> oInboxItems;
  EventSink<platform::Items> oSentItems;
  std::array<EventSink<platform::Items>, kMonitoredFolderSlots> oFldItems;
  // The load found the refresh flag of a re-read: InitAddIn shows the page last.
  bool optionsPageWanted_ = false;
};

}  // namespace korvanel::addin
