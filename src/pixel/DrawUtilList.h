// The owner-drawn list box: rows of text in a framed box with a vertical
// scroll bar beside it, one row highlighted. The record, a_listbox_desc, is
// declared with the interface state that holds the program's lists
// (platform/VoskDef.h).
//
// Rows are numbered from 1. The first visible row is the scroll bar's value
// (1 when the list has no scroll bar); nvis rows show from there. Everything
// draws into the current port, or into the offscreen area of the list's
// interface node when the interface has installed its node services in the
// hooks below.
#pragma once

#include "platform/Types.h"
#include "platform/VoskDef.h"

// The interface's drawing services for a node (Node_PushOff and
// Node_PopAndUpdate), installed by its start-up. Until then they do nothing
// and a list paints straight into the current port.
extern void (*g_node_pushoff_proc)(int16 nx);
extern void (*g_node_popandupdate_proc)();

// firstvis := the scroll bar's value (at least 1); lastvis := firstvis +
// nvis - 1, at most nlist (below firstvis when nothing is visible).
void ListBox_Get_Vis_Range(const a_listbox_desc& desc, int32& firstvis, int32& lastvis);
// The box of visible row ix: left area.left + border, right area.right -
// border, top area.top + border + (cell_v + spacing_v) x (ix - firstvis),
// cell_v high. A row that is not visible calls QUIT.
void ListBox_Calc_Box(int32 ix, const a_listbox_desc& desc, Rect& box);

// Paints the list (between the node pushes of node customx): the area framed
// in black with a border x border pen, the inside erased in lo_back_color;
// each visible row's text in lo_fore_color, 4 pixels in from the row's left,
// in the list's font, clipped to the row; row hix on hi_back_color in
// hi_fore_color; below every visible row but the last a strip of spacing_v
// pixels in sp_back_color. Nothing for an empty area (a list not laid out).
void ListBox_Paint(const a_listbox_desc& desc);
// The visible row whose box holds lmouse, else 0.
int32 ListBox_Find(Point lmouse, const a_listbox_desc& desc);
// Highlights row newx (held to 1 .. nlist): when that changes hix, the list
// scrolls by the least amount that shows it and is painted again.
void ListBox_Set_Hi(int32 newx, a_listbox_desc& desc);
// ListBox_Set_Hi without painting (for lists made while their window is
// laid out, painted after): TRUE when the highlighted row changed.
bool8 ListBox_Select(int32 newx, a_listbox_desc& desc);
// hix := 1 and the scroll bar to 1.
void ListBox_Reset(a_listbox_desc& desc);
// Appends a row (the text cut to 255 units) while nlist < maxnlist and there
// is storage; otherwise nothing.
void ListBox_Add_Item(CUStrSpan new_uss, uint32 new_key, a_listbox_desc& desc);
