// The MAPI logon that a running Outlook holds: its profile and the stores it opened. A CDO
// session started inside Outlook attaches to it and so sees exactly what Outlook sees; once
// that Outlook has ended the logon is gone and the session's objects fail.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "sim/model.h"

namespace korvanel::sim {

class Outlook;

class MapiLogon {
 public:
  virtual ~MapiLogon() = default;
  // False once the Outlook that held it has ended.
  virtual bool active() const = 0;
  virtual Text profileName() const = 0;
  // The open stores, the default store first.
  virtual std::vector<ModelStorePtr> stores() const = 0;
  // A message was saved through this logon (not through Outlook's own objects): Outlook
  // learns of it as of any change in a store it watches.
  virtual void messageSaved(const ModelItemPtr& item) = 0;
};
using MapiLogonPtr = std::shared_ptr<MapiLogon>;

// The logon a new session attaches to: the running Outlook's; nullptr when none runs.
using MapiLogonSource = std::function<MapiLogonPtr()>;

// The logon of this Outlook. A saved message raises its folder's ItemChange through
// Outlook's queue, as the store's notification reaches Outlook.
MapiLogonPtr outlookLogon(const std::shared_ptr<Outlook>& outlook);

}  // namespace korvanel::sim
