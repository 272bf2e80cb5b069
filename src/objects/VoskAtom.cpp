#include "objects/VoskAtom.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "doc/VoskDoc.h"
#include "doc/VoskDraw.h"
#include "doc/VoskFunc.h"
#include "doc/VoskRend.h"
#include "host/HostRegion.h"
#include "objects/VoskBord.h"
#include "objects/VoskBrus.h"
#include "objects/VoskGrad.h"
#include "objects/VoskMarq.h"
#include "objects/VoskSpra.h"
#include "objects/VoskStam.h"
#include "pixel/Draw.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/FastFill.h"
#include "pixel/SysBlt.h"
#include "platform/QDRect.h"
#include "platform/SysErr.h"
#include "platform/SysRgn.h"
#include "platform/SysSound.h"
#include "platform/VoskErr.h"
#include "ui/VoskBar.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

namespace {

constexpr int16 ALERT_TOO_COMPLEX = 30;
constexpr int16 ALERT_NO_MEMORY = 16;

// An imprint the painting tools have not yet given a drawing: nothing is
// drawn, nothing changed.
void No_Imprint(a_atom_rec& p) { p.dirty = Rect{0, 0, 0, 0}; }

int16 Thickness() { return std::max<int16>(gs.slider_vals[LINE_THICKNESS_SLIDER], 1); }
int16 Corner() { return std::max<int16>(gs.slider_vals[PAINT_CORNER_SLIDER], 0); }

// The fills that leave world and mask alone.
bool Paints_Nothing(a_fill_kind fill) {
  return fill == NULL_FILL || fill == TRACKING_MARQUEE || fill == GETTING_MARQUEE;
}

// A region owned for one scope.
struct a_rgn_owner {
  RgnHandle rgn = nullptr;
  a_rgn_owner() = default;
  explicit a_rgn_owner(RgnHandle r) : rgn(r) {}
  a_rgn_owner(const a_rgn_owner&) = delete;
  a_rgn_owner& operator=(const a_rgn_owner&) = delete;
  ~a_rgn_owner() {
    if (rgn != nullptr) DisposeRgn(rgn);
  }
};

// The region painted with colour into the current port and its coverage
// into the mask world (the eraser: mask only, at 0).
void Paint_Area(a_atom_rec& p, RgnHandle rgn, const a_pixel32& colour) {
  if (rgn == nullptr || Paints_Nothing(p.fill)) return;
  const bool erase = p.fill == ERASER_FILL;
  if (!erase) {
    SetForeColor32(colour);
    PaintRgn(rgn);
  }
  if (p.mask_world != nullptr) {
    Push_GWorld(p.mask_world);
    SetForeOpacity(erase ? 0 : gs.slider_vals[PAINT_OPACITY_SLIDER]);
    PaintRgn(rgn);
    Pop_GWorld();
  }
}

// The coverage alone into the mask world.
void Paint_Mask_Only(a_atom_rec& p, RgnHandle rgn) {
  if (rgn == nullptr || p.mask_world == nullptr || Paints_Nothing(p.fill)) return;
  Push_GWorld(p.mask_world);
  SetForeOpacity(p.fill == ERASER_FILL ? 0 : gs.slider_vals[PAINT_OPACITY_SLIDER]);
  PaintRgn(rgn);
  Pop_GWorld();
}

// The cells a stamp placed at dest covers: its 1-bit mask's set bits, or
// the whole of dest without a mask.
RgnHandle Stamp_Cover(const PixMap& stamp, PixMapPtr mask, const Rect& dest) {
  if (mask == nullptr || mask->baseAddr == nullptr) {
    RgnHandle rgn = NewRgn();
    RectRgn(rgn, dest);
    return rgn;
  }
  const int32 w = stamp.bounds.right - stamp.bounds.left, h = stamp.bounds.bottom - stamp.bounds.top;
  const int32 rb = int32(PixMap_RowBytes(*mask));
  return Host_Mask_To_Rgn(std::span<const uint8>(reinterpret_cast<const uint8*>(mask->baseAddr), size_t(rb) * size_t(h)),
                          rb, w, h, dest.left, dest.top);
}

// The byte the mask world holds where it is painted at the paint opacity
// (the eraser: where it is erased).
uint8 Mask_Level(const a_atom_rec& p) {
  GWorldPtr one = nullptr;
  if (New_GWorld(Rect{0, 0, 1, 1}, 8, nullptr, one) != noErr || one == nullptr) return 0;
  Push_GWorld(one);
  SetForeOpacity(p.fill == ERASER_FILL ? 0 : gs.slider_vals[PAINT_OPACITY_SLIDER]);
  PaintRect(Rect{0, 0, 1, 1});
  Pop_GWorld();
  const uint8 level = *reinterpret_cast<const uint8*>(one->pix.baseAddr);
  Dispose_GWorld(one);
  return level;
}

// A stamp's coverage at dest into the mask world: a 1-bit mask paints its
// set cells at the paint opacity; an 8-bit coverage (the custom stamp)
// moves each cell toward that level by its coverage, so cells it does not
// cover stay as they were.
void Stamp_Mask(a_atom_rec& p, const PixMap& stamp, PixMapPtr mask, const Rect& dest) {
  if (p.mask_world == nullptr || Paints_Nothing(p.fill)) return;
  if (mask == nullptr || mask->baseAddr == nullptr || mask->pixelSize != 8) {
    a_rgn_owner cover(Stamp_Cover(stamp, mask, dest));
    Paint_Mask_Only(p, cover.rgn);
    return;
  }
  const PixMap& mw = p.mask_world->pix;
  if (mw.pixelSize != 8) return;
  const int32 level = Mask_Level(p);
  Rect on;
  if (!SectRect(dest, mw.bounds, on)) return;
  const int32 sw = mask->bounds.right - mask->bounds.left, sh = mask->bounds.bottom - mask->bounds.top;
  for (int32 y = on.top; y < on.bottom; ++y) {
    const int32 sy = y - dest.top;
    if (sy < 0 || sy >= sh) continue;
    const uint8* src = reinterpret_cast<const uint8*>(mask->baseAddr) + size_t(sy) * PixMap_RowBytes(*mask);
    uint8* dst = reinterpret_cast<uint8*>(mw.baseAddr) + size_t(y - mw.bounds.top) * PixMap_RowBytes(mw);
    for (int32 x = on.left; x < on.right; ++x) {
      const int32 sx = x - dest.left;
      if (sx < 0 || sx >= sw) continue;
      const int32 c = src[sx];
      if (c == 0) continue;
      uint8& m = dst[x - mw.bounds.left];
      m = uint8(m + ((level - int32(m)) * c + (level >= m ? 127 : -127)) / 255);
    }
  }
}

void Bounds_Of(const Point* pts, int32 n, Rect& r) {
  r = Rect{0, 0, 0, 0};
  if (n <= 0) return;
  r = Rect{pts[0].v, pts[0].h, pts[0].v, pts[0].h};
  for (int32 i = 1; i < n; ++i) {
    r.top = std::min(r.top, pts[i].v);
    r.left = std::min(r.left, pts[i].h);
    r.bottom = std::max(r.bottom, pts[i].v);
    r.right = std::max(r.right, pts[i].h);
  }
}

// --- Shapes of four corners ----------------------------------------------------------

enum a_shape_kind { SHAPE_RECT, SHAPE_ROUNDRECT, SHAPE_OVAL };

// TRUE when the corner set is an axis-aligned rectangle (also a quarter turn
// of one); r := it.
bool Is_Upright(const Point c[4], Rect& r) {
  const bool upright = (c[0].v == c[1].v && c[2].v == c[3].v && c[1].h == c[2].h && c[3].h == c[0].h) ||
                       (c[0].h == c[1].h && c[2].h == c[3].h && c[1].v == c[2].v && c[3].v == c[0].v);
  if (!upright) return false;
  Bounds_Of(c, 4, r);
  return true;
}

// The local point (x16, y16) in 1/16 cell of rp's frame, turned and placed.
Point Place(const a_rotation_parms& rp, int64 x16, int64 y16) {
  const int64 h = rp.ch16 * int64(16384) + x16 * rp.cos - y16 * rp.sin;
  const int64 v = rp.cv16 * int64(16384) + x16 * rp.sin + y16 * rp.cos;
  auto round = [](int64 q) {  // 1/16 cell x 16384 to a cell, to the nearest
    const int64 unit = int64(16) * 16384;
    return int16(q >= 0 ? (q + unit / 2) / unit : -((-q + unit / 2) / unit));
  };
  return Point{round(v), round(h)};
}

// The outline of a turned rounded rectangle whose half axes are reduced by
// inset: corner arcs of radius rx, ry (cells) drawn a degree at a time.
std::vector<Point> Rotated_RoundRect(const a_rotation_parms& rp, int16 inset, int32 rx, int32 ry) {
  const int64 a = std::max<int64>(rp.a16 - inset * 16, 0), b = std::max<int64>(rp.b16 - inset * 16, 0);
  const int64 ex = std::min<int64>(rx * 16, a), ey = std::min<int64>(ry * 16, b);
  std::vector<Point> pts;
  if (ex == 0 || ey == 0) {
    for (auto [sx, sy] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}) pts.push_back(Place(rp, sx * a, sy * b));
    return pts;
  }
  // Corner centres, going round: top-right, bottom-right, bottom-left, top-left.
  const std::array<std::pair<int, int>, 4> centres{{{1, -1}, {1, 1}, {-1, 1}, {-1, -1}}};
  for (int k = 0; k < 4; ++k) {
    const int64 cx = centres[k].first * (a - ex), cy = centres[k].second * (b - ey);
    for (int d = 0; d <= 90; ++d) {
      const double ang = (270 + k * 90 + d) * M_PI / 180.0;
      pts.push_back(Place(rp, cx + std::llround(ex * std::cos(ang)), cy + std::llround(ey * std::sin(ang))));
    }
  }
  return pts;
}

// The shape of the parameter's corners inset by inset cells on each side
// (NIL when no region could be made; empty when the inset leaves nothing).
RgnHandle Shape_Rgn(a_shape_kind kind, const a_atom_rec& p, int16 inset) {
  const Point* c = p.list->points;
  Rect r;
  if (Is_Upright(c, r)) {
    InsetRect(r, inset, inset);
    HRGN rgn = NewRgn();
    if (EmptyRect(r)) return rgn;
    switch (kind) {
      case SHAPE_RECT: RectRgn(rgn, r); break;
      case SHAPE_ROUNDRECT: {
        const int16 oval = int16(std::max(Corner() - 2 * inset, 0));
        if (oval == 0) RectRgn(rgn, r);
        else RoundRectRgn(rgn, r, oval, oval);
        break;
      }
      case SHAPE_OVAL: OvalRgn(r, rgn); break;
    }
    return rgn;
  }
  a_rotation_parms rp;
  Calc_Rotation_Parms(c, rp);
  const bool thin = rp.a16 < 3 * 16 || rp.b16 < 3 * 16;
  if (rp.a16 - inset * 16 <= 0 || rp.b16 - inset * 16 <= 0) return NewRgn();
  std::vector<Point> pts;
  if (kind == SHAPE_OVAL && !thin) {
    pts.resize(361);
    Calc_Rotated_Oval(rp, inset, pts.data());
  } else if (kind == SHAPE_ROUNDRECT) {
    const int32 rad = std::max(Corner() - 2 * inset, 0) / 2;
    pts = Rotated_RoundRect(rp, inset, rad, rad);
  } else {
    pts = Rotated_RoundRect(rp, inset, 0, 0);
  }
  return Polygon_Rgn(pts.data(), int32(pts.size()));
}

void Corner_Dirty(a_atom_rec& p) {
  Bounds_Of(p.list->points, 4, p.dirty);
  ++p.dirty.right;
  ++p.dirty.bottom;
}

void Solid_Shape(a_shape_kind kind, a_atom_rec& p) {
  No_Imprint(p);
  if (p.list == nullptr || p.list->npoints < 4) return;
  a_rgn_owner shape(Shape_Rgn(kind, p, 0));
  if (shape.rgn == nullptr) return;
  Atom_Rgn(p, shape.rgn);
  Corner_Dirty(p);
}

// The ring between the shape and the shape inset by the line thickness.
void Framed_Shape(a_shape_kind kind, a_atom_rec& p) {
  No_Imprint(p);
  if (p.list == nullptr || p.list->npoints < 4) return;
  a_rgn_owner outer(Shape_Rgn(kind, p, 0));
  if (outer.rgn == nullptr) return;
  if (p.fill == GETTING_MARQUEE) {
    if (t.marq_rgn == nullptr) t.marq_rgn = NewRgn();
    CopyRgn(outer.rgn, t.marq_rgn);
    Corner_Dirty(p);
    return;
  }
  a_rgn_owner inner(Shape_Rgn(kind, p, Thickness()));
  if (inner.rgn == nullptr) return;
  DiffRgn(outer.rgn, inner.rgn, outer.rgn);
  Atom_Rgn(p, outer.rgn);
  Corner_Dirty(p);
}

// --- The line ---------------------------------------------------------------------------

struct a_line_walk {
  a_atom_rec* p;
  int16 side;
  int16 nrepeat;
};

void Line_Step(int16 x, int16 y, void* data) {
  auto& w = *static_cast<a_line_walk*>(data);
  const Rect sq{int16(y - w.side / 2), int16(x - w.side / 2), int16(y - w.side / 2 + w.side),
                int16(x - w.side / 2 + w.side)};
  a_rgn_owner rgn(NewRgn());
  RectRgn(rgn.rgn, sq);
  const a_pixel32 colour = w.p->fill == GRADIENT_FILL ? Inc_Gradient_Band(w.nrepeat) : gs.fill_color32;
  Paint_Area(*w.p, rgn.rgn, colour);
}

// --- The bucket -----------------------------------------------------------------------------

// Runs of open cells (state 1) in a row of the bucket's cell states, looked
// at eight cells a word where they can be.
constexpr uint64 kOpenWord = 0x0101010101010101ull;

// The first cell in [i, end) that is not open (end when all are).
int32 Open_Run_End(const uint8* row, int32 i, int32 end) {
  for (uint64 v; i + 8 <= end; i += 8) {
    std::memcpy(&v, row + i, 8);
    if (v != kOpenWord) break;
  }
  while (i < end && row[i] == 1) ++i;
  return i;
}

// The first cell of the open run that ends at open cell i.
int32 Open_Run_Start(const uint8* row, int32 i) {
  for (uint64 v; i >= 8; i -= 8) {
    std::memcpy(&v, row + i - 8, 8);
    if (v != kOpenWord) break;
  }
  while (i > 0 && row[i - 1] == 1) --i;
  return i;
}

// Sets bits lx .. rx - 1 of a row of a 1-bit mask (its high bit first).
void Set_Bit_Run(uint8* out, int32 lx, int32 rx) {
  if (lx >= rx) return;
  const int32 first = lx / 8, last = (rx - 1) / 8;
  const uint8 head = uint8(0xFF >> (lx % 8)), tail = uint8(0xFF << (7 - (rx - 1) % 8));
  if (first == last) {
    out[first] |= uint8(head & tail);
    return;
  }
  out[first] |= head;
  if (last > first + 1) std::memset(out + first + 1, 0xFF, size_t(last - first - 1));
  out[last] |= tail;
}

// The 4-connected area around seed of cells equal in colour and coverage
// (unpainted cells, coverage 0, all count as one colour), as a region; its
// bounds into bbox.
RgnHandle Bucket_Area(GWorldPtr world, GWorldPtr mask, const Rect& bounds, Point seed) {
  const int32 w = bounds.right - bounds.left, h = bounds.bottom - bounds.top;
  std::vector<const uint32*> colour_rows(static_cast<size_t>(h));
  std::vector<const uint8*> mask_rows(static_cast<size_t>(h), nullptr);
  for (int32 y = 0; y < h; ++y) {
    const PixMap& wp = world->pix;
    colour_rows[size_t(y)] = reinterpret_cast<const uint32*>(wp.baseAddr + size_t(y + bounds.top - wp.bounds.top) *
                                                                             PixMap_RowBytes(wp)) +
                             (bounds.left - wp.bounds.left);
    if (mask != nullptr) {
      const PixMap& mp = mask->pix;
      mask_rows[size_t(y)] = reinterpret_cast<const uint8*>(mp.baseAddr) +
                             size_t(y + bounds.top - mp.bounds.top) * PixMap_RowBytes(mp) + (bounds.left - mp.bounds.left);
    }
  }
  constexpr uint64 kUnpainted = uint64(1) << 40;
  auto key = [&](int32 x, int32 y) -> uint64 {
    const uint8* m = mask_rows[size_t(y)];
    if (m != nullptr) {
      if (m[x] == 0) return kUnpainted;
      return (uint64(m[x]) << 24) | (colour_rows[size_t(y)][x] & 0xFFFFFFu);
    }
    return colour_rows[size_t(y)][x] & 0xFFFFFFu;
  };
  // Each cell once: 1 where it matches the seed's key (open), 0 elsewhere;
  // the fill turns open cells into 2.
  const int32 sx = seed.h - bounds.left, sy = seed.v - bounds.top;
  const uint64 want = key(sx, sy);
  std::vector<uint8> state(size_t(w) * size_t(h));
  for (int32 y = 0; y < h; ++y) {
    uint8* row = state.data() + size_t(y) * size_t(w);
    const uint32* c = colour_rows[size_t(y)];
    const uint8* m = mask_rows[size_t(y)];
    if (m == nullptr) {
      const uint32 wc = uint32(want);
      for (int32 x = 0; x < w; ++x) row[x] = (c[x] & 0xFFFFFFu) == wc;
    } else if (want == kUnpainted) {
      for (int32 x = 0; x < w; ++x) row[x] = m[x] == 0;
    } else {
      const uint32 wc = uint32(want & 0xFFFFFFu);
      const uint8 wm = uint8(want >> 24);
      for (int32 x = 0; x < w; ++x) row[x] = m[x] == wm && (c[x] & 0xFFFFFFu) == wc;
    }
  }
  // Each row's span of filled cells is taken whole: found, marked and
  // written out once; the rows above and below are searched for open runs
  // along it.
  struct a_span {
    int32 y, lx, rx;  // cells lx .. rx - 1 of row y
  };
  std::vector<a_span> spans;
  std::vector<std::pair<int32, int32>> stack{{sx, sy}};
  while (!stack.empty()) {
    auto [x, y] = stack.back();
    stack.pop_back();
    uint8* row = state.data() + size_t(y) * size_t(w);
    if (row[x] != 1) continue;
    const int32 lx = Open_Run_Start(row, x), rx = Open_Run_End(row, x + 1, w);
    std::memset(row + lx, 2, size_t(rx - lx));
    spans.push_back(a_span{y, lx, rx});
    for (int32 ny : {y - 1, y + 1}) {
      if (ny < 0 || ny >= h) continue;
      const uint8* nrow = state.data() + size_t(ny) * size_t(w);
      for (int32 i = lx; i < rx;) {
        const void* open = std::memchr(nrow + i, 1, size_t(rx - i));
        if (open == nullptr) break;
        i = int32(static_cast<const uint8*>(open) - nrow);
        stack.emplace_back(i, ny);
        i = Open_Run_End(nrow, i + 1, rx);
      }
    }
  }
  const int32 rowbytes = (w + 31) / 32 * 4;
  std::vector<uint8> bits(size_t(rowbytes) * size_t(h), 0);
  for (const a_span& s : spans) Set_Bit_Run(bits.data() + size_t(s.y) * size_t(rowbytes), s.lx, s.rx);
  return Host_Mask_To_Rgn(std::span<const uint8>(bits), rowbytes, w, h, bounds.left, bounds.top);
}

}  // namespace

// --- Parameters and drivers ----------------------------------------------------------------

void New_PaintParm(int32 npoints, a_atom_rec& p) {
  p = a_atom_rec{};
  if (gs.grid_vals[TOOL_GRID] == ERASER_TOOL) {
    p.fill = ERASER_FILL;
    p.marqf = true;
  } else {
    p.fill = gs.fill_kind;
    p.marqf = false;
  }
  if (npoints != 0) New_Pointlist(npoints, p.list);
}

void Dispose_PaintParm(a_atom_rec& p) {
  if (p.list != nullptr) Dispose_Pointlist(p.list);
  p.list = nullptr;
}

namespace {
void Run_Atom(a_atom_rec& p, a_atom_proc atomproc, GWorldPtr world, GWorldPtr mask, Rect* dirty) {
  p.mask_world = mask;
  if (p.paint_world == nullptr) p.paint_world = world;
  Push_GWorld(world);
  atomproc(p);
  Pop_GWorld();
  if (dirty != nullptr) *dirty = p.dirty;
  Dispose_PaintParm(p);
}
}  // namespace

void Do_Atom_1(Point p1, a_atom_proc atomproc, GWorldPtr world, GWorldPtr mask, Rect* dirty) {
  a_atom_rec p;
  New_PaintParm(1, p);
  if (p.list == nullptr) return;
  p.list->points[0] = p1;
  Run_Atom(p, atomproc, world, mask, dirty);
}

void Do_Atom_2(Point p1, Point p2, a_atom_proc atomproc, GWorldPtr world, GWorldPtr mask, Rect* dirty) {
  a_atom_rec p;
  New_PaintParm(2, p);
  if (p.list == nullptr) return;
  p.list->points[0] = p1;
  p.list->points[1] = p2;
  Run_Atom(p, atomproc, world, mask, dirty);
}

void Do_Atom_4(const Rect& r, a_atom_proc atomproc, GWorldPtr world, GWorldPtr mask, Rect* dirty) {
  a_atom_rec p;
  New_PaintParm(4, p);
  if (p.list == nullptr) return;
  p.list->points[0] = Point{r.top, r.left};
  p.list->points[1] = Point{r.top, r.right};
  p.list->points[2] = Point{r.bottom, r.right};
  p.list->points[3] = Point{r.bottom, r.left};
  p.paint_world = world;
  Run_Atom(p, atomproc, world, mask, dirty);
}

void Doc_Atom(a_atom_proc atomproc, a_atom_rec& p) {
  Push_GWorld(p.paint_world);
  atomproc(p);
  Pop_GWorld();
  if (EmptyRect(p.dirty)) return;
  Rect r = p.dirty;
  const int16 out = Thickness();
  InsetRect(r, int16(-out), int16(-out));
  Doc_Merge_Draw(r);
}

void Imprint(bool8 drawfirst, a_tool toolx, const a_atom_rec& base) {
  if (toolx >= NTOOLS) return;
  const a_atom_proc proc = gs.tool_desc[toolx].atom_proc;
  if (proc == nullptr || base.list == nullptr) return;
  const bool symmetric = gs.toggle_vals[SYMMETRY_TOGGLE] && gs.tool_desc[toolx].symmetry &&
                         base.fill != BORDER_FILL && base.fill != GETTING_MARQUEE;
  a_atom_rec copy = base;
  copy.list = nullptr;
  Copy_Pointlist(base.list, copy.list);
  if (copy.list == nullptr) return;
  if (!symmetric) {
    if (drawfirst) Doc_Atom(proc, copy);
  } else {
    const int16 n = std::max<int16>(gs.slider_vals[SYMMETRY_COUNT_SLIDER], 1);
    auto one_copy = [&](a_symmetry_kind kind, int16 i) {
      Calc_Symmetry_Init(kind, i, n);
      for (uint16 k = 0; k < base.list->npoints; ++k) {
        const Point in = base.list->points[k];
        if (Is_Pointlist_Break(in)) copy.list->points[k] = in;
        else Calc_Symmetry_Map(in, copy.list->points[k]);
      }
      copy.dirty = Rect{0, 0, 0, 0};
      Doc_Atom(proc, copy);
      Calc_Symmetry_Stop();
    };
    for (int16 i = drawfirst ? 0 : 1; i < n; ++i) one_copy(CYCLIC_SYMMETRY, i);
    if (gs.grid_vals[SYMMETRY_KIND_GRID] == MIRROR_SYMMETRY)
      for (int16 i = 0; i < n; ++i) one_copy(MIRROR_SYMMETRY, i);
  }
  Dispose_PaintParm(copy);
}

// --- Fills --------------------------------------------------------------------------------

void Atom_Rgn(a_atom_rec& p, RgnHandle rgn) {
  if (rgn == nullptr) return;
  switch (p.fill) {
    case PATTERN_FILL:
      Draw_Pattern_Rgn(rgn);
      break;
    case STAMP_FILL:
      Draw_Stamp_Rgn(rgn, 0, gs.slider_vals[STAMP_SPACINGF_SLIDER], gs.slider_vals[STAMP_SPACINGF_SLIDER]);
      break;
    case BORDER_FILL: {
      // The border chosen in the border bar round the region's bounds, kept
      // inside the region; its pieces bring their own coverage.
      Rect box;
      Rgn_GetBounds(rgn, box);
      GWorldPtr const lent_world = g_border_mask_world;
      const int16 lent_opacity = g_border_mask_opacity;
      g_border_mask_world = p.mask_world;
      g_border_mask_opacity = gs.slider_vals[PAINT_OPACITY_SLIDER];
      Border_Draw_Clipped(true, gs.bar_selection[BORDER_BAR], box, rgn);
      g_border_mask_world = lent_world;
      g_border_mask_opacity = lent_opacity;
      return;
    }
    case GRADIENT_FILL: {
      PixMap bits{};
      Rgn_To_PixMap1(rgn, bits);
      if (bits.baseAddr != nullptr) {
        Draw_Gradient(&bits, bits.bounds);
        Dispose_PixMap(bits);
      }
      break;
    }
    default:
      Paint_Area(p, rgn, gs.fill_color32);
      return;
  }
  // The tiled and gradient fills have drawn the colour: the coverage alone.
  a_atom_rec cover = p;
  Paint_Mask_Only(cover, rgn);
}

void Draw_Stamp3(PixMapPtr stamp, PixMapPtr mask, const Rect& dest) {
  if (stamp == nullptr || stamp->baseAddr == nullptr) return;
  const int16 opacity = gs.slider_vals[PAINT_OPACITY_SLIDER];
  if (opacity >= 100 || mask == nullptr || mask->baseAddr == nullptr) {
    if (mask != nullptr && mask->baseAddr != nullptr)
      Pix_To_PortM(stamp, mask, Get_GWorld(), stamp->bounds, mask->bounds, dest, nullptr);
    else
      Pix_To_Port(stamp, Get_GWorld(), stamp->bounds, dest, srcCopy, nullptr);
  } else {
    CopyMask_Blend(uint16(std::max<int16>(opacity, 0)), stamp, mask, dest, nullptr);
  }
}

void Tile_Rgn(RgnHandle fill_rgn, PixMapPtr stamp, PixMapPtr mask, int16 spacex, int16 spacey, bool8 plain) {
  GWorldPtr port = Get_GWorld();
  if (fill_rgn == nullptr || port == nullptr || stamp == nullptr || stamp->baseAddr == nullptr) return;
  const int32 w = stamp->bounds.right - stamp->bounds.left, h = stamp->bounds.bottom - stamp->bounds.top;
  if (w <= 0 || h <= 0) return;
  const int32 stepx = w + std::max<int32>(6 - w, spacex), stepy = h + std::max<int32>(6 - h, spacey);
  Rect box;
  Rgn_GetBounds(fill_rgn, box);
  if (!SectRect(box, port->pix.bounds, box)) return;
  GWorldPtr tiles = nullptr;
  if (New_GWorld(box, 32, nullptr, tiles) != noErr || tiles == nullptr) {
    OK_Alert(false, ALERT_NO_MEMORY);
    return;
  }
  if (port->pix.pixelSize != 32) {
    Dispose_GWorld(tiles);
    return;
  }
  auto row = [](GWorldPtr g, int32 y) {
    return reinterpret_cast<uint32*>(g->pix.baseAddr + size_t(y - g->pix.bounds.top) * PixMap_RowBytes(g->pix));
  };
  const int32 bw = box.right - box.left;
  for (int32 y = box.top; y < box.bottom; ++y)
    std::copy_n(row(port, y) + (box.left - port->pix.bounds.left), bw, row(tiles, y));
  Push_GWorld(tiles);
  auto floor_to = [](int32 v, int32 step) { return (v >= 0 ? v / step : -((-v + step - 1) / step)) * step; };
  for (int32 y = floor_to(box.top, stepy); y < box.bottom; y += stepy)
    for (int32 x = floor_to(box.left, stepx); x < box.right; x += stepx) {
      const Rect dest{int16(y), int16(x), int16(y + h), int16(x + w)};
      if (plain) Pix_To_Port(stamp, tiles, stamp->bounds, dest, srcCopy, nullptr);
      else Draw_Stamp3(stamp, mask, dest);
    }
  Pop_GWorld();
  // Back into the port inside the region only.
  const int32 bh = box.bottom - box.top, rb = (bw + 31) / 32 * 4;
  std::vector<uint8> bits(size_t(rb) * size_t(bh));
  if (Host_Rgn_To_Mask(fill_rgn, std::span<uint8>(bits), rb, bw, bh, box.left, box.top)) {
    for (int32 y = 0; y < bh; ++y) {
      uint32* dst = row(port, box.top + y) + (box.left - port->pix.bounds.left);
      const uint32* src = row(tiles, box.top + y);
      for (int32 x = 0; x < bw; ++x)
        if ((bits[size_t(y) * rb + x / 8] >> (7 - x % 8)) & 1) dst[x] = src[x];
    }
  }
  Dispose_GWorld(tiles);
}

void Draw_Stamp_Rgn(RgnHandle fill_rgn, int16, int16 spacex, int16 spacey) {
  PixMapPtr stamp = nullptr, mask = nullptr;
  Get_Fill_Stamp(stamp, mask);
  Tile_Rgn(fill_rgn, stamp, mask, spacex, spacey, false);
}

void Draw_Pattern_Rgn(RgnHandle fill_rgn) {
  PixMapPtr stamp = nullptr, mask = nullptr;
  Get_Fill_Stamp(stamp, mask);
  Tile_Rgn(fill_rgn, stamp, mask, 0, 0, true);
}

void Draw_Gradient(PixMapPtr maskbits, const Rect& maskbbox) {
  GWorldPtr port = Get_GWorld();
  if (port == nullptr || gs.fill_gradient == nullptr || gs.fill_gradient->nbands == 0) return;
  const bool8 ok = Fill_Dither(a_dither_kind(gs.grid_vals[GRAD_KIND_GRID]), &port->pix, maskbits, maskbbox, nullptr,
                               nullptr, true, gs.fill_gradient, gs.slider_vals[GRAD_TWIST_SLIDER],
                               int16(-gs.slider_vals[GRAD_ANGLE_SLIDER]), t.grad_center, t.grad_radius);
  if (!ok) OK_Alert(false, ALERT_NO_MEMORY);
}

void Atom_Rect(a_atom_rec& p, const Rect& bounds) {
  if (EmptyRect(bounds)) return;
  a_rgn_owner rgn(NewRgn());
  RectRgn(rgn.rgn, bounds);
  Atom_Rgn(p, rgn.rgn);
}

a_pixel32 Inc_Gradient_Band(int16 nrepeat) {
  const a_grad_rec* g = gs.fill_gradient;
  a_pixel32 colour = gs.fill_color32;
  if (g == nullptr || g->nbands == 0 || g->nbands > MAXGRADBANDS) return colour;
  ++gs.grad_bandx;
  int32 band = gs.grad_bandx / std::max<int16>(nrepeat, 1);
  if (band >= g->nbands || gs.grad_bandx < 0) {
    gs.grad_bandx = 0;
    band = 0;
  }
  colour = g->bands[band];
  SetForeColor32(colour);
  return colour;
}

void Calc_Rotation_Parms(const Point c[4], a_rotation_parms& rp) {
  rp.ch16 = (int32(c[0].h) + c[1].h + c[2].h + c[3].h) * 4;
  rp.cv16 = (int32(c[0].v) + c[1].v + c[2].v + c[3].v) * 4;
  const double dx = double(c[1].h) - c[0].h, dy = double(c[1].v) - c[0].v;
  const double ex = double(c[3].h) - c[0].h, ey = double(c[3].v) - c[0].v;
  const double len = std::hypot(dx, dy);
  rp.a16 = int32(std::lround(len * 8));
  rp.b16 = int32(std::lround(std::hypot(ex, ey) * 8));
  rp.cos = len == 0 ? 16384 : int32(std::lround(dx / len * 16384));
  rp.sin = len == 0 ? 0 : int32(std::lround(dy / len * 16384));
}

void Calc_Rotated_Oval(const a_rotation_parms& rp, int16 inset, Point pts[361]) {
  const int64 a = std::max<int64>(rp.a16 - inset * 16, 0), b = std::max<int64>(rp.b16 - inset * 16, 0);
  for (int d = 0; d < 360; ++d) {
    const int64 c = std::lround(std::cos(d * M_PI / 180.0) * 16384), s = std::lround(std::sin(d * M_PI / 180.0) * 16384);
    pts[d] = Place(rp, (a * c + 8192) >> 14, (b * s + 8192) >> 14);
  }
  pts[360] = pts[0];
}

// --- The ring sector ----------------------------------------------------------------------

void Do_Arc(Point origin, int32 radius, int32 a0, int32 a1, std::vector<Point>& pts) {
  auto at = [&](int32 tenths) {
    const double ang = tenths * M_PI / 1800.0;
    return Point{int16(origin.v - std::lround(radius * std::sin(ang))), int16(origin.h + std::lround(radius * std::cos(ang)))};
  };
  if (radius <= 0) {
    pts.push_back(origin);
    return;
  }
  const int32 step = std::max<int32>(300 / radius, 2);
  if (a1 >= a0) {
    for (int32 a = a0; a < a1; a += step) pts.push_back(at(a));
  } else {
    for (int32 a = a0; a > a1; a -= step) pts.push_back(at(a));
  }
  pts.push_back(at(a1));
}

namespace {
// Appends the corner at q between the edges coming from prev and going to
// next, cut back by round cells along each edge and joined by a quadratic
// curve through q.
void Round_Corner(Point prev, Point q, Point next, int32 round, std::vector<Point>& pts) {
  if (round <= 0) {
    pts.push_back(q);
    return;
  }
  auto toward = [&](Point from, Point to) {
    const double dx = double(to.h) - from.h, dy = double(to.v) - from.v, len = std::hypot(dx, dy);
    if (len == 0) return std::pair<double, double>{double(from.h), double(from.v)};
    const double k = std::min(double(round), len) / len;
    return std::pair<double, double>{from.h + dx * k, from.v + dy * k};
  };
  const auto [x0, y0] = toward(q, prev);
  const auto [x2, y2] = toward(q, next);
  for (int i = 0; i <= 8; ++i) {
    const double s = i / 8.0, u = 1 - s;
    const double x = u * u * x0 + 2 * u * s * q.h + s * s * x2, y = u * u * y0 + 2 * u * s * q.v + s * s * y2;
    pts.push_back(Point{int16(std::lround(y)), int16(std::lround(x))});
  }
}
}  // namespace

void Calc_Furter_Rgn(int16 corner, Point origin, a_polar anchor, a_polar extend, RgnHandle& rgn) {
  rgn = nullptr;
  const int32 r0 = std::max<int32>(std::min(anchor.dist, extend.dist), 0);
  const int32 r1 = std::max<int32>(std::max(anchor.dist, extend.dist), 0);
  int32 a0 = anchor.angle, a1 = extend.angle;
  if (a1 < a0) a1 += 3600;
  if (r0 == r1 || a0 == a1) {
    rgn = NewRgn();
    return;
  }
  if (a1 - a0 >= 3600) {
    HRGN outer = nullptr, inner = nullptr;
    OvalRgn(Rect{int16(origin.v - r1), int16(origin.h - r1), int16(origin.v + r1), int16(origin.h + r1)}, outer);
    if (r0 > 0) {
      OvalRgn(Rect{int16(origin.v - r0), int16(origin.h - r0), int16(origin.v + r0), int16(origin.h + r0)}, inner);
      if (outer != nullptr && inner != nullptr) DiffRgn(outer, inner, outer);
      if (inner != nullptr) DisposeRgn(inner);
    }
    rgn = outer;
    return;
  }
  std::vector<Point> outer_arc, inner_arc;
  Do_Arc(origin, r1, a0, a1, outer_arc);
  Do_Arc(origin, r0, a1, a0, inner_arc);
  const double half_span = (a1 - a0) * M_PI / 3600.0;
  const int32 half_chord = r0 == 0 ? 0 : int32(std::lround(r0 * std::sin(std::min(half_span, M_PI / 2))));
  const int32 half_width = (r1 - r0) / 2;
  const int32 c = std::max<int32>(corner, 0);
  const int32 round_in = std::min({c, half_chord, r0, half_width});
  const int32 round_out = std::min({c, std::max(half_chord, r0 == 0 ? r1 : half_chord), r1, half_width});
  std::vector<Point> pts;
  // Outer arc with its two corners rounded, then the inner arc with its.
  const size_t no = outer_arc.size(), ni = inner_arc.size();
  Round_Corner(inner_arc.back(), outer_arc.front(), no > 1 ? outer_arc[1] : outer_arc.front(), round_out, pts);
  for (size_t i = 1; i + 1 < no; ++i) pts.push_back(outer_arc[i]);
  if (no > 1) Round_Corner(outer_arc[no - 2], outer_arc.back(), inner_arc.front(), round_out, pts);
  if (ni == 1) {
    pts.push_back(inner_arc.front());
  } else {
    Round_Corner(outer_arc.back(), inner_arc.front(), inner_arc[1], round_in, pts);
    for (size_t i = 1; i + 1 < ni; ++i) pts.push_back(inner_arc[i]);
    Round_Corner(inner_arc[ni - 2], inner_arc.back(), outer_arc.front(), round_in, pts);
  }
  rgn = Polygon_Rgn(pts.data(), int32(pts.size()));
}

void Atom_Furter(a_atom_rec& p) {
  No_Imprint(p);
  if (p.list == nullptr || p.list->npoints < 3) return;
  const Point origin = p.list->points[0];
  const a_polar anchor{p.list->points[1].h, p.list->points[1].v};
  const a_polar extend{p.list->points[2].h, p.list->points[2].v};
  RgnHandle sector = nullptr;
  Calc_Furter_Rgn(Corner(), origin, anchor, extend, sector);
  a_rgn_owner owner(sector);
  if (sector == nullptr || EmptyRgn(sector)) return;
  if (gs.tool_net == FFURTER_TOOL) {
    // The frame: the sector less the sector shrunk by the thickness.
    const int16 th = Thickness();
    const int32 span = ((extend.angle < anchor.angle ? extend.angle + 3600 : extend.angle) - anchor.angle);
    const int32 rin = std::min(anchor.dist, extend.dist), rout = std::max(anchor.dist, extend.dist);
    const int32 mid = std::max(rout - th, 1);
    const int32 shrink = span >= 3600 ? 0 : int32(std::lround(th * 1800.0 / (M_PI * mid)));
    RgnHandle inner = nullptr;
    if (rout - rin > 2 * th && span - 2 * shrink > 0) {
      Calc_Furter_Rgn(0, origin, a_polar{rin + th, anchor.angle + (span >= 3600 ? 0 : shrink)},
                      a_polar{rout - th, span >= 3600 ? anchor.angle + 3600 : anchor.angle + span - shrink}, inner);
    }
    a_rgn_owner inner_owner(inner);
    if (inner != nullptr) DiffRgn(sector, inner, sector);
  }
  Atom_Rgn(p, sector);
  Rgn_GetBounds(sector, p.dirty);
}

bool8 Fill_Via_Mask(a_atom_rec& p, RgnHandle area) {
  switch (p.fill) {
    case COLOR_FILL:
    case PATTERN_FILL:
    case STAMP_FILL:
    case GRADIENT_FILL:
      Atom_Rgn(p, area);
      return true;
    default:
      Sound_Effect(SND_LIMIT);
      return false;
  }
}

// --- The atoms ------------------------------------------------------------------------------

void Atom_Brush(a_atom_rec& p) {
  No_Imprint(p);
  if (p.list == nullptr || p.list->npoints < 1) return;
  RgnHandle brush = Get_Brush_Rgn();
  if (brush == nullptr) return;
  a_rgn_owner rgn(NewRgn());
  CopyRgn(brush, rgn.rgn);
  Rect b;
  Rgn_GetBounds(rgn.rgn, b);
  const Point c = p.list->points[0];
  OffsetRgn(rgn.rgn, c.h - (b.right - b.left) / 2 - b.left, c.v - (b.bottom - b.top) / 2 - b.top);
  if (p.fill == GRADIENT_FILL) Paint_Area(p, rgn.rgn, Inc_Gradient_Band(1));
  else Atom_Rgn(p, rgn.rgn);
  Rgn_GetBounds(rgn.rgn, p.dirty);
}

void Atom_BrushLine(a_atom_rec& p) {
  No_Imprint(p);
  if (p.list == nullptr || p.list->npoints < 2) return;
  Rect b{0, 0, 1, 1};
  if (RgnHandle brush = Get_Brush_Rgn(); brush != nullptr) Rgn_GetBounds(brush, b);
  const int16 side = int16(std::max({b.right - b.left, b.bottom - b.top, 1}));
  a_atom_rec line = p;
  if (line.fill == GRADIENT_FILL) line.fill = COLOR_FILL;
  a_line_walk walk{&line, side, 1};
  const Point a = p.list->points[0], e = p.list->points[1];
  DDA(a, e, Line_Step, &walk);
  Rect r{std::min(a.v, e.v), std::min(a.h, e.h), int16(std::max(a.v, e.v) + 1), int16(std::max(a.h, e.h) + 1)};
  InsetRect(r, int16(-side), int16(-side));
  p.dirty = r;
}
void Atom_Stamp(a_atom_rec& p) {
  No_Imprint(p);
  if (p.list == nullptr || p.list->npoints < 1 || Paints_Nothing(p.fill)) return;
  PixMapPtr stamp = nullptr, mask = nullptr;
  Get_Fill_Stamp(stamp, mask);
  if (stamp == nullptr || stamp->baseAddr == nullptr) return;
  Rect dest;
  Calc_Stamp(*stamp, p.list->points[0], dest);
  if (p.fill != ERASER_FILL) Draw_Stamp3(stamp, mask, dest);
  Stamp_Mask(p, *stamp, mask, dest);
  p.dirty = dest;
}
void Atom_Spray(a_atom_rec& p) {
  No_Imprint(p);
  if (p.list == nullptr || p.list->npoints < 1 || Paints_Nothing(p.fill)) return;
  // The record follows the fill, spread and radius in force (a stroke on a
  // fresh start has none yet).
  Spray_Init(a_spray_spread(gs.grid_vals[SPRAY_KIND_GRID]));
  const Point c = p.list->points[0];
  const int16 radius = g_spray.radius;
  switch (g_spray.method) {
    case POINTLIST_SPRAY: {
      a_pointlist_ptr dots = nullptr;
      New_Pointlist(g_spray.ndots, dots);
      if (dots == nullptr) return;
      Rect bounds;
      Spray_GetPointlist(dots, radius, bounds);
      const a_pixel32 colour = p.fill == GRADIENT_FILL ? Inc_Gradient_Band(1) : gs.fill_color32;
      a_rgn_owner area(NewRgn());
      a_rgn_owner dot(NewRgn());
      for (uint16 i = 0; i < dots->npoints; ++i) {
        const Point d{int16(c.v + dots->points[i].v), int16(c.h + dots->points[i].h)};
        RectRgn(dot.rgn, Rect{d.v, d.h, int16(d.v + 1), int16(d.h + 1)});
        UnionRgn(area.rgn, dot.rgn, area.rgn);
      }
      Dispose_Pointlist(dots);
      Paint_Area(p, area.rgn, colour);
      Rgn_GetBounds(area.rgn, p.dirty);
      return;
    }
    case BITMAP_SPRAY: {
      PixMap bits{};
      Spray_GetBitMap(bits, radius);
      if (bits.baseAddr == nullptr) return;
      const int32 side = 2 * radius + 1, rb = int32(PixMap_RowBytes(bits));
      a_rgn_owner area(Host_Mask_To_Rgn(std::span<const uint8>(reinterpret_cast<const uint8*>(bits.baseAddr), size_t(rb) * size_t(side)),
                                        rb, side, side, c.h - radius, c.v - radius));
      Dispose_PixMap(bits);
      if (area.rgn == nullptr) return;
      Atom_Rgn(p, area.rgn);
      Rgn_GetBounds(area.rgn, p.dirty);
      return;
    }
    case STAMP_SPRAY: {
      PixMapPtr pix = nullptr, mask = nullptr;
      Point offset{0, 0};
      Spray_GetStamp(pix, mask, radius, offset);
      if (pix == nullptr || pix->baseAddr == nullptr) return;
      Rect dest;
      Calc_Stamp(*pix, Point{int16(c.v + offset.v), int16(c.h + offset.h)}, dest);
      Draw_Stamp3(pix, mask, dest);
      Stamp_Mask(p, *pix, mask, dest);
      p.dirty = dest;
      return;
    }
    default:
      return;
  }
}
void Atom_Eyedropper(a_atom_rec& p) {
  No_Imprint(p);
  if (p.list == nullptr || p.list->npoints < 1) return;
  Set_Color_From_Doc_Pixel(p.list->points[0]);
}

int16 Get_Merged_ColorX(Point cell) {
  const a_doc_unit* unit = g_doc.up;
  if (unit == nullptr) return 0;
  Rect rect;
  GWorldPtr world = nullptr;
  Current_Unit_Merge_Check(rect, world);
  if (world == nullptr || world->pix.pixelSize != 32) return 0;
  Point merge;
  CellToMerge(unit, cell, merge);
  if (!PtInRect(merge, rect) || !PtInRect(merge, world->pix.bounds)) return 0;
  const PixMap& pm = world->pix;
  a_pixel32 c;
  c.raw = reinterpret_cast<const uint32*>(pm.baseAddr + size_t(merge.v - pm.bounds.top) * PixMap_RowBytes(pm))[merge.h - pm.bounds.left];
  return Find_In_Palette32(c);
}

void Set_Color_From_Doc_Pixel(Point cell) {
  const a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || !PtInRect(cell, unit->paintbounds)) return;
  const int16 colorx = Get_Merged_ColorX(cell);
  a_bar bar = PAINT_COLORBAR;
  if (gs.curr_bar >= PAINT_COLORBAR && gs.curr_bar <= SYMBOLS_COLORBAR) {
    bar = gs.curr_bar;
  } else if (gs.curr_phase == TEXT_PHASE) {
    constexpr a_bar kByTextPart[4] = {PAINT_COLORBAR, TEXT_OUTL_COLORBAR, TEXT_GLOW_COLORBAR, TEXT_SHAD_COLORBAR};
    const int16 part = gs.grid_vals[TEXT_PHASE_GRID];
    bar = part >= 0 && part < 4 ? kByTextPart[part] : PAINT_COLORBAR;
  } else if (gs.curr_phase == SYMBOL_PHASE) {
    bar = SYMBOLS_COLORBAR;
  }
  if (gs.bar_selection[bar] != colorx) {
    Sound_Effect(SND_EYEDROPPER);
    // Through the bar: it is redrawn and its own select procedure takes
    // the colour (the fill colour, a text's outline ...).
    Bar_JumpToID(false, bar, colorx);
  }
  t.eyedropper_hit = true;
}

void Atom_Eraser(a_atom_rec& p) {
  No_Imprint(p);
  if (p.list == nullptr || p.list->npoints < 1) return;
  const int16 side = Eraser_Size(gs.grid_vals[ERASER_GRID]);
  const Point c = p.list->points[0];
  const Rect r{int16(c.v - side / 2), int16(c.h - side / 2), int16(c.v - side / 2 + side), int16(c.h - side / 2 + side)};
  a_atom_rec erase = p;
  erase.fill = ERASER_FILL;
  Atom_Rect(erase, r);
  p.dirty = r;
}

void Atom_Line(a_atom_rec& p) {
  No_Imprint(p);
  if (p.list == nullptr || p.list->npoints < 3) return;
  const Point a = p.list->points[0], b = p.list->points[2];
  a_line_walk walk{&p, Thickness(), std::max<int16>(gs.slider_vals[GRAD_REP_SLIDER], 1)};
  gs.grad_bandx = 0;
  DDA(a, b, Line_Step, &walk);
  Rect r{std::min(a.v, b.v), std::min(a.h, b.h), int16(std::max(a.v, b.v) + 1), int16(std::max(a.h, b.h) + 1)};
  InsetRect(r, int16(-walk.side), int16(-walk.side));
  p.dirty = r;
}

void Atom_SOval(a_atom_rec& p) { Solid_Shape(SHAPE_OVAL, p); }
void Atom_SRect(a_atom_rec& p) { Solid_Shape(SHAPE_RECT, p); }
void Atom_SRoundRect(a_atom_rec& p) { Solid_Shape(SHAPE_ROUNDRECT, p); }
void Atom_FOval(a_atom_rec& p) { Framed_Shape(SHAPE_OVAL, p); }
void Atom_FRect(a_atom_rec& p) {
  if (p.fill != BORDER_FILL) {
    Framed_Shape(SHAPE_RECT, p);
    return;
  }
  // The border chosen in the border bar, centred in the corners' rectangle,
  // its coverage into the layer's mask at the paint opacity.
  No_Imprint(p);
  if (p.list == nullptr || p.list->npoints < 4) return;
  Rect frame;
  Bounds_Of(p.list->points, 4, frame);
  GWorldPtr const lent_world = g_border_mask_world;
  const int16 lent_opacity = g_border_mask_opacity;
  g_border_mask_world = p.mask_world;
  g_border_mask_opacity = gs.slider_vals[PAINT_OPACITY_SLIDER];
  Border_Draw(true, gs.bar_selection[BORDER_BAR], frame, &p.dirty);
  g_border_mask_world = lent_world;
  g_border_mask_opacity = lent_opacity;
}
void Atom_FRoundRect(a_atom_rec& p) { Framed_Shape(SHAPE_ROUNDRECT, p); }

void Atom_SPolygon(a_atom_rec& p) {
  No_Imprint(p);
  if (p.list == nullptr || p.list->npoints < 3) return;
  a_rgn_owner rgn(Polygon_Rgn(p.list->points, p.list->npoints));
  if (rgn.rgn == nullptr) return;
  Atom_Rgn(p, rgn.rgn);
  Bounds_Of(p.list->points, p.list->npoints, p.dirty);
}

void Atom_Bucket(a_atom_rec& p) {
  No_Imprint(p);
  const a_doc_unit* unit = g_doc.up;
  if (p.list == nullptr || p.list->npoints < 1 || p.paint_world == nullptr) return;
  const Point seed = p.list->points[0];
  Rect bounds = unit != nullptr ? unit->paintbounds : p.paint_world->pix.bounds;
  SectRect(bounds, p.paint_world->pix.bounds, bounds);
  if (p.mask_world != nullptr) SectRect(bounds, p.mask_world->pix.bounds, bounds);
  if (!PtInRect(seed, bounds)) {
    Sound_Effect(SND_LIMIT);
    return;
  }
  a_rgn_owner area(Bucket_Area(p.paint_world, p.mask_world, bounds, seed));
  if (area.rgn == nullptr) return;
  if (Fill_Via_Mask(p, area.rgn)) Rgn_GetBounds(area.rgn, p.dirty);
}

void Atom_Symmetry(a_atom_rec& p) {
  No_Imprint(p);
  a_doc_unit* unit = g_doc.up;
  if (p.list == nullptr || p.list->npoints < 1 || unit == nullptr) return;
  SV_Set_Bool(SV_SYMMETRY_ENABLED, true);
  unit->symmetry_center = p.list->points[0];
  p.dirty = unit->paintbounds;
}

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
