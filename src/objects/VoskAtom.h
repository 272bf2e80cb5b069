// Paint atoms: the imprint procedures of the painting tools (each draws one
// imprint of its tool with the current fill into the current port and its
// coverage into the paint layer's mask, and reports the area it changed),
// and the nearest-colour search in the palette.
//
// So far only the palette search is built: the imprints come with the
// painting tools, and until then they draw nothing and report an empty
// area. Tools that never imprint have Atom_Error, an internal error.
#pragma once

#include "pixel/DrawUtilDraw.h"  // a_pointlist_rec
#include "platform/PixMaps.h"
#include "platform/SysWin.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

// One imprint's parameter: its points (one for single-point atoms, two
// (from, to) for lines, the four corners of a dragged rectangle (top-left,
// top-right, bottom-right, bottom-left) for shapes, or an outline), the area
// it changed (set by the atom), the fill, whether it is a marquee preview,
// and the paint layer's colour world and mask (the mask may be absent).
struct a_atom_rec {
  a_pointlist_rec* list;
  Rect dirty;
  a_fill_kind fill;
  bool8 marqf;
  GWorldPtr paint_world;
  GWorldPtr mask_world;
};

// The imprints of the tool table (a_tool_desc.atom_proc).
void Atom_Brush(a_atom_rec& p);
void Atom_Eraser(a_atom_rec& p);
void Atom_BrushLine(a_atom_rec& p);
void Atom_Line(a_atom_rec& p);
void Atom_SOval(a_atom_rec& p);
void Atom_FOval(a_atom_rec& p);
void Atom_SRect(a_atom_rec& p);
void Atom_SRoundRect(a_atom_rec& p);
void Atom_FRect(a_atom_rec& p);
void Atom_FRoundRect(a_atom_rec& p);
void Atom_SPolygon(a_atom_rec& p);
void Atom_Stamp(a_atom_rec& p);
void Atom_Spray(a_atom_rec& p);
void Atom_Bucket(a_atom_rec& p);
void Atom_Eyedropper(a_atom_rec& p);
void Atom_Symmetry(a_atom_rec& p);
// The imprint of tools that never imprint: an internal error (QUIT).
void Atom_Error(a_atom_rec& p);

// The palette entry nearest to a colour: over gs.color_table's
// gs.ncolor_table entries in order, by the sum of the squared differences
// of red, green and blue; an exact match is returned at once, and of
// entries at the same distance the first wins. 0 with an empty palette.
int16 Find_In_Palette24(const a_pixel24& targ);
// The same for a 32-bit colour (its alpha is not compared).
int16 Find_In_Palette32(const a_pixel32& targ32);
