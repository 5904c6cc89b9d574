// Where the event hub hands Outlook's events on: the identity engine's stamping, send
// completion and sent/deleted-items follow-up, and the inspector tracking. OutAddIn calls
// only through these, so the hub's routing (which event, which item type, which Outlook
// version goes where) stands on its own. An empty route is skipped: nothing is stamped and
// ItemSend's Cancel stays as Outlook passed it.
#pragma once

#include <functional>

#include "platform/outlook.h"
#include "text/text.h"

namespace korvanel::addin {

struct AddinContext;

struct EngineRoutes {
  using EntryIdRoute = std::function<void(AddinContext&, text::TextView entryId)>;
  using ItemRoute = std::function<void(AddinContext&, const platform::ItemPtr& item)>;
  // The result becomes ItemSend's Cancel.
  using SendRoute = std::function<bool(AddinContext&, const platform::ItemPtr& item)>;
  using InspectorRoute =
      std::function<void(AddinContext&, const platform::InspectorPtr& inspector)>;

  // A received message, by entry id: Outlook 2007 / Outlook 2003.
  EntryIdRoute StampItem;
  EntryIdRoute StampItemCDO;
  // An item being sent: mail and meeting items on 2007, task requests on 2007, mail on 2003.
  SendRoute CompleteSend;
  SendRoute CompleteTaskSend;
  SendRoute CompleteSendCDO;
  // A sent copy in Sent Items: 2007 / 2003.
  ItemRoute RestampSentItem;
  ItemRoute RestampSentItemCDO;
  // Anything arriving in Deleted Items.
  ItemRoute ResendParkedItem;
  // A new item window.
  InspectorRoute colInsp_NewInspector;
};

// The routes to the add-in's own operations.
EngineRoutes defaultEngineRoutes();

}  // namespace korvanel::addin
