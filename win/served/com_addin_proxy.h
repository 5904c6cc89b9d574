// Outlook's add-in host, the COM half: a COM add-in created from its registered DLL by ProgID
// (CLSIDFromProgID, CoCreateInstance) and called through IDTExtensibility2's vtable, as Office
// calls it, with the simulated Application and AddInInst served as COM objects. To the
// simulated host it is one more platform::AddIn; its Terminate is the release of the COM
// object, after which nothing of the served Outlook may still be referenced.
#pragma once

#include <functional>
#include <memory>

#include "platform/addin_host.h"
#include "win/com/com_ptr.h"
#include "win/korvanel/extensibility_idl.h"

namespace korvanel::win::served {

class ComAddInProxy final : public platform::AddIn {
 public:
  // nullptr when the class is not registered or cannot be created. anomaly receives what
  // Outlook would complain of (references to its objects held after the add-in's release).
  static std::unique_ptr<ComAddInProxy> create(platform::TextView progId,
                                               std::function<void(platform::Text)> anomaly);

  void onConnection(const platform::ApplicationPtr& application, long connectMode,
                    const platform::COMAddInPtr& addInInst) override;
  void onDisconnection(long removeMode) override;
  void onAddInsUpdate() override;
  void onStartupComplete() override;
  void onBeginShutdown() override;
  void onTerminate() override;

 private:
  ComAddInProxy(platform::Text progId, ComPtr<IDTExtensibility2> addIn,
                std::function<void(platform::Text)> anomaly)
      : progId_(std::move(progId)), addIn_(std::move(addIn)), anomaly_(std::move(anomaly)) {}

  platform::Text progId_;
  ComPtr<IDTExtensibility2> addIn_;
  std::function<void(platform::Text)> anomaly_;
  // The AddInInst passed at connection; the host holds it while the add-in is connected.
  ComPtr<IDispatch> addInInst_;
};

}  // namespace korvanel::win::served
