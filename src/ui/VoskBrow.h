// The program's choosers and lists. So far the recent layouts (the layouts
// the user made documents on, kept in the preferences (gs.pref.recentlay) by
// label and catalogue index) and the grid browser in its first form: a
// modal window of a palette bar's elements, one page at a time. The start
// screen's lists, the prompt and echo of the browsers, the colour and font
// choosers and the unit list come with the interface.
#pragma once

#include "host/HostWin.h"
#include "platform/Events.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"
#include "platform/VoskPref.h"

// --- The grid browser ---------------------------------------------------------------

// The browser's layout and state while it runs (window pixels).
struct a_browser_rec {
  a_bar bar;
  int16 chosen_id;
  int16 display_id;  // the first id shown
  int16 first_id, last_id;
  Rect bb_window;    // (0, 0, height, width)
  Rect bb_prompt, bb_cells, bb_prev, bb_next, bb_num, bb_cancel;
  Point cellsize;    // h: width, v: height
  Point celln;       // h: columns, v: rows
  int16 celltotn;    // cells a page
  int16 celldivide;  // spacing between cells
  int16 margin;
};
extern a_browser_rec g_browser;

// The ids a bar offers: its row's first and last id, or, while the palette
// bars are not set up, those of its family (the symbols of the library for
// SYMBOL_BAR, the palette's colours for the colour bars). FALSE when it
// offers none.
bool8 Browser_Ids(a_bar bar, int16& first_id, int16& last_id);
// The browser's layout for bar on a screen of screen_w x screen_h pixels,
// showing the page that holds chosen.
void Browser_Layout(a_bar bar, int16 screen_w, int16 screen_h, int16 first_id, int16 last_id, int16 chosen,
                    a_browser_rec& b);
// The box of id on the page shown (empty when it is not shown).
Rect Browser_ID_To_Cell(const a_browser_rec& b, int16 id);
// What a key event of a modal window means to the choosers: Escape (or
// Ctrl+.), Return or the keypad's Enter, or another key.
enum a_modal_key : uint8 { MODAL_KEY_OTHER = 0, MODAL_KEY_ESCAPE = 1, MODAL_KEY_RETURN = 2 };
a_modal_key Modal_Key(const EventRecord& e);
// A mouse event's point in the window's own coordinates.
Point Modal_Point(HWND window, const EventRecord& e);
// A face of the browsers' button picture (stored picture 131) drawn over box
// in the current port, with label (may be empty) centred on it in black; a
// plain framed box when the library lacks the picture.
void Draw_Button_Face(const Rect& face, const Rect& box, CStrSpan label);
// Modal choice among the ids of palette bar `bar`: the page holding chosen
// shown (its cell framed). A press on a cell (sound 133) chooses it; the
// page buttons and keys (Page Up, Left, Up, "[" back; Page Down, Right,
// Down, "]" on; Home, "{" the first page; End, "}" the last; wrapping at
// both ends) turn pages; Return takes the framed cell; Escape and Cancel
// (sound 130) give FALSE. TRUE with chosen set when a cell was chosen.
bool8 Browser_Choose(a_bar bar, int16& chosen);

// A document was made on the catalogue layout of this label (at most 31
// characters are compared and kept): its slot (the same label's, else the
// first free one, else the least used, lowest first, cleared) counts one
// more use (a first use counts 2), with the time now and its catalogue index
// to be looked up again (0).
void RecentLay_Add(CStrSpan label);
// The catalogue index (from 1) of recent layout slot (0 .. MAX_NRECENTLAY -
// 1): its tx while the catalogue entry there still has the slot's label,
// else the entry of that label; 0 for a free slot or a label the catalogue
// no longer has.
uint32 RecentLay_TemplateX(int16 slot);
// The working list of the layout chooser (t.tlist): every catalogue layout
// offered on this platform, ordered by its sort key and then its name.
void Build_Template_List();
// The start screen's recent layouts: the most used and the newest of them
// placed in the list shown (at most 6), and how many are placed. The list
// comes with the start screen's browsers: none is placed yet.
void RecentLay_BuildList();
int16 RecentLay_Count();
// The start screen's recent documents laid out in area. They come with the
// start screen's browsers: none is listed yet.
void Calc_Recent_List(const Rect& area);
// A project file was opened or saved: it goes first in the recent files
// (gs.pref.recent) with the time now; its own older entry leaves the list,
// and with the list full the oldest entry drops off its end.
void Recent_Add_Path(const FSSpec& path);
// The entry of the catalogue whose label is label (31 characters compared),
// from 1; 0 when none.
uint32 Find_Template(CStrSpan label);
// The paper echo of the start screen: the chosen layout's sheet. Comes with
// the paper lists' preview: nothing is drawn yet.
void PaperEcho_Paint();

// --- The unit list ---------------------------------------------------------------------

// Sound 130, unit ux made current, the print preview and the unit list to
// be painted again (the strip itself comes with the print panel).
void Jump_To_Unit(uint32 ux);
// How many rows of the unit list do not fit in box list: the range its
// scroll bar takes beyond the first row (0: the whole list shows). The
// strip's own layout comes with the unit list: until then it always fits.
int32 Calc_UnitList_V(const Rect& list);
// Unit ux's print mark was just changed: the print preview and the unit
// list to be painted again, and the change recorded as a history step
// (OP_TOGGLEPRINT) at the end of the user's action.
void Toggle_Print(uint32 ux);

// The sheet preview of a layout drawn into area of the current port: the
// paper fitted and centred, white, framed, each unit's box outlined.
void PaperEcho_Paint3(const a_template& tmpl, const Rect& area);
