// Paint atoms: the imprint procedures of the painting tools (each draws one
// imprint of its tool with the current fill into the current port and its
// coverage into the paint layer's mask, and reports the area it changed),
// the symmetry driver, the bucket fill, the eyedropper and the nearest-colour
// search in the palette.
//
// The fills: colour paints gs.fill_color32; the eraser writes nothing into
// the colour world and 0 into the mask; NULL_FILL and the two marquee kinds
// change neither world nor mask. Every other fill writes its coverage into
// the mask at the paint opacity. The border fill draws the border bar's
// border in a framed rectangle (centred in it, whole pieces); other shapes
// paint it in the fill colour. A gradient stroke (brush, line) cycles
// through the gradient's bands.
#pragma once

#include <vector>

#include "pixel/DrawUtilDraw.h"  // a_pointlist_rec
#include "platform/PixMaps.h"
#include "platform/Quickdraw.h"
#include "platform/SysWin.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

// One imprint's parameter: its points (one for single-point atoms, two
// (from, to) for lines, the four corners of a dragged rectangle (top-left,
// top-right, bottom-right, bottom-left) for shapes, or an outline), the area
// it changed (set by the atom), the fill, whether it is a marquee preview,
// and the paint layer's colour world and mask (the mask may be absent).
struct a_atom_rec {
  a_pointlist_rec* list;
  Rect dirty;
  a_fill_kind fill;
  bool8 marqf;
  GWorldPtr paint_world;
  GWorldPtr mask_world;
};

// p := a fresh parameter: ERASER_FILL and a marquee preview when the tool
// grid holds the eraser, else gs.fill_kind; dirty empty, no worlds; a point
// list of npoints capacity (none for 0). Dispose_PaintParm frees the list.
void New_PaintParm(int32 npoints, a_atom_rec& p);
void Dispose_PaintParm(a_atom_rec& p);

// One imprint of atomproc into world (its mask into mask, which may be NIL)
// with a parameter of one point, two points, or the rectangle's four corners;
// world is the current port meanwhile. The parameter's dirty area is given
// back through dirty when asked.
void Do_Atom_1(Point p1, a_atom_proc atomproc, GWorldPtr world, GWorldPtr mask, Rect* dirty = nullptr);
void Do_Atom_2(Point p1, Point p2, a_atom_proc atomproc, GWorldPtr world, GWorldPtr mask, Rect* dirty = nullptr);
void Do_Atom_4(const Rect& r, a_atom_proc atomproc, GWorldPtr world, GWorldPtr mask, Rect* dirty = nullptr);

// atomproc with p.paint_world as the current port, then the changed area
// (outset by the line thickness, at least 1) merged and shown again.
void Doc_Atom(a_atom_proc atomproc, a_atom_rec& p);

// The symmetry driver: base (unchanged) imprinted with tool toolx's atom in
// every symmetry copy when symmetry is on (copy 0, the base itself, only
// with drawfirst; the mirrored copies all follow), or base alone when
// drawfirst is set and symmetry is off, the tool takes no part in symmetry
// (its descriptor's flag), or the fill is the border fill or a marquee
// capture. Each copy's gradient set-up is put back after it.
void Imprint(bool8 drawfirst, a_tool toolx, const a_atom_rec& base);

// The region or rectangle filled with p.fill into the current port and the
// mask world (see the fills above). The dirty area is left to the caller.
void Atom_Rgn(a_atom_rec& p, RgnHandle rgn);
void Atom_Rect(a_atom_rec& p, const Rect& bounds);

// Tiling of a region in the current port: the stamp (with its mask, which
// may be NIL) laid at every step of a grid anchored at multiples of the step,
// horizontal step w + max(6 - w, spacex) and vertical h + max(6 - h, spacey)
// (never below 6 cells), then copied into the port inside the region only.
// plain copies the tiles (patterns), otherwise they go through Draw_Stamp3.
void Tile_Rgn(RgnHandle fill_rgn, PixMapPtr stamp, PixMapPtr mask, int16 spacex, int16 spacey, bool8 plain);
// The fill stamp tiled over the region (style 0, the only one) with the gaps.
void Draw_Stamp_Rgn(RgnHandle fill_rgn, int16 style, int16 spacex, int16 spacey);
// The fill pattern tiled over the region without gaps.
void Draw_Pattern_Rgn(RgnHandle fill_rgn);
// The stamp into dest of the current port: through its mask at the paint
// opacity 100, blended with its mask below.
void Draw_Stamp3(PixMapPtr stamp, PixMapPtr mask, const Rect& dest);
// The gradient of gs.fill_gradient (kind GRAD_KIND_GRID, centre and radius
// t.grad_center and t.grad_radius, angle -GRAD_ANGLE_SLIDER, twist
// GRAD_TWIST_SLIDER) into the current world through a 1-bit mask over
// maskbbox; alert 16 when it cannot be drawn.
void Draw_Gradient(PixMapPtr maskbits, const Rect& maskbbox);

// The next gradient band colour of a stroke: the band counter advances by 1
// and band counter / nrepeat is the band (back to band 0 past the last); the
// fore colour becomes it. Returns the colour.
a_pixel32 Inc_Gradient_Band(int16 nrepeat);

// A rotated corner set (p0 top-left, p1 top-right, p2 bottom-right, p3
// bottom-left after turning): centre, half axes along p0-p1 and p0-p3, and
// the turn as sine and cosine (16384 = 1.0). Centre and axes in 1/16 cell.
struct a_rotation_parms {
  int32 ch16, cv16;
  int32 a16, b16;
  int32 sin, cos;
};
void Calc_Rotation_Parms(const Point corners[4], a_rotation_parms& rp);
// The oval of rp as 361 outline points, one per degree, the last the first
// again; each half axis is first reduced by inset cells (not below 0).
void Calc_Rotated_Oval(const a_rotation_parms& rp, int16 inset, Point pts[361]);

// The sector of a ring between two polar points (distance in cells, angle in
// tenths of a degree) around origin: inner and outer radius, start and end
// angle (the end raised by 3600 when below the start). A span of 3600 or more
// is the whole annulus; equal radii or angles give an empty region. corner
// rounds the sector's corners. rgn receives a new region (NIL when none
// could be made).
struct a_polar {
  int32 dist;
  int32 angle;
};
void Calc_Furter_Rgn(int16 corner, Point origin, a_polar anchor, a_polar extend, RgnHandle& rgn);
// Appends the arc of radius around origin from angle a0 to a1 (tenths of a
// degree, either direction) in steps of max(300 / radius, 2) tenths; radius
// 0 gives the centre once.
void Do_Arc(Point origin, int32 radius, int32 a0, int32 a1, std::vector<Point>& pts);
// A sector of a ring in the parameter's points: origin (point 0), anchor and
// extend as polar points ((dist, angle) in points 1 and 2 as h = dist,
// v = angle); solid for the filled ring tool, else a frame of the line
// thickness.
void Atom_Furter(a_atom_rec& p);

// The bucket's fill of an area (a region of the layer's cells) with p.fill:
// colour, pattern, stamp or gradient. Any other fill (the border, the
// eraser, none) paints nothing and sounds 136; FALSE then.
bool8 Fill_Via_Mask(a_atom_rec& p, RgnHandle area);

// The imprints of the tool table (a_tool_desc.atom_proc).
void Atom_Brush(a_atom_rec& p);
void Atom_Eraser(a_atom_rec& p);
void Atom_BrushLine(a_atom_rec& p);
void Atom_Line(a_atom_rec& p);
void Atom_SOval(a_atom_rec& p);
void Atom_FOval(a_atom_rec& p);
void Atom_SRect(a_atom_rec& p);
void Atom_SRoundRect(a_atom_rec& p);
void Atom_FRect(a_atom_rec& p);
void Atom_FRoundRect(a_atom_rec& p);
void Atom_SPolygon(a_atom_rec& p);
void Atom_Stamp(a_atom_rec& p);
void Atom_Spray(a_atom_rec& p);
void Atom_Bucket(a_atom_rec& p);
void Atom_Eyedropper(a_atom_rec& p);
void Atom_Symmetry(a_atom_rec& p);
// The imprint of tools that never imprint: an internal error (QUIT).
void Atom_Error(a_atom_rec& p);

// The eyedropper at a cell of the current unit's paint area: the merged
// view's colour there becomes the selection of the colour bar it serves
// (the current bar when it is a colour bar, else the phase's), with the
// eyedropper's sound when it changes. Outside the paint area nothing.
void Set_Color_From_Doc_Pixel(Point cell);
// The palette index of the merged view's pixel at the cell (converted to
// the merged layer's pixels, which are fewer below zoom 1); 0 outside.
int16 Get_Merged_ColorX(Point cell);

// The palette entry nearest to a colour: over gs.color_table's
// gs.ncolor_table entries in order, by the sum of the squared differences
// of red, green and blue; an exact match is returned at once, and of
// entries at the same distance the first wins. 0 with an empty palette.
int16 Find_In_Palette24(const a_pixel24& targ);
// The same for a 32-bit colour (its alpha is not compared).
int16 Find_In_Palette32(const a_pixel32& targ32);
