#include "win/com/module.h"

#include <atomic>

namespace korvanel::win {
namespace {

HINSTANCE gModule = nullptr;
std::atomic<long> gReferences{0};

}  // namespace

void setModuleHandle(HINSTANCE module) { gModule = module; }

HINSTANCE moduleHandle() { return gModule; }

std::wstring modulePath() {
  // Paths may be longer than MAX_PATH; grow until GetModuleFileNameW no longer truncates.
  std::wstring path(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 8; ++attempt) {
    const DWORD n = GetModuleFileNameW(gModule, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
  return {};
}

void addModuleReference() { ++gReferences; }

void releaseModuleReference() { --gReferences; }

bool moduleCanUnload() { return gReferences.load() == 0; }

}  // namespace korvanel::win
