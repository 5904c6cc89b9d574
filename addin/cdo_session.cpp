#include "addin/cdo_session.h"

namespace korvanel::addin {

void CdoLogon(AddinContext& ctx) {
  try {
    ctx.state.CdoSession = ctx.services.objects.createCdoSession();
    if (!ctx.state.CdoSession) return;
    // No profile, no dialog, no new session: CDO joins the logon Outlook already holds, so it
    // sees the same profile and stores. A failed logon leaves a session whose later uses fail.
    ctx.state.CdoSession->logon(u"", u"", false, false);
  } catch (...) {
  }
}

void CdoLogoff(AddinContext& ctx) {
  try {
    if (ctx.state.CdoSession) ctx.state.CdoSession->logoff();
  } catch (...) {
  }
  ctx.state.CdoSession.reset();
}

}  // namespace korvanel::addin
