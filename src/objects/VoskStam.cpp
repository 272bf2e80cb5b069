#include "objects/VoskStam.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "doc/VoskFunc.h"  // Aspect_Ratio, Stamp_To_Mask1
#include "objects/VoskBrus.h"
#include "objects/VoskSwat.h"
#include "pixel/ArtKeys.h"
#include "pixel/Fast.h"  // Calc_Rect_Fit
#include "pixel/OP.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixColor.h"
#include "pixel/SysPixXform.h"
#include "pixel/SysPixt.h"
#include "platform/Quickdraw.h"
#include "platform/SysMem.h"
#include "platform/SysWin.h"
#include "platform/VoskErr.h"  // Memory_Constraint
#include "ui/VoskCurs.h"       // g_cursor_dirty
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"  // Toggle_Blast
#include "ui/VoskSlid.h"

a_stamp_cache gsc{};

namespace {

// The library family of a bar's pictures; 0 for a family that has none (an
// internal error).
int16 Family_Of(a_stamp_set set) {
  switch (set) {
    case STAMP_STAMPSET: return ART_STAMP;
    case PATTERN_STAMPSET: return ART_PATTERN;
    case SYMBOL_STAMPSET: return ART_SYMBOL;
    default: QUIT(); return 0;
  }
}

// The family's keys in the library; FALSE with no library open.
bool8 Family_Subset(a_stamp_set set, a_subset& subset) {
  const int16 family = Family_Of(set);
  if (family == 0 || OP_Pool_Count() == 0) return false;
  Subset_Init(subset, a_keyset{family, WILDCARD, WILDCARD, WILDCARD});
  return true;
}

}  // namespace

void StampID_To_Key(a_stamp_set set, int16 id, a_keyset& key) {
  Null_Key(key);
  a_subset subset{};
  if (Family_Subset(set, subset) && id >= 1 && id <= Subset_Count(subset)) Subset_GetKey(subset, id, key);
}

int16 StampSet_Count(a_stamp_set set) {
  a_subset subset{};
  return Family_Subset(set, subset) ? Subset_Count(subset) : 0;
}

// --- The warp's geometry -----------------------------------------------------------------

namespace {

constexpr int32 kMaxSide = 32767;

int32 Width(const PixMap& p) { return p.bounds.right - p.bounds.left; }
int32 Height(const PixMap& p) { return p.bounds.bottom - p.bounds.top; }
uint8* Row(const PixMap& p, int32 y) { return reinterpret_cast<uint8*>(p.baseAddr) + y * PixMap_RowBytes(p); }

bool Too_Big(int64_t w, int64_t h, uint32 bound) { return w * h > static_cast<int64_t>(bound) || w > kMaxSide || h > kMaxSide; }

}  // namespace

bool8 Warp_Predict(int32 w, int32 h, int16 skewx, int16 skewy, int16 bendx, int16 bendy, int16 rotation,
                   uint32 bound, int32& outw, int32& outh, bool8 (&keep)[5]) {
  bool8 dropped = false;
  const int16 vals[4] = {skewx, skewy, bendx, bendy};
  for (int i = 0; i < 4; ++i) {
    keep[i] = false;
    if (vals[i] == 0) continue;
    int64_t nw = w, nh = h;
    if (i == 0 || i == 2) {
      nw += std::llabs(static_cast<int64_t>(h) * vals[i] / 100);
    } else {
      nh += std::llabs(static_cast<int64_t>(w) * vals[i] / 100);
    }
    if (Too_Big(nw, nh, bound)) {
      dropped = true;
      continue;
    }
    keep[i] = true;
    w = static_cast<int32>(nw);
    h = static_cast<int32>(nh);
  }
  keep[4] = false;
  if (rotation != 0) {
    const double a = rotation * 3.14159265358979323846 / 1800.0;
    const int64_t c = std::llabs(std::llround(std::cos(a) * 16384.0));
    const int64_t sn = std::llabs(std::llround(std::sin(a) * 16384.0));
    const int64_t nw = (w * c + h * sn + 8192) >> 14;
    const int64_t nh = (h * c + w * sn + 8192) >> 14;
    if (Too_Big(nw, nh, bound)) {
      dropped = true;
    } else {
      keep[4] = true;
      w = static_cast<int32>(nw);
      h = static_cast<int32>(nh);
    }
  }
  outw = w;
  outh = h;
  return dropped;
}

bool8 Warp_Scaled_Size(int32 w, int32 h, int16 scaling, int16 aspect, uint32 bound, int32& outw, int32& outh) {
  a_ratio rh{100, 100}, rv{100, 100};
  Aspect_Ratio(aspect, rh, rv);
  int64_t nw = (static_cast<int64_t>(w) * scaling * rh.num + 5000) / 10000;
  int64_t nh = (static_cast<int64_t>(h) * scaling * rv.num + 5000) / 10000;
  nw = std::max<int64_t>(nw, 1);
  nh = std::max<int64_t>(nh, 1);
  bool8 reduced = false;
  while ((nw * nh >= static_cast<int64_t>(bound) || nw > kMaxSide || nh > kMaxSide) && (nw > 1 || nh > 1)) {
    nw = std::max<int64_t>(nw * 9 / 10, 1);
    nh = std::max<int64_t>(nh * 9 / 10, 1);
    reduced = true;
  }
  outw = static_cast<int32>(nw);
  outh = static_cast<int32>(nh);
  return reduced;
}

namespace {

// out := a copy of a 32-bit map.
void Copy32(const PixMap& src, PixMap& out) {
  New_PixMap(out, Rect{0, 0, static_cast<int16>(Height(src)), static_cast<int16>(Width(src))}, 32, nullptr);
  if (Is_Null_PixMap(out)) return;
  for (int32 y = 0; y < Height(src); ++y) std::memcpy(Row(out, y), Row(src, y), static_cast<size_t>(Width(src)) * 4);
}

// out := the mask at 8 bits over the picture's size: a 1-bit mask widened
// (255 inside), an 8-bit one copied; no mask covers everything.
void Widen_Mask(const PixMap& mask, int32 w, int32 h, PixMap& out) {
  New_PixMap(out, Rect{0, 0, static_cast<int16>(h), static_cast<int16>(w)}, 8, nullptr);
  if (Is_Null_PixMap(out)) return;
  const bool none = Is_Null_PixMap(mask);
  for (int32 y = 0; y < h; ++y) {
    uint8* d = Row(out, y);
    if (none || y >= Height(mask)) {
      std::memset(d, none ? 255 : 0, static_cast<size_t>(w));
      continue;
    }
    const uint8* m = Row(mask, y);
    for (int32 x = 0; x < w; ++x) {
      if (x >= Width(mask)) {
        d[x] = 0;
      } else if (mask.pixelSize == 1) {
        d[x] = (m[x >> 3] & (0x80 >> (x & 7))) != 0 ? 255 : 0;
      } else {
        d[x] = m[x];
      }
    }
  }
}

// out := a 1-bit mask set where the 8-bit mask is above 128.
void Threshold_Mask(const PixMap& mask8, PixMap& out) {
  New_PixMap(out, Rect{0, 0, static_cast<int16>(Height(mask8)), static_cast<int16>(Width(mask8))}, 1, nullptr);
  if (Is_Null_PixMap(out)) return;
  for (int32 y = 0; y < Height(mask8); ++y) {
    const uint8* m = Row(mask8, y);
    uint8* d = Row(out, y);
    for (int32 x = 0; x < Width(mask8); ++x)
      if (m[x] > 128) d[x >> 3] = static_cast<uint8>(d[x >> 3] | (0x80 >> (x & 7)));
  }
}

// Every pixel's hue turned by `shift` degrees (alpha kept).
void ColorShift32(PixMap& pix, int16 shift) {
  for (int32 y = 0; y < Height(pix); ++y) {
    auto* p = reinterpret_cast<a_win_pixel32*>(Row(pix, y));
    for (int32 x = 0; x < Width(pix); ++x) {
      a_hsv_color hsv{};
      RGB_To_HSV(p[x], hsv);
      hsv.h = static_cast<int16>(((hsv.h + shift) % 360 + 360) % 360);
      const uint8 alpha = p[x].a;
      HSV_To_RGB(hsv, p[x]);
      p[x].a = alpha;
    }
  }
}

// Replaces `map` by the result of an engine transform that takes in/out.
template <typename Op>
void Transform(PixMap& map, Op op) {
  PixMap out;
  Null_PixMap(out);
  op(map, out);
  Dispose_PixMap(map);
  map = out;
}

using Warp8Proc = void (*)(int16, PixMap&, PixMap&);

// A skew or bend of a 32-bit map, one byte plane at a time through the
// 8-bit kernel.
void Warp32(Warp8Proc proc, int16 val, PixMap& pix) {
  const int32 w = Width(pix), h = Height(pix);
  PixMap planes[4];
  for (int c = 0; c < 4; ++c) {
    PixMap plane;
    New_PixMap(plane, Rect{0, 0, static_cast<int16>(h), static_cast<int16>(w)}, 8, nullptr);
    for (int32 y = 0; y < h && !Is_Null_PixMap(plane); ++y) {
      const uint8* s = Row(pix, y);
      uint8* d = Row(plane, y);
      for (int32 x = 0; x < w; ++x) d[x] = s[4 * x + c];
    }
    Null_PixMap(planes[c]);
    proc(val, plane, planes[c]);
    Dispose_PixMap(plane);
  }
  PixMap out;
  New_PixMap(out, planes[0].bounds, 32, nullptr);
  for (int32 y = 0; y < Height(out); ++y) {
    uint8* d = Row(out, y);
    for (int c = 0; c < 4; ++c) {
      const uint8* s = Row(planes[c], y);
      for (int32 x = 0; x < Width(out); ++x) d[4 * x + c] = s[x];
    }
  }
  for (PixMap& p : planes) Dispose_PixMap(p);
  Dispose_PixMap(pix);
  pix = out;
}

// A resample of a 32-bit or 8-bit map to w x h.
void Resample(PixMap& map, int32 w, int32 h) {
  PixMap out;
  const Rect dst{0, 0, static_cast<int16>(h), static_cast<int16>(w)};
  New_PixMap(out, dst, map.pixelSize, nullptr);
  if (Is_Null_PixMap(out)) return;
  Bicubic_Blt(&map, &out, map.bounds, dst);
  Dispose_PixMap(map);
  map = out;
}

uint32 Warp_Bound() { return std::min<uint32>(Heap_CalcLargest(), gs.custom_limit); }

}  // namespace

bool8 Warp_GenStamp2(bool8 flipx, bool8 flipy, int16 scaling, int16 rotation, int16 aspect, int16 darkness,
                     int16 colorshift, int16 skewx, int16 skewy, int16 bendx, int16 bendy, const PixMap& src_pix,
                     const PixMap& src_mask, PixMap& out_pix, PixMap& out_mask) {
  Null_PixMap(out_pix);
  Null_PixMap(out_mask);
  if (Is_Null_PixMap(src_pix) || src_pix.pixelSize != 32) return false;
  const uint32 bound = Warp_Bound();
  bool8 keep[5];
  int32 pw = 0, ph = 0;
  bool8 flagged = Warp_Predict(Width(src_pix), Height(src_pix), skewx, skewy, bendx, bendy, rotation, bound, pw, ph, keep);

  PixMap pix, mask;
  Copy32(src_pix, pix);
  Widen_Mask(src_mask, Width(src_pix), Height(src_pix), mask);
  if (darkness != 50) PixMap32_Darkness(&pix, static_cast<uint16>(std::clamp<int16>(darkness, 0, 100)));
  if (colorshift != 0) ColorShift32(pix, colorshift);
  if (keep[4]) {
    Transform(pix, [&](PixMap& in, PixMap& out) { PixMap_Rotate(NEAREST, false, rotation, in, out); });
    Transform(mask, [&](PixMap& in, PixMap& out) { PixMap_Rotate(NEAREST, false, rotation, in, out); });
  }
  const Warp8Proc procs[4] = {PixMap8_SkewX, PixMap8_SkewY, PixMap8_BendX, PixMap8_BendY};
  const int16 vals[4] = {skewx, skewy, bendx, bendy};
  for (int i = 0; i < 4; ++i) {
    if (!keep[i] || Is_Null_PixMap(pix) || Is_Null_PixMap(mask)) continue;
    Warp32(procs[i], vals[i], pix);
    Transform(mask, [&](PixMap& in, PixMap& out) { procs[i](vals[i], in, out); });
  }
  if (flipx) {
    PixMap_FlipX(&pix);
    PixMap_FlipX(&mask);
  }
  if (flipy) {
    PixMap_FlipY(&pix);
    PixMap_FlipY(&mask);
  }
  if ((scaling != 100 || aspect != 0) && !Is_Null_PixMap(pix) && !Is_Null_PixMap(mask)) {
    int32 sw = 0, sh = 0;
    if (Warp_Scaled_Size(Width(pix), Height(pix), scaling, aspect, bound, sw, sh)) flagged = true;
    if (sw != Width(pix) || sh != Height(pix)) {
      Resample(pix, sw, sh);
      Resample(mask, sw, sh);
    }
  }
  if (!Is_Null_PixMap(mask)) Threshold_Mask(mask, out_mask);
  Dispose_PixMap(mask);
  out_pix = pix;
  if (flagged) Memory_Constraint();
  return flagged;
}

// --- The stamp cache ---------------------------------------------------------------------

int16 Stamp_Scaling(int16 slider) {
  return SliderToScaling[std::clamp<int16>(slider, 1, 19) - 1];
}

void Stamp_Init() {
  Dispose_PixMap(gsc.stamp);
  Dispose_PixMap(gsc.stampM);
  gsc = a_stamp_cache{};
  New_PixMap(gsc.stamp, Rect{0, 0, 8, 8}, 32, nullptr);
  New_PixMap(gsc.stampM, Rect{0, 0, 8, 8}, 1, nullptr);
}

void Stamp_Stop() {
  Dispose_PixMap(gsc.stamp);
  Dispose_PixMap(gsc.stampM);
}

namespace {

void Set_Cache(PixMap& pix, PixMap& mask) {
  Dispose_PixMap(gsc.stamp);
  Dispose_PixMap(gsc.stampM);
  gsc.stamp = pix;
  gsc.stampM = mask;
}

// The cached stamp made from pix and mask by the warp now set (aspect 0 for
// the custom stamp), or from them unchanged under a null warp.
void Gen_Warped(PixMap& pix, PixMap& mask, bool8 custom) {
  if (Is_Warp_Null()) {
    Set_Cache(pix, mask);
    return;
  }
  const int16* sv = gs.slider_vals;
  PixMap wpix, wmask;
  Warp_GenStamp2(gs.toggle_vals[FLIPX_TOGGLE], gs.toggle_vals[FLIPY_TOGGLE], Stamp_Scaling(sv[STAMP_SIZE_SLIDER]),
                 static_cast<int16>(sv[STAMP_ROTATE_SLIDER] * 10), custom ? int16{0} : sv[STAMP_STRETCH_SLIDER],
                 sv[STAMP_DARKNESS_SLIDER], sv[STAMP_COLORSHIFT_SLIDER], sv[STAMP_SKEWX_SLIDER],
                 sv[STAMP_SKEWY_SLIDER], sv[STAMP_BENDX_SLIDER], sv[STAMP_BENDY_SLIDER], pix, mask, wpix, wmask);
  Dispose_PixMap(pix);
  Dispose_PixMap(mask);
  Set_Cache(wpix, wmask);
}

}  // namespace

void Cache_Warp_Parms() {
  const int16* sv = gs.slider_vals;
  gsc.warp_flipx = gs.toggle_vals[FLIPX_TOGGLE];
  gsc.warp_flipy = gs.toggle_vals[FLIPY_TOGGLE];
  gsc.size_slider = sv[STAMP_SIZE_SLIDER];
  gsc.rotate_slider = sv[STAMP_ROTATE_SLIDER];
  gsc.stretch_slider = sv[STAMP_STRETCH_SLIDER];
  gsc.darkness_slider = sv[STAMP_DARKNESS_SLIDER];
  gsc.colorshift_slider = sv[STAMP_COLORSHIFT_SLIDER];
  gsc.skewx_slider = sv[STAMP_SKEWX_SLIDER];
  gsc.skewy_slider = sv[STAMP_SKEWY_SLIDER];
  gsc.bendx_slider = sv[STAMP_BENDX_SLIDER];
  gsc.bendy_slider = sv[STAMP_BENDY_SLIDER];
}

bool8 Is_Warp_Changed() {
  const int16* sv = gs.slider_vals;
  return !(gsc.stamp_set == STAMP_STAMPSET && gsc.stamp_id == gs.bar_selection[STAMP_BAR] &&
           gsc.warp_flipx == gs.toggle_vals[FLIPX_TOGGLE] && gsc.warp_flipy == gs.toggle_vals[FLIPY_TOGGLE] &&
           gsc.size_slider == sv[STAMP_SIZE_SLIDER] && gsc.rotate_slider == sv[STAMP_ROTATE_SLIDER] &&
           gsc.stretch_slider == sv[STAMP_STRETCH_SLIDER] && gsc.darkness_slider == sv[STAMP_DARKNESS_SLIDER] &&
           gsc.colorshift_slider == sv[STAMP_COLORSHIFT_SLIDER] && gsc.skewx_slider == sv[STAMP_SKEWX_SLIDER] &&
           gsc.skewy_slider == sv[STAMP_SKEWY_SLIDER] && gsc.bendx_slider == sv[STAMP_BENDX_SLIDER] &&
           gsc.bendy_slider == sv[STAMP_BENDY_SLIDER]);
}

bool8 Is_Warp_Null() {
  const int16* sv = gs.slider_vals;
  return !gs.toggle_vals[FLIPX_TOGGLE] && !gs.toggle_vals[FLIPY_TOGGLE] && sv[STAMP_SIZE_SLIDER] == DEFAULT_STAMP_SIZE &&
         sv[STAMP_ROTATE_SLIDER] == 0 && sv[STAMP_STRETCH_SLIDER] == 0 && sv[STAMP_DARKNESS_SLIDER] == 50 &&
         sv[STAMP_COLORSHIFT_SLIDER] == 0 && sv[STAMP_SKEWX_SLIDER] == 0 && sv[STAMP_SKEWY_SLIDER] == 0 &&
         sv[STAMP_BENDX_SLIDER] == 0 && sv[STAMP_BENDY_SLIDER] == 0;
}

bool8 Stamp_Get(a_stamp_set set, int16 id, PixMap& pix, PixMap& mask) {
  Null_PixMap(pix);
  Null_PixMap(mask);
  if (set == STAMP_STAMPSET && id == CUSTOM_STAMP) {
    const a_doc_layer& cs = gs.custom_stamp;
    if (!cs.inuse || cs.world == nullptr) return false;
    const PixMap& w = *Get_GWorld_PixMap(cs.world);
    if (Is_Null_PixMap(w) || w.pixelSize != 32) return false;
    Copy32(w, pix);
    if (cs.mask != nullptr) {
      const PixMap& m = *Get_GWorld_PixMap(cs.mask);
      Widen_Mask(m, Width(w), Height(w), mask);
    }
    return !Is_Null_PixMap(pix);
  }
  a_keyset key{};
  StampID_To_Key(set, id, key);
  if (Is_Null_Key(key)) return false;
  a_pixt pixt{};
  if (KPixt_Load_Checked(key, pixt) != PIXT_OK) {
    Report_Missing_Key(kPixtType, key);
    return false;
  }
  Pixt_Lock(pixt);
  const Rect b = pixt.pixmap.bounds;
  New_PixMap(pix, Rect{0, 0, static_cast<int16>(b.bottom - b.top), static_cast<int16>(b.right - b.left)}, 32,
             nullptr);
  if (!Is_Null_PixMap(pix)) Pix_To_Pix(&pixt.pixmap, &pix, b, pix.bounds, srcCopy, nullptr);
  Pixt_Unlock(pixt);
  Pixt_Unload(pixt);
  if (!Is_Null_PixMap(pix)) Stamp_To_Mask1(pix, mask);
  return !Is_Null_PixMap(pix);
}

void Stamp_GenStamp() {
  const int16 id = gs.bar_selection[STAMP_BAR];
  Cache_Warp_Parms();
  gsc.stamp_set = STAMP_STAMPSET;
  gsc.stamp_id = id;
  PixMap pix, mask;
  if (!Stamp_Get(STAMP_STAMPSET, id, pix, mask)) {
    Set_Cache(pix, mask);  // no picture: an empty stamp, not the last one
    return;
  }
  Gen_Warped(pix, mask, false);
  Swatch_PostUpdate();
}

void Custom_GenStamp() {
  Cache_Warp_Parms();
  gsc.stamp_set = STAMP_STAMPSET;
  gsc.stamp_id = CUSTOM_STAMP;
  gsc.stamp_seq = gs.custom_stamp.seq;
  PixMap pix, mask;
  if (!Stamp_Get(STAMP_STAMPSET, CUSTOM_STAMP, pix, mask)) {
    Set_Cache(pix, mask);
    return;
  }
  Gen_Warped(pix, mask, true);
  Swatch_PostUpdate();
}

void Pattern_GenStamp() {
  const int16 id = gs.bar_selection[PATTERN_BAR];
  gsc.stamp_set = PATTERN_STAMPSET;
  gsc.stamp_id = id;
  PixMap pix, mask;
  Stamp_Get(PATTERN_STAMPSET, id, pix, mask);
  Set_Cache(pix, mask);
}

void Get_Fill_Stamp(PixMapPtr& stamp, PixMapPtr& mask) {
  if (gs.tool_net == BRUSH_TOOL) {
    if (gsc.stamp_set != BRUSH_STAMPSET || gsc.stamp_color.raw != gs.fill_color32.raw ||
        gsc.stamp_id != gs.grid_vals[BRUSH_SHAPE_GRID])
      Brush_GenStamp();
  } else if (gs.fill_kind == STAMP_FILL) {
    if (gs.bar_selection[STAMP_BAR] == CUSTOM_STAMP) {
      if (gsc.stamp_seq != gs.custom_stamp.seq || Is_Warp_Changed()) Custom_GenStamp();
    } else if (Is_Warp_Changed()) {
      Stamp_GenStamp();
    }
  } else if (gs.fill_kind == PATTERN_FILL) {
    if (gsc.stamp_set != PATTERN_STAMPSET || gsc.stamp_id != gs.bar_selection[PATTERN_BAR]) Pattern_GenStamp();
  }
  stamp = &gsc.stamp;
  mask = &gsc.stampM;
}

// --- Bar cells -----------------------------------------------------------------------------

void Draw_Pix_To_Fit(const PixMap& pix, const Rect& destrect) {
  if (Is_Null_PixMap(pix)) return;
  Rect fit{};
  Calc_Rect_Fit(pix.bounds, destrect, fit);
  PixMap& src = const_cast<PixMap&>(pix);
  const bool same = fit.right - fit.left == Width(pix) && fit.bottom - fit.top == Height(pix);
  if (same || pix.pixelSize != 32) {
    Pix_To_Port(&src, nullptr, pix.bounds, fit, srcCopy, nullptr);
    return;
  }
  PixMap scaled;
  const Rect sb{0, 0, static_cast<int16>(fit.bottom - fit.top), static_cast<int16>(fit.right - fit.left)};
  New_PixMap(scaled, sb, 32, nullptr);
  if (Is_Null_PixMap(scaled)) return;
  Bicubic_Blt(&src, &scaled, pix.bounds, sb);
  Pix_To_Port(&scaled, nullptr, sb, fit, srcCopy, nullptr);
  Dispose_PixMap(scaled);
}

void Stamp_DrawElement(int16 id, const Rect& destrect) {
  ForeColor(0);
  PaintRect(destrect);
  ForeColor(1);
  PixMap pix, mask;
  if (id == CUSTOM_STAMP) {
    // No custom stamp yet: an empty cell. The fill stamp's cache is not the
    // bar's to touch.
    if (!Stamp_Get(STAMP_STAMPSET, CUSTOM_STAMP, pix, mask)) {
      Dispose_PixMap(pix);
      Dispose_PixMap(mask);
      return;
    }
    Rect fit{};
    Calc_Rect_Fit(pix.bounds, destrect, fit);
    Pix_To_Port_Deep(&pix, Is_Null_PixMap(mask) ? nullptr : &mask, nullptr, pix.bounds, pix.bounds, fit, nullptr);
  } else {
    a_keyset key{};
    StampID_To_Key(STAMP_STAMPSET, id, key);
    if (Is_Null_Key(key)) return;
    a_keyset thumb = key;
    thumb.d = static_cast<int16>(thumb.d + 1);
    a_pixt pixt{};
    const a_keyset& use = OP_Exists(thumb) ? thumb : key;
    if (KPixt_Load_Checked(use, pixt) != PIXT_OK) return;
    Pixt_Lock(pixt);
    Draw_Pix_To_Fit(pixt.pixmap, destrect);
    Pixt_Unlock(pixt);
    Pixt_Unload(pixt);
    return;
  }
  Dispose_PixMap(pix);
  Dispose_PixMap(mask);
}

void Pattern_DrawElement(int16 id, const Rect& destrect) {
  PixMap pix, mask;
  if (!Stamp_Get(PATTERN_STAMPSET, id, pix, mask)) return;
  // The pattern repeats across the cell.
  const int32 w = Width(pix), h = Height(pix);
  for (int32 y = destrect.top; y < destrect.bottom && w > 0 && h > 0; y += h)
    for (int32 x = destrect.left; x < destrect.right; x += w) {
      const Rect src{0, 0, static_cast<int16>(std::min<int32>(h, destrect.bottom - y)),
                     static_cast<int16>(std::min<int32>(w, destrect.right - x))};
      const Rect dst{static_cast<int16>(y), static_cast<int16>(x), static_cast<int16>(y + src.bottom),
                     static_cast<int16>(x + src.right)};
      Pix_To_Port(&pix, nullptr, src, dst, srcCopy, nullptr);
    }
  Dispose_PixMap(pix);
  Dispose_PixMap(mask);
}

// --- Commands ------------------------------------------------------------------------------

void Stamp_Plus2() { Slider_SetRel(STAMP_SIZE_SLIDER, 1); }
void Stamp_Minus2() { Slider_SetRel(STAMP_SIZE_SLIDER, -1); }

int16 Stamp_Rotate_Value(int16 current, int16 angle) {
  int32 v = current + angle;
  while (v > 180) v -= 360;
  while (v < -180) v += 360;
  return static_cast<int16>(v);
}

void Stamp_Rotate(int16 angle) { Slider_SetVal(STAMP_ROTATE_SLIDER, Stamp_Rotate_Value(gs.slider_vals[STAMP_ROTATE_SLIDER], angle)); }
void Stamp_RotateCW() { Stamp_Rotate(-90); }
void Stamp_RotateCCW() { Stamp_Rotate(90); }
void Stamp_FlipX() { Toggle_Blast(FLIPX_TOGGLE, !gs.toggle_vals[FLIPX_TOGGLE]); }
void Stamp_FlipY() { Toggle_Blast(FLIPY_TOGGLE, !gs.toggle_vals[FLIPY_TOGGLE]); }

bool8 XYZ_KeyFilter(char key) {
  switch (key) {
    case 'x': case 'X': Stamp_FlipX(); break;
    case 'y': case 'Y': Stamp_FlipY(); break;
    case 'z': case 'Z': Stamp_RotateCW(); break;
    default: return false;
  }
  g_cursor_dirty = true;
  return true;
}

void Warp_Slider_Default() {
  Toggle_Blast(FLIPX_TOGGLE, false);
  Toggle_Blast(FLIPY_TOGGLE, false);
  for (int16 s = PAINT_OPACITY_SLIDER; s <= STAMP_STRETCH_SLIDER; ++s) Slider_Default(s);
}

void Stamp_Select() {}
void Pattern_Select() {}

namespace {

// Dragging one of the four skew and bend sliders puts the other three back.
void Exclusive_Thumb(int16 dragged) {
  for (int16 s : {STAMP_SKEWX_SLIDER, STAMP_SKEWY_SLIDER, STAMP_BENDX_SLIDER, STAMP_BENDY_SLIDER})
    if (s != dragged && gs.slider_vals[s] != SLIDER_VALUES[s].defaultval) Slider_Blast(s, SLIDER_VALUES[s].defaultval);
}

}  // namespace

void SkewX_Thumb() { Exclusive_Thumb(STAMP_SKEWX_SLIDER); }
void SkewY_Thumb() { Exclusive_Thumb(STAMP_SKEWY_SLIDER); }
void BendX_Thumb() { Exclusive_Thumb(STAMP_BENDX_SLIDER); }
void BendY_Thumb() { Exclusive_Thumb(STAMP_BENDY_SLIDER); }
