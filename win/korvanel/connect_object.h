// The COM class Connect: what Office's add-in host creates and connects. It implements the
// host's IDTExtensibility2 and the dual _Connect that the Options page reads by name.
#pragma once

#include "win/dispatch_object.h"
#include "win/korvanel/extensibility_idl.h"
#include "win/korvanel/korvanel_idl.h"

namespace korvanel::win {

class ConnectObject final : public DispatchObject<_Connect, IDTExtensibility2> {
 public:
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
};

}  // namespace korvanel::win
