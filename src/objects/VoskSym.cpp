#include "objects/VoskSym.h"

#include <algorithm>

#include "doc/VoskDraw.h"
#include "doc/VoskHist.h"
#include "objects/VoskAtom.h"
#include "objects/VoskBlok.h"
#include "objects/VoskPhot.h"
#include "objects/VoskStam.h"
#include "pixel/DrawUtilDraw.h"
#include "pixel/DrawUtilMasked.h"
#include "doc/VoskDoc.h"
#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "pixel/SysPixt.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysSound.h"
#include "platform/VoskDef.h"
#include "ui/VoskBrow.h"
#include "ui/VoskIntI.h"
#include "ui/VoskSlid.h"

namespace {

constexpr int16 kCellInset = 2;

// The palette colour the symbols colour bar selects.
a_pixel32 Symbol_Bar_Color() {
  const int16 x = gs.bar_selection[SYMBOLS_COLORBAR];
  if (x < 0 || x >= gs.ncolor_table || x >= NCOLOR_TABLE) return a_pixel32{{0, 0, 0, 0}};
  return gs.color_table[x];
}

// The picture's bounds of symbol key; FALSE when it cannot be loaded or
// holds nothing.
bool Symbol_Bounds(const a_keyset& key, Rect& bounds) {
  bounds = Rect{0, 0, 0, 0};
  if (Is_Null_Key(key)) return false;
  a_pixt pixt{};
  const bool ok = KPixt_Load_Checked(key, pixt) == PIXT_OK;
  if (ok) bounds = pixt.pixmap.bounds;
  Pixt_Unload(pixt);
  return ok && !EmptyRect(bounds);
}

}  // namespace

int16 Symbol_Count() { return StampSet_Count(SYMBOL_STAMPSET); }

bool8 Symbol_Add(int16 n) {
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || Calc_Hilite_ObjNew() != HILITE_ENABLED) {
    Sound_Effect(SND_OBJ_REFUSED);
    return false;
  }
  a_keyset key;
  StampID_To_Key(SYMBOL_STAMPSET, n, key);
  Rect bounds;
  // A picture that cannot be loaded has no size to place it by.
  if (!Symbol_Bounds(key, bounds)) {
    Sound_Effect(SND_OBJ_REFUSED);
    return false;
  }
  int32 omx = 0;
  a_ph_rec* ph = PH_New(omx, SYMBOL_BLOCK);
  if (ph == nullptr) return false;
  a_spec& s = ph->spec;
  s.source.kind = SOURCE_DATABASE;
  s.source.key = key;
  s.subset = bounds;
  s.scalingh = s.scalingv = SYMBOL_NEW_SIZE;
  s.symbol_color = Symbol_Bar_Color();
  s.is_symbol = true;
  Clean_Spec(s);
  PH_Limit_Scalings(s);
  const Rect& b = unit->paintbounds;
  ph->dst_center = Point{int16((3 * int32(b.top) + b.bottom) / 4), int16((int32(b.left) + b.right) / 2)};
  Symbol_To_Sliders(ph);
  Photo_Merge(omx, true);
  History_Emit(OP_SYMBOL_NEW);
  return true;
}

void Symbol_New() {
  if (g_doc.up == nullptr || Calc_Hilite_ObjNew() != HILITE_ENABLED) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  int16 chosen = std::max<int16>(1, gs.bar_selection[SYMBOL_BAR]);
  if (!Browser_Choose(SYMBOL_BAR, chosen)) return;
  gs.bar_selection[SYMBOL_BAR] = chosen;
  Symbol_Add(chosen);
}

void Symbol_To_Sliders(const a_ph_rec* ph) {
  if (ph == nullptr) return;
  const a_spec& s = ph->spec;
  // Drawn again where they are shown.
  Slider_Blast(SYMBOL_SIZE_SLIDER, s.scalingh);
  Slider_Blast(SYMBOL_ANGLE_SLIDER, s.angle);
  Slider_Blast(SYMBOL_OPACITY_SLIDER, s.opacity);
  gs.bar_selection[SYMBOLS_COLORBAR] = Find_In_Palette32(s.symbol_color);
}

void Sliders_To_Symbol(a_ph_rec* ph) {
  if (ph == nullptr) return;
  a_spec& s = ph->spec;
  s.scalingh = s.scalingv = gs.slider_vals[SYMBOL_SIZE_SLIDER];
  s.angle = gs.slider_vals[SYMBOL_ANGLE_SLIDER];
  s.opacity = gs.slider_vals[SYMBOL_OPACITY_SLIDER];
  s.symbol_color = Symbol_Bar_Color();
  PH_Limit_Scalings(s);
}

void Delta_Symbol() {
  int32 omx = 0;
  if (!One_Selected_Kind(SYMBOL_BLOCK, omx)) return;
  Obj_PostRender(omx);
  Sliders_To_Symbol(Obj_Item(omx)->ph);
  Photo_Merge(omx, false);
}

void Init_Symbol_Geom() { Geom_Init(SYMBOL_BLOCK); }
void Track_Symbol_Geom() { Geom_Track(SYMBOL_BLOCK); }
void Stop_Symbol_Geom() {
  if (Geom_Stop(SYMBOL_BLOCK)) Delta_Symbol();
}

void Symbol_Enter() { Object_Phase_Enter(SYMBOL_BLOCK); }

void Symbol_DrawElement(int16 n, const Rect& cell) {
  SetForeColor(255, 255, 255);
  PaintRect(cell);
  a_keyset key;
  StampID_To_Key(SYMBOL_STAMPSET, n, key);
  Rect bounds;
  if (!Symbol_Bounds(key, bounds)) return;
  Rect room = cell;
  InsetRect(room, kCellInset, kCellInset);
  const int32 rw = int32(room.right) - room.left, rh = int32(room.bottom) - room.top;
  const int32 bw = int32(bounds.right) - bounds.left, bh = int32(bounds.bottom) - bounds.top;
  if (rw <= 0 || rh <= 0) return;
  // Fitted: the smaller ratio, in thousandths.
  const int32 scaling = std::max<int32>(1, std::min(int32(int64(rw) * 1000 / bw), int32(int64(rh) * 1000 / bh)));
  a_spec spec;
  Null_Spec(spec);
  spec.source.kind = SOURCE_DATABASE;
  spec.source.key = key;
  spec.is_symbol = true;
  spec.symbol_color = a_pixel32{{0, 0, 0, 0}};
  spec.scalingh = spec.scalingv = int16(std::min<int32>(scaling, 32767));
  Clean_Spec(spec);
  a_cache_result c;
  Cache_Get(FOR_SCREEN, spec, c);
  if (c.body.fore == nullptr || EmptyRect(c.body.bounds)) return;
  const int32 w = std::min<int32>(rw, int32(c.body.bounds.right) - c.body.bounds.left);
  const int32 h = std::min<int32>(rh, int32(c.body.bounds.bottom) - c.body.bounds.top);
  const int16 left = int16(room.left + (rw - w) / 2), top = int16(room.top + (rh - h) / 2);
  Draw_Cached_MWorld(c.body, Rect{top, left, int16(top + h), int16(left + w)}, nullptr);
}
