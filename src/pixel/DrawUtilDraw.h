// Drawing utilities that draw into the current port: cached masked worlds
// laid down through their coverage masks, and point lists (polygons of
// several contours) with their framing, dashing, regions and hit-testing.
//
// A point list is one fixed block: a 4-byte header (capacity and count)
// followed by `max` points. Its capacity never changes after creation; once
// full, further additions are ignored, so a caller may keep the list's
// address for as long as it lives. The point POINTLIST_BREAK ends one contour
// and starts the next.
#pragma once

#include <cstddef>

#include "pixel/DrawUtilMasked.h"
#include "platform/Quickdraw.h"
#include "platform/Types.h"

// --- Cached masked worlds ------------------------------------------------------------

// Draws w into the current port at dest, clipped to `clip` (destination
// coordinates, NIL for none) and to the port: black foreground, white
// background; through the 8-bit mask with Pix_To_Port_Deep when there is one
// (each channel (s x m + d x (255 - m)) >> 8, 255 copies, 0 leaves the port),
// else a plain copy with Pix_To_Port. The whole of the fore world is drawn
// (scaled when dest has another size). Nothing when fore is NIL or dest is
// empty. A clip of several rectangles is honoured with a mask too (the masked
// blit takes rectangles only, so each rectangle is drawn on its own). A mask
// whose size differs from the fore world's calls QUIT.
void Draw_Cached_MWorld(const a_masked_gworld& w, const Rect& dest, RgnHandle clip);

// --- Point lists ------------------------------------------------------------------

constexpr uint16 kPointlistMax = 10000;
constexpr Point POINTLIST_BREAK{32767, 32767};

struct a_pointlist_rec {
  uint16 max;      // capacity, at most kPointlistMax
  uint16 npoints;  // points in use, 0 .. max
  // Only the first `max` entries exist: the block is cut to its capacity.
  // Never copy the record by value.
  Point points[kPointlistMax];
};
static_assert(offsetof(a_pointlist_rec, points) == 4);
static_assert(sizeof(Point) == 4);

using a_pointlist_ptr = a_pointlist_rec*;

inline bool8 Is_Pointlist_Break(const Point& p) {
  return p.v == POINTLIST_BREAK.v && p.h == POINTLIST_BREAK.h;
}

// list := a new block of 4 + 4 x maxpoints bytes with max and npoints both
// maxpoints and every point (0, 0); callers that append set npoints to 0
// first. maxpoints is cut to 0 .. kPointlistMax. When no block can be had
// the out-of-memory hook gets the byte count and list is NIL.
void New_Pointlist(int32 maxpoints, a_pointlist_ptr& list);
// Frees list when not NIL; list := NIL.
void Dispose_Pointlist(a_pointlist_ptr& list);
// dst := a new list (New_Pointlist of src's count) holding src's points.
// What dst held before is not freed. NIL src gives NIL.
void Copy_Pointlist(const a_pointlist_rec* src, a_pointlist_ptr& dst);

// Appends (v = y, h = x) while npoints < max; otherwise nothing.
void Add_Pointlist(a_pointlist_rec* list, int16 x, int16 y);
// The same with both coordinates truncated toward zero (held to -32768 ..
// 32767; not-a-number gives 0).
void Add_PointlistR(a_pointlist_rec* list, float x, float y);
// Appends POINTLIST_BREAK while there is room.
void Add_Pointlist_Break(a_pointlist_rec* list);
// Appends the point at (radius, angle in tenths of a degree) from origin
// (Cyl_To_XY), both values truncated, while there is room.
void Add_Pointlist_Polar(a_pointlist_rec* list, Point origin, float radius, float angle);
// Five points: top-left, top-right, bottom-right, bottom-left, top-left
// again. A list with room for fewer than five is left empty (npoints 0).
void Set_Rect_Pointlist(const Rect& box, a_pointlist_rec* list);
// Adds (dy, dx) to every point except breaks (16-bit wrap).
void Offset_Pointlist(a_pointlist_rec* list, int16 dx, int16 dy);
// Every point except breaks: to polar about (centerx, centery) in degrees,
// radius + dr, angle + dt, back; coordinates truncated.
void Rotate_Pointlist(a_pointlist_rec* list, float centerx, float centery, float dr, float dt);

// Pen thickness x thickness; each contour drawn as connected lines through
// its points, every point shifted up and left by thickness div 2; a break
// starts a new contour with a move. The pen is left at that size.
void Frame_Pointlist(int16 thickness, const a_pointlist_rec* list);
// Pen thickness x thickness; each contour of more than 2 points drawn as a
// closed outline of dashed lines (Dashed_Line, unit 4) from its first point
// through the others and back, shifted like Frame_Pointlist.
void Dash_Pointlist(int16 thickness, const a_pointlist_rec* list);

// TRUE when pt lies in the polygon (alternate filling) of some contour of
// more than 2 points.
bool8 Pt_In_Pointlist(Point pt, const a_pointlist_rec* list);
// rgn := a new region (the old one in rgn is disposed of): the union of the
// polygons of every contour of more than 2 points, the pixels
// Pt_In_Pointlist answers TRUE for. NIL list or no such contour: empty region.
void Pointlist_Rgn(const a_pointlist_rec* list, RgnHandle& rgn);
// Smallest rectangle holding every point but the breaks, grown by one pixel
// on each side (held within the 16-bit coordinate space); no points give
// (0, 0, 0, 0).
void Pointlist_GetBounds(const a_pointlist_rec* list, Rect& bbox);
// Removes every point of a contour that lies on the straight line through
// its neighbours (its first and last points and the breaks stay); lists of
// fewer than 4 points are left alone. Result: the new count.
int16 Compact_Pointlist(a_pointlist_rec* list);
// (p2.v - p1.v) x (p3.h - p2.h) = (p3.v - p2.v) x (p2.h - p1.h), each
// difference taken as a 16-bit value.
bool8 Is_Colinear(Point p1, Point p2, Point p3);
