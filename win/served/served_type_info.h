// The type information of a served interface, as much of ITypeInfo as a late-bound caller
// asks for: the interface's name (GetDocumentation of MEMBERID_NIL), its TYPEATTR (a
// dispatch interface with a stable GUID), and member names to DISPIDs.
#pragma once

#include <oaidl.h>

#include "win/com/com_ptr.h"

namespace korvanel::win::served {

class MemberTable;

// The table must outlive the type info (tables are static).
ComPtr<ITypeInfo> makeTypeInfo(const MemberTable& table);

}  // namespace korvanel::win::served
