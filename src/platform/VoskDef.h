// The application's shared variables: the interface state gs, the open
// document g_doc and the done-flag, with the records they are made of. The
// documents, the objects and the interface fill them, but the platform
// layer reads them too (the preferences in gs.pref, the main window, who
// drives the program, whether a document is open, the first unit's kind for
// the disc printer), so they are declared here, below every layer that uses
// them. A field whose type belongs to a higher layer is held through a
// pointer to a record declared there (`struct a_doc_unit;` ahead of
// `a_doc_unit* doc_units[...]`), so this header never includes one.
//
// Only the part of the document record that is used so far is here; the
// rest (units, layers, print info) comes with the document subsystem, and
// the rest of the interface record (item values, tools, views, fonts,
// patterns, controls) with the interface subsystem.
#pragma once

#include <cstddef>

#include "platform/PixMaps.h"
#include "platform/SysFont.h"
#include "platform/Types.h"
#include "platform/VoskPref.h"

// --- The interface state (filled by the interface, VoskStat) ---------------------

// Icon grids (one value each in the interface state).
constexpr int16 NGRIDS = 40;

// Who drives the program: a person (alerts that are not fatal show), or a
// script or test controller (they stay silent).
enum a_controller : int16 { HUMAN = 0, GHOST = 1, GHOST2 = 2, STEALTH = 3 };

// Windows of the host layer (the interface record keeps handles only).
struct HostWindow;

// One row of an owner-drawn list box: its text and the key its owner gives
// it (a kind, a catalogue index ...).
struct a_listbox_item {
  uStr255 uss;  // NUL-terminated, at most 255 units
  uint32 key;
};

// An owner-drawn list box (the paper browser's two lists); drawn, hit-tested
// and selected by the list-box services of the pixel engine
// (pixel/DrawUtilList.h). Rows are numbered from 1; the first visible row is
// the value of the scroll bar. The rows' storage (list, maxnlist) belongs to
// whoever sets the list up.
struct a_listbox_desc {
  Rect area;          // the box, frame included, in the main window's coordinates
  int16 border;       // frame thickness
  int16 scrollbar_h;  // width of the scroll bar beside the box
  int16 cell_h;       // row width
  int16 cell_v;       // row height
  int16 spacing_v;    // strip between rows
  a_fontspec font;
  a_pixel24 lo_back_color;  // a row
  a_pixel24 lo_fore_color;
  a_pixel24 hi_back_color;  // the highlighted row
  a_pixel24 hi_fore_color;
  a_pixel24 sp_back_color;  // the strips between rows
  int32 nvis;      // rows visible
  int32 maxnlist;  // rows list has room for
  int32 hix;       // the highlighted row, from 1
  int32 seq;
  int32 nlist;     // rows in use
  a_listbox_item* list;   // rows 1 .. nlist at list[0 .. nlist-1] (NIL: none)
  HostWindow* scrollbar;  // its vertical scroll bar (NIL until it exists)
  uint32 customx;         // the interface node it is drawn in
};

struct a_interface_rec {
  int16 grid_vals[NGRIDS];  // one value per icon grid
  a_pref_rec pref;          // the preferences record, stored whole
  int16 menu_base;          // base id of the menu resources
  bool8 mytask;             // TRUE while the program is the active application
  bool8 tool_show;          // the tool panels are shown (not hidden by Escape)
  a_controller controller;
  HostWindow* outer_window;   // the main window
  HostWindow* lscroll_ctrl;   // scroll bar of the layer bar (NIL until it exists)
  HostWindow* uscroll_ctrl;   // scroll bar of the unit list (NIL until it exists)
  a_listbox_desc paper_kind_desc;  // the paper browser's list of kinds (or brands)
  a_listbox_desc paper_list_desc;  // and of papers
};

// --- The open document (filled by the documents, VoskDoc) ------------------------

constexpr uint32 MAXNUNITS = 250;   // units of one expanded layout
constexpr uint32 MAXNCUNITS = 6;    // sections (kinds with their grids) of one catalogue entry

// Kinds of unit: what a label face is. The value is a byte of project files
// and of the catalogue, so the numbers never change; the names of string
// list 600 (item kind + 1) follow this order.
enum a_unit_kind : uint8 {
  UNIT_EMPTY = 0,
  UNIT_CIRCLE = 1,
  UNIT_OVAL = 2,
  UNIT_RECT = 3,
  UNIT_VISITING = 4,       // business card
  UNIT_VISITING2 = 5,      // folded business card
  UNIT_CD = 6,             // disc face, 120 mm class
  UNIT_CD_CORE = 7,        // small ring: hub label
  UNIT_CD_WALLET = 8,
  UNIT_MINICD_RING = 9,    // disc face, 80 mm class
  UNIT_MINICD_HOCKEY = 10, // business-card disc, round ends
  UNIT_MINICD_RECT = 11,   // business-card disc, rectangular
  UNIT_MINICD_LID1 = 12,
  UNIT_MINICD_LID2 = 13,
  UNIT_JEWEL_LID1 = 14,    // jewel case front insert
  UNIT_JEWEL_LID2 = 15,    // jewel case booklet, folded once
  UNIT_JEWEL_LID3 = 16,    // jewel case folder, several panels
  UNIT_JEWEL_SPINE = 17,
  UNIT_JEWEL_SLIMLINE = 18,
  UNIT_JEWEL_BASE = 19,    // tray card with its two spines
  UNIT_SUPERJEWEL_INLAY = 20,
  UNIT_SUPERJEWEL_BOOKLET = 21,
  UNIT_SUPERJEWEL_COVER = 22,
  UNIT_DVDBOX_INSERT = 23,
  UNIT_DVDBOX_INSERT2 = 24,
  UNIT_DVDBOX_WRAP = 25,
  UNIT_AUDIO_FACE = 26,
  UNIT_AUDIO_JCARD = 27,
  UNIT_AUDIO_SPINE = 28,
  UNIT_AUDIO_BOX = 29,
  UNIT_DAT_FACE = 30,
  UNIT_DAT_SPINE = 31,
  UNIT_DAT_JCARD = 32,
  UNIT_VHS_FACE = 33,
  UNIT_VHS_SPINE = 34,
  UNIT_VHS_THIRD = 35,
  UNIT_VHS_SLEEVE = 36,
  UNIT_VHS_WRAP = 37,
  UNIT_BETACAM_FACE = 38,
  UNIT_BETACAM_SPINE = 39,
  UNIT_BETACAM_INSERT = 40,
  UNIT_UMATIC_FACE = 41,
  UNIT_UMATIC_SPINE = 42,
  UNIT_UMATIC_INSERT = 43,
  UNIT_MINIDV_FACE = 44,
  UNIT_MINIDV_SPINE = 45,
  UNIT_MINIDV_INSERT = 46,
  UNIT_DVCAM_FACE = 47,
  UNIT_DVCAM_SPINE = 48,
  UNIT_DVCAM_INSERT = 49,
  UNIT_DVCPRO_FACE = 50,
  UNIT_DVCPRO_SPINE = 51,
  UNIT_DVCPRO_INSERT = 52,
  UNIT_STATUS = 53,
  UNIT_HI8_FACE = 54,
  UNIT_HI8_JCARD = 55,
  UNIT_MD_FACEL = 56,
  UNIT_MD_FACE = 57,
  UNIT_MD_SPINE = 58,
  UNIT_8MM_FACE = 59,
  UNIT_8MM_SPINE = 60,
  UNIT_FLOPPY = 61,
  UNIT_LAMINATED = 62,
  UNIT_VIDEOTITLE = 63,
  UNIT_XDCAM_INSERT = 64,
  UNIT_XDCAM_FACE = 65,
  UNIT_VCD_WRAP = 66,
  UNIT_D5_SPINE = 67,
  UNIT_D5_INSERT = 68,
  UNIT_BLURAY_WRAP = 69,
};
constexpr uint32 NUNITKINDS = 70;
constexpr uint8 LAST_UNIT_KIND = UNIT_BLURAY_WRAP;

// Bits of a template's tflags.
enum a_template_flag : uint8 {
  IS_CDPRINTER = 0,        // printed straight onto a disc
  IS_LANDSCAPE = 1,
  IS_PITCHBETWEEN = 2,     // pitch is the gap between units, not the step
  IS_INCHES = 3,           // bbox, pitches and meas in inches (bleeds stay mm)
  IS_CLIPPINGPRINTER = 4,
  IS_DYMO_ZADAZ = 5,
  IS_LIGHTSCRIBE = 6,
  IS_SHOWNOPAPER = 7,
  IS_FLEXSTICK = 8,
  IS_FLEXLABEL = 9,
};

// Bits of a unit's uflags.
enum a_unit_flag : uint8 {
  UNIT_FLIPX = 0,
  UNIT_FLIPY = 1,
  UNIT_ROTATE90 = 2,
  UNIT_ROTATE180 = 3,
  UNIT_ROTATE270 = 4,
  UNIT_STAGGERED = 5,
  UNIT_SHORTODD = 6,
  UNIT_CROPMARKS = 7,
  UNIT_CLOBBERS = 8,
  UNIT_NOTINDEXED = 9,     // not offered in the list of kinds
  UNIT_PERIMETERBLEED = 10,
  UNIT_PERIMETERPLUSH = 11,
  UNIT_PERIMETERPLUSV = 12,
};

// Bits of a catalogue entry's platforms.
enum a_platform : uint8 {
  PLATFORM_MAC = 0,
  PLATFORM_WIN = 1,
};

// One section of a catalogue entry: a kind of unit and its grid. Lengths
// are millimetres, or inches for bbox, pitches and meas in an IS_INCHES
// entry (bleeds are always millimetres).
struct a_cunit {
  uint8 kind;      // a_unit_kind
  uint32 uflags;   // set of a_unit_flag
  uint32 nx, ny;   // columns and rows
  float bboxleft, bboxtop, bboxwidth, bboxheight;  // the first unit
  float pitchx, pitchy;
  float bleedleft, bleedtop, bleedright, bleedbottom;
  float meas1, meas2, meas3, meas4;  // shape measures by kind
};
static_assert(offsetof(a_cunit, uflags) == 4 && offsetof(a_cunit, nx) == 8 &&
              offsetof(a_cunit, bboxleft) == 16 && offsetof(a_cunit, meas4) == 68 &&
              sizeof(a_cunit) == 72);

// A catalogue entry. sort: maker code (4 characters) then part number and
// variant, NUL-padded, not terminated; label: 8-bit text, NUL-terminated.
struct a_ctemplate {
  char sort[12];
  char label[32];
  uint8 platforms;   // set of a_platform
  uint32 tflags;     // set of a_template_flag
  a_fpoint papersize;  // width, height in mm
  uint32 nunits;     // sections used, 1..MAXNCUNITS
  a_cunit units[MAXNCUNITS];
};
static_assert(offsetof(a_ctemplate, label) == 12 && offsetof(a_ctemplate, platforms) == 44 &&
              offsetof(a_ctemplate, tflags) == 48 && offsetof(a_ctemplate, papersize) == 52 &&
              offsetof(a_ctemplate, nunits) == 60 && offsetof(a_ctemplate, units) == 64 &&
              sizeof(a_ctemplate) == 64 + 6 * 72);

// One unit of an expanded layout, in millimetres on the page.
struct a_unit {
  uint8 kind;        // a_unit_kind
  uint32 uflags;     // set of a_unit_flag
  int16 viewangle;   // degrees; 0 from expansion
  a_frect bbox;      // left, top, right, bottom
  a_frect bleed;     // how far artwork runs past each edge
  float meas[4];     // shape measures by kind
};
static_assert(offsetof(a_unit, uflags) == 4 && offsetof(a_unit, viewangle) == 8 &&
              offsetof(a_unit, bbox) == 12 && offsetof(a_unit, bleed) == 28 &&
              offsetof(a_unit, meas) == 44 && sizeof(a_unit) == 60);

// The expanded layout of the open document; units[0] is unit 1.
struct a_template {
  char label[32];
  uint32 tflags;       // set of a_template_flag
  a_fpoint papersize;  // mm
  uint32 nunits;
  a_unit units[MAXNUNITS];
};
static_assert(offsetof(a_template, tflags) == 32 && offsetof(a_template, papersize) == 36 &&
              offsetof(a_template, nunits) == 44 && offsetof(a_template, units) == 48 &&
              sizeof(a_template) == 48 + MAXNUNITS * 60);

// --- The transient state (the layout chooser's working list) ----------------------

// Capacity of the working list of catalogue entries that the layout chooser builds.
constexpr uint32 MAXNTEMPLATES = 3000;

struct a_transient_rec {
  uint32 tlist[MAXNTEMPLATES];  // catalogue indices (from 1) of the entries offered
  uint32 tlist_n;               // entries in use
};

struct a_doc_rec {
  a_template doc_template;
  bool8 doc_open;
  int16 doc_mediax;  // chosen print medium of the document's direct-print kind
};

extern a_interface_rec gs;
extern a_doc_rec g_doc;
extern bool8 g_doneflag;
extern a_transient_rec t;

// Module start-up: clears gs, g_doc and t, whole records.
void VoskDef_Init();
