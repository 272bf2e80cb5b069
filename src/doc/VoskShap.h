// Unit shapes and their geometry: which of the 14 shapes each kind of unit
// has, the adjustment of a unit for bleed, printer nudging and disc-printer
// media, the unit in whole pixels of the current mapping, the region that is
// printed (with the centre hole of a disc or the window of a cassette label),
// and the outlines: what is cut, the fold lines of booklets, wraps and tray
// cards, the centre crosshair of discs, and the cut lines of the document
// view.
//
// Pixel rectangles follow the toolbox convention (right and bottom
// exclusive). Every outline is drawn inside its box, as FrameRect and
// FrameOval draw: the pen (a dashthick x dashthick square) hangs right and
// down from the path, and the path runs a pen's width in from the right and
// bottom edges. Dashes alternate the foreground colour and the background
// colour, so a cut line shows on any artwork.
#pragma once

#include "platform/Quickdraw.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"
#include "platform/VoskPref.h"

enum a_shape : uint8 {
  SHAPE_NOTHING = 0,
  SHAPE_RECT = 1,
  SHAPE_ROUNDRECT = 2,
  SHAPE_CIRCLE = 3,
  SHAPE_OVAL = 4,
  SHAPE_RING = 5,        // a disc face with its centre hole
  SHAPE_AUDIOFACE = 6,   // cassette label: top corners cut, a window
  SHAPE_BOOKLET = 7,     // folded once, or twice around a spine
  SHAPE_MULTIPART = 8,   // panels folded one after the other
  SHAPE_SLIMLINE = 9,    // one fold near the left edge
  SHAPE_JEWELBASE = 10,  // tray card: a spine folded at both ends
  SHAPE_BIZHOCKEY = 11,  // business-card disc with round ends
  SHAPE_BIZRECT = 12,    // business-card disc, rounded rectangle
  SHAPE_SUPERJEWELN = 13,  // super jewel box inlay with notched corners
};
constexpr uint32 NSHAPES = 14;

// The shape of each kind of unit. Kinds past the last one have no shape:
// use Unit_Kind_Shape for a kind read from outside.
extern const a_shape UNIT_TO_SHAPE[NUNITKINDS];
a_shape Unit_Kind_Shape(uint8 kind);

// The disc kinds: a centre crosshair in outlines, and the disc printer's
// media adjustment (UNIT_CD, UNIT_CD_CORE, UNIT_MINICD_RING,
// UNIT_MINICD_HOCKEY, UNIT_MINICD_RECT).
bool8 Is_Disc_Kind(uint8 kind);

// A unit in whole pixels of the current mapping.
struct a_iunit {
  a_shape shape;
  Rect bbox;      // with the bleeds when the unit was adjusted with them
  Rect ibleed;    // bleed widths: top, left, bottom, right
  int16 imeas[4];  // the unit's meas1..meas4 in pixels (imeas[0] is meas1)
};

enum a_line_kind : int16 { DASHED_LINE = 0, SOLID_LINE = 1, RGN_LINE = 2 };
enum a_bleed_display : int16 { SUPRESS_BLEED = 0, INSIDE_BLEED = 1, FULL_BLEED = 2 };

// The ranges of the print-adjust settings of the disc printer, tenths of a
// millimetre: inner diameter (every direct kind), outer diameter (the full
// disc, and the three small kinds), the business-card disc's height, and the
// rectangular card's width and height.
constexpr int16 PRINT_INNERD_MIN = 150, PRINT_INNERD_MAX = 550;
constexpr int16 PRINT_OUTERD_CD_MIN = 1000, PRINT_OUTERD_CD_MAX = 1200;
constexpr int16 PRINT_OUTERD_MINI_MIN = 484, PRINT_OUTERD_MINI_MAX = 800;
constexpr int16 PRINT_BIZSIDE_MIN = 520, PRINT_BIZSIDE_MAX = 660;
constexpr int16 PRINT_WIDTH_MIN = 800, PRINT_WIDTH_MAX = 900;
constexpr int16 PRINT_HEIGHT_MIN = 400, PRINT_HEIGHT_MAX = 750;

// out := in adjusted, in millimetres:
// - bleedf: the box grown by the four bleeds, and on disc kinds the hole
//   (meas1) narrowed by the top and bottom bleeds, not below 0; otherwise
//   the bleeds set to 0. A bleed below 0 or not finite counts as 0.
// - nudgef: moved by the current print medium's nudge (Get_Media_Specs,
//   tenths of a millimetre, turned for a landscape page); then, on small
//   paper with the LaserJet feed toggle on, by (215.9 - paper width) / 2 mm,
//   down on a landscape page, else right.
// - adjustf 1 or 2 with a direct-print kind: the medium's inner and outer
//   diameters (or width and height) centred where the box was, kept within
//   the print-adjust ranges above. adjustf 2 puts the disc printer's tray
//   sizes in place of the outer size: 126 mm for CD_DIRECT, 120 x 100 mm
//   for MINICD_DIRECT and HOCKEY_DIRECT.
void Calc_Adjusted_Unit(bool8 bleedf, bool8 nudgef, int16 adjustf, a_direct_print_kind dkind,
                        const a_unit& in, a_unit& out);

// iunit := xunit through the current mapping (Map_FRect); meas and bleeds
// scaled by its horizontal factor and rounded, kept within 0 .. 32767.
// No mapping pushed: QUIT.
void Map_Unit(const a_unit& xunit, a_iunit& iunit);

// rgn (an existing region) := the pixels of the unit that are printed.
// holes: cut out the centre hole of discs and the window of cassette labels
// (the screen and direct-print layouts); a sheet layout prints the plain
// shape. An empty box gives an empty region.
void Calc_Unit_Region(bool8 holes, const a_iunit& iunit, RgnHandle rgn);
void Calc_Ring_Region(RgnHandle rgn, const a_iunit& iunit, bool8 holes);
void Calc_Audio_Region(RgnHandle rgn, const a_iunit& iunit, bool8 holes);
void Calc_BizHockey_Region(RgnHandle rgn, const a_iunit& iunit, bool8 holes);
void Calc_BizRect_Region(RgnHandle rgn, const a_iunit& iunit, bool8 holes);
// The inlay's notched outline as a region (the printed region of the shape
// is its whole box).
void Calc_SuperJewelN_Region(RgnHandle rgn, const a_iunit& iunit);

// The window of a cassette label in pixels: its box less the bleeds,
// centred across the unit, meas2 below the top. FALSE (and an empty
// window) when the unit has none, or when the bleeds leave nothing of it.
bool8 Calc_Audio_Window(const a_iunit& iunit, Rect& window);

// Outlines unit ux (1-based) of the open document's layout through the
// current mapping: adjusted for the document's direct-print kind (nudged,
// with its media sizes, with the bleeds for FULL_BLEED), then
// Outline_Shape2 with both the outside and the folds; with crosshair an
// 8-pixel crosshair (2 x 2 pen) at the centre of disc kinds. used_bbox :=
// the unit's pixel box (empty, and nothing drawn, for a unit that is not
// there). The pen is left as it was.
void Outline_Shape(uint32 ux, bool8 is_test, a_line_kind linekind, int16 dashthick, int16 dashlen,
                   bool8 crosshair, a_bleed_display bleed_flag, Rect& used_bbox);
// The outline of iunit: do_outside the shape's edges (and holes, window,
// inner circle), do_inside its fold lines (slimline and tray-card folds not
// on test sheets). With INSIDE_BLEED a cassette label is outlined at its box
// less the bleeds.
void Outline_Shape2(bool8 is_test, bool8 do_outside, bool8 do_inside, a_line_kind linekind, int16 dashthick,
                    int16 dashlen, a_bleed_display bleed_flag, const a_iunit& iunit);

// The drawing pieces of outlines. Each draws with a dashthick x dashthick pen
// in the port's colours; DASHED_LINE in dashes of dashlen (three fifths of it
// on a slanted line, four fifths on circles, ovals' arcs, fillets and arcs),
// any other kind solid. A dashlen below 1 draws solid.
// A line whose pen path runs from (x1, y1) to (x2, y2).
void Outline_Shape_Line(a_line_kind linekind, int16 dashthick, int16 dashlen, int16 x1, int16 y1, int16 x2,
                        int16 y2);
// The edges of r, inside it.
void Outline_Shape_Rect(a_line_kind linekind, int16 dashthick, int16 dashlen, const Rect& r);
// The circle (or ellipse, for a box that is not square) inscribed in r.
void Outline_Shape_Circle(a_line_kind linekind, int16 dashthick, int16 dashlen, const Rect& r);
// The ellipse inscribed in r; dashed with the marquee's pen pattern.
void Outline_Shape_Oval(a_line_kind linekind, int16 dashthick, int16 dashlen, const Rect& r);
// r with corners rounded to radius (a plain rectangle below 2 pixels; the
// radius kept within half the smaller side).
void Outline_Shape_RoundRect(a_line_kind linekind, int16 dashthick, int16 dashlen, const Rect& r, int16 radius);
// A quarter circle of the pen path around (ch, cv): quadrant 0 the top-left
// corner of a rounded rectangle, 1 top-right, 2 bottom-right, 3 bottom-left.
void Outline_Shape_Fillet(a_line_kind linekind, int16 dashthick, int16 dashlen, int16 ch, int16 cv,
                          int16 radius, int16 quadrant);
// A disc as wide as r cut flat at r's top and bottom; the whole circle when
// r is at least as tall as it is wide.
void Outline_Shape_Hockey(a_line_kind linekind, int16 dashthick, int16 dashlen, const Rect& r);
// A cassette label: face with its top corners cut at 45 degrees (by height
// x 7 / 64), and the window (round ends; none when empty).
void Outline_Shape_Audio(a_line_kind linekind, int16 dashthick, int16 dashlen, const Rect& face,
                         const Rect& window);
// The super jewel inlay's notched outline on its 150.5 x 199 mm frame scaled to r.
void Outline_Shape_SuperJewelN(a_line_kind linekind, int16 dashthick, int16 dashlen, const Rect& r);
// A crosshair of size pixels centred on (h, v), with the current pen size.
void Draw_Crosshair(int16 h, int16 v, int16 size);

// The cut lines of unit ux of the open document through the current
// mapping (the unit's view rectangle): the preferences' cut-line colour
// dashed on white, 5-pixel dashes, 1 pixel thick, inside the bleeds, with
// the crosshair of discs. Colours and pen are left as they were.
void Draw_Cutlines2(uint32 ux);
// The cut lines of the current unit in the document view: the unit, adjusted
// with its bleeds and nudge for the document's direct-print kind, mapped onto
// the unit's rectangle in view 1, then Draw_Cutlines2. Nothing without a
// current unit.
void Draw_CutLines();
