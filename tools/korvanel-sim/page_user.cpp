#include "tools/korvanel-sim/page_user.h"

#include <map>

#include "optionspage/korvanel_page.h"

namespace korvanel::tool {

namespace {

class ModelPageUser final : public PageUser {
 public:
  ModelPageUser(sim::OptionsDialog& dialog, page::KorvanelPage& page)
      : dialog_(dialog), page_(page) {}

  std::vector<Text> rows(TextView list) override { return listBox(list).texts(); }

  int chosenOption() override {
    const auto& options = page_.layout().Option1;
    for (std::size_t k = 0; k < options.size(); ++k) {
      if (options[k].value) return static_cast<int>(k);
    }
    return -1;
  }

  bool exists(TextView control) override { return page_.layout().find(control) != nullptr; }
  bool shown(TextView control) override {
    const page::Control* c = page_.layout().find(control);
    return c && c->visible;
  }
  bool enabled(TextView control) override {
    const page::Control* c = page_.layout().find(control);
    return c && c->enabled;
  }

  void click(TextView control) override {
    static const std::map<Text, void (page::KorvanelPage::*)(), std::less<>> kHandlers = {
        {u"cmdAdd", &page::KorvanelPage::cmdAdd_Click},
        {u"cmdChange", &page::KorvanelPage::cmdChange_Click},
        {u"cmdRemove", &page::KorvanelPage::cmdRemove_Click},
        {u"cmdRemoveAll", &page::KorvanelPage::cmdRemoveAll_Click},
        {u"cmdMoveUp", &page::KorvanelPage::cmdMoveUp_Click},
        {u"cmdMoveDown", &page::KorvanelPage::cmdMoveDown_Click},
        {u"cmdAddFolder", &page::KorvanelPage::cmdAddFolder_Click},
        {u"cmdDeleteFolder", &page::KorvanelPage::cmdDeleteFolder_Click},
        {u"cmdDeleteAllFolders", &page::KorvanelPage::cmdDeleteAllFolders_Click},
        {u"cmdSharedMailboxes", &page::KorvanelPage::cmdSharedMailboxes_Click},
        {u"cmdPopulate", &page::KorvanelPage::cmdPopulate_Click},
        {u"cmdRefresh", &page::KorvanelPage::cmdRefresh_Click},
        {u"Label1", &page::KorvanelPage::Label1_Click},
    };
    if (auto it = kHandlers.find(control); it != kHandlers.end()) (page_.*(it->second))();
  }

  void select(TextView list, long row) override {
    if (list == u"List4") {
      page_.clickList4(row);
    } else {
      page_.clickList1(row);
    }
  }

  void chooseOption(int index) override { page_.clickOption1(index); }

  void press(TextView button) override {
    if (button == u"OK") {
      dialog_.pressOk();
    } else if (button == u"Apply") {
      dialog_.pressApply();
    } else {
      dialog_.pressCancel();
    }
  }

 private:
  const page::ListBox& listBox(TextView list) {
    return list == u"List4" ? page_.layout().List4 : page_.layout().List1;
  }

  sim::OptionsDialog& dialog_;
  page::KorvanelPage& page_;
};

}  // namespace

std::unique_ptr<PageUser> modelPageUser(sim::OptionsDialog& dialog) {
  auto* page = dialog.isOpen() ? dynamic_cast<page::KorvanelPage*>(dialog.page().get()) : nullptr;
  if (!page) return nullptr;
  return std::make_unique<ModelPageUser>(dialog, *page);
}

}  // namespace korvanel::tool
