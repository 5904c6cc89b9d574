// The DLL this code is linked into: its handle and path, and the count of live objects and
// server locks that DllCanUnloadNow reports.
#pragma once

#include <windows.h>

#include <string>

namespace korvanel::win {

// Called from DllMain on process attach.
void setModuleHandle(HINSTANCE module);
HINSTANCE moduleHandle();
// The DLL's full path; empty when it cannot be read.
std::wstring modulePath();

// Every COM object counts itself from construction to destruction; IClassFactory::LockServer
// adds locks. The DLL can unload when both are zero.
void addModuleReference();
void releaseModuleReference();
bool moduleCanUnload();

}  // namespace korvanel::win
