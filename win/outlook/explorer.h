// Outlook's folder windows over late binding: Explorers, an Explorer and its Selection.
#pragma once

#include <oaidl.h>

#include "platform/outlook.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Each is null for a null object.
platform::ExplorersPtr makeExplorers(ComPtr<IDispatch> explorers);
platform::ExplorerPtr makeExplorer(ComPtr<IDispatch> explorer);

}  // namespace korvanel::win
