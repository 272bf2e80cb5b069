// The tool panels: what the 350-pixel column left of the document view
// holds for the phase, the tool, the selection and the output device. Each
// panel builder adds its items (sliders, one-shot buttons, toggles, icon
// grids and a few custom areas) one below the other inside the tool panel's
// division, each at the next locator of the panel, with a pen that keeps the
// next item's top-left corner.
//
// Vertical space between items comes from a table of 20 gaps. A panel is
// laid out twice: once to measure what its items need and how many gaps
// they use, then for real with the room left over spread over those gaps
// (at most 20 pixels each, never below 0), so that a panel fits the window
// whenever its items do.
//
// Config_Tools (ui/VoskConf.h) is defined here: it describes the phase
// strip's selector and the tool panel for the phase.
#pragma once

#include <array>
#include <initializer_list>

#include "platform/Types.h"
#include "platform/VoskDef.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"

// --- Gaps -----------------------------------------------------------------------------

constexpr int16 NGAPS = 20;
constexpr int16 MAX_GAP = 20;  // the widest gap Calc_Gaps gives

// gap[1 .. NGAPS] in pixels (gap[0] unused) and the last one taken.
struct a_gap_table {
  std::array<int16, NGAPS + 1> gap;
  int16 ix;
};
extern a_gap_table g_gaps;

// Every gap := spacing; the next gap taken is gap 1.
void Default_Gaps(int16 spacing);
// Spreads avail pixels over gaps 1 .. ngaps (at most NGAPS): gap i =
// round(avail * i / ngaps) - round(avail * (i - 1) / ngaps), each at most
// MAX_GAP. Less room than nothing (avail below 0) gives gaps of 0. The next
// gap taken is gap 1; gaps after ngaps keep their value.
void Calc_Gaps(int16 ngaps, int16 avail);
// The next gap (0 once the table is used up).
int16 Next_Gap();

// --- The pen -----------------------------------------------------------------------------

// The pen of the panel being described: the panel's rectangle, the next
// item's top-left corner, the locator of the last item added and the step
// to the next. While measuring nothing is added; the pen only moves.
struct a_panel_pen {
  Rect panel;
  Point pen;
  a_locator loc;
  a_locator inc;
  bool8 measuring;
  int16 gaps_used;  // gaps taken since the pen started
};
extern a_panel_pen g_pen;

// The pen at the panel's top-left corner, before its first locator.
void Pen_Start(const Rect& panel, bool8 measuring);
// The locator of the next item.
a_locator Next_Item_Loc();
// The pen down by the next n gaps.
void AddY(int16 n);

// The next gap, then the slider at the panel's left edge; the pen goes
// below it.
void Add_Slider(a_slider_enum ix);
// The item centred across the panel, dy pixels below the pen; the pen goes
// below it.
void Add_Grid(a_grid_enum ix, int16 dy);
void Add_OneShot(a_oneshot_enum ix, int16 dy);
// The same, at the pen's own x unless centred.
void Add_Toggle(a_toggle_enum ix, int16 dy, bool8 centred);

// One item of a row: its kind and row, and its place across: dx pixels
// after the item before it, or at x pixels from the panel's left when x is
// not below 0.
struct a_row_cell {
  a_node_kind kind;  // ONESHOT_NODE, TOGGLE_NODE or ICONGRID_NODE
  uint8 ix;
  int16 dx;
  int16 x = -1;
};
// A row dy pixels below the pen, centred across the panel when no cell has
// an x of its own; the pen goes below its tallest item.
void Add_Row(std::initializer_list<a_row_cell> cells, int16 dy);

// The alignment buttons: two rows (across, then 53 pixels lower up and
// down), the spread buttons with three or more objects selected.
void Add_Alignment_Buttons();
// The print adjustment: up, left, centre, right and down buttons, with the
// two read-outs beside them, from x (window pixels).
void Add_Nudge(int16 x);
// The area fills' start from the corner (rectangles and ovals).
void Add_Area_Modifiers1();
// The area fills' settings of the fill: the gradient's kind, direction,
// angle or twist and repetitions, or the stamp's size, spacing and colour
// shift.
void Add_Area_Modifiers2();
// The photo's flip, invert and rotate row.
void Add_Photo_Flips();
// The colour wheel with its reset button beside it.
void Config_Colorizer();

// --- The builders ---------------------------------------------------------------------------

// Each describes the tool panel's items; Config_Tools calls the one of the
// phase inside the panel's description, with the gaps at their default.
void Config_Paint_Tools();
void Config_Canvas_Tools();
void Config_Symbol_Tools();
void Config_Photo_Tools();
void Config_Grid_Tools();
void Config_Text_Tools();
void Config_Text_Edit();
void Config_Collage_Tools();
void Config_Preview_Norm();
void Config_Preview_Zadaz();
void Config_Preview_LS();
void Config_Preview_FlexStick();
void Config_Preview_FlexLabel();
void Config_Paper_Tools_N();
void Config_Paper_Tools_W();

// The builder Config_Tools calls for the phase and the state as they stand
// (nothing for a phase without a panel).
using a_panel_builder = void (*)();
a_panel_builder Panel_Builder(a_phase phase);

// --- Sizes and kinds the panels follow ---------------------------------------------------

// The canvas panel turns the canvas of these unit kinds, and gives those
// with a fuzzy rim its two fuzz sliders.
bool8 Is_Rotatable_Canvas(uint8 unit_kind);
bool8 Has_Fuzzy_Rim(uint8 unit_kind);

// The copy-count field of the disc printer's panel, the colour wheel, and
// the unit list of the print panel.
constexpr int16 QCOMBO_WIDTH = 112;
constexpr int16 QCOMBO_HEIGHT = 80;
constexpr int16 COLORIZE_WIDTH = 160;
constexpr int16 COLORIZE_HEIGHT = 150;
constexpr int16 UNITLIST_WIDTH = 328;
