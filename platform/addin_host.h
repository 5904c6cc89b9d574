// The contract between Office's add-in host and a COM add-in, and between Outlook's Options
// dialog and a property-page control.
//
// Add-in: the host creates the add-in's object, then calls onConnection, onAddInsUpdate and
// onStartupComplete; at exit onBeginShutdown and onDisconnection; then it releases the object.
// The host owns the object through a shared_ptr whose last release calls onTerminate() (the
// object's Terminate) and then destroys it; the add-in may hand out shared_ptrs to itself (as
// the AddInInst's Object), which keep it alive as COM references do.
//
// Property page: the Options dialog creates the control each time it shows the page's tab,
// calls initProperties with its site, apply() on OK/Apply while dirty() is true, and
// releases the control when the dialog closes; the last release calls onTerminate() (the
// control's Terminate), as for the add-in.
//
// The product implements these interfaces; the host calls them on the user-interface thread.
// Implementations must not let an exception escape.
#pragma once

#include <memory>

#include "platform/outlook.h"

namespace korvanel::platform {

// ConnectMode / RemoveMode values the host passes.
inline constexpr long kExtCmAfterStartup = 0;
inline constexpr long kExtCmStartup = 1;
inline constexpr long kExtDmHostShutdown = 0;
inline constexpr long kExtDmUserClosed = 1;

class AddIn {
 public:
  virtual ~AddIn() = default;
  virtual void onConnection(const ApplicationPtr& application, long connectMode,
                            const COMAddInPtr& addInInst) = 0;
  virtual void onDisconnection(long removeMode) = 0;
  virtual void onAddInsUpdate() = 0;
  virtual void onStartupComplete() = 0;
  virtual void onBeginShutdown() = 0;
  virtual void onTerminate() = 0;
};

// What Outlook gives a property page: its PropertyPageSite (the control's parent).
class PropertyPageSite {
 public:
  virtual ~PropertyPageSite() = default;
  virtual ApplicationPtr application() = 0;
  // The page's Dirty changed: Outlook enables its Apply button.
  virtual void onStatusChange() = 0;
};
using PropertyPageSitePtr = std::shared_ptr<PropertyPageSite>;

class PropertyPage {
 public:
  virtual ~PropertyPage() = default;
  // The control's load, with its parent site.
  virtual void initProperties(const PropertyPageSitePtr& site) = 0;
  virtual void apply() = 0;
  virtual bool dirty() = 0;
  virtual void getPageInfo(Text& helpFile, long& helpContext) = 0;
  virtual void onTerminate() = 0;
};

// Wraps a freshly created add-in or page so that its last release runs onTerminate() first.
template <typename T>
std::shared_ptr<T> adoptWithTerminate(std::unique_ptr<T> object) {
  if (!object) return nullptr;
  return std::shared_ptr<T>(object.release(), [](T* p) {
    p->onTerminate();
    delete p;
  });
}

}  // namespace korvanel::platform
