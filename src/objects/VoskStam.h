// Stamps and warps: the picture the stamp tool, the stamp and pattern fills
// and the stamp spray place, drawn from the stamp bar, the pattern bar or the
// brush and warped by the stamp sliders.
//
// So far only the keys of the bars' pictures (the symbol browser needs
// them) and the warp sliders' thumb procedures are here; the stamp cache,
// the warp and the bar cells come with the painting tools. The picture
// families of the bars are a_stamp_set (platform/VoskDef.h).
#pragma once

#include "platform/SysErr.h"  // a_keyset
#include "platform/Types.h"
#include "platform/VoskDef.h"

// key := the picture-library key of element id of a bar's family: the id-th
// picture (from 1) of the stamps (STAMP_STAMPSET), patterns
// (PATTERN_STAMPSET) or symbols (SYMBOL_STAMPSET) in key order. The null key
// when no library is open or the family has no id-th picture; any other
// family is an internal error (QUIT).
void StampID_To_Key(a_stamp_set set, int16 id, a_keyset& key);
// How many pictures the family of set holds (0 with no library open); the
// same families as StampID_To_Key.
int16 StampSet_Count(a_stamp_set set);
// The skew and bend sliders exclude each other: dragging one puts the other
// three back to their defaults. Nothing happens yet.
void SkewX_Thumb();
void SkewY_Thumb();
void BendX_Thumb();
void BendY_Thumb();
