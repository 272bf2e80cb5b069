// The open document: which disc printer its layout prints on and whether its
// page is landscape. (Creating, reading and disposing of documents join this
// module with the document subsystem.)
#pragma once

#include "doc/VoskDef.h"
#include "platform/VoskPref.h"

// NOT_DIRECT unless the layout prints straight onto a disc; otherwise by the
// kind of its first unit. Any other kind on a disc-printer layout is an
// internal error (QUIT).
a_direct_print_kind Calc_Direct_Print_KindT(const a_template& tmpl);
a_direct_print_kind Calc_Direct_Print_Kind();

// The open document's page is landscape (IS_LANDSCAPE in its layout).
bool8 Is_Landscape();
