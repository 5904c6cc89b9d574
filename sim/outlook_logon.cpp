// The running Outlook's MAPI logon, as CDO sessions inside it attach to it.
#include "sim/mapi_logon.h"
#include "sim/outlook_app.h"

namespace korvanel::sim {

namespace {

class OutlookLogon final : public MapiLogon {
 public:
  explicit OutlookLogon(const std::shared_ptr<Outlook>& outlook) : outlook_(outlook) {}

  bool active() const override {
    auto outlook = outlook_.lock();
    return outlook && !outlook->ended();
  }
  Text profileName() const override {
    auto outlook = outlook_.lock();
    return outlook ? outlook->profileName() : Text();
  }
  std::vector<ModelStorePtr> stores() const override {
    auto outlook = outlook_.lock();
    if (!outlook || outlook->ended()) return {};
    return outlook->stores();
  }
  void messageSaved(const ModelItemPtr& item) override {
    auto outlook = outlook_.lock();
    if (!outlook || outlook->ended() || !item) return;
    ModelFolderPtr folder = item->parentFolder();
    if (!folder) return;
    std::weak_ptr<ModelFolder> weakFolder = folder;
    std::weak_ptr<ModelItem> weakItem = item;
    outlook->queue().post([weakFolder, weakItem] {
      auto f = weakFolder.lock();
      auto i = weakItem.lock();
      // Only while the message still lies in that folder.
      if (f && i && i->parentFolder() == f) f->itemChange.emit(i);
    });
  }

 private:
  std::weak_ptr<Outlook> outlook_;
};

}  // namespace

MapiLogonPtr outlookLogon(const std::shared_ptr<Outlook>& outlook) {
  if (!outlook) return nullptr;
  return std::make_shared<OutlookLogon>(outlook);
}

}  // namespace korvanel::sim
