// The read-outs around the document view: the value tip that follows the
// pointer over sliders, buttons, grids and palette cells; the echo box, a
// live preview of what a slider's setting paints; the horizontal and
// vertical rulers; the navigator (the current unit in miniature with the
// frame of what the edit view shows); the colour wheel of the photo and
// canvas panels; the status line with the pointer's position and the layer
// bar's status column. Also the text of every slider's value
// (Calc_Slider_Info) and the tool grid's letter keys.
//
// The paint and mouse procedures below are those of the custom areas
// CUSTOM_NAV, CUSTOM_STATUS, CUSTOM_PSTATUS, CUSTOM_COLORIZE, CUSTOM_RULERH
// and CUSTOM_RULERV, which their rows of the item tables name (ui/VoskIntI.cpp),
// with the tool grid's key filter and the wheel's reset button.
#pragma once

#include <array>

#include "objects/VoskText.h"  // a_horz_just
#include "platform/PixMaps.h"  // a_pixel24
#include "platform/SysLoop.h"  // a_keystroke, a_mousestroke
#include "platform/SysWin.h"   // GWorldPtr, HWND
#include "platform/Types.h"

// --- Start-up ------------------------------------------------------------------------

// The tips' state cleared, the tick table empty, the navigator without a
// miniature, the status line due at once; records the main window and
// installs Annot_BeginUpdate and Annot_EndUpdate as the window-update hooks
// (platform/SysWin.h).
void Annot_Init();

// --- Value tips ------------------------------------------------------------------------

// A value tip: what it shows (a slider's value, a button's, toggle's or grid
// element's name, a palette cell, or the echo box of a slider), of which
// item (or bar) and element, justified against the rectangle gref (global
// coordinates), shown once the pointer has rested delay1 ticks in its node
// and delay2 ticks have passed since the last tip changed.
enum a_annot_kind : uint8 {
  ANNOT_NULL = 0,
  ANNOT_ECHO = 1,
  ANNOT_BAR = 2,
  ANNOT_SLIDER = 3,
  ANNOT_TOGGLE = 4,
  ANNOT_ONESHOT = 5,
  ANNOT_GRID = 6,
};
struct a_annot_spec {
  a_annot_kind kind;
  a_horz_just just;
  int16 ix;
  int16 subx;
  int16 delay1;
  int16 delay2;
  Rect gref;
};
// The tip wanted (targ) and the one on screen (curr, when onscreen), the
// tick of the last change, the text, the box and the window area saved
// under it, the echo box's slider and interior, and the hiding of a tip
// while the window repaints under it.
struct a_annot_state {
  a_annot_spec targ;
  a_annot_spec curr;
  int32 lastchange;
  Str255 ss;
  HWND window;
  bool8 onscreen;
  Rect bbox;
  GWorldPtr off;
  int16 sliderx;
  Rect inner;
  bool8 forced_to_hide;
  int16 forced_nesting;
};
extern a_annot_state g_annot;

// A rectangle in window's client coordinates in the screen's, as a tip's
// gref is given (unmoved without a window).
Rect Client_To_Screen_Rect(HWND window, Rect r);
// The wanted tip; then Annot_Tick.
void Annot_Set_Targ(const a_annot_spec& spec);
// Another element of the wanted tip (a palette cell); then Annot_Tick.
void Annot_Set_Subx(int16 subx);
// No tip wanted; one on screen is erased.
void Annot_Zap();
// Erases a tip that is no longer wanted; shows the wanted one once the
// pointer has rested delay1 ticks in its node and delay2 ticks have passed
// since the last change.
void Annot_Tick();
// Draws the wanted tip (the echo box for ANNOT_ECHO) and marks it on
// screen; with save the window area under it is kept to be put back.
void Annot_Draw(bool8 save);
// Takes the tip off the screen: the saved area put back (else its box
// invalidated); with discard the saved area is only freed.
void Annot_Erase(bool8 discard);
// The text of a tip (empty: no tip) and its box in the window's coordinates
// (empty: none).
void Annot_Calc_String(const a_annot_spec& spec, StrSpan ss);
void Annot_Calc_Box(const a_annot_spec& spec, CStrSpan ss, Rect& box);
// The rounded yellow box with its stepped shadow and the text centred; a
// colour-bar tip in the colour itself, white text on a dark colour.
void Draw_Simple_Annotation(const Rect& box, CStrSpan ss, const a_pixel24* face);
// The tip of element id of palette bar `bar`.
void Bar_Tip_String(int16 bar, int16 id, StrSpan str);
// The window-update hooks: a tip the repaint of bounds meets is taken off
// (its saved area put back) until the repaint ends, then shown again.
void Annot_BeginUpdate(HWND window, const Rect& bounds);
void Annot_EndUpdate();

// --- Echo box -----------------------------------------------------------------------------

// The size of slider's echo box (h width, v height, caption included); a
// width of 0: the slider shows a plain value tip.
void Echo_Calc_Size(int16 slider, Point& size);
// The echo box of slider: against the left edge of the edit view,
// vertically centred on the slider's rectangle sref (window coordinates),
// at least 2 pixels inside the view.
void Calc_Echo_Box(int16 slider, const Rect& sref, Rect& box);
// Draws and erases the echo box of g_annot.sliderx.
void Echo_Draw();
void Echo_Erase();

// --- Value texts ------------------------------------------------------------------------

// The slider's name and, but for the print diameters and side, two blanks
// and its value in the slider's form.
void Calc_Slider_Info(int16 slider, StrSpan str);
// value / 10 as "12" or "12.5" (a "-" before negatives).
void Append_Slider_Tenths(int16 value, StrSpan str);

// --- Rulers ------------------------------------------------------------------------------

constexpr int16 RULER_WIDTH = 24;
constexpr int16 NTICKS = 4001;
// OUTSIDE_TICK: beyond the table (the sliders have their own OUTSIDE part).
// PLAIN_TICK: no mark; FULL_TICK: labelled, across the ruler; HALF_TICK: 12
// pixels; QUARTER_TICK: a small tick, 6 pixels.
enum a_tick_kind : uint8 { OUTSIDE_TICK = 0, PLAIN_TICK = 1, FULL_TICK = 2, HALF_TICK = 3, QUARTER_TICK = 4 };
struct a_tick {
  a_tick_kind kind;
  int32 val;  // a labelled tick's value
};
// Ticks by pixel distance from the ruler's origin (entry 0 at the origin),
// for pixels_per_unit (0: none built).
struct a_tick_table {
  float pixels_per_unit;
  std::array<a_tick, NTICKS> ticks;
};
extern a_tick_table g_ticks;

// Rebuilds g_ticks unless it was built for ppu; a ppu not above 0 or not
// finite gives a table without ticks.
void Cache_Tick_Table(float ppu);
// The tick at distance d pixels from the origin (either side); OUTSIDE_TICK
// beyond the table.
a_tick Tick_At(int32 d);
// Pixels per ruler unit of the edit view: millimetres or inches of the
// current unit by RULERS_UNITS_GRID (0, 1), else cells; and the unit's
// pixels per millimetre at zoom 1.
float Calc_Pixels_Per_Unit();
float Calc_Pixels_Per_MM();
void RulerH_Paint(const Rect& r);
void RulerV_Paint(const Rect& r);

// --- Navigator ------------------------------------------------------------------------------

struct a_nav_state {
  bool8 pix_dirty;
  GWorldPtr mini_pix;  // 32 bits, the navigator box's size
  a_ratio reduction;   // miniature = merged layer x num / den
  Point tot;           // the box's top-left in the window
  Rect doc;            // the miniature's rectangle (window coordinates)
  Rect vis;            // the frame of what view 1 shows (window coordinates)
};
extern a_nav_state g_nav;

void Nav_Init();
void Nav_Stop();
// The miniature is made again from idle time.
void Nav_Inval();
// Procedures of SV_NAV_REDUCTION (the reduction of the current unit's
// merged layer into the navigator's box, less 6; a box that only moved
// moves the miniature and frame with it) and SV_NAV_FRAME (the frame of
// view 1, 3 pixels inside the miniature). Nav_Recalc_Pix makes the
// miniature (while a drag is tracked it is only marked to be made).
void Nav_Recalc_Reduction();
void Nav_Recalc_Frame();
void Nav_Recalc_Pix();
// The point of the current unit's cells that navigator point pt (window
// coordinates) shows.
Point NavToCell(Point pt);
void Nav_Paint(const Rect& r);
void Nav_MouseDown(const a_mousestroke& stroke);
// Moves the focus of the edit view and shows it at once, the navigator too.
void Animate_Focus(Point focus);

// --- Colour wheel --------------------------------------------------------------------------

// The point of hue (degrees, counter-clockwise from the right) and distance
// (pixels, 0 .. 72) on the wheel centred on center, and back (a point beyond
// the rim gives the distance 72).
Point Colorize_HD_To_XY(Point center, int16 hue, int16 dist);
void Colorize_XY_To_HD(Point center, Point pt, int16& hue, int16& dist);
void Colorize_Paint(const Rect& r);
void Colorize_MouseDown(const a_mousestroke& stroke);
// COLORIZE_RESET_BUTTON's action.
void Colorize_Reset();

// --- Status --------------------------------------------------------------------------------

// The status line recomputed from the pointer's position (when the status
// area is shown) and repainted when its text changed; due again 10 ticks
// later. Status_Due: the tick it is due.
void Status_ReCalc();
int32 Status_Due();
// The status text for the pointer at mouse (window coordinates).
void Calc_Status_Text(Point mouse, StrSpan ss);
void Status_Paint(const Rect& r);
void Status_MouseDown(const a_mousestroke& stroke);
// The layer bar's status column: a changed text is stored and repainted.
void PStatus_Set(CStrSpan text);
void PStatus_Paint(const Rect& r);
// The palette bar's pending keyboard jump cleared, the status recomputed.
void BarJump_Flush();
extern Str255 g_ph_status;

// --- Keys and small helpers -------------------------------------------------------------

// A letter that is the shortcut of one of the first 16 tools clicks that
// cell of TOOL_GRID; TRUE when taken.
bool8 Tools_KeyFilter(const a_keystroke& key);
// Moves r inside bounds (the top-left kept inside first).
void Slide_To_Fit(const Rect& bounds, Rect& r);
// Erases r in grey (128,128,128).
void Dead_Rect(const Rect& r);
