// The object list of a unit: photos, symbols, collage slots and texts over
// the unit's paint layer, in drawing order. Item 1 is always the paint layer
// (kind PAINT_BLOCK, visible, never selected, deleted, duplicated or
// hit-tested); a list holds at most MAX_OJ objects. Object ids are handed
// out from 1001 up and never reused while the program runs.
//
// Here also: walking the list by kinds and selection (Enum), the selection
// and its nesting (the panels follow a change once, at the outermost end),
// the mix of the selection and the hilites that depend on it, finding the
// object under the mouse and the object tool's mouse handler, posting
// changes for rendering and refreshing, and deleting and duplicating the
// selection.
//
// Object indices (omx) run from 1 (the bottom) to nlist (the top) in the
// current unit's list (g_doc.up); list[omx - 1] is object omx.
#pragma once

#include "platform/SysLoop.h"  // a_mousestroke
#include "platform/Types.h"
#include "platform/VoskDef.h"
#include "objects/VoskCanv.h"

constexpr int32 MAX_OJ = 400;
constexpr uint32 FIRST_OBJECT_ID = 1001;

enum a_oj_kind : uint8 {
  PHOTO_BLOCK = 0,
  SYMBOL_BLOCK = 1,
  SLOT_BLOCK = 2,
  TEXT_BLOCK = 3,
  PAINT_BLOCK = 4,
};

// Sets of kinds (a_oj_kind_set, platform/VoskDef.h): bit k for kind k.
constexpr a_oj_kind_set Kind_Bit(a_oj_kind k) { return a_oj_kind_set(1u << k); }
constexpr a_oj_kind_set OBJECT_KINDS = 15;  // every kind but the paint layer
constexpr a_oj_kind_set TEXT_KINDS = 8;
constexpr a_oj_kind_set LAYER_KINDS = 19;   // the layer bar's: photos, symbols, paint
constexpr a_oj_kind_set SLOT_KINDS = 4;     // the layer bar's in the collage phase
static_assert(OBJECT_KINDS == (Kind_Bit(PHOTO_BLOCK) | Kind_Bit(SYMBOL_BLOCK) | Kind_Bit(SLOT_BLOCK) |
                               Kind_Bit(TEXT_BLOCK)) &&
              TEXT_KINDS == Kind_Bit(TEXT_BLOCK) && SLOT_KINDS == Kind_Bit(SLOT_BLOCK) &&
              LAYER_KINDS == (Kind_Bit(PHOTO_BLOCK) | Kind_Bit(SYMBOL_BLOCK) | Kind_Bit(PAINT_BLOCK)));

enum a_oj_flag : uint8 {
  SELECTED_FLAG = 0,
  PENDING_FLAG = 1,  // a duplicate or pasted object, to be selected when the command ends
  VISIBLE_FLAG = 2,
};
constexpr uint8 OJ_Flag_Bit(a_oj_flag f) { return uint8(1u << f); }

struct a_ph_rec;  // a photo, symbol or collage slot (objects/VoskPhot.h)
// a_om_rec, a text object (objects/VoskText.h), is named in VoskDef.h.

struct a_oj_item {
  uint32 objid;
  uint8 flags;     // set of a_oj_flag
  a_oj_kind kind;
  union {
    a_ph_rec* ph;  // PHOTO_BLOCK, SYMBOL_BLOCK, SLOT_BLOCK
    a_om_rec* om;  // TEXT_BLOCK
  };               // a paint layer has no record (NIL)
};

struct a_oj_master {
  uint32 seq;               // change counter
  int32 nlist;              // objects, 0 .. MAX_OJ
  a_oj_item list[MAX_OJ];   // list[i - 1] is object i; 1 is the bottom
};

// A canvas spec and an object list held aside (declared with the shared
// variables in platform/VoskDef.h).
struct a_undo_rec {
  a_canvas_spec cv;
  a_oj_master oj;
};

// Object indices of a walk: Enum starts at ENUM_START and ends at
// ENUM_DONE, which also means "no object" in hit tests.
constexpr int32 ENUM_START = -20000;
constexpr int32 ENUM_DONE = -20001;

// What a hit test touched of an object.
enum a_oj_part : uint8 {
  OUTSIDE_PART = 0,
  ULCORNER_PART = 1,
  URCORNER_PART = 2,
  LRCORNER_PART = 3,
  LLCORNER_PART = 4,
  DRAG_PART = 5,
  CONTENT_PART = 6,
};

// The selection measured against the phase's own kind of object.
enum a_selection_mix : uint8 {
  MOTLEY = 0,      // some object of another kind
  ZERO_PURE = 1,   // nothing selected, or a phase without objects
  ONE_PURE = 2,
  TWO_PURE = 3,
  THREE_PURE = 4,  // three or more
};

// Hilite of a menu item or button: enabled or dimmed.
constexpr int16 HILITE_ENABLED = 0;
constexpr int16 HILITE_DIMMED = 3;

// Sounds of the object tool.
constexpr int16 SND_OBJ_SELECT = 183;  // a selection click
constexpr int16 SND_OBJ_REFUSED = 136;

// --- Ids, units and records ---------------------------------------------------------

// The next object id (1001 for the first after start-up).
uint32 NextUniqueID();

// m := a list of the paint layer alone (visible, a fresh id), seq 0. What m
// held is not disposed of.
void OMast_Init(a_oj_master& m);
// A new unit record, all zero but for its object list: one item, the visible
// paint layer with a fresh id. No memory: the out-of-memory hook.
a_doc_unit* New_Unit_Rec();
// Frees a unit record made by New_Unit_Rec (its content must be disposed of
// first); unit becomes NIL.
void Dispose_Unit_Rec(a_doc_unit*& unit);
// Unit records made and not yet freed.
uint32 Live_Unit_Recs();

// A zero-filled photo record; a text record holding only the end-of-string
// entry (size 100 per cent), room for a whole frame. No memory: the
// out-of-memory hook with the size asked for, and NIL.
a_ph_rec* New_PH_Rec();
a_om_rec* New_OM_Rec();

// dst := src: id, flags and kind, and a copy of its record (into a new one
// with alloc, else over the one dst points at). A text copy starts with an
// empty cache: no pictures, no paths, nothing computed. A paint layer copies
// the item only.
void OJ_Copy(bool8 alloc, const a_oj_item& src, a_oj_item& dst);
// dst := a deep copy of src (seq, nlist and every item). src == dst does
// nothing. What dst held is not disposed of (see OMast_Dispose).
void OMast_Copy(const a_oj_master& src, a_oj_master& dst);
// seq := 0, and every object is disposed of from the top down.
void OMast_Dispose(a_oj_master& m);
// When the current unit's list changed since copy was made (their seq
// differ): copy := a deep copy of it (what copy held is disposed of).
void OMast_Save(a_oj_master& copy);
// When they differ: the current unit's list := a deep copy of copy, every
// unit re-rendered, the layer bar recalculated. A copy that holds nothing
// (never saved) restores nothing: a unit always keeps its paint layer.
void OMast_Restore(const a_oj_master& copy);

// Appends an object on top of m with a fresh id and flags; the record (ph
// for photos, symbols and slots, om for texts, none for a paint layer)
// passes to the list. Result: its index. A full list is an internal error
// (QUIT): callers check for room first.
int32 Obj_Append(a_oj_master& m, a_oj_kind kind, uint8 flags, a_ph_rec* ph, a_om_rec* om);
// Frees the record of an item by its kind.
void Dispose_Obj1(a_oj_item& item);
// Disposes of item ix (1 .. nlist) of m; the items above move down one place.
void Obj_Dispose(a_oj_master& m, int32 ix);

// --- Walking the list -----------------------------------------------------------------

// The current unit's object list (NIL with no current unit). The list of a
// unit lies at a fixed place in its record, so the list found for a unit
// is kept with it and serves while that unit is current.
extern a_doc_unit* g_oj_unit;
extern a_oj_master* g_oj_list;
a_oj_master* Find_Obj_List();
inline a_oj_master* Curr_Obj_List() { return g_doc.up == g_oj_unit ? g_oj_list : Find_Obj_List(); }

// Steps omx (ENUM_START to begin) to the next object of the current unit of
// a kind in kindset (and selected, with selected): forward from the bottom
// up, else from the top down. At the end (or with no current unit) omx :=
// ENUM_DONE and FALSE. (Inline: a walk keeps its index in a register.)
inline bool8 Enum(bool8 forward, bool8 selected, a_oj_kind_set kindset, int32& omx) {
  const a_oj_master* m = Curr_Obj_List();
  int32 i = omx;
  if (m == nullptr || i == ENUM_DONE) {
    omx = ENUM_DONE;
    return false;
  }
  const int32 n = m->nlist < MAX_OJ ? m->nlist : MAX_OJ;
  // Wanted: the kind's bit is in kindset, and the flags asked for are set.
  const uint32 kinds = kindset, need = selected ? OJ_Flag_Bit(SELECTED_FLAG) : 0;
  const auto wanted = [&](const a_oj_item& item) {
    return item.kind <= PAINT_BLOCK && ((kinds >> item.kind) & 1) != 0 && (item.flags & need) == need;
  };
  if (forward) {
    if (i < 0) i = 0;  // ENUM_START: below the bottom
    while (++i <= n)
      if (wanted(m->list[i - 1])) {
        omx = i;
        return true;
      }
  } else {
    if (i < 0 || i > n + 1) i = n + 1;  // ENUM_START: above the top
    while (--i >= 1)
      if (wanted(m->list[i - 1])) {
        omx = i;
        return true;
      }
  }
  omx = ENUM_DONE;
  return false;
}
int32 Count(bool8 selected, a_oj_kind_set kindset);
// Forward over the selected objects of the phase's kinds (gs.curr_kindset).
bool8 Selection_Enum(int32& omx);
int32 Selection_Count();
// Exactly one object of the phase's kinds (a text, for the text form) is
// selected: omx := it.
bool8 Is_One_Selected(int32& omx);
bool8 Is_One_Text_Selected(int32& omx);
// Flags of object omx; FALSE for an index outside the list.
bool8 Is_Obj_Selected(int32 omx);
bool8 Is_Obj_Visible(int32 omx);
// Item omx of the current unit's list (NIL outside 1 .. nlist or with no unit).
a_oj_item* Obj_Item(int32 omx);
// The object's net box (empty for the paint layer and outside the list).
void Obj_BBox(int32 omx, Rect& box);

// --- Selection --------------------------------------------------------------------------

// Brackets of every selection change; they nest. The outermost end publishes
// the change once: the phase of a lone selected object (a slot loads the
// collage sliders instead), the palette bar, the side panel, the editor's
// target, the sliders, the menus and the layer bar.
void Begin_Selection_Change();
void End_Selection_Change();
// 0 nothing, 1 one object, 2 several selected (of the phase's kinds).
int16 Curr_Selection_Class();
// The in-place editor's target follows the selection: in the text phase the
// one selected text, else none.
void Check_Edit_Change();

void Selection_Toggle(int32 omx);
// Deselects every object (of every kind but the paint layer); no object is
// then the last single selection.
void Obj_Select_None();
// The same, keeping the selected objects of kind.
void Obj_Select_None_Except(a_oj_kind kind);
// Selects every object of the phase's kinds.
void Obj_Select_All();
// Object omx alone selected (the paint layer is never selected: the phase
// becomes the paint phase), and it becomes the last single selection (for
// double clicks).
void Selection_Set1(int32 omx);
// The same after sound 183.
void Selection_Set1_Sound(int32 omx);
// The next object of the phase's kinds below the lowest selected one
// (forward, wrapping to the top; none selected: the top), or above the
// highest (wrapping to the bottom; none selected: the bottom). Fewer than
// two such objects: sound 136.
void Selection_Cycle(bool8 forward);
// Exactly the pending objects of the phase's kinds become the selection.
void Selection_Convert_Pending();

a_selection_mix Calc_Selection_Mix();
int16 Calc_Hilite_Del();     // dimmed when nothing is selected
int16 Calc_Hilite_Just1();   // enabled only for ONE_PURE
int16 Calc_Hilite_Sel1();    // dimmed for MOTLEY and ZERO_PURE
int16 Calc_Hilite_ObjNew();  // dimmed with a full list

// --- Hit-testing and the mouse ------------------------------------------------------

// The object of the phase's kinds under a point (screen: the main window's
// coordinates; cell: the same point in cells): among the objects hit, the
// one of the smallest box area plus 100 per step from the top (the upper on
// equal scores). ENUM_DONE and OUTSIDE_PART when none. In the collage phase
// the slot under cell.
int32 Obj_Find(Point screen, Point cell, a_oj_part& part);
// The object tool's mouse handler for document view vx: a press selects,
// toggles (Shift), opens (a double click), drags or scales; a press on
// nothing deselects. Without a press the cursor follows what is under the
// mouse.
void Obj_MouseDown(uint16 vx, const a_mousestroke& stroke);
// A double click on object omx: a photo's crop screen, a text's editing.
void Obj_DoubleClick(int32 omx);

// --- Posting changes --------------------------------------------------------------------

// Every change of an object's content or order: its box (the whole unit for
// the paint layer) is to be rendered again, the menus recalculated, and the
// list's seq counted up. An index outside 1 .. nlist is ignored.
void Obj_PostRender(int32 omx);
// The object's frame and handles are to be drawn again (no rendering). An
// index outside 1 .. nlist is ignored.
void Obj_PostRefresh(int32 omx);
void Post_Refresh_For_Selected();
// A box in merge pixels, snapped outward to cells, is to be rendered again.
void Merge_PostRender(const Rect& box);
// The number or order of objects changed: the layer bar is recalculated.
void Obj_Number_Changed();
// The frames of the phase's objects whose boxes meet dirty (cells) in view
// vx: the unselected ones (only with the frames preference), then the
// selected ones.
void Enum_Draw_Frames(uint16 vx, const Rect& dirty);

// --- Commands -----------------------------------------------------------------------------

// Deletes the selection (clears the selected slot in the collage phase);
// nothing selected: sound 136.
void Enum_Obj_Del();
// Duplicates the selection; the copies become the selection. Nothing
// selected: sound 136.
void Enum_Obj_Dup();

// Whether point pt (pixel coordinates) lies inside the closed polygon pts
// (n points, the last joining the first): the pixel's centre, by the
// even-odd rule. Fewer than three points: FALSE.
bool8 Pt_In_Polygon(Point pt, const Point* pts, int32 n);
// The same for a frame of several contours separated by breaks
// (POINTLIST_BREAK, pixel/DrawUtilDraw.h): inside any of them.
bool8 Pt_In_Frame(Point pt, const Point* pts, int32 n);

// Module start-up: ids start again at 1001; no selection change open; no
// last single selection.
void VoskBlok_Init();
