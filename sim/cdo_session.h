// CDO 1.21 in the simulation: a "MAPI.Session" that attaches to the running Outlook's MAPI
// logon (MapiLogon) and reads and writes the same stored properties as the object model
// (ModelItem::getProperty and its companions).
//
// As in CDO, a message's field changes are made on the opened message and reach the store
// only on Update; reads through the same message see them at once, other views only after
// Update. A message released without Update loses them. Field values: texts as text, arrays
// of texts as arrays, Booleans and numbers as such, binary properties as hexadecimal text.
//
// Failure injection (World::faults()): "CdoSession.Logon", "CdoSession.Logoff",
// "CdoSession.Name", "CdoSession.GetMessage", "CdoSession.GetInfoStore",
// "CdoMessage.Fields", "CdoMessage.Update", "CdoInfoStore.Fields", "CdoFields.Item" (by name
// or tag), "CdoFields.Add" (either form), "CdoField.Value", "CdoField.SetValue",
// "CdoField.Delete"; a failing call returns its empty value and changes nothing.
#pragma once

#include <memory>

#include "platform/cdo.h"
#include "sim/faults.h"
#include "sim/mapi_logon.h"

namespace korvanel::sim {

// A new, not yet logged on session. The fault plan, when given, must outlive it.
platform::CdoSessionPtr makeCdoSession(MapiLogonSource logonSource, FaultPlan* faults);

}  // namespace korvanel::sim
