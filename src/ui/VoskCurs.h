// The program's cursors: which of the 33 named shapes the pointer shows,
// optionally with the outline of the current stamp, brush or eraser drawn
// into the document view around the mouse, or with crosshair lines across
// the views; the current cursor, a small stack for the busy cursor around
// long operations, and the cursor of each painting tool.
//
// Every shape but the arrow and the animated ones is served from its "CURS"
// resource; the animated shapes show the system's busy cursor (the table in
// VoskCurs.cpp gives each shape's class and resource id).
//
// Outlines and crosshair lines are drawn straight into the main window,
// inverted, only while a document is open. An outline is taken off by
// painting the window again under it (the document view draws what lies
// there and then calls Custom_Cursor_Paint); crosshair lines by inverting
// them again.
#pragma once

#include "platform/SysCurs.h"
#include "platform/SysLoop.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

enum a_cursor_shape : int16 {
  ARROW_CURSOR = 0,
  TINY_CURSOR = 1,
  EYEDROPPER_CURSOR = 2,
  EYEMINUS_CURSOR = 3,
  EYEPLUS_CURSOR = 4,
  BRUSH_CURSOR = 5,
  ZOOMEQUAL_CURSOR = 6,
  ZOOMPLUS_CURSOR = 7,
  ZOOMMINUS_CURSOR = 8,
  PENCIL_CURSOR = 9,
  CROSSHAIR_CURSOR = 10,
  GRABBER_CURSOR = 11,
  GRABBER2_CURSOR = 12,
  RESIZE_L_CURSOR = 13,
  RESIZE_R_CURSOR = 14,
  CENTER_CURSOR = 15,
  BUCKET_CURSOR = 16,
  SPRAY_CURSOR = 17,
  SPIN_CURSOR = 18,
  FINGER_CURSOR = 19,
  FINGERX_CURSOR = 20,
  LCORNER_CURSOR = 21,
  RCORNER_CURSOR = 22,
  UPDOWN_CURSOR = 23,
  FOURCORNERS_CURSOR = 24,
  DRAG_PLUS_CURSOR = 25,
  DRAG_MINUS_CURSOR = 26,
  CARET_CURSOR = 27,
  FONT0_CURSOR = 28,
  FONT1_CURSOR = 29,
  FONT2_CURSOR = 30,
  FONT3_CURSOR = 31,
  BLINKS_CURSOR = 32,
  NCURSOR_SHAPES = 33,
};

extern a_cursor_desc g_cursor_desc[NCURSOR_SHAPES];

// An outline's procedures: the screen rectangle it covers around centre (in
// the main window's client pixels) when drawn for view vx, and its drawing
// into the main window (inverted, clipped to the view). Calc gives an empty
// rectangle for an outline that has nothing to show.
using a_cursor_calc_proc = void (*)(uint16 vx, Rect& bounds, Point centre);
using a_cursor_draw_proc = void (*)(uint16 vx, Point centre);

// What the pointer looks like: the shape, and either an outline around
// brush_center (drawn for view brush_view, last drawn over brush_bounds) or
// crosshair lines through it, or neither.
struct a_cursor_spec {
  a_cursor_shape shape;
  bool8 brush_visible;
  Point brush_center;
  a_cursor_draw_proc brush_drawproc;
  a_cursor_calc_proc brush_calcproc;
  bool8 cross_visible;
  Rect brush_bounds;
  uint16 brush_view;
};

// The cursor shown.
extern a_cursor_spec g_curr_cursor;
// Saved cursors of Cursor_Push, entries 0 .. g_cursor_nstack - 1. Pushes
// beyond CURSOR_STACK_DEPTH are counted but not kept: popping them shows
// the busy cursor.
constexpr int16 CURSOR_STACK_DEPTH = 5;
extern a_cursor_spec g_cursor_stack[CURSOR_STACK_DEPTH];
extern int16 g_cursor_nstack;
// Set by whoever changes what an outline shows (the stamp's warp, the
// brush): the next Cursor_Change draws the outline again even at the same
// centre.
extern bool8 g_cursor_dirty;

// Fills the table and loads the cursors (a missing or damaged cursor
// resource is fatal here: start-up cannot go on without it), starts with the
// arrow and an empty stack, and installs Cursor_Set_Shape as the main loop's
// cursor hook (g_cursor_shape_proc).
void Cursor_Init();
// Shows the arrow and unloads them.
void Cursor_Stop();

// The one way the cursor changes: takes off crosshair lines or an outline
// the new cursor does not have, shows the shape, and draws the new outline
// or crosshair. An outline or crosshair already shown is drawn again only
// when its centre moved, its outline procedures or view changed, or
// g_cursor_dirty is set; g_cursor_dirty is cleared. A shape outside the
// table shows the arrow.
void Cursor_Change(const a_cursor_spec& spec);
// Cursor_Change to the shape alone (no outline, no crosshair); the arrow.
void Cursor_Set_Shape(a_cursor_shape cursor);
void Cursor_Arrow();
// The shape shown without its outline or crosshair (nothing when it has
// neither).
void Cursor_HideCustom();

// Saves the cursor shown; Cursor_Push_Watch then shows the busy cursor
// (SPIN_CURSOR). Cursor_Pop shows the cursor saved by the last push again,
// outline or crosshair included; a pop with nothing pushed does nothing.
void Cursor_Push();
void Cursor_Push_Watch();
void Cursor_Pop();

// After the document view painted rect (main-window client pixels): the
// outline is drawn again when it meets rect, and the part of the crosshair
// lines inside rect is inverted again.
void Custom_Cursor_Paint(const Rect& rect);

// Picks and shows the cursor of a painting tool at the stroke's mouse
// position in view vx (with Ctrl, the zoom tool zooms out).
void Calc_Edit_Cursor(uint16 vx, const a_mousestroke& stroke, a_tool tool);

// The outline of the current stamp or brush: the brush's region for the
// brush tool, sized by the view's zoom and centred on the mouse. Nothing
// while the brush region has not been made for the brush and shape chosen.
void Calc_Stamp_Cursor(uint16 vx, Rect& bounds, Point centre);
void Draw_Stamp_Cursor(uint16 vx, Point centre);
// The eraser: a square of EraserxToSize[ERASER_GRID] cells centred on the
// mouse, drawn as a frame.
void Calc_Eraser_Cursor(uint16 vx, Rect& bounds, Point centre);
void Draw_Eraser_Cursor(uint16 vx, Point centre);

// Takes an outline off the screen: the main window is painted again at once
// under bounds (within the views shown). Merge_To_Erase_Cursor takes off the
// current outline and marks it hidden (the next Cursor_Change with it draws
// it again).
void Merge_To_Erase(const Rect& bounds);
void Merge_To_Erase_Cursor();

// Crosshair lines through centre: in every view shown, the vertical and the
// horizontal line through it across the view, inverted. Cross_Hide inverts
// them back.
void Cross_Show(Point centre);
void Cross_Hide(Point centre);
