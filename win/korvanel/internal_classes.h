// The COM classes of OutAddIn and clsInspWrap. The add-in uses both only from inside (the
// portable addin/ module does the work); as COM classes they exist so that the registered
// classes can be created, and they have no public members.
#pragma once

#include "win/com/dispatch_object.h"
#include "win/korvanel/korvanel_idl.h"

namespace korvanel::win {

class OutAddInObject final : public DispatchObject<_OutAddIn> {
 protected:
  void* findInterface(REFIID iid) override { return findDispatch(iid); }
};

class InspWrapObject final : public DispatchObject<_clsInspWrap> {
 protected:
  void* findInterface(REFIID iid) override { return findDispatch(iid); }
};

}  // namespace korvanel::win
