// Reference counting and QueryInterface for a hand-written COM object implementing the
// interfaces Is... A live object keeps its DLL loaded (see module.h).
#pragma once

#include <unknwn.h>

#include <atomic>
#include <utility>

#include "win/com/com_ptr.h"
#include "win/com/module.h"

namespace korvanel::win {

template <class... Is>
class ComObject : public Is... {
 public:
  ComObject() { addModuleReference(); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;
  virtual ~ComObject() { releaseModuleReference(); }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = findInterface(iid);
    if (*out == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG n = --references_;
    if (n == 0) delete this;
    return n;
  }

 protected:
  // This object's pointer for iid (IUnknown included), or null when it lacks the interface.
  virtual void* findInterface(REFIID iid) = 0;

 private:
  std::atomic<ULONG> references_{1};
};

// A new object, owned by the returned pointer (throws std::bad_alloc like new).
template <class T, class I = T, class... Args>
ComPtr<I> makeComObject(Args&&... args) {
  return ComPtr<I>::attach(new T(std::forward<Args>(args)...));
}

}  // namespace korvanel::win
