// The application's shared variables: the interface state gs, the running
// program's unsaved state t, the open document g_doc, the text editor's
// record g_ed, the canvas and object list set aside g_undo and the
// done-flag, with the records they are made of and the program's constant
// tables (zoom steps, eraser sizes, slider scales). The documents, the
// objects and the interface fill them, but the platform layer reads them too
// (the preferences in gs.pref, the main window, who drives the program,
// whether a document is open, the first unit's kind for the disc printer),
// so they are declared here, below every layer that uses them. A field whose
// type belongs to a higher layer is held through a pointer to a record
// declared there (`struct a_doc_unit;` ahead of `a_doc_unit* doc_units[...]`),
// so this header never includes one; g_undo, whose record belongs to the
// objects, is declared here and defined with its record there.
//
// The interface record holds the fields the documents and the view use so
// far; the rest (tools, palette bars, rings, colours, patterns, the other
// fonts) comes with the interface subsystem.
#pragma once

#include <cstddef>

#include "platform/PixMaps.h"
#include "platform/Quickdraw.h"
#include "platform/SysFont.h"
#include "platform/SysIO.h"
#include "platform/SysWin.h"
#include "platform/Types.h"
#include "platform/VoskPref.h"

// --- The interface state (filled by the interface, VoskStat) ---------------------

// Items of the tool panels (one value each in the interface state).
constexpr int16 NSLIDERS = 103;
constexpr int16 NTOGGLES = 25;
constexpr int16 NGRIDS = 40;

// Who drives the program: a person (alerts that are not fatal show), or a
// script or test controller (they stay silent).
enum a_controller : int16 { HUMAN = 0, GHOST = 1, GHOST2 = 2, STEALTH = 3 };

// What the main window is showing and the user is working on.
enum a_phase : uint8 {
  PREVIEW_PHASE = 0,  // the print preview of the whole layout
  PAINT_PHASE = 1,
  CANVAS_PHASE = 2,
  SYMBOL_PHASE = 3,
  PHOTO_PHASE = 4,
  GRID_PHASE = 5,
  TEXT_PHASE = 6,
  COLLAGE_PHASE = 7,
  PAPER_PHASE = 8,    // the layout chooser
  NODOC_PHASE = 9,    // the start screen, no document
  NULL_PHASE = 10,
};

// What the paint tools fill with.
enum a_fill_kind : uint8 {
  NULL_FILL = 0,
  COLOR_FILL = 1,
  PATTERN_FILL = 2,
  GRADIENT_FILL = 3,
  STAMP_FILL = 4,
  BORDER_FILL = 5,
  ERASER_FILL = 6,
  TRACKING_MARQUEE = 7,
  GETTING_MARQUEE = 8,
};

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

// One view of the document: the cell shown at its top-left, its zoom
// (screen = cell x num / den) and fudge, and its rectangle in the main
// window's client pixels.
struct a_view_rec {
  Point origin;
  a_ratio zoom_factor;
  int16 zoom_fudge;
  Rect bounds;
};
constexpr uint16 MAXNVIEWS = 2;

struct a_interface_rec {
  int16 slider_vals[NSLIDERS];  // one value per slider
  bool8 toggle_vals[NTOGGLES];  // one value per toggle
  int16 grid_vals[NGRIDS];      // one value per icon grid
  a_phase curr_phase;
  a_pixel32 fill_color32;       // the paint colour
  int16 fill_colorx;            // its palette index
  a_fill_kind fill_kind;
  HostWindow* outer_window;     // the main window
  a_view_rec views[MAXNVIEWS];  // view 1 is the main editing view
  uint16 nviews;                // views shown
  Point view_focus;             // the cell the main view centres on
  HostWindow* lscroll_ctrl;     // scroll bar of the layer bar (NIL until it exists)
  HostWindow* uscroll_ctrl;     // scroll bar of the unit list (NIL until it exists)
  a_listbox_desc paper_kind_desc;  // the paper browser's list of kinds (or brands)
  a_listbox_desc paper_list_desc;  // and of papers
  a_fontspec font_14pt;         // the interface's 14-point bold font
  Pattern marq_pattern;         // the marquee's diagonal stripes
  int16 menu_base;              // base id of the menu resources
  bool8 mytask;                 // TRUE while the program is the active application
  // The preferences record, stored whole (packed: aligned here so that its
  // even fields lie at even addresses, as code binding them expects).
  alignas(8) a_pref_rec pref;
  bool8 tool_show;              // the tool panels are shown (not hidden by Escape)
  a_controller controller;
};

// --- The running program's unsaved state (filled by the interface) -----------

// Capacity of the working list of catalogue entries that the layout chooser
// builds (the catalogue itself is in doc/VoskTmpl.h).
constexpr uint32 MAXNTEMPLATES = 3000;

struct a_transient_rec {
  RgnHandle marq_rgn;   // the marquee's region (NIL until made)
  Point grad_center;    // centre of a circular or ray gradient, cells
  int16 grad_radius;    // extent of a circular gradient, cells
  uint32 tlist[MAXNTEMPLATES];  // the chooser's entries: catalogue indices, from 1
  uint32 tlist_n;               // entries in use
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

// How a document is printed: the page origin of the unit being printed and
// the scale from its cells to printer dots (set by printing, unit by unit).
struct a_print_info {
  Point doc_origin;
  a_ratio scaling_factorx;
  a_ratio scaling_factory;
};

// One unit's content (its design, layers and state): a record of the
// documents (doc/VoskDoc.h).
struct a_doc_unit;

struct a_doc_rec {
  FSSpec doc_path;           // the file; "Untitled" in the interface language for a new one
  a_template doc_template;   // the expanded layout, with its units
  bool8 doc_open;            // a document is open
  bool8 doc_new;             // never saved (or read as a starting point)
  bool8 doc_changed;         // it has unsaved changes
  a_print_info doc_print;
  // doc_units[ux - 1] is unit ux of doc_template; entries past nunits are NIL.
  a_doc_unit* doc_units[MAXNUNITS];
  int16 doc_mediax;          // chosen print medium of the document's direct-print kind
  int16 doc_ncopies;         // copies to print, 1 for a new document
  uint32 upx;                // the current unit, 0 when none
  a_doc_unit* up;            // doc_units[upx - 1], NIL when upx is 0
};

// --- The text editor's record (filled by the text editor, VoskEdit) ---------------

struct a_om_rec;  // a text object (the objects' text record)

struct a_edit_rec {
  uint32 edit_ux;       // unit of the edited object
  uint32 edit_objid;    // its object id; 0: nothing is edited
  int32 edit_omx;       // its index in the unit's object list
  a_om_rec* edit_om;    // the edited record
  int32 edit_lineud_x;  // the column kept over repeated up and down moves
  bool8 edit_lineud;    // the column is being kept
  bool8 edit_new;       // the object was made for this edit
  int32 sel_lo, sel_hi; // the selection, character positions; equal: the caret only
  int32 sel_omx;        // the object the selection belongs to
};

// --- A layer with its mask ---------------------------------------------------------

// A 32-bit world and its 8-bit mask (either may be absent), a sequence
// number and whether it is in use: the custom stamp, and the painting
// tools' copy of a layer before a stroke (doc/VoskUndo.h).
struct a_doc_layer {
  GWorldPtr world;
  GWorldPtr mask;
  uint32 seq;
  bool8 inuse;
};

// --- The shared variables ----------------------------------------------------------

extern a_interface_rec gs;
extern a_transient_rec t;
extern a_doc_rec g_doc;
extern a_edit_rec g_ed;
extern bool8 g_doneflag;
extern a_transient_rec t;

// A canvas spec and an object list held aside (objects/VoskBlok.h, which
// defines the record and the variable; zero at start).
struct a_undo_rec;
extern a_undo_rec g_undo;

// --- Constant tables (filled by VoskDef_Init) ---------------------------------------

constexpr int16 NZOOMS = 5;  // zoom steps: half size, 1, 2, 3 and 4 times
extern a_ratio ZoomxToFactor[NZOOMS];
extern int16 ZoomxFudge[NZOOMS];
extern int16 EraserxToSize[9];
extern int16 IconToSizex[4];
extern int16 SliderToPoints[36];   // a text-size slider position in points
extern int16 SliderToScaling[19];  // a scaling slider position in per cent

// Module start-up: fills gs, t and g_doc with zero bytes, whole records (the
// document's unit records are not freed: call it with no document open), and
// fills the constant tables. g_ed and g_doneflag are cleared too.
void VoskDef_Init();
