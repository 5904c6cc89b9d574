// KorvanelPage: the page of Outlook's Options dialog where the user keeps the identity list,
// the reply-to address format and (Outlook 2003) the monitored folders. A headless model:
// the controls with their state (layout()) and every handler; Outlook, the add-in and the
// user are reached only through the platform interfaces. Outlook creates one page each time
// the dialog shows its tab; what outlives a page is in the shared PageModule.
//
// Every public member is an entry point (Outlook's calls, the user's clicks through a
// renderer) and lets no exception escape.
#pragma once

#include <memory>
#include <optional>

#include "optionspage/identity_validation.h"
#include "optionspage/page_layout.h"
#include "optionspage/page_module.h"
#include "platform/addin_host.h"
#include "platform/services.h"

namespace korvanel::page {

// The application title of the page's message boxes and input box.
inline constexpr char16_t kAppTitle[] = u"Korvanel";
// The running add-in, as Outlook's COMAddIns lists it.
inline constexpr char16_t kAddInProgId[] = u"Korvanel.Connect";

class KorvanelPage final : public platform::PropertyPage {
 public:
  KorvanelPage(platform::Services& services, std::shared_ptr<PageModule> module);
  ~KorvanelPage() override;
  KorvanelPage(const KorvanelPage&) = delete;
  KorvanelPage& operator=(const KorvanelPage&) = delete;

  // ---- Outlook's PropertyPage.
  void initProperties(const platform::PropertyPageSitePtr& site) override;
  void apply() override;
  bool dirty() override;
  void getPageInfo(Text& helpFile, long& helpContext) override;
  void onTerminate() override;

  // ---- The control's public interface.
  Text Caption() const;
  void AddOrEdit(const Text& def, const Text& mode);
  short ValidateInput(std::optional<Text>& s);
  bool ValidateSMTPEmail(Text& sEmail);
  bool ValidateDN(const Text& sDN);
  void ResetButtons();
  void ListHScroll1();
  void ListHScroll4();
  bool IsProperFolder(const platform::FolderPtr& oFld1);
  // Walks folder up the tree: afterwards it no longer holds the folder it was given.
  Text GetFolderPath(platform::FolderPtr& folder);

  // ---- Events.
  void cmdAdd_Click();
  void cmdChange_Click();
  void cmdRemove_Click();
  void cmdRemoveAll_Click();
  void cmdMoveUp_Click();
  void cmdMoveDown_Click();
  void cmdAddFolder_Click();
  void cmdDeleteFolder_Click();
  void cmdDeleteAllFolders_Click();
  void cmdSharedMailboxes_Click();
  void cmdPopulate_Click();
  void cmdRefresh_Click();
  void Option1_Click(int index);
  void List1_Click();
  void List4_Click();
  void Label1_Click();

  // ---- The user's actions as a renderer reports them: the selection or option changes,
  // then its Click event runs.
  void clickList1(long row);
  void clickList4(long row);
  void clickOption1(int index);

  // ---- State.
  const PageLayout& layout() const { return layout_; }
  PageLayout& layout() { return layout_; }
  bool isDirty() const { return dirty_; }
  bool isLoading() const { return loading_; }
  int mousePointer() const { return mousePointer_; }
  // The font the page measures list rows in (ListHScroll1, ListHScroll4).
  const platform::FontSpec& font() const { return font_; }
  const PageModule& module() const { return *module_; }

 private:
  void UserControl_InitProperties(const platform::PropertyPageSitePtr& site);
  void PropertyPage_Apply();
  void UserControl_Terminate();
  void MarkDirty();

  void loadIdentities();
  void loadMonitoredFolders();
  // The id the next identity account gets; 0 when none can be given.
  std::uint32_t nextAccountId();
  // Row j of the identity list written as account n: an address or a mailbox identity,
  // nothing for a row of neither form, or failed (then no part of the account is left).
  enum class RowWrite { kDropped, kSmtp, kMailbox, kFailed };
  RowWrite writeIdentityRow(long j, std::uint32_t n);
  void addIdentityRow(const Text& row);
  void swapIdentityRows(long from, long to);
  void listHScroll(ListBox& list);
  bool ask(TextView question);
  void notify(TextView message);
  // The add-in's published object; nullptr when it is not reachable.
  platform::DispatchPtr addInObject();

  platform::Services& services_;
  std::shared_ptr<PageModule> module_;
  PageLayout layout_;
  platform::PropertyPageSitePtr site_;
  platform::ApplicationPtr application_;
  platform::NameSpacePtr namespace_;
  platform::FontSpec font_{u"MS Sans Serif", false, 8.0};
  bool dirty_ = false;
  bool loading_ = false;
  bool terminated_ = false;
  int mousePointer_ = kPointerDefault;
};

}  // namespace korvanel::page
