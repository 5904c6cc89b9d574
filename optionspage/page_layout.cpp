#include "optionspage/page_layout.h"

namespace korvanel::page {
namespace {

Control make(TextView name, ControlKind kind, TextView container, Position position,
             TextView caption = {}) {
  Control c;
  c.name = Text(name);
  c.kind = kind;
  c.container = Text(container);
  c.position = position;
  c.caption = Text(caption);
  return c;
}

Control button(TextView name, TextView container, Position position, TextView caption,
               bool enabled = true) {
  Control c = make(name, ControlKind::kCommandButton, container, position, caption);
  c.enabled = enabled;
  return c;
}

ListBox list(TextView name, TextView container, Position position, bool visible = true) {
  Control c = make(name, ControlKind::kListBox, container, position);
  c.visible = visible;
  return ListBox(std::move(c));
}

Text example(TextView before, TextView after) {
  return Text(before) + kOptionExampleAddress + Text(after);
}

}  // namespace

PageLayout::PageLayout() {
  using K = ControlKind;
  Frame3 = make(u"Frame3", K::kFrame, u"", {120, 0, 5535, 2430}, u"Identities");
  lblDefAddress = make(u"lblDefAddress", K::kLabel, u"Frame3", {120, 260, 4095, 300});
  List1 = list(u"List1", u"Frame3", {120, 525, 4095, 1815});
  List2 = list(u"List2", u"Frame3", {3360, 120, 615, 255}, false);
  List3 = list(u"List3", u"Frame3", {4080, 120, 615, 255}, false);
  List5 = list(u"List5", u"Frame3", {4800, 120, 495, 255}, false);
  cmdChange = button(u"cmdChange", u"Frame3", {4320, 380, 1100, 300}, u"Change", false);
  cmdAdd = button(u"cmdAdd", u"Frame3", {4320, 710, 1100, 300}, u"Add");
  cmdRemove = button(u"cmdRemove", u"Frame3", {4320, 1040, 1100, 300}, u"Remove", false);
  cmdRemoveAll = button(u"cmdRemoveAll", u"Frame3", {4320, 1370, 1100, 300}, u"Remove All", false);
  cmdMoveUp = button(u"cmdMoveUp", u"Frame3", {4320, 1700, 1100, 300}, u"Move Up", false);
  cmdMoveDown = button(u"cmdMoveDown", u"Frame3", {4320, 2030, 1100, 330}, u"Move Down", false);

  Frame1 =
      make(u"Frame1", K::kFrame, u"", {120, 2440, 2655, 615}, u"After changing the user's data");
  cmdRefresh = button(u"cmdRefresh", u"Frame1", {120, 240, 2415, 300}, u"Re-read Active Directory");
  Frm1 = make(u"Frm1", K::kFrame, u"", {2880, 2440, 2775, 615}, u" Populate Identities list with");
  cmdPopulate = button(u"cmdPopulate", u"Frm1", {120, 240, 1200, 300}, u"AD Addresses");
  cmdPopulate.toolTip =
      u"Populate the Identities list with SMTP e-mail addresses assigned to the current user "
      u"in Active Directory";
  cmdSharedMailboxes =
      button(u"cmdSharedMailboxes", u"Frm1", {1560, 240, 1100, 300}, u"Shared Mbx");
  cmdSharedMailboxes.toolTip =
      u"Populate the Identities list with addresses of the shared mailboxes";

  Frame4 = make(u"Frame4", K::kFrame, u"", {120, 3050, 5535, 595}, u"Reply-To address format");
  Option1[0] =
      make(u"Option1(0)", K::kOptionButton, u"Frame4", {120, 230, 1335, 300}, example(u"<", u">"));
  Option1[1] = make(u"Option1(1)", K::kOptionButton, u"Frame4", {1800, 230, 1605, 300},
                    example(u"[smtp:", u"]"));
  Option1[2] = make(u"Option1(2)", K::kOptionButton, u"Frame4", {3720, 230, 1785, 300},
                    example(u"[smtp:<", u">]"));
  Option1[2].value = true;

  Frame2 = make(u"Frame2", K::kFrame, u"", {120, 3650, 5535, 1355},
                u"Handle ingoing messages delivered to the following folders: ");
  // The folder list lies on the page over the frame, not inside it.
  List4 = list(u"List4", u"", {240, 3840, 4095, 1035});
  cmdAddFolder = button(u"cmdAddFolder", u"Frame2", {4320, 240, 1100, 300}, u"Add");
  cmdDeleteFolder = button(u"cmdDeleteFolder", u"Frame2", {4320, 600, 1100, 300}, u"Remove");
  cmdDeleteAllFolders =
      button(u"cmdDeleteAllFolders", u"Frame2", {4320, 960, 1100, 300}, u"Remove All");

  Label4[0] = make(u"Label4(0)", K::kLabel, u"", {120, 5040, 2175, 255});
  Label4[2] = make(u"Label4(2)", K::kLabel, u"", {2520, 5040, 1440, 255}, kMakerNotice);
  Label1 = make(u"Label1", K::kLabel, u"", {4200, 5040, 1470, 255}, kMakerWebCaption);
  Label1.foreColor = 0x00C00000;
  Label1.font = platform::FontSpec{u"Arial", true, 7.5};
  Label1.underline = true;
  Label1.handCursor = true;
}

std::vector<const Control*> PageLayout::controls() const {
  return {&Frame3,
          &lblDefAddress,
          &List1.control,
          &List2.control,
          &List3.control,
          &List5.control,
          &cmdChange,
          &cmdAdd,
          &cmdRemove,
          &cmdRemoveAll,
          &cmdMoveUp,
          &cmdMoveDown,
          &Frame1,
          &cmdRefresh,
          &Frm1,
          &cmdPopulate,
          &cmdSharedMailboxes,
          &Frame4,
          &Option1[0],
          &Option1[1],
          &Option1[2],
          &Frame2,
          &List4.control,
          &cmdAddFolder,
          &cmdDeleteFolder,
          &cmdDeleteAllFolders,
          &Label4.at(0),
          &Label4.at(2),
          &Label1};
}

const Control* PageLayout::find(TextView name) const {
  for (const Control* c : controls()) {
    if (c->name == name) return c;
  }
  return nullptr;
}

Control* PageLayout::find(TextView name) {
  return const_cast<Control*>(static_cast<const PageLayout*>(this)->find(name));
}

ListBox* PageLayout::findList(TextView name) {
  for (ListBox* l : {&List1, &List2, &List3, &List4, &List5}) {
    if (l->control.name == name) return l;
  }
  return nullptr;
}

}  // namespace korvanel::page
