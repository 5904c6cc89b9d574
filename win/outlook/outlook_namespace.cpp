#include "win/outlook/outlook_namespace.h"

#include "win/com/late_bound_object.h"
#include "win/outlook/account.h"
#include "win/outlook/folder.h"
#include "win/outlook/item.h"
#include "win/outlook/recipient.h"

namespace korvanel::win {

using platform::Text;
using platform::TextView;

namespace {

class NameSpaceAdapter final : public platform::NameSpace, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  Text currentProfileName() override { return text(u"CurrentProfileName"); }
  platform::RecipientPtr currentUser() override { return makeRecipient(object(u"CurrentUser")); }
  platform::FolderPtr getDefaultFolder(long folderType) override {
    return makeFolder(callObject(u"GetDefaultFolder", {folderType}));
  }
  platform::FolderPtr getFolderFromID(TextView entryId, TextView storeId) override {
    return makeFolder(byEntryId(u"GetFolderFromID", entryId, storeId));
  }
  platform::ItemPtr getItemFromID(TextView entryId, TextView storeId) override {
    return makeItem(byEntryId(u"GetItemFromID", entryId, storeId));
  }
  platform::StorePtr getStoreFromID(TextView storeId) override {
    return makeStore(callObject(u"GetStoreFromID", {storeId}));
  }
  platform::FoldersPtr folders() override { return makeFolders(object(u"Folders")); }
  platform::FolderPtr pickFolder() override { return makeFolder(callObject(u"PickFolder")); }
  platform::AccountsPtr accounts() override { return makeAccounts(object(u"Accounts")); }

 private:
  // Get...FromID(EntryIDItem, [EntryIDStore]): an empty store id is left out, so Outlook
  // searches every open store.
  ComPtr<IDispatch> byEntryId(TextView method, TextView entryId, TextView storeId) {
    if (storeId.empty()) return callObject(method, {entryId});
    return callObject(method, {entryId, storeId});
  }
};

}  // namespace

platform::NameSpacePtr makeNameSpace(ComPtr<IDispatch> nameSpace) {
  return adapt<NameSpaceAdapter>(std::move(nameSpace));
}

}  // namespace korvanel::win
