// An item's MAPIOBJECT, served: an IUnknown whose IMAPIProp answers GetProps from the
// simulated message's properties (read through the simulation's Extended MAPI), so that
// mapi32's HrGetOneProp works over it as over Outlook's own message object.
#pragma once

#include <unknwn.h>

#include "platform/mapi.h"
#include "win/com/com_ptr.h"

namespace korvanel::win::served {

// The simulation's Extended MAPI, which reads the served messages' properties; set while a
// simulated machine is served.
void setServedMapi(platform::Mapi* mapi);

// Nothing for nullptr.
ComPtr<IUnknown> serveMapiObject(platform::MapiObjectPtr object);

}  // namespace korvanel::win::served
