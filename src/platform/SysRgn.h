// Region operations beyond the plain region calls: bounding boxes, scaling by
// a ratio, regions turned into 1-bit masks, and makers for ovals, round
// rectangles, rectangles with an oval cut out, and polygons. Regions are the
// host layer's GDI-style region handles; rectangles follow the toolbox
// convention (right and bottom exclusive).
#pragma once

#include "host/HostRegion.h"
#include "platform/PixMaps.h"
#include "platform/Types.h"

// A scaling ratio: numerator (v) over denominator (h).
struct a_rgn_factor {
  int16 num;
  int16 den;
};

// The bounding box; NIL, empty or bad regions give (0, 0, 0, 0).
void Rgn_GetBounds(HRGN rgn, Rect& bbox);
// TRUE unless the region is complex (made of more than one rectangle).
bool8 Is_Rgn_Rectangular(HRGN rgn);
// rgnB := rgnA scaled by factor.num / factor.den. A rectangular (or empty)
// region scales each edge by edge * num div den (truncating toward zero);
// a complex one is rebuilt from its rectangles through the scaling. A zero
// denominator or a result outside the coordinate space leaves rgnB empty.
void Rgn_Scale(a_rgn_factor factor, HRGN rgnA, HRGN rgnB);
// mask := a new 1-bit map over the region's bounding box whose bits are 1
// inside the region (colour table mono_ctable). An empty region gives a null
// map; a box too large for one block calls g_err_mem_proc.
void Rgn_To_PixMap1(HRGN rgn, PixMap& mask);
void Rgn_To_PixMap1_Clean(HRGN rgn, PixMap& mask);

// Each maker deletes the old region in rgn and makes a new one. The oval and
// round rectangle cover exactly the pixels the toolbox shapes over r cover
// (GDI is given right and bottom one larger).
void OvalRgn(const Rect& r, HRGN& rgn);
void RoundRectRgn(HRGN& rgn, const Rect& r, int16 oval_h, int16 oval_v);
// The rectangle minus the oval inscribed in it.
void NotOvalRgn(const Rect& r, HRGN& rgn);

constexpr int32 kMaxPolygonPoints = 4000;
// A polygon region (alternate filling) over at most 4000 points (more are
// ignored). When no region can be made, a degenerate polygon (Is_Bad_Polygon)
// gives an empty region and any other leaves rgn NIL.
void PolygonRgn(const Point* points, int32 npoints, HRGN& rgn);
// TRUE for fewer than 3 points, or all points on one horizontal or one
// vertical line.
bool8 Is_Bad_Polygon(const Point* points, int32 npoints);
