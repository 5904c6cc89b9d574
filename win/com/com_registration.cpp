#include "win/com/com_registration.h"

#include <olectl.h>

#include "win/com/com_ptr.h"
#include "win/com/wide.h"

namespace korvanel::win {

using platform::RegHandle;
using platform::RegKey;
using platform::RegStatus;
using platform::Registry;
using platform::Text;
using platform::TextView;
using text::u16;

namespace {

constexpr RegHandle kRoot = platform::kHkeyClassesRoot;

Text classKey(const ServerClass& c) { return u16("CLSID\\") + guidText(*c.clsid); }

// The default value of root\path as text, cut at its NUL; empty when absent.
Text readDefault(Registry& registry, TextView path) {
  RegKey key = RegKey::open(registry, kRoot, path, platform::kKeyQueryValue);
  platform::RegValue value;
  if (!key || registry.queryValue(key.get(), u"", &value) != platform::kRegSuccess ||
      value.type != platform::kRegSz) {
    return {};
  }
  return Text(text::trimNull(text::fromUtf16leBytes(value.data)));
}

RegStatus registerClass(Registry& registry, const ServerDescription& server,
                        const ServerClass& c, TextView dllPath) {
  const Text key = classKey(c);
  const Text progId = fromWide(c.progId);
  const Text version = text::toText(server.majorVersion) + u"." + text::toText(server.minorVersion);
  const struct {
    Text path;
    TextView name;
    Text value;
  } values[] = {
      {key, u"", progId},
      {key + u"\\InprocServer32", u"", Text(dllPath)},
      {key + u"\\InprocServer32", u"ThreadingModel", u"Apartment"},
      {key + u"\\ProgID", u"", progId},
      {key + u"\\TypeLib", u"", guidText(*server.libraryId)},
      {key + u"\\VERSION", u"", version},
      {progId, u"", progId},
      {progId + u"\\CLSID", u"", guidText(*c.clsid)},
  };
  for (const auto& v : values) {
    const RegStatus status = setStringValue(registry, kRoot, v.path, v.name, v.value);
    if (status != platform::kRegSuccess) return status;
  }
  if (c.control) {
    RegKey control =
        RegKey::create(registry, kRoot, key + u"\\Control", platform::kKeyAllAccess);
    if (!control) return platform::kRegAccessDenied;
    // Containers read the flags for the content aspect (1) before they create the control.
    const Text misc = text::toText(static_cast<long long>(c.miscStatus));
    for (const auto& [path, value] : {std::pair<Text, Text>{key + u"\\MiscStatus", u"0"},
                                      std::pair<Text, Text>{key + u"\\MiscStatus\\1", misc}}) {
      const RegStatus status = setStringValue(registry, kRoot, path, u"", value);
      if (status != platform::kRegSuccess) return status;
    }
  }
  return platform::kRegSuccess;
}

ComPtr<ITypeLib> loadLibrary(TextView dllPath) {
  ComPtr<ITypeLib> library;
  if (FAILED(LoadTypeLibEx(toWide(dllPath).c_str(), REGKIND_NONE, library.put()))) return {};
  return library;
}

}  // namespace

Text guidText(const GUID& guid) {
  wchar_t buffer[40] = {};
  const int n = StringFromGUID2(guid, buffer, 40);
  return n > 1 ? fromWide(buffer, static_cast<std::size_t>(n - 1)) : Text();
}

RegStatus setStringValue(Registry& registry, RegHandle root, TextView path, TextView name,
                         TextView value) {
  RegKey key = RegKey::create(registry, root, path, platform::kKeyAllAccess);
  if (!key) return platform::kRegAccessDenied;
  text::Bytes data = text::toUtf16leBytes(value);
  data.push_back(0);
  data.push_back(0);
  return registry.setValue(key.get(), name, platform::kRegSz, data.data(), data.size());
}

RegStatus deleteKeyTree(Registry& registry, RegHandle root, TextView path) {
  if (path.empty()) return platform::kRegInvalidParameter;
  {
    RegKey key = RegKey::open(registry, root, path, platform::kKeyAllAccess);
    if (!key) {
      RegHandle probe = 0;
      const RegStatus status = registry.openKey(root, path, platform::kKeyQueryValue, &probe);
      registry.closeKey(probe);
      return status == platform::kRegFileNotFound ? platform::kRegSuccess : status;
    }
    // Always the first subkey: each pass deletes it, so the loop ends when none is left or
    // one cannot be deleted.
    Text child;
    while (registry.enumKey(key.get(), 0, &child) == platform::kRegSuccess) {
      const RegStatus status = deleteKeyTree(registry, key.get(), child);
      if (status != platform::kRegSuccess) return status;
    }
  }
  return registry.deleteKey(root, path);
}

HRESULT registerServer(Registry& registry, const ServerDescription& server, TextView dllPath) {
  if (dllPath.empty()) return SELFREG_E_CLASS;
  for (const ServerClass& c : server.classes) {
    if (registerClass(registry, server, c, dllPath) != platform::kRegSuccess) {
      return SELFREG_E_CLASS;
    }
  }
  ComPtr<ITypeLib> library = loadLibrary(dllPath);
  if (!library) return SELFREG_E_TYPELIB;
  std::wstring path = toWide(dllPath);
  if (FAILED(RegisterTypeLib(library.get(), path.data(), nullptr))) return SELFREG_E_TYPELIB;
  return S_OK;
}

HRESULT unregisterServer(Registry& registry, const ServerDescription& server,
                         TextView dllPath) {
  HRESULT result = S_OK;
  for (const ServerClass& c : server.classes) {
    const Text progId = fromWide(c.progId);
    if (readDefault(registry, progId + u"\\CLSID") == guidText(*c.clsid) &&
        deleteKeyTree(registry, kRoot, progId) != platform::kRegSuccess) {
      result = SELFREG_E_CLASS;
    }
    if (deleteKeyTree(registry, kRoot, classKey(c)) != platform::kRegSuccess) {
      result = SELFREG_E_CLASS;
    }
  }
  // The library's own attributes say what was registered (its locale and the system kind).
  // UnRegisterTypeLib fails for a library that is not registered, so it is asked only when
  // the version's key is there.
  const Text versionKey = u"TypeLib\\" + guidText(*server.libraryId) + u"\\" +
                          text::toText(server.majorVersion) + u"." +
                          text::toText(server.minorVersion);
  RegKey registered = RegKey::open(registry, kRoot, versionKey, platform::kKeyRead);
  if (!registered) return result;
  registered.reset();
  ComPtr<ITypeLib> library = loadLibrary(dllPath);
  TLIBATTR* attributes = nullptr;
  if (!library || FAILED(library->GetLibAttr(&attributes))) return SELFREG_E_TYPELIB;
  const HRESULT hr = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum,
                                       attributes->wMinorVerNum, attributes->lcid,
                                       attributes->syskind);
  library->ReleaseTLibAttr(attributes);
  return FAILED(hr) ? SELFREG_E_TYPELIB : result;
}

}  // namespace korvanel::win
