// Span generators for the software GDI and the region code: filled ellipses,
// round rectangles, polygons and poly-polygons turned into horizontal runs of
// pixels. Drawing and region creation both go through these, so a painted
// oval and the elliptic region made from the same arguments are the same
// set of pixels.
//
// This header also holds the host layer's 32-bit point and rectangle
// records (POINT, RECT), shared by the regions and the drawing code.
//
// Conventions
// - A pixel (x, y) is the unit square [x, x+1) x [y, y+1); its centre is
//   (x + 0.5, y + 0.5).
// - The generators below take the *pixel box* of a shape: the shape lies in
//   [left, right) x [top, bottom) and reaches all four sides of it. The GDI
//   entry points (Ellipse, RoundRect with a null pen, CreateEllipticRgn,
//   CreateRoundRectRgn) cover one pixel less than the rectangle handed to
//   them: Host_Shape_Box turns their arguments into the pixel box.
// - Ellipse rule: a pixel is inside when its centre lies inside or on the
//   ellipse inscribed in the box. So that thin ellipses still reach the sides
//   of their box, the middle row (two rows for an even height) always spans
//   the whole width and every row holds at least its middle pixel (two for an
//   even width). Evaluated in exact integer arithmetic; the result is
//   symmetric left/right, top/bottom and under transposition.
// - Round rectangle rule: the box minus four corners; each corner is the
//   matching quarter of the ellipse of the corner size (clamped to the box)
//   placed in that corner of the box.
// - Polygon rule: vertices lie on pixel corners (integer coordinates); a
//   pixel is inside when its centre is inside the polygon. A centre exactly
//   on a left edge is inside, on a right edge outside (so a rectangle polygon
//   (0,0) (10,0) (10,10) (0,10) covers the pixels 0..9 both ways, like the
//   rectangle region (0, 0, 10, 10)). Horizontal edges never matter: centres
//   sit at half-integer heights. ALTERNATE counts crossings left of the centre
//   (odd = inside); WINDING sums edge directions (non-zero = inside). Every
//   sub-path of a poly-polygon is closed on its own; all sub-paths are
//   filled together under the one rule.
#pragma once

#include <span>
#include <vector>

#include "platform/Types.h"

// 32-bit point and rectangle of the host layer (x right, y down; right and
// bottom exclusive where a rectangle stands for pixels).
struct POINT {
  int32 x, y;
};
struct RECT {
  int32 left, top, right, bottom;
};
static_assert(sizeof(POINT) == 8 && sizeof(RECT) == 16);

inline bool operator==(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Polygon fill modes.
constexpr int32 ALTERNATE = 1;
constexpr int32 WINDING = 2;

// Coordinates must lie within +-kHostCoordLimit (the 27-bit space GDI also
// keeps to); shapes beyond it are refused. A generator also refuses to emit
// more than kHostMaxRows rows: pass a clip to work on a band of a larger shape.
constexpr int32 kHostCoordLimit = 1 << 27;
constexpr int32 kHostMaxRows = 1 << 20;

// One run of pixels: x0 <= x < x1 on row y (x0 < x1 always).
struct HostSpan {
  int32 y, x0, x1;
};
inline bool operator==(const HostSpan& a, const HostSpan& b) {
  return a.y == b.y && a.x0 == b.x0 && a.x1 == b.x1;
}
using HostSpanList = std::vector<HostSpan>;

// Every generator clears `out` and fills it with spans ordered by row, then by
// x; spans of one row neither overlap nor touch. `clip` (optional) keeps only
// the pixels inside it, and only its rows are computed. Result: true on
// success (the list may be empty), false for invalid input (bad fill mode,
// negative counts, missing points, coordinates beyond the limit, too many
// rows); `out` is then empty.
bool Host_Ellipse_Spans(const RECT& box, HostSpanList& out, const RECT* clip = nullptr);
bool Host_RoundRect_Spans(const RECT& box, int32 corner_w, int32 corner_h, HostSpanList& out,
                          const RECT* clip = nullptr);
bool Host_Polygon_Spans(std::span<const POINT> points, int32 fill_mode, HostSpanList& out,
                        const RECT* clip = nullptr);
// `counts` gives the number of points of each sub-path, in order; their sum
// must not exceed points.size().
bool Host_PolyPolygon_Spans(std::span<const POINT> points, std::span<const int32> counts,
                            int32 fill_mode, HostSpanList& out, const RECT* clip = nullptr);

// The pixel box that GDI's Ellipse and RoundRect (with a null pen),
// CreateEllipticRgn and CreateRoundRectRgn fill for the rectangle
// (left, top, right, bottom): corners ordered, then right and bottom moved in
// by one. May be empty.
RECT Host_Shape_Box(int32 left, int32 top, int32 right, int32 bottom);

// Corners put in order (left <= right, top <= bottom), as GDI does with the
// rectangles it is given.
RECT Host_Normalize_Rect(int32 left, int32 top, int32 right, int32 bottom);
