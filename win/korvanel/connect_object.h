// The COM class Connect: what Office's add-in host creates and connects. It implements the
// host's IDTExtensibility2 and the dual _Connect that the Options page reads by name, and
// hands both to the portable addin::Connect over the Windows adapters of the platform.
#pragma once

#include <memory>

#include "addin/connect.h"
#include "win/system/advapi_registry.h"
#include "win/com/dispatch_object.h"
#include "win/korvanel/extensibility_idl.h"
#include "win/korvanel/korvanel_idl.h"
#include "win/messaging/win_mapi.h"
#include "win/system/win_object_factory.h"
#include "win/system/win_shell.h"

namespace korvanel::win {

class ConnectObject final : public DispatchObject<_Connect, IDTExtensibility2> {
 public:
  ConnectObject();
  // The last release is the add-in's Terminate: the restart it was asked for happens here.
  ~ConnectObject() override;

  // IDTExtensibility2.
  STDMETHODIMP OnConnection(IDispatch* application, ext_ConnectMode mode, IDispatch* addInInst,
                            SAFEARRAY** custom) override;
  STDMETHODIMP OnDisconnection(ext_DisconnectMode mode, SAFEARRAY** custom) override;
  STDMETHODIMP OnAddInsUpdate(SAFEARRAY** custom) override;
  STDMETHODIMP OnStartupComplete(SAFEARRAY** custom) override;
  STDMETHODIMP OnBeginShutdown(SAFEARRAY** custom) override;

  // _Connect.
  STDMETHODIMP get_sUN(BSTR* value) override;
  STDMETHODIMP get_sPN(BSTR* value) override;
  STDMETHODIMP get_sSMBXs(BSTR* value) override;
  STDMETHODIMP put_IsRestart(short value) override;
  STDMETHODIMP PrepareAccessibleMBX() override;

 protected:
  void* findInterface(REFIID iid) override;

 private:
  // The services outlive the add-in, which holds references to them.
  AdvapiRegistry registry_;
  WinShell shell_;
  WinObjectFactory objects_;
  WinMapi mapi_;
  platform::Services services_{registry_, shell_, objects_, mapi_};
  std::shared_ptr<addin::Connect> core_;
};

}  // namespace korvanel::win
