#include "win/served/com_addin_proxy.h"

#include "win/com/wide.h"
#include "win/served/served_outlook.h"
#include "win/served/served_stats.h"

namespace korvanel::win::served {

namespace {

// The custom argument of every host event: an empty array, as Office passes it.
class CustomArray {
 public:
  CustomArray() : array_(SafeArrayCreateVector(VT_VARIANT, 0, 0)) {}
  ~CustomArray() {
    if (array_ != nullptr) SafeArrayDestroy(array_);
  }
  CustomArray(const CustomArray&) = delete;
  CustomArray& operator=(const CustomArray&) = delete;
  SAFEARRAY** get() { return &array_; }

 private:
  SAFEARRAY* array_;
};

}  // namespace

std::unique_ptr<ComAddInProxy> ComAddInProxy::create(platform::TextView progId,
                                                     std::function<void(platform::Text)> anomaly) {
  CLSID clsid = {};
  if (FAILED(CLSIDFromProgID(toWide(progId).c_str(), &clsid))) return nullptr;
  ComPtr<IDTExtensibility2> addIn;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IDTExtensibility2),
                              addIn.putVoid())) ||
      !addIn) {
    return nullptr;
  }
  return std::unique_ptr<ComAddInProxy>(
      new ComAddInProxy(platform::Text(progId), std::move(addIn), std::move(anomaly)));
}

void ComAddInProxy::onConnection(const platform::ApplicationPtr& application, long connectMode,
                                 const platform::COMAddInPtr& addInInst) {
  // The host lets go of its Application once the add-in is connected, as Outlook's does:
  // Outlook ends only when nothing holds it.
  const ComPtr<IDispatch> served = serve<ServedApplication>(application);
  addInInst_ = serve<ServedComAddIn>(addInInst);
  CustomArray custom;
  addIn_->OnConnection(served.get(), static_cast<ext_ConnectMode>(connectMode), addInInst_.get(),
                       custom.get());
}

void ComAddInProxy::onDisconnection(long removeMode) {
  CustomArray custom;
  addIn_->OnDisconnection(static_cast<ext_DisconnectMode>(removeMode), custom.get());
}

void ComAddInProxy::onAddInsUpdate() {
  CustomArray custom;
  addIn_->OnAddInsUpdate(custom.get());
}

void ComAddInProxy::onStartupComplete() {
  CustomArray custom;
  addIn_->OnStartupComplete(custom.get());
}

void ComAddInProxy::onBeginShutdown() {
  CustomArray custom;
  addIn_->OnBeginShutdown(custom.get());
}

void ComAddInProxy::onTerminate() {
  // The host's last reference: the add-in's own Terminate runs inside this release.
  addIn_.reset();
  addInInst_.reset();
  const long held = servedStats().liveObjects;
  if (held != 0 && anomaly_) {
    anomaly_(progId_ + u": " + text::toText(held) +
             u" of Outlook's objects are still referenced after the add-in's release");
  }
}

}  // namespace korvanel::win::served
