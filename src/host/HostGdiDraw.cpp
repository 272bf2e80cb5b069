// Software GDI, part 2: lines, rectangles, ellipses, round rectangles,
// polygons, region painting and single pixels.
#include <algorithm>
#include <cmath>

#include "host/HostGdi.h"
#include "host/HostGdiCore.h"

using namespace hostgdi;

namespace {

bool Pen_Is_Null(const HostDC* dc) { return !dc->st.pen || dc->st.pen->style == PS_NULL; }

// Spans of `a` minus those of `b`; both ordered by row then x, runs of a row
// disjoint.
HostSpanList Subtract_Spans(const HostSpanList& a, const HostSpanList& b) {
  HostSpanList out;
  out.reserve(a.size() * 2);
  size_t j = 0;
  for (const HostSpan& s : a) {
    while (j < b.size() && b[j].y < s.y) ++j;
    int64 x = s.x0;
    for (size_t k = j; k < b.size() && b[k].y == s.y && x < s.x1; ++k) {
      if (b[k].x1 <= x) continue;
      if (b[k].x0 >= s.x1) break;
      if (b[k].x0 > x) out.push_back(HostSpan{s.y, int32(x), b[k].x0});
      x = std::max<int64>(x, b[k].x1);
    }
    if (x < s.x1) out.push_back(HostSpan{s.y, int32(x), s.x1});
  }
  return out;
}

// Union of span lists (any order in).
HostSpanList Union_Spans(HostSpanList all) {
  std::sort(all.begin(), all.end(), [](const HostSpan& p, const HostSpan& q) {
    return p.y != q.y ? p.y < q.y : p.x0 < q.x0;
  });
  HostSpanList out;
  for (const HostSpan& s : all) {
    if (!out.empty() && out.back().y == s.y && s.x0 <= out.back().x1) {
      out.back().x1 = std::max(out.back().x1, s.x1);
    } else {
      out.push_back(s);
    }
  }
  return out;
}

// The surface in device coordinates: generators compute only these rows.
RECT Surface_Clip(const ClipView& cv) { return RECT{0, 0, cv.surf->width, cv.surf->height}; }

void Fill_Box(const ClipView& cv, const Ink& ink, int32 rop2, int64 l, int64 t, int64 r, int64 b) {
  if (l >= r || t >= b) return;
  const int64 y0 = std::max<int64>(t, 0), y1 = std::min<int64>(b, cv.surf->height);
  for (int64 y = y0; y < y1; ++y) Paint_Span(cv, ink, rop2, int32(y), l, r);
}

// The ring between an outer box and the same box shrunk by w (w >= 1).
void Paint_Ring(const ClipView& cv, const Ink& ink, int32 rop2, int64 l, int64 t, int64 r, int64 b, int64 w) {
  if (l >= r || t >= b) return;
  const int64 il = l + w, it = t + w, ir = r - w, ib = b - w;
  const bool hole = il < ir && it < ib;
  const int64 y0 = std::max<int64>(t, 0), y1 = std::min<int64>(b, cv.surf->height);
  for (int64 y = y0; y < y1; ++y) {
    if (hole && y >= it && y < ib) {
      Paint_Span(cv, ink, rop2, int32(y), l, il);
      Paint_Span(cv, ink, rop2, int32(y), ir, r);
    } else {
      Paint_Span(cv, ink, rop2, int32(y), l, r);
    }
  }
}

// Where an outline of pen width w lies for the figure on (l, t, r, b): the
// outer edges of the pen in device pixels. A 1-pixel or inside-frame pen
// lies inside [l, r) x [t, b); wider pens are centred on the 1-pixel outline.
struct Outline {
  int64 l, t, r, b, w;
};
Outline Pen_Outline(const HostPen& pen, const RECT& d) {
  const int64 w = pen.width;
  if (pen.style == PS_INSIDEFRAME || w <= 1) return Outline{d.left, d.top, d.right, d.bottom, std::max<int64>(w, 1)};
  const int64 lo = w / 2, hi = w - w / 2;
  return Outline{d.left - lo, d.top - lo, int64(d.right) - 1 + hi, int64(d.bottom) - 1 + hi, w};
}

bool Fits(int64 v) { return v >= -int64(kHostCoordLimit) && v <= int64(kHostCoordLimit); }
bool Fits(const Outline& o) { return Fits(o.l) && Fits(o.t) && Fits(o.r) && Fits(o.b); }

// --- Lines ----------------------------------------------------------------------------

struct Dash {
  const int32* runs = nullptr;
  int32 n = 0;
  int32 period = 0;
};

Dash Dash_Of(int32 style) {
  static const int32 dash[] = {18, 6}, dot[] = {3, 3}, dashdot[] = {9, 6, 3, 6},
                     dashdotdot[] = {9, 3, 3, 3, 3, 3};
  switch (style) {
    case PS_DASH: return Dash{dash, 2, 24};
    case PS_DOT: return Dash{dot, 2, 6};
    case PS_DASHDOT: return Dash{dashdot, 4, 24};
    case PS_DASHDOTDOT: return Dash{dashdotdot, 6, 24};
    default: return Dash{};
  }
}

// Whether step i of a styled line falls on a dash (TRUE) or a gap.
bool Dash_On(const Dash& d, int64 i) {
  int64 k = i % d.period;
  for (int32 r = 0; r < d.n; ++r) {
    if (k < d.runs[r]) return (r & 1) == 0;
    k -= d.runs[r];
  }
  return true;
}

// First i in [lo, hi) where pred holds (pred false..false true..true); hi if none.
template <class P>
int64 First_True(int64 lo, int64 hi, P pred) {
  while (lo < hi) {
    const int64 mid = lo + (hi - lo) / 2;
    if (pred(mid)) hi = mid;
    else lo = mid + 1;
  }
  return lo;
}

// A 1-pixel line from (x0, y0) to (x1, y1), device coordinates, end point
// left out. Only the steps that land on the surface are walked.
void Thin_Line(const ClipView& cv, const HostDC* dc, const Ink& ink, const Ink& gap_ink, bool gaps, int32 rop2,
               const Dash& dash, int64 x0, int64 y0, int64 x1, int64 y1) {
  const int64 dx = x1 - x0, dy = y1 - y0;
  const bool xmajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  const int64 dm = xmajor ? dx : dy, dn = xmajor ? dy : dx;
  const int64 am = dm < 0 ? -dm : dm, an = dn < 0 ? -dn : dn;
  if (am == 0) return;
  const int64 sm = dm < 0 ? -1 : 1, sn = dn < 0 ? -1 : 1;
  const int64 m0 = xmajor ? x0 : y0, n0 = xmajor ? y0 : x0;
  const int64 M = xmajor ? cv.surf->width : cv.surf->height;
  const int64 N = xmajor ? cv.surf->height : cv.surf->width;
  // Minor offset at step i: round(i * an / am), halves rounded up.
  auto minor = [&](int64 i) {
    const __int128 q = (__int128(2) * i * an + am) / (__int128(2) * am);
    return n0 + sn * int64(q);
  };
  // Steps whose major coordinate is on the surface.
  int64 lo, hi;
  if (sm > 0) {
    lo = std::max<int64>(0, -m0);
    hi = std::min<int64>(am, M - m0);
  } else {
    lo = std::max<int64>(0, m0 - M + 1);
    hi = std::min<int64>(am, m0 + 1);
  }
  if (lo >= hi) return;
  // Then those whose minor coordinate is on it (monotonic in i).
  if (sn > 0) {
    lo = First_True(lo, hi, [&](int64 i) { return minor(i) >= 0; });
    hi = First_True(lo, hi, [&](int64 i) { return minor(i) >= N; });
  } else {
    lo = First_True(lo, hi, [&](int64 i) { return minor(i) < N; });
    hi = First_True(lo, hi, [&](int64 i) { return minor(i) < 0; });
  }
  (void)dc;
  for (int64 i = lo; i < hi; ++i) {
    const int64 m = m0 + sm * i, n = minor(i);
    const int64 x = xmajor ? m : n, y = xmajor ? n : m;
    if (dash.n && !Dash_On(dash, i)) {
      if (gaps) Paint_Span(cv, gap_ink, rop2, int32(y), x, x + 1);
      continue;
    }
    Paint_Span(cv, ink, rop2, int32(y), x, x + 1);
  }
}

// A wide line: the band of the pen's width along the segment, with round caps.
void Wide_Line(const ClipView& cv, const Ink& ink, int32 rop2, int64 w, int64 x0, int64 y0, int64 x1, int64 y1) {
  if (!Fits(x0 - w) || !Fits(x0 + w) || !Fits(y0 - w) || !Fits(y0 + w) || !Fits(x1 - w) || !Fits(x1 + w) ||
      !Fits(y1 - w) || !Fits(y1 + w))
    return;
  const RECT clip = Surface_Clip(cv);
  HostSpanList all, part;
  const double dx = double(x1 - x0), dy = double(y1 - y0);
  const double len = std::sqrt(dx * dx + dy * dy);
  if (len <= 0) return;
  const double nx = -dy / len * double(w) / 2, ny = dx / len * double(w) / 2;
  const double cx0 = double(x0) + 0.5, cy0 = double(y0) + 0.5, cx1 = double(x1) + 0.5, cy1 = double(y1) + 0.5;
  auto rnd = [](double v) { return int32(std::floor(v + 0.5)); };
  const POINT quad[4] = {{rnd(cx0 + nx), rnd(cy0 + ny)},
                         {rnd(cx1 + nx), rnd(cy1 + ny)},
                         {rnd(cx1 - nx), rnd(cy1 - ny)},
                         {rnd(cx0 - nx), rnd(cy0 - ny)}};
  if (Host_Polygon_Spans(quad, WINDING, part, &clip)) all.insert(all.end(), part.begin(), part.end());
  const int64 lo = w / 2;
  for (int k = 0; k < 2; ++k) {
    const int64 cx = k ? x1 : x0, cy = k ? y1 : y0;
    const RECT box{int32(cx - lo), int32(cy - lo), int32(cx - lo + w), int32(cy - lo + w)};
    if (Host_Ellipse_Spans(box, part, &clip)) all.insert(all.end(), part.begin(), part.end());
  }
  Paint_Spans(cv, ink, rop2, Union_Spans(std::move(all)));
}

// One segment with the DC's pen (device coordinates).
void Pen_Segment(const HostDC* dc, const ClipView& cv, int64 x0, int64 y0, int64 x1, int64 y1) {
  if (Pen_Is_Null(dc) || !cv.surf) return;
  const HostPen& pen = *dc->st.pen;
  Ink ink;
  Make_Solid_Ink(dc, *cv.surf, pen.color, ink);
  if (pen.width > 1) {
    Wide_Line(cv, ink, dc->st.rop2, pen.width, x0, y0, x1, y1);
    return;
  }
  Ink gap;
  Make_Solid_Ink(dc, *cv.surf, dc->st.bk_color, gap);
  Thin_Line(cv, dc, ink, gap, dc->st.bk_mode == OPAQUE, dc->st.rop2, Dash_Of(pen.style), x0, y0, x1, y1);
}

// A closed outline through device points.
void Pen_Closed(const HostDC* dc, const ClipView& cv, const POINT* p, int32 n) {
  if (n < 2) return;
  for (int32 i = 0; i < n; ++i) {
    const POINT a = p[i], b = p[(i + 1) % n];
    Pen_Segment(dc, cv, a.x, a.y, b.x, b.y);
  }
}

// Shared frame-and-fill of Ellipse and RoundRect: `spans(box, shrink, out)`
// gives the shape over a pixel box, its corner sizes reduced by 2 x shrink.
template <class Shape>
bool Curved_Figure(HDC hdc, int32 l, int32 t, int32 r, int32 b, Shape spans) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return false;
  ClipView cv(dc);
  if (!cv.surf) return true;
  const RECT d = Dev_Rect(dc, l, t, r, b);
  const RECT clip = Surface_Clip(cv);
  const int32 rop2 = dc->st.rop2;
  Ink brush;
  const bool fill = Make_Brush_Ink(dc, *cv.surf, dc->st.brush, brush);
  if (Pen_Is_Null(dc)) {
    // A null pen fills one pixel less to the right and below.
    HostSpanList inner;
    if (fill && spans(RECT{d.left, d.top, d.right - 1, d.bottom - 1}, 0, inner, clip))
      Paint_Spans(cv, brush, rop2, inner);
    return true;
  }
  const Outline o = Pen_Outline(*dc->st.pen, d);
  if (!Fits(o) || o.l >= o.r || o.t >= o.b) return true;
  HostSpanList outer, inner;
  const RECT ob{int32(o.l), int32(o.t), int32(o.r), int32(o.b)};
  const RECT ib{int32(o.l + o.w), int32(o.t + o.w), int32(o.r - o.w), int32(o.b - o.w)};
  if (!spans(ob, 0, outer, clip)) return true;
  if (ib.left < ib.right && ib.top < ib.bottom && !spans(ib, o.w, inner, clip)) inner.clear();
  if (fill) Paint_Spans(cv, brush, rop2, inner);
  Ink pen;
  Make_Solid_Ink(dc, *cv.surf, dc->st.pen->color, pen);
  Paint_Spans(cv, pen, rop2, Subtract_Spans(outer, inner));
  return true;
}

// Device copy of logical points; false when one lies beyond the coordinate space.
bool Dev_Points(const HostDC* dc, const POINT* pts, int32 n, std::vector<POINT>& out) {
  out.resize(size_t(n));
  for (int32 i = 0; i < n; ++i) {
    const int64 x = Dev_X(dc, pts[i].x), y = Dev_Y(dc, pts[i].y);
    if (!Fits(x) || !Fits(y)) return false;
    out[size_t(i)] = POINT{int32(x), int32(y)};
  }
  return true;
}

}  // namespace

// --- Lines -------------------------------------------------------------------------

bool MoveToEx(HDC hdc, int32 x, int32 y, POINT* old) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return false;
  if (old) *old = dc->st.cur_pos;
  dc->st.cur_pos = POINT{x, y};
  return true;
}

bool GetCurrentPositionEx(HDC hdc, POINT* out) {
  HostDC* dc = As_DC(hdc);
  if (!dc || !out) return false;
  *out = dc->st.cur_pos;
  return true;
}

bool LineTo(HDC hdc, int32 x, int32 y) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return false;
  const POINT from = dc->st.cur_pos;
  dc->st.cur_pos = POINT{x, y};
  ClipView cv(dc);
  if (!cv.surf) return true;
  Pen_Segment(dc, cv, Dev_X(dc, from.x), Dev_Y(dc, from.y), Dev_X(dc, x), Dev_Y(dc, y));
  return true;
}

bool Polyline(HDC hdc, const POINT* pts, int32 count) {
  HostDC* dc = As_DC(hdc);
  if (!dc || count < 2 || !pts) return false;
  ClipView cv(dc);
  if (!cv.surf) return true;
  for (int32 i = 0; i + 1 < count; ++i)
    Pen_Segment(dc, cv, Dev_X(dc, pts[i].x), Dev_Y(dc, pts[i].y), Dev_X(dc, pts[i + 1].x), Dev_Y(dc, pts[i + 1].y));
  return true;
}

// --- Figures ---------------------------------------------------------------------------

bool Rectangle(HDC hdc, int32 left, int32 top, int32 right, int32 bottom) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return false;
  ClipView cv(dc);
  if (!cv.surf) return true;
  const RECT d = Dev_Rect(dc, left, top, right, bottom);
  const int32 rop2 = dc->st.rop2;
  Ink brush;
  const bool fill = Make_Brush_Ink(dc, *cv.surf, dc->st.brush, brush);
  if (Pen_Is_Null(dc)) {
    if (fill) Fill_Box(cv, brush, rop2, d.left, d.top, int64(d.right) - 1, int64(d.bottom) - 1);
    return true;
  }
  const HostPen& p = *dc->st.pen;
  const Outline o = Pen_Outline(p, d);
  if (o.l >= o.r || o.t >= o.b) return true;
  if (fill) Fill_Box(cv, brush, rop2, o.l + o.w, o.t + o.w, o.r - o.w, o.b - o.w);
  if (p.width <= 1 && p.style >= PS_DASH && p.style <= PS_DASHDOTDOT) {
    const POINT c[4] = {{int32(o.l), int32(o.t)},
                        {int32(o.r - 1), int32(o.t)},
                        {int32(o.r - 1), int32(o.b - 1)},
                        {int32(o.l), int32(o.b - 1)}};
    Pen_Closed(dc, cv, c, 4);
    return true;
  }
  Ink pen;
  Make_Solid_Ink(dc, *cv.surf, p.color, pen);
  Paint_Ring(cv, pen, rop2, o.l, o.t, o.r, o.b, o.w);
  return true;
}

bool Ellipse(HDC dc, int32 left, int32 top, int32 right, int32 bottom) {
  return Curved_Figure(dc, left, top, right, bottom,
                       [](const RECT& box, int64, HostSpanList& out, const RECT& clip) {
                         return Host_Ellipse_Spans(box, out, &clip);
                       });
}

bool RoundRect(HDC dc, int32 left, int32 top, int32 right, int32 bottom, int32 corner_w, int32 corner_h) {
  return Curved_Figure(dc, left, top, right, bottom,
                       [&](const RECT& box, int64 shrink, HostSpanList& out, const RECT& clip) {
                         const int32 cw = int32(std::max<int64>(0, int64(corner_w) - 2 * shrink));
                         const int32 ch = int32(std::max<int64>(0, int64(corner_h) - 2 * shrink));
                         return Host_RoundRect_Spans(box, cw, ch, out, &clip);
                       });
}

bool PolyPolygon(HDC hdc, const POINT* pts, const int32* counts, int32 npolys) {
  HostDC* dc = As_DC(hdc);
  if (!dc || !pts || !counts || npolys <= 0) return false;
  int64 total = 0;
  for (int32 i = 0; i < npolys; ++i) {
    if (counts[i] < 2) return false;
    total += counts[i];
    if (total > (int64(1) << 24)) return false;
  }
  ClipView cv(dc);
  if (!cv.surf) return true;
  std::vector<POINT> dev;
  if (!Dev_Points(dc, pts, int32(total), dev)) return true;
  const RECT clip = Surface_Clip(cv);
  Ink brush;
  if (Make_Brush_Ink(dc, *cv.surf, dc->st.brush, brush)) {
    HostSpanList spans;
    if (Host_PolyPolygon_Spans(dev, std::span<const int32>(counts, size_t(npolys)), dc->st.poly_fill_mode, spans, &clip))
      Paint_Spans(cv, brush, dc->st.rop2, spans);
  }
  if (!Pen_Is_Null(dc)) {
    int64 at = 0;
    for (int32 i = 0; i < npolys; ++i) {
      Pen_Closed(dc, cv, dev.data() + at, counts[i]);
      at += counts[i];
    }
  }
  return true;
}

bool Polygon(HDC dc, const POINT* pts, int32 count) {
  if (count < 2) return false;
  return PolyPolygon(dc, pts, &count, 1);
}

// --- Rectangles and regions with a brush ----------------------------------------------

namespace {

// FillRect and FrameRect: `paint` gets the brush's ink and r in device
// space. The rectangle is taken as given: an inverted one paints nothing.
template <class Paint>
int32 Brush_Rect(HDC hdc, const RECT* r, HBRUSH brush, Paint paint) {
  HostDC* dc = As_DC(hdc);
  const HostBrush* b = As_Brush(brush);
  if (!dc || !r || !b) return 0;
  ClipView cv(dc);
  if (!cv.surf) return 1;
  Ink ink;
  if (!Make_Brush_Ink(dc, *cv.surf, b, ink)) return 1;
  if (r->left >= r->right || r->top >= r->bottom) return 1;
  paint(cv, ink, Dev_Rect(dc, r->left, r->top, r->right, r->bottom));
  return 1;
}

}  // namespace

int32 FillRect(HDC dc, const RECT* r, HBRUSH brush) {
  return Brush_Rect(dc, r, brush, [](ClipView& cv, const Ink& ink, const RECT& d) {
    Fill_Box(cv, ink, R2_COPYPEN, d.left, d.top, d.right, d.bottom);
  });
}

int32 FrameRect(HDC dc, const RECT* r, HBRUSH brush) {
  return Brush_Rect(dc, r, brush, [](ClipView& cv, const Ink& ink, const RECT& d) {
    Paint_Ring(cv, ink, R2_COPYPEN, d.left, d.top, d.right, d.bottom, 1);
  });
}

bool InvertRect(HDC hdc, const RECT* r) {
  HostDC* dc = As_DC(hdc);
  if (!dc || !r) return false;
  ClipView cv(dc);
  if (!cv.surf) return true;
  if (r->left >= r->right || r->top >= r->bottom) return true;
  const RECT d = Dev_Rect(dc, r->left, r->top, r->right, r->bottom);
  Fill_Box(cv, Ink{}, R2_NOT, d.left, d.top, d.right, d.bottom);
  return true;
}

namespace {

bool Rgn_Paint(HDC hdc, HRGN rgn, const HostBrush* brush, int32 rop2) {
  HostDC* dc = As_DC(hdc);
  if (!dc || !Host_Is_Rgn(rgn)) return false;
  ClipView cv(dc);
  if (!cv.surf) return true;
  Ink ink;
  if (rop2 != R2_NOT && !Make_Brush_Ink(dc, *cv.surf, brush, ink)) return true;
  // Regions handed to drawing calls are in logical coordinates.
  const int64 dx = int64(dc->st.viewport_org.x) - dc->st.window_org.x;
  const int64 dy = int64(dc->st.viewport_org.y) - dc->st.window_org.y;
  Paint_Rgn_Boxes(cv, ink, rop2, rgn, dx, dy);
  return true;
}

// rgn eroded along one axis by the offsets [-w, w]: the pixels whose whole
// run of 2w + 1 neighbours lies in the region.
HRGN Erode(HRGN rgn, int64 w, bool horizontal) {
  HRGN acc = CreateRectRgn(0, 0, 0, 0);
  if (!acc || CombineRgn(acc, rgn, nullptr, RGN_COPY) == ERROR) {
    DeleteRgn(acc);
    return nullptr;
  }
  // Erosion by [0, n) built by doubling: E(a + b) = E(a) AND (E(b) moved back by a).
  HRGN tmp = CreateRectRgn(0, 0, 0, 0);
  int64 have = 1;
  const int64 want = 2 * w + 1;
  while (have < want && tmp) {
    const int64 step = std::min(have, want - have);
    // acc := acc AND (acc moved by -have) gives erosion by [0, have + step) when step <= have.
    CombineRgn(tmp, acc, nullptr, RGN_COPY);
    if (OffsetRgn(tmp, horizontal ? int32(-step) : 0, horizontal ? 0 : int32(-step)) == ERROR) break;
    CombineRgn(acc, acc, tmp, RGN_AND);
    have += step;
  }
  DeleteRgn(tmp);
  OffsetRgn(acc, horizontal ? int32(w) : 0, horizontal ? 0 : int32(w));
  return acc;
}

}  // namespace

bool FillRgn(HDC dc, HRGN rgn, HBRUSH brush) {
  const HostBrush* b = As_Brush(brush);
  if (!b) return false;
  return Rgn_Paint(dc, rgn, b, R2_COPYPEN);
}

bool PaintRgn(HDC hdc, HRGN rgn) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return false;
  return Rgn_Paint(hdc, rgn, dc->st.brush, dc->st.rop2);
}

bool InvertRgn(HDC dc, HRGN rgn) { return Rgn_Paint(dc, rgn, nullptr, R2_NOT); }

bool FrameRgn(HDC hdc, HRGN rgn, HBRUSH brush, int32 w, int32 h) {
  HostDC* dc = As_DC(hdc);
  const HostBrush* b = As_Brush(brush);
  if (!dc || !Host_Is_Rgn(rgn) || !b || w < 1 || h < 1) return false;
  w = std::min(w, kMaxPenWidth);
  h = std::min(h, kMaxPenWidth);
  // The frame: the pixels of the region less than w across or h down from
  // its outside, i.e. the region minus its erosion by [-w, w] x [-h, h].
  HRGN ex = Erode(rgn, w, true);
  HRGN core = ex ? Erode(ex, h, false) : nullptr;
  bool ok = false;
  if (core) {
    HRGN frame = CreateRectRgn(0, 0, 0, 0);
    if (frame && CombineRgn(frame, rgn, core, RGN_DIFF) != ERROR) ok = Rgn_Paint(hdc, frame, b, R2_COPYPEN);
    DeleteRgn(frame);
  }
  DeleteRgn(ex);
  DeleteRgn(core);
  return ok;
}

// --- Pixels --------------------------------------------------------------------------------

COLORREF SetPixel(HDC hdc, int32 x, int32 y, COLORREF c) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return CLR_INVALID;
  ClipView cv(dc);
  if (!cv.surf) return CLR_INVALID;
  const int64 dx = Dev_X(dc, x), dy = Dev_Y(dc, y);
  const uint32 raw = Color_To_Raw(dc, *cv.surf, c);
  bool hit = false;
  cv.For_Each(dy, dx, dx + 1, [&](int32 a, int32) {
    Put_Raw(*cv.surf, Row_Ptr(*cv.surf, int32(dy)), a, raw);
    hit = true;
  });
  return hit ? Raw_To_Rgb(*cv.surf, raw) : CLR_INVALID;
}

COLORREF GetPixel(HDC hdc, int32 x, int32 y) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return CLR_INVALID;
  ClipView cv(dc);
  if (!cv.surf) return CLR_INVALID;
  const int64 dx = Dev_X(dc, x), dy = Dev_Y(dc, y);
  COLORREF out = CLR_INVALID;
  cv.For_Each(dy, dx, dx + 1, [&](int32 a, int32) {
    out = Raw_To_Rgb(*cv.surf, Get_Raw(*cv.surf, Row_Ptr(*cv.surf, int32(dy)), a));
  });
  return out;
}
