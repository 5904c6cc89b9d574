// Inspector tracking: every item window that shows a mail, contact, task, appointment or
// meeting item gets one clsInspWrap, kept alive in SharedState::InspectorWrappers until the
// wrapper reports its own closing. When the last window of an Outlook started without a
// main window closes, the add-in lets go of Outlook so that Outlook can end.
//
// Keys keep coming for the whole run: they are never reused, and no window goes untracked
// however many have been opened before it. Single-threaded; nothing here lets
// an exception escape.
#pragma once

#include <cstdint>

#include "addin/addin_context.h"
#include "platform/outlook.h"
#include "text/text.h"

namespace korvanel::addin {

class clsInspWrap;

// Whether a window on an item of this Class gets a wrapper: mail 43, contact 40, task 48,
// appointment 26 and the meeting items 53 to 57. Posts, reports and task requests do not.
bool tracksItemClass(long itemClass);

// Inspectors' NewInspector: the window becomes objInsp (only its Close is received), and a
// window on a tracked item class gets its wrapper.
void colInsp_NewInspector(AddinContext& ctx, const platform::InspectorPtr& inspector);

// Close of objInsp: with no Explorer and this closing window the last Inspector, objInsp is
// let go and the add-in releases Outlook (ctx.releaseAddIn).
void objInsp_Close(AddinContext& ctx);

// Creates the wrapper for the window, hands it the window, its item (by Class) and the next
// key, and registers it under the key's decimal text. Returns that text; empty when no
// wrapper could be registered.
text::Text AddInsp(AddinContext& ctx, const platform::InspectorPtr& inspector);

// Removes the entry under key when it is this very wrapper; a missing key or another
// wrapper under it leaves the collection as it is (the caller sees nothing).
void KillInsp(AddinContext& ctx, std::int64_t key, const clsInspWrap* wrapper);

}  // namespace korvanel::addin
