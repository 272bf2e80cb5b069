// The open document: which disc printer its layout prints on and whether its
// page is landscape. (Creating, reading and disposing of documents join this
// module with the document subsystem.)
#pragma once

#include "platform/VoskDef.h"
#include "host/HostWin.h"
#include "platform/VoskPref.h"

// NOT_DIRECT unless the layout prints straight onto a disc; otherwise by the
// kind of its first unit. Any other kind on a disc-printer layout is an
// internal error (QUIT).
a_direct_print_kind Calc_Direct_Print_KindT(const a_template& tmpl);
a_direct_print_kind Calc_Direct_Print_Kind();

// The open document's page is landscape (IS_LANDSCAPE in its layout).
bool8 Is_Landscape();

// Draws the placeholder of a missing picture into the current port over
// dest: dest erased to white, then the legend of dialog string 12 drawn over
// and over in staggered rows 20 pixels apart, in the interface's 14-point
// font and purple-red (185, 87, 242), clipped to dest, and dest framed with a
// one-pixel pen in the same colour.
void Fill_Missing_Pattern(const Rect& dest);

// Module start-up: installs what the layers below ask of the open document:
// Calc_Direct_Print_Kind and Is_Landscape in the preferences module's hooks
// (VoskPref.h), Fill_Missing_Pattern in the render cache's (OPUtil.h).
void VoskDoc_Init();
