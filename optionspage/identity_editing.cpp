// Editing the identity list by hand: the input loop, the six buttons and ResetButtons.
// List2 and List3 follow every change of List1's rows, so the three stay parallel.
#include "optionspage/entry_guard.h"
#include "optionspage/korvanel_page.h"
#include "optionspage/page_messages.h"

namespace korvanel::page {
namespace {

void swapRows(ListBox& list, long a, long b) {
  const Text textA = list.List(a);
  list.setList(a, list.List(b));
  list.setList(b, textA);
}

}  // namespace

void KorvanelPage::cmdAdd_Click() {
  guarded([&] { AddOrEdit(Text(), u"Add"); });
}

void KorvanelPage::cmdChange_Click() {
  guarded([&] {
    const ListBox& list1 = layout_.List1;
    const long i = list1.ListIndex();
    if (i >= 0 && list1.Selected(i)) AddOrEdit(list1.List(i), u"Change");
  });
}

void KorvanelPage::AddOrEdit(const Text& def, const Text& mode) {
  guarded([&] {
    const bool adding = mode == u"Add";
    const Text prompt = Text(adding ? kAddPrompt : kChangePrompt) + u"\r\r  Example:\r" +
                        kExampleName + u" <" + kExampleAddress + u">";
    std::optional<Text> v = def;
    short code = kInputInvalid;
    do {
      // Reaches the input box about to open: the caret goes to the end of the offered text
      // instead of the text being selected.
      services_.shell.sendKeys(u"{Right}", false);
      v = services_.shell.inputBox(prompt, kAppTitle, v.value_or(Text()));
      code = page::ValidateInput(v);
    } while (code < 0);

    if (code == kInputValid) {
      const Text row = text::trim(*v);
      // A duplicate (the row being changed included) changes nothing, without a word.
      if (!row.empty() && !layout_.List1.hasTextNoCase(row)) {
        if (adding) {
          addIdentityRow(row);
          MarkDirty();
        } else if (layout_.List1.ListIndex() >= 0) {
          // The row keeps its account number and its signatures.
          layout_.List1.setList(layout_.List1.ListIndex(), row);
          MarkDirty();
        }
        ListHScroll1();
      }
    }
    ResetButtons();
  });
}

void KorvanelPage::cmdRemove_Click() {
  guarded([&] {
    if (layout_.List1.SelCount() > 0 && ask(kDeleteSelectedQuestion)) {
      const long i = layout_.List1.ListIndex();
      if (i >= 0) {
        layout_.List1.RemoveItem(i);
        layout_.List2.RemoveItem(i);
        layout_.List3.RemoveItem(i);
        MarkDirty();
        ListHScroll1();
      }
    }
    ResetButtons();
  });
}

void KorvanelPage::cmdRemoveAll_Click() {
  guarded([&] {
    if (layout_.List1.ListCount() >= 1 && ask(kDeleteAllQuestion)) {
      layout_.List1.Clear();
      layout_.List2.Clear();
      layout_.List3.Clear();
      MarkDirty();
      ListHScroll1();
    }
    ResetButtons();
  });
}

void KorvanelPage::cmdMoveUp_Click() {
  guarded([&] {
    const long i = layout_.List1.ListIndex();
    if (layout_.List1.SelCount() >= 1 && i > 0) swapIdentityRows(i, i - 1);
  });
}

void KorvanelPage::cmdMoveDown_Click() {
  guarded([&] {
    const long i = layout_.List1.ListIndex();
    if (layout_.List1.SelCount() >= 1 && i >= 0 && i < layout_.List1.ListCount() - 1) {
      swapIdentityRows(i, i + 1);
    }
  });
}

void KorvanelPage::swapIdentityRows(long from, long to) {
  ListBox& list1 = layout_.List1;
  const std::int32_t dataFrom = list1.ItemData(from);
  list1.setItemData(from, list1.ItemData(to));
  list1.setItemData(to, dataFrom);
  swapRows(list1, from, to);
  // The moved row stays selected. It is chosen by its position: a text lookup would pick
  // the first of two rows that read alike.
  list1.setListIndex(to);
  List1_Click();
  for (ListBox* list : {&layout_.List2, &layout_.List3}) {
    swapRows(*list, from, to);
    list->setListIndex(to);
  }
  MarkDirty();
}

void KorvanelPage::addIdentityRow(const Text& row) {
  layout_.List1.AddItem(row);
  layout_.List2.AddItem(u"");
  layout_.List3.AddItem(u"");
}

void KorvanelPage::ResetButtons() {
  guarded([&] {
    PageLayout& l = layout_;
    const ListBox& list1 = l.List1;
    l.cmdRemoveAll.enabled = list1.ListCount() >= 1;
    l.cmdPopulate.enabled = true;
    if (list1.SelCount() < 1) {
      l.cmdChange.enabled = false;
      l.cmdRemove.enabled = false;
      l.cmdMoveUp.enabled = false;
      l.cmdMoveDown.enabled = false;
    } else {
      l.cmdChange.enabled = true;
      l.cmdRemove.enabled = true;
      if (list1.ListCount() < 2) {
        l.cmdMoveUp.enabled = false;
        l.cmdMoveDown.enabled = false;
      } else {
        l.cmdMoveUp.enabled = !list1.Selected(0);
        l.cmdMoveDown.enabled = !list1.Selected(list1.ListCount() - 1);
        // A shared mailbox row is not edited by hand.
        l.cmdChange.enabled = list1.List(list1.ListIndex()).find(u" /") == Text::npos;
      }
    }
    l.cmdDeleteAllFolders.enabled = l.List4.ListCount() >= 1;
    l.cmdDeleteFolder.enabled = l.List4.SelCount() >= 1;
  });
}

void KorvanelPage::List1_Click() { ResetButtons(); }

void KorvanelPage::List4_Click() { ResetButtons(); }

void KorvanelPage::clickList1(long row) {
  guarded([&] {
    if (layout_.List1.setListIndex(row)) List1_Click();
  });
}

void KorvanelPage::clickList4(long row) {
  guarded([&] {
    if (layout_.List4.setListIndex(row)) List4_Click();
  });
}

void KorvanelPage::clickOption1(int index) {
  guarded([&] {
    if (index < 0 || index >= static_cast<int>(layout_.Option1.size())) return;
    for (std::size_t k = 0; k < layout_.Option1.size(); ++k) {
      layout_.Option1[k].value = static_cast<int>(k) == index;
    }
    Option1_Click(index);
  });
}

void KorvanelPage::Option1_Click(int /*index*/) {
  guarded([&] { MarkDirty(); });
}

}  // namespace korvanel::page
