#include "win/korvanel/connect_object.h"

#include "win/bstr.h"

namespace korvanel::win {

namespace {

// A string property for a late-bound caller: never a null out-parameter, never an error.
HRESULT returnText(BSTR* value, text::TextView s) {
  if (value == nullptr) return E_POINTER;
  *value = nullptr;
  return guard([&] {
    *value = Bstr(s).detach();
    return S_OK;
  });
}

}  // namespace

void* ConnectObject::findInterface(REFIID iid) {
  if (iid == __uuidof(IDTExtensibility2)) return static_cast<IDTExtensibility2*>(this);
  return findDispatch(iid);
}

STDMETHODIMP ConnectObject::OnConnection(IDispatch*, ext_ConnectMode, IDispatch*, SAFEARRAY**) {
  return S_OK;
}

STDMETHODIMP ConnectObject::OnDisconnection(ext_DisconnectMode, SAFEARRAY**) { return S_OK; }

STDMETHODIMP ConnectObject::OnAddInsUpdate(SAFEARRAY**) { return S_OK; }

STDMETHODIMP ConnectObject::OnStartupComplete(SAFEARRAY**) { return S_OK; }

STDMETHODIMP ConnectObject::OnBeginShutdown(SAFEARRAY**) { return S_OK; }

STDMETHODIMP ConnectObject::get_sUN(BSTR* value) { return returnText(value, u""); }

STDMETHODIMP ConnectObject::get_sPN(BSTR* value) { return returnText(value, u""); }

STDMETHODIMP ConnectObject::get_sSMBXs(BSTR* value) { return returnText(value, u""); }

STDMETHODIMP ConnectObject::put_IsRestart(short) { return S_OK; }

STDMETHODIMP ConnectObject::PrepareAccessibleMBX() { return S_OK; }

}  // namespace korvanel::win
