// The open document: its units (one per label face of its layout), which
// unit is current, how masters and clones share one design, how a document
// is made, read, laid out again on another layout and closed, and the size
// in pixels of each unit's canvas.
//
// Units are numbered from 1; g_doc.doc_units[ux - 1] is unit ux. A run of
// units of one kind and one canvas size shares one design: the first unit of
// the run is its master and the ones after it are clones, which have no
// content of their own and show their master's. Unit 1 is never a clone.
#pragma once

#include "doc/VoskTmpl.h"
#include "host/HostWin.h"
#include "objects/VoskBlok.h"
#include "objects/VoskCanv.h"
#include "pixel/Draw.h"
#include "platform/SysWin.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"
#include "platform/VoskPref.h"

// --- Records -------------------------------------------------------------------------

// The layers of a unit: only the paint layer holds what the user made; the
// others are caches that rendering rebuilds.
enum a_static_layer : uint8 {
  TOTAL_LAYER = 0,      // everything merged, at screen size below zoom 1
  MINUS_LAYER = 1,      // everything but the object being edited
  PAINT1_LAYER = 2,     // the paint layer and its mask
  OUTERMASK_LAYER = 3,  // the unit's outline
};
constexpr int32 NSTATIC_LAYERS = 4;

// A layer: stale while curr_seq and targ_seq differ; a 32-bit world and an
// 8-bit mask over bounds.
struct a_cached_gworld {
  uint32 curr_seq;
  uint32 targ_seq;
  Rect bounds;
  GWorldPtr world;
  GWorldPtr mask;
};

struct a_doc_unit {
  bool8 clonef;          // a clone: no content, shows its master's
  bool8 printf;          // marked for printing
  uint32 groupx;         // 1 for a master, 2, 3 ... for the clones after it
  Point symmetry_center; // centre of painting symmetry, cells
  Point ruler_origin;    // origin of the grid and rulers, cells
  Point edit_focus;      // last view focus on this unit, cells
  a_cached_canvas canv;  // the background
  bool8 paintinuse;      // the paint layer holds paint
  Rect paintbounds;      // the canvas in cells (300 dpi), top-left (0, 0); every layer has these bounds
  a_oj_master oj;        // the objects
  a_cached_gworld statics[NSTATIC_LAYERS];  // by a_static_layer
  uint32 excluded_id;    // the object left out of the MINUS_LAYER while it is edited
  Rect render_dirty;     // to render again
  Rect refresh_dirty;    // to draw again on the screen
};

// How a unit of a new layout takes the content of the old one.
enum a_unit_mapping_kind : uint8 {
  UMP_EMPTY = 0,  // a fresh unit (or a clone of the one before, as the layout gives)
  UMP_CLONE = 1,  // the same; parent_ux serves the remapping window only
  UMP_COPY = 2,   // a master with a copy of old unit src_ux's design
};

struct a_unit_mapping {
  a_unit_mapping_kind mapkind;
  union {
    uint32 src_ux;     // UMP_COPY: a unit of the old layout
    uint32 parent_ux;  // UMP_CLONE
  };
};

// One entry per unit of the new layout: map[ux - 1] for unit ux.
struct a_template_mapping {
  a_unit_mapping map[MAXNUNITS];
};

// --- Documents -----------------------------------------------------------------------

// Whether an expanded layout can carry a document: 1 to 250 units of known
// kinds, finite sizes above 0 within the print range, bleeds not below 0, a
// disc first on a disc-printer layout, a paper of a finite size above 0.
a_expand_result Check_Template(const a_template& tmpl);

// A new document on the expanded layout: the open one is closed, the layout
// copied in, the name "Untitled" (dialog string 48) given, the units made
// and the document's interface state reset (unit 1 current). A layout that
// Check_Template refuses is reported (alert 77 with the reason) and leaves
// the open document as it was: FALSE.
bool8 Doc_New(const a_template& tmpl);
// Reads the document from the file g_doc.doc_path names (is_template: as a
// starting point that counts as never saved). A file the reader refuses:
// alert 10 and FALSE, and no document is kept.
bool8 Doc_Read(bool8 is_template);
// Closes the document: its units and their content freed, the picture cache
// cleared, the history flushed, the tool panels shown again, SV_DOC_OPEN off.
void Doc_Dispose();
// The main window's title: the program's name, then " - " and name when
// name is not empty.
void Doc_Name_Changed(CStrSpan name);

// A new document on catalogue entry templatex (from 1), which then joins the
// recent layouts. An index outside the catalogue, or an entry that cannot be
// expanded (alert 77 with the reason), makes no document: FALSE, and the open
// document stays.
bool8 Proj_PickLayout2(uint32 templatex);
// Shows the layout chooser.
void Proj_PickLayout();

// Makes (and frees) every unit record of g_doc for its layout: masters and
// clones by kind and canvas size, the history's base state.
void New_Doc_Buffers();
void Dispose_Doc_Buffers();

// Unit ux set up as a clone (group number groupx, marked for printing,
// paintbounds of its layout unit, the three points at their centre), then,
// for a master, as a master (its canvas 1 of its kind, the caches stale).
void Null_Doc_Unit(uint32 ux, uint32 groupx);
void New_Doc_Unit(uint32 ux, a_doc_unit* unit, uint32 groupx);

// Frees a unit's objects, its four layers (bounds set to zero) and its
// cached canvas; a copy of its paint layer held for a painting stroke is
// dropped too.
void Dispose_Unit_Content(a_doc_unit* unit);
// The destination's content replaced by a copy of the source's: a master
// with the source's points, canvas spec, objects and paint. A unit copied
// onto itself is left alone. The paint keeps its cells: where the
// destination's canvas has another size the paint is cut off, or padded
// with unpainted white, so paint and objects stay in line. The symmetry
// centre, ruler origin and edit focus keep their cells too, those outside
// the destination's canvas going to its centre.
void Copy_Unit_Content(uint32 srcx, uint32 dstx);
void Copy_Unit_Content2(a_doc_unit* src, a_doc_unit* dst);
// The same copy onto a fresh unit (nothing of dst's is freed first).
void Map_Unit_Content(const a_doc_unit* src, a_doc_unit* dst);
// Creates (a 32-bit world erased to white, "Doc world", and its 8-bit mask,
// "Doc mask", over paintbounds) or frees one layer of a unit.
void Sync_Existence(bool8 exists, a_doc_unit* unit, a_static_layer layer);

// Unit ux (1 .. nunits), NIL for any other number.
a_doc_unit* Doc_Unit(uint32 ux);
// Makes unit ux current; nothing when it is current already or there is no
// such unit.
void Select_Doc_Unit(uint32 ux);
// The unit whose design unit startx shows: the nearest master before a
// clone, startx itself for a master; 0 when there is no such unit.
uint32 Find_Clone_Master(uint32 startx);
// Turns unit ux into a clone of the master before it (its content freed,
// history step OP_CLONE). Refused (FALSE) for unit 1, a unit that is a clone
// already, no such unit, and a master of another canvas size.
bool8 Clone(uint32 ux);
// Gives clone ux its own copy of its master's design (history step
// OP_UNCLONE); FALSE when ux is no clone.
bool8 Unclone(uint32 ux);
// The document read from a file, made sound: unit 1 and a clone whose master
// has another canvas size become masters of their own (fresh designs).
void Fix_Clone_Flags();

// Lays the open document out again on the expanded layout new_tmpl: its units
// made afresh, those mapped UMP_COPY given a copy of the old unit's design
// (a clone's: its master's), every old unit freed. The path, print info and
// copy count stay; the document counts as changed. A layout Check_Template
// refuses (alert 77), or no document open, leaves everything as it was:
// FALSE. A UMP_COPY link outside the old layout leaves the unit fresh.
bool8 Do_Remap(const a_template& new_tmpl, const a_template_mapping& map);

// --- Unit geometry ---------------------------------------------------------------------

// A unit's canvas in pixels at 300 dots per inch: (0, 0) to its size, at
// most 4000 wide (the height in proportion), fixed for the disc kinds and
// the jewel-case front; a unit narrower or lower than half a pixel is sized
// from its outline with bleeds to a width or height of 320, 640, 1280 or
// 2000. Never less than one pixel either way.
void Calc_Unit_Bounds(const a_unit& spec, Rect& bounds);
// 320, 640, 1280 or 2000: the first at least x.
float Make_Nice_Number(float x);
// The mapping from the unit's millimetres on the page onto bounds.
void Calc_Unit_Mapping(const a_unit& spec, const Rect& bounds, a_coord_mapping& mapping);

// NOT_DIRECT unless the layout prints straight onto a disc; otherwise by the
// kind of its first unit. Any other kind on a disc-printer layout is an
// internal error (QUIT).
a_direct_print_kind Calc_Direct_Print_KindT(const a_template& tmpl);
a_direct_print_kind Calc_Direct_Print_Kind();

// The open document's page is landscape (IS_LANDSCAPE in its layout).
bool8 Is_Landscape();
// The file type is a project's ("DISC").
bool8 Is_Document_Type(OSType type);
// Exchanges left with top and right with bottom.
void SwapFRect(a_frect& r);

// Module start-up: installs what the layers below ask of the open document:
// Calc_Direct_Print_Kind and Is_Landscape in the preferences module's hooks
// (VoskPref.h).
void VoskDoc_Init();
