#include "win/com/com_server.h"

#include "win/com/com_object.h"
#include "win/com/guard.h"

namespace korvanel::win {
namespace {

class ClassFactory final : public ComObject<IClassFactory> {
 public:
  explicit ClassFactory(const ServerClass& serverClass) : class_(serverClass) {}

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return class_.create(iid, out);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) {
      addModuleReference();
    } else {
      releaseModuleReference();
    }
    return S_OK;
  }

 protected:
  void* findInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) return static_cast<IClassFactory*>(this);
    return nullptr;
  }

 private:
  const ServerClass& class_;
};

}  // namespace

HRESULT getClassObject(const ServerDescription& server, REFCLSID clsid, REFIID iid,
                       void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  return guard([&] {
    for (const ServerClass& c : server.classes) {
      if (*c.clsid != clsid) continue;
      ComPtr<IClassFactory> factory = makeComObject<ClassFactory, IClassFactory>(c);
      return factory->QueryInterface(iid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
  });
}

HRESULT canUnloadNow() { return moduleCanUnload() ? S_OK : S_FALSE; }

}  // namespace korvanel::win
