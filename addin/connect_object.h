// The late-bound face of Connect that the add-in publishes as its AddInInst's Object: the
// Options page reads "sUN", "sPN", "sSMBXs", writes "IsRestart" and calls
// "PrepareAccessibleMBX" by name (names compared without regard to case, as COM does).
#pragma once

#include <memory>

#include "addin/addin_context.h"
#include "platform/dispatch.h"

namespace korvanel::addin {

// The object refers to the context without owning it (Outlook holds the published object
// and the context holds Outlook, so owning would make a cycle); once the add-in is gone it
// answers with empty values.
platform::DispatchPtr makeConnectObject(const std::shared_ptr<AddinContext>& context);

}  // namespace korvanel::addin
