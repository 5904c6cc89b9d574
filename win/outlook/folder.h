// Outlook's folders over late binding: Folders, Folder (MAPIFolder), Store, and a folder's
// Items as the source of ItemAdd and ItemChange.
#pragma once

#include <oaidl.h>

#include "platform/outlook.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Each is null for a null object.
platform::FoldersPtr makeFolders(ComPtr<IDispatch> folders);
platform::FolderPtr makeFolder(ComPtr<IDispatch> folder);
platform::StorePtr makeStore(ComPtr<IDispatch> store);
platform::ItemsPtr makeItems(ComPtr<IDispatch> items);

// A Parent that is a folder; null for anything else (a store's top folder has the
// namespace as its Parent).
platform::FolderPtr folderOrNothing(ComPtr<IDispatch> parent);

}  // namespace korvanel::win
