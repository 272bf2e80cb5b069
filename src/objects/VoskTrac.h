// Paint tracking: a press in the document view in the paint phase turned
// into paint on the current unit's paint layer, one loop per tool, and the
// hold and double-press tests that object dragging and text selection share.
//
// The free-hand loop (brush, eraser, spray, stamp) queues the cells of the
// stroke and serves them to every symmetry copy ("channel"): copy 0 follows
// the mouse at once, the others catch up one imprint per idle pass, and all
// of them are drained at release. Its steps are open to callers that feed
// their own samples (Track_1_Begin .. Track_1_End).
//
// The other loops: rubber shapes and marquees (Track_4), ring sectors about
// the unit's centre (Track_Furter, its steps open as Furter_Begin ..
// Furter_End), the lasso and the polygons it outlines, the bucket, the
// eyedropper and the hand. Loops that follow a press read the mouse through
// the main window's messages up to the release.
#pragma once

#include <array>

#include "objects/VoskAtom.h"
#include "platform/SysLoop.h"
#include "platform/SysTrack.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

constexpr uint16 TRACK1_QUEUE = 4096;  // cells queued ahead of the slowest copy
constexpr uint16 MAX_SYMMETRY = 30;
constexpr int16 LAST_FIXED_ERASER = 8;  // eraser grid values up to this one are square sizes

struct a_paint_channel {
  uint16 out;          // this copy's read index into the queue
  Point last_imprint;  // its last point
  Point last_mirror;   // and that of its mirrored copy
};

struct a_track1q_rec {
  Point cell;
  bool8 jumps;  // the pen was lifted before this cell: no segment leads to it
};

// The stroke record of the free-hand loop.
struct a_track1_rec {
  uint16 in;  // queue write index
  uint16 nchannels;
  bool8 single_point;
  a_tool tracktool;
  bool8 mirror;
  bool8 some_imprints;
  a_atom_proc atomproc;
  a_atom_rec parm;
  a_pointlist_rec* list;
  // The walk from sample to sample.
  int32 spacing10;
  int32 ds;
  Point prev;
  uint32 last_good;  // tick of the last good sample
  int16 sinterval;
  bool8 repeat;
  bool8 use_shift;
  bool8 caught_up;
  uint16 serving;  // the copy served on the next idle pass (1 .. nchannels - 1)
  Rect total_dirty;
  std::array<a_paint_channel, MAX_SYMMETRY> channels;
  std::array<a_track1q_rec, TRACK1_QUEUE> queue;
};

// The stroke under way (NIL between strokes).
extern a_track1_rec* g_track1;

// The tool's drag sounds: the range and the tick before which no further
// drag sound starts.
struct a_tool_sound {
  int16 snd1;
  int16 snd2;
  int32 next_time;
};
extern a_tool_sound g_tool_sound;

// A press in the document view vx in the paint phase: the tool (the
// dropper when Ctrl is held and the tool allows it) tracks the press; a
// stroke without the first button only sets the cursor. The paint layer is
// made for a painting tool on a unit that has none.
void Paint_MouseDown(uint16 vx, const a_mousestroke& stroke);

// How the eraser tracks at ERASER_GRID value e: free-hand (ERASER_TOOL)
// for the square sizes 0 .. LAST_FIXED_ERASER, spacing := a third of the
// side (at least 1); an oval (SOVAL_TOOL) at 10, a polygon (SPOLYGON_TOOL)
// at 11, and a rectangle (SRECT_TOOL) at any other value.
a_tool Eraser_Tracking(int16 e, int16& spacing);

// The free-hand loop of tracktool from startcell in view vx: a post every
// spacing cells walked (every good sample with 0), hold samples every
// sinterval ticks with repeat, the stamp grid under Shift with use_shift.
// One undo step when something was painted.
void Track_1(int16 sinterval, int16 spacing, bool8 repeat, bool8 use_shift, uint16 vx, Point startcell,
             a_tool tracktool);

// The steps of Track_1 for a caller with its own samples (cells, not
// window points). Begin makes the stroke record (FALSE without a current
// unit); Sample takes one sample at tick now (the first one a jump); Idle
// is one pass of the loop without a new sample (the next lagging copy makes
// one imprint); Release drains the copies (Escape stops it with sound 167);
// End draws whatever is still queued, records the undo step and frees the
// record.
bool8 Track_1_Begin(int16 sinterval, int16 spacing, bool8 repeat, bool8 use_shift, uint16 vx, a_tool tracktool);
void Track_1_Sample(Point cell, a_sample_kind kind, a_shift_set shifts, uint32 now);
void Track_1_Idle();
void Track_1_Release(Point startcell);
void Track_1_End();
// Cells queued and not yet imprinted by copy cx.
uint16 Track_1_Pending(uint16 cx);

// The corners of a dragged shape of tool toolx from the anchor cell base
// to the mouse cell corner: a line runs between them (on the nearest
// horizontal, vertical or diagonal with constrain); other shapes never have
// a zero side, are square with constrain (the sides the average of the two
// drags), and span from base (shaping FROM_CORNERS, 0) or are centred on it.
// dirty covers the shape, outset for a line by its thickness and by view
// vx's zoom fudge.
void Apply_Constraints(a_tool toolx, uint16 vx, Point base, Point corner, int16 shaping, bool8 constrain,
                       Point& net1, Point& net2, Rect& dirty);
// A bordered rectangle (the framed rectangle with the border fill) is never
// smaller than the border's two corners along each axis (half that from the
// centre), and is fitted at release to whole pieces of the border chosen in
// the border bar: Border_Fit_Corners shrinks net1 .. net2 to the size the
// pieces make, keeping net1 (shaping FROM_CORNERS) or the centre.
void Border_Fit_Corners(int16 shaping, Point& net1, Point& net2);
// The four corners of the shape from corner1 to corner2, in order
// corner1, (corner1.v, corner2.h), corner2, (corner2.v, corner1.h).
void Set_4_Points(a_pointlist_rec& list, Point corner1, Point corner2);

// The rubber shape of toolx (line, oval, rectangle, round rectangle, or
// the marquee with the select tool) from the window point lanchor in view
// vx while the button is down: previewed on the paint layer, imprinted with
// its symmetry copies at release, one undo step.
void Track_4(a_tool toolx, uint16 vx, Point lanchor);

// A filled polygon: the outline collected by the lasso from startcell,
// imprinted with its symmetry copies, one undo step.
void Track_Polygon(uint16 vx, Point startcell);

// The centre of the ring sectors on a unit of kind with paintbounds: the
// centre of the bounds; on the wallet and the folded lids and inserts, which
// carry a disc on each half, the centre of the half the anchor cell lies in.
Point Calc_Furter_Origin(a_unit_kind kind, const Rect& paintbounds, Point anchor);

// The angle of a drag about the origin, unwrapped across 0: from 270.1
// degrees or more to below 90 it goes on past 360 (up to one more turn),
// from below 90 to above 270 below 0 (as far back). Start takes the
// anchor's angle; Unwrap the angle of each new cell, giving it unwrapped.
struct a_furter_unwrap {
  int16 last;
  int32 offset;
};
void Furter_Unwrap_Start(a_furter_unwrap& u, int16 angle);
int32 Furter_Unwrap(a_furter_unwrap& u, int16 angle);

// The ring sector dragged from the window point anchor_local in view vx
// about the unit's centre (Calc_Furter_Origin): filled with solid, else
// framed by the line thickness, its corners rounded by the corner slider;
// previewed while the button is down (a gradient in the fill colour), the
// gradient asked for and painted at release; one undo step when something
// was painted.
void Track_Furter(uint16 vx, bool8 solid, Point anchor_local);
// Its steps for a caller with its own cells: Begin (FALSE without a paint
// layer) from the anchor cell, Move to each cell, End the release.
bool8 Furter_Begin(uint16 vx, bool8 solid, Point anchor);
void Furter_Move(Point cell);
void Furter_End();

// An outline being collected by the lasso: its points (the first the
// origin), bounds, whether it may close yet (after a drag more than 8 cells
// from the origin, or after more than 2 clicked points) or has closed; the
// last cell added, and the outline drawn so far on the merged layer (cells),
// which is saved while the outline is collected.
struct a_lasso {
  a_pointlist_rec* list;
  Point origin;
  Rect boundary;
  bool8 may_close;
  bool8 closed;
  Point last;
  Rect drawn;
  bool8 saved;
};
// The steps of the lasso. Start with the origin: the merged layer saved,
// prompt 23 shown. Drag adds a cell of a drag (closing on a cell within 4
// cells of the origin once it may); Click adds a clicked cell (snapped onto
// the origin, closing, when it may close and lies within 4 cells). Each cell
// added is joined to the last one by a line on the merged layer (dashed
// with the select tool, else black), shown at once. Close ends it: the
// prompt hidden, the origin the last point, the bounds clipped to the
// unit's paint bounds, the merged layer put back as it was. Points past
// the list's capacity widen the bounds but are not stored.
void Lasso_Start(a_lasso& l, a_pointlist_rec* list, Point origin);
void Lasso_Drag(a_lasso& l, Point cell);
void Lasso_Click(a_lasso& l, Point cell);
void Lasso_Close(a_lasso& l);

// Collects an outline from origin in view vx: drag to draw it; released, a
// rubber line follows the mouse from the last point (straight or diagonal
// with Shift) and each click adds a straight side (a press held goes on
// drawing); a click on the origin or a key closes it. boundary := its
// bounds.
void Track_Lasso(uint16 vx, Point origin, a_pointlist_rec* lasso, Rect& boundary);
// The lasso marquee from startcell.
void Track_Lasso_Select(uint16 vx, Point startcell);

// For a circular or ray gradient: the centre (and for the circular one the
// extent) clicked by the user in view vx into t.grad_center, t.grad_radius.
void Ask_Gradient_Spec(uint16 vx);

// The bucket at startcell: one imprint (with its symmetry copies) and one
// undo step.
void Track_Bucket(uint16 vx, Point startcell);
// The dropper: the colour at the start cell, then at each new cell while
// the button is down.
void Track_Dropper1(uint16 vx, Point startcell);

// The hand in view vx: sound 130 at the press and at the release; while
// the button is down the document follows the mouse (the view scrolled by
// the mouse's move in cells, the other way), the state settled and the
// window repainted after each scroll.
void Track_Grabber(uint16 vx);
// One step of it: the move from the window point from to to, in view vx's
// cells; when that is not zero the view scrolls by it and from := to (a
// move too small for a cell is kept for the next step). TRUE when it
// scrolled.
bool8 Grabber_Step(uint16 vx, Point& from, Point to);
// The eyedropper's cursor, and with button the colour under the cell taken
// (Set_Color_From_Doc_Pixel).
void Track_Dropper2(bool8 button, Point cell);

// The sound of each tool's drag: Init takes the tool's range (when the
// second sound option is on), NextNote plays one of it at most every 25
// ticks unless the last one ended, Stop silences.
void Sound_Tool_Init(a_tool tool);
void Sound_Tool_NextNote();
void Sound_Tool_Stop();

// TRUE when the button stays down for more than half the double-click
// interval from the call (a drag, not a click); FALSE as soon as it is
// released.
bool8 Is_Mouse_Holding();
// TRUE when a further press arrives within half the double-click interval.
bool8 Is_Another_Click();
