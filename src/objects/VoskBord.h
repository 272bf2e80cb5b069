// Borders: decorative frames built from one picture of the border set of the
// picture library. The picture holds a corner piece, a side piece and an
// optional narrow sliver piece, framed by lines of a separator colour (the
// colour of its top-left pixel); markers in its rightmost column tell how
// the other three corners come from the drawn one. A border is assembled
// round any rectangle by placing corners, repeating sides and filling the
// rest with slivers, edge by edge.
//
// One border is loaded at a time (g_bord), its pieces turned for the four
// directions 1 to 4 (top, right, bottom, left), each with a 1-bit mask of
// its non-white pixels. Loading the border already loaded reads nothing; a
// border whose picture is damaged is refused (sound 136, nothing drawn) and
// its refusal remembered the same way.
#pragma once

#include <array>

#include "platform/PixMaps.h"
#include "platform/SysErr.h"  // a_keyset
#include "platform/SysWin.h"
#include "platform/Types.h"

// How a border picture's other corners come from its drawn one (top left):
// BORD_CLASS_MIRROR mirrors it (top right left to right, bottom right turned
// by half a turn, bottom left top to bottom), BORD_CLASS_TURN turns it by
// quarter turns clockwise, the two copy classes take it unchanged.
enum a_bord_class : uint16 {
  BORD_CLASS_MIRROR = 1,
  BORD_CLASS_TURN = 2,
  BORD_CLASS_COPY = 3,
  BORD_CLASS_COPY2 = 4,
};

// Where the pieces of one border picture lie (right and bottom edges
// outside the piece). An empty sliver rectangle: the border has no sliver.
struct a_bord_spec {
  a_keyset key;
  uint16 bclass;
  Rect corn_piece;
  Rect side_piece;
  Rect sliv_piece;
};

constexpr int16 NBORD_DIRS = 4;  // top, right, bottom, left

// The loaded border: its id (0 when none), class, and for each direction
// 1 to 4 (element direction - 1) the pieces (32 bits deep) and their 1-bit
// masks. A border without a sliver has null sliver maps. refused_id is the
// last border refused as damaged (0 when none), so it is not read again.
struct a_bord_rec {
  int16 id;
  uint16 bclass;
  int16 refused_id;
  std::array<PixMap, NBORD_DIRS> corn_pix;
  std::array<PixMap, NBORD_DIRS> side_pix;
  std::array<PixMap, NBORD_DIRS> sliv_pix;
  std::array<PixMap, NBORD_DIRS> corn_pixm;
  std::array<PixMap, NBORD_DIRS> side_pixm;
  std::array<PixMap, NBORD_DIRS> sliv_pixm;
};
extern a_bord_rec g_bord;

// When set, every piece drawn also paints its coverage into this 8-bit mask
// world, at g_border_mask_opacity per cent (100 at module start). The paint
// fill lends the paint layer's mask to a border imprint this way.
extern GWorldPtr g_border_mask_world;
extern int16 g_border_mask_opacity;

// Module start: nothing loaded, no mask world.
void Border_Init();
// Frees the loaded pieces (g_bord.id := 0) and forgets a refusal.
void Border_Unload();

// How many borders the library's border set holds (0 with no library open),
// and the key of border id (1 .. that count) in key order; the null key for
// any other id.
int16 Border_Count();
void BorderID_To_Key(int16 id, a_keyset& key);

// Reading the layout of a border picture (16 or 32 bits deep, pixels as in
// memory): the class from the markers (2 without them), the corner, side
// and sliver rectangles found along the separator lines, the corner standing
// in for a side that is not found. FALSE (record cleared) for a picture the
// border cannot be made from: under 6 rows or 3 columns, another depth, a
// corner not found or empty, or a side found empty. A sliver found empty
// counts as none. Every read stays inside the picture.
bool8 Load_Spec_32(const PixMap& pic, a_bord_spec& spec);
bool8 Load_Spec_16(const PixMap& pic, a_bord_spec& spec);
// The scans along the separator lines (exposed for their tests): FindH walks
// row y from column spos + 1 while it holds the separator colour sep and
// returns the first column where row y + 1 holds it too, 0 when the row
// ends or breaks first; FindV the same down column x, looking at x + 1.
int32 FindH(const PixMap& pic, uint32 sep, int32 y, int32 spos);
int32 FindV(const PixMap& pic, uint32 sep, int32 x, int32 spos);

// Makes border id the loaded one (nothing when it already is, or when it is
// the border last refused). TRUE when border id is loaded afterwards; a
// border refused now sounds 136.
bool8 Load_Comp(int16 id);

// The pieces of border targid that fit a frame of framesize (h the width, v
// the height): two corners along each axis, then as many sides as fit, then
// as many slivers as fit; ncorn, nside and nsliv count them per axis (h
// across, v down) and used is the size they make. Across: the corners of
// directions 1 and 2, the side and sliver of direction 1; down: the corners
// of directions 1 and 4, the side and sliver of direction 2. FALSE (all
// zero) when the border cannot be loaded.
bool8 Border_CalcSize2(int16 targid, Point framesize, Point& ncorn, Point& nside, Point& nsliv, Point& used);
// used for the border chosen in the border bar (gs.bar_selection[BORDER_BAR])
// and a frame of frame (h the width, v the height); (0, 0) when it cannot be
// loaded.
void Border_CalcSize(Point& size, Point frame);

// Border targid drawn round frame into the current port (and its coverage
// into g_border_mask_world when set): the fitted pieces start at the frame's
// top-left, or are centred in it with centerf. The top edge runs left to
// right with direction 1, the right edge down with direction 2, the bottom
// edge right to left with direction 3, the left edge up with direction 4,
// each from its corner; slivers go into the gaps before, between and after
// the sides (Calc_NSliv). dirty (when given) := the rectangle drawn, empty
// when nothing was. FALSE when the border cannot be loaded.
bool8 Border_Draw(bool8 centerf, int16 targid, const Rect& frame, Rect* dirty = nullptr);
// The same kept inside clip (colour and coverage alike).
bool8 Border_Draw_Clipped(bool8 centerf, int16 targid, const Rect& frame, RgnHandle clip, Rect* dirty = nullptr);

// A border bar cell: clipped to the cell, erased white, border id drawn
// round it.
void Border_DrawElement(const Rect& cell, int16 id);

// The number of slivers in gap ix (0 .. nside) of an edge with nside sides
// and nsliv slivers: nsliv div (nside + 1), one more for the first
// nsliv mod (nside + 1) gaps.
int16 Calc_NSliv(int16 ix, int16 nside, int16 nsliv);

// The border bar's selection hook (nothing to do).
void Border_Select();
