// The CDO session the add-in uses on Outlook 2003 for the MAPI properties that Outlook
// 2003's object model does not reach. It attaches to Outlook's own MAPI logon.
#pragma once

#include "addin/addin_context.h"

namespace korvanel::addin {

// Creates "MAPI.Session" into CdoSession and logs it on to Outlook's session without a
// dialog. CdoSession stays nothing when CDO is not installed.
void CdoLogon(AddinContext& ctx);
// Logs the session off and drops it; nothing happens without a session.
void CdoLogoff(AddinContext& ctx);

}  // namespace korvanel::addin
