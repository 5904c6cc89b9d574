// A type information that names an interface, for a ScriptedObject that describes itself as
// Outlook's objects do (GetTypeInfo(0) with the interface's name and GUID).
#pragma once

#include <oaidl.h>
#include <oleauto.h>

#include "win/com/com_ptr.h"

namespace korvanel::win::testing {

// A dispinterface type of this name and GUID, in a library made in memory; null when
// oleaut32 cannot make one.
inline ComPtr<ITypeInfo> interfaceTypeInfo(const wchar_t* name, const GUID& guid) {
  ComPtr<ICreateTypeLib2> library;
  const SYSKIND kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  if (FAILED(CreateTypeLib2(kind, L"scripted.tlb", library.put()))) return {};
  std::wstring typeName(name);
  ComPtr<ICreateTypeInfo> created;
  if (FAILED(library->CreateTypeInfo(typeName.data(), TKIND_DISPATCH, created.put())) ||
      FAILED(created->SetGuid(guid))) {
    return {};
  }
  return created.as<ITypeInfo>();
}

// {00063xxx-0000-0000-C000-000000000046}, the form of Outlook's interface identifiers.
constexpr GUID outlookGuid(unsigned long data1) {
  return {data1, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
}

}  // namespace korvanel::win::testing
