#include "objects/VoskTextDraw.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "doc/VoskFunc.h"
#include "pixel/DrawUtil.h"
#include "pixel/DrawUtilDraw.h"
#include "pixel/DrawUtilMasked.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysFont.h"
#include "platform/SysVideo.h"
#include "ui/VoskIntI.h"

namespace {

const Rect kNoRect{0, 0, 0, 0};

int16 Clamp16(int64 v) { return int16(std::clamp<int64>(v, -32768, 32767)); }

Rect Grown(const Rect& r, int32 by) {
  return Rect{Clamp16(int64(r.top) - by), Clamp16(int64(r.left) - by), Clamp16(int64(r.bottom) + by),
              Clamp16(int64(r.right) + by)};
}

int32 Width(const Rect& r) { return int32(r.right) - r.left; }
int32 Height(const Rect& r) { return int32(r.bottom) - r.top; }

// The pixel at (x, y) of a world, which must hold it.
uint8* At8(GWorldPtr w, int32 x, int32 y) {
  const PixMap& p = *Get_GWorld_PixMap(w);
  return reinterpret_cast<uint8*>(p.baseAddr) + size_t(y - p.bounds.top) * PixMap_RowBytes(p) + (x - p.bounds.left);
}
a_win_pixel32* At32(GWorldPtr w, int32 x, int32 y) {
  const PixMap& p = *Get_GWorld_PixMap(w);
  return reinterpret_cast<a_win_pixel32*>(reinterpret_cast<uint8*>(p.baseAddr) +
                                          size_t(y - p.bounds.top) * PixMap_RowBytes(p)) +
         (x - p.bounds.left);
}

Rect World_Bounds(GWorldPtr w) {
  Rect r = kNoRect;
  if (w != nullptr) Get_GWorld_Bounds(w, r);
  return r;
}

// A setting from a file or the clipboard limited to its slider's range.
int16 Slider_Limited(int16 value, a_slider_enum slider) {
  return std::clamp(value, SLIDER_VALUES[slider].minval, SLIDER_VALUES[slider].maxval);
}

// A length of unit pixels in target pixels (at least 1 when it was not 0).
int32 Mapped_Length(int32 v, float mult) {
  if (v == 0) return 0;
  const int32 m = int32(std::lround(float(v) * std::fabs(mult)));
  return m != 0 ? m : (v > 0 ? 1 : -1);
}

void Fill_World32(GWorldPtr w, const Rect& box, a_win_pixel32 color) {
  for (int32 y = box.top; y < box.bottom; ++y) std::fill_n(At32(w, box.left, y), Width(box), color);
}

// A masked world over box with its mask cleared; FALSE (mw empty) when it
// cannot be made.
bool New_Clear_MW(const char* label, const Rect& box, a_masked_gworld& mw) {
  Null_MW(mw);
  if (EmptyRect(box)) return false;
  New_MW(label, box, mw);
  if (mw.fore == nullptr || mw.mask == nullptr) {
    Dispose_MW(mw);
    return false;
  }
  for (int32 y = box.top; y < box.bottom; ++y) std::memset(At8(mw.mask, box.left, y), 0, size_t(Width(box)));
  return true;
}

}  // namespace

uint8 Percent_To_Level(int32 percent) { return uint8(std::clamp(percent, 0, 100) * 255 / 100); }

// --- Pixels -------------------------------------------------------------------------------

void Blend_Pixels(a_win_pixel32& dst, a_win_pixel32 a, a_win_pixel32 b, uint8 weight) {
  const int32 w = weight;
  auto mix = [w](uint8 x, uint8 y) { return uint8((int32(x) * (255 - w) + int32(y) * w) / 255); };
  dst.b = mix(a.b, b.b);
  dst.g = mix(a.g, b.g);
  dst.r = mix(a.r, b.r);
  dst.a = mix(a.a, b.a);
}

void Text8_To_32(GWorldPtr mask, GWorldPtr target, const Rect& box, int16 percent) {
  if (mask == nullptr || target == nullptr) return;
  Rect r;
  if (!SectRect(box, World_Bounds(mask), r) || !SectRect(r, World_Bounds(target), r)) return;
  const int32 k = std::clamp<int32>(percent, 0, 100) * 128 / 100;
  for (int32 y = r.top; y < r.bottom; ++y) {
    const uint8* m = At8(mask, r.left, y);
    a_win_pixel32* t = At32(target, r.left, y);
    for (int32 x = 0; x < Width(r); ++x)
      if (m[x] != 0) t[x].a = uint8(std::min<int32>(255, m[x] * k / 128));
  }
}

Rect Mask_Ink_Box(GWorldPtr mask, const Rect& box) {
  Rect r;
  if (mask == nullptr || !SectRect(box, World_Bounds(mask), r)) return kNoRect;
  int32 top = r.bottom, bottom = r.top, left = r.right, right = r.left;
  for (int32 y = r.top; y < r.bottom; ++y) {
    const uint8* m = At8(mask, r.left, y);
    const int32 w = Width(r);
    int32 first = 0;
    while (first < w && m[first] == 0) ++first;
    if (first == w) continue;
    int32 last = w - 1;
    while (m[last] == 0) --last;
    top = std::min(top, y);
    bottom = y + 1;
    left = std::min(left, r.left + first);
    right = std::max(right, r.left + last + 1);
  }
  if (top >= bottom) return kNoRect;
  return Rect{int16(top), int16(left), int16(bottom), int16(right)};
}

// --- Glow and outline ---------------------------------------------------------------------

void Build_Glow_Ramp(const a_glow_spec& spec, std::vector<a_glow_entry>& ramp) {
  ramp.clear();
  const int32 outl = std::max(0, spec.outl_radius), glow = std::max(0, spec.glow_radius);
  for (int32 d = 0; d < BODY_DISTANCE; ++d) ramp.push_back({spec.base_color, spec.text_level});
  if (outl > 0) {
    const int32 oend = BODY_DISTANCE + (outl - 1) * 6;
    for (int32 d = BODY_DISTANCE; d < oend; ++d) ramp.push_back({spec.outl_color, spec.text_level});
    if (glow > 0) {
      // The glow fades from the outline's end; its first 6 units blend the
      // outline into it.
      const int32 span = glow * 6, gend = oend + span;
      for (int32 d = oend; d < gend; ++d) {
        uint8 level = uint8(int32(spec.glow_level) * (gend - d) / span);
        a_win_pixel32 color = spec.glow_color;
        if (d < oend + 6) {
          const uint8 w = uint8((d - oend) * 255 / 6);
          Blend_Pixels(color, spec.outl_color, spec.glow_color, w);
          level = uint8((int32(spec.text_level) * (255 - w) + int32(level) * w) / 255);
        }
        ramp.push_back({color, level});
      }
    } else {
      for (int32 d = oend; d < oend + 12; ++d)
        ramp.push_back({spec.outl_color, uint8(int32(spec.text_level) * (oend + 12 - d) / 12)});
    }
  } else if (glow > 0) {
    const int32 span = glow * 6;
    for (int32 d = BODY_DISTANCE; d < BODY_DISTANCE + span; ++d)
      ramp.push_back({spec.glow_color, uint8(int32(spec.glow_level) * (BODY_DISTANCE + span - d) / span)});
  }
  while (!ramp.empty() && ramp.back().level == 0) ramp.pop_back();
}

void Calc_Glow_Distance(a_distance_map& map, const Rect& box, GWorldPtr coverage) {
  map.d.clear();
  if (coverage == nullptr || !SectRect(box, World_Bounds(coverage), map.box)) {
    map.box = kNoRect;
    return;
  }
  const int32 w = Width(map.box), h = Height(map.box);
  map.d.assign(size_t(w) * size_t(h), FAR_DISTANCE);
  uint16* d = map.d.data();
  std::vector<bool> inked(size_t(h), false);
  for (int32 y = 0; y < h; ++y) {
    const uint8* c = At8(coverage, map.box.left, map.box.top + y);
    uint16* row = d + size_t(y) * size_t(w);
    for (int32 x = 0; x < w; ++x)
      if (c[x] != 0) {
        row[x] = uint16((255 - c[x]) * STRAIGHT_STEP / 255);
        inked[size_t(y)] = true;
      }
  }
  // A value plus a step stays within 16 bits (65000 + 17), and the minimum
  // with a value already there never passes FAR_DISTANCE.
  static_assert(uint32(FAR_DISTANCE) + DIAGONAL_STEP <= 0xFFFF);
  // Along rows, both ways (a row without text stays far).
  for (int32 y = 0; y < h; ++y) {
    if (!inked[size_t(y)]) continue;
    uint16* row = d + size_t(y) * size_t(w);
    for (int32 x = 1; x < w; ++x) row[x] = std::min<uint16>(row[x], uint16(row[x - 1] + STRAIGHT_STEP));
    for (int32 x = w - 2; x >= 0; --x) row[x] = std::min<uint16>(row[x], uint16(row[x + 1] + STRAIGHT_STEP));
  }
  // Along columns, down and up, a row at a time; then the four diagonals.
  auto from_row = [&](int32 y, int32 ysrc, int32 dx, uint16 step) {
    uint16* __restrict row = d + size_t(y) * size_t(w);
    const uint16* __restrict src = d + size_t(ysrc) * size_t(w) + dx;
    const int32 x0 = std::max(0, -dx), x1 = std::min(w, w - dx);
    int32 x = x0;
#if defined(__SSE2__)
    // Eight at a time: min(a, b) = a - (a - b saturated at 0).
    const __m128i add = _mm_set1_epi16(int16(step));
    for (; x + 8 <= x1; x += 8) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
      const __m128i b = _mm_add_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x)), add);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), _mm_sub_epi16(a, _mm_subs_epu16(a, b)));
    }
#endif
    for (; x < x1; ++x) row[x] = std::min<uint16>(row[x], uint16(src[x] + step));
  };
  for (int32 y = 1; y < h; ++y) from_row(y, y - 1, 0, STRAIGHT_STEP);
  for (int32 y = h - 2; y >= 0; --y) from_row(y, y + 1, 0, STRAIGHT_STEP);
  for (int32 y = 1; y < h; ++y) from_row(y, y - 1, -1, DIAGONAL_STEP);  // down and right
  for (int32 y = 1; y < h; ++y) from_row(y, y - 1, 1, DIAGONAL_STEP);   // down and left
  for (int32 y = h - 2; y >= 0; --y) from_row(y, y + 1, 1, DIAGONAL_STEP);   // up and left
  for (int32 y = h - 2; y >= 0; --y) from_row(y, y + 1, -1, DIAGONAL_STEP);  // up and right
}

bool8 Distance_To_Glow(const a_distance_map& map, const std::vector<a_glow_entry>& ramp, a_masked_gworld& out,
                       Rect& setbox) {
  Null_MW(out);
  setbox = kNoRect;
  const int32 w = Width(map.box), h = Height(map.box);
  if (w <= 0 || h <= 0 || ramp.empty()) return false;
  const size_t n = ramp.size();
  auto shows = [&](uint16 v) { return v < n && ramp[v].level != 0; };
  int32 top = h, bottom = 0, left = w, right = 0;
  for (int32 y = 0; y < h; ++y) {
    const uint16* row = map.d.data() + size_t(y) * size_t(w);
    int32 first = 0;
    while (first < w && !shows(row[first])) ++first;
    if (first == w) continue;
    int32 last = w - 1;
    while (!shows(row[last])) --last;
    top = std::min(top, y);
    bottom = y + 1;
    left = std::min(left, first);
    right = std::max(right, last + 1);
  }
  if (top >= bottom) return false;
  const Rect box{int16(map.box.top + top), int16(map.box.left + left), int16(map.box.top + bottom),
                 int16(map.box.left + right)};
  if (!New_Clear_MW("Distance_To_Glow", box, out)) return false;
  const a_glow_entry none{{{0, 0, 0, 0}}, 0};
  for (int32 y = top; y < bottom; ++y) {
    const uint16* row = map.d.data() + size_t(y) * size_t(w);
    uint8* m = At8(out.mask, box.left, map.box.top + y);
    a_win_pixel32* f = At32(out.fore, box.left, map.box.top + y);
    for (int32 x = left; x < right; ++x) {
      const a_glow_entry& e = row[x] < n ? ramp[row[x]] : none;
      m[x - left] = e.level;
      a_win_pixel32 c = e.color;
      c.a = e.level;
      f[x - left] = c;
    }
  }
  setbox = box;
  return true;
}

// --- Shadow -------------------------------------------------------------------------------

void Calc_Text_Shadow(Rect& ubox, a_masked_gworld& shad, GWorldPtr src, const Rect& src_box, a_win_pixel32 color,
                      int16 radius, int16 dx, int16 dy, uint8 shad_level, uint8 text_level) {
  Null_MW(shad);
  ubox = src_box;
  Rect from;
  if (src == nullptr || !SectRect(src_box, World_Bounds(src), from)) return;
  radius = std::max<int16>(radius, 0);
  // 1. Toward the side the shadow falls, then grown by the blur.
  Rect box = from;
  if (dx >= 1) box.right = Clamp16(int32(box.right) + dx); else box.left = Clamp16(int32(box.left) + dx);
  if (dy >= 1) box.bottom = Clamp16(int32(box.bottom) + dy); else box.top = Clamp16(int32(box.top) + dy);
  box = Grown(box, radius);
  // 2. The mask moved by (dx, dy); 3. its levels remapped.
  if (!New_Clear_MW("Calc_Text_Shadow", box, shad)) return;
  uint8 remap[256];
  for (int32 v = 0; v < 256; ++v)
    remap[v] = shad_level == text_level || text_level == 0 ? uint8(v)
                                                           : uint8(std::min<int32>(255, v * shad_level / text_level));
  Rect to = from;
  OffsetRect(to, dx, dy);
  Rect part;
  if (SectRect(to, box, part)) {
    for (int32 y = part.top; y < part.bottom; ++y) {
      const uint8* s = At8(src, part.left - dx, y - dy);
      uint8* m = At8(shad.mask, part.left, y);
      for (int32 x = 0; x < Width(part); ++x) m[x] = remap[s[x]];
    }
  }
  // 4. The blur; 5. the colour.
  if (radius > 0) Blur_PixMap8(Get_GWorld_PixMap(shad.mask), box, radius);
  color.a = 255;
  Fill_World32(shad.fore, box, color);
  UnionRect(box, src_box, ubox);
}

// --- Rendering ------------------------------------------------------------------------------

void Apply_Mapping_To_Char(const a_coord_mapping& mapping, Point origin, float size, a_mapped_char& out) {
  out.x = (float(origin.h) - mapping.fdecx) * mapping.multx + mapping.originx;
  out.y = (float(origin.v) - mapping.fdecy) * mapping.multy + mapping.originy;
  out.size = size * std::fabs(mapping.multy);
}

void Render_Text_Coverage(const a_om_rec* om, const a_coord_mapping& mapping, GWorldPtr coverage,
                          a_masked_gworld& text, a_masked_gworld& shad) {
  Null_MW(text);
  Null_MW(shad);
  if (om == nullptr || coverage == nullptr) return;
  const Rect area = World_Bounds(coverage);
  const Rect ink = Mask_Ink_Box(coverage, area);
  if (EmptyRect(ink)) return;
  const float mult = std::fabs(mapping.multx);
  const int32 outl =
      om->outlf ? Mapped_Length(Slider_Limited(om->outl_radius, TEXT_OUTL_RADIUS_SLIDER), mult) : 0;
  const int32 glow =
      om->glowf ? Mapped_Length(Slider_Limited(om->glow_radius, TEXT_GLOW_RADIUS_SLIDER), mult) : 0;
  const uint8 text_level = Percent_To_Level(Slider_Limited(om->opacity, TEXT_OPACITY_SLIDER));
  Rect tbox = kNoRect;
  GWorldPtr tmask = nullptr;
  if (outl == 0 && glow == 0) {
    // The drawn levels are the mask; the colour is the text's.
    if (!New_Clear_MW("OM_Render", ink, text)) return;
    for (int32 y = ink.top; y < ink.bottom; ++y) std::memcpy(At8(text.mask, ink.left, y), At8(coverage, ink.left, y), size_t(Width(ink)));
    a_win_pixel32 c = om->base_color;
    c.a = 255;
    Fill_World32(text.fore, ink, c);
    tbox = ink;
  } else {
    Rect reach;
    SectRect(Grown(ink, glow + outl + 4), area, reach);
    a_distance_map map;
    Calc_Glow_Distance(map, reach, coverage);
    a_glow_spec spec{};
    spec.base_color = om->base_color;
    spec.outl_color = om->outl_color;
    spec.glow_color = om->glow_color;
    spec.text_level = text_level;
    spec.glow_level = Percent_To_Level(Slider_Limited(om->glow_opacity, TEXT_GLOW_OPACITY_SLIDER));
    spec.outl_radius = outl;
    spec.glow_radius = glow;
    std::vector<a_glow_entry> ramp;
    Build_Glow_Ramp(spec, ramp);
    if (!Distance_To_Glow(map, ramp, text, tbox)) return;
  }
  tmask = text.mask;
  if (!om->shadf || EmptyRect(tbox)) return;
  const int16 dx = Clamp16(Mapped_Length(Slider_Limited(om->shad_dx, TEXT_SHAD_DX_SLIDER), mapping.multx));
  const int16 dy = Clamp16(Mapped_Length(Slider_Limited(om->shad_dy, TEXT_SHAD_DY_SLIDER), mapping.multy));
  const int16 radius = Clamp16(Mapped_Length(Slider_Limited(om->shad_radius, TEXT_SHAD_RADIUS_SLIDER), mult));
  const uint8 shad_level = Percent_To_Level(Slider_Limited(om->shad_opacity, TEXT_SHAD_OPACITY_SLIDER));
  Rect ubox;
  Calc_Text_Shadow(ubox, shad, tmask, tbox, om->shad_color, radius, dx, dy, shad_level, text_level);
}

namespace {

// Calls plot(x, y, coverage 1 .. 255) for the pixels of clip a convex
// quadrilateral (corners in order, either way round) covers, sampled 4 x 4
// in each pixel.
template <typename Plot>
void Fill_Quad(const float (&qx)[4], const float (&qy)[4], const Rect& clip, Plot plot) {
  float x0 = qx[0], x1 = qx[0], y0 = qy[0], y1 = qy[0];
  for (int k = 1; k < 4; ++k) {
    x0 = std::min(x0, qx[k]), x1 = std::max(x1, qx[k]);
    y0 = std::min(y0, qy[k]), y1 = std::max(y1, qy[k]);
  }
  if (!(x0 < x1) || !(y0 < y1)) return;
  const int32 left = std::max<int32>(clip.left, int32(std::floor(x0))), right = std::min<int32>(clip.right, int32(std::ceil(x1)));
  const int32 top = std::max<int32>(clip.top, int32(std::floor(y0))), bottom = std::min<int32>(clip.bottom, int32(std::ceil(y1)));
  // The sign of the quadrilateral's turning, so that inside is where every
  // edge function agrees with it.
  float area = 0;
  for (int k = 0; k < 4; ++k) area += qx[k] * qy[(k + 1) % 4] - qx[(k + 1) % 4] * qy[k];
  const float sign = area >= 0 ? 1.0f : -1.0f;
  auto inside = [&](float px, float py) {
    for (int k = 0; k < 4; ++k) {
      const int n = (k + 1) % 4;
      if (sign * ((qx[n] - qx[k]) * (py - qy[k]) - (qy[n] - qy[k]) * (px - qx[k])) < 0) return false;
    }
    return true;
  };
  for (int32 y = top; y < bottom; ++y)
    for (int32 x = left; x < right; ++x) {
      int32 hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) hits += inside(float(x) + (float(sx) + 0.5f) / 4, float(y) + (float(sy) + 0.5f) / 4);
      if (hits != 0) plot(x, y, uint8(std::min(255, hits * 16)));
    }
}

// The corners of a band along a character's baseline from origin (x, y) at
// angle (tenths of a degree, counter-clockwise): along it from along0 to
// along1, across it from below0 to below1 (positive: under the baseline).
void Baseline_Band(float x, float y, float tenths, float along0, float along1, float below0, float below1,
                   float (&qx)[4], float (&qy)[4]) {
  const double a = double(tenths) * 3.14159265358979323846 / 1800.0;
  const float ux = float(std::cos(a)), uy = float(-std::sin(a));  // along the baseline, screen y down
  const float nx = -uy, ny = ux;                                   // under it
  const float al[4] = {along0, along1, along1, along0};
  const float be[4] = {below0, below0, below1, below1};
  for (int k = 0; k < 4; ++k) {
    qx[k] = x + ux * al[k] + nx * be[k];
    qy[k] = y + uy * al[k] + ny * be[k];
  }
}

bool Underlined(const a_om_rec& om, int32 i) { return om.undf || om.xyl[i].cc_undf; }

// The last entry a walk over the characters may look at.
int32 Text_End(const a_om_rec& om) { return std::clamp<int32>(om.nxyl, 0, MAX_NXYL); }

// Whether space i lies between underlined characters of its line.
bool Space_Underlined(const a_om_rec& om, int32 i, int32 end) {
  if (!Underlined(om, i)) return false;
  auto regular_underlined = [&](int32 step) {
    for (int32 j = i + step; j >= 0 && j < end; j += step) {
      const a_char_category c = om.xyl[j].mm_cat;
      if (c == CC_SPACE) continue;
      return c == CC_REGULAR && Underlined(om, j);
    }
    return false;
  };
  return regular_underlined(-1) && regular_underlined(1);
}

// Moves an 8-bit value toward level by coverage.
inline void Cover_Toward(uint8& v, uint8 level, uint8 cov) { v = uint8(v + (int32(level) - v) * cov / 255); }

}  // namespace

void OM_Render_In(const a_coord_mapping& mapping, a_om_rec* om, uint32 ux, a_masked_gworld& text,
                  a_masked_gworld& shad) {
  Null_MW(text);
  Null_MW(shad);
  if (om == nullptr) return;
  const a_doc_unit* unit = ux >= 1 && ux <= MAXNUNITS ? g_doc.doc_units[ux - 1] : nullptr;
  const Rect paintbounds = unit != nullptr ? unit->paintbounds : kNoRect;
  // 1. The area: the text's box and margin, no further than the effects
  // reach past the unit.
  int32 reach = 4;
  if (om->glowf) reach += Slider_Limited(om->glow_radius, TEXT_GLOW_RADIUS_SLIDER);
  if (om->outlf) reach += Slider_Limited(om->outl_radius, TEXT_OUTL_RADIUS_SLIDER);
  if (om->shadf)
    reach += std::max(std::abs(Slider_Limited(om->shad_dx, TEXT_SHAD_DX_SLIDER)),
                      std::abs(Slider_Limited(om->shad_dy, TEXT_SHAD_DY_SLIDER))) +
             Slider_Limited(om->shad_radius, TEXT_SHAD_RADIUS_SLIDER);
  Rect cells = Grown(om->bbox, TEXT_AREA_MARGIN);
  if (!EmptyRect(paintbounds) && !SectRect(cells, Grown(paintbounds, reach), cells)) return;
  if (EmptyRect(cells)) return;
  a_mapped_char c0, c1;
  Apply_Mapping_To_Char(mapping, Point{cells.top, cells.left}, 0, c0);
  Apply_Mapping_To_Char(mapping, Point{cells.bottom, cells.right}, 0, c1);
  const Rect area{Clamp16(int64(std::floor(std::min(c0.y, c1.y)))), Clamp16(int64(std::floor(std::min(c0.x, c1.x)))),
                  Clamp16(int64(std::ceil(std::max(c0.y, c1.y)))), Clamp16(int64(std::ceil(std::max(c0.x, c1.x))))};
  if (EmptyRect(area)) return;
  GWorldPtr cover = nullptr;
  New_GWorldF("OM_Render", area, 8, gray_ctable, cover);
  if (cover == nullptr) return;
  for (int32 y = area.top; y < area.bottom; ++y) std::memset(At8(cover, area.left, y), 0, size_t(Width(area)));
  // 2. The regular characters in the text's level: coverage x opacity, at
  // the sizes the layout measured them at.
  Push_TextSize_Mapping_U(ux);
  const uint8 level = Percent_To_Level(Slider_Limited(om->opacity, TEXT_OPACITY_SLIDER));
  const a_pixel32 grey{{level, level, level, 255}};
  const double scale = std::fabs(double(mapping.multx));
  PixMap& pix = *Get_GWorld_PixMap(cover);
  const int32 end = Text_End(*om);
  for (int32 i = 0; i < end; ++i) {
    const a_xyl_char& ch = om->xyl[i];
    if (ch.mm_cat == CC_EOS) break;
    if (ch.mm_cat != CC_REGULAR && ch.mm_cat != CC_SPACE) continue;
    const bool under = ch.mm_cat == CC_REGULAR ? Underlined(*om, i) : Space_Underlined(*om, i, end);
    int32 units = 1;
    const char32_t cp = XYL_Code_Point(*om, i, units);
    if (ch.mm_cat == CC_REGULAR && cp == 0 && !under) continue;
    a_fontspec spec;
    Calc_Net_Char(*om, i, spec);
    spec.angle = ch.mm_t;
    a_mapped_char m;
    Apply_Mapping_To_Char(mapping, Point{ch.mm_y, ch.mm_x}, float(spec.size), m);
    if (ch.mm_cat == CC_REGULAR && cp != 0)
      Draw_Glyph(pix, spec, cp, double(m.x) - area.left + pix.bounds.left, double(m.y) - area.top + pix.bounds.top,
                 scale, grey, nullptr);
    if (!under) continue;
    // The underline along the baseline, under the character's advance.
    a_glyph_font_info info;
    Get_Glyph_Font_Info(spec, info);
    const float s = float(scale), th = std::max(info.ul_thickness * s, 1.0f);
    float qx[4], qy[4];
    Baseline_Band(m.x, m.y, float(ch.mm_t), 0, float(ch.mm_width) * s, info.ul_offset * s - th / 2,
                  info.ul_offset * s + th / 2, qx, qy);
    Fill_Quad(qx, qy, area, [&](int32 x, int32 y, uint8 cov) { Cover_Toward(*At8(cover, x, y), level, cov); });
  }
  Pop_TextSize_Mapping();
  // 3 to 5. The effects and the shadow.
  Render_Text_Coverage(om, mapping, cover, text, shad);
  Dispose_GWorld(cover);
}

void OM_Render(const a_coord_mapping& mapping, a_om_rec* om, a_masked_gworld& text, a_masked_gworld& shad) {
  OM_Render_In(mapping, om, g_doc.upx, text, shad);
}

// --- What the view shows over texts -------------------------------------------------------

void Draw_Selected_Range(GWorldPtr world, const a_om_rec* om, const a_doc_unit* unit) {
  if (world == nullptr || om == nullptr || unit == nullptr || Get_GWorld_PixelSize(world) != 32) return;
  // The selection within the text: positions sel_lo up to sel_hi lie before
  // characters sel_lo to sel_hi - 1, 1 being the first (entry 0); the end
  // entry is never highlighted.
  const int32 end = Text_End(*om);
  if (end < 1) return;
  const int32 lo = std::clamp<int32>(g_ed.sel_lo, 1, end) - 1, hi = std::clamp<int32>(g_ed.sel_hi, 1, end) - 1;
  if (lo >= hi) return;
  // Cells to the layer's pixels.
  const Rect layer = World_Bounds(world);
  const float mx = unit->paintbounds.right > 0 ? float(layer.right) / float(unit->paintbounds.right) : 1.0f;
  const float my = unit->paintbounds.bottom > 0 ? float(layer.bottom) / float(unit->paintbounds.bottom) : 1.0f;
  const a_win_pixel32 red{{80, 80, 255, 255}};
  // Sizes as the layout measured them on this unit.
  uint32 ux = 0;
  for (uint32 k = 1; k <= MAXNUNITS && ux == 0; ++k)
    if (g_doc.doc_units[k - 1] == unit) ux = k;
  Push_TextSize_Mapping_U(ux);
  auto selected = [&](int32 j) {
    return j >= lo && j < hi && (om->xyl[j].mm_cat == CC_REGULAR || om->xyl[j].mm_cat == CC_SPACE);
  };
  for (int32 i = lo; i < hi; ++i) {
    if (!selected(i)) continue;
    const a_xyl_char& ch = om->xyl[i];
    const float size = Calc_Text_Size(ch.cc_size, *om);
    const float grow = 0.15f * size;
    const float before = selected(i - 1) ? grow : 0, after = selected(i + 1) ? grow : 0;
    float qx[4], qy[4];
    Baseline_Band(float(ch.mm_x), float(ch.mm_y), float(ch.mm_t), -before, float(ch.mm_width) + after, -0.85f * size,
                  0.30f * size, qx, qy);
    for (int k = 0; k < 4; ++k) qx[k] *= mx, qy[k] *= my;
    Fill_Quad(qx, qy, layer, [&](int32 x, int32 y, uint8 cov) {
      a_win_pixel32* p = At32(world, x, y);
      Blend_Pixels(*p, *p, red, cov);
    });
  }
  Pop_TextSize_Mapping();
}

void OM_Draw_Frame(uint16 vx, bool8 visible, bool8 hilite, const a_om_rec* om) {
  if (om == nullptr) return;
  const a_om_pointlist& frame = om->cache.frame;
  const int32 n = std::min<int32>({frame.npoints, frame.max, MAX_OM_POINTS});
  if (n < 2) return;
  a_pointlist_ptr cells = nullptr, screen = nullptr;
  New_Pointlist(n, cells);
  New_Pointlist(n, screen);
  if (cells != nullptr && screen != nullptr) {
    std::copy_n(frame.points, n, cells->points);
    CellToScreen_Pointlist(vx, cells, screen);
    if (!hilite)
      SetForeColor(0, 240, 0);
    else if (g_ed.edit_om == om && Is_Editing_Text())
      SetForeColor(255, 200, 0);
    else
      SetForeColor(240, 0, 0);
    if (visible)
      Frame_Pointlist(2, screen);
    else
      Dash_Pointlist(2, screen);
    PenSize(1, 1);
    ForeColor(1);
  }
  Dispose_Pointlist(cells);
  Dispose_Pointlist(screen);
}

void Draw_Overflow(Point screen) {
  const Rect disc{int16(screen.v - 8), int16(screen.h - 8), int16(screen.v + 8), int16(screen.h + 8)};
  SetForeColor(8, 112, 229);
  PaintOval(disc);
  ForeColor(1);
  PenSize(1, 1);
  FrameOval(disc);
  // The plus: bars of 60 % by 20 % of the disc.
  SetForeColor(255, 255, 255);
  PaintRect(Rect{int16(screen.v - 2), int16(screen.h - 5), int16(screen.v + 2), int16(screen.h + 5)});
  PaintRect(Rect{int16(screen.v - 5), int16(screen.h - 2), int16(screen.v + 5), int16(screen.h + 2)});
  ForeColor(1);
}

void Draw_Overflow_Marks(uint16 vx) {
  const a_doc_unit* unit = g_doc.up;
  if (unit == nullptr) return;
  const int32 n = std::min<int32>(unit->oj.nlist, MAX_OJ);
  for (int32 omx = 1; omx <= n; ++omx) {
    const a_oj_item& item = unit->oj.list[omx - 1];
    if (item.kind != TEXT_BLOCK || item.om == nullptr || (item.flags & OJ_Flag_Bit(VISIBLE_FLAG)) == 0) continue;
    const uint32 marks = std::min<uint32>(item.om->noverflows, MAX_OVERFLOWS);
    for (uint32 k = 0; k < marks; ++k) {
      Point screen;
      CellToScreen(vx, item.om->overflows[k].pos, screen);
      Draw_Overflow(screen);
    }
  }
}

void Draw_Text_Thumbnail(const Rect& r) {
  static const char kWord[] = "TEXT";
  const int32 h = Height(r);
  if (h <= 0 || Width(r) <= 0) return;
  TextSize(std::max(8, h / 2));
  const int16 w = StringWidth(CStrSpan(kWord));
  MoveTo(int16(r.left + (Width(r) - w) / 2), int16(r.top + (h + h / 3) / 2));
  DrawString(CStrSpan(kWord));
}
