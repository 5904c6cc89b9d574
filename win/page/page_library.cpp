#include "win/page/page_library.h"

#include "win/messaging/win_mapi.h"
#include "win/system/advapi_registry.h"
#include "win/system/win_object_factory.h"
#include "win/system/win_shell.h"

namespace korvanel::win {
namespace {

struct LoadedLibrary {
  AdvapiRegistry registry;
  WinShell shell;
  WinObjectFactory objects;
  WinMapi mapi;
  platform::Services services{registry, shell, objects, mapi};
  std::shared_ptr<page::PageModule> module = std::make_shared<page::PageModule>(registry);
};

}  // namespace

PageLibrary pageLibrary() {
  // Outlook calls the page on its user-interface thread only.
  static LoadedLibrary loaded;
  return PageLibrary{loaded.services, loaded.module};
}

}  // namespace korvanel::win
