#include "win/outlook/folder.h"

#include "win/com/event_sink.h"
#include "win/com/late_bound_object.h"
#include "win/outlook/event_ids.h"
#include "win/outlook/item.h"

namespace korvanel::win {

using platform::Connection;
using platform::Text;

namespace {

// OlObjectClass of a folder.
constexpr long kOlFolder = 2;

class FoldersAdapter final : public platform::Folders, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  long count() override { return number(u"Count"); }
  platform::FolderPtr item(long index) override { return makeFolder(object(u"Item", {index})); }
};

class FolderAdapter final : public platform::Folder, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  Text name() override { return text(u"Name"); }
  Text entryId() override { return text(u"EntryID"); }
  Text storeId() override { return text(u"StoreID"); }
  platform::FolderPtr parent() override { return folderOrNothing(object(u"Parent")); }
  platform::ItemsPtr items() override { return makeItems(object(u"Items")); }
};

class StoreAdapter final : public platform::Store, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  Text displayName() override { return text(u"DisplayName"); }
  Text storeId() override { return text(u"StoreID"); }
};

class ItemsAdapter final : public platform::Items, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  Connection onItemAdd(ItemHandler handler) override {
    return itemEvent(events::kItemAdd, std::move(handler));
  }
  Connection onItemChange(ItemHandler handler) override {
    return itemEvent(events::kItemChange, std::move(handler));
  }

 private:
  Connection itemEvent(DISPID id, ItemHandler handler) {
    return adviseEvent(comObject(), {events::kItemsEvents}, id, 1,
                       [handler = std::move(handler)](const EventArguments& args) {
                         handler(makeItem(args.object(0)));
                       });
  }
};

}  // namespace

platform::FoldersPtr makeFolders(ComPtr<IDispatch> folders) {
  return adapt<FoldersAdapter>(std::move(folders));
}

platform::FolderPtr makeFolder(ComPtr<IDispatch> folder) {
  return adapt<FolderAdapter>(std::move(folder));
}

platform::StorePtr makeStore(ComPtr<IDispatch> store) {
  return adapt<StoreAdapter>(std::move(store));
}

platform::ItemsPtr makeItems(ComPtr<IDispatch> items) {
  return adapt<ItemsAdapter>(std::move(items));
}

platform::FolderPtr folderOrNothing(ComPtr<IDispatch> parent) {
  if (!parent) return nullptr;
  if (LateBoundObject(parent).number(u"Class") != kOlFolder) return nullptr;
  return makeFolder(std::move(parent));
}

}  // namespace korvanel::win
