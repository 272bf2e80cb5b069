#include "pixel/Draw.h"

#include <algorithm>
#include <utility>

#include "pixel/Fast.h"
#include "pixel/Polar.h"
#include "pixel/SysBlt.h"
#include "pixel/SysMath.h"
#include "platform/QDRect.h"
#include "platform/SysErr.h"
#include "platform/SysRgn.h"

a_coord_mapping cstack[MAXCSTACK + 1];
uint16 ncstack = 0;
a_clipstack clipstack[MAXCLIPSTACK + 1];
uint16 nclipstack = 0;
a_off_stack_entry off_stack[MAXOFFSTACK + 1];
uint16 off_nstack = 0;
a_off_area* off_last_area = nullptr;

void Draw_Init() {
  ncstack = 0;
  for (uint16 i = 1; i <= MAXCLIPSTACK; ++i) {
    // Regions left from an earlier run of the module (tests restart it).
    DisposeRgn(clipstack[i].rgn);
  }
  off_last_area = nullptr;
  static const uint8 kMatrix[16] = {0, 6, 1, 7, 4, 2, 5, 3, 1, 7, 0, 6, 5, 3, 4, 2};
  std::copy(kMatrix, kMatrix + 16, matrix8);
  Off_Init();
  InitClip();
}

// --- Mappings ----------------------------------------------------------------------

static int16 Clamp16(int32 v) { return int16(std::clamp<int32>(v, -32768, 32767)); }

static const a_coord_mapping& Current_Mapping() {
  if (ncstack == 0 || ncstack > MAXCSTACK) QUIT();
  return cstack[ncstack];
}

void Map_FPoint_With(const a_coord_mapping& m, const a_fpoint& src, Point& dst) {
  const float x = (src.x - m.fdecx) * m.multx + m.originx;
  const float y = (src.y - m.fdecy) * m.multy + m.originy;
  dst.h = Clamp16(SysMath::round(x));
  dst.v = Clamp16(SysMath::round(y));
}

void Map_FRect_With(const a_coord_mapping& m, const a_frect& src, Rect& dst) {
  Point tl, br;
  Map_FPoint_With(m, a_fpoint{src.left, src.top}, tl);
  Map_FPoint_With(m, a_fpoint{src.right, src.bottom}, br);
  dst = Rect{tl.v, tl.h, br.v, br.h};
}

void Map_FPoint(const a_fpoint& src, Point& dst) { Map_FPoint_With(Current_Mapping(), src, dst); }

void Map_FRect(const a_frect& src, Rect& dst) { Map_FRect_With(Current_Mapping(), src, dst); }

void Apply_Mapping_Point(Point src, Point& dst, const a_coord_mapping& mapping) {
  dst.h = Clamp16(SysMath::round(float(src.h) * mapping.multx));
  dst.v = Clamp16(SysMath::round(float(src.v) * mapping.multy));
}

void Apply_Mapping_Rect(const Rect& src, Rect& dst, const a_coord_mapping& mapping) {
  Point tl, br;
  Apply_Mapping_Point(Point{src.top, src.left}, tl, mapping);
  Apply_Mapping_Point(Point{src.bottom, src.right}, br, mapping);
  dst = Rect{tl.v, tl.h, br.v, br.h};
}

void Push_Mapping(const a_coord_mapping& mapping) {
  if (ncstack >= MAXCSTACK) {
    QUIT();
    return;
  }
  ++ncstack;
  cstack[ncstack] = mapping;
}

void Pop_Mapping() {
  if (ncstack == 0) {
    QUIT();
    return;
  }
  --ncstack;
}

void Calc_Fit_Mapping(const a_frect& fsource, const Rect& dest, a_coord_mapping& mapping) {
  const float srcw = fsource.right - fsource.left;
  const float srch = fsource.bottom - fsource.top;
  const float dstw = float(int32(dest.right) - dest.left);
  const float dsth = float(int32(dest.bottom) - dest.top);
  mapping.fdecx = fsource.left;
  mapping.fdecy = fsource.top;
  // A source without width (or height) puts no limit on the scale along that
  // axis; one without either gives no scale at all instead of a division by 0.
  float mult;
  if (srcw != 0.0f && srch != 0.0f) {
    const float scalingh = dstw / srcw;
    const float scalingv = dsth / srch;
    mult = scalingh < scalingv ? scalingh : scalingv;
  } else if (srcw != 0.0f) {
    mult = dstw / srcw;
  } else if (srch != 0.0f) {
    mult = dsth / srch;
  } else {
    mult = 0.0f;
  }
  mapping.multx = mult;
  mapping.multy = mult;
  mapping.originx = (float(int32(dest.left) + dest.right) - srcw * mapping.multx) / 2.0f;
  mapping.originy = (float(int32(dest.top) + dest.bottom) - srch * mapping.multy) / 2.0f;
  // Mapped directly rather than through the stack, so a full stack does not matter.
  Map_FRect_With(mapping, fsource, mapping.netbox);
}

void Push_Fit_Mapping(const a_frect& fsource, const Rect& dest) {
  a_coord_mapping m{};
  Calc_Fit_Mapping(fsource, dest, m);
  Push_Mapping(m);
}

bool8 Equal_CMapping(const a_coord_mapping& a, const a_coord_mapping& b) {
  return a.multx == b.multx && a.multy == b.multy && a.fdecx == b.fdecx && a.fdecy == b.fdecy &&
         a.originx == b.originx && a.originy == b.originy;
}

// --- Clip stack ----------------------------------------------------------------------

void InitClip() { nclipstack = 0; }

// Saves the current clip in a new stack slot. A port without any clip is
// saved as NIL, so that popping gives back "no clip" rather than a rectangle
// of the port's size fixed at the time of the push.
static bool Save_Clip() {
  if (nclipstack >= MAXCLIPSTACK) {
    QUIT();
    return false;
  }
  RgnHandle saved = nullptr;
  if (theHDC) {
    RgnHandle probe = NewRgn();
    if (probe && GetClipRgn(theHDC, probe) == 1) {
      GetClip(probe);
      saved = probe;
    } else {
      DisposeRgn(probe);
    }
  }
  ++nclipstack;
  DisposeRgn(clipstack[nclipstack].rgn);
  clipstack[nclipstack].rgn = saved;
  return true;
}

void PushClip(const Rect& newclip) {
  if (Save_Clip()) ClipRect(newclip);
}

void PushClipRgn(RgnHandle newclip) {
  if (Save_Clip()) SetClip(newclip);
}

void PopClip() {
  if (nclipstack == 0) {
    QUIT();
    return;
  }
  SetClip(clipstack[nclipstack].rgn);
  DisposeRgn(clipstack[nclipstack].rgn);
  --nclipstack;
}

// --- Offscreen areas ---------------------------------------------------------------------

void Off_Init() { off_nstack = 0; }

void Off_Open(const Rect& gbounds, a_off_area& area) {
  New_GWorldF("Off_Open", gbounds, 32, nullptr, area.gworld);
  area.dirty = NewRgn();
}

void Off_Close(a_off_area& area) {
  Dispose_GWorld(area.gworld);
  DisposeRgn(area.dirty);
}

void Off_Push(const a_off_area& area) {
  if (off_nstack >= MAXOFFSTACK) {
    QUIT();
    return;
  }
  ++off_nstack;
  a_off_stack_entry& e = off_stack[off_nstack];
  Get_GState(e.gstate);
  e.area = area;
  Lock_GWorld(e.area.gworld);
  Set_GWorld(e.area.gworld);
}

void Off_Pop() {
  if (off_nstack == 0) {
    QUIT();
    return;
  }
  a_off_stack_entry& e = off_stack[off_nstack];
  off_last_area = &e.area;
  Unlock_GWorld(e.area.gworld);
  Set_GState(e.gstate);
  --off_nstack;
}

void Off_InvalRect2(a_off_area& off, const Rect& dirty) {
  if (!off.gworld || !off.dirty) return;
  Rect bounds;
  Get_GWorld_Bounds(off.gworld, bounds);
  Rect part;
  if (!SectRect(dirty, bounds, part)) return;
  RgnHandle r = NewRgn();
  if (!r) return;
  RectRgn(r, part);
  UnionRgn(off.dirty, r, off.dirty);
  DisposeRgn(r);
}

static a_off_area* Top_Area() {
  if (off_nstack == 0) {
    QUIT();
    return nullptr;
  }
  return &off_stack[off_nstack].area;
}

void Off_InvalRect(const Rect& dirty) {
  if (a_off_area* a = Top_Area()) Off_InvalRect2(*a, dirty);
}

void Off_InvalRgn(RgnHandle dirty) {
  a_off_area* a = Top_Area();
  if (!a || !a->dirty || !dirty) return;
  UnionRgn(a->dirty, dirty, a->dirty);
}

// The common part of the four copies: black on white, srcCopy. Worlds never
// move here, so the lock bracket of the toolbox has nothing to do.
static void Off_Copy(GWorldPtr src, const Rect& from, GWorldPtr dst, const Rect& to, RgnHandle clip) {
  if (!src) return;
  const bool locked = Is_GWorld_Locked(src);
  if (!locked) Lock_GWorld(src);
  ForeColor(1);
  BackColor(0);
  Port_To_Port(src, dst, from, to, srcCopy, clip);
  if (!locked) Unlock_GWorld(src);
}

void Off_UpdateDirty() {
  if (!off_last_area || !off_last_area->gworld) return;
  a_off_area& a = *off_last_area;
  Rect bounds;
  Get_GWorld_Bounds(a.gworld, bounds);
  if (a.dirty && !EmptyRgn(a.dirty)) Off_Copy(a.gworld, bounds, nullptr, bounds, a.dirty);
  if (a.dirty) SetEmptyRgn(a.dirty);
}

void Off_UpdateRect(const Rect& src, const Rect& dst) {
  if (!off_last_area) return;
  Off_Copy(off_last_area->gworld, src, nullptr, dst, nullptr);
}

void Off_UpdateRgn(const a_off_area& off, const Rect& src, const Rect& dst, RgnHandle rgn) {
  Off_Copy(off.gworld, src, nullptr, dst, rgn);
}

void Off_Load(const a_off_area& off, const Rect& bbox) {
  if (!off.gworld) return;
  ForeColor(1);
  BackColor(0);
  // The current port is the source: a world, or (NIL) the window's context.
  Port_To_Port(theGWorld, off.gworld, bbox, bbox, srcCopy, nullptr);
}

// --- Tiled fills --------------------------------------------------------------------------

// Walks the tile grid from (x0, y0) in steps (xstep, ystep) over [.. right) x
// [.. bottom), calling put(x, y) for the tiles the style draws: style 0
// every tile, style 1 a checkerboard whose rows start with a drawn tile and
// an undrawn one in turn.
template <typename Put>
static void Walk_Tiles(int32 x0, int32 y0, int32 right, int32 bottom, int32 xstep, int32 ystep, int16 style,
                       Put put) {
  bool row_flag = true;
  for (int32 y = y0; y < bottom; y += ystep) {
    bool col_flag = row_flag;
    for (int32 x = x0; x < right; x += xstep) {
      if (style == 0 || (style == 1 && col_flag)) put(x, y);
      col_flag = !col_flag;
    }
    row_flag = !row_flag;
  }
}

void PixMap_FillRect(const Rect& fill_rect, PixMapPtr pixptr, const Rect& subset, int16 style, int16 spacex,
                     int16 spacey, bool8 opaque, bool8 align) {
  // The subset must lie in the map: tiles are read from it unchecked.
  if (!pixptr || Is_Null_PixMap(*pixptr) || !RectContainsRect(pixptr->bounds, subset)) return;
  const int32 width = int32(subset.right) - subset.left;
  const int32 height = int32(subset.bottom) - subset.top;
  const int32 xstep = width + spacex;
  const int32 ystep = height + spacey;
  // No tile size or step would never leave the first position.
  if (width <= 0 || height <= 0 || xstep <= 0 || ystep <= 0) return;
  ForeColor(1);
  BackColor(0);
  PushClip(fill_rect);
  const int16 mode = opaque ? srcCopy : transparent;
  const int32 y0 = align ? RoundDown(fill_rect.top, height) : fill_rect.top;
  const int32 x0 = align ? RoundDown(fill_rect.left, width) : fill_rect.left;
  Walk_Tiles(x0, y0, fill_rect.right, fill_rect.bottom, xstep, ystep, style, [&](int32 x, int32 y) {
    // The tile cut back to fill_rect, its source cut by as much on each side.
    int32 dl = x, dt = y, dr = x + width, db = y + height;
    int32 sl = subset.left, st = subset.top, sr = subset.right, sb = subset.bottom;
    if (dl < fill_rect.left) { sl += fill_rect.left - dl; dl = fill_rect.left; }
    if (dt < fill_rect.top) { st += fill_rect.top - dt; dt = fill_rect.top; }
    if (dr > fill_rect.right) { sr -= dr - fill_rect.right; dr = fill_rect.right; }
    if (db > fill_rect.bottom) { sb -= db - fill_rect.bottom; db = fill_rect.bottom; }
    if (dl >= dr || dt >= db) return;
    const Rect src{int16(st), int16(sl), int16(sb), int16(sr)};
    const Rect dst{int16(dt), int16(dl), int16(db), int16(dr)};
    Pix_To_Port(pixptr, nullptr, src, dst, mode, nullptr);
  });
  PopClip();
}

void PixMap_FillRgn(RgnHandle rgn, PixMapPtr pix, const Rect& subset, int16 style, int16 spacex, int16 spacey,
                    bool8 opaque) {
  if (!pix || !rgn || Is_Null_PixMap(*pix) || !RectContainsRect(pix->bounds, subset)) return;
  const int32 width = int32(subset.right) - subset.left;
  const int32 height = int32(subset.bottom) - subset.top;
  const int32 xstep = width + spacex;
  const int32 ystep = height + spacey;
  if (width <= 0 || height <= 0 || xstep <= 0 || ystep <= 0) return;
  Rect bbox;
  Rgn_GetBounds(rgn, bbox);
  if (EmptyRect(bbox)) return;
  ForeColor(1);
  BackColor(0);
  const int16 mode = opaque ? srcCopy : transparent;
  Walk_Tiles(RoundDown(bbox.left, xstep), RoundDown(bbox.top, ystep), bbox.right, bbox.bottom, xstep, ystep,
             style, [&](int32 x, int32 y) {
               const int32 l = x + spacex, t = y + spacey;
               if (l + width > 32767 || t + height > 32767) return;
               const Rect dst{int16(t), int16(l), int16(t + height), int16(l + width)};
               Pix_To_Port(pix, nullptr, subset, dst, mode, rgn);
             });
}

void PixMap_Swap(PixMap& a, PixMap& b) { std::swap(a, b); }

void PixMap_Clip(PixMap& pix, const Rect& subset, bool8 /*device*/) {
  Rect part{0, 0, 0, 0};
  const bool any = !Is_Null_PixMap(pix) && SectRect(subset, pix.bounds, part);
  PixMap out;
  if (!any) {
    New_Empty_PixMap(out, pix.pixelSize, pix.pmTable);
  } else {
    New_PixMap(out, part, pix.pixelSize, pix.pmTable);
    if (!Is_Null_PixMap(out)) {
      // Rows copied byte for byte: no blit is needed for a same-depth cut.
      const uint32 srb = PixMap_RowBytes(pix), drb = PixMap_RowBytes(out);
      const uint32 first_bit = uint32(part.left - pix.bounds.left) * uint32(pix.pixelSize);
      const int32 w = int32(part.right) - part.left;
      const int32 rows = int32(part.bottom) - part.top;
      const uint32 row0 = uint32(part.top - pix.bounds.top);
      for (int32 r = 0; r < rows; ++r) {
        const uint8* s = reinterpret_cast<const uint8*>(pix.baseAddr) + (row0 + uint32(r)) * srb;
        uint8* d = reinterpret_cast<uint8*>(out.baseAddr) + uint32(r) * drb;
        if (pix.pixelSize >= 8) {
          std::copy_n(s + first_bit / 8, size_t(w) * size_t(pix.pixelSize / 8), d);
        } else {
          for (int32 i = 0; i < w; ++i) {
            const uint32 sb = first_bit + uint32(i) * uint32(pix.pixelSize);
            for (int16 k = 0; k < pix.pixelSize; ++k) {
              const uint32 bit = sb + uint32(k);
              const uint32 db = uint32(i) * uint32(pix.pixelSize) + uint32(k);
              if (s[bit >> 3] & (0x80 >> (bit & 7))) d[db >> 3] |= uint8(0x80 >> (db & 7));
            }
          }
        }
      }
    }
  }
  Dispose_PixMap(pix);
  pix = out;
}

// --- Dashed lines and frames --------------------------------------------------------------

static int32 Step_Toward(int32 pos, int32 end, int32 unit) {
  if (pos < end) return std::min(pos + unit, end);
  if (pos > end) return std::max(pos - unit, end);
  return pos;
}

void Dashed_Line(int16 x1, int16 y1, int16 x2, int16 y2, int16 unit) {
  RGBColor fore, back;
  GetForeColor(fore);
  GetBackColor(back);
  MoveTo(x1, y1);
  if (unit <= 0) {
    // No dash length: one solid line rather than a walk that never ends.
    LineTo(x2, y2);
  } else {
    int32 x = x1, y = y1;
    bool in_fore = true;
    while (x != x2 || y != y2) {
      x = Step_Toward(x, x2, unit);
      y = Step_Toward(y, y2, unit);
      RGBForeColor(in_fore ? fore : back);
      LineTo(int16(x), int16(y));
      in_fore = !in_fore;
    }
  }
  RGBForeColor(fore);
  RGBBackColor(back);
}

// One dashed edge from (x, y) toward (x_end, y_end) (one of them equal),
// starting with a dash. Gaps are white when opaque, skipped otherwise.
static void Dashed_Edge(bool8 opaque, int32 x, int32 y, int32 x_end, int32 y_end, int32 dash,
                        const RGBColor& fore) {
  MoveTo(int16(x), int16(y));
  bool is_dash = true;
  while (x != x_end || y != y_end) {
    x = Step_Toward(x, x_end, dash);
    y = Step_Toward(y, y_end, dash);
    if (is_dash) {
      LineTo(int16(x), int16(y));
    } else if (opaque) {
      ForeColor(0);
      LineTo(int16(x), int16(y));
      RGBForeColor(fore);
    } else {
      MoveTo(int16(x), int16(y));
    }
    is_dash = !is_dash;
  }
}

void Frame_Rect_Dashed(bool8 opaque, const Rect& r, int16 dash) {
  PenSize(1, 1);
  if (dash <= 0) {
    FrameRect(r);
    return;
  }
  RGBColor fore;
  GetForeColor(fore);
  const int32 right = int32(r.right) - 1, bottom = int32(r.bottom) - 1;
  Dashed_Edge(opaque, r.left, r.top, right, r.top, dash, fore);        // top
  Dashed_Edge(opaque, r.left, bottom, right, bottom, dash, fore);      // bottom
  Dashed_Edge(opaque, r.left, r.top, r.left, bottom, dash, fore);      // left
  Dashed_Edge(opaque, right, r.top, right, bottom, dash, fore);        // right
}

void Frame_Circle(Point center, int16 diam) {
  PenSize(1, 1);
  Rect r;
  SetRectCenter(r, center.h, center.v, diam, diam);
  FrameOval(r);
}

// A dashed arc of the circle from angle a0 to a1 (tenths, a0 <= a1).
static void Dashed_Arc(bool8 opaque, Point center, int16 radius, int32 a0, int32 a1, int32 step, int32 step2,
                       const RGBColor& fore) {
  int32 a = a0;
  MoveTo_Cyl(center, radius, int16(MOD_Positive(a, 3600)));
  bool is_dash = true;
  while (a < a1) {
    a = std::min(a + (is_dash ? step : step2), a1);
    const int16 ang = int16(MOD_Positive(a, 3600));
    if (is_dash) {
      LineTo_Cyl(center, radius, ang);
    } else if (opaque) {
      ForeColor(0);
      LineTo_Cyl(center, radius, ang);
      RGBForeColor(fore);
    } else {
      MoveTo_Cyl(center, radius, ang);
    }
    is_dash = !is_dash;
  }
}

// A solid arc, in steps small enough to look round; the corners fall on
// multiples of 2 degrees, so the quarter points of the circle are hit exactly.
static void Solid_Arc(Point center, int16 radius, int32 a0, int32 a1) {
  MoveTo_Cyl(center, radius, int16(MOD_Positive(a0, 3600)));
  for (int32 a = a0; a < a1;) {
    a = std::min(RoundDown(a, 20) + 20, a1);
    LineTo_Cyl(center, radius, int16(MOD_Positive(a, 3600)));
  }
}

static void Circle_Steps(int16 radius, int16 dash, int32& step, int32& step2) {
  step = std::max<int32>(int32(dash) * 573 / radius, 2);
  step2 = step * 3 / 2;
}

void Frame_Circle_Dashed(bool8 opaque, Point center, int16 radius, int16 dash) {
  if (radius <= 0) return;
  PenSize(1, 1);
  RGBColor fore;
  GetForeColor(fore);
  int32 step, step2;
  Circle_Steps(radius, dash, step, step2);
  Dashed_Arc(opaque, center, radius, 0, 3600, step, step2, fore);
}

void Frame_Biz_Dashed(bool8 opaque, Point center, int16 radius, int16 side, int16 dash) {
  if (radius <= 0) return;
  PenSize(1, 1);
  RGBColor fore;
  GetForeColor(fore);
  int32 step = 0, step2 = 0;
  if (dash > 0) Circle_Steps(radius, dash, step, step2);
  const int32 aside = side < 0 ? -int32(side) : int32(side);
  if (aside >= radius) {
    // The chords miss the disc: its outline is the whole circle.
    if (dash > 0)
      Dashed_Arc(opaque, center, radius, 0, 3600, step, step2, fore);
    else
      Solid_Arc(center, radius, 0, 3600);
    return;
  }
  const int32 h = LongSqrt(int32(radius) * radius - aside * aside);
  const int32 a = ArcCos(int16(h * 16384 / radius));
  for (int32 sgn : {-1, 1}) {
    const int32 y = int32(center.v) + sgn * aside;
    const int32 x0 = int32(center.h) - h, x1 = int32(center.h) + h;
    if (dash > 0) {
      Dashed_Edge(opaque, x0, y, x1, y, dash, fore);
    } else {
      MoveTo(int16(x0), int16(y));
      LineTo(int16(x1), int16(y));
    }
  }
  const int32 arcs[2][2] = {{1800 - a, 1800 + a}, {-a, a}};
  for (const auto& arc : arcs) {
    if (dash > 0)
      Dashed_Arc(opaque, center, radius, arc[0], arc[1], step, step2, fore);
    else
      Solid_Arc(center, radius, arc[0], arc[1]);
  }
}
