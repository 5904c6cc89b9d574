#include "win/korvanel/connect_object.h"

#include "win/com/bstr.h"
#include "win/outlook/com_addin.h"
#include "win/outlook/outlook_application.h"
#include "win/system/system_code_page.h"

namespace korvanel::win {

namespace {

// A string property for a late-bound caller: a text, never an error (failures read "").
HRESULT returnText(BSTR* value, const std::function<text::Text()>& read) {
  if (value == nullptr) return E_POINTER;
  *value = nullptr;
  return guard([&] {
    text::Text s;
    try {
      s = read();
    } catch (...) {
    }
    *value = Bstr(s).detach();
    return *value != nullptr ? S_OK : E_OUTOFMEMORY;
  });
}

// Host events never fail: whatever goes wrong inside stays inside.
template <class Body>
HRESULT hostEvent(Body&& body) noexcept {
  guard([&] {
    body();
    return S_OK;
  });
  return S_OK;
}

}  // namespace

ConnectObject::ConnectObject()
    : core_(platform::adoptWithTerminate(std::make_unique<addin::Connect>(
          services_, addin::defaultEngineRoutes(), systemCodePage()))) {}

ConnectObject::~ConnectObject() {
  try {
    core_.reset();
  } catch (...) {
  }
}

void* ConnectObject::findInterface(REFIID iid) {
  if (iid == __uuidof(IDTExtensibility2)) return static_cast<IDTExtensibility2*>(this);
  return findDispatch(iid);
}

STDMETHODIMP ConnectObject::OnConnection(IDispatch* application, ext_ConnectMode mode,
                                         IDispatch* addInInst, SAFEARRAY**) {
  return hostEvent([&] {
    platform::COMAddInPtr host;
    if (addInInst != nullptr) {
      host = std::make_shared<ComAddInAdapter>(ComPtr<IDispatch>(addInInst), core_->object(),
                                               static_cast<_Connect*>(this));
    }
    core_->onConnection(makeApplication(ComPtr<IDispatch>(application)), mode, host);
  });
}

STDMETHODIMP ConnectObject::OnDisconnection(ext_DisconnectMode mode, SAFEARRAY**) {
  return hostEvent([&] { core_->onDisconnection(mode); });
}

STDMETHODIMP ConnectObject::OnAddInsUpdate(SAFEARRAY**) {
  return hostEvent([&] { core_->onAddInsUpdate(); });
}

STDMETHODIMP ConnectObject::OnStartupComplete(SAFEARRAY**) {
  return hostEvent([&] { core_->onStartupComplete(); });
}

STDMETHODIMP ConnectObject::OnBeginShutdown(SAFEARRAY**) {
  return hostEvent([&] { core_->onBeginShutdown(); });
}

STDMETHODIMP ConnectObject::get_sUN(BSTR* value) {
  return returnText(value, [&] { return core_->sUN(); });
}

STDMETHODIMP ConnectObject::get_sPN(BSTR* value) {
  return returnText(value, [&] { return core_->sPN(); });
}

STDMETHODIMP ConnectObject::get_sSMBXs(BSTR* value) {
  return returnText(value, [&] { return core_->sSMBXs(); });
}

STDMETHODIMP ConnectObject::put_IsRestart(short value) {
  return hostEvent([&] { core_->IsRestart(value); });
}

STDMETHODIMP ConnectObject::PrepareAccessibleMBX() {
  return hostEvent([&] { core_->PrepareAccessibleMBX(); });
}

}  // namespace korvanel::win
