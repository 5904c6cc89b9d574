// Self-registration of an in-process COM server: the class and ProgID keys under
// HKEY_CLASSES_ROOT and the embedded type library. Both DLLs register machine-wide, the way
// an administrator's regsvr32 does.
#pragma once

#include <windows.h>

#include "platform/registry.h"
#include "win/com/com_server.h"

namespace korvanel::win {

// Writes CLSID\{clsid} (default value the ProgID; InprocServer32 with dllPath and the
// apartment threading model; ProgID; TypeLib; VERSION; for a control, Control and
// MiscStatus with its flags for the content aspect) and
// <ProgID>\CLSID for every class, then registers the type library embedded in dllPath.
HRESULT registerServer(platform::Registry& registry, const ServerDescription& server,
                       platform::TextView dllPath);
// Removes what registerServer wrote. A ProgID that now names another class is left alone.
// Succeeds when nothing was registered.
HRESULT unregisterServer(platform::Registry& registry, const ServerDescription& server,
                         platform::TextView dllPath);

// Writes a REG_SZ value (with its terminating NUL) to root\path, creating the key.
platform::RegStatus setStringValue(platform::Registry& registry, platform::RegHandle root,
                                   platform::TextView path, platform::TextView name,
                                   platform::TextView value);
// Deletes root\path with everything below it; success when it does not exist.
platform::RegStatus deleteKeyTree(platform::Registry& registry, platform::RegHandle root,
                                  platform::TextView path);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
platform::Text guidText(const GUID& guid);

}  // namespace korvanel::win
