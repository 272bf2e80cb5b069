#include "objects/VoskAtom.h"

#include <cstdint>

#include "platform/SysErr.h"

namespace {
// An imprint the painting tools have not yet given a drawing: nothing is
// drawn, nothing changed.
void No_Imprint(a_atom_rec& p) { p.dirty = Rect{0, 0, 0, 0}; }
}  // namespace

void Atom_Brush(a_atom_rec& p) { No_Imprint(p); }
void Atom_Eraser(a_atom_rec& p) { No_Imprint(p); }
void Atom_BrushLine(a_atom_rec& p) { No_Imprint(p); }
void Atom_Line(a_atom_rec& p) { No_Imprint(p); }
void Atom_SOval(a_atom_rec& p) { No_Imprint(p); }
void Atom_FOval(a_atom_rec& p) { No_Imprint(p); }
void Atom_SRect(a_atom_rec& p) { No_Imprint(p); }
void Atom_SRoundRect(a_atom_rec& p) { No_Imprint(p); }
void Atom_FRect(a_atom_rec& p) { No_Imprint(p); }
void Atom_FRoundRect(a_atom_rec& p) { No_Imprint(p); }
void Atom_SPolygon(a_atom_rec& p) { No_Imprint(p); }
void Atom_Stamp(a_atom_rec& p) { No_Imprint(p); }
void Atom_Spray(a_atom_rec& p) { No_Imprint(p); }
void Atom_Bucket(a_atom_rec& p) { No_Imprint(p); }
void Atom_Eyedropper(a_atom_rec& p) { No_Imprint(p); }
void Atom_Symmetry(a_atom_rec& p) { No_Imprint(p); }

void Atom_Error(a_atom_rec&) { QUIT(); }

int16 Find_In_Palette24(const a_pixel24& targ) {
  const int32 n = gs.ncolor_table < 0 ? 0 : (gs.ncolor_table > NCOLOR_TABLE ? NCOLOR_TABLE : gs.ncolor_table);
  int16 best = 0;
  int32 best_dist = INT32_MAX;
  for (int32 i = 0; i < n; ++i) {
    const a_pixel32& c = gs.color_table[i];
    const int32 dr = int32(c.r) - targ.r, dg = int32(c.g) - targ.g, db = int32(c.b) - targ.b;
    const int32 dist = dr * dr + dg * dg + db * db;
    if (dist == 0) return int16(i);
    if (dist < best_dist) {
      best_dist = dist;
      best = int16(i);
    }
  }
  return best;
}

int16 Find_In_Palette32(const a_pixel32& targ32) {
  return Find_In_Palette24(a_pixel24{targ32.r, targ32.g, targ32.b});
}
