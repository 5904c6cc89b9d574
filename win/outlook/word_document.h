// Word as Outlook's mail editor, over late binding: the Document an Inspector's WordEditor
// gives and the Word Application behind it.
#pragma once

#include <oaidl.h>

#include "platform/word.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Null for a null object.
platform::WordDocumentPtr makeWordDocument(ComPtr<IDispatch> document);

}  // namespace korvanel::win
