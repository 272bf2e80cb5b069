// The canvas: a unit's background, plain white, a solid tint or a picture of
// the library's canvas set, adjusted by darkness, colour, quarter turns,
// flips and inversion. Each unit keeps its settings and a one-entry cache of the
// rendered picture.
//
// Canvas keys: the canvas bar shows thumbnails (2, set, c, d), set being the
// canvas prefix of the unit's kind; the full picture of a canvas is the same
// key with a = 1. A key with c = d = 1 is the white canvas: a thumbnail and
// no picture. Documents store the thumbnail's key.
#pragma once

#include "doc/VoskHist.h"  // a_history_op
#include "platform/SysErr.h"  // a_keyset
#include "platform/SysWin.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

struct a_doc_unit;

struct a_canvas_spec {
  a_keyset canvas_key;    // a = 2: a thumbnail of the canvas bar; c = d = 1: white
  uint16 canvas_nrot;     // quarter turns clockwise, 0 .. 3
  int16 canvas_angle;
  int16 canvas_darkness;  // 50 unchanged
  int16 canvas_scaling;
  int16 canvas_fuzz_in;   // feathers of a disc's edges, 0 .. 10
  int16 canvas_fuzz_out;
  int16 canvas_color_sat;
  int16 canvas_color_hue;   // 0 .. 359
  int16 canvas_color_dist;  // 0 .. 72: how far the colour is pulled to the hue
  bool8 canvas_flipx;
  bool8 canvas_flipy;
  bool8 canvas_invert;
};

struct a_cached_canvas {
  a_canvas_spec cv;         // the unit's canvas
  a_canvas_spec cached_cv;  // the settings cached_world was made from
  Rect cached_bounds;
  GWorldPtr cached_world;   // 32 bits, or NIL
};

// The canvas set (key part b) of each unit kind.
extern const int16 UNIT_TO_CANV_PREFIX[NUNITKINDS];
// The set of a unit kind; a kind outside the table has the plain set 1.
int16 Canvas_Prefix(uint8 unitkind);

// The size (height x width, picture pixels) a canvas of another set is
// sampled at on a unit of this kind: 640 x 640 for sets 0 and 1 (for the
// two business-card discs 640 high in the proportion of unitbounds, the
// unit's cells), 640 x 810 for 2, 640 x 1280 for 3, 614 x 584 for 4 and
// 614 x 1280 for 5. Set 6 has none: FALSE.
bool8 Canvas_Target_Size(uint8 unitkind, const Rect& unitbounds, int16& height, int16& width);

// --- Keys ---------------------------------------------------------------------------

// The key of the white canvas of a unit kind's set.
void White_Canvas_Key(uint8 unitkind, a_keyset& key);
bool8 Is_CanvKey_White(const a_keyset& key);
// key := the canvx-th canvas (from 1) of the unit kind's set in the picture
// library. With no library open, or no such canvas (an empty set among
// them), the white canvas.
void CanvX_To_Key(a_keyset& key, int16 canvx, uint8 unitkind);
// The position (from 1) of key in the unit kind's set; 1 when it is not
// there (or no library is open).
int16 Key_To_CanvX(const a_keyset& key, uint8 unitkind);
// How many canvases the picture library holds for the unit kind (0 with no
// library open).
int16 Canvas_Count(uint8 unitkind);
// fullkey := key with a = 1. A white key is accepted at once. While the
// library has no such picture the set b goes along the chain 0 -> 1 -> 2 ->
// 5 -> 3 and 4 -> 3; from 3, from 6 and from a set outside 0 .. 6 the search
// fails: FALSE.
bool8 Find_Full_Canvas(a_keyset& fullkey, const a_keyset& key);

// --- The settings ----------------------------------------------------------------------

// cv := zero, then darkness, both feathers and saturation at their sliders'
// defaults.
void Init_CV(a_canvas_spec& cv);
// Every field the same (the record has no padding that could differ).
bool8 Equal_CV(const a_canvas_spec& a, const a_canvas_spec& b);
// Darkness, saturation, hue and distance at their sliders' defaults.
bool8 Is_Canvas_Uncolored(const a_canvas_spec& cv);
// White and uncoloured: the unit has no background at all.
bool8 Is_No_Canvas(const a_canvas_spec& cv);
// The adjustments kept to their sliders' ranges (a distance over 72 would
// be a saturation over 255, a hue past 359 an internal error), the quarter
// turns to 0 .. 3. TRUE when something was changed.
bool8 Canvas_Limit_Values(a_canvas_spec& cv);
// A document's unit as it was read (unit ux, record up): its values kept to
// their ranges, and a key whose picture the library lacks replaced by the
// first canvas of the unit's set (the white one when the set is empty),
// with alert 19.
void Canvas_Verify(uint32 ux, a_doc_unit* up);

// --- Rendering --------------------------------------------------------------------------

// Unit ux's canvas (canv, the unit's) drawn into port (NIL: the current
// port) over subset. Into the unit's own TOTAL_LAYER or MINUS_LAYER world
// subset is in cells and drawn on the merge pixels it covers; into any
// other world (a print, a world in cells) subset is the destination itself.
// A white key paints white, or the solid tint when coloured, and drops the
// cached picture. A picture with cachef is rendered once into a world of
// bounds total (kept in canv while the settings and total stay the same) and
// the destination copied from it; without cachef it is rendered straight
// into the destination.
void Render_Canvas(GWorldPtr port, bool8 cachef, uint32 ux, a_cached_canvas& canv, const Rect& subset,
                   const Rect& total);
// dest in the current port painted white, or in the tint: hue
// canvas_color_hue, saturation canvas_color_dist x 255 / 72, full value,
// then darkened (or lightened) by canvas_darkness.
void Render_Solid_Canvas(const a_canvas_spec& cv, const Rect& dest);
// The canvas picture of unit ux, turned, flipped and adjusted by cv,
// sampled onto dest in the current port. An empty dest, or a picture that
// gives nothing, draws nothing; a key that finds no picture paints the
// canvas as a white one would.
void Render_Picture_Canvas(uint32 ux, const a_canvas_spec& cv, const Rect& dest);
// The part of the rendered picture (bounds picture) that goes onto dest on
// a unit of unitkind (unitbounds its cells), fullkey the picture's key:
// - for a picture of another set than 1 and the unit's own (and not 1270
//   pixels wide), the unit's target size; else (and on a unit of set 6) the
//   part that covers dest at equal scale;
// - the whole picture at the picture's size; otherwise centred, or for set
//   4 ending 12 pixels left of the right edge, centred vertically; a part
//   that fits in the picture is kept inside it.
// A part larger than the picture is centred over it and reaches past it.
// FALSE (src empty) when dest or the picture is empty.
bool8 Calc_Canvas_Source(uint8 unitkind, const Rect& unitbounds, const a_keyset& fullkey, const Rect& picture,
                         const Rect& dest, Rect& src);

// --- Commands and sliders (on the current unit) ----------------------------------------

// The canvas sliders := the settings' adjustments, and the canvas bar's
// selection := the key's place in the current unit's set.
void CV_To_Sliders(const a_canvas_spec& cv);
// The settings' adjustments := the canvas sliders.
void Sliders_To_CV(a_canvas_spec& cv);
// The end of every canvas command: the current unit redrawn (with the watch
// cursor) and op made the action's history operation.
void Canvas_Reload(a_history_op op);
// The canvas chosen in the canvas bar for the current unit's kind. Unless
// Ctrl is held the adjustments start afresh (Init_CV, the outline's layer
// made again, the sliders reloaded). OP_CANVAS_SELECT.
void Canvas_Select();
void Canvas_Invert();      // OP_CANVAS_INVERT
void Canvas_Rotate_CW();   // a quarter turn clockwise, 3 -> 0; OP_CANVAS_ROTATE
void Canvas_Rotate_CCW();  // 0 -> 3; OP_CANVAS_ROTATE
void Canvas_FlipX();       // OP_CANVAS_FLIP
void Canvas_FlipY();       // OP_CANVAS_FLIP
// Slider hooks: the sliders into the settings and the unit redrawn, with the
// slider's pending operation; the feathers also make the outline's layer
// again (OP_CANVAS_ADJUST).
void Delta_Canvas();
void Canvas_Fuzz_Delta();
// The current unit's paint removed (its paint layer freed, the unit
// redrawn, OP_PAINT_ZAP); without paint, sound 136.
void Paint_Clear_All();
// A cell of the canvas bar: erased in the bar's grey, then the thumbnail of
// canvas canvx of the current unit's kind centred in it at its own size
// (reduced when larger than the cell).
void Canvas_DrawElement(const Rect& cell, int16 canvx);

// Angles of Rotate_GWorld: mirrors, and quarter turns (counter-clockwise
// for positive angles).
constexpr int16 FLIPX = -1000;
constexpr int16 FLIPY = -2000;
constexpr int16 CW = 2700;
constexpr int16 CCW = 900;
// world mirrored (FLIPX, FLIPY) in place, or replaced by a new world of its
// pixels turned by angle (tenths of a degree) with its bounds at (0, 0). A
// missing world is left alone.
void Rotate_GWorld(GWorldPtr& world, int16 angle);
