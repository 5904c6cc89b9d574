// Office's command bars over late binding: an Explorer's or Inspector's CommandBars, a bar, a
// control with its Controls and the Click of a button.
#pragma once

#include <oaidl.h>

#include "platform/office.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Each is null for a null object.
platform::CommandBarsPtr makeCommandBars(ComPtr<IDispatch> bars);
platform::CommandBarControlPtr makeCommandBarControl(ComPtr<IDispatch> control);

}  // namespace korvanel::win
