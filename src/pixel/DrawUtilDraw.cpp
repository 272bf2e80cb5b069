#include "pixel/DrawUtilDraw.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/HostRegion.h"
#include "pixel/Draw.h"
#include "pixel/Polar.h"
#include "pixel/SysBlt.h"
#include "platform/QDRect.h"
#include "platform/SysErr.h"
#include "platform/SysMem.h"
#include "platform/SysRgn.h"
#include "platform/SysWin.h"

namespace {

int16 Clamp16(int32 v) { return int16(std::clamp<int32>(v, -32768, 32767)); }

// Truncation toward zero, held to the 16-bit range: a float beyond it would
// not convert at all.
int16 Trunc16(float f) {
  if (std::isnan(f)) return 0;
  if (f >= 32767.0f) return 32767;
  if (f <= -32768.0f) return -32768;
  return int16(f);
}

// The points actually held: a count beyond the capacity (set by a caller
// by hand) never reaches past the block.
uint16 Count(const a_pointlist_rec* list) {
  if (!list) return 0;
  return std::min(list->npoints, std::min(list->max, kPointlistMax));
}

bool Has_Room(const a_pointlist_rec* list) {
  return list && list->npoints < std::min(list->max, kPointlistMax);
}

void Append(a_pointlist_rec* list, Point p) {
  if (!Has_Room(list)) return;
  list->points[list->npoints] = p;
  ++list->npoints;
}

// Calls f(first, count) for every contour (the runs between breaks).
template <class F>
void For_Each_Contour(const a_pointlist_rec* list, F f) {
  const uint16 n = Count(list);
  uint16 start = 0;
  for (uint16 i = 0; i <= n; ++i) {
    if (i == n || Is_Pointlist_Break(list->points[i])) {
      if (i > start) f(&list->points[start], int32(i - start));
      start = uint16(i + 1);
    }
  }
}

Point Shifted(Point p, int16 shift) { return Point{Clamp16(int32(p.v) - shift), Clamp16(int32(p.h) - shift)}; }

// The masked copy, one rectangle of the clip at a time when the clip is not
// a single rectangle (the deep-mask blit only clips to rectangles).
void Deep_Copy(PixMapPtr fore, PixMapPtr mask, const Rect& dest, RgnHandle clip) {
  const Rect src = fore->bounds;
  const Rect msk = mask->bounds;
  if (clip == nullptr || Is_Rgn_Rectangular(clip)) {
    Pix_To_Port_Deep(fore, mask, nullptr, src, msk, dest, clip);
    return;
  }
  HRGN piece = CreateRectRgn(0, 0, 0, 0);
  if (!piece) return;
  for (const RECT& r : Host_Rgn_Rects(clip)) {
    SetRectRgn(piece, r.left, r.top, r.right, r.bottom);
    Pix_To_Port_Deep(fore, mask, nullptr, src, msk, dest, piece);
  }
  DeleteRgn(piece);
}

}  // namespace

// --- Cached masked worlds ------------------------------------------------------------

void Draw_Cached_MWorld(const a_masked_gworld& w, const Rect& dest, RgnHandle clip) {
  if (w.fore == nullptr || EmptyRect(dest)) return;
  // World pixels never move, so there is nothing to lock around the copy.
  PixMapPtr fore = Get_GWorld_PixMap(w.fore);
  if (!fore || !fore->baseAddr) return;
  ForeColor(1);
  BackColor(0);
  // The source is the fore world's own area, never the record's bounds,
  // so a record whose bounds drifted cannot make the copy read past it.
  if (w.mask == nullptr) {
    Pix_To_Port(fore, nullptr, fore->bounds, dest, srcCopy, clip);
    return;
  }
  PixMapPtr mask = Get_GWorld_PixMap(w.mask);
  if (!mask || !mask->baseAddr) {
    Pix_To_Port(fore, nullptr, fore->bounds, dest, srcCopy, clip);
    return;
  }
  const int32 fw = int32(fore->bounds.right) - fore->bounds.left;
  const int32 fh = int32(fore->bounds.bottom) - fore->bounds.top;
  const int32 mw = int32(mask->bounds.right) - mask->bounds.left;
  const int32 mh = int32(mask->bounds.bottom) - mask->bounds.top;
  if (fw != mw || fh != mh) {
    // The mask is read at the source's positions: a smaller one would be
    // read past its end.
    QUIT();
    return;
  }
  Deep_Copy(fore, mask, dest, clip);
}

// --- Point lists: blocks --------------------------------------------------------------

void New_Pointlist(int32 maxpoints, a_pointlist_ptr& list) {
  const uint16 n = uint16(std::clamp<int32>(maxpoints, 0, kPointlistMax));
  const uint32 bytes = uint32(offsetof(a_pointlist_rec, points)) + uint32(sizeof(Point)) * n;
  Ptr block = New_Ptr_Clear(bytes);
  if (!block) {
    list = nullptr;
    g_err_mem_proc(bytes);
    return;
  }
  // Only the header and the first n points exist; the record is never
  // touched beyond them.
  list = reinterpret_cast<a_pointlist_ptr>(block);
  list->max = n;
  list->npoints = n;
}

void Dispose_Pointlist(a_pointlist_ptr& list) {
  if (!list) return;
  Ptr block = reinterpret_cast<Ptr>(list);
  Dispose_Ptr(block);
  list = nullptr;
}

void Copy_Pointlist(const a_pointlist_rec* src, a_pointlist_ptr& dst) {
  if (!src) {
    dst = nullptr;
    return;
  }
  const uint16 n = Count(src);
  New_Pointlist(n, dst);
  if (!dst) return;
  if (n > 0) std::memcpy(dst->points, src->points, sizeof(Point) * n);
}

// --- Point lists: building ---------------------------------------------------------------

void Add_Pointlist(a_pointlist_rec* list, int16 x, int16 y) { Append(list, Point{y, x}); }

void Add_PointlistR(a_pointlist_rec* list, float x, float y) { Append(list, Point{Trunc16(y), Trunc16(x)}); }

void Add_Pointlist_Break(a_pointlist_rec* list) { Append(list, POINTLIST_BREAK); }

void Add_Pointlist_Polar(a_pointlist_rec* list, Point origin, float radius, float angle) {
  if (!Has_Room(list)) return;
  Point pt{0, 0};
  Cyl_To_XY(origin, Trunc16(radius), Trunc16(angle), pt);
  Append(list, pt);
}

void Set_Rect_Pointlist(const Rect& box, a_pointlist_rec* list) {
  if (!list) return;
  list->npoints = 0;
  if (std::min(list->max, kPointlistMax) < 5) return;
  Append(list, Point{box.top, box.left});
  Append(list, Point{box.top, box.right});
  Append(list, Point{box.bottom, box.right});
  Append(list, Point{box.bottom, box.left});
  Append(list, Point{box.top, box.left});
}

void Offset_Pointlist(a_pointlist_rec* list, int16 dx, int16 dy) {
  const uint16 n = Count(list);
  for (uint16 i = 0; i < n; ++i) {
    Point& p = list->points[i];
    if (Is_Pointlist_Break(p)) continue;
    p.v = int16(uint16(p.v) + uint16(dy));
    p.h = int16(uint16(p.h) + uint16(dx));
  }
}

void Rotate_Pointlist(a_pointlist_rec* list, float centerx, float centery, float dr, float dt) {
  const uint16 n = Count(list);
  for (uint16 i = 0; i < n; ++i) {
    Point& p = list->points[i];
    if (Is_Pointlist_Break(p)) continue;
    float r = 0, theta = 0, x = 0, y = 0;
    XYR_To_CylD(centerx, centery, float(p.h), float(p.v), r, theta);
    CylD_To_XYR(centerx, centery, r + dr, theta + dt, x, y);
    p.h = Trunc16(x);
    p.v = Trunc16(y);
  }
}

// --- Point lists: drawing ---------------------------------------------------------------

void Frame_Pointlist(int16 thickness, const a_pointlist_rec* list) {
  PenSize(thickness, thickness);
  const int16 shift = int16(std::max<int16>(thickness, 0) / 2);
  For_Each_Contour(list, [&](const Point* pts, int32 n) {
    const Point first = Shifted(pts[0], shift);
    MoveTo(first.h, first.v);
    for (int32 i = 1; i < n; ++i) {
      const Point p = Shifted(pts[i], shift);
      LineTo(p.h, p.v);
    }
  });
}

void Dash_Pointlist(int16 thickness, const a_pointlist_rec* list) {
  PenSize(thickness, thickness);
  const int16 shift = int16(std::max<int16>(thickness, 0) / 2);
  // Each contour on its own: a dash toward the break's far corner would
  // cross the whole port.
  For_Each_Contour(list, [&](const Point* pts, int32 n) {
    if (n <= 2) return;
    for (int32 i = 0; i < n; ++i) {
      const Point a = Shifted(pts[i], shift);
      const Point b = Shifted(pts[(i + 1) % n], shift);
      Dashed_Line(a.h, a.v, b.h, b.v, 4);
    }
  });
}

// --- Point lists: regions and geometry ----------------------------------------------------

bool8 Pt_In_Pointlist(Point pt, const a_pointlist_rec* list) {
  bool8 inside = false;
  For_Each_Contour(list, [&](const Point* pts, int32 n) {
    if (inside || n <= 2) return;
    RgnHandle rgn = nullptr;
    PolygonRgn(pts, n, rgn);
    if (rgn && PtInRgn(pt, rgn)) inside = true;
    DisposeRgn(rgn);
  });
  return inside;
}

void Pointlist_Rgn(const a_pointlist_rec* list, RgnHandle& rgn) {
  DisposeRgn(rgn);
  rgn = NewRgn();
  if (!rgn) return;
  For_Each_Contour(list, [&](const Point* pts, int32 n) {
    if (n <= 2) return;
    RgnHandle part = nullptr;
    PolygonRgn(pts, n, part);
    if (part) UnionRgn(rgn, part, rgn);
    DisposeRgn(part);
  });
}

void Pointlist_GetBounds(const a_pointlist_rec* list, Rect& bbox) {
  bbox = Rect{0, 0, 0, 0};
  const uint16 n = Count(list);
  bool any = false;
  int32 top = 0, left = 0, bottom = 0, right = 0;
  for (uint16 i = 0; i < n; ++i) {
    const Point p = list->points[i];
    // A break is a marker, not a place: counting it would stretch the box
    // to the corner of the coordinate space.
    if (Is_Pointlist_Break(p)) continue;
    if (!any) {
      top = bottom = p.v;
      left = right = p.h;
      any = true;
      continue;
    }
    top = std::min<int32>(top, p.v);
    left = std::min<int32>(left, p.h);
    bottom = std::max<int32>(bottom, p.v);
    right = std::max<int32>(right, p.h);
  }
  if (!any) return;
  bbox = Rect{Clamp16(top - 1), Clamp16(left - 1), Clamp16(bottom + 1), Clamp16(right + 1)};
}

int16 Compact_Pointlist(a_pointlist_rec* list) {
  const uint16 n = Count(list);
  if (!list) return 0;
  if (n < 4) return int16(n);
  uint16 out = 0;
  uint16 start = 0;
  for (uint16 i = 0; i <= n; ++i) {
    if (i < n && !Is_Pointlist_Break(list->points[i])) continue;
    // Contour start .. i - 1: keep its ends, drop inner points on the line
    // from the last kept point to the next one. Comparing with the last kept
    // point (not the original neighbour) keeps a corner that is doubled.
    for (uint16 k = start; k < i; ++k) {
      const Point p = list->points[k];
      const bool end = k == start || k + 1 == i;
      if (!end && Is_Colinear(list->points[out - 1], p, list->points[k + 1])) continue;
      list->points[out++] = p;
    }
    if (i < n) list->points[out++] = list->points[i];  // the break
    start = uint16(i + 1);
  }
  list->npoints = out;
  return int16(out);
}

bool8 Is_Colinear(Point p1, Point p2, Point p3) {
  const auto diff = [](int16 a, int16 b) { return int32(int16(uint16(a) - uint16(b))); };
  return diff(p2.v, p1.v) * diff(p3.h, p2.h) == diff(p3.v, p2.v) * diff(p2.h, p1.h);
}
