#include "objects/VoskMarq.h"

#include <algorithm>
#include <vector>

#include "doc/VoskDoc.h"
#include "doc/VoskDraw.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskRend.h"
#include "doc/VoskShap.h"
#include "host/HostRegion.h"
#include "objects/VoskCanv.h"
#include "objects/VoskStam.h"
#include "platform/Events.h"
#include "platform/PixMaps.h"
#include "platform/SysKey.h"
#include "platform/SysSound.h"
#include "platform/SysTimer.h"
#include "platform/SysTrack.h"
#include "platform/SysRgn.h"
#include "platform/SysWin.h"
#include "platform/VoskErr.h"
#include "ui/VoskIntI.h"

namespace {

constexpr int16 ALERT_TOO_COMPLEX = 30;

bool Empty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

template <typename T>
T* Row(const PixMap& p, int32 y) {
  return reinterpret_cast<T*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p));
}

// An 8-bit map over bounds: 255 inside the region, 0 outside.
std::vector<uint8> Region_Coverage(RgnHandle rgn, const Rect& bounds) {
  const int32 w = bounds.right - bounds.left, h = bounds.bottom - bounds.top;
  std::vector<uint8> cov(size_t(w) * size_t(h), 0);
  PixMap bits{};
  Rgn_To_PixMap1(rgn, bits);
  if (bits.baseAddr == nullptr) return cov;
  for (int32 y = std::max<int32>(bits.bounds.top, bounds.top); y < std::min<int32>(bits.bounds.bottom, bounds.bottom); ++y) {
    const uint8* row = Row<uint8>(bits, y);
    for (int32 x = std::max<int32>(bits.bounds.left, bounds.left); x < std::min<int32>(bits.bounds.right, bounds.right);
         ++x) {
      const int32 bx = x - bits.bounds.left;
      if ((row[bx >> 3] & (0x80 >> (bx & 7))) != 0) cov[size_t(y - bounds.top) * size_t(w) + size_t(x - bounds.left)] = 255;
    }
  }
  Dispose_PixMap(bits);
  return cov;
}

// The custom stamp's world and mask made or remade over extent (moved to
// the origin).
void Size_Custom_Stamp(const Rect& extent) {
  const Rect box{0, 0, int16(extent.bottom - extent.top), int16(extent.right - extent.left)};
  a_doc_layer& cs = gs.custom_stamp;
  if (cs.world == nullptr)
    New_GWorldF("Custom stamp", box, 32, nullptr, cs.world);
  else
    Resize_GWorld(cs.world, box);
  if (cs.mask == nullptr)
    New_GWorldF("Custom mask", box, 8, nullptr, cs.mask);
  else
    Resize_GWorld(cs.mask, box);
  cs.inuse = true;
}

void Stamp_Taken() {
  ++gs.custom_stamp.seq;
  gs.bar_selection[STAMP_BAR] = 0;
  Warp_Slider_Default();
}

// The marquee within the unit: its paint bounds and, on units with round
// ends or holes, its label area less the holes.
void Clip_To_Unit(a_doc_unit* unit, RgnHandle rgn) {
  RgnHandle clip = NewRgn();
  RectRgn(clip, unit->paintbounds);
  SectRgn(rgn, clip, rgn);
  if (g_doc.upx >= 1) {
    const a_unit& spec = g_doc.doc_template.units[g_doc.upx - 1];
    switch (Unit_Kind_Shape(spec.kind)) {
      case SHAPE_ROUNDRECT:
      case SHAPE_RING:
      case SHAPE_AUDIOFACE:
      case SHAPE_BIZHOCKEY:
      case SHAPE_BIZRECT: {
        RgnHandle inside = NewRgn(), outside = NewRgn();
        Calc_Hole_Rgns(true, spec, unit->paintbounds, inside, outside);
        SectRgn(rgn, inside, rgn);
        DisposeRgn(inside);
        DisposeRgn(outside);
        break;
      }
      default: break;
    }
  }
  DisposeRgn(clip);
}

bool8 Take_Transparent(a_doc_unit* unit, RgnHandle rgn, const Rect& rb, bool cut) {
  const a_cached_gworld& layer = unit->statics[PAINT1_LAYER];
  if (!unit->paintinuse || layer.world == nullptr || layer.mask == nullptr) {
    OK_Alert(false, ALERT_SELECTION_EMPTY);
    return false;
  }
  const int32 w = rb.right - rb.left;
  std::vector<uint8> cov = Region_Coverage(rgn, rb);
  const PixMap& pm = layer.mask->pix;
  const PixMap& pw = layer.world->pix;
  Rect extent{rb.bottom, rb.right, rb.top, rb.left};
  for (int32 y = rb.top; y < rb.bottom; ++y) {
    const uint8* m = Row<uint8>(pm, y);
    for (int32 x = rb.left; x < rb.right; ++x) {
      uint8& c = cov[size_t(y - rb.top) * size_t(w) + size_t(x - rb.left)];
      c = std::min(c, m[x - pm.bounds.left]);
      if (c == 0) continue;
      extent.left = std::min<int16>(extent.left, int16(x));
      extent.right = std::max<int16>(extent.right, int16(x + 1));
      extent.top = std::min<int16>(extent.top, int16(y));
      extent.bottom = std::max<int16>(extent.bottom, int16(y + 1));
    }
  }
  if (Empty(extent)) {
    OK_Alert(false, ALERT_SELECTION_EMPTY);
    return false;
  }
  Size_Custom_Stamp(extent);
  const PixMap& sw = gs.custom_stamp.world->pix;
  const PixMap& sm = gs.custom_stamp.mask->pix;
  for (int32 y = extent.top; y < extent.bottom; ++y) {
    const uint32* src = Row<uint32>(pw, y);
    uint32* dw = Row<uint32>(sw, y - extent.top);
    uint8* dm = Row<uint8>(sm, y - extent.top);
    uint8* lm = Row<uint8>(pm, y);
    for (int32 x = extent.left; x < extent.right; ++x) {
      const uint8 c = cov[size_t(y - rb.top) * size_t(w) + size_t(x - rb.left)];
      dw[x - extent.left] = src[x - pw.bounds.left];
      dm[x - extent.left] = c;
      if (cut && c != 0) lm[x - pm.bounds.left] = 0;
    }
  }
  if (cut) Doc_Merge_Draw(extent);
  return true;
}

bool8 Take_Opaque(a_doc_unit* unit, RgnHandle rgn, const Rect& rb, bool cut) {
  const int32 w = rb.right - rb.left;
  std::vector<uint8> cov = Region_Coverage(rgn, rb);
  GWorldPtr canvas = nullptr;
  New_GWorldF("Marquee canvas", rb, 32, nullptr, canvas);
  Render_Canvas(canvas, false, g_doc.upx, unit->canv, rb, unit->paintbounds);
  Size_Custom_Stamp(rb);
  const a_cached_gworld& layer = unit->statics[PAINT1_LAYER];
  const bool painted = unit->paintinuse && layer.world != nullptr && layer.mask != nullptr;
  const PixMap& cw = canvas->pix;
  const PixMap& sw = gs.custom_stamp.world->pix;
  const PixMap& sm = gs.custom_stamp.mask->pix;
  for (int32 y = rb.top; y < rb.bottom; ++y) {
    const uint32* cr = Row<uint32>(cw, y);
    uint32* dw = Row<uint32>(sw, y - rb.top);
    uint8* dm = Row<uint8>(sm, y - rb.top);
    for (int32 x = rb.left; x < rb.right; ++x) {
      const uint8 c = cov[size_t(y - rb.top) * size_t(w) + size_t(x - rb.left)];
      uint32 px = cr[x - cw.bounds.left];
      if (painted) {
        const uint8 a = Row<uint8>(layer.mask->pix, y)[x - layer.mask->pix.bounds.left];
        const uint32 p = Row<uint32>(layer.world->pix, y)[x - layer.world->pix.bounds.left];
        uint32 out = px & 0xFF000000u;
        for (int s = 0; s < 24; s += 8) {
          const uint32 b = (px >> s) & 0xFF, f = (p >> s) & 0xFF;
          out |= ((f * a + b * (255 - a) + 127) / 255) << s;
        }
        px = out;
        if (cut && c != 0) Row<uint8>(layer.mask->pix, y)[x - layer.mask->pix.bounds.left] = 0;
      }
      dw[x - rb.left] = c != 0 ? px : 0xFFFFFFFFu;
      dm[x - rb.left] = c;
    }
  }
  Dispose_GWorld(canvas);
  if (cut && painted) Doc_Merge_Draw(rb);
  return true;
}

}  // namespace

void Prep_Marq() {
  const a_ratio z = gs.views[0].zoom_factor;
  if (z.num >= z.den) PenSize(1, 1);
  PenPat(gs.marq_pattern);
  ForeColor(1);
  BackColor(0);
}

void Draw_Marq_Rgn(RgnHandle rgn) {
  Prep_Marq();
  FrameRgn(rgn);
  PenPat(kPatBlack);
}

void Draw_Marq_Rect(const Rect& bounds) {
  Prep_Marq();
  FrameRect(bounds);
  PenPat(kPatBlack);
}

void Draw_Marq_Oval(const Rect& bounds) {
  Prep_Marq();
  FrameOval(bounds);
  PenPat(kPatBlack);
}

bool8 Marq_To_Stamp() {
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || t.marq_rgn == nullptr) return false;
  RgnHandle rgn = NewRgn();
  CopyRgn(t.marq_rgn, rgn);
  Clip_To_Unit(unit, rgn);
  bool8 taken = false;
  if (!EmptyRgn(rgn)) {
    Rect rb;
    Rgn_GetBounds(rgn, rb);
    const bool cut = gs.grid_vals[MARQ_CUT_GRID] == CUT_SELECTION;
    // Without a canvas there is only paint to take, opaque or not.
    if (gs.grid_vals[MARQ_TRANSP_GRID] == TRANSPARENT_SELECTION || Is_No_Canvas(unit->canv.cv))
      taken = Take_Transparent(unit, rgn, rb, cut);
    else
      taken = Take_Opaque(unit, rgn, rb, cut);
    if (taken) Stamp_Taken();
  }
  DisposeRgn(rgn);
  return taken;
}

RgnHandle Polygon_Rgn(const Point* pts, int32 n) {
  if (Is_Bad_Polygon(pts, n)) return NewRgn();
  std::vector<POINT> xy(static_cast<size_t>(n));
  for (int32 i = 0; i < n; ++i) xy[size_t(i)] = POINT{pts[i].h, pts[i].v};
  RgnHandle rgn = CreatePolygonRgn(xy.data(), n, ALTERNATE);
  if (rgn == nullptr && !t.too_complex) {
    t.too_complex = true;
    OK_Alert(false, ALERT_TOO_COMPLEX);
  }
  return rgn;
}

RgnHandle Outline_Rgn(const a_pointlist_rec& outline) { return Polygon_Rgn(outline.points, outline.npoints); }

void Lasso_Select(const a_pointlist_rec& outline, const Rect& boundary) {
  if (t.marq_rgn == nullptr) t.marq_rgn = NewRgn();
  RgnHandle rgn = Outline_Rgn(outline);
  if (rgn != nullptr) {
    CopyRgn(rgn, t.marq_rgn);
    DisposeRgn(rgn);
  } else {
    SetEmptyRgn(t.marq_rgn);
  }
  if (!EmptyRgn(t.marq_rgn) && Marq_To_Stamp() && gs.grid_vals[MARQ_CUT_GRID] == CUT_SELECTION)
    History_Emit(OP_PAINT_CUT);
  if (!Empty(boundary)) Doc_Merge_Draw(boundary);
}
