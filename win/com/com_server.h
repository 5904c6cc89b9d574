// What an in-process COM server DLL serves: its type library and its creatable classes,
// and the DllGetClassObject / DllCanUnloadNow behaviour shared by both DLLs.
#pragma once

#include <windows.h>

#include <span>

namespace korvanel::win {

struct ServerClass {
  const CLSID* clsid;
  const wchar_t* progId;          // "Korvanel.Connect"; the class key's default value too
  bool control;                   // registered as an ActiveX control
  // Makes a new instance and returns its interface iid; never throws.
  HRESULT (*create)(REFIID iid, void** out);
  // A control's OLEMISC_* flags, registered as its MiscStatus.
  unsigned long miscStatus = 0;
};

struct ServerDescription {
  const GUID* libraryId;
  unsigned short majorVersion;
  unsigned short minorVersion;
  std::span<const ServerClass> classes;
};

// DllGetClassObject: a class factory for one of the server's classes.
HRESULT getClassObject(const ServerDescription& server, REFCLSID clsid, REFIID iid, void** out);
// DllCanUnloadNow.
HRESULT canUnloadNow();

// Creates a T (a ComObject) and returns its interface iid; never throws.
template <class T>
HRESULT createInstance(REFIID iid, void** out) noexcept {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  try {
    T* object = new T();
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace korvanel::win
