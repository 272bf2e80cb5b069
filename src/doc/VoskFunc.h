// The coordinate spaces of the program and the conversions between them,
// the painting symmetry, and a few small shared services.
//
// Spaces: cell (a unit's own pixels at 300 dots per inch, (0, 0) at the
// top-left of its paintbounds), screen (the main window's client pixels, per
// view: screen = (cell - origin) x num / den + the view's top-left), merge
// (the pixels of the unit's TOTAL_LAYER: the cells at zoom 1 and more, the
// unit's size on the screen below zoom 1) and print dots (the printed page).
//
// Scaling rounds toward minus infinity, so a screen pixel covers the same
// number of cells left and right of the origin and a point left of or above
// a view maps before its origin, never onto it. Results are kept within the
// 16-bit range of points.
#pragma once

#include "doc/VoskDoc.h"
#include "pixel/DrawUtilDraw.h"
#include "platform/PixMaps.h"
#include "platform/Quickdraw.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

// --- Screen and cell (vx: view 1 or 2; any other number means view 1) ----------------

void CellToScreen(uint16 vx, Point cell, Point& screen);
// A length: value x num / den.
int16 CellToScreenInt(uint16 vx, int16 value);
// The screen rectangle that holds every pixel the cells of cellr are drawn in.
void CellToScreenRect(uint16 vx, const Rect& cellr, Rect& screenr);
// CellToScreen in the last view shown when view 1's zoom is not 1:1, else in view 1.
void CellToScreenZ(Point cell, Point& screen);
void ScreenToCell(uint16 vx, Point screen, Point& cell);
int16 ScreenToCellInt(uint16 vx, int16 value);
// Both corners converted, then grown by one cell on each side: it holds
// every cell any pixel of screenr shows.
void ScreenToCellRect(uint16 vx, const Rect& screenr, Rect& cellr);
// A point of the screen (global coordinates) in cells of view vx.
void GlobalToCell(uint16 vx, Point global, Point& cell);
// screenrgn := cellrgn in the screen pixels of view vx.
void CellToScreenRgn(uint16 vx, RgnHandle cellrgn, RgnHandle screenrgn);
// Every point of cells converted into screen (at most its capacity); a
// separator (h 32767) is copied as it is.
void CellToScreen_Pointlist(uint16 vx, const a_pointlist_rec* cells, a_pointlist_rec* screen);
// The view a point of the main window lies in: 2 when two views are shown and
// the point is in view 2, else 1.
uint16 CalcView(Point global);

// --- Cell and merge (of a unit) ----------------------------------------------------------

// Where the TOTAL_LAYER is narrower than paintbounds, cells are scaled onto
// its pixels (0 .. paintbounds' right onto 0 .. the layer's right, bottoms
// likewise); else merge = cell.
void CellToMerge(const a_doc_unit* u, Point cell, Point& merge);
// The first cell of the merge pixel (so CellToMerge gives the pixel back).
void MergeToCell(const a_doc_unit* u, Point merge, Point& cell);
void CellToMergePair(const a_doc_unit* u, int16& h, int16& v);
// The merge rectangle holding every merge pixel a cell of cellr falls on.
void CellToMergeRect(const a_doc_unit* u, const Rect& cellr, Rect& merger);
// The cell rectangle holding every cell of the merge pixels of merger.
void MergeToCellRect(const a_doc_unit* u, const Rect& merger, Rect& cellr);
// In view 1: screen - the view's top-left + origin x num / den.
void ScreenToMerge(Point screen, Point& merge);
// Zoomed out: both corners by ScreenToMerge; else ScreenToCellRect of view 1.
void ScreenToMergeRect(const Rect& screenr, Rect& merger);

// --- Cell and print dots (g_doc.doc_print) -------------------------------------------

void Cell_To_PPoint(Point cell, Point& dots);
void Cell_To_PRect(const Rect& cellr, Rect& dotsr);
int16 Cell_To_P(int16 value);

// --- Symmetry -----------------------------------------------------------------------------

enum a_symmetry_kind : int16 { CYCLIC_SYMMETRY = 0, MIRROR_SYMMETRY = 1 };

struct a_symmetry_map {
  bool8 mirror;
  int16 sin, cos;  // 16384 = 1.0
  Point save_grad_center;
  int16 save_grad_angle;
  int16 save_grad_dir;
  bool8 saved;     // the gradient state above is to be put back
};
extern a_symmetry_map g_symmap;

// The map of copy cyclex of ncycle around the current unit's symmetry centre:
// a turn by cyclex x 360 / ncycle whole degrees (counter-clockwise on the
// screen), mirrored left to right with MIRROR_SYMMETRY. ncycle 0 counts as 1.
// With the gradient fill the gradient's centre and angle follow the copy
// (and a mirror flips a linear, ridged, ray or wavy gradient's direction)
// until Calc_Symmetry_Stop puts them back.
void Calc_Symmetry_Init(a_symmetry_kind kind, int16 cyclex, int16 ncycle);
void Calc_Symmetry_Map(Point input, Point& output);
void Calc_Symmetry_Stop();
// input turned by angle degrees around the current unit's symmetry centre,
// and the mirrored form.
void Calc_Cyclic(int16 angle, Point input, Point& output);
void Calc_Mirror(int16 angle, Point input, Point& output);

// --- Other services ---------------------------------------------------------------------

// One scroll step of view 1 in cells: 9/10 of the view with bigstep, else 1/8.
void CalcScrollDelta(bool8 bigstep, int16& dx, int16& dy);
// corner2 moved onto the nearest horizontal, vertical or 45-degree line
// through corner1.
void Apply_Line_Constraint(Point corner1, Point& corner2);
// The stamp's size centred on center.
void Calc_Stamp(const PixMap& stamp, Point center, Rect& dest);
// mask := a 1-bit map over pix's bounds set where pix has pixels (white
// counts as empty; 8-bit pixels through White_transparent1); an empty pix leaves
// mask null. Depths other than 8, 16 and 32 are an internal error.
void Stamp_To_Mask1(const PixMap& pix, PixMap& mask);
// The cells of list framed in each shown view, exclusive-or with the marquee
// pattern.
void Draw_XOR_Pointlist(const a_pointlist_rec* list);
// The pen paints in the fill colour, blended at the opacity slider's value
// below 100.
void Set_Pen_Opacity();
// a and b start at 100/100; a negative value makes a 100 + value over 100, a
// positive one b 100 - value over 100.
void Aspect_Ratio(int16 value, a_ratio& a, a_ratio& b);
bool8 Is_Doc_Changed();
bool8 Is_Gradient_Anchored();
// Repaints the main window at once.
void Doc_Update();
// dst := src with "%F" (or "%f") replaced by the document's file name; at
// most 255 characters.
void String_Substitutions(CStrSpan src, StrSpan dst);

// The placeholder of a missing picture over dest in the current port: dest
// erased to white, the legend "MISSING" over and over in staggered rows 20
// pixels apart, in the interface's 14-point font and red 242, green 87, blue
// 185, clipped to dest, and dest framed with a one-pixel pen in that colour.
void Fill_Missing_Pattern(const Rect& dest);

// Module start-up: no symmetry; Fill_Missing_Pattern becomes the render
// cache's placeholder (g_missing_pattern_proc, OPUtil.h).
void VoskFunc_Init();
