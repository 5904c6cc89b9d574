#include "win/com/dispatch_object.h"

#include "win/com/module.h"

namespace korvanel::win {

ComPtr<ITypeInfo> embeddedTypeInfo(REFIID iid) {
  const std::wstring path = modulePath();
  if (path.empty()) return {};
  ComPtr<ITypeLib> library;
  if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put()))) return {};
  ComPtr<ITypeInfo> info;
  if (FAILED(library->GetTypeInfoOfGuid(iid, info.put()))) return {};
  return info;
}

}  // namespace korvanel::win
