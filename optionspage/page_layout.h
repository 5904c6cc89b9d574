// Every control of the Options page, as it stands at design time: the identity group, the
// two button groups, the reply-format options, the monitored-folder group and the footer.
// The page's handlers change this state; a renderer draws it.
#pragma once

#include <array>
#include <map>
#include <vector>

#include "optionspage/control.h"
#include "optionspage/list_box.h"

namespace korvanel::page {

// The identity the input box's example shows.
inline constexpr char16_t kExampleName[] = u"John Doe";
inline constexpr char16_t kExampleAddress[] = u"john.doe@example.com";
// The address the reply-format options show: short enough for the widest form to fit its
// option's width in the dialog font.
inline constexpr char16_t kOptionExampleAddress[] = u"a@b.com";
// The maker's web page, opened by the link label, and the label's text, which fits its width.
inline constexpr char16_t kMakerWebAddress[] = u"http://www.korvanel.example/";
inline constexpr char16_t kMakerWebCaption[] = u"korvanel.example";
inline constexpr char16_t kMakerNotice[] = u"\u00A9 Korvanel";

// Windows mouse pointers the page shows (vbDefault, vbHourglass).
inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerHourglass = 11;

struct PageLayout {
  PageLayout();

  long width = 6120;  // twips
  long height = 5625;

  Control Frame3;
  Control lblDefAddress;
  ListBox List1;  // the identities
  ListBox List2;  // hidden: each identity's "New Signature"
  ListBox List3;  // hidden: each identity's "Reply-Forward Signature"
  ListBox List5;  // hidden: each monitored folder's EntryID
  Control cmdChange;
  Control cmdAdd;
  Control cmdRemove;
  Control cmdRemoveAll;
  Control cmdMoveUp;
  Control cmdMoveDown;
  Control Frame1;
  Control cmdRefresh;
  Control Frm1;
  Control cmdPopulate;
  Control cmdSharedMailboxes;
  Control Frame4;
  std::array<Control, 3> Option1;
  Control Frame2;
  ListBox List4;  // the monitored folders' display paths
  Control cmdAddFolder;
  Control cmdDeleteFolder;
  Control cmdDeleteAllFolders;
  std::map<int, Control> Label4;  // indices 0 and 2
  Control Label1;                 // the link to the maker's web page

  // Every control in layout order (the list boxes' own controls included).
  std::vector<const Control*> controls() const;
  // By name ("cmdAdd", "Option1(1)", "Label4(2)"); nullptr when there is none.
  const Control* find(TextView name) const;
  Control* find(TextView name);
  // The list box of this name; nullptr when there is none.
  ListBox* findList(TextView name);
};

}  // namespace korvanel::page
