// The document view: the current unit on its pasteboard at the zoom of view
// 1, with the grid, cut lines and the frames of the phase's objects; the
// presses and keys of the view; and the drawing services other modules use
// (clips and invalidation of the views, the pasteboard, the separator).
// The print preview and the examples browser are in VoskPrev.
#pragma once

#include "platform/Quickdraw.h"
#include "platform/SysLoop.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

// --- Drawing services ------------------------------------------------------------------

// The main window as the port, clipped to view vx (1 or 2; any other is
// view 1); Edit_PopClip puts back the clip and the port. Edit_PushOff is
// the same until the views have offscreen areas of their own.
void Edit_PushClip(uint16 vx);
void Edit_PushOff(uint16 vx);
void Edit_PopClip();
// View vx (and its rulers, once they exist) is to be painted again.
void Edit_InvalAll2(uint16 vx);
// Every shown view is to be painted again.
void Edit_InvalAll();
// Every shown view painted again at once.
void Repaint_All();
// r filled with the separator pattern in grey 115 on (239, 219, 215), a
// black line along its top and its bottom edge.
void Separator_Paint(const Rect& r);
// Paints r, or rgn, in the pasteboard grey (165, 165, 165) in the current
// port.
void Draw_PasteBoard_Rect(const Rect& r);
void Draw_PasteBoard_Rgn(RgnHandle rgn);
// Each component less 20, not below 0.
void Calc_Darker_Color(const a_win_pixel32& in, a_win_pixel32& out);
// The paper of a layout in millimetres, (0, 0) at its top-left: width and
// height exchanged for a landscape layout.
void Calc_Paper_Rect(const a_template& tmpl, a_frect& r);

// --- The document view -----------------------------------------------------------------

// The document view over screenr (main window pixels) within view 1, drawn
// off-screen and copied to the main window: the pasteboard round the unit,
// the unit from its TOTAL_LAYER (brought up to date) at the view's zoom,
// the grid (GRIDLINES_TOGGLE), the cut lines (the preference, with the tool
// panels shown), and the frames of the phase's objects. Nothing without a
// current unit or outside view 1.
void Doc_DrawS(const Rect& screenr);
// cellr (cells of the current unit) drawn again now in the document view,
// when the view is shown (a document open, outside the preview and the
// start screen).
void Doc_Draw(const Rect& cellr);
// cellr rendered again and drawn: added to the unit's render_dirty, then
// the unit brought up to date (VoskRend.h).
void Doc_Merge_Draw(const Rect& cellr);
// The screen rectangle of cellr in each shown view, clipped to the view, is
// to be painted again.
void Doc_InvalCells(const Rect& cellr);
// The whole of view 1 drawn, and the unit's refresh_dirty emptied (in the
// collage phase the collage view draws instead: nothing yet).
void Edit1_PaintAll();
// Whether the document view is what the main window shows.
bool8 Is_Doc_View_Shown();

// The grid of view vx into the current port, in screen pixels: the
// gridlines colour (or, in maskmode, the opacity slider's level as mask
// values); lines through the unit's ruler_origin, (paintbounds' right) /
// (2 x GRIDLINES_HORZ_SLIDER) cells apart across and (paintbounds' bottom)
// / (2 x GRIDLINES_VERT_SLIDER) down, the lines through the origin and a
// 3 x 3 square at it darker; each line one pixel wide within the view and
// the unit, dashed when GRIDLINES_DASH_SLIDER is below its maximum.
void Draw_Grid_Lines(uint16 vx, bool8 maskmode);
// The grid's colour: in maskmode a grey whose painted mask value is level x
// 255 / 100 (level the opacity slider, 20 more for darker, at most 100);
// else the gridlines colour, or its darker variant.
void Calc_Grid_Color(bool8 darker, bool8 maskmode);
// The step of the grid's lines in cells across (h) and down (v); 0 with no
// current unit.
Point Grid_Step();
// One line of the grid through pt (screen pixels), within the unit's and
// the view's rectangle.
void Horz_Grid_Line(uint16 vx, Point pt);
void Vert_Grid_Line(uint16 vx, Point pt);

// --- Presses and keys ------------------------------------------------------------------

// A press (or the mouse at rest) in view 1: with exactly Shift inside the
// current unit the eyedropper, when a colour bar is shown or the phase is
// the paint, symbol or text phase; otherwise by phase: objects (symbol,
// photo, collage, and text while not editing), the grid's origin (grid
// phase), nothing in the preview; painting and the text editor are not
// there yet (sound 136 on a press); other phases the arrow, or sound 136 on
// a press.
void Edit1_MouseDown(const a_mousestroke& stroke);
// The mouse left view 1: the arrow again in the paint phase.
void Edit1_Exit();
// The grid's origin dragged: the finger over the unit while the grid is
// shown; a press inside the unit, held, moves the origin by the mouse's
// offset in cells (Shift: along the larger axis), kept within paintbounds.
void GridLines_MouseDown(uint16 vx, const a_mousestroke& stroke);
// A press in the print panel: nothing.
void Print_MouseDown(const a_mousestroke& stroke);
// A key for the open document; TRUE when it was used: arrows nudge the
// selection (not there yet: sound 136) or with Shift scroll a line;
// "+"/"-" step the photo or collage size slider (the text size: sound
// 136); Tab cycles the selection; Backspace and Delete press the delete
// button; Ctrl with "=" or "_" zooms in or out.
bool8 Doc_KeyDown(const a_keystroke& key);
// The view's focus moved by (dh, dv) cells (nothing for (0, 0)).
void Doc_Scroll(int16 dh, int16 dv);
// Sound 172, the view's focus := pt (cells), and the pointer to the centre
// of view 1.
void Doc_Center(Point pt);
