// Identities from the directory's addresses, the re-read of the directory, the reply-format
// options, and the horizontal extent of the two visible lists.
#include "optionspage/entry_guard.h"
#include "optionspage/korvanel_page.h"
#include "optionspage/page_messages.h"

namespace korvanel::page {

void KorvanelPage::cmdPopulate_Click() {
  guarded([&] {
    PageModule& m = *module_;
    bool added = false;
    int n = 0;
    if (!m.sPN.empty() && !m.sUN.empty()) {
      // The profile's current addresses, not those of the load.
      m.accounts.LoadProfileSmtpAddresses(m.sPN);
      const std::vector<Text> proxies = m.accounts.ProxyAddresses();
      for (const Text& p : proxies) {
        // Only the primary address carries the upper-case prefix.
        if (TextView(p).starts_with(u"SMTP:") || text::trim(p).empty()) continue;
        ++n;
        const Text address = text::trim(TextView(p).substr(std::min<std::size_t>(5, p.size())));
        if (address.empty()) continue;
        const Text row = m.sUN + u" <" + address + u">";
        if (hasControlCharacter(row) || layout_.List1.hasTextNoCase(row)) continue;
        addIdentityRow(row);
        MarkDirty();
        ListHScroll1();
        added = true;
      }
      if (!added && n == 0) {
        notify(Text(kNoSmtpAddressesNotice) + m.accounts.ExchangePrimarySmtp() + u"\r" +
               kNoSmtpAddressesNoticeEnd);
      }
    } else {
      notify(m.sPN.empty() ? kNothingSavedNotice : kNoUserNameNotice);
    }
    ResetButtons();
  });
}

void KorvanelPage::cmdRefresh_Click() {
  guarded([&] {
    PageModule& m = *module_;
    // Without the add-in nothing would start Outlook again: the button then clears nothing
    // and quits nothing, and says so.
    if (m.sPN.empty()) {
      notify(kNothingSavedNotice);
      return;
    }
    if (!ask(kRefreshQuestion)) return;
    layout_.List1.Clear();
    layout_.List2.Clear();
    layout_.List3.Clear();
    ListHScroll1();
    ResetButtons();
    m.RestartRequested = true;
    m.ReReadRequested = true;
    MarkDirty();
    // Apply removes every identity account and closes the dialog without asking.
    PropertyPage_Apply();
  });
}

void KorvanelPage::ListHScroll1() {
  guarded([&] { listHScroll(layout_.List1); });
}

void KorvanelPage::ListHScroll4() {
  guarded([&] { listHScroll(layout_.List4); });
}

void KorvanelPage::listHScroll(ListBox& list) {
  // The page measures in the list's font, as the list draws its rows.
  font_.name = list.control.font.name;
  font_.bold = list.control.font.bold;
  font_.size = list.control.font.size;
  const long scrollBar = services_.shell.getSystemMetrics(platform::kSmCxVScroll);
  long widest = 0;
  platform::TextRect r;
  for (const ListRow& row : list.rows()) {
    services_.shell.drawText(font_, row.text, -1, &r, platform::kDtCalcRect);
    if (r.right + scrollBar >= widest) widest = r.right + scrollBar;
  }
  services_.shell.sendMessage(list.hWnd, platform::kLbSetHorizontalExtent,
                              static_cast<std::uintptr_t>(widest), 0);
  list.horizontalExtent = widest;
}

}  // namespace korvanel::page
