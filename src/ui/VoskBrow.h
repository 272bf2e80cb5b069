// The program's choosers and lists: the grid browser (a modal window of a
// palette bar's elements, one page at a time, with a prompt and, for the
// layouts, a sheet preview beside the cells), the colour and font choosers,
// the layout catalogue as the paper browser lists it, the start screen's
// recent layouts and recent documents, the language chooser, and the unit
// list of the print panel (a strip of the document's units).
#pragma once

#include <bitset>
#include <functional>

#include "host/HostWin.h"
#include "platform/Events.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"
#include "platform/SysLoop.h"
#include "platform/VoskPref.h"

// --- The grid browser ---------------------------------------------------------------

// The browser's layout and state while it runs (window pixels).
using a_browser_echo_proc = void (*)(int16 id);         // id under the mouse (0: none)
using a_browser_jump_proc = int16 (*)(char letter);      // the first id for an upper-case letter
using a_browser_prompt_proc = void (*)(const Rect& box);  // draws the prompt
struct a_browser_rec {
  a_bar bar;
  int16 chosen_id;
  int16 display_id;  // the first id shown
  int16 hover_id;    // the id under the mouse, 0 for none
  int16 first_id, last_id;
  int16 promptx;     // prompt: item of string list 200 (0: none)
  Rect bb_window;    // (0, 0, height, width)
  Rect bb_prompt, bb_cells, bb_prev, bb_next, bb_num, bb_cancel, bb_echo;
  Point cellsize;    // h: width, v: height
  Point celln;       // h: columns, v: rows
  int16 celltotn;    // cells a page
  int16 celldivide;  // spacing between cells
  int16 margin;
  a_bar_draw_proc cell_draw;  // NIL: by the bar's family
  a_browser_prompt_proc prompt_draw;
  a_browser_echo_proc echoproc;
  a_browser_jump_proc jumpproc;
};
extern a_browser_rec g_browser;

// The ids a bar offers: its row's first and last id, or, while the palette
// bars are not set up, those of its family (the symbols of the library for
// SYMBOL_BAR, the installed fonts for FONT_BAR, the palette's colours for
// the colour bars; the paper bar always offers the paper list's places).
// FALSE when it offers none.
bool8 Browser_Ids(a_bar bar, int16& first_id, int16& last_id);
// The browser's layout for bar on a screen of screen_w x screen_h pixels,
// showing the page that holds chosen. The paper bar gets its echo area (a
// quarter of the width, 380 to 600 pixels, narrowed on a small screen so
// that one column of cells always fits) and its letter jumps and echo;
// every browser has at least one column and one row.
void Browser_Layout(a_bar bar, int16 screen_w, int16 screen_h, int16 first_id, int16 last_id, int16 chosen,
                    a_browser_rec& b);
// Pages as the browser's keys and buttons do (sound 130): delta ids on
// (a page either way), or BROWSER_JUMP (the last page) and -BROWSER_JUMP
// (the first); past the last page comes the first, before the first the
// last. TRUE when the page changed.
constexpr int16 BROWSER_JUMP = 32000;
bool8 Browser_Delta(a_browser_rec& b, int32 delta);
// The display id for a letter jump's answer: the page holding id, or the
// first page for BROWSER_JUMP (no match).
int16 Browser_Page_Of(const a_browser_rec& b, int16 id);
// The box of id on the page shown (empty when it is not shown).
Rect Browser_ID_To_Cell(const a_browser_rec& b, int16 id);
// What a key event of a modal window means to the choosers: Escape (or
// Ctrl+.), Return or the keypad's Enter, or another key.
enum a_modal_key : uint8 { MODAL_KEY_OTHER = 0, MODAL_KEY_ESCAPE = 1, MODAL_KEY_RETURN = 2 };
a_modal_key Modal_Key(const EventRecord& e);
// A mouse event's point in the window's own coordinates.
Point Modal_Point(HWND window, const EventRecord& e);
// draw runs with an offscreen world of box (window pixels) as the port; the
// world is then copied to box of the window.
void Modal_Paint_Offscreen(HWND window, const Rect& box, const std::function<void()>& draw);
// A face of the browsers' button picture (stored picture 131) drawn over box
// in the current port, with label (may be empty) centred on it in black; a
// plain framed box when the library lacks the picture.
void Draw_Button_Face(const Rect& face, const Rect& box, CStrSpan label);
// Modal choice among the ids of palette bar `bar`: the page holding chosen
// shown (its cell framed). A press on a cell (sound 133) chooses it; the
// page buttons and keys (Page Up, Left, Up, "[" back; Page Down, Right,
// Down, "]" on; Home, "{" the first page; End, "}" the last; wrapping at
// both ends) turn pages; a letter jumps where the bar has letter jumps;
// Return takes the framed cell; Escape and Cancel (sound 130) give FALSE.
// TRUE with chosen set when a cell was chosen. For PAPER_BAR the ids are
// places (from 1) in the paper list t.tlist: the catalogue index of the
// choice is t.tlist[chosen - 1].
bool8 Browser_Choose(a_bar bar, int16& chosen);
// The browser over the palette (PAINT_COLORBAR) opening at the palette
// entry nearest colour; on a choice colour becomes that entry.
bool8 Choose_Color32(a_pixel32& colour);
bool8 Choose_Color24(a_pixel24& colour);
// The browser over the fonts, 260 x 20 cells, its prompt ("Choose a
// substitute for the missing font:") followed by the missing font's name
// and sample drawn in it; on a choice fontx := the chosen font.
bool8 Ask_Font_Remap(uint32& fontx, CStrSpan sample, CStrSpan name);

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
// The paper list t.tlist with every catalogue layout of this platform that
// has a unit of one of kinds, ordered by the records' bytes (sort key, then
// name); the paper list's area repainted. An empty set lists nothing.
using a_unitkind_set = std::bitset<NUNITKINDS>;
void Build_Paper_List2(const a_unitkind_set& kinds);
// The paper browser's cell of list place id: the layout's shown name.
void PaperBar_DrawElement(int16 id, const Rect& r);
// The first list place whose sort key begins with letter, else with the
// next letter, and so on up to "Z"; BROWSER_JUMP when none does.
int16 PaperBar_Find(char letter);
// The paper browser's echo area shows the sheet of list place id (0: blank).
void PaperBar_Echo(int16 id);
// A sheet preview of tmpl fitted into area of the current port: the paper
// with its drop shadow, every unit in its shape with its letter name, a
// caption per unit kind (with the count when a kind occurs more than once)
// and measuring arrows along the first unit; without details the paper and
// the units' shapes alone.
void PaperEcho_Paint3(const a_template& tmpl, const Rect& area, bool8 details = true);

// The start screen's recent layouts: the three most used, then the newest
// of the others, placed in the list shown (at most 6), and how many are.
struct a_recentlay_place {
  int16 slot;  // in gs.pref.recentlay
  uint32 tx;   // catalogue index, from 1
  Rect box, delbox;
};
constexpr int16 MAX_RECENTLAY_SHOWN = 6;
extern a_recentlay_place g_recentlay[MAX_RECENTLAY_SHOWN];
void RecentLay_BuildList();
int16 RecentLay_Count();
// Columns (h) by rows (v) for n boxes: 2 x 1, 3 x 1, 2 x 2, 3 x 2 for 5
// and 6, else 1 x 1.
Point Calc_Arrangement(int16 n);
// The boxes of the places shown, fitted into area with equal gaps.
void RecentLay_Calc_Boxes(const Rect& area);
void RecentLay_Paint(const Rect& area);
void RecentLay_MouseDown(const a_mousestroke& stroke);
// Frees every slot of catalogue layout tx and lets the start screen show
// the list again.
void Remove_Recent_Layout(uint32 tx);

// A project file was opened or saved: it takes the slot of gs.pref.recent
// holding the same path, else a free slot, else the oldest, with the time
// now. A path too long for a slot is not kept.
void Recent_Add_Path(const FSSpec& path);
// The start screen's recent documents: the slots whose file is still a
// project file, by name, in a grid centred in area.
constexpr int16 MAX_RECENT_SHOWN = MAX_NRECENT;
struct a_recent_item {
  char name[64];  // file name shown
  int16 prefx;    // slot in gs.pref.recent
  Rect usedbox, delbox;
};
struct a_recent_list {
  bool8 ready;
  Point ncells;    // h: columns, v: rows
  Point cellsize;  // h: width, v: height
  Point origin;
  int16 nlist;
  a_recent_item list[MAX_RECENT_SHOWN];
};
extern a_recent_list g_recent;
void Calc_Recent_List(const Rect& area);
void Recent_Paint(const Rect& area);
void Recent_MouseDown(const a_mousestroke& stroke);

// The language chooser: one button per interface language, those without
// string lists shown but refused. The language chosen, or -1 when cancelled.
int16 Ask_Language();
// The chooser's window size (h: width, v: height) and the button of a
// language in it.
Point Language_Window_Size();
Rect Language_Box(int16 lang);
// The start screen's language button: the current language's name.
void Language_Draw(const Rect& bounds, a_pixt* pixt);
// The language button's action: Ask_Language, and the interface switched to
// the chosen language.
void Proj_Language();
// The entry of the catalogue whose label is label (31 characters compared),
// from 1; 0 when none.
uint32 Find_Template(CStrSpan label);
// The paper echo of the start screen: the sheet of the layout selected in
// its paper list, drawn into bounds; the second paints it again (the paper
// list's hook when its selection changes).
void PaperEcho_Draw(const Rect& bounds);
void PaperEcho_Paint();

// --- The unit list ---------------------------------------------------------------------

// The strip of the print panel: one box per unit in unit order, under a
// label box for each section of units of one kind; the current unit's box in
// red. It scrolls by rows with gs.uscroll_ctrl.
enum a_ubox_kind : uint8 { LABEL_KIND = 0, UNIT_KIND = 1 };
struct a_ubox_item {
  a_ubox_kind kind;
  Rect box;   // in the strip, before scrolling
  uint32 ux;  // the unit (the section's first unit for a label)
};
constexpr int16 MAX_UBOX = MAXNUNITS + MAXNCUNITS;
struct a_ubox_list {
  int16 nlist;
  a_ubox_item list[MAX_UBOX];
  Rect area;      // where the strip was laid out
  int16 row_h;    // a row's height
  int16 nrows;    // rows of the whole strip
};
extern a_ubox_list g_ubox;
// Lays the strip out for the open document in area.
void Calc_UnitList(const Rect& area);
void UnitList_Paint(const Rect& area);
void UnitList_Paint1(uint32 ux);
void UnitList_MouseDown(const a_mousestroke& stroke);
// The scroll bar's actions: the arrows a row, the page areas the rows shown
// less one, the wheel (SCROLL_WHEEL) the rows shown times the wheel's step;
// a move sounds 132 and repaints, none sounds 136 and waits 10 ticks.
void UnitList_NonThumbAction(int16 part, HWND ctrl);
void UnitList_ThumbAction(int16 part, HWND ctrl);
// Tab (with two units or more): the previous unit current, with Shift the
// next, wrapping.
bool8 UnitList_KeyFilter(const a_keystroke& key);
void Cycle_Unit_Selected(bool8 forward);
// Sound 130, unit ux made current, scrolled into view, the print preview
// and the unit list painted again.
void Jump_To_Unit(uint32 ux);
void Ensure_UnitList_Visible(uint32 ux);
// How many rows of the unit list do not fit in box list: the range its
// scroll bar takes beyond the first row (0: the whole list shows).
int32 Calc_UnitList_V(const Rect& list);
// Unit ux's print mark was just changed: the print preview and the unit
// list to be painted again, and the change recorded as a history step
// (OP_TOGGLEPRINT) at the end of the user's action.
void Toggle_Print(uint32 ux);
// TRUE while unit ux's design still equals its clone master's (the same
// canvas and the same kinds of object in the same order).
bool8 Unit_Pristine(uint32 ux);
// Turns the current unit ux into a clone or back: a clone is uncloned; the
// first unit of a group is refused (sound 136); a pristine unit is cloned at
// once; any other asks first (dialog 1201).
void Toggle_Clone(uint32 ux);
