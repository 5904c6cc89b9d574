// What KorvanelPage.dll keeps while Outlook has it loaded: the Windows services the pages
// use and the one PageModule that every page of this process shares, across openings of
// the Options dialog.
#pragma once

#include <memory>

#include "optionspage/page_module.h"
#include "platform/services.h"

namespace korvanel::win {

struct PageLibrary {
  platform::Services& services;
  std::shared_ptr<page::PageModule> module;
};

// Made on first use; lives until the DLL is unloaded.
PageLibrary pageLibrary();

}  // namespace korvanel::win
