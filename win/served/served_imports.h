// The Windows calls of the real DLLs that reach past COM, served by the simulated machine:
// each DLL is loaded from where its class is registered, held while the machine is served,
// and its imports of these calls are pointed at the served side.
//  - CreateProcessW: the program start (Outlook's restart) is the simulated shell's, which
//    records it and starts the simulated Outlook once the running one has ended;
//  - SendInput: the keys are typed for real, then taken from the thread's input at once and
//    given to Outlook's window, so they are recorded as the product types them (the
//    simulated Outlook routes them to its focused window, its dialog or the open box, as
//    in-process);
//  - GetEnvironmentVariableW, FindFirstFileW, FindNextFileW, FindClose and DeleteFileW: the
//    simulated machine's environment and files (Outlook's profile files in AppData).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "sim/machine.h"

namespace korvanel::win::served {

// The file of the in-process server registered for the class of this ProgID, as COM finds
// it; empty when the ProgID or its class is not registered.
std::wstring registeredDll(platform::TextView progId);

// Empty when the DLL registered for progId loads into this process; otherwise one sentence
// that says why not and that dllFile (its file name) is to be registered with regsvr32.
std::string whyNotLoadable(platform::TextView progId, std::string_view dllFile);

class ServedImports {
 public:
  // outlookWindow receives the typed keys.
  ServedImports(sim::Machine& machine, HWND outlookWindow);
  ~ServedImports();
  ServedImports(const ServedImports&) = delete;
  ServedImports& operator=(const ServedImports&) = delete;

  // Loads the DLL of the class of this ProgID as COM would and points its imports at the
  // served side; false when it cannot be loaded or imports none of them.
  bool serveDll(platform::TextView progId);

 private:
  static BOOL WINAPI createProcess(LPCWSTR application, LPWSTR commandLine,
                                   LPSECURITY_ATTRIBUTES processAttributes,
                                   LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles,
                                   DWORD flags, LPVOID environment, LPCWSTR directory,
                                   LPSTARTUPINFOW startup, LPPROCESS_INFORMATION process);
  static UINT WINAPI sendInput(UINT count, LPINPUT inputs, int size);
  static DWORD WINAPI environmentVariable(LPCWSTR name, LPWSTR buffer, DWORD size);
  static HANDLE WINAPI findFirstFile(LPCWSTR pattern, LPWIN32_FIND_DATAW found);
  static BOOL WINAPI findNextFile(HANDLE find, LPWIN32_FIND_DATAW found);
  static BOOL WINAPI findClose(HANDLE find);
  static BOOL WINAPI deleteFile(LPCWSTR path);

  sim::Machine& machine_;
  HWND outlookWindow_;
  std::vector<HMODULE> held_;
};

}  // namespace korvanel::win::served
