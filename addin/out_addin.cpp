#include "addin/out_addin.h"

#include "addin/cdo_session.h"
#include "addin/registration.h"

namespace korvanel::addin {

namespace {

constexpr char16_t kMailItem[] = u"mailitem";
constexpr char16_t kMeetingItem[] = u"meetingitem";
constexpr const char16_t* kTaskRequestTypes[] = {u"TaskRequestItem", u"TaskRequestAcceptItem",
                                                 u"TaskRequestUpdateItem",
                                                 u"TaskRequestDeclineItem"};

// The item's run-time type name in lower case ("mailitem", "meetingitem", ...).
text::Text typeNameOf(platform::Item& item) { return text::fold(item.typeName()); }

bool isTaskRequest(text::TextView typeName) {
  for (const char16_t* name : kTaskRequestTypes) {
    if (text::equalsNoCase(typeName, name)) return true;
  }
  return false;
}

// The major version from the Application's Version text: its first two characters without
// their dots ("11.0.8169.0" gives 11, "9.0.0.2711" gives 9); 0 when that is no number.
std::int16_t majorVersionOf(text::TextView version) {
  text::Text digits = text::replaceAll(version.substr(0, 2), u".", u"");
  return static_cast<std::int16_t>(text::readInteger(digits).value_or(0));
}

// Whether the window shows the message of which the item is the sent copy: the copy keeps
// the message's conversation index, which no other message shares (a reply or a forward
// adds to it), and its subject.
bool showsSameMessage(platform::Inspector& inspector, platform::Item& sentCopy) {
  const platform::ItemPtr shown = inspector.currentItem();
  if (!shown) return false;
  const text::Text index = sentCopy.conversationIndex();
  return !index.empty() && text::equalsNoCase(shown->conversationIndex(), index) &&
         text::equalsNoCase(shown->subject(), sentCopy.subject());
}

}  // namespace

OutAddIn::OutAddIn(std::shared_ptr<AddinContext> context) : context_(std::move(context)) {}

OutAddIn::~OutAddIn() {
  try {
    // Everything this object hooked goes with it, the latest item window's sink included.
    context_->releaseAddIn = nullptr;
    context_->objInsp.reset();
  } catch (...) {
  }
}

void OutAddIn::InitAddIn(const platform::ApplicationPtr& application) {
  AddinContext& ctx = *context_;
  SharedState& state = ctx.state;
  try {
    if (!application) return;
    const std::weak_ptr<OutAddIn> weak = weak_from_this();
    ctx.releaseAddIn = [weak] {
      if (const std::shared_ptr<OutAddIn> self = weak.lock()) self->ReleaseAddIn();
    };

    // Application events arrive from here on, also while the settings load.
    std::vector<platform::Connection> connections;
    connections.push_back(
        application->onItemSend([weak](const platform::ItemPtr& item, bool& cancel) {
          if (const std::shared_ptr<OutAddIn> self = weak.lock())
            self->objOutlook_ItemSend(item, cancel);
        }));
    connections.push_back(application->onNewMailEx([weak](const text::Text& entryIds) {
      if (const std::shared_ptr<OutAddIn> self = weak.lock()) self->objOutlook_NewMailEx(entryIds);
    }));
    connections.push_back(
        application->onOptionsPagesAdd([weak](const platform::PropertyPagesPtr& pages) {
          if (const std::shared_ptr<OutAddIn> self = weak.lock())
            self->objOutlook_OptionsPagesAdd(pages);
        }));
    objOutlook.set(application, std::move(connections));

    state.OutlookApp = application;
    state.OutlookVersion = majorVersionOf(application->version());

    if (state.OutlookVersion < 12) {
      CdoLogon(ctx);
      // Without CDO the add-in cannot work on Outlook 2003; Connect tells the user.
      if (!state.CdoSession) return;
    }

    state.MapiNamespace = application->getNamespace(u"MAPI");
    if (state.MapiNamespace) {
      try {
        LoadSettings();
      } catch (...) {
      }
    }

    platform::InspectorsPtr inspectors =
        objOutlook ? objOutlook->inspectors() : platform::InspectorsPtr();
    if (inspectors) {
      std::vector<platform::Connection> inspectorEvents;
      inspectorEvents.push_back(
          inspectors->onNewInspector([weak](const platform::InspectorPtr& inspector) {
            if (const std::shared_ptr<OutAddIn> self = weak.lock())
              self->colInsp_NewInspector(inspector);
          }));
      colInsp.set(std::move(inspectors), std::move(inspectorEvents));
    }

    if (optionsPageWanted_) {
      optionsPageWanted_ = false;
      showOptionsPage();
    }
  } catch (...) {
  }
}

void OutAddIn::ReleaseAddIn() {
  try {
    SharedState& state = context_->state;
    colInsp.reset();
    state.OutlookApp.reset();
    state.SharedAccountsButton.reset();
    objOutlook.reset();
    CdoLogoff(*context_);
  } catch (...) {
  }
  // Outlook does not end while the add-in holds any of its objects: everything goes now,
  // not when the add-in is unloaded, which would wait for Outlook's end.
  try {
    SharedState& state = context_->state;
    context_->objInsp.reset();
    oDeletedItems.reset();
    oInboxItems.reset();
    oSentItems.reset();
    for (EventSink<platform::Items>& sink : oFldItems) sink.reset();
    // The wrappers hold their windows and items; taken out first, as their release may call
    // back into the add-in.
    auto wrappers = std::move(state.InspectorWrappers);
    state.InspectorWrappers.clear();
    wrappers.clear();
    state.MapiNamespace.reset();
    state.ApplicationByClass.reset();
  } catch (...) {
  }
}

void OutAddIn::objOutlook_ItemSend(const platform::ItemPtr& item, bool& cancel) {
  try {
    if (!item) return;
    AddinContext& ctx = *context_;
    const text::Text type = typeNameOf(*item);
    if (ctx.state.OutlookVersion >= 12) {
      if (isTaskRequest(type)) {
        if (ctx.routes.CompleteTaskSend) cancel = ctx.routes.CompleteTaskSend(ctx, item);
      } else if (text::equalsNoCase(type, kMeetingItem) || type == kMailItem) {
        if (ctx.routes.CompleteSend) cancel = ctx.routes.CompleteSend(ctx, item);
      }
    } else if (type == kMailItem) {
      if (ctx.routes.CompleteSendCDO) cancel = ctx.routes.CompleteSendCDO(ctx, item);
    }
  } catch (...) {
  }
}

void OutAddIn::objOutlook_NewMailEx(text::TextView entryIdCollection) {
  try {
    AddinContext& ctx = *context_;
    const EngineRoutes::EntryIdRoute& stamp =
        ctx.state.OutlookVersion >= 12 ? ctx.routes.StampItem : ctx.routes.StampItemCDO;
    if (!stamp) return;
    // Every piece between commas, the one after the last comma too, even when it is empty.
    const EngineRoutes::EntryIdRoute route = stamp;  // the routes may change while it runs
    std::size_t start = 0;
    while (true) {
      const std::size_t comma = entryIdCollection.find(u',', start);
      const text::Text piece(entryIdCollection.substr(
          start, comma == text::TextView::npos ? text::TextView::npos : comma - start));
      try {
        route(ctx, piece);
      } catch (...) {
      }
      if (comma == text::TextView::npos) break;
      start = comma + 1;
    }
  } catch (...) {
  }
}

void OutAddIn::objOutlook_OptionsPagesAdd(const platform::PropertyPagesPtr& pages) {
  try {
    if (pages) pages->add(kPageProgId, kOptionsPageTitle);
  } catch (...) {
  }
}

void OutAddIn::oInboxItems_ItemAdd(const platform::ItemPtr& item) {
  try {
    if (!item || typeNameOf(*item) != kMailItem) return;
    AddinContext& ctx = *context_;
    const text::Text entryId = item->entryId();
    const EngineRoutes::EntryIdRoute route =
        ctx.state.OutlookVersion >= 12 ? ctx.routes.StampItem : ctx.routes.StampItemCDO;
    if (route) route(ctx, entryId);
  } catch (...) {
  }
}

void OutAddIn::oInboxItems_ItemChange(const platform::ItemPtr& /*item*/) {}

void OutAddIn::oFldItems_ItemAdd(int /*slot*/, const platform::ItemPtr& item) {
  // Mail arriving in a monitored folder is handled as if it had arrived in the Inbox.
  oInboxItems_ItemAdd(item);
}

void OutAddIn::oSentItems_ItemAdd(const platform::ItemPtr& item) {
  try {
    if (!item) return;
    AddinContext& ctx = *context_;
    const text::Text type = typeNameOf(*item);
    if (type != kMailItem && type != kMeetingItem) return;
    if (!item->sent()) return;
    const EngineRoutes::ItemRoute restamp =
        ctx.state.OutlookVersion < 12 ? ctx.routes.RestampSentItemCDO : ctx.routes.RestampSentItem;
    if (restamp) restamp(ctx, item);

    // A re-sent item whose window is still open: close the window now that its sent copy
    // is here, and take the marker off.
    const platform::ApplicationPtr& application = ctx.applicationByClass();
    platform::InspectorPtr inspector = application ? application->activeInspector() : nullptr;
    const text::Text caption = inspector ? inspector->caption() : text::Text();
    if (caption.empty()) return;

    platform::UserPropertiesPtr properties = item->userProperties();
    if (!properties) return;
    long found = 0;
    text::Text marker;
    const long count = properties->count();
    for (long i = 1; i <= count; ++i) {
      platform::UserPropertyPtr property = properties->item(i);
      if (property && property->name() == kResentMarkerProperty) {
        found = i;
        marker = property->value().toText();
        break;
      }
    }
    if (found == 0 || marker != u"1") return;
    const text::Text subject = item->subject();
    if (!text::startsWithNoCase(caption, subject)) return;
    // The caption alone would match any window whose title begins like the subject (an
    // empty subject, every window): only the window of this very message is closed, never
    // a draft of the user's.
    if (!showsSameMessage(*inspector, *item)) return;
    inspector->close(platform::kOlDiscard);
    properties->remove(found);
    item->save();
  } catch (...) {
  }
}

void OutAddIn::oDeletedItems_ItemAdd(const platform::ItemPtr& item) {
  try {
    AddinContext& ctx = *context_;
    if (ctx.routes.ResendParkedItem) ctx.routes.ResendParkedItem(ctx, item);
  } catch (...) {
  }
}

void OutAddIn::colInsp_NewInspector(const platform::InspectorPtr& inspector) {
  try {
    AddinContext& ctx = *context_;
    if (ctx.routes.colInsp_NewInspector) ctx.routes.colInsp_NewInspector(ctx, inspector);
  } catch (...) {
  }
}

platform::Items::ItemHandler OutAddIn::itemHandler(
    void (OutAddIn::*handler)(const platform::ItemPtr&)) {
  return [weak = weak_from_this(), handler](const platform::ItemPtr& item) {
    if (const std::shared_ptr<OutAddIn> self = weak.lock()) ((*self).*handler)(item);
  };
}

void OutAddIn::hookFolderItems(EventSink<platform::Items>& sink, const platform::FolderPtr& folder,
                               platform::Items::ItemHandler onItemAdd,
                               platform::Items::ItemHandler onItemChange) {
  platform::ItemsPtr items = folder ? folder->items() : nullptr;
  if (!items) return;
  std::vector<platform::Connection> connections;
  connections.push_back(items->onItemAdd(std::move(onItemAdd)));
  if (onItemChange) connections.push_back(items->onItemChange(std::move(onItemChange)));
  sink.set(std::move(items), std::move(connections));
}

}  // namespace korvanel::addin
