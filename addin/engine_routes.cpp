#include "addin/engine_routes.h"

#include "addin/complete_send.h"
#include "addin/insp_tracking.h"
#include "addin/sent_items.h"
#include "addin/stamp_item.h"

namespace korvanel::addin {

EngineRoutes defaultEngineRoutes() {
  EngineRoutes routes;
  routes.StampItem = &StampItem;
  routes.StampItemCDO = &StampItemCDO;
  routes.CompleteSend = &CompleteSend;
  routes.CompleteTaskSend = &CompleteTaskSend;
  routes.CompleteSendCDO = &CompleteSendCDO;
  routes.RestampSentItem = &RestampSentItem;
  routes.RestampSentItemCDO = &RestampSentItemCDO;
  routes.ResendParkedItem = &ResendParkedItem;
  routes.colInsp_NewInspector = &colInsp_NewInspector;
  return routes;
}

}  // namespace korvanel::addin
