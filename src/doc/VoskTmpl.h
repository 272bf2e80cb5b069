// The layout catalogue: the built-in table of label stocks (a_ctemplate
// entries, generated at build time from data/layouts/), paper-size names,
// the expansion of an entry into the units of a layout (a_template), and the
// displayed names and brands of entries; and the two lists of the layout
// chooser.
#pragma once

#include "host/HostWin.h"
#include "platform/SysLoop.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

// MAXNTEMPLATES, the capacity of the layout chooser's working list (t.tlist),
// is with the shared records in platform/VoskDef.h.

// The built-in table, ordered by sort key then label; entry i (1-based) is
// g_ctemplates[i - 1]. NTEMPLATES is its real size (at most MAXNTEMPLATES).
extern const a_ctemplate g_ctemplates[];
extern const uint32 NTEMPLATES;

// Copies built-in entry i (1-based) into dst. An index outside
// 1..NTEMPLATES gives FALSE and an all-zero dst.
bool8 Get_CTemplate(uint32 i, a_ctemplate& dst);

// Exact comparison of both sides (as 32-bit reals).
bool8 Is_Equal_PaperSize(const a_fpoint& a, const a_fpoint& b);
// Writes the name of a named paper size ("A4", "US Letter" ...) and returns
// TRUE; any other size gives "" and FALSE. Cut to s's capacity.
bool8 PaperSize_To_Str(const a_fpoint& size, StrSpan s);

// Why an entry cannot be expanded (EXPAND_OK: it was).
enum a_expand_result : uint8 {
  EXPAND_OK = 0,
  EXPAND_BAD_NSECTIONS,   // nunits outside 1..6
  EXPAND_EMPTY_GRID,      // a section with no columns or no rows
  EXPAND_BAD_COUNT,       // the units of all sections number more than 250
  EXPAND_BAD_KIND,        // a kind past the last unit kind
  EXPAND_BAD_SIZE,        // a length that is not finite, or a size not above 0
  EXPAND_TOO_LARGE,       // a unit or the paper past what print pixels can hold
  EXPAND_NEGATIVE_BLEED,  // a bleed below 0
  EXPAND_NOT_DISC,        // a disc-printer layout whose first unit is no disc
};

// The largest layout: its paper's sides and every unit edge (with its
// bleeds) lie within 1000 mm of the sheet's corner. A print holds its
// resolution where such a layout fits 16-bit device coordinates.
constexpr double LAYOUT_MAX_MM = 1000.0;

// Expands catalogue entry c into the layout x: units numbered down each
// column (row by row with UNIT_SHORTODD), lengths in millimetres. The entry
// is checked first; a refused entry leaves x as it was and returns the
// reason. The label is read no further than its 32 bytes.
a_expand_result Expand_Template(const a_ctemplate& c, a_template& x);
// An English sentence for the result, for the alert of the caller.
const char* Expand_Result_Text(a_expand_result r);

// The displayed name of a label: "_" becomes a space, "@A", "@C", "@L", "@P"
// the words of dialog strings 385..388 in the interface language, "@2" the
// one-half sign; any other "@" stays. Cut to dst's capacity, NUL-terminated.
void Filter_Template_Name(CStrSpan src, UStrSpan dst);
// The brand of a label: its characters up to the first space or NUL, each
// "_" turned into a space. Cut to dst's capacity, NUL-terminated.
void Extract_Brand(CStrSpan src, StrSpan dst);

// --- The layout chooser's lists (VoskTmplList.cpp) ------------------------------
//
// Two list boxes pick a layout from the working list t.tlist (catalogue
// indices, t.tlist_n of them): gs.paper_kind_desc groups it by kind of unit
// or by brand (the PROJ_SORT_GRID value: 0 by kind, otherwise by brand),
// gs.paper_list_desc lists the entries of the group chosen. Row 1 of the
// first list ("All kinds" or "All brands") stands for everything.
//
// The keys of the rows: a kind for a kind row (0 for "All kinds"); the
// catalogue index of the brand's first entry in t.tlist for a brand row (0
// for "All brands"); the catalogue index of the entry for an entry row.
// Entries of t.tlist outside the catalogue are left out.

// Builds the grouping list as the sort grid says, then the entry list.
void Build_Paper_Lists();
// "All kinds" (dialog string 380), then each kind that some entry of t.tlist
// has on a unit not marked UNIT_NOTINDEXED, once, named by item kind + 1 of
// string list 600; the kind rows sorted by their text. Row 1 is selected.
void Build_Kind_List();
// "All brands" (dialog string 381), then one row each time the brand
// (Extract_Brand) differs from the previous entry's, walking t.tlist in
// order; its text the brand's displayed name (Filter_Template_Name). Row 1 is
// selected.
void Build_Brand_List();
// Empties the entry list and selects its row 1, then adds every entry of
// t.tlist (row 1 of the first list), the entries of the selected brand, or
// those that hold the selected kind (Is_Kind_In_Template); fixes the scroll
// bar and invalidates both lists.
void Build_Paper_List();
// Appends catalogue entry tx to the entry list under its displayed name.
void Add_Template_To_List(uint32 tx);
// TRUE when catalogue entry tx has a unit of that kind not marked
// UNIT_NOTINDEXED (FALSE for an index outside the catalogue); the second
// asks the same of an entry record.
bool8 Is_Kind_In_Template(uint8 kind, uint32 tx);
bool8 Is_Kind_In_CTemplate(uint8 kind, const a_ctemplate& c);
// The catalogue index of the entry selected in the entry list, 0 when the
// list is empty.
uint32 Get_Selected_TemplateX();
// Sound 130, row selected in the grouping list, the entry list rebuilt.
void PaperKind_Set(int32 row);
// Sound 130, row selected in the entry list, the paper preview repainted.
void PaperList_Set(int32 row);
// Up and down one row, page up and down by the visible rows less one, Home
// to row 1, End to the last row; the row held to the list. TRUE for those
// keys (sound 136 when the row stays), FALSE for every other key.
bool8 PaperList_KeyFilter(const a_keystroke& key);
// A press on a row selects it, a press beside the rows sounds 136; without a
// button pressed the pointer is the finger over a row, the arrow elsewhere.
void PaperKind_MouseDown(const a_mousestroke& stroke);
void PaperList_MouseDown(const a_mousestroke& stroke);
// Paint the lists (their custom areas' paint procedures).
void PaperKind_Paint();
void PaperList_Paint();
// The scroll bar's range: from 1 to the rows less the visible rows less one
// (at least 1), with a page of the visible rows; its value held to it.
void Fix_Desc_Scrollbar(a_listbox_desc& desc);

// The lists' scroll actions (registered by VoskTmpl_Init): the arrows move
// by a row, the page areas by the visible rows less one, the wheel
// (SCROLL_WHEEL) by the visible rows times g_wheel_delta; a move plays sound
// 132 and repaints the list, none plays sound 136 and waits 10 ms. The thumb
// repaints when the first visible row differs from the one painted last.
void PaperKind_NonThumbAction(int16 part, HWND ctrl);
void PaperKind_ThumbAction(int16 part, HWND ctrl);
void PaperList_NonThumbAction(int16 part, HWND ctrl);
void PaperList_ThumbAction(int16 part, HWND ctrl);

// Repaints the paper preview beside the lists when the selected entry
// changes (installed by the preview; NIL: none).
extern void (*g_paper_echo_proc)();

// Module start-up: registers the lists' scroll actions with the main
// window's scrolling.
void VoskTmpl_Init();
