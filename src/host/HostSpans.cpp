// Span generators: ellipses, round rectangles and polygons as runs of pixels.
// The rules are described in HostSpans.h; all arithmetic is exact integer
// arithmetic so the same arguments always give the same pixels.
#include "host/HostSpans.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using u128 = unsigned __int128;

bool In_Space(int64 v) { return v >= -int64(kHostCoordLimit) && v <= int64(kHostCoordLimit); }

// Rows [y0, y1) to compute for a shape spanning rows [top, bottom), cut by the
// clip; false when the band is larger than we agree to produce.
bool Row_Band(int32 top, int32 bottom, const RECT* clip, int32& y0, int32& y1) {
  y0 = top;
  y1 = bottom;
  if (clip) {
    y0 = std::max(y0, clip->top);
    y1 = std::min(y1, clip->bottom);
  }
  if (y1 <= y0) {
    y1 = y0;
    return true;
  }
  return int64(y1) - int64(y0) <= kHostMaxRows;
}

// Appends [x0, x1) on row y after cutting it to the clip's columns.
void Put_Span(HostSpanList& out, int32 y, int64 x0, int64 x1, const RECT* clip) {
  if (clip) {
    x0 = std::max<int64>(x0, clip->left);
    x1 = std::min<int64>(x1, clip->right);
  }
  if (x0 < x1) out.push_back(HostSpan{y, int32(x0), int32(x1)});
}

// floor(sqrt(n)) for n < 2^124. Numbers that fit 64 bits (every shape the
// program makes) take the double square root, corrected, rather than the
// long double one and its 128-bit conversions.
u128 Isqrt(u128 n) {
  if (n == 0) return 0;
  if (n <= UINT64_MAX) {
    const uint64 v = uint64(n);
    uint64 s = std::min<uint64>(uint64(std::sqrt(double(v))), 0xFFFFFFFFull);
    while (s > 0 && s * s > v) --s;
    while (s < 0xFFFFFFFFull && (s + 1) * (s + 1) <= v) ++s;
    return s;
  }
  long double est = std::sqrt(static_cast<long double>(n));
  u128 s = static_cast<u128>(est);
  while (s > 0 && s * s > n) --s;
  while ((s + 1) * (s + 1) <= n) ++s;
  return s;
}

// Row spans of the ellipse in the box [0, w) x [0, h) (w, h >= 1): for row j
// the inset from both sides (the row is [inset, w - inset)).
struct Ellipse_Rows {
  int64 w, h;

  int64 Inset(int64 j) const {
    const int64 dy2 = 2 * j + 1 - h;  // doubled distance of the row centre from the middle
    // Middle row(s) always span the full width.
    if ((h & 1) ? dy2 == 0 : (dy2 == 1 || dy2 == -1)) return 0;
    // Largest doubled horizontal distance m with m^2 h^2 + dy2^2 w^2 <= w^2 h^2.
    const u128 n = u128(w) * u128(w) * u128(h * h - dy2 * dy2);
    const u128 root = Isqrt(n);
    int64 m = root <= UINT64_MAX ? int64(uint64(root) / uint64(h)) : int64(root / u128(h));
    // Doubled distances of pixel centres from the middle have the parity of w + 1.
    if (((m ^ (w + 1)) & 1) != 0) --m;
    const int64 min_m = (w & 1) ? 0 : 1;  // keep the middle pixel(s)
    if (m < min_m) m = min_m;
    if (m > w - 1) m = w - 1;
    return (w - 1 - m) / 2;
  }
};

bool Box_Ok(const RECT& b) {
  return In_Space(b.left) && In_Space(b.right) && In_Space(b.top) && In_Space(b.bottom);
}

// Floor and ceiling of n / d for d > 0.
int64 Floor_Div(int64 n, int64 d) {
  int64 q = n / d;
  if ((n % d != 0) && (n < 0)) --q;
  return q;
}
int64 Ceil_Div(int64 n, int64 d) { return -Floor_Div(-n, d); }

struct Edge {
  int32 ytop, ybot;  // rows ytop <= y < ybot are crossed
  int64 x0, y0, dx, dy;  // upper end point and direction (dy > 0)
  int32 dir;         // +1 downward in path order, -1 upward
};

// First pixel whose centre is at or right of the edge's crossing of row y:
// ceil(X - 1/2) with X = x0 + (y + 1/2 - y0) dx / dy.
int64 Edge_Pixel(const Edge& e, int32 y) {
  const int64 num = 2 * e.dy * e.x0 + (2 * (int64(y) - e.y0) + 1) * e.dx - e.dy;
  return Ceil_Div(num, 2 * e.dy);
}

bool Fill_Polygons(std::span<const POINT> points, std::span<const int32> counts, int32 fill_mode,
                   HostSpanList& out, const RECT* clip) {
  out.clear();
  if (fill_mode != ALTERNATE && fill_mode != WINDING) return false;
  int64 total = 0;
  for (int32 c : counts) {
    if (c < 0) return false;
    total += c;
  }
  if (total > int64(points.size())) return false;

  std::vector<Edge> edges;
  edges.reserve(size_t(total));
  int32 ymin = std::numeric_limits<int32>::max();
  int32 ymax = std::numeric_limits<int32>::min();
  size_t base = 0;
  for (int32 c : counts) {
    for (int32 i = 0; i < c; ++i) {
      const POINT& p = points[base + size_t(i)];
      if (!In_Space(p.x) || !In_Space(p.y)) {
        return false;
      }
    }
    for (int32 i = 0; i < c && c >= 2; ++i) {
      const POINT& a = points[base + size_t(i)];
      const POINT& b = points[base + size_t((i + 1) % c)];
      if (a.y == b.y) continue;
      Edge e{};
      if (a.y < b.y) {
        e = Edge{a.y, b.y, a.x, a.y, int64(b.x) - a.x, int64(b.y) - a.y, +1};
      } else {
        e = Edge{b.y, a.y, b.x, b.y, int64(a.x) - b.x, int64(a.y) - b.y, -1};
      }
      ymin = std::min(ymin, e.ytop);
      ymax = std::max(ymax, e.ybot);
      edges.push_back(e);
    }
    base += size_t(c);
  }
  if (edges.empty()) return true;

  int32 y0, y1;
  if (!Row_Band(ymin, ymax, clip, y0, y1)) return false;
  if (y0 >= y1) return true;

  // Active edge list: edges sorted by their first row enter as the scan reaches them.
  std::sort(edges.begin(), edges.end(),
            [](const Edge& a, const Edge& b) { return a.ytop < b.ytop; });
  std::vector<const Edge*> active;
  std::vector<std::pair<int64, int32>> xs;  // pixel boundary, direction
  size_t next = 0;
  for (int32 y = y0; y < y1; ++y) {
    while (next < edges.size() && edges[next].ytop <= y) {
      if (edges[next].ybot > y) active.push_back(&edges[next]);
      ++next;
    }
    std::erase_if(active, [y](const Edge* e) { return e->ybot <= y; });
    if (active.empty()) continue;
    xs.clear();
    for (const Edge* e : active) xs.emplace_back(Edge_Pixel(*e, y), e->dir);
    std::sort(xs.begin(), xs.end());
    // Pixel x is inside when the crossings at or left of it (boundary <= x)
    // give an odd count or a non-zero winding sum.
    int32 wind = 0;
    int32 crossings = 0;
    bool inside = false;
    int64 start = 0;
    bool have_run = false;
    int64 run0 = 0, run1 = 0;
    for (size_t i = 0; i < xs.size();) {
      const int64 x = xs[i].first;
      while (i < xs.size() && xs[i].first == x) {
        wind += xs[i].second;
        ++crossings;
        ++i;
      }
      const bool now = fill_mode == ALTERNATE ? (crossings & 1) != 0 : wind != 0;
      if (now == inside) continue;
      if (now) {
        start = x;
      } else if (start < x) {
        // Join runs that touch so a row's spans never abut.
        if (have_run && run1 == start) {
          run1 = x;
        } else {
          if (have_run) Put_Span(out, y, run0, run1, clip);
          run0 = start;
          run1 = x;
          have_run = true;
        }
      }
      inside = now;
    }
    if (have_run) Put_Span(out, y, run0, run1, clip);
  }
  return true;
}

}  // namespace

RECT Host_Normalize_Rect(int32 left, int32 top, int32 right, int32 bottom) {
  return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
              std::max(top, bottom)};
}

RECT Host_Shape_Box(int32 left, int32 top, int32 right, int32 bottom) {
  RECT r = Host_Normalize_Rect(left, top, right, bottom);
  // Right and bottom step in by one; an empty rectangle stays empty.
  if (r.right > r.left) --r.right;
  if (r.bottom > r.top) --r.bottom;
  return r;
}

bool Host_Ellipse_Spans(const RECT& box, HostSpanList& out, const RECT* clip) {
  if (!Box_Ok(box)) {  // before the sizes below are taken
    out.clear();
    return false;
  }
  return Host_RoundRect_Spans(box, box.right - box.left, box.bottom - box.top, out, clip);
}

bool Host_RoundRect_Spans(const RECT& box, int32 corner_w, int32 corner_h, HostSpanList& out,
                          const RECT* clip) {
  out.clear();
  if (!Box_Ok(box)) return false;
  if (box.right <= box.left || box.bottom <= box.top) return true;
  const int64 w = int64(box.right) - box.left;
  const int64 h = int64(box.bottom) - box.top;
  // Corner ellipse clamped to the box; a corner of no size leaves the corner square.
  const int64 cw = std::clamp<int64>(corner_w, 0, w);
  const int64 ch = std::clamp<int64>(corner_h, 0, h);
  int32 y0, y1;
  if (!Row_Band(box.top, box.bottom, clip, y0, y1)) return false;
  const Ellipse_Rows corner{std::max<int64>(cw, 1), std::max<int64>(ch, 1)};
  const bool square = cw == 0 || ch == 0;
  out.reserve(size_t(y1 - y0));
  for (int32 y = y0; y < y1; ++y) {
    // Distance in rows from the nearer of top and bottom; the corner shapes the
    // first ch / 2 rows at either end (the middle row of an odd corner is full).
    const int64 k = std::min<int64>(int64(y) - box.top, int64(box.bottom) - 1 - y);
    const int64 inset = (!square && k < (ch + 1) / 2) ? corner.Inset(k) : 0;
    Put_Span(out, y, box.left + inset, box.right - inset, clip);
  }
  return true;
}

bool Host_Polygon_Spans(std::span<const POINT> points, int32 fill_mode, HostSpanList& out,
                        const RECT* clip) {
  if (points.size() > size_t(std::numeric_limits<int32>::max())) {
    out.clear();
    return false;
  }
  const int32 count = int32(points.size());
  return Fill_Polygons(points, std::span<const int32>(&count, 1), fill_mode, out, clip);
}

bool Host_PolyPolygon_Spans(std::span<const POINT> points, std::span<const int32> counts,
                            int32 fill_mode, HostSpanList& out, const RECT* clip) {
  return Fill_Polygons(points, counts, fill_mode, out, clip);
}
