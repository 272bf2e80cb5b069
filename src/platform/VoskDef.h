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
// so this header never includes one; g_undo and g_ed, which the objects own,
// are declared here and defined with their owners (objects/VoskBlok and
// objects/VoskEdit).
//
// The enumerations the interface record is made of (tools, palette bars,
// rings, phases, fills) are here with it; the item tables whose values it
// holds are the interface's (ui/VoskIntI.h).
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

// Items of the tool panels (one value each in the interface state; the item
// tables and their enumerations are in ui/VoskIntI.h).
constexpr int16 NSLIDERS = 103;
constexpr int16 NTOGGLES = 25;
constexpr int16 NGRIDS = 40;
constexpr int16 NONESHOTS = 86;
constexpr int16 NCUSTOMS = 23;

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

// The text tool moves and styles whole objects, or edits their characters.
enum a_txedit_phase : uint8 { TXEDIT_MOVE = 0, TXEDIT_EDIT = 1 };

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

// The tools. A leading S is solid (filled), F framed (outlined); furter
// shapes are sectors of a ring about the unit's centre. The first 16 are the
// cells of the tool grid.
enum a_tool : uint8 {
  BRUSH_TOOL = 0,
  ERASER_TOOL = 1,
  SPRAY_TOOL = 2,
  SPOLYGON_TOOL = 3,
  SOVAL_TOOL = 4,
  SFURTER_TOOL = 5,
  SRECT_TOOL = 6,
  GRABBER_TOOL = 7,
  STAMP_TOOL = 8,
  SELECT_TOOL = 9,
  BUCKET_TOOL = 10,
  LINE_TOOL = 11,
  FOVAL_TOOL = 12,
  FFURTER_TOOL = 13,
  FRECT_TOOL = 14,
  DROPPER_TOOL = 15,
  SYMMETRY_TOOL = 16,
  ZOOM_TOOL = 17,
  TEXT_TOOL = 18,
  PHOTO_TOOL = 19,
  PACK_TOOL = 20,
  BRUSHLINE_TOOL = 21,
  ERASERLINE_TOOL = 22,
  FROUNDRECT_TOOL = 23,
  SROUNDRECT_TOOL = 24,
  NULL_TOOL = 25,
};
constexpr int16 NTOOLS = 26;
constexpr int16 NGRID_TOOLS = 16;  // tools offered in the tool grid, BRUSH_TOOL .. DROPPER_TOOL

// The palette bars (one shown at a time at the bottom of the main window).
// The nine colour bars run from PAINT_COLORBAR to SYMBOLS_COLORBAR.
enum a_bar : uint8 {
  EMPTY_BAR = 0,
  CANVAS_BAR = 1,
  STAMP_BAR = 2,
  PAINT_COLORBAR = 3,
  TEXT_OUTL_COLORBAR = 4,
  TEXT_GLOW_COLORBAR = 5,
  TEXT_SHAD_COLORBAR = 6,
  CUTLINES_COLORBAR = 7,
  GRIDLINES_COLORBAR = 8,
  EDGE_OUTL_COLORBAR = 9,
  EDGE_BORD_COLORBAR = 10,
  SYMBOLS_COLORBAR = 11,
  PATTERN_BAR = 12,
  GRADIENT_BAR = 13,
  BORDER_BAR = 14,
  SYMBOL_BAR = 15,
  LAYER_BAR = 16,
  FONT_BAR = 17,
  GLYPH_BAR = 18,
  PAPER_BAR = 19,
};
constexpr int16 NBARS = 20;
// A set of palette bars: bit b for bar b.
using a_bar_set = uint32;
constexpr a_bar_set Bar_Bit(a_bar bar) { return a_bar_set(1u << bar); }
static_assert(NBARS <= 32);

// The panel rings: which palette bars a tool or phase may show.
enum a_ring_kind : uint8 {
  NULL_RING = 0,
  PAINT_RING = 1,
  LINE_RING = 2,
  FRAME_RING = 3,
  BRUSH_RING = 4,
  AREA_RING = 5,
  STAMP_RING = 6,
  SPRAY_RING = 7,
  STENCIL_RING = 8,
  FOVAL_RING = 9,
  DROPPER_RING = 10,
  CANVAS_RING = 11,
  TEXT_SIZE_RING = 12,
  TEXT_OUTL_RING = 13,
  TEXT_GLOW_RING = 14,
  TEXT_SHAD_RING = 15,
  TEXT_EDIT_RING = 16,
  PHOTO_RING = 17,
  PHOTOF_RING = 18,
  PAPER_RING = 19,
  GRIDPHASE_RING = 20,
  SYMBOL_RING = 21,
};
constexpr int16 NRINGS = 22;

// A set of object kinds (bit k for kind k of the objects' a_oj_kind,
// objects/VoskBlok.h): the kinds the current phase works on.
using a_oj_kind_set = uint8;

// Where a palette bar or icon grid places its cells: rows first (LRTB),
// columns first (TBLR), rows first from the bottom (LRBT).
enum a_grid_order : uint8 { LRTB = 0, TBLR = 1, LRBT = 2 };

// Which picture family a palette bar's elements come from (stamp id 0 of a
// set is the custom stamp).
enum a_stamp_set : uint8 {
  NULL_STAMPSET = 0,
  STAMP_STAMPSET = 1,
  CLEAR_STAMPSET = 2,
  BORDER_STAMPSET = 3,
  PATTERN_STAMPSET = 4,
  CANVAS_STAMPSET = 5,
  ALPHABET_STAMPSET = 6,
  PRESHRUNK_STAMPSET = 7,
  SYMBOL_STAMPSET = 8,
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

// One paint imprint's parameter (the objects' paint atoms, objects/VoskAtom.h).
struct a_atom_rec;
// A tool's imprint procedure: draws one imprint into the current port.
using a_atom_proc = void (*)(a_atom_rec& p);

// What a tool is: its imprint, the sounds of a drag, the panel ring it
// shows, whether the eyedropper may be used from it, whether it works with
// symmetry copies and paints into the paint layer, whether a click without
// movement makes an imprint, and its key in the tool grid (0: none).
struct a_tool_desc {
  a_atom_proc atom_proc;  // NIL for a tool that has none
  int16 snd_drag1;
  int16 snd_drag2;
  int16 help_tab;
  a_ring_kind ring_kind;
  bool8 dropper;
  bool8 symmetry;
  bool8 paints;
  bool8 from_corner;
  bool8 from_center;
  bool8 single_point;
  uint8 shortcut;
};

// Draws element id of a palette bar into r; applies a bar's selection.
using a_bar_draw_proc = void (*)(int16 id, const Rect& r);
using a_bar_select_proc = void (*)();

// One palette bar: its range of element ids, its cell geometry for the bar
// area (cells per screenful, size, margin, offset of the first cell, number
// of screenfuls), its drawing and select procedures (NIL: none), the fill it
// sets and the picture family of its elements, whether it marks its current
// element, whether a click resets the stamp warp sliders, its key, its
// jump-button box, its name (string number), its cell order and the id in
// the first cell of the screenful shown.
struct a_bar_row_desc {
  int16 first_id;
  int16 last_id;
  int16 ncells_h;
  int16 ncells_v;
  int16 ncells_tot;
  int16 cell_h;
  int16 cell_v;
  int16 cell_margin;
  Point cell_indent;
  int16 nrows;
  a_bar_draw_proc drawproc;
  a_bar_select_proc selectproc;
  a_fill_kind fill_kind;
  a_stamp_set stampset;
  bool8 showselect;
  bool8 resetsliders;
  uint8 shortcut;
  Rect jumpbutton;
  int16 stringx;
  a_grid_order order;
  int16 rowstart_id;
};

// The layer bar: one cell per layer (layer index 1000 is the bottom object),
// the cells that fit, their size and margin, the bar's box, and the map
// from layer index to object index (lmapping[layer - 1000]; the entry after
// the last layer is -1000) with its change counter.
constexpr int32 MAXNLAYERS = 400;  // one per object of a unit (MAX_OJ, objects/VoskBlok.h)
constexpr int32 FIRST_LAYER_ID = 1000;
struct a_layer_bar_desc {
  int32 first_id;
  int32 last_id;
  int16 ncells_h;
  int16 cell_h;
  int16 cell_v;
  int16 cell_margin;
  Rect bounds;
  int16 lmapping[MAXNLAYERS + 1];
  uint32 lmapping_seq;
};

// A 32-bit world and its 8-bit mask (either may be absent), a sequence
// number and whether it is in use: the custom stamp, and the painting
// tools' copy of a layer before a stroke (doc/VoskUndo.h).
struct a_doc_layer {
  GWorldPtr world;
  GWorldPtr mask;
  uint32 seq;
  bool8 inuse;
};

// The palette: 870 colours (the colour table resource), the first seven of
// them the user's own colours (gs.pref.colors).
constexpr int32 NCOLOR_TABLE = 870;

// Held by pointer: the random generator's state (pixel/Fast.h), gradients
// (pixel/Draw.h) and stored pictures (pixel/SysPixt.h) are the pixel
// engine's records. The interface keeps the records they point at.
struct a_rand_rec;
struct a_grad_rec;
struct a_pixt;

struct a_interface_rec {
  int16 slider_vals[NSLIDERS];  // one value per slider
  bool8 toggle_vals[NTOGGLES];  // one value per toggle
  int16 grid_vals[NGRIDS];      // one value per icon grid
  int16 bar_selection[NBARS];   // the selected element of each palette bar
  a_tool tool_net;              // the tool in force
  a_phase curr_phase;
  a_txedit_phase txedit_phase;
  int16 uscroll_nview;          // the unit list's first unit shown
  a_bar curr_bar;               // the palette bar shown
  a_ring_kind curr_ring;        // the ring in force
  a_oj_kind_set curr_kindset;   // the object kinds the phase works on
  a_tool dropper_jump;          // the tool to return to after the eyedropper
  a_pixel32 fill_color32;       // the paint colour
  int16 fill_colorx;            // its palette index
  a_fill_kind fill_kind;
  a_grad_rec* fill_gradient;    // the working gradient (never NIL after start-up)
  a_bar bar_in_ring[NRINGS];    // the palette bar shown with each ring
  int16 grad_bandx;             // running band counter of gradient strokes
  int16 spray_seed;
  a_rand_rec* spray_seedU;      // the spray's random state (never NIL after start-up)
  HostWindow* outer_window;     // the main window
  a_win_info_rec outer_window_info;
  bool8 outer_window_sizeable;
  a_view_rec views[MAXNVIEWS];  // view 1 is the main editing view
  uint16 nviews;                // views shown
  Point view_focus;             // the cell the main view centres on
  HostWindow* hscroll_ctrl;     // scroll bars of the edit view
  HostWindow* vscroll_ctrl;
  HostWindow* lscroll_ctrl;     // scroll bar of the layer bar (NIL until it exists)
  HostWindow* uscroll_ctrl;     // scroll bar of the unit list (NIL until it exists)
  a_bar_row_desc bard[NBARS];   // one per palette bar
  a_layer_bar_desc layerbard;
  a_bar_set ring_capability[NRINGS];  // the bars each ring may show
  a_tool_desc tool_desc[NTOOLS];
  a_listbox_desc paper_kind_desc;  // the paper browser's list of kinds (or brands)
  a_listbox_desc paper_list_desc;  // and of papers
  a_pixel32 color_table[NCOLOR_TABLE];  // the palette
  int32 ncolor_table;
  a_fontspec font_12pt;         // the interface's fonts
  a_fontspec font_14pt;
  a_fontspec font_18pt;
  a_fontspec font_24pt;
  a_fontspec font_24pt_E;
  a_pixt* light_pattern;        // stored pictures (the interface keeps them; never NIL
  a_pixt* dark_pattern;         // after start-up, empty when the library lacks them)
  a_pixt* blueline_pattern;
  a_pixt* parquet_pattern;
  Pattern marq_pattern;         // the marquee's diagonal stripes
  Pattern pasteboard_pat;
  Pattern separator_pat;
  int16 menu_base;              // base id of the menu resources
  bool8 mytask;                 // TRUE while the program is the active application
  a_doc_layer custom_stamp;
  uint32 total_avail;           // memory budgets
  uint32 doc_limit;
  uint32 custom_limit;
  // The preferences record, stored whole (packed: aligned here so that its
  // even fields lie at even addresses, as code binding them expects).
  alignas(8) a_pref_rec pref;
  bool8 tool_show;              // the tool panels are shown (not hidden by Escape)
  a_controller controller;
};
static_assert(sizeof(a_tool_desc) == 24 && sizeof(a_interface_rec) % 8 == 0);
static_assert(offsetof(a_interface_rec, pref) % 8 == 0);

// --- The running program's unsaved state (filled by the interface) -----------

// Capacity of the working list of catalogue entries that the layout chooser
// builds (the catalogue itself is in doc/VoskTmpl.h).
constexpr uint32 MAXNTEMPLATES = 3000;

// One line of the status area: its text and colour, and its width on screen
// when last drawn.
constexpr int16 NSTATUS_LINES = 5;
struct a_status_line {
  Str255 ss;
  a_pixel24 color;
  int16 width;
};

struct a_transient_rec {
  int16 printerx;               // the printer chosen for the next print
  a_status_line status_lines[NSTATUS_LINES];
  bool8 status_tracking;        // a drag is being tracked
  bool8 status_sizing;          // the status shows the size being dragged
  int16 status_sizing_vx;       // the view of that drag
  Point status_size;            // its width (h) and height (v)
  RgnHandle marq_rgn;           // the marquee's region (NIL until made)
  bool8 stencil_add;
  Point grad_center;            // centre of a circular or ray gradient, cells
  int16 grad_radius;            // extent of a circular gradient, cells
  Point stampgrid_interval;
  Point stampgrid_origin;
  Rect pass2_dirty;
  bool8 old_saved;              // saved copies of the moved objects exist
  bool8 too_complex;            // a shape of this stroke was too complex to draw
  bool8 eyedropper_hit;         // the eyedropper took a colour in this stroke
  uint8 layerx;                 // the layer a paint stroke draws on (the documents' a_static_layer)
  int32 old_thumb;              // the layer bar's first visible layer when last painted
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

// --- The text editor's record (g_ed: objects/VoskEdit owns and clears it) -------------

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

// --- The shared variables ----------------------------------------------------------

extern a_interface_rec gs;
extern a_transient_rec t;
extern a_doc_rec g_doc;
extern a_edit_rec g_ed;
extern bool8 g_doneflag;

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
// fills the constant tables. g_doneflag is cleared too (g_ed is the text
// editor's to clear).
void VoskDef_Init();
