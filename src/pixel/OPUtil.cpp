#include "pixel/OPUtil.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "pixel/DrawUtil.h"
#include "pixel/Fast.h"
#include "pixel/FixMath.h"
#include "pixel/Matrix.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixColor.h"
#include "platform/QDRect.h"
#include "platform/SysVideo.h"
#include "platform/SysVol.h"

a_cached_scallop g_cached_scallop{};

namespace {

// The edge colours Null_Spec gives (Set_Spec_Edge_*_Color).
constexpr a_pixel32 kDefEdgeBordColor = {{255, 255, 255, 255}};
constexpr a_pixel32 kDefEdgeOutlColor = {{0, 0, 0, 255}};
a_pixel32 g_spec_edge_bord_color = kDefEdgeBordColor;
a_pixel32 g_spec_edge_outl_color = kDefEdgeOutlColor;

constexpr a_pixel32 kWhite = {{255, 255, 255, 255}};
constexpr int kMaxSizingSteps = 1000;  // the scale search always ends well before this

PixMapPtr PM(GWorldPtr w) { return Get_GWorld_PixMap(w); }

GWorldPtr New32(const char* label, const Rect& bounds) {
  GWorldPtr w = nullptr;
  New_GWorldF(label, bounds, 32, nullptr, w);
  return w;
}
GWorldPtr NewMask(const char* label, const Rect& bounds) {
  GWorldPtr w = nullptr;
  New_GWorldF(label, bounds, 8, gray_ctable, w);
  return w;
}

// Pixel fills in the map's own coordinates, cut to the map.
void Fill8(PixMapPtr pm, Rect r, uint8 v) {
  if (pm == nullptr || pm->baseAddr == nullptr || !SectRect(r, pm->bounds, r)) return;
  const uint32 stride = PixMap_RowBytes(*pm);
  for (int32 y = r.top; y < r.bottom; ++y) {
    uint8* row = reinterpret_cast<uint8*>(pm->baseAddr) + size_t(y - pm->bounds.top) * stride;
    std::memset(row + (r.left - pm->bounds.left), v, size_t(r.right - r.left));
  }
}
void Fill32(PixMapPtr pm, Rect r, a_pixel32 c) {
  if (pm == nullptr || pm->baseAddr == nullptr || !SectRect(r, pm->bounds, r)) return;
  const uint32 stride = PixMap_RowBytes(*pm);
  for (int32 y = r.top; y < r.bottom; ++y) {
    a_pixel32* row = reinterpret_cast<a_pixel32*>(reinterpret_cast<uint8*>(pm->baseAddr) +
                                                  size_t(y - pm->bounds.top) * stride);
    for (int32 x = r.left; x < r.right; ++x) row[x - pm->bounds.left] = c;
  }
}
// A band of t pixels along the inside of box.
template <typename F>
void Frame_Band(const Rect& box, int32 t, F fill) {
  if (t <= 0 || EmptyRect(box)) return;
  const int32 th = std::min<int32>(t, box.bottom - box.top), tw = std::min<int32>(t, box.right - box.left);
  fill(Rect{box.top, box.left, int16(box.top + th), box.right});
  fill(Rect{int16(box.bottom - th), box.left, box.bottom, box.right});
  fill(Rect{box.top, box.left, box.bottom, int16(box.left + tw)});
  fill(Rect{box.top, int16(box.right - tw), box.bottom, box.right});
}
void Frame8(PixMapPtr pm, const Rect& box, int32 t, uint8 v) {
  Frame_Band(box, t, [&](const Rect& r) { Fill8(pm, r, v); });
}
void Frame32(PixMapPtr pm, const Rect& box, int32 t, a_pixel32 c) {
  Frame_Band(box, t, [&](const Rect& r) { Fill32(pm, r, c); });
}
uint8& At8(PixMapPtr pm, int32 x, int32 y) {  // map coordinates
  return reinterpret_cast<uint8*>(pm->baseAddr)[size_t(y - pm->bounds.top) * PixMap_RowBytes(*pm) +
                                                size_t(x - pm->bounds.left)];
}
// A copy of `from` (any depth) as a 32-bit world; the caller disposes of it.
GWorldPtr As32(GWorldPtr from) {
  Rect b;
  Get_GWorld_Bounds(from, b);
  GWorldPtr w = New32("Apply_Basic", b);
  ForeColor(1);
  BackColor(0);
  Port_To_Port(from, w, b, b, 0, nullptr);
  return w;
}

Fixed Tenths_To_Degrees(int16 tenths) { return Fixed((int64(tenths) * 65536) / 10); }

void Grow(Rect& r, int32 by) {
  r.top = int16(std::clamp<int32>(r.top - by, -32767, 32767));
  r.left = int16(std::clamp<int32>(r.left - by, -32767, 32767));
  r.bottom = int16(std::clamp<int32>(r.bottom + by, -32767, 32767));
  r.right = int16(std::clamp<int32>(r.right + by, -32767, 32767));
}

}  // namespace

// ---------------------------------------------------------------------------
// Rendering records
// ---------------------------------------------------------------------------

void Null_Spec(a_spec& spec) {
  std::memset(&spec, 0, sizeof(spec));
  spec.angle = kDefAngle;
  spec.scalingh = spec.scalingv = kDefScaling;
  spec.darkness = kDefDarkness;
  spec.opacity = kDefOpacity;
  spec.corner = kDefCorner;
  spec.feather = kDefFeather;
  spec.edge_kind = kDefEdgeKind;
  spec.edge_border = kDefEdgeBorder;
  spec.edge_outline = kDefEdgeOutline;
  spec.edge_scallop = kDefEdgeScallop;
  spec.edge_rough = kDefEdgeRough;
  spec.color_sat = kDefColorSat;
  spec.color_hue = kDefColorHue;
  spec.color_dist = kDefColorDist;
  spec.shad_dx = kDefShadDx;
  spec.shad_dy = kDefShadDy;
  spec.shad_opacity = kDefShadOpacity;
  spec.shad_radius = kDefShadRadius;
  spec.constrainf = kDefConstrain;
  spec.edge_bord_color = g_spec_edge_bord_color;
  spec.edge_outl_color = g_spec_edge_outl_color;
}

void Set_Spec_Edge_Bord_Color(const a_pixel32& color) { g_spec_edge_bord_color = color; }
void Set_Spec_Edge_Outl_Color(const a_pixel32& color) { g_spec_edge_outl_color = color; }

void Clean_Spec(a_spec& spec) {
  a_source_desc& s = spec.source;
  a_source_desc clean;
  std::memset(&clean, 0, sizeof(clean));
  clean.sid = s.sid;
  clean.kind = s.kind;
  if (s.kind == SOURCE_DATABASE) clean.key = s.key;
  if (s.kind == SOURCE_EXTFILE) {
    clean.path.vRefNum = s.path.vRefNum;
    clean.path.parID = s.path.parID;
    const size_t n = sizeof(s.path.name);
    size_t len = 0;
    while (len < n - 1 && s.path.name[len] != 0) ++len;
    std::memcpy(clean.path.name, s.path.name, len);
  }
  std::memcpy(&s, &clean, sizeof(clean));
}

bool8 Equal_Source(const a_source_desc& a, const a_source_desc& b) {
  if (a.sid != b.sid || a.kind != b.kind) return false;
  if (a.kind == SOURCE_DATABASE) return a.key.a == b.key.a && a.key.b == b.key.b && a.key.c == b.key.c && a.key.d == b.key.d;
  if (a.kind == SOURCE_EXTFILE) return Equal_Path(a.path, b.path);
  return true;
}

namespace {
bool Same_RGB(const a_pixel32& a, const a_pixel32& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
}  // namespace

bool8 Equal_Spec(bool8 subsetf, const a_spec& s1, const a_spec& s2) {
  if (!Equal_Source(s1.source, s2.source)) return false;
  if (s1.angle != s2.angle || s1.scalingh != s2.scalingh || s1.scalingv != s2.scalingv ||
      s1.darkness != s2.darkness || s1.opacity != s2.opacity || s1.corner != s2.corner || s1.feather != s2.feather ||
      s1.edge_kind != s2.edge_kind)
    return false;
  switch (s1.edge_kind) {
    case PHOTOEDGE_NONE: break;
    case PHOTOEDGE_SOLID:
    case PHOTOEDGE_SCALLOP:
      if (s1.edge_border != s2.edge_border || s1.edge_outline != s2.edge_outline ||
          !Same_RGB(s1.edge_bord_color, s2.edge_bord_color) || !Same_RGB(s1.edge_outl_color, s2.edge_outl_color))
        return false;
      if (s1.edge_kind == PHOTOEDGE_SCALLOP && s1.edge_scallop != s2.edge_scallop) return false;
      break;
    case PHOTOEDGE_ROUGH:
      if (s1.edge_rough != s2.edge_rough) return false;
      break;
    default: QUIT(); return false;
  }
  if (s1.color_sat != s2.color_sat || s1.color_hue != s2.color_hue || s1.color_dist != s2.color_dist) return false;
  if (s1.shadf != s2.shadf) return false;
  if (s1.shadf && (s1.shad_dx != s2.shad_dx || s1.shad_dy != s2.shad_dy || s1.shad_opacity != s2.shad_opacity ||
                   s1.shad_radius != s2.shad_radius))
    return false;
  if (s1.flipx != s2.flipx || s1.flipy != s2.flipy || s1.invert != s2.invert || s1.wtransp != s2.wtransp) return false;
  if (s1.is_symbol != s2.is_symbol) return false;
  if (s1.is_symbol && !Same_RGB(s1.symbol_color, s2.symbol_color)) return false;
  if (subsetf && !(s1.subset == s2.subset)) return false;
  return true;
}

bool8 Is_Edge_Used(const a_spec& spec) { return spec.edge_kind != 0 || spec.corner != 0 || spec.feather != 0; }

bool8 Is_Angle_Even(int16 angle) { return angle % 900 == 0; }

void Apply_Scaling_Pt(int16 scalingh, int16 scalingv, Point in, Point& out) {
  out.h = int16((int32(in.h) * scalingh + 500) / 1000);
  out.v = int16((int32(in.v) * scalingv + 500) / 1000);
}

void WriteSpec(const a_spec&) {}

bool8 Lock(GWorldPtr w, PixMapPtr& p) {
  if (w == nullptr) return false;
  Lock_GWorld(w);
  p = PM(w);
  return true;
}

void Swap_MW(a_masked_gworld& a, a_masked_gworld& b) { std::swap(a, b); }

void Rects_Around_Rect(const Rect& outer, const Rect& inner, Rect& r1, Rect& r2, Rect& r3, Rect& r4) {
  r1 = Rect{outer.top, outer.left, inner.top, outer.right};
  r2 = Rect{inner.top, outer.left, inner.bottom, inner.left};
  r3 = Rect{inner.top, inner.right, inner.bottom, outer.right};
  r4 = Rect{inner.bottom, outer.left, outer.bottom, outer.right};
}

void Fill_World_White(GWorldPtr world, const Rect& bounds) {
  if (world == nullptr || Get_GWorld_PixelSize(world) <= 8) return;
  PixMapPtr pm = PM(world);
  if (pm->pixelSize == 32)
    Fill32(pm, bounds, kWhite);
  else {
    Push_GWorld(world);
    BackColor(0);
    EraseRect(bounds);
    Pop_GWorld();
  }
}

void Force_Mask_To_Exist(const Rect& bounds, GWorldPtr& out_mask) {
  if (out_mask != nullptr) return;
  out_mask = NewMask("Force_Mask_To_Exist", bounds);
  Fill8(PM(out_mask), bounds, 255);
}

// ---------------------------------------------------------------------------
// Scale, flip, rotate
// ---------------------------------------------------------------------------

void Rotation_Prep(a_cache_purpose purpose, a_masked_gworld& in) {
  if (in.fore == nullptr || in.mask != nullptr) return;
  if (purpose != FOR_PRINTING && purpose != FOR_SCREEN) return;
  Force_Mask_To_Exist(in.bounds, in.mask);
  Frame8(PM(in.mask), in.bounds, 1, 127);
}

namespace {

Fixed Real_To_Fix(double v) {
  return Fixed(std::clamp<int64>(std::llround(v * 65536.0), INT32_MIN, INT32_MAX));
}

// The record's scale, flips and turn after a move of the subset's corner
// (ox, oy) to (0, 0), for a picture holding rx x ry of the picture's own
// pixels a pixel (1 x 1 for the own pixels themselves).
void Basic_Matrix(const a_spec& spec, bool rotate, int32 sh, int32 sv, double ox, double oy, double rx, double ry,
                  MatrixRecord& m) {
  SetIdentityMatrix(&m);
  TranslateMatrix(&m, Real_To_Fix(-ox), Real_To_Fix(-oy));
  ScaleMatrix(&m, Real_To_Fix(sh / 1000.0 / rx), Real_To_Fix(sv / 1000.0 / ry), 0, 0);
  if (spec.flipx) ScaleMatrix(&m, -Long2Fix(1), Long2Fix(1), 0, 0);
  if (spec.flipy) ScaleMatrix(&m, Long2Fix(1), -Long2Fix(1), 0, 0);
  if (rotate) RotateMatrix(&m, -Tenths_To_Degrees(spec.angle), 0, 0);
}

// The width and height of the box of a w x h rectangle at (0, 0) under m.
void Box_Size(const MatrixRecord& m, double w, double h, double& bw, double& bh) {
  double r[3][3];
  Matrix_To_Reals(m, r);
  const double xs[4] = {0, w, w, 0}, ys[4] = {0, 0, h, h};
  double minx = 1e300, maxx = -1e300, miny = 1e300, maxy = -1e300;
  for (int k = 0; k < 4; ++k) {
    const double x = xs[k] * r[0][0] + ys[k] * r[1][0];
    const double y = xs[k] * r[0][1] + ys[k] * r[1][1];
    minx = std::min(minx, x), maxx = std::max(maxx, x);
    miny = std::min(miny, y), maxy = std::max(maxy, y);
  }
  bw = maxx - minx;
  bh = maxy - miny;
}

}  // namespace

void Apply_Basic(a_cache_purpose purpose, const a_spec& spec, bool8 do_rotation, a_masked_gworld& in,
                 a_masked_gworld& out) {
  Apply_Basic(purpose, spec, do_rotation, in, in.bounds, out);
}

void Apply_Basic(a_cache_purpose purpose, const a_spec& spec, bool8 do_rotation, a_masked_gworld& in,
                 const Rect& natural_in, a_masked_gworld& out) {
  Null_MW(out);
  // The basis holds rx x ry of the picture's own pixels a pixel (1 unless reduced).
  const int32 bw_in = int32(in.bounds.right) - in.bounds.left, bh_in = int32(in.bounds.bottom) - in.bounds.top;
  Rect natural = natural_in;
  if (int32(natural.right) - natural.left < bw_in || int32(natural.bottom) - natural.top < bh_in) natural = in.bounds;
  const int32 nw = int32(natural.right) - natural.left, nh = int32(natural.bottom) - natural.top;
  const double rx = nw > 0 && bw_in > 0 ? double(bw_in) / nw : 1.0;
  const double ry = nh > 0 && bh_in > 0 ? double(bh_in) / nh : 1.0;
  const Rect src = EmptyRect(spec.subset) ? natural : spec.subset;
  const bool rotate = do_rotation && spec.angle != 0;
  if (rotate) Rotation_Prep(purpose, in);
  const double sw = std::max(0, int32(src.right) - src.left), shh = std::max(0, int32(src.bottom) - src.top);
  int32 sh = spec.scalingh, sv = spec.scalingv;
  MatrixRecord m;
  for (int step = 0; step < kMaxSizingSteps; ++step) {
    Basic_Matrix(spec, rotate, sh, sv, src.left, src.top, 1.0, 1.0, m);
    double w = 0, h = 0;
    Box_Size(m, sw, shh, w, h);
    bool changed = false;
    // Too small to see: it grows.
    if (std::lround(w) < 2 && sh < 3000) sh += 100, changed = true;
    if (std::lround(h) < 2 && sv < 3000) sv += 100, changed = true;
    // Beyond the coordinates or the memory of a world: it shrinks to fit,
    // keeping its proportions.
    const double f = std::min({kMaxRenderSide / std::max(w, 1.0), kMaxRenderSide / std::max(h, 1.0),
                               std::sqrt(double(kMaxRenderPixels) / std::max(w * h, 1.0))});
    if (!changed && f < 1.0 && (sh > 1 || sv > 1)) {
      sh = std::max<int32>(1, int32(sh * f * 0.999));
      sv = std::max<int32>(1, int32(sv * f * 0.999));
      changed = true;
    }
    if (!changed) break;
  }
  // The box in the picture's own pixels; the basis is drawn into it through
  // the same steps at its own density.
  Rect box{};
  TransformRectX(&m, src, box);
  const Fixed dx = Long2Fix(-int32(box.left)), dy = Long2Fix(-int32(box.top));
  box = Rect{0, 0, int16(int32(box.bottom) - box.top), int16(int32(box.right) - box.left)};
  // The subset in the basis's coordinates.
  const double sl = in.bounds.left + (src.left - natural.left) * rx, st = in.bounds.top + (src.top - natural.top) * ry;
  const double sr = sl + sw * rx, sb = st + shh * ry;
  MatrixRecord draw;
  Basic_Matrix(spec, rotate, sh, sv, sl, st, rx, ry, draw);
  TranslateMatrix(&draw, dx, dy);
  // A degenerate basis (nothing to show) still gives a picture of one pixel.
  box.right = std::max<int16>(box.right, 1);
  box.bottom = std::max<int16>(box.bottom, 1);
  out.bounds = box;
  // The basis pixels under the subset, taken outwards to whole pixels.
  const Rect under{int16(std::floor(st)), int16(std::floor(sl)), int16(std::ceil(sb)), int16(std::ceil(sr))};
  Rect drawn;
  const bool visible = SectRect(under, in.bounds, drawn);
  if (in.fore != nullptr) {
    out.fore = New32("Apply_Basic", box);
    Fill32(PM(out.fore), box, kWhite);
    if (visible) {
      GWorldPtr src32 = Get_GWorld_PixelSize(in.fore) == 32 ? in.fore : As32(in.fore);
      Port_To_Port_Matrix(src32, out.fore, drawn, &draw, nullptr);
      if (src32 != in.fore) Dispose_GWorld(src32);
    }
  }
  if (in.mask != nullptr && Get_GWorld_PixelSize(in.mask) == 8) {
    out.mask = NewMask("Apply_Basic", box);
    if (visible) Port_To_Port_Matrix(in.mask, out.mask, drawn, &draw, nullptr);
  }
}

namespace {
// The rotation of `rect` by angle about `centre`'s middle, and its box.
void Rotation_Matrix(int16 angle, const Rect& centre, MatrixRecord& m) {
  SetIdentityMatrix(&m);
  RotateMatrix(&m, -Tenths_To_Degrees(angle), Fixed((int32(centre.left) + centre.right) * 32768),
               Fixed((int32(centre.top) + centre.bottom) * 32768));
}
void Draw_Rotated(GWorldPtr src_w, const Rect& src_rect, const MatrixRecord& m, const Rect& dst_rect,
                  GWorldPtr& dst_w) {
  dst_w = nullptr;
  if (src_w == nullptr) return;
  Imitate_GWorld(dst_rect, src_w, dst_w);
  Fill_World_White(dst_w, dst_rect);
  Port_To_Port_Matrix(src_w, dst_w, src_rect, &m, nullptr);
}
}  // namespace

void Rotate_GWorld(int16 angle, const Rect& src_rect, GWorldPtr src_w, Rect& dst_rect, GWorldPtr& dst_w) {
  MatrixRecord m;
  Rotation_Matrix(angle, src_rect, m);
  TransformRectX(&m, src_rect, dst_rect);
  TranslateMatrix(&m, Long2Fix(-int32(dst_rect.left)), Long2Fix(-int32(dst_rect.top)));
  OffsetRect(dst_rect, int16(-dst_rect.left), int16(-dst_rect.top));
  Draw_Rotated(src_w, src_rect, m, dst_rect, dst_w);
}

void Apply_Rotation(a_cache_purpose purpose, int16 angle, a_masked_gworld& in, a_masked_gworld& out) {
  Null_MW(out);
  Rotation_Prep(purpose, in);
  Rotate_GWorld(angle, in.bounds, in.fore, out.bounds, out.fore);
  Rect mask_rect;
  Rotate_GWorld(angle, in.bounds, in.mask, mask_rect, out.mask);
}

namespace {
// The shadow turned with its picture: the same turn about the picture's
// centre and the same shift, so it keeps its place beside the picture.
void Rotate_Shadow_With(int16 angle, const Rect& body_bounds, a_masked_gworld& shad, a_masked_gworld& out) {
  Null_MW(out);
  MatrixRecord m;
  Rotation_Matrix(angle, body_bounds, m);
  Rect body_box;
  TransformRectX(&m, body_bounds, body_box);
  TranslateMatrix(&m, Long2Fix(-int32(body_box.left)), Long2Fix(-int32(body_box.top)));
  TransformRectX(&m, shad.bounds, out.bounds);
  Draw_Rotated(shad.fore, shad.bounds, m, out.bounds, out.fore);
  Draw_Rotated(shad.mask, shad.bounds, m, out.bounds, out.mask);
}
}  // namespace

// ---------------------------------------------------------------------------
// Symbols and knock-out
// ---------------------------------------------------------------------------

void Colorize_Symbol(a_pixel32 symbol_color, const a_masked_gworld& in, a_masked_gworld& out) {
  Null_MW(out);
  out.bounds = in.bounds;
  if (in.fore == nullptr) return;
  out.fore = New32("Colorize_Symbol", in.bounds);
  Fill32(PM(out.fore), in.bounds, symbol_color);
  PixMapPtr src = PM(in.fore);
  if (src->pixelSize == 8) {
    Copy_GWorld(in.fore, out.mask);
    Set_GWorld_CTable(out.mask, gray_ctable);
    return;
  }
  // Symbols are stored as grey coverage; one stored deeper gives its
  // darkness as coverage, the way the grey picture would have read.
  GWorldPtr src32 = src->pixelSize == 32 ? in.fore : As32(in.fore);
  PixMapPtr s = PM(src32);
  out.mask = NewMask("Colorize_Symbol", in.bounds);
  PixMapPtr d = PM(out.mask);
  for (int32 y = in.bounds.top; y < in.bounds.bottom; ++y)
    for (int32 x = in.bounds.left; x < in.bounds.right; ++x) {
      const a_pixel32 p = *reinterpret_cast<const a_pixel32*>(reinterpret_cast<uint8*>(s->baseAddr) +
                                                              size_t(y - s->bounds.top) * PixMap_RowBytes(*s) +
                                                              size_t(x - s->bounds.left) * 4);
      At8(d, x, y) = uint8(255 - (77 * p.r + 151 * p.g + 28 * p.b) / 256);
    }
  if (src32 != in.fore) Dispose_GWorld(src32);
}

void Apply_Knockout(int16 tolerance, PixMapPtr src, PixMapPtr msk) {
  if (src == nullptr || msk == nullptr || src->baseAddr == nullptr || msk->baseAddr == nullptr) return;
  Rect area;
  if (!SectRect(src->bounds, msk->bounds, area)) return;
  const int32 tol2 = int32(tolerance) * tolerance;
  const uint32 srb = PixMap_RowBytes(*src);
  for (int32 y = area.top; y < area.bottom; ++y)
    for (int32 x = area.left; x < area.right; ++x) {
      const a_pixel32 p = *reinterpret_cast<const a_pixel32*>(reinterpret_cast<uint8*>(src->baseAddr) +
                                                              size_t(y - src->bounds.top) * srb +
                                                              size_t(x - src->bounds.left) * 4);
      const int32 db = 255 - p.b, dg = 255 - p.g, dr = 255 - p.r;
      if (db * db + dg * dg + dr * dr <= tol2) At8(msk, x, y) = 0;
    }
  // Soften the rim of what was knocked out: a fully visible pixel next to a
  // knocked-out one (along a row or a column) becomes partly visible.
  const int32 w = area.right - area.left, h = area.bottom - area.top;
  std::vector<uint8> cls(size_t(w) * size_t(h));
  for (int32 y = 0; y < h; ++y)
    for (int32 x = 0; x < w; ++x) {
      const uint8 v = At8(msk, area.left + x, area.top + y);
      cls[size_t(y) * size_t(w) + size_t(x)] = v == 0 ? 0 : v == 255 ? 255 : 128;
    }
  auto C = [&](int32 x, int32 y) { return cls[size_t(y) * size_t(w) + size_t(x)]; };
  for (int32 y = 0; y < h; ++y)
    for (int32 x = 1; x < w; ++x) {
      if (C(x, y) == 255 && C(x - 1, y) == 0) At8(msk, area.left + x, area.top + y) = 80;
      if (C(x, y) == 0 && C(x - 1, y) == 255) At8(msk, area.left + x - 1, area.top + y) = 80;
    }
  for (int32 x = 0; x < w; ++x)
    for (int32 y = 1; y < h; ++y) {
      if (C(x, y) == 255 && C(x, y - 1) == 0) At8(msk, area.left + x, area.top + y) = 80;
      if (C(x, y) == 0 && C(x, y - 1) == 255) At8(msk, area.left + x, area.top + y - 1) = 80;
    }
}

void Apply_Knockout_W(int16 tolerance, GWorldPtr srcw, GWorldPtr mskw) {
  PixMapPtr s = nullptr, m = nullptr;
  if (!Lock(srcw, s) || !Lock(mskw, m)) return;
  if (s->pixelSize == 32 && m->pixelSize == 8) Apply_Knockout(tolerance, s, m);
  Unlock_GWorld(srcw);
  Unlock_GWorld(mskw);
}

// ---------------------------------------------------------------------------
// Edges
// ---------------------------------------------------------------------------

double Polar_Ellipse_R(int16 theta, double a, double b) {
  const double c = double(IntCos(theta)) / 16384.0;
  const double d = a * a - (a * a - b * b) * c * c;
  return d > 0 ? a * b / std::sqrt(d) : 0.0;
}

void XY_To_Cyl_R(Point origin, Point xy, double& radius, int16& angle) {
  const double dh = double(xy.h) - origin.h + 1, dv = double(xy.v) - origin.v + 1;
  radius = std::sqrt(dh * dh + dv * dv);
  angle = radius > 1.0 ? SegmentAngle(xy, origin) : int16(0);
}

void Calc_Feather_Mask(int16 corner, int16 feather, GWorldPtr mask) {
  PixMapPtr pm = nullptr;
  if (!Lock(mask, pm) || pm->baseAddr == nullptr) return;
  const Rect b = pm->bounds;
  const int32 w = b.right - b.left, h = b.bottom - b.top;
  const int32 largest = std::max(w, h) / 2, smallest = std::min(w, h) / 2;
  const int32 net_feather = std::min<int32>(smallest / 2, largest * feather / 100);
  const int32 r = std::max<int32>(net_feather, largest * corner / 100);
  const int32 a = std::min<int32>(w / 2, r), bb = std::min<int32>(h / 2, r);
  const int32 ia = a - std::max<int32>(net_feather, 1), ib = bb - std::max<int32>(net_feather, 1);
  std::vector<uint8> quarter;
  const bool corners = a > 0 && bb > 0;
  if (corners) {
    std::vector<double> outer(3600), inner(3600);
    for (int16 k = 0; k < 3600; ++k) {
      outer[size_t(k)] = Polar_Ellipse_R(k, a, bb);
      inner[size_t(k)] = (ia <= 0 || ib <= 0) ? 0.0 : Polar_Ellipse_R(k, ia, ib);
    }
    quarter.assign(size_t(a) * size_t(bb), 255);
    const Point origin{int16(b.top + bb), int16(b.left + a)};
    for (int32 j = 0; j < bb; ++j)
      for (int32 i = 0; i < a; ++i) {
        double rad;
        int16 ang;
        XY_To_Cyl_R(origin, Point{int16(b.top + j), int16(b.left + i)}, rad, ang);
        const size_t k = size_t(std::clamp<int16>(ang, 0, 3599));
        uint8& q = quarter[size_t(j) * size_t(a) + size_t(i)];
        if (rad > outer[k])
          q = 0;
        else if (rad >= inner[k] && outer[k] > inner[k])
          q = uint8(std::clamp<int32>(int32((outer[k] - rad) * 255.0 / (outer[k] - inner[k])), 0, 255));
      }
    // Each corner gets the quarter mirrored outward.
    for (int32 j = 0; j < bb; ++j)
      for (int32 i = 0; i < a; ++i) {
        const uint32 q = quarter[size_t(j) * size_t(a) + size_t(i)];
        const int32 xl = b.left + i, xr = b.right - 1 - i, yt = b.top + j, yb = b.bottom - 1 - j;
        for (uint8* p : {&At8(pm, xl, yt), &At8(pm, xr, yt), &At8(pm, xl, yb), &At8(pm, xr, yb)})
          *p = uint8(uint32(*p) * q / 255);
      }
  }
  for (int32 d = 1; d <= net_feather; ++d) {
    const uint32 ramp = corners ? quarter[size_t(bb - 1) * size_t(a) + size_t(std::min(d - 1, a - 1))]
                                : uint32(255 * d / (net_feather + 1));
    auto scale = [&](int32 x, int32 y) {
      uint8& p = At8(pm, x, y);
      p = uint8(uint32(p) * ramp / 255);
    };
    for (int32 x = b.left + a; x < b.right - a; ++x) {
      scale(x, b.top + d - 1);
      if (b.bottom - d != b.top + d - 1) scale(x, b.bottom - d);
    }
    for (int32 y = b.top + bb; y < b.bottom - bb; ++y) {
      scale(b.left + d - 1, y);
      if (b.right - d != b.left + d - 1) scale(b.right - d, y);
    }
  }
  Unlock_GWorld(mask);
}

PixMapPtr Calc_Scallop_Cell(int16 totedge, int16 scallop) {
  a_cached_scallop& c = g_cached_scallop;
  if (c.cell.baseAddr != nullptr && c.totedge == totedge && c.scallop == scallop) return &c.cell;
  Dispose_PixMap(c.cell);
  c.totedge = totedge;
  c.scallop = scallop;
  int32 depth = int32(totedge) * scallop / 100;
  if (depth % 2 != 0) ++depth;
  if (depth <= 0 || totedge <= 0) return nullptr;
  const int32 half = depth / 2, n = 2 * int32(totedge) + 1;
  New_PixMap(c.cell, Rect{0, 0, int16(depth), int16(n)}, 8, gray_ctable);
  if (c.cell.baseAddr == nullptr) return nullptr;
  for (int32 col = 0; col < n; ++col) {
    const double y = half * std::cos(2.0 * std::numbers::pi * col / n) + half;
    const int32 v = int32(y);
    if (v < depth) At8(&c.cell, col, v) = uint8(255 - int32((y - v) * 255 + 0.5));
    for (int32 row = v + 1; row < depth; ++row) At8(&c.cell, col, row) = 255;
  }
  return &c.cell;
}

void Calc_Scallop_Mask(int16 totedge, int16 scallop, const Rect& bounds, GWorldPtr mask) {
  PixMapPtr cell = Calc_Scallop_Cell(totedge, scallop);
  PixMapPtr pm = nullptr;
  if (cell == nullptr || !Lock(mask, pm)) return;
  const int32 n = cell->bounds.right, depth = cell->bounds.bottom;
  // The cell along every side, its outer row at the outside, each copy one
  // cell long and the last cut at the end; the values are anded in.
  auto put = [&](int32 x, int32 y, int32 along, int32 across) {
    if (x < pm->bounds.left || x >= pm->bounds.right || y < pm->bounds.top || y >= pm->bounds.bottom) return;
    At8(pm, x, y) &= At8(cell, along % n, across);
  };
  const int32 w = bounds.right - bounds.left, h = bounds.bottom - bounds.top;
  for (int32 across = 0; across < std::min(depth, std::min(w, h)); ++across) {
    for (int32 i = 0; i < w; ++i) {
      put(bounds.left + i, bounds.top + across, i, across);             // top, left to right
      put(bounds.right - 1 - i, bounds.bottom - 1 - across, i, across);  // bottom
    }
    for (int32 i = 0; i < h; ++i) {
      put(bounds.right - 1 - across, bounds.top + i, i, across);        // right, top to bottom
      put(bounds.left + across, bounds.bottom - 1 - i, i, across);      // left
    }
  }
  Unlock_GWorld(mask);
}

namespace {
void Apply_Edge_None(const a_spec& spec, a_masked_gworld& in, a_masked_gworld& out) {
  out = in;
  Null_MW(in);
  if (out.fore == nullptr || (spec.corner == 0 && spec.feather == 0)) return;
  Force_Mask_To_Exist(out.bounds, out.mask);
  Calc_Feather_Mask(spec.corner, spec.feather, out.mask);
}

void Apply_Edge_Some(const a_spec& spec, a_masked_gworld& in, a_masked_gworld& out) {
  Null_MW(out);
  const bool need_mask = spec.edge_kind != PHOTOEDGE_SOLID || in.mask != nullptr;
  const int32 border = std::max<int16>(spec.edge_border, 0), outline = std::max<int16>(spec.edge_outline, 0);
  const int32 net_tot = border + outline;
  out.bounds = in.bounds;
  Grow(out.bounds, net_tot);
  if (in.fore == nullptr) return;
  if (net_tot == 0) {
    out = in;
    Null_MW(in);
    return;
  }
  Imitate_GWorld(out.bounds, in.fore, out.fore);
  PixMapPtr f = PM(out.fore);
  Frame32(f, out.bounds, border, spec.edge_bord_color);
  Rect inner = out.bounds;
  InsetRect(inner, int16(border), int16(border));
  Frame32(f, inner, outline, spec.edge_outl_color);
  ForeColor(1);
  BackColor(0);
  Port_To_Port(in.fore, out.fore, in.bounds, in.bounds, 0, nullptr);
  if (!need_mask) return;
  out.mask = NewMask("Apply_Edge_Some", out.bounds);
  PixMapPtr m = PM(out.mask);
  Frame8(m, out.bounds, net_tot, 255);
  if (spec.edge_kind == PHOTOEDGE_SCALLOP) Calc_Scallop_Mask(spec.edge_border, spec.edge_scallop, out.bounds, out.mask);
  if (in.mask == nullptr)
    Fill8(m, in.bounds, 255);
  else
    Port_To_Port(in.mask, out.mask, in.bounds, in.bounds, 0, nullptr);
}
}  // namespace

void Apply_Edge(a_cache_purpose, const a_spec& spec, a_masked_gworld& in, a_masked_gworld& out) {
  switch (spec.edge_kind) {
    case PHOTOEDGE_NONE: Apply_Edge_None(spec, in, out); return;
    // No rough mask exists: a rough edge is drawn as the solid band it
    // starts from, so a rendering record carrying it still shows its border.
    case PHOTOEDGE_SOLID:
    case PHOTOEDGE_SCALLOP:
    case PHOTOEDGE_ROUGH: Apply_Edge_Some(spec, in, out); return;
    default: QUIT(); Null_MW(out); return;
  }
}

// ---------------------------------------------------------------------------
// Opacity and shadows
// ---------------------------------------------------------------------------

void Apply_Opacity(int16 opacity, const Rect& bounds, GWorldPtr& mask) {
  Force_Mask_To_Exist(bounds, mask);
  a_8_to_8_mapping m;
  const int32 op = std::clamp<int32>(opacity, 0, 100);
  for (int32 i = 0; i < 256; ++i) m[i] = uint8(i * op / 100);
  PixMap8_To_8(PM(mask), m);
}

namespace {
void Opacity_Table(int16 opacity, a_8_to_8_mapping& m) {
  const int32 op = std::clamp<int32>(opacity, 0, 100);
  for (int32 i = 0; i < 256; ++i) m[i] = uint8(i * op / 100);
}

void Apply_Inline_Shadow(int16 dx, int16 dy, int16 radius, a_pixel32 color, const a_8_to_8_mapping& m,
                         a_masked_gworld& in, a_masked_gworld& out) {
  Null_MW(out);
  Rect sh = in.bounds;
  OffsetRect(sh, dx, dy);
  Grow(sh, radius);
  UnionRect(in.bounds, sh, out.bounds);
  if (in.fore == nullptr) return;
  Rect r[4];
  Rects_Around_Rect(out.bounds, in.bounds, r[0], r[1], r[2], r[3]);
  out.fore = New32("Apply_Inline_Shadow", out.bounds);
  PixMapPtr f = PM(out.fore);
  for (const Rect& s : r) Fill32(f, s, color);
  ForeColor(1);
  BackColor(0);
  Port_To_Port(in.fore, out.fore, in.bounds, in.bounds, 0, nullptr);
  out.mask = NewMask("Apply_Inline_Shadow", out.bounds);
  PixMapPtr om = PM(out.mask);
  Rect offset = in.bounds;
  OffsetRect(offset, dx, dy);
  for (int i = 0; i < 4; ++i) {
    if (EmptyRect(r[i])) continue;
    // The strip with room on its picture side, so the blur there sees the
    // shadow running on under the picture.
    Rect work = r[i];
    if (i == 0) work.bottom = int16(work.bottom + radius);
    if (i == 3) work.top = int16(work.top - radius);
    if (i == 1 || i == 2) {
      work.top = int16(work.top - radius);
      work.bottom = int16(work.bottom + radius);
      if (i == 1) work.right = int16(work.right + radius);
      if (i == 2) work.left = int16(work.left - radius);
    }
    GWorldPtr tmp = NewMask("Apply_Inline_Shadow", work);
    PixMapPtr tp = PM(tmp);
    Fill8(tp, offset, m[255]);
    if (radius != 0) Blur_PixMap8(tp, work, radius);
    for (int32 y = r[i].top; y < r[i].bottom; ++y)
      for (int32 x = r[i].left; x < r[i].right; ++x) At8(om, x, y) = At8(tp, x, y);
    Dispose_GWorld(tmp);
  }
  Fill8(om, in.bounds, 255);
}

void Apply_Complex_Shadow(int16 dx, int16 dy, int16 radius, a_pixel32 color, const a_8_to_8_mapping& m,
                          a_masked_gworld& in, a_masked_gworld& out) {
  Null_MW(out);
  Rect offset = in.bounds;
  OffsetRect(offset, dx, dy);
  out.bounds = offset;
  Grow(out.bounds, radius);
  if (in.fore == nullptr) return;
  out.fore = New32("Apply_Complex_Shadow", out.bounds);
  Fill32(PM(out.fore), out.bounds, color);
  out.mask = NewMask("Apply_Complex_Shadow", out.bounds);
  ForeColor(1);
  BackColor(0);
  Port_To_Port(in.mask, out.mask, in.bounds, offset, 0, nullptr);
  PixMap8_To_8(PM(out.mask), m);
  if (radius != 0) Blur_PixMap8(PM(out.mask), out.bounds, radius);
}
}  // namespace

void Apply_Shadow(int16 shad_dx, int16 shad_dy, int16 shad_opacity, int16 shad_radius, a_pixel32 shad_color,
                  a_masked_gworld& in, a_masked_gworld& body, a_masked_gworld& shad) {
  a_8_to_8_mapping m;
  Opacity_Table(shad_opacity, m);
  // A negative radius would shrink the shadow's box below its picture.
  const int16 radius = std::max<int16>(shad_radius, 0);
  Null_MW(shad);
  if (in.mask == nullptr) {
    Apply_Inline_Shadow(shad_dx, shad_dy, radius, shad_color, m, in, body);
  } else {
    Apply_Complex_Shadow(shad_dx, shad_dy, radius, shad_color, m, in, shad);
    body = in;
    Null_MW(in);
  }
}

// ---------------------------------------------------------------------------
// The pipeline
// ---------------------------------------------------------------------------

namespace {
// body := next, the worlds body held before disposed of.
void Replace(a_masked_gworld& body, a_masked_gworld& next) {
  Dispose_MW(body);
  body = next;
  Null_MW(next);
}
}  // namespace

void Apply_Effects(a_cache_purpose purpose, const a_spec& spec, a_masked_gworld in, a_masked_gworld& body,
                   a_masked_gworld& shad) {
  Apply_Effects(purpose, spec, in, in.bounds, body, shad);
}

void Apply_Effects(a_cache_purpose purpose, const a_spec& spec, a_masked_gworld in, const Rect& natural,
                   a_masked_gworld& body, a_masked_gworld& shad) {
  Null_MW(body);
  Null_MW(shad);
  if (spec.edge_kind < PHOTOEDGE_NONE || spec.edge_kind > PHOTOEDGE_ROUGH) {
    QUIT();
    return;
  }
  if (purpose == FOR_SIZING) in.fore = in.mask = nullptr;
  if (purpose == FOR_COLLAGE) in.mask = nullptr;
  const bool prerotate = Is_Angle_Even(spec.angle) || (!Is_Edge_Used(spec) && !spec.shadf);

  a_masked_gworld symbol;
  Null_MW(symbol);
  a_masked_gworld* input = &in;
  if (spec.is_symbol) {
    Colorize_Symbol(spec.symbol_color, in, symbol);
    input = &symbol;
  }
  GWorldPtr const mask_before = input->mask;
  Apply_Basic(purpose, spec, prerotate, *input, natural, body);
  // A mask made for the rotation is ours; the caller's worlds are not.
  if (input->mask != mask_before) Dispose_GWorld(input->mask);
  Dispose_MW(symbol);

  if (body.fore != nullptr) {
    PixMapPtr f = PM(body.fore);
    if (spec.wtransp) {
      Force_Mask_To_Exist(body.bounds, body.mask);
      Apply_Knockout_W(5, body.fore, body.mask);
    }
    if (spec.darkness != kDefDarkness) PixMap_Darkness(f, uint16(std::clamp<int16>(spec.darkness, 0, 100)));
    if (spec.color_sat != kDefColorSat || spec.color_dist != 0)
      PixMap32_HSV(f, spec.color_hue, spec.color_dist, 50, spec.color_sat);
    if (spec.invert) PixMap_Invert(f);
  }
  if (Is_Edge_Used(spec)) {
    a_masked_gworld next;
    Apply_Edge(purpose, spec, body, next);
    Replace(body, next);
  }
  if (body.fore != nullptr && spec.opacity != kDefOpacity) Apply_Opacity(spec.opacity, body.bounds, body.mask);
  if (spec.shadf) {
    a_masked_gworld next;
    Null_MW(next);
    const a_pixel32 black = {{0, 0, 0, 0}};
    Apply_Shadow(spec.shad_dx, spec.shad_dy, spec.shad_opacity, spec.shad_radius, black, body, next, shad);
    Replace(body, next);
  }
  if (!prerotate) {
    a_masked_gworld turned_shad;
    Null_MW(turned_shad);
    if (shad.fore != nullptr) {
      Rotate_Shadow_With(spec.angle, body.bounds, shad, turned_shad);
      Replace(shad, turned_shad);
    }
    a_masked_gworld next;
    Apply_Rotation(purpose, spec.angle, body, next);
    Replace(body, next);
  }
}

void OPUtil_Init() {
  g_spec_edge_bord_color = kDefEdgeBordColor;
  g_spec_edge_outl_color = kDefEdgeOutlColor;
  Dispose_PixMap(g_cached_scallop.cell);
  g_cached_scallop = a_cached_scallop{};
  Reset_Next_SID();
  Cache_Init();
}
