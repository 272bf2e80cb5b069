// The print preview (every unit of the layout on its paper, with its print
// mark, where a document opens) and the examples browser of the start
// screen (the projects in the "Templates" folders beside the program).
#pragma once

#include "pixel/Draw.h"
#include "platform/Quickdraw.h"
#include "platform/SysIO.h"
#include "platform/SysLoop.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

// --- The print preview -------------------------------------------------------------------

// The picture of one master unit at preview size, kept while the preview
// draws its clones (masterx 0: nothing kept).
struct a_cached_unit {
  GWorldPtr world;
  Rect bounds;
  uint32 masterx;
};
extern a_cached_unit g_cached_unit;
void Free_Cached_Unit();

// TRUE when the layout shows no paper: IS_SHOWNOPAPER, or with flag a
// one-unit disc-printer layout.
bool8 Is_Skipping_Paper_Display(const a_template& tmpl, bool8 flag);
// The mapping that fits the layout into avail: its paper, or where the
// paper is skipped its unit 1 grown by 2 mm on each side, adjusted for the
// layout's disc printer (thumbnails at the largest printable disc). fused
// := the millimetre rectangle fitted.
void PrintPreview_Calc_Mapping(const a_template& tmpl, const Rect& avail, bool8 is_thumb,
                               a_coord_mapping& mapping, a_frect& fused);
// The same for the paper echo of the layout chooser (no adjustment).
void PaperEcho_Calc_Mapping(const a_template& tmpl, const Rect& avail, a_coord_mapping& mapping, a_frect& fused);
// The preview's mapping in the main window: the open layout fitted into the
// document area less 16 pixels on each side.
void PrintPreview_Main_Mapping(a_coord_mapping& mapping);

// The open document's preview into the current port through mapping: the
// paper in white (when shown), every unit faintly where it would lie
// without the print medium's nudge (when it has one), each unit with its
// halo (framet pixels; twice for the current one with showhi), its master's
// picture when marked for printing (else only framed), and its number with
// a check box (showck, more than one unit) or in a circle (showid); a page
// layout's paper framed in dark grey.
void PrintPreview_Paint2(bool8 showck, bool8 showid, bool8 showhi, bool8 is_thumb, int16 framet,
                         const a_coord_mapping& mapping);
// Unit ux of the open document through the current mapping.
void Preview_DrawUnit(bool8 showck, bool8 showid, bool8 showhi, int16 framet, uint32 ux);
// Unit ux's region (without holes) where it lies without nudging, framed
// in grey 180.
void Draw_Unit_Faintly(uint32 ux);
// The number of unit ux in a 24 x 24 circle at the centre of box (red for
// the highlighted current unit).
void Unit_Number_Paint1(uint32 ux, const Rect& box, bool8 hilite);
// The number of unit ux with its print check box, centred on box.
void Unit_CheckNum_Paint1(uint32 ux, const Rect& box, bool8 hilite);
// The badge of Unit_CheckNum_Paint1: 69 x 30 for a box of at least 138 x
// 60, else 47 x 23, centred on box.
void Calc_Checkbox_Bounds(const Rect& box, Rect& r);
// The whole preview in the main window over bounds: the document area in
// the pasteboard grey, the preview over it.
void PrintPreview_Paint(const Rect& bounds);
// The first unit whose region under the main window's preview mapping holds
// pt; FALSE when none.
bool8 PrintPreview_Find(Point pt, uint32& ux);
// A press in the preview: on no unit sound 136; on another unit than the
// current one it becomes current; on the current one, with more than one
// unit, sound 130 and its print mark toggled. Without a press the finger
// over a unit, else the arrow.
void PrintPreview_MouseDown(const a_mousestroke& stroke);
// More than one unit: sound 130 and each unit whose mark differs from state
// toggled; else sound 136.
void PrintPreview_SetToggleStates(bool8 state);
void PrintPreview_Select_All();
void PrintPreview_Select_None();
// The print mark of unit ux toggled (Toggle_Print tells the interface).
void Preview_Toggle_Mark(uint32 ux);

// --- The examples browser ----------------------------------------------------------------

constexpr int16 MAX_EXAMPLES = 200;
constexpr int16 EXAMPLE_CELL_W = 140, EXAMPLE_CELL_H = 190;
constexpr int16 EXAMPLE_STEP_W = 142, EXAMPLE_STEP_H = 204;
constexpr int16 EXAMPLE_NAME_H = 12;

struct a_examples_list {
  Rect box;
  int16 count;
  FSSpec files[MAX_EXAMPLES];
  int16 rows, columns;
  int16 perpage;
  int16 hgap, vgap;
  int16 npages;
  int16 page;  // from 1
};
extern a_examples_list exl;

// The list for box: the projects of the "Templates" folder beside the
// program, then of "Templates" with the interface language's code appended
// (at most MAX_EXAMPLES), laid out in 140 x 190 cells (at least one column
// and one row), page 1.
void Examples_BuildList(const Rect& box);
// The same from the folders under base.
void Examples_BuildList_In(const FSSpec& base, const Rect& box);
// One file more (beyond MAX_EXAMPLES: ignored).
void Examples_AddItem(const FSSpec& file);
// The first example of the page shown, from 1.
int16 Examples_Visx();
// The page in view, from 1.
int16 Examples_Page();
// The cell of example index (from 1) on the page shown.
void Example_To_Box(int16 index, Rect& r);
// The example under pt on the page shown, 0 when none.
int16 Find_Example(Point pt);
// The page of examples over bounds, into the current port.
void Examples_Paint(const Rect& bounds);
// Example index: its stored preview fitted in its cell, its name above.
void Examples_Paint1(int16 index);
// The box is to be painted again.
void Examples_Inval();
// The previous and next page (wrapping at both ends).
void Do_Example_Arrow_L();
void Do_Example_Arrow_R();
// The browser's keys; TRUE when one was used.
bool8 Examples_KeyFilter(const a_keystroke& key);
// A press on an example opens it as a new document; elsewhere sound 136.
void Examples_MouseDown(const a_mousestroke& stroke);
