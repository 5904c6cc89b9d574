// Shows the Options page in its dialog for someone to look at, with a few identities and one
// long enough to need the list's horizontal scroll bar:
//   page_preview.exe VERSION READY_FILE DONE_FILE
// VERSION is 11 (Outlook 2003) or 12 (Outlook 2007). Once the dialog is on screen, its
// rectangle on the screen ("WIDTHxHEIGHT+LEFT+TOP") is written to READY_FILE; the dialog
// stays until DONE_FILE exists (or a minute has passed). Exit status 1 when the page could
// not be shown.
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "win/system/advapi_registry.h"
#include "win/tests/options_dialog_host.h"
#include "win/tests/page_outlook.h"

using namespace korvanel::win;
using namespace korvanel::win::testing;

namespace {

bool fileExists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

int preview(int version, const wchar_t* readyFile, const wchar_t* doneFile) {
  AdvapiRegistry registry;
  const bool seeded = seedPageProfile(
      registry, {u"SMTP:pat@contoso.com", u"smtp:sales@contoso.com", u"smtp:support@contoso.com"},
      {{u"Sales", u"sales@contoso.com"},
       {u"Support", u"support@contoso.com"},
       {u"Help Desk", u"/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk", true},
       {u"Customer Care and Warranty Claims",
        u"customer.care.and.warranty.claims@service.subsidiary.contoso.com"}});
  if (!seeded) return 1;
  int status = 1;
  {
    FakeOutlook outlook(version);
    OptionsDialogHost host(ComPtr<IDispatch>(outlook.application.get()));
    if (host.open(u"Korvanel.KorvanelPage", u"Options")) {
      host.pumpMessages();
      RECT r;
      GetWindowRect(host.dialog(), &r);
      if (FILE* ready = _wfopen(readyFile, L"w")) {
        std::fprintf(ready, "%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
        std::fclose(ready);
        status = 0;
      }
      for (int waited = 0; waited < 60000 && !fileExists(doneFile); waited += 50) {
        host.pumpMessages();
        Sleep(50);
      }
      host.close();
    }
  }
  removePageProfile(registry);
  return status;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fputs("usage: page_preview VERSION READY_FILE DONE_FILE\n", stderr);
    return 2;
  }
  if (FAILED(CoInitialize(nullptr))) return 1;
  const int status = preview(std::wcstol(argv[1], nullptr, 10), argv[2], argv[3]);
  CoUninitialize();
  return status;
}
