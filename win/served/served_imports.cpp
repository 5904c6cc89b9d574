#include "win/served/served_imports.h"

#include <objbase.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/shell.h"
#include "win/com/wide.h"

namespace korvanel::win::served {

using platform::Text;

namespace {

ServedImports* current = nullptr;  // the one of the thread

// Points every import of function from dll in module at replacement.
bool patchImport(HMODULE module, const char* dll, const char* function, const void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return false;
  bool patched = false;
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       d->Name != 0; ++d) {
    if (_stricmp(reinterpret_cast<const char*>(base + d->Name), dll) != 0) continue;
    if (d->OriginalFirstThunk == 0) continue;  // no names left to find it by
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
      DWORD protection = 0;
      if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                          &protection)) {
        return false;
      }
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
      patched = true;
    }
  }
  return patched;
}

// A listing of the simulated files in progress, behind the handle FindFirstFileW gives.
struct FileListing {
  std::vector<Text> names;
  std::size_t next = 0;
};

// The next name of the listing into found; false when there is none.
bool nextFile(FileListing& listing, LPWIN32_FIND_DATAW found) {
  if (listing.next >= listing.names.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return false;
  }
  *found = {};
  found->dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
  const std::wstring name = toWide(listing.names[listing.next++]);
  name.copy(found->cFileName, MAX_PATH - 1);
  return true;
}

}  // namespace

ServedImports::ServedImports(sim::Machine& machine, HWND outlookWindow)
    : machine_(machine), outlookWindow_(outlookWindow) {
  current = this;
}

ServedImports::~ServedImports() {
  for (HMODULE module : held_) FreeLibrary(module);
  current = nullptr;
}

std::wstring registeredDll(platform::TextView progId) {
  CLSID clsid = {};
  if (FAILED(CLSIDFromProgID(toWide(progId).c_str(), &clsid))) return {};
  wchar_t guid[40] = {};
  StringFromGUID2(clsid, guid, 40);
  const std::wstring key = L"CLSID\\" + std::wstring(guid) + L"\\InprocServer32";
  wchar_t path[MAX_PATH] = {};
  DWORD size = sizeof path;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path, &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  return path;
}

std::string whyNotLoadable(platform::TextView progId, std::string_view dllFile) {
  const std::string name = text::toUtf8(progId);
  const std::string remedy =
      ": register " + std::string(dllFile) + " with regsvr32 in this Wine prefix";
  const std::wstring path = registeredDll(progId);
  if (path.empty()) return name + " is not registered" + remedy;
  HMODULE module = LoadLibraryW(path.c_str());
  if (module == nullptr) {
    return name + " is registered as " + text::toUtf8(fromWide(path.c_str())) +
           ", which cannot be loaded" + remedy;
  }
  FreeLibrary(module);
  return {};
}

bool ServedImports::serveDll(platform::TextView progId) {
  const std::wstring path = registeredDll(progId);
  if (path.empty()) return false;
  HMODULE module = LoadLibraryW(path.c_str());
  if (module == nullptr) return false;
  held_.push_back(module);
  const bool process = patchImport(module, "KERNEL32.dll", "CreateProcessW",
                                   reinterpret_cast<const void*>(&createProcess));
  const bool input =
      patchImport(module, "USER32.dll", "SendInput", reinterpret_cast<const void*>(&sendInput));
  const std::pair<const char*, const void*> files[] = {
      {"GetEnvironmentVariableW", reinterpret_cast<const void*>(&environmentVariable)},
      {"FindFirstFileW", reinterpret_cast<const void*>(&findFirstFile)},
      {"FindNextFileW", reinterpret_cast<const void*>(&findNextFile)},
      {"FindClose", reinterpret_cast<const void*>(&findClose)},
      {"DeleteFileW", reinterpret_cast<const void*>(&deleteFile)}};
  bool served = process || input;
  for (const auto& [function, replacement] : files) {
    served = patchImport(module, "KERNEL32.dll", function, replacement) || served;
  }
  return served;
}

BOOL WINAPI ServedImports::createProcess(LPCWSTR application, LPWSTR commandLine,
                                         LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD,
                                         LPVOID, LPCWSTR, LPSTARTUPINFOW startup,
                                         LPPROCESS_INFORMATION process) {
  if (current == nullptr || process == nullptr) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  const wchar_t* line = commandLine != nullptr ? commandLine : application;
  const int style = startup != nullptr && (startup->dwFlags & STARTF_USESHOWWINDOW) != 0 &&
                            startup->wShowWindow == SW_HIDE
                        ? platform::kWindowHide
                        : platform::kWindowNormalFocus;
  if (line == nullptr || !current->machine_.shell().startProcess(fromWide(line), style)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  // Handles the caller may close, as it closes a started program's.
  *process = {};
  const HANDLE self = GetCurrentProcess();
  DuplicateHandle(self, self, self, &process->hProcess, 0, FALSE, DUPLICATE_SAME_ACCESS);
  DuplicateHandle(self, GetCurrentThread(), self, &process->hThread, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  process->dwProcessId = GetCurrentProcessId();
  process->dwThreadId = GetCurrentThreadId();
  return TRUE;
}

UINT WINAPI ServedImports::sendInput(UINT count, LPINPUT inputs, int size) {
  const UINT sent = SendInput(count, inputs, size);
  if (current == nullptr || current->outlookWindow_ == nullptr) return sent;
  // The keys are Outlook's, whichever of its windows has the focus: they go to its window
  // now, so the simulation records them as they are typed.
  MSG message;
  while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    message.hwnd = current->outlookWindow_;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return sent;
}

DWORD WINAPI ServedImports::environmentVariable(LPCWSTR name, LPWSTR buffer, DWORD size) {
  const Text value = current != nullptr && name != nullptr
                         ? current->machine_.shell().environmentVariable(fromWide(name))
                         : Text();
  if (value.empty()) {
    SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
  }
  const std::wstring wide = toWide(value);
  // Too small a buffer gets nothing and is told the size needed, its NUL included.
  if (buffer == nullptr || size <= wide.size()) return static_cast<DWORD>(wide.size() + 1);
  wide.copy(buffer, wide.size());
  buffer[wide.size()] = L'\0';
  return static_cast<DWORD>(wide.size());
}

HANDLE WINAPI ServedImports::findFirstFile(LPCWSTR pattern, LPWIN32_FIND_DATAW found) {
  if (current == nullptr || pattern == nullptr || found == nullptr) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  // "folder\\*": the folder's files.
  std::wstring folder(pattern);
  if (folder.size() >= 2 && folder.compare(folder.size() - 2, 2, L"\\*") == 0)
    folder.resize(folder.size() - 2);
  auto listing = std::make_unique<FileListing>();
  listing->names = current->machine_.shell().listFiles(fromWide(folder.c_str()));
  if (!nextFile(*listing, found)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  return listing.release();
}

BOOL WINAPI ServedImports::findNextFile(HANDLE find, LPWIN32_FIND_DATAW found) {
  if (find == nullptr || find == INVALID_HANDLE_VALUE || found == nullptr) return FALSE;
  return nextFile(*static_cast<FileListing*>(find), found) ? TRUE : FALSE;
}

BOOL WINAPI ServedImports::findClose(HANDLE find) {
  if (find == nullptr || find == INVALID_HANDLE_VALUE) return FALSE;
  delete static_cast<FileListing*>(find);
  return TRUE;
}

BOOL WINAPI ServedImports::deleteFile(LPCWSTR path) {
  if (current == nullptr || path == nullptr ||
      !current->machine_.shell().deleteFile(fromWide(path))) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  return TRUE;
}

}  // namespace korvanel::win::served
